// The robot car seen from above in its arena, drawn where a CarModel says it is. Depends
// on the engine and CarModel only.
#pragma once

#include "cocos2d.h"
#include "simulator/CarModel.h"

class CarArena : public cocos2d::Node {
public:
    // Side of the arena on screen, in points.
    static constexpr float kSide = 320.f;

    CREATE_FUNC(CarArena);
    bool init() override;

    // Puts the car where the model has it.
    void show(const CarModel& car);
    // The car's node: at its centre, turned by its heading.
    cocos2d::Node* car() const { return _car; }

private:
    cocos2d::Node* _car = nullptr;
};

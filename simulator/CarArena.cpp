#include "simulator/CarArena.h"

#include <cmath>

#include "simulator/SimulatorLook.h"

USING_NS_CC;

namespace {

constexpr float kScale = CarArena::kSide / static_cast<float>(CarModel::kArenaSize);
const Color4B kBody(look::kInk, 255);
const Color4B kWheel(20, 24, 26, 255);
const Color4B kNose(255, 214, 0, 255);

}  // namespace

bool CarArena::init() {
    if (!Node::init()) {
        return false;
    }
    setContentSize(Size(kSide, kSide));
    addChild(look::box(look::kFrame, -3, -3, kSide + 6, kSide + 6));
    addChild(look::box(look::kPale, 0, 0, kSide, kSide));

    // Drawn facing up around its centre, so that turning the node turns the car.
    const float halfLength = static_cast<float>(CarModel::kHalfLength) * kScale;
    const float halfWidth = static_cast<float>(CarModel::kHalfWidth) * kScale;
    _car = Node::create();
    const float wheelWidth = 6.f;
    const float wheelLength = halfLength;
    for (float side : {-1.f, 1.f}) {
        _car->addChild(look::box(kWheel, side < 0 ? -halfWidth - wheelWidth : halfWidth,
                                 -wheelLength / 2, wheelWidth, wheelLength));
    }
    _car->addChild(look::box(kBody, -halfWidth, -halfLength, 2 * halfWidth, 2 * halfLength));
    _car->addChild(look::box(kNose, -halfWidth / 2, halfLength - 8, halfWidth, 6));
    addChild(_car);
    show(CarModel());
    return true;
}

void CarArena::show(const CarModel& car) {
    const Vec2 position(std::round(static_cast<float>(car.x()) * kScale),
                        std::round(static_cast<float>(car.y()) * kScale));
    if (_car->getPosition() != position) {
        _car->setPosition(position);
    }
    const float heading = static_cast<float>(car.headingDegrees());
    if (_car->getRotation() != heading) {
        _car->setRotation(heading);
    }
}

// The workspace layer: the one screen of the program, created once at launch.
// Depends on the engine only.
#pragma once

#include "cocos2d.h"

class FieldScene : public cocos2d::Layer {
public:
    CREATE_FUNC(FieldScene);

    // Builds the workspace's controls.
    bool init() override;
};

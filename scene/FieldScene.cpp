#include "scene/FieldScene.h"

USING_NS_CC;

bool FieldScene::init() {
    if (!Layer::init()) {
        return false;
    }
    // The workspace's controls are added here as they are built.
    return true;
}

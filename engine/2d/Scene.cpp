#include "2d/Scene.h"

#include "base/Director.h"

NS_CC_BEGIN

Scene* Scene::create() {
    auto* scene = new Scene();
    if (scene->init()) {
        scene->autorelease();
        return scene;
    }
    delete scene;
    return nullptr;
}

Scene::Scene() {
    _ignoreAnchorPointForPosition = true;
}

bool Scene::init() {
    setContentSize(Director::getInstance()->getWinSize());
    return true;
}

NS_CC_END

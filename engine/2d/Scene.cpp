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
    // Not the virtual one: a subclass that routes its size elsewhere is not built yet.
    Node::setContentSize(Director::getInstance()->getWinSize());
    return true;
}

NS_CC_END

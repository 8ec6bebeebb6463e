#include "2d/Layer.h"

#include "base/Director.h"

NS_CC_BEGIN

Layer* Layer::create() {
    auto* layer = new Layer();
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

Layer::Layer() {
    _ignoreAnchorPointForPosition = true;
}

bool Layer::init() {
    // Not the virtual one: a subclass that routes its size elsewhere is not built yet.
    Node::setContentSize(Director::getInstance()->getWinSize());
    return true;
}

NS_CC_END

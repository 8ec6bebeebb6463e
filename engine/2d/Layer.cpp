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
    setContentSize(Director::getInstance()->getWinSize());
    return true;
}

NS_CC_END

#include "2d/LayerColor.h"

#include "base/Director.h"
#include "renderer/Renderer.h"

NS_CC_BEGIN

namespace {
template <class Init>
LayerColor* make(LayerColor* layer, Init init) {
    if (init(layer)) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}
}  // namespace

LayerColor* LayerColor::create() {
    return make(new LayerColor(), [](LayerColor* l) { return l->init(); });
}

LayerColor* LayerColor::create(const Color4B& color) {
    return make(new LayerColor(), [&color](LayerColor* l) { return l->initWithColor(color); });
}

LayerColor* LayerColor::create(const Color4B& color, float width, float height) {
    return make(new LayerColor(),
                [&](LayerColor* l) { return l->initWithColor(color, width, height); });
}

bool LayerColor::init() {
    return initWithColor(Color4B(0, 0, 0, 0));
}

bool LayerColor::initWithColor(const Color4B& color) {
    Size size = Director::getInstance()->getWinSize();
    return initWithColor(color, size.width, size.height);
}

bool LayerColor::initWithColor(const Color4B& color, float width, float height) {
    if (!Layer::init()) {
        return false;
    }
    _realColor = Color3B(color.r, color.g, color.b);
    _realOpacity = color.a;
    setContentSize(Size(width, height));
    return true;
}

void LayerColor::changeWidthAndHeight(float width, float height) {
    setContentSize(Size(width, height));
}

void LayerColor::changeWidth(float width) {
    setContentSize(Size(width, _contentSize.height));
}

void LayerColor::changeHeight(float height) {
    setContentSize(Size(_contentSize.width, height));
}

void LayerColor::draw(Renderer* renderer, const Mat4& transform, std::uint32_t) {
    GLubyte opacity = getDisplayedOpacity();
    if (opacity == 0 || _contentSize.width <= 0.f || _contentSize.height <= 0.f) {
        return;
    }
    Color3B c = getDisplayedColor();
    _quadCommand.initRect(_globalZOrder, nullptr, transform, Rect(Vec2::ZERO, _contentSize),
                          Color4B(c.r, c.g, c.b, opacity));
    renderer->addCommand(&_quadCommand);
}

NS_CC_END

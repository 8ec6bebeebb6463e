#include "simulator/SimulatorLook.h"

USING_NS_CC;

namespace look {

Label* label(const std::string& text, float size, const Color3B& colour) {
    Label* label = Label::createWithSystemFont(text, kFont, size);
    label->setAnchorPoint(Vec2::ANCHOR_MIDDLE_LEFT);
    label->setTextColor(opaque(colour));
    return label;
}

LayerColor* box(const Color4B& colour, float x, float y, float w, float h) {
    LayerColor* layer = LayerColor::create(colour, w, h);
    layer->setPosition(x, y);
    return layer;
}

Color4B opaque(const Color3B& colour) {
    return Color4B(colour, 255);
}

}  // namespace look

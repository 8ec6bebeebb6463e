#include "scene/NoticeStrip.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "scene/SceneLook.h"

USING_NS_CC;
using namespace scenelook;

namespace {
constexpr float kPaddingX = 14.f;
constexpr float kPaddingY = 8.f;
// One pixel at the content scale of 2: the height of a band of a rounded cap.
constexpr float kBandHeight = 0.5f;
}  // namespace

NoticeStrip* NoticeStrip::create(const std::string& text, const Color4B& colour, float maxWidth) {
    auto* strip = new (std::nothrow) NoticeStrip();
    if (strip != nullptr && strip->initWithText(text, colour, maxWidth)) {
        strip->autorelease();
        return strip;
    }
    delete strip;
    return nullptr;
}

bool NoticeStrip::initWithText(const std::string& text, const Color4B& colour, float maxWidth) {
    if (!Node::init()) {
        return false;
    }
    _colour = colour;
    _maxWidth = maxWidth;
    _label = Label::createWithSystemFont(text, kFont, kFontSize, Size::ZERO, TextHAlignment::CENTER,
                                         TextVAlignment::CENTER);
    if (_label == nullptr || _label->getTexture() == nullptr) {
        return false;
    }
    _label->setTextColor(Color4B::WHITE);
    _background = Node::create();
    // A fade of the strip fades everything on it.
    setCascadeOpacityEnabled(true);
    _background->setCascadeOpacityEnabled(true);
    addChild(_background);
    addChild(_label);
    setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    layOut();
    return true;
}

void NoticeStrip::setText(const std::string& text) {
    if (text == _label->getString()) {
        return;
    }
    _label->setDimensions(0.f, 0.f);
    _label->setString(text);
    layOut();
}

void NoticeStrip::layOut() {
    const float widest = _maxWidth - 2.f * kPaddingX;
    if (_label->getContentSize().width > widest) {
        _label->setDimensions(widest, 0.f);
    }
    const Size text = _label->getContentSize();
    const Size size(text.width + 2.f * kPaddingX,
                    std::max(text.height + 2.f * kPaddingY, 2.f * kRadius));
    if (!size.equals(getContentSize())) {
        buildBackground(size);
        setContentSize(size);
    }
    _label->setPosition(size.width / 2.f, size.height / 2.f);
}

void NoticeStrip::buildBackground(const Size& size) {
    _background->removeAllChildren();
    const auto band = [this](float x, float y, float w, float h) {
        LayerColor* piece = LayerColor::create(_colour, w, h);
        piece->setPosition(x, y);
        _background->addChild(piece);
    };
    const float r = std::min(kRadius, std::min(size.width, size.height) / 2.f);
    band(0.f, r, size.width, size.height - 2.f * r);
    const int bands = static_cast<int>(std::lround(r / kBandHeight));
    for (int i = 0; i < bands; ++i) {
        // Distance of the band's middle from the caps' centre line, and the circle's inset
        // there.
        const float rise = (static_cast<float>(i) + 0.5f) * kBandHeight;
        const float inset = r - std::sqrt(std::max(r * r - rise * rise, 0.f));
        const float width = size.width - 2.f * inset;
        band(inset, size.height - r + rise - kBandHeight / 2.f, width, kBandHeight);
        band(inset, r - rise - kBandHeight / 2.f, width, kBandHeight);
    }
}

// A rounded, coloured strip with white text, placed by its centre: the workspace's way of
// telling the user something in a line or two (how far a transfer is, why it failed).
// It takes no touches. Depends on the engine only.
#pragma once

#include <string>

#include "cocos2d.h"

class NoticeStrip : public cocos2d::Node {
public:
    static constexpr float kFontSize = 14.f;
    static constexpr float kRadius = 8.f;

    // A strip as wide as its text needs, wrapping the text at maxWidth (strip included);
    // nullptr when the text cannot be laid out.
    static NoticeStrip* create(const std::string& text, const cocos2d::Color4B& colour,
                               float maxWidth);

    // Shows another text; the strip follows the text's size.
    void setText(const std::string& text);
    const std::string& getText() const { return _label->getString(); }

protected:
    NoticeStrip() = default;
    bool initWithText(const std::string& text, const cocos2d::Color4B& colour, float maxWidth);

private:
    // Sizes the label's box for the text and rebuilds the background around it.
    void layOut();
    // The background: a rounded rectangle of horizontal bands, the caps cut one pixel at
    // a time so that their edges read as round at the content scale.
    void buildBackground(const cocos2d::Size& size);

    cocos2d::Label* _label = nullptr;
    cocos2d::Node* _background = nullptr;
    cocos2d::Color4B _colour;
    float _maxWidth = 0.f;
};

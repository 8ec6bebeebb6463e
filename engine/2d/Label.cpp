#include "2d/Label.h"

#include <cmath>
#include <cstdio>

#include "base/Director.h"
#include "platform/Backend.h"
#include "renderer/Renderer.h"
#include "renderer/Texture2D.h"

NS_CC_BEGIN

namespace {

backend::TextHAlign toBackend(TextHAlignment a) {
    switch (a) {
        case TextHAlignment::CENTER:
            return backend::TextHAlign::Center;
        case TextHAlignment::RIGHT:
            return backend::TextHAlign::Right;
        default:
            return backend::TextHAlign::Left;
    }
}

backend::TextVAlign toBackend(TextVAlignment a) {
    switch (a) {
        case TextVAlignment::CENTER:
            return backend::TextVAlign::Center;
        case TextVAlignment::BOTTOM:
            return backend::TextVAlign::Bottom;
        default:
            return backend::TextVAlign::Top;
    }
}

GLubyte modulate(GLubyte a, GLubyte b) {
    return static_cast<GLubyte>(a * b / 255);
}

}  // namespace

Label* Label::create() {
    auto* label = new Label();
    if (label->init()) {
        label->autorelease();
        return label;
    }
    delete label;
    return nullptr;
}

Label* Label::createWithSystemFont(const std::string& text, const std::string& font, float fontSize,
                                   const Size& dimensions, TextHAlignment hAlignment,
                                   TextVAlignment vAlignment) {
    auto* label = new Label();
    if (!label->init()) {
        delete label;
        return nullptr;
    }
    label->_text = text;
    label->_fontName = font;
    label->_fontSize = fontSize;
    label->_dimensions = dimensions;
    label->_hAlignment = hAlignment;
    label->_vAlignment = vAlignment;
    label->updateTexture();
    label->autorelease();
    return label;
}

Label::Label() {
    _anchorPoint = Vec2::ANCHOR_MIDDLE;
}

Label::~Label() {
    CC_SAFE_RELEASE(_texture);
}

void Label::setString(const std::string& text) {
    if (text != _text) {
        _text = text;
        updateTexture();
    }
}

void Label::setTextColor(const Color4B& color) {
    if (color != _textColor) {
        _textColor = color;
        markSceneDirty();
    }
}

void Label::setSystemFontName(const std::string& font) {
    if (font != _fontName) {
        _fontName = font;
        updateTexture();
    }
}

void Label::setSystemFontSize(float fontSize) {
    if (fontSize != _fontSize) {
        _fontSize = fontSize;
        updateTexture();
    }
}

void Label::setDimensions(float width, float height) {
    if (width != _dimensions.width || height != _dimensions.height) {
        _dimensions = Size(width, height);
        updateTexture();
    }
}

void Label::setAlignment(TextHAlignment hAlignment) {
    setHorizontalAlignment(hAlignment);
}

void Label::setAlignment(TextHAlignment hAlignment, TextVAlignment vAlignment) {
    if (hAlignment != _hAlignment || vAlignment != _vAlignment) {
        _hAlignment = hAlignment;
        _vAlignment = vAlignment;
        updateTexture();
    }
}

void Label::setHorizontalAlignment(TextHAlignment hAlignment) {
    setAlignment(hAlignment, _vAlignment);
}

void Label::setVerticalAlignment(TextVAlignment vAlignment) {
    setAlignment(_hAlignment, vAlignment);
}

void Label::updateTexture() {
    const float scale = Director::getInstance()->getContentScaleFactor();
    backend::TextRequest request;
    request.text = _text;
    request.fontName = _fontName;
    request.fontSizePx = _fontSize * scale;
    request.boxWidthPx = static_cast<int>(std::lround(_dimensions.width * scale));
    request.boxHeightPx = static_cast<int>(std::lround(_dimensions.height * scale));
    request.hAlign = toBackend(_hAlignment);
    request.vAlign = toBackend(_vAlignment);

    backend::Bitmap bitmap;
    std::string error;
    Texture2D* texture = nullptr;
    if (backend::renderText(request, bitmap, error)) {
        texture = new Texture2D();
        if (!texture->initWithBitmap(std::move(bitmap), "label:" + _text)) {
            texture->release();
            texture = nullptr;
        } else {
            texture->setPixelSource([request](backend::Bitmap& out) {
                std::string ignored;
                return backend::renderText(request, out, ignored);
            });
        }
    } else {
        std::fprintf(stderr, "Cannot draw the text \"%s\" in font \"%s\": %s\n", _text.c_str(),
                     _fontName.c_str(), error.c_str());
    }
    CC_SAFE_RELEASE(_texture);
    _texture = texture;

    Size size = _dimensions;
    if (_texture != nullptr) {
        Size bitmapSize = _texture->getContentSize();
        if (size.width <= 0.f) {
            // An empty text is a line high but takes no width.
            size.width = _text.empty() ? 0.f : bitmapSize.width;
        }
        if (size.height <= 0.f) {
            size.height = bitmapSize.height;
        }
    }
    setContentSize(size);
    markSceneDirty();
}

void Label::draw(Renderer* renderer, const Mat4& transform, std::uint32_t) {
    GLubyte opacity = modulate(_textColor.a, getDisplayedOpacity());
    if (_texture == nullptr || opacity == 0) {
        return;
    }
    Color3B c = getDisplayedColor();
    // The bitmap covers the text box when there is one; otherwise it is the node's size.
    Size drawn = _texture->getContentSize();
    const Rect local(0.f, _contentSize.height - drawn.height, drawn.width, drawn.height);
    _quadCommand.initRect(_globalZOrder, _texture, transform, local,
                          Color4B(modulate(_textColor.r, c.r), modulate(_textColor.g, c.g),
                                  modulate(_textColor.b, c.b), opacity));
    renderer->addCommand(&_quadCommand);
}

NS_CC_END

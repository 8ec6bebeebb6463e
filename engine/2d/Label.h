// A line (or box) of text in a system font, placed by its centre. The text is rasterised
// by the platform at font size x content scale factor pixels; the label's size is the
// bitmap's in points, or the text box when one is given. Depends on Node and Texture2D.
#pragma once

#include <string>

#include "2d/Node.h"
#include "renderer/QuadCommand.h"

NS_CC_BEGIN

class Texture2D;

class Label : public Node {
public:
    // An empty label in the default font.
    static Label* create();
    // A label in the named system font; with dimensions, the text is laid out (wrapped
    // and aligned) in a box of that size.
    static Label* createWithSystemFont(const std::string& text, const std::string& font,
                                       float fontSize, const Size& dimensions = Size::ZERO,
                                       TextHAlignment hAlignment = TextHAlignment::LEFT,
                                       TextVAlignment vAlignment = TextVAlignment::TOP);

    virtual void setString(const std::string& text);
    virtual const std::string& getString() const { return _text; }

    // Colour of the glyphs (modulated by the node's colour and opacity).
    virtual void setTextColor(const Color4B& color);
    const Color4B& getTextColor() const { return _textColor; }

    void setSystemFontName(const std::string& font);
    const std::string& getSystemFontName() const { return _fontName; }
    void setSystemFontSize(float fontSize);
    float getSystemFontSize() const { return _fontSize; }

    // The text box; 0 in either direction means "as large as the text".
    void setDimensions(float width, float height);
    const Size& getDimensions() const { return _dimensions; }
    void setWidth(float width) { setDimensions(width, _dimensions.height); }
    void setHeight(float height) { setDimensions(_dimensions.width, height); }

    void setAlignment(TextHAlignment hAlignment);
    void setAlignment(TextHAlignment hAlignment, TextVAlignment vAlignment);
    void setHorizontalAlignment(TextHAlignment hAlignment);
    void setVerticalAlignment(TextVAlignment vAlignment);

    // The rendered text (nullptr when the font could not be used).
    Texture2D* getTexture() const { return _texture; }

    void draw(Renderer* renderer, const Mat4& transform, std::uint32_t flags) override;

    ~Label() override;

protected:
    Label();

private:
    void updateTexture();

    std::string _text;
    std::string _fontName = "Helvetica";
    float _fontSize = 12.f;
    Size _dimensions;
    TextHAlignment _hAlignment = TextHAlignment::LEFT;
    TextVAlignment _vAlignment = TextVAlignment::TOP;
    Color4B _textColor = Color4B::WHITE;
    Texture2D* _texture = nullptr;  // one reference
    QuadCommand _quadCommand;
};

NS_CC_END

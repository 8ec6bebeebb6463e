#include "2d/LabelAtlas.h"

#include "base/Director.h"
#include "renderer/Renderer.h"
#include "renderer/Texture2D.h"
#include "renderer/TextureCache.h"

NS_CC_BEGIN

LabelAtlas* LabelAtlas::create(const std::string& string, const std::string& charMapFile,
                               int itemWidth, int itemHeight, int startCharMap) {
    auto* label = new LabelAtlas();
    if (label->initWithString(string, charMapFile, itemWidth, itemHeight, startCharMap)) {
        label->autorelease();
        return label;
    }
    delete label;
    return nullptr;
}

LabelAtlas::~LabelAtlas() {
    CC_SAFE_RELEASE(_texture);
}

bool LabelAtlas::initWithString(const std::string& string, const std::string& charMapFile,
                                int itemWidth, int itemHeight, int startCharMap) {
    CCASSERT(itemWidth > 0 && itemHeight > 0, "character cells must not be empty");
    if (!Node::init()) {
        return false;
    }
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(charMapFile);
    if (texture == nullptr) {
        return false;
    }
    texture->retain();
    _texture = texture;
    _itemWidth = itemWidth;
    _itemHeight = itemHeight;
    _startCharMap = startCharMap;
    _string = string;
    setContentSize(
        Size(static_cast<float>(_string.size() * itemWidth), static_cast<float>(itemHeight)));
    return true;
}

void LabelAtlas::setString(const std::string& string) {
    if (string != _string) {
        _string = string;
        setContentSize(
            Size(static_cast<float>(_string.size() * _itemWidth), static_cast<float>(_itemHeight)));
        markSceneDirty();
    }
}

void LabelAtlas::draw(Renderer* renderer, const Mat4& transform, std::uint32_t) {
    GLubyte opacity = getDisplayedOpacity();
    if (_texture == nullptr || opacity == 0 || _string.empty()) {
        return;
    }
    // Cells are counted in points, so the sheet's layout holds at any content scale factor.
    Size sheet = _texture->getContentSize();
    int columns = static_cast<int>(sheet.width / _itemWidth + 0.5f);
    int rows = static_cast<int>(sheet.height / _itemHeight + 0.5f);
    if (columns <= 0 || rows <= 0) {
        return;
    }
    Color3B c = getDisplayedColor();
    Color4B colour(c.r, c.g, c.b, opacity);
    const float w = static_cast<float>(_itemWidth), h = static_cast<float>(_itemHeight);
    const float du = w / sheet.width, dv = h / sheet.height;
    _quadCommands.resize(_string.size());
    for (std::size_t i = 0; i < _string.size(); ++i) {
        int index = static_cast<unsigned char>(_string[i]) - _startCharMap;
        if (index < 0 || index >= columns * rows) {
            continue;  // not on the sheet: the cell stays empty
        }
        float u = (index % columns) * du;
        float v = (index / columns) * dv;
        float x = i * w;
        _quadCommands[i].initRect(_globalZOrder, _texture, transform, Rect(x, 0.f, w, h), colour,
                                  Rect(u, v, du, dv));
        renderer->addCommand(&_quadCommands[i]);
    }
}

NS_CC_END

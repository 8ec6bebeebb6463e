#include "2d/Sprite.h"

#include "base/Director.h"
#include "renderer/Renderer.h"
#include "renderer/Texture2D.h"
#include "renderer/TextureCache.h"

NS_CC_BEGIN

Sprite* Sprite::create() {
    auto* sprite = new Sprite();
    if (sprite->init()) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Sprite* Sprite::create(const std::string& filename) {
    auto* sprite = new Sprite();
    if (sprite->initWithFile(filename)) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Sprite* Sprite::createWithTexture(Texture2D* texture) {
    auto* sprite = new Sprite();
    if (sprite->initWithTexture(texture)) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Sprite::Sprite() {
    _anchorPoint = Vec2::ANCHOR_MIDDLE;
}

Sprite::~Sprite() {
    CC_SAFE_RELEASE(_texture);
}

bool Sprite::init() {
    return initWithTexture(nullptr);
}

bool Sprite::initWithFile(const std::string& filename) {
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(filename);
    return texture != nullptr && initWithTexture(texture);
}

bool Sprite::initWithTexture(Texture2D* texture) {
    if (!Node::init()) {
        return false;
    }
    setTexture(texture);
    return true;
}

void Sprite::setTexture(const std::string& filename) {
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(filename);
    if (texture != nullptr) {
        setTexture(texture);
    }
}

void Sprite::setTexture(Texture2D* texture) {
    if (texture != _texture) {
        CC_SAFE_RETAIN(texture);
        CC_SAFE_RELEASE(_texture);
        _texture = texture;
        markSceneDirty();
    }
    setContentSize(_texture != nullptr ? _texture->getContentSize() : Size::ZERO);
}

void Sprite::draw(Renderer* renderer, const Mat4& transform, std::uint32_t) {
    GLubyte opacity = getDisplayedOpacity();
    if (_texture == nullptr || opacity == 0) {
        return;
    }
    Color3B c = getDisplayedColor();
    _quadCommand.initRect(_globalZOrder, _texture, transform, Rect(Vec2::ZERO, _contentSize),
                          Color4B(c.r, c.g, c.b, opacity));
    renderer->addCommand(&_quadCommand);
}

NS_CC_END

#include "widgets/CardSprite.h"

#include <algorithm>
#include <cmath>

USING_NS_CC;

namespace {
const char* const kCornerButtonImage = "res/r_card_flick.png";
constexpr float kTurnSeconds = 0.2f;
constexpr GLubyte kPressedOpacity = 192;
// A loose card: turned a little anticlockwise, lifted towards the upper left, its shadow
// falling to the lower right.
constexpr float kLooseTurnDegrees = -4.f;
const Vec2 kLooseLift(-3.f, 4.f);
const Vec2 kShadowFall(6.f, -8.f);
constexpr GLubyte kShadowOpacity = 70;
// The coloured band at the top of every card picture, kept free of words by the
// picture generator, and the caption's sizes in it.
constexpr float kCaptionBandHeight = 27.f;
constexpr float kCaptionInset = 9.f;
constexpr float kCaptionLargest = 16.f;
constexpr float kCaptionSmallest = 10.f;

Vec2 centreOf(const Size& size) {
    return Vec2(size.width / 2.f, size.height / 2.f);
}
}  // namespace

CardSprite* CardSprite::create(const std::string& frontImage) {
    return create(frontImage, std::string());
}

CardSprite* CardSprite::create(const std::string& frontImage, const std::string& backImage) {
    auto* card = new CardSprite();
    if (card->initWithImages(frontImage, backImage)) {
        card->autorelease();
        return card;
    }
    delete card;
    return nullptr;
}

bool CardSprite::isTouchInside(const Node* node, const Vec2& location) {
    CCASSERT(node != nullptr, "hit test of nullptr");
    Rect box = node->getBoundingBox();
    // The whole box goes through the parent, so a zoomed field tests what the user sees.
    if (const Node* parent = node->getParent()) {
        box = parent->getNodeToWorldTransform().transformRect(box);
    }
    return box.containsPoint(location);
}

CardSprite::CardSprite() {
    connectors[0].owner = this;
    connectors[1].owner = this;
}

CardSprite::~CardSprite() {
    // A turn in progress holds the picture beyond this node; its texture step reads our
    // members, so it must not outlive us.
    if (picture != nullptr) {
        picture->stopAllActions();
    }
}

bool CardSprite::initWithImages(const std::string& front, const std::string& back) {
    if (!Node::init()) {
        return false;
    }
    // Everything that can fail is loaded before anything is attached, so a failed
    // creation leaves no half-made node behind.
    Sprite* image = Sprite::create(front);
    Sprite* button = back.empty() ? nullptr : Sprite::create(kCornerButtonImage);
    if (image == nullptr || (!back.empty() && button == nullptr)) {
        return false;
    }

    picture = image;
    const Size size = picture->getContentSize();
    _body = Node::create();
    _body->setContentSize(size);
    _body->setAnchorPoint(Vec2(0.5f, 0.5f));
    _body->setPosition(size.width / 2.f, size.height / 2.f);
    picture->setPosition(size.width / 2.f, size.height / 2.f);
    _body->addChild(picture);
    addChild(_body);
    setContentSize(size);
    setAnchorPoint(Vec2(0.5f, 0.5f));
    frontImage = front;
    backImage = back;
    if (button == nullptr) {
        return true;
    }

    _cornerButton = button;
    const Size buttonSize = _cornerButton->getContentSize();
    _cornerButton->setPosition(size.width - buttonSize.width / 2.f, buttonSize.height / 2.f);
    // Invisible but still touchable; it shows only while pressed.
    _cornerButton->setOpacity(0);
    addChild(_cornerButton);

    auto* listener = EventListenerTouchOneByOne::create();
    // The field's own card gestures must see the same touch.
    listener->setSwallowTouches(false);
    listener->onTouchBegan = CC_CALLBACK_2(CardSprite::onCornerTouchBegan, this);
    listener->onTouchEnded = CC_CALLBACK_2(CardSprite::onCornerTouchEnded, this);
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, _cornerButton);
    return true;
}

void CardSprite::setLoose(bool loose) {
    if (loose == _loose) {
        return;
    }
    if (loose && _shadow == nullptr) {
        _shadow = Sprite::create(frontImage);
        if (_shadow == nullptr) {
            return;
        }
        _shadow->setColor(Color3B::BLACK);
        _shadow->setOpacity(kShadowOpacity);
        // Under the picture, turning and fading with it (a picked-up card, a removed one).
        _shadow->setPosition(centreOf(getContentSize()) + kShadowFall - kLooseLift);
        picture->setCascadeOpacityEnabled(true);
        picture->addChild(_shadow, -1);
    }
    _loose = loose;
    const Vec2 centre = centreOf(getContentSize());
    _body->setRotation(loose ? kLooseTurnDegrees : 0.f);
    _body->setPosition(loose ? centre + kLooseLift : centre);
    _shadow->setVisible(loose);
}

Rect CardSprite::captionBand(const Size& cardSize) {
    return Rect(kCaptionInset, cardSize.height - kCaptionBandHeight,
                cardSize.width - 2.f * kCaptionInset, kCaptionBandHeight);
}

void CardSprite::setCaption(const std::string& text, const std::string& fontName) {
    if (_caption != nullptr) {
        _caption->removeFromParent();
        _caption = nullptr;
    }
    if (text.empty()) {
        return;
    }
    const Rect band = captionBand(picture->getContentSize());
    Label* label = Label::createWithSystemFont(text, fontName, kCaptionLargest);
    // Shrinks in steps while the line is too wide: "Wiederholung" must not touch the edge.
    float size = kCaptionLargest;
    while (label->getContentSize().width > band.size.width && size > kCaptionSmallest) {
        size = std::max(kCaptionSmallest,
                        std::floor(size * band.size.width / label->getContentSize().width));
        label->setSystemFontSize(size);
    }
    if (label->getContentSize().width > band.size.width) {
        // Two lines in the band, broken between words.
        label->setDimensions(band.size.width, band.size.height);
        label->setAlignment(TextHAlignment::CENTER, TextVAlignment::CENTER);
    }
    label->setTextColor(Color4B::WHITE);
    label->setPosition(band.getMidX(), band.getMidY());
    // Fades and tints with the picture, and turns with it.
    picture->setCascadeOpacityEnabled(true);
    picture->addChild(label, 1);
    _caption = label;
}

void CardSprite::setOpacity(GLubyte opacity) {
    picture->setOpacity(opacity);
}

void CardSprite::setColor(const Color3B& color) {
    picture->setColor(color);
}

bool CardSprite::onCornerTouchBegan(Touch* touch, Event*) {
    if (!isTouchInside(_cornerButton, touch->getLocation())) {
        return false;
    }
    _cornerButton->setOpacity(kPressedOpacity);
    return true;
}

void CardSprite::onCornerTouchEnded(Touch* touch, Event*) {
    _cornerButton->setOpacity(0);
    if (isTouchInside(_cornerButton, touch->getLocation())) {
        flipped = !flipped;
        turnOver();
    }
}

void CardSprite::turnOver() {
    const bool toBack = flipped;
    // The path is read when the picture stands edge-on, so a dialect change made during
    // the first half of the turn is what the card shows afterwards.
    auto* swapTexture = CallFunc::create(
        [this, toBack]() { picture->setTexture(toBack ? backImage : frontImage); });
    picture->runAction(Sequence::create(
        RotateTo::create(kTurnSeconds, Vec3(0.f, 90.f, 0.f)), swapTexture,
        RotateTo::create(kTurnSeconds, Vec3(0.f, toBack ? 180.f : 0.f, 0.f)), nullptr));
}

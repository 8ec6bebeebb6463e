// The palette: building the list of the current card set with its usage badges, switching
// sets with an offset kept per set, paging with the arrows, and the mouse: the wheel over
// the palette or the field, the middle button zooming the field.
#include <algorithm>
#include <string>

#include "catalogue/DeviceManager.h"
#include "scene/FieldScene.h"

USING_NS_CC;

namespace {
const char* const kBadgeImage = "res/r_card_num.png";
const char* const kBadgeDigits = "res/r_field_num_w.png";
// Cards stand right-aligned this far from the list's edge, this far apart.
constexpr float kCardInset = 5.f;
constexpr float kCardGap = 20.f;
constexpr float kFirstGap = 20.f;
constexpr float kBottomMargin = 40.f;
constexpr float kPageStep = 300.f;
constexpr float kPageGlide = 1.f;
constexpr float kWheelStep = 10.f;
constexpr float kZoomedOut = 0.5f;
}  // namespace

bool FieldScene::buildPalette() {
    const float listWidth = paletteList->getViewSize().width;
    paletteList->removeAllChildren();
    for (CardSprite* card : paletteCards) {
        getEventDispatcher()->removeEventListenersForTarget(card);
    }
    paletteCards.clear();
    usageBadges.clear();

    const DeviceManager* catalogue = DeviceManager::getInstance();
    const int set = catalogue->cardSet;
    float top = kFirstGap;
    // The last card is placed lowest, so the list reads from its top.
    for (int k = catalogue->getCardCount(set) - 1; k >= 0; --k) {
        CardSprite* card = CardSprite::create(catalogue->getPaletteImage(k, set));
        Sprite* badge = Sprite::create(kBadgeImage);
        LabelAtlas* count = LabelAtlas::create(std::to_string(fieldModel.usage(CardId{set, k})),
                                               kBadgeDigits, kDigitWidth, kDigitHeight, '0');
        if (card == nullptr || badge == nullptr || count == nullptr) {
            return false;
        }
        card->cardIndex = k;
        card->cardSet = set;
        writeCaption(card);
        const Size size = card->getContentSize();
        card->setPosition(listWidth - size.width / 2.f - kCardInset,
                          top + kCardGap + size.height / 2.f);
        top = card->getPositionY() + size.height / 2.f;
        paletteCards.insert(0, card);
        paletteList->addChild(card);

        const Size badgeSize = badge->getContentSize();
        badge->setPosition(card->getPositionX() - size.width / 2.f - badgeSize.width / 2.f,
                           card->getPositionY());
        paletteList->addChild(badge);
        count->setAnchorPoint(Vec2(0.f, 0.5f));
        count->setPosition(badge->getPositionX() - badgeSize.width / 4.f, badge->getPositionY());
        usageBadges.insert(0, count);
        paletteList->addChild(count);
    }
    const float contentHeight = top + kBottomMargin;
    paletteList->setContentSize(Size(listWidth, contentHeight));
    // A set seen for the first time opens at its top; the offset's limits keep a set
    // shorter than the list top-aligned.
    const float saved = savedPaletteOffsets.at(static_cast<std::size_t>(set));
    paletteList->setOffset(Vec2(0.f, saved == kNoSavedOffset ? -contentHeight : saved), false);

    for (CardSprite* card : paletteCards) {
        listenToPaletteCard(card);
    }
    return true;
}

void FieldScene::switchCardSet(int set) {
    DeviceManager* catalogue = DeviceManager::getInstance();
    savedPaletteOffsets.at(static_cast<std::size_t>(catalogue->cardSet)) = paletteList->offset().y;
    catalogue->cardSet = set;
    for (Sprite* tab : cardSetTabs) {
        tab->setTexture(catalogue->getTabImage(tab->getTag()));
        writeTabName(tab, tab->getTag() == set);
    }
    buildPalette();
}

void FieldScene::pagePalette(bool up) {
    const Vec2 offset = paletteList->offset();
    const float hidden = paletteList->getContentSize().height - paletteList->getViewSize().height;
    const float y =
        up ? std::max(offset.y - kPageStep, -hidden) : std::min(offset.y + kPageStep, 0.f);
    paletteList->glideTo(Vec2(offset.x, y), kPageGlide);
}

void FieldScene::addMouseListener() {
    auto* listener = EventListenerMouse::create();
    listener->onMouseScroll = CC_CALLBACK_1(FieldScene::onMouseScroll, this);
    listener->onMouseDown = CC_CALLBACK_1(FieldScene::onMouseDown, this);
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
}

void FieldScene::onMouseScroll(EventMouse* event) {
    // The open chooser covers the window: the wheel scrolls its list, a row a notch, in
    // the direction the palette's content moves.
    if (portChooser != nullptr) {
        scrollPortChooser(-event->getScrollY());
        return;
    }
    FieldScrollView* view = event->getCursorX() < kPalettePanelWidth ? paletteList : fieldView;
    view->scrollBy(kWheelStep * event->getScrollY());
}

void FieldScene::onMouseDown(EventMouse* event) {
    if (event->getMouseButton() != EventMouse::MouseButton::BUTTON_MIDDLE ||
        event->getCursorX() < kPalettePanelWidth) {
        return;
    }
    fieldView->setZoom(fieldView->getZoom() < 1.f ? 1.f : kZoomedOut);
}

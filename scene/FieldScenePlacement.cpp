// Tearing a card off the palette: the 2-pixel decision between scrolling the list and
// tearing off, the half-transparent ghost over the panel, the field card made once the
// ghost has left the panel; and the trash marker's reaction to a dragged card.
#include <cmath>

#include "catalogue/DeviceManager.h"
#include "scene/FieldScene.h"
#include "scene/SceneLook.h"

USING_NS_CC;
using namespace scenelook;

namespace {
const char* const kTrashLitImage = "res/r_card_clean_on.png";
const Color3B kTrashTint(0, 30, 70);
// A palette gesture decides once the pointer is this far from where it began.
constexpr float kDecisionDistance = 2.f;
// Tearing off takes a direction strictly between these, in degrees from straight up
// towards the right: a gesture that starts up or down is a scroll of the list.
constexpr double kTearOffFromDegrees = 20.0;
constexpr double kTearOffToDegrees = 160.0;
constexpr GLubyte kGhostOpacity = 150;
constexpr float kTrashFadeSeconds = 0.2f;
constexpr int kTrashFadeTag = 0x547273;
constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;
}  // namespace

void FieldScene::listenToPaletteCard(CardSprite* card) {
    auto* listener = EventListenerTouchOneByOne::create();
    // The palette list hears the same touch, and scrolls, until a tear-off swallows it.
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this, listener](Touch* touch, Event* event) {
        if (!onPaletteCardTouchBegan(touch, event)) {
            return false;
        }
        gestureListeners.pushBack(listener);
        return true;
    };
    listener->onTouchMoved = CC_CALLBACK_2(FieldScene::onPaletteCardTouchMoved, this);
    listener->onTouchEnded = CC_CALLBACK_2(FieldScene::onPaletteCardTouchEnded, this);
    // Cut short, the gesture ends as a release: the placed card stays where it is.
    listener->onTouchCancelled = CC_CALLBACK_2(FieldScene::onPaletteCardTouchEnded, this);
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, card);
}

bool FieldScene::onPaletteCardTouchBegan(Touch* touch, Event* event) {
    const Vec2 location = touch->getLocation();
    // A card scrolled under the header strip or past the list's lower edge is out of sight
    // and cannot be taken.
    if (isGestureRunning() || !paletteList->viewRect().containsPoint(location) ||
        !CardSprite::isTouchInside(event->getCurrentTarget(), location)) {
        return false;
    }
    gesture.tearOffDecided = false;
    gesture.tearOffStart = location;
    return true;
}

void FieldScene::onPaletteCardTouchMoved(Touch* touch, Event* event) {
    if (!gesture.tearOffDecided) {
        const Vec2 d = touch->getLocation() - gesture.tearOffStart;
        if (d.length() < kDecisionDistance) {
            return;
        }
        gesture.tearOffDecided = true;
        const double angle = std::atan2(d.x, d.y) * kDegreesPerRadian;
        if (angle > kTearOffFromDegrees && angle < kTearOffToDegrees) {
            // Where the hand was before this event: the step below adds the event's own.
            tearOff(static_cast<CardSprite*>(event->getCurrentTarget()),
                    touch->getPreviousLocation() - gesture.tearOffStart);
        }
    }
    if (gesture.ghostCard == nullptr) {
        return;
    }
    const Vec2 g = gesture.ghostCard->getPosition();
    if (g.x < kPalettePanelWidth + gesture.ghostCard->getContentSize().width / 2.f) {
        gesture.ghostCard->setPosition(g + touch->getDelta());
    } else if (gesture.draggedCard != nullptr) {
        // On the field the torn-off card is dragged like any field card, so it too holds
        // still while the field is pinched.
        if (!isFieldPinched()) {
            moveGroup(gesture.draggedCard, touch->getDelta() / fieldView->getZoom());
        }
    } else {
        placeTornOffCard();
        // The event that brings the card onto the field moves it too, or it would trail
        // the hand by that much for the rest of the drag.
        if (gesture.draggedCard != nullptr && !isFieldPinched()) {
            moveGroup(gesture.draggedCard, touch->getDelta() / fieldView->getZoom());
        }
    }
}

void FieldScene::onPaletteCardTouchEnded(Touch*, Event*) {
    if (gesture.draggedCard != nullptr) {
        gesture.draggedCard->setOpacity(255);
        seatOnRelease(gesture.draggedCard, gesture.dragGroup);
    }
    if (gesture.ghostCard != nullptr) {
        gesture.ghostCard->removeFromParentAndCleanup(true);
    }
    resetGesture();
    endGestureListening();
}

void FieldScene::tearOff(CardSprite* paletteCard, const Vec2& handMotion) {
    CardSprite* ghost = CardSprite::create(DeviceManager::getInstance()->getPaletteImage(
        paletteCard->cardIndex, paletteCard->cardSet));
    if (ghost == nullptr) {
        return;
    }
    ghost->cardIndex = paletteCard->cardIndex;
    ghost->cardSet = paletteCard->cardSet;
    writeCaption(ghost);
    ghost->setOpacity(kGhostOpacity);
    // Above the palette panel and the field view alike; as far from the palette card as the
    // hand has come, so the ghost lies under the hand where it took the card.
    ghost->setPosition(convertToNodeSpace(paletteCard->getParent()->convertToWorldSpace(
                           paletteCard->getPosition())) +
                       handMotion);
    addChild(ghost);
    gesture.ghostCard = ghost;
    gestureListeners.front()->setSwallowTouches(true);
}

void FieldScene::placeTornOffCard() {
    const Vec2 at = fieldView->getContentLayer()->convertToNodeSpace(
        convertToWorldSpace(gesture.ghostCard->getPosition()));
    CardSprite* card = addFieldCard(gesture.ghostCard->cardSet, gesture.ghostCard->cardIndex, at);
    if (card == nullptr) {
        return;
    }
    gesture.ghostCard->setVisible(false);
    card->setOpacity(kGhostOpacity);
    gesture.dragGroup.clear();
    gesture.dragGroup.pushBack(card);
    raiseGroup();
    gesture.draggedCard = card;
}

void FieldScene::endGestureListening() {
    // Before the dispatcher looks again: the end must reach the scroll view beneath too.
    for (EventListenerTouchOneByOne* listener : gestureListeners) {
        listener->setSwallowTouches(false);
    }
    gestureListeners.clear();
    // What the gesture did is one step, taken once its release has been handled whole.
    if (undoButton != nullptr) {
        fieldChanged();
    }
}

void FieldScene::trashHighlight(CardSprite* card, const Vec2& location) {
    const bool over = CardSprite::isTouchInside(trashMarker, location);
    trashMarker->setTexture(over ? kTrashLitImage : kTrashImage);
    card->setColor(over ? kTrashTint : Color3B::WHITE);
}

void FieldScene::dropOnTrash(CardSprite* card, const Vec2& location) {
    const bool over = CardSprite::isTouchInside(trashMarker, location);
    trashMarker->setTexture(kTrashImage);
    if (over) {
        removeCard(card);
    }
}

void FieldScene::showTrashMarker() {
    fadeTrashMarker(255);
}

void FieldScene::hideTrashMarker() {
    // A gesture cut short never dropped anything: the marker may still be lit.
    trashMarker->setTexture(kTrashImage);
    fadeTrashMarker(0);
}

void FieldScene::fadeTrashMarker(GLubyte opacity) {
    // A fade still running the other way would finish after this one and win.
    trashMarker->stopActionByTag(kTrashFadeTag);
    Action* fade = FadeTo::create(kTrashFadeSeconds, opacity);
    fade->setTag(kTrashFadeTag);
    trashMarker->runAction(fade);
}

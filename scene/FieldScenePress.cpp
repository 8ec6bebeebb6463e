// Pressing a card on the field: the card is picked up after 0.05 s held still, its
// cluster after a further 0.3 s; dragging it (or the cluster) with holding and snapping,
// the trash marker shown meanwhile; the release, or a cancel, that ends it.
#include "scene/FieldScene.h"

USING_NS_CC;

namespace {
constexpr float kPickUpSeconds = 0.05f;
constexpr float kClusterSeconds = 0.3f;
constexpr GLubyte kCardOpacity = 150;
constexpr GLubyte kClusterOpacity = 100;
// Press numbers count modulo this.
constexpr int kSequenceCount = 10;
// Tags of the press's delayed steps on the scene.
constexpr int kPickUpTag = 0x50636b;
constexpr int kClusterTag = 0x436c73;
}  // namespace

void FieldScene::listenToFieldCard(CardSprite* card) {
    auto* listener = EventListenerTouchOneByOne::create();
    // Until the card is picked up, the field view hears the press too and scrolls if the
    // pointer moves early.
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this, listener](Touch* touch, Event* event) {
        return onFieldCardTouchBegan(listener, touch, event);
    };
    listener->onTouchMoved = CC_CALLBACK_2(FieldScene::onFieldCardTouchMoved, this);
    listener->onTouchEnded = [this](Touch* touch, Event* event) {
        onFieldCardTouchEnded(touch, event, false);
    };
    listener->onTouchCancelled = [this](Touch* touch, Event* event) {
        onFieldCardTouchEnded(touch, event, true);
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, card);
}

bool FieldScene::onFieldCardTouchBegan(EventListenerTouchOneByOne* listener, Touch* touch,
                                       Event* event) {
    auto* card = static_cast<CardSprite*>(event->getCurrentTarget());
    const Vec2 at = fieldView->getContentLayer()->convertToNodeSpace(touch->getLocation());
    if (isGestureRunning() || !card->getBoundingBox().containsPoint(at)) {
        return false;
    }
    gesture.pressedCard = card;
    gestureListeners.pushBack(listener);
    const int n = touchSequence;
    Action* pickUp = Sequence::create(DelayTime::create(kPickUpSeconds),
                                      CallFunc::create([this, n]() { pickUpCard(n); }), nullptr);
    pickUp->setTag(kPickUpTag);
    runAction(pickUp);
    return true;
}

void FieldScene::pickUpCard(int n) {
    if (gesture.pressedCard == nullptr || !gesture.pressIsStill || touchSequence != n) {
        return;
    }
    if (CardSprite* slot = gesture.pressedCard->connectors[0].partner) {
        gesture.heldSlot = slot;
    }
    gesture.dragGroup.clear();
    gesture.dragGroup.pushBack(gesture.pressedCard);
    raiseGroup();
    gesture.pressedCard->setOpacity(kCardOpacity);
    gesture.dragMode = true;
    gestureListeners.front()->setSwallowTouches(true);
    showTrashMarker();
    Action* cluster =
        Sequence::create(DelayTime::create(kClusterSeconds),
                         CallFunc::create([this, n]() { pickUpCluster(n); }), nullptr);
    cluster->setTag(kClusterTag);
    runAction(cluster);
}

void FieldScene::pickUpCluster(int n) {
    if (gesture.pressedCard == nullptr || !gesture.pressIsStill || touchSequence != n) {
        return;
    }
    collectCluster(gesture.pressedCard);
    raiseGroup();
    for (CardSprite* card : gesture.dragGroup) {
        card->setOpacity(kClusterOpacity);
    }
}

void FieldScene::onFieldCardTouchMoved(Touch* touch, Event* event) {
    if (event->getCurrentTarget() != gesture.pressedCard || isFieldPinched()) {
        return;
    }
    const Vec2 d = touch->getDelta() / fieldView->getZoom();
    if (d.isZero()) {
        return;
    }
    if (gesture.dragMode) {
        moveGroup(gesture.pressedCard, d);
        for (CardSprite* card : gesture.dragGroup) {
            trashHighlight(card, touch->getLocation());
        }
    }
    gesture.pressIsStill = false;
}

void FieldScene::onFieldCardTouchEnded(Touch* touch, Event* event, bool cancelled) {
    if (event->getCurrentTarget() != gesture.pressedCard) {
        return;
    }
    finishFieldPress(touch->getLocation(), !cancelled);
}

void FieldScene::finishFieldPress(const Vec2& location, bool mayDrop) {
    const bool wasDragging = gesture.dragMode;
    CardSprite* card = gesture.pressedCard;
    const Vector<CardSprite*> group = gesture.dragGroup;
    // Every member back to its initial value first: a card dropped on the trash below
    // leaves the field through removeCard, which must find no press left to end.
    // Stopped outright, a step left from an earlier press can never act on this one, even
    // after ten quick presses bring its number round again.
    stopActionByTag(kPickUpTag);
    stopActionByTag(kClusterTag);
    resetGesture();
    touchSequence = (touchSequence + 1) % kSequenceCount;
    endGestureListening();
    if (!wasDragging) {
        return;
    }
    hideTrashMarker();
    for (CardSprite* member : group) {
        member->setOpacity(255);
        // Released off the trash after passing over it, a card must not keep the tint.
        member->setColor(Color3B::WHITE);
        // A gesture cut short by the window is no decision to throw cards away.
        if (mayDrop) {
            dropOnTrash(member, location);
        }
    }
    // Cards that went to the trash are off the field and stay where they fade.
    seatOnRelease(card, group);
}

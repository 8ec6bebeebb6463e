// Cards on the field: creating and removing them, their usage counters and badges, the
// cluster a press lifts, and their drawing order.
#include <climits>
#include <stdexcept>
#include <string>

#include "catalogue/DeviceManager.h"
#include "scene/FieldScene.h"

USING_NS_CC;

CardSprite* FieldScene::addFieldCard(int cardSet, int cardIndex, const Vec2& fieldPosition,
                                     FieldModel::Handle shown) {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    CardSprite* card = CardSprite::create(catalogue->getPaletteImage(cardIndex, cardSet),
                                          catalogue->getCardImage(cardIndex, cardSet));
    if (card == nullptr) {
        return nullptr;
    }
    card->cardSet = cardSet;
    card->cardIndex = cardIndex;
    writeCaption(card);
    Connector& connector = card->connectors[0];
    connector.point = Vec2(0.f, card->getContentSize().height / 2.f);
    connector.tip = connector.point + Vec2(1.f, 0.f);
    card->setPosition(fieldPosition);
    // Made where a ghost left the panel near the field's edge, it would stick out of the
    // field, and nothing but a later drag would bring it back.
    moveClamped(card, Vec2::ZERO);
    fieldView->addChild(card, INT_MAX);
    fieldCards.pushBack(card);
    card->setLoose(true);
    card->fieldHandle =
        shown != 0
            ? shown
            : fieldModel.lay(CardId{cardSet, cardIndex},
                             FieldModel::Position{card->getPositionX(), card->getPositionY()});
    refreshUsageBadge(cardIndex, cardSet);
    raiseCard(card);
    listenToFieldCard(card);
    return card;
}

void FieldScene::removeCard(CardSprite* card, bool fade) {
    // A card that is not (or no longer) on the field has nothing left to take off; a
    // second removal must not lower the counter again.
    if (card == nullptr || !fieldCards.contains(card)) {
        return;
    }
    // Taken away under a press (a second finger on a row button): its listener goes with
    // it, so the release never comes; the press ends here, the others put down where they are.
    if (gesture.pressedCard != nullptr &&
        (card == gesture.pressedCard || gesture.dragGroup.contains(card))) {
        finishFieldPress(Vec2::ZERO, false);
    }
    // Keeps the card alive through its own removal, whoever else lets go of it.
    card->retain();
    fieldModel.remove(card->fieldHandle);
    refreshUsageBadge(card->cardIndex, card->cardSet);
    fieldCards.eraseObject(card);
    // Close the gap in the drawing order, so raiseGroup's top place stays above all.
    const int order = card->getLocalZOrder();
    for (CardSprite* other : fieldCards) {
        if (other->getLocalZOrder() > order) {
            other->setLocalZOrder(other->getLocalZOrder() - 1);
        }
    }
    card->setColor(Color3B::WHITE);
    getEventDispatcher()->removeEventListenersForTarget(card);
    if (fade) {
        card->picture->runAction(FadeOut::create(kRemoveFadeSeconds));
        card->runAction(Sequence::create(DelayTime::create(kRemoveFadeSeconds),
                                         RemoveSelf::create(true), nullptr));
    } else {
        card->stopAllActions();
        card->removeFromParent();
    }
    detach(card);
    card->release();
}

void FieldScene::refreshUsageBadge(int cardIndex, int cardSet) {
    if (cardSet != DeviceManager::getInstance()->cardSet) {
        return;
    }
    if (cardIndex < 0 || static_cast<std::size_t>(cardIndex) >= usageBadges.size()) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    const int count = fieldModel.usage(CardId{cardSet, cardIndex});
    usageBadges.at(static_cast<std::size_t>(cardIndex))->setString(std::to_string(count));
}

void FieldScene::collectCluster(CardSprite* card) {
    gesture.dragGroup.clear();
    addToCluster(card);
}

void FieldScene::addToCluster(CardSprite* card) {
    if (card == nullptr || gesture.dragGroup.contains(card)) {
        return;
    }
    gesture.dragGroup.pushBack(card);
    if (CardSprite* slot = card->connectors[0].partner) {
        for (CardSprite* neighbour : {slot->up, slot->left, slot->down, slot->right}) {
            if (neighbour != nullptr) {
                addToCluster(neighbour->connectors[0].partner);
            }
        }
    }
}

void FieldScene::raiseGroup() {
    for (auto it = gesture.dragGroup.end(); it != gesture.dragGroup.begin();) {
        --it;
        raiseCard(*it);
    }
}

void FieldScene::raiseCard(CardSprite* card) {
    const int order = card->getLocalZOrder();
    for (CardSprite* other : fieldCards) {
        if (other->getLocalZOrder() > order) {
            other->setLocalZOrder(other->getLocalZOrder() - 1);
        }
    }
    card->setLocalZOrder(static_cast<int>(fieldCards.size()));
    fieldModel.raise(card->fieldHandle);
}

CardSprite* FieldScene::spriteOf(FieldModel::Handle handle) const {
    for (CardSprite* card : fieldCards) {
        if (card->fieldHandle == handle) {
            return card;
        }
    }
    return nullptr;
}

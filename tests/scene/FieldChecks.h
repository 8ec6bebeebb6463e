// Checks over a whole workspace shared by the suites that edit the field at random: the
// field's invariants, and the traces a finished gesture must not leave. Each answers the
// first problem it finds, in words, or "" when there is none.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "scene/FieldScene.h"
#include "tests/scene/FieldScenePeer.h"

namespace fieldtest {

// Links mutual and one-to-one, only between field cards and slots; each card looking
// loose exactly when it is; every card inside the content and, once its row move has
// ended, on the slot it is linked to; the usage counters and the current set's badges
// equal to the cards on the field; the cards' drawing orders 1..N.
inline std::string firstFieldViolation(const FieldScene& scene) {
    std::vector<const CardSprite*> onField(inside(scene).fieldCards.begin(),
                                           inside(scene).fieldCards.end());
    std::sort(onField.begin(), onField.end());
    if (std::adjacent_find(onField.begin(), onField.end()) != onField.end()) {
        return "a card is listed twice on the field";
    }
    std::vector<const CardSprite*> slots;
    for (const FieldScene::FieldRow& row : inside(scene).fieldRows) {
        slots.insert(slots.end(), row.begin(), row.end());
    }
    std::sort(slots.begin(), slots.end());
    for (const CardSprite* s : slots) {
        const CardSprite* card = s->connectors[0].partner;
        if (s->connectors[1].partner != nullptr) {
            return "a slot's second connector is linked";
        }
        if (card != nullptr && !std::binary_search(onField.begin(), onField.end(), card)) {
            return "a slot holds a card that is not on the field";
        }
        if (card != nullptr && card->connectors[0].partner != s) {
            return "a slot's card does not point back at it";
        }
    }
    std::vector<int> orders;
    const FieldModel& model = inside(scene).fieldModel;
    if (model.drawingOrder().size() != inside(scene).fieldCards.size()) {
        return "the model holds other cards than the field shows";
    }
    const cocos2d::Size field = inside(scene).fieldView->getContentSize();
    for (CardSprite* card : inside(scene).fieldCards) {
        const CardSprite* s = card->connectors[0].partner;
        if (card->connectors[1].partner != nullptr) {
            return "a card's second connector is linked";
        }
        if (s != nullptr && (!std::binary_search(slots.begin(), slots.end(), s) ||
                             s->connectors[0].partner != card)) {
            return "a card points at a slot that does not hold it";
        }
        const cocos2d::Rect box = card->getBoundingBox();
        const float slack = 1e-3f;
        if (box.getMinX() < -slack || box.getMinY() < -slack ||
            box.getMaxX() > field.width + slack || box.getMaxY() > field.height + slack) {
            return "a card lies outside the content";
        }
        if (card->isLoose() != (s == nullptr)) {
            return s == nullptr ? "a loose card looks as if it were in a slot"
                                : "a card in a slot looks loose";
        }
        if (s != nullptr && card->getActionByTag(FieldScene::kRowMoveTag) == nullptr &&
            scene.toFieldSpace(card, card->connectors[0].point)
                    .distance(scene.toFieldSpace(s, s->connectors[0].point)) >= 30.f) {
            return "a linked card has come away from its slot";
        }
        if (!model.holds(card->fieldHandle) ||
            !(model.cardOf(card->fieldHandle) == CardId{card->cardSet, card->cardIndex})) {
            return "a card on the field is not the model's";
        }
        const std::optional<FieldModel::Seat> seat = model.seatOf(card->fieldHandle);
        const CardSprite* modelSlot = seat ? inside(scene)
                                                 .fieldRows.at(static_cast<std::size_t>(seat->row))
                                                 .at(static_cast<std::size_t>(seat->slot))
                                           : nullptr;
        if (modelSlot != s) {
            return "a card sits in another slot than the model says";
        }
        const FieldModel::Position at = model.positionOf(card->fieldHandle);
        if (s == nullptr && (at.x != card->getPositionX() || at.y != card->getPositionY())) {
            return "a loose card lies elsewhere than the model says";
        }
        orders.push_back(card->getLocalZOrder());
    }
    std::sort(orders.begin(), orders.end());
    for (std::size_t i = 0; i < orders.size(); ++i) {
        if (orders[i] != static_cast<int>(i) + 1) {
            return "the cards' drawing orders are not 1..N";
        }
    }
    const int set = DeviceManager::getInstance()->cardSet;
    for (std::size_t k = 0; k < inside(scene).usageBadges.size(); ++k) {
        int count = 0;
        for (CardSprite* card : inside(scene).fieldCards) {
            count += card->cardSet == set && card->cardIndex == static_cast<int>(k) ? 1 : 0;
        }
        if (inside(scene).usageBadges.at(k)->getString() != std::to_string(count)) {
            return "a badge does not show its counter";
        }
    }
    return "";
}

// During a gesture: the cards it holds are on the field, a held slot holds its card, and
// only the gesture's own cards are see-through or tinted.
inline std::string firstGestureViolation(const FieldScene& scene) {
    for (CardSprite* card : inside(scene).dragGroup) {
        if (!inside(scene).fieldCards.contains(card)) {
            return "the drag group holds a card that is not on the field";
        }
    }
    for (CardSprite* card : {inside(scene).pressedCard, inside(scene).draggedCard}) {
        if (card != nullptr && !inside(scene).fieldCards.contains(card)) {
            return "the gesture holds a card that is not on the field";
        }
    }
    if (inside(scene).heldSlot != nullptr &&
        inside(scene).heldSlot->connectors[0].partner == nullptr) {
        return "the held slot is empty";
    }
    for (CardSprite* card : inside(scene).fieldCards) {
        if (!inside(scene).dragGroup.contains(card) &&
            (card->picture->getOpacity() != 255 ||
             card->picture->getColor() != cocos2d::Color3B::WHITE)) {
            return "a card outside the gesture is see-through or tinted";
        }
    }
    return "";
}

// Between gestures: every drag member at its initial value, no ghost, no field card
// see-through or tinted, neither scroll view holding a touch, the trash marker hidden.
inline std::string firstGestureLeftover(const FieldScene& scene) {
    if (scene.isGestureRunning() || inside(scene).ghostCard != nullptr ||
        inside(scene).draggedCard != nullptr || inside(scene).pressedCard != nullptr ||
        inside(scene).heldSlot != nullptr || !inside(scene).pressIsStill ||
        inside(scene).dragMode || inside(scene).tearOffDecided ||
        !inside(scene).tearOffStart.isZero() || !inside(scene).holdDrift.isZero() ||
        !inside(scene).dragGroup.empty()) {
        return "a drag member is not back at its initial value";
    }
    for (cocos2d::Node* child : scene.getChildren()) {
        if (dynamic_cast<CardSprite*>(child) != nullptr && child != inside(scene).playButton) {
            return "a ghost is left over the workspace";
        }
    }
    if (std::string problem = firstGestureViolation(scene); !problem.empty()) {
        return problem;
    }
    if (inside(scene).fieldView->getTouchCount() != 0 ||
        inside(scene).paletteList->getTouchCount() != 0) {
        return "a scroll view still holds a touch";
    }
    // Once its fade-out has run, the trash marker is hidden and plain.
    const cocos2d::Sprite* trash = inside(scene).trashMarker;
    if (trash->getNumberOfRunningActions() == 0 &&
        (trash->getOpacity() != 0 || trash->getTexture()->getName() != "res/r_card_clean.png")) {
        return "the trash marker is left showing";
    }
    return "";
}

}  // namespace fieldtest

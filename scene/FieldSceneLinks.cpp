// Field geometry and the links between cards and slots: field coordinates, the direction
// test, the nearest-slot search, moving the drag group with holding and snapping.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "scene/FieldScene.h"

USING_NS_CC;

namespace {
constexpr double kPi = 3.14159265358979323846;
// Let go with at least this share of it over a free slot, a card is seated there.
constexpr float kSeatingCover = 0.5f;
}  // namespace

Vec2 FieldScene::toFieldSpace(const Node* node, const Vec2& localPoint) const {
    const Node* content = fieldView->getContentLayer();
    // Cards and slots are unturned children of the content: their own offset and scale is
    // all there is, and the nearest-slot search asks this hundreds of times per move.
    if (node->getParent() == content && node->getRotation3D() == Vec3(0.f, 0.f, 0.f) &&
        !node->isIgnoreAnchorPointForPosition()) {
        const Vec2 anchor = node->getAnchorPointInPoints();
        return node->getPosition() + Vec2((localPoint.x - anchor.x) * node->getScaleX(),
                                          (localPoint.y - anchor.y) * node->getScaleY());
    }
    return content->convertToNodeSpace(node->convertToWorldSpace(localPoint));
}

std::optional<int> FieldScene::connectorAngle(const Connector& a, const Connector& b) const {
    const Vec2 u = toFieldSpace(a.owner, a.tip) - toFieldSpace(a.owner, a.point);
    const Vec2 v = toFieldSpace(b.owner, b.tip) - toFieldSpace(b.owner, b.point);
    const double lengths = static_cast<double>(u.length()) * static_cast<double>(v.length());
    double cosine = static_cast<double>(u.dot(v)) / lengths;
    if (cosine < -1.0) {
        cosine = -1.0;
    }
    const double magnitude = std::round(std::acos(cosine) * 180.0 / kPi);
    const double sign = std::round(static_cast<double>(u.cross(v)) / lengths);
    // A zero direction gives 0/0: no angle at all, so it never passes as opposite.
    if (!std::isfinite(magnitude) || !std::isfinite(sign)) {
        return std::nullopt;
    }
    return static_cast<int>(sign < 0.0 ? -magnitude : magnitude);
}

std::optional<FieldScene::SlotMatch> FieldScene::findNearestSlot(CardSprite* card) const {
    float best = FLT_MAX;
    std::optional<SlotMatch> match;
    for (Connector& mine : card->connectors) {
        const Vec2 p = toFieldSpace(card, mine.point);
        for (const FieldRow& row : fieldRows) {
            for (CardSprite* slot : row) {
                if (slot == card) {
                    continue;
                }
                for (Connector& theirs : slot->connectors) {
                    if (theirs.partner != nullptr && theirs.partner != card) {
                        continue;
                    }
                    const float d = p.distance(toFieldSpace(slot, theirs.point));
                    // Only pairs that face each other compete: a card's corner lying nearer
                    // to a slot must not keep its attachment point from taking that slot.
                    if (d < kSnapReach && d < best && connectorAngle(mine, theirs) == 180) {
                        best = d;
                        match = SlotMatch{&mine, &theirs};
                    }
                }
            }
        }
    }
    return match;
}

CardSprite* FieldScene::freeSlotUnder(CardSprite* card) const {
    const Rect box = card->getBoundingBox();
    const Vec2 p = toFieldSpace(card, card->connectors[0].point);
    CardSprite* mostCovered = nullptr;
    float mostArea = 0.f;
    CardSprite* underPoint = nullptr;
    float nearest = FLT_MAX;
    for (const FieldRow& row : fieldRows) {
        for (CardSprite* slot : row) {
            const CardSprite* resident = slot->connectors[0].partner;
            if (resident != nullptr && resident != card) {
                continue;
            }
            const Rect area = slot->getBoundingBox();
            const float width =
                std::min(box.getMaxX(), area.getMaxX()) - std::max(box.getMinX(), area.getMinX());
            const float height =
                std::min(box.getMaxY(), area.getMaxY()) - std::max(box.getMinY(), area.getMinY());
            if (width > 0.f && height > 0.f && width * height > mostArea) {
                mostArea = width * height;
                mostCovered = slot;
            }
            // Neighbouring slots overlap by a sliver: the one whose point is nearer wins.
            const float d = p.distance(toFieldSpace(slot, slot->connectors[0].point));
            if (area.containsPoint(p) && d < nearest) {
                nearest = d;
                underPoint = slot;
            }
        }
    }
    // Mostly over a free slot, the card goes there; else the slot its point lies on.
    if (mostCovered != nullptr && mostArea >= kSeatingCover * box.size.width * box.size.height) {
        return mostCovered;
    }
    return underPoint;
}

void FieldScene::link(Connector& mine, Connector& theirs) {
    // Neither side may keep an older partner that still points back at it.
    for (Connector* side : {&mine, &theirs}) {
        CardSprite* old = side->partner;
        if (old != nullptr && old != (side == &mine ? theirs.owner : mine.owner)) {
            for (Connector& back : old->connectors) {
                if (back.partner == side->owner) {
                    back.partner = nullptr;
                }
            }
            showSeating(old);
            // A card pushed out of its slot lies loose where it is.
            for (CardSprite* card : {old, side->owner}) {
                if (card->fieldHandle != 0 && card->connectors[0].partner == nullptr) {
                    fieldModel.unseat(
                        card->fieldHandle,
                        FieldModel::Position{card->getPositionX(), card->getPositionY()});
                }
            }
        }
    }
    mine.partner = theirs.owner;
    theirs.partner = mine.owner;
    showSeating(mine.owner);
    showSeating(theirs.owner);
    // A card always links to a slot: the model records the seat.
    const bool cardIsMine = mine.owner->fieldHandle != 0;
    CardSprite* card = cardIsMine ? mine.owner : theirs.owner;
    if (const std::optional<FieldModel::Seat> seat =
            seatOfSlot(cardIsMine ? theirs.owner : mine.owner)) {
        fieldModel.seat(card->fieldHandle, *seat);
    }
}

std::optional<FieldModel::Seat> FieldScene::seatOfSlot(const CardSprite* slot) const {
    for (std::size_t r = 0; r < fieldRows.size(); ++r) {
        for (std::size_t s = 0; s < fieldRows[r].size(); ++s) {
            if (fieldRows[r][s] == slot) {
                return FieldModel::Seat{static_cast<int>(r), static_cast<int>(s)};
            }
        }
    }
    return std::nullopt;
}

void FieldScene::showSeating(CardSprite* node) {
    // Slots carry connectors too, and a card on its way off the field keeps its last look.
    if (fieldCards.contains(node)) {
        node->setLoose(node->connectors[0].partner == nullptr);
    }
}

void FieldScene::detach(CardSprite* card) {
    for (Connector& mine : card->connectors) {
        CardSprite* partner = mine.partner;
        if (partner == nullptr) {
            continue;
        }
        if (partner->connectors[0].partner == card) {
            partner->connectors[0].partner = nullptr;
        } else if (partner->connectors[1].partner == card) {
            partner->connectors[1].partner = nullptr;
        }
        mine.partner = nullptr;
    }
    showSeating(card);
    fieldModel.unseat(card->fieldHandle,
                      FieldModel::Position{card->getPositionX(), card->getPositionY()});
}

void FieldScene::moveClamped(CardSprite* card, const Vec2& delta) {
    const Size field = fieldView->getContentSize();
    const Size box = card->getBoundingBox().size;
    const Vec2 target = card->getPosition() + delta;
    card->setPosition(clampf(target.x, box.width / 2.f, field.width - box.width / 2.f),
                      clampf(target.y, box.height / 2.f, field.height - box.height / 2.f));
    fieldModel.moveLoose(card->fieldHandle,
                         FieldModel::Position{card->getPositionX(), card->getPositionY()});
}

void FieldScene::moveGroup(CardSprite* card, const Vec2& delta) {
    CCASSERT(gesture.dragGroup.contains(card), "moveGroup of a card outside the drag group");
    // The hand has moved; the card follows below unless it is held.
    gesture.handShift -= delta;
    if (gesture.heldSlot != nullptr) {
        gesture.holdDrift += delta;
        if (gesture.holdDrift.length() <= kHoldReach) {
            return;
        }
        for (CardSprite* member : gesture.dragGroup) {
            detach(member);
        }
        gesture.heldSlot = nullptr;
        gesture.holdDrift = Vec2::ZERO;
    }

    // Back under the hand where it took the card, however far a snap had pulled it.
    const Vec2 follow = -gesture.handShift;
    const Vec2 before = card->getPosition();
    for (CardSprite* member : gesture.dragGroup) {
        // The pointer owns the card now; a row shift still running would pull it away.
        member->stopActionByTag(kRowMoveTag);
        moveClamped(member, follow);
    }
    // Kept in by the field's edge, the card waits there for the hand to come back.
    gesture.handShift = card->getPosition() - (before + follow);

    const std::optional<SlotMatch> match = findNearestSlot(card);
    if (!match) {
        return;
    }
    link(*match->mine, *match->theirs);
    gesture.heldSlot = match->theirs->owner;
    const Vec2 snapped = card->getPosition();
    shiftGroupOnto(gesture.dragGroup, card, match->mine->point, *match->theirs);
    gesture.handShift += card->getPosition() - snapped;
}

void FieldScene::shiftGroupOnto(const Vector<CardSprite*>& group, CardSprite* card,
                                const Vec2& point, const Connector& theirs) {
    const Vec2 offset = toFieldSpace(theirs.owner, theirs.point) - toFieldSpace(card, point);
    for (CardSprite* member : group) {
        moveClamped(member, offset);
        if (member != card) {
            linkToNearestSlot(member);
        }
    }
}

void FieldScene::seatOnRelease(CardSprite* card, const Vector<CardSprite*>& group) {
    if (card == nullptr || !group.contains(card) || !fieldCards.contains(card)) {
        return;
    }
    // The card under the hand first: the group moves with it as it does on a snap.
    if (card->connectors[0].partner == nullptr) {
        if (CardSprite* slot = freeSlotUnder(card)) {
            link(card->connectors[0], slot->connectors[0]);
            shiftGroupOnto(group, card, card->connectors[0].point, slot->connectors[0]);
        }
    }
    // A member over a free slot of its own is seated there alone.
    for (CardSprite* member : group) {
        if (member->connectors[0].partner != nullptr || !fieldCards.contains(member)) {
            continue;
        }
        if (CardSprite* slot = freeSlotUnder(member)) {
            moveClamped(member, toFieldSpace(slot, slot->connectors[0].point) -
                                    toFieldSpace(member, member->connectors[0].point));
            link(member->connectors[0], slot->connectors[0]);
        }
    }
}

void FieldScene::linkToNearestSlot(CardSprite* card) {
    if (const std::optional<SlotMatch> match = findNearestSlot(card)) {
        link(*match->mine, *match->theirs);
    }
}

// Field geometry and the links between cards and slots: field coordinates, the direction
// test, the nearest-slot search, moving the drag group with holding and snapping.
#include <cfloat>
#include <cmath>

#include "scene/FieldScene.h"

USING_NS_CC;

namespace {
constexpr double kPi = 3.14159265358979323846;
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
    SlotMatch match{nullptr, nullptr};
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
                    if (d < kSnapReach && d < best) {
                        best = d;
                        match = SlotMatch{&mine, &theirs};
                    }
                }
            }
        }
    }
    // Only the nearest pair counts: when it faces the wrong way nothing links.
    if (match.mine == nullptr || connectorAngle(*match.mine, *match.theirs) != 180) {
        return std::nullopt;
    }
    return match;
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
        }
    }
    mine.partner = theirs.owner;
    theirs.partner = mine.owner;
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
}

void FieldScene::moveClamped(CardSprite* card, const Vec2& delta) {
    const Size field = fieldView->getContentSize();
    const Size box = card->getBoundingBox().size;
    const Vec2 target = card->getPosition() + delta;
    card->setPosition(clampf(target.x, box.width / 2.f, field.width - box.width / 2.f),
                      clampf(target.y, box.height / 2.f, field.height - box.height / 2.f));
}

void FieldScene::moveGroup(CardSprite* card, const Vec2& delta) {
    CCASSERT(dragGroup.contains(card), "moveGroup of a card outside the drag group");
    if (heldSlot != nullptr) {
        holdDrift += delta;
        if (holdDrift.length() > kHoldReach) {
            for (CardSprite* member : dragGroup) {
                moveClamped(member, holdDrift);
                detach(member);
            }
            heldSlot = nullptr;
            holdDrift = Vec2::ZERO;
        }
        if (heldSlot != nullptr) {
            return;
        }
    }

    for (CardSprite* member : dragGroup) {
        // The pointer owns the card now; a row shift still running would pull it away.
        member->stopActionByTag(kRowMoveTag);
        moveClamped(member, delta);
    }

    const std::optional<SlotMatch> match = findNearestSlot(card);
    if (!match) {
        return;
    }
    link(*match->mine, *match->theirs);
    heldSlot = match->theirs->owner;
    const Vec2 offset = toFieldSpace(match->theirs->owner, match->theirs->point) -
                        toFieldSpace(card, match->mine->point);
    for (CardSprite* member : dragGroup) {
        moveClamped(member, offset);
        if (member != card) {
            linkToNearestSlot(member);
        }
    }
}

void FieldScene::linkToNearestSlot(CardSprite* card) {
    if (const std::optional<SlotMatch> match = findNearestSlot(card)) {
        link(*match->mine, *match->theirs);
    }
}

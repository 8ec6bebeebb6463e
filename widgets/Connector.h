// Link record of a card or a slot on the field: where it attaches, which way it faces,
// and what it is linked to. Plain data; the field decides what the links mean.
// Depends on the engine's Vec2 only.
#pragma once

#include "math/Vec2.h"

class CardSprite;

struct Connector {
    // Attachment point, in the owner's local coordinates.
    cocos2d::Vec2 point;
    // A second local point; the connector faces from point towards tip.
    cocos2d::Vec2 tip;
    // The node that carries the connector; set at construction, never changed.
    CardSprite* owner = nullptr;
    // The node this connector is linked to, or none. Not an owning reference.
    CardSprite* partner = nullptr;
};

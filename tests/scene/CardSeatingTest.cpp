// Where a card ends, as a child drags it: over a free slot it is seated there from whatever
// side and at whatever speed it came, clear of every slot it stays loose and looks it, and
// all the way the card keeps to the spot of it the hand took; and the strict reach of the
// snap and of the hold in a slot while it is dragged.
#include <string>
#include <vector>

#include "GestureTestSupport.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::GestureTest;

namespace {

class CardSeatingTest : public GestureTest {
protected:
    Vec2 screenOf(const Vec2& fieldPoint) const {
        return inside(scene).fieldView->getContentLayer()->convertToWorldSpace(fieldPoint);
    }
    // Where the hand is when the card's attachment point lies at a field point: cards are
    // taken by their centres in these gestures.
    Vec2 handFor(const Vec2& attachment) const {
        return screenOf(attachment + Vec2(fieldtest::kCardHalfWidth, 0.f));
    }
    // Takes a card, from the palette or from a slot, and brings the hand from `side` of the
    // attachment point `to` (150 pixels off) onto it in steps of `step`, then lets go; the
    // card, which until a slot holds it stays under the hand.
    CardSprite* carry(bool fromPalette, const Vec2& side, const Vec2& to, float step) {
        scene->layContents(FieldContents{});
        hold(0.25f);
        CardSprite* card = nullptr;
        if (fromPalette) {
            press(paletteCard(1));
            // Out of the panel first: over it only the ghost moves.
            moveTo(Vec2(420.f, pointer.y), 20.f);
            card = inside(scene).fieldCards.empty() ? nullptr : inside(scene).fieldCards.back();
        } else {
            card = cardInSlot(1, 1, 0, 1);
            press(onScreen(card));
            hold(0.1f);
        }
        for (const Vec2& hand : {handFor(to + side * 150.f), handFor(to)}) {
            moveTo(hand, step);
            if (card != nullptr && inside(scene).heldSlot == nullptr) {
                EXPECT_LT(screenOf(card->getPosition()).distance(pointer), 0.05f);
            }
        }
        release();
        expectNoLeftovers();
        return card;
    }
};

TEST_F(CardSeatingTest, ReleasedOverAFreeSlotItIsSeatedAndClearOfEverySlotItStaysLoose) {
    // Attachment points relative to the slot's own point: on it, over the slot's picture
    // near each edge and well inside, far beyond the reach of a snap, and left of the
    // picture with most of the card over it; then spots clear of every slot.
    const std::vector<Vec2> overSlot{Vec2(0.f, 0.f),    Vec2(-4.f, 66.f),  Vec2(150.f, -66.f),
                                     Vec2(120.f, 40.f), Vec2(60.f, -50.f), Vec2(-70.f, 20.f),
                                     Vec2(-35.f, -50.f)};
    const std::vector<Vec2> clear{Vec2(-130.f, 0.f), Vec2(-125.f, -60.f), Vec2(464.f, 10.f)};
    for (bool fromPalette : {true, false}) {
        for (const Vec2& side : {Vec2(-1, 0), Vec2(1, 0), Vec2(0, 1), Vec2(0, -1)}) {
            for (float step : {4.f, 60.f}) {
                for (std::size_t k = 0; k < overSlot.size() + clear.size(); ++k) {
                    const bool seats = k < overSlot.size();
                    const Vec2 spot = seats ? overSlot[k] : clear[k - overSlot.size()];
                    const int row = 2 + static_cast<int>(k % 2);
                    const int column = seats ? static_cast<int>(k % 2) : 0;
                    SCOPED_TRACE(::testing::Message()
                                 << "from the palette " << fromPalette << ", side " << side.x << ","
                                 << side.y << ", step " << step << ", spot " << k);
                    const Vec2 to = slotPoint(row, column) + spot;
                    CardSprite* card = carry(fromPalette, side, to, step);
                    ASSERT_NE(card, nullptr);
                    EXPECT_EQ(cardAt(row, column) == card, seats);
                    EXPECT_EQ(card->isLoose(), !seats);
                    EXPECT_LT(cardPoint(card).distance(seats ? slotPoint(row, column) : to), 0.05f);
                }
            }
        }
    }
}

TEST_F(CardSeatingTest, WhileDraggedACardSnapsIntoASlotStrictlyWithinThirtyPixels) {
    for (const auto& [distance, links] : {std::pair{30.f, false}, {29.9f, true}, {0.f, true}}) {
        SCOPED_TRACE(distance);
        CardSprite* card = looseCard(slotPoint(4, 0) + Vec2(distance, 0.f));
        inside(scene).dragGroup.pushBack(card);
        scene->moveGroup(card, Vec2::ZERO);
        EXPECT_EQ(cardAt(4, 0), links ? card : nullptr);
        EXPECT_NEAR(cardPoint(card).distance(slotPoint(4, 0)), links ? 0.f : distance, 1e-3f);
        inside(scene).dragGroup.clear();
        inside(scene).heldSlot = nullptr;
        inside(scene).holdDrift = Vec2::ZERO;
        inside(scene).handShift = Vec2::ZERO;
        scene->removeCard(card);
    }
}

// Held, the card stays still in its slot while the hand drifts up to 30 pixels from where
// it took it; a snap back into the same slot would lose the hand's place.
TEST_F(CardSeatingTest, AHeldCardStaysPutUntilTheDriftPassesThirty) {
    CardSprite* card = cardInSlot(8, 0);
    const Vec2 start = card->getPosition();
    inside(scene).dragGroup.pushBack(card);
    inside(scene).heldSlot = slot(8, 0);
    for (const Vec2& step : {Vec2(10.f, 0.f), Vec2(-20.f, 5.f), Vec2(15.f, -10.f), Vec2(20.f, 0.f),
                             Vec2(-20.f, 0.f)}) {
        scene->moveGroup(card, step);
        EXPECT_EQ(card->getPosition(), start);
        EXPECT_EQ(inside(scene).heldSlot, slot(8, 0));
    }
    EXPECT_EQ(inside(scene).holdDrift, Vec2(5.f, -5.f));
    scene->moveGroup(card, Vec2(30.f, 0.f));
    EXPECT_EQ(cardAt(8, 0), nullptr);
    EXPECT_EQ(card->getPosition(), start + Vec2(35.f, -5.f)) << "under the hand again";
}

}  // namespace

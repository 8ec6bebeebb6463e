// Where a released card ends, as a child drags it: over a free slot it is seated there from
// whatever side and at whatever speed it came, clear of every slot it stays loose and looks
// it, and all the way the card keeps to the spot of it the hand took.
#include <string>
#include <vector>

#include "GestureTestSupport.h"

USING_NS_CC;
using fieldtest::GestureTest;

namespace {

class CardSeatingTest : public GestureTest {
protected:
    Vec2 screenOf(const Vec2& fieldPoint) const {
        return scene->fieldView->getContentLayer()->convertToWorldSpace(fieldPoint);
    }
    // Where the hand is when the card's attachment point lies at a field point: cards are
    // taken by their centres in these gestures.
    Vec2 handFor(const Vec2& attachment) const {
        return screenOf(attachment + Vec2(fieldtest::kCardHalfWidth, 0.f));
    }
    // Takes a card, from the palette or from a slot, and brings the hand from `side` of
    // `to` (150 pixels off) onto it in steps of `step`; the card, not yet released.
    CardSprite* carry(bool fromPalette, const Vec2& side, const Vec2& to, float step) {
        CardSprite* card = nullptr;
        if (fromPalette) {
            press(paletteCard(1));
            // Out of the panel first: over it only the ghost moves.
            moveTo(Vec2(420.f, pointer.y), 20.f);
            card = scene->fieldCards.empty() ? nullptr : scene->fieldCards.back();
        } else {
            card = cardInSlot(1, 1, 0, 1);
            press(onScreen(card));
            hold(0.1f);
        }
        moveTo(to + side * 150.f, step);
        expectUnderTheHand(card);
        moveTo(to, step);
        expectUnderTheHand(card);
        return card;
    }
    // Unless a slot holds it, the card's centre is where the hand is.
    void expectUnderTheHand(CardSprite* card) {
        ASSERT_NE(card, nullptr);
        if (scene->heldSlot == nullptr) {
            EXPECT_LT(screenOf(card->getPosition()).distance(pointer), 0.05f);
        }
    }
    void clearField() {
        for (CardSprite* card : Vector<CardSprite*>(scene->fieldCards)) {
            scene->removeCard(card);
        }
        hold(0.25f);
    }

    const std::vector<std::pair<const char*, Vec2>> sides{{"from the left", Vec2(-1.f, 0.f)},
                                                          {"from the right", Vec2(1.f, 0.f)},
                                                          {"from above", Vec2(0.f, 1.f)},
                                                          {"from below", Vec2(0.f, -1.f)}};
};

TEST_F(CardSeatingTest, ReleasedOverAFreeSlotItIsSeatedThereFromAnySideAtAnySpeed) {
    // Attachment points relative to the slot's own point: on it, over the slot's picture
    // near each edge and well inside, far beyond the 30-pixel reach of a snap; and left of
    // the picture with most of the card over it.
    const std::vector<Vec2> overSlot{Vec2(0.f, 0.f),    Vec2(-4.f, 66.f),  Vec2(150.f, -66.f),
                                     Vec2(120.f, 40.f), Vec2(60.f, -50.f), Vec2(-70.f, 20.f),
                                     Vec2(-35.f, -50.f)};
    for (bool fromPalette : {true, false}) {
        for (const auto& [sideName, side] : sides) {
            for (float step : {4.f, 60.f}) {
                for (std::size_t k = 0; k < overSlot.size(); ++k) {
                    const int row = 2 + static_cast<int>(k % 2);
                    const int column = static_cast<int>(k % 2);
                    SCOPED_TRACE(std::string(fromPalette ? "palette, " : "slot, ") + sideName +
                                 ", step " + std::to_string(step) + ", spot " + std::to_string(k));
                    CardSprite* card = carry(fromPalette, side,
                                             handFor(slotPoint(row, column) + overSlot[k]), step);
                    ASSERT_NE(card, nullptr);
                    release();
                    EXPECT_EQ(cardAt(row, column), card);
                    EXPECT_LT(cardPoint(card).distance(slotPoint(row, column)), 1e-3f);
                    EXPECT_FALSE(card->isLoose());
                    expectNoLeftovers();
                    clearField();
                }
            }
        }
    }
}

TEST_F(CardSeatingTest, ReleasedClearOfEverySlotItStaysLooseAndLooksIt) {
    const std::vector<std::pair<const char*, Vec2>> clear{
        {"mostly over the row head", slotPoint(2, 0) + Vec2(-130.f, 0.f)},
        {"over the head's lower corner", slotPoint(3, 0) + Vec2(-125.f, -60.f)},
        {"right of the rows", slotPoint(2, 1) + Vec2(250.f, 10.f)}};
    for (const auto& [spotName, spot] : clear) {
        for (const auto& [sideName, side] : sides) {
            for (float step : {4.f, 60.f}) {
                SCOPED_TRACE(std::string(spotName) + ", " + sideName + ", step " +
                             std::to_string(step));
                CardSprite* card = carry(true, side, handFor(spot), step);
                ASSERT_NE(card, nullptr);
                release();
                EXPECT_EQ(card->connectors[0].partner, nullptr);
                EXPECT_TRUE(card->isLoose());
                EXPECT_LT(cardPoint(card).distance(spot), 0.05f);
                expectNoLeftovers();
                clearField();
            }
        }
    }
}

TEST_F(CardSeatingTest, AfterSnappingIntoSlotsOnTheWayTheCardIsBackUnderTheHand) {
    // Down the left column, over each slot's own point, so that each one snaps the card in.
    press(paletteCard(0));
    moveTo(Vec2(420.f, pointer.y), 20.f);
    moveTo(handFor(slotPoint(0, 0) + Vec2(0.f, 40.f)), 12.f);
    ASSERT_EQ(scene->fieldCards.size(), 1u);
    CardSprite* card = scene->fieldCards.at(0);
    for (int row = 0; row <= 3; ++row) {
        moveTo(handFor(slotPoint(row, 0) + Vec2(3.f, 2.f)), 7.f);
        EXPECT_EQ(cardAt(row, 0), card) << "row " << row;
    }
    moveTo(handFor(slotPoint(3, 1) + Vec2(280.f, 0.f)), 7.f);
    EXPECT_EQ(card->connectors[0].partner, nullptr);
    EXPECT_LT(screenOf(card->getPosition()).distance(pointer), 0.05f);
    release();
    EXPECT_TRUE(card->isLoose());
    expectNoLeftovers();
}

}  // namespace

// Tearing cards off the palette with the mouse: the direction window and the 2-pixel
// decision, the ghost over the panel, the field card made once the ghost has left it, and
// a gesture that stays a scroll of the list.
#include <cmath>
#include <string>

#include "GestureTestSupport.h"

USING_NS_CC;
using fieldtest::GestureTest;

namespace {

constexpr double kPi = 3.14159265358979323846;

class PaletteTearOffTest : public GestureTest {
protected:
    // Where a field point stands on the screen.
    Vec2 screenOf(const Vec2& fieldPoint) const {
        return scene->fieldView->getContentLayer()->convertToWorldSpace(fieldPoint);
    }
    int basicCardsOnField() const {
        int total = 0;
        for (int count : scene->usageCounters[0]) {
            total += count;
        }
        return total;
    }
};

TEST_F(PaletteTearOffTest, OnlyAFirstMoveStrictlyBetween20And160DegreesFromUpTearsOff) {
    struct Case {
        double degrees;  // from straight up towards the right
        bool tearsOff;
    };
    for (const Case& c :
         {Case{0, false}, Case{15, false}, Case{19.5, false}, Case{20.5, true}, Case{90, true},
          Case{159.5, true}, Case{160.5, false}, Case{180, false}, Case{-90, false}}) {
        SCOPED_TRACE("at " + std::to_string(c.degrees) + " degrees");
        const Vec2 start = paletteCard(2);
        const double a = c.degrees * kPi / 180.0;
        const Vec2 way(static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a)));
        press(start);
        moveTo(start + way * 3.f);
        EXPECT_EQ(scene->ghostCard != nullptr, c.tearsOff);
        // The decision holds for the whole gesture, whichever way it turns later.
        moveTo(start + Vec2(60.f, 0.f));
        EXPECT_EQ(scene->ghostCard != nullptr, c.tearsOff);
        release();
        EXPECT_TRUE(scene->fieldCards.empty());
        expectNoLeftovers();
    }
}

TEST_F(PaletteTearOffTest, NothingIsDecidedBeforeThePointerIsTwoPixelsAway) {
    const Vec2 start = paletteCard(0);
    press(start);
    moveTo(start + Vec2(1.9f, 0.f));
    moveTo(start + Vec2(0.f, 1.9f));
    EXPECT_FALSE(scene->tearOffDecided);
    moveTo(start + Vec2(2.f, 0.f));
    EXPECT_TRUE(scene->tearOffDecided);
    EXPECT_NE(scene->ghostCard, nullptr);
    release();
}

TEST_F(PaletteTearOffTest, TheGhostCrossesThePanelThenAFieldCardIsPlacedAndSnapsIntoASlot) {
    press(paletteCard(3));
    moveTo(pointer + Vec2(5.f, 0.f));
    CardSprite* ghost = scene->ghostCard;
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(ghost->getParent(), scene);
    EXPECT_EQ(ghost->picture->getOpacity(), 150);
    EXPECT_EQ(ghost->cardIndex, 3);
    // Pressed at the palette card's centre: the ghost's centre is under the hand.
    const Vec2 lag = ghost->getPosition() - pointer;
    EXPECT_LT(lag.length(), 1e-3f);
    // Until its centre is half its width past the panel, only the ghost moves.
    while (scene->fieldCards.empty()) {
        ASSERT_FLOAT_EQ(ghost->getPositionX() - pointer.x, lag.x);
        ASSERT_EQ(scene->usageCounters[0][3], 0);
        ASSERT_LT(pointer.x, 500.f);
        moveTo(pointer + Vec2(10.f, -3.f));
    }
    EXPECT_GE(ghost->getPositionX(), 275.f + 100.f);
    CardSprite* card = scene->fieldCards.at(0);
    EXPECT_FALSE(ghost->isVisible());
    EXPECT_LT(screenOf(card->getPosition()).distance(pointer), 1e-3f) << "not under the hand";
    EXPECT_EQ(card->picture->getOpacity(), 150);
    EXPECT_EQ(scene->usageBadges.at(3)->getString(), "1");
    EXPECT_EQ(scene->draggedCard, card);

    // Onto the second row's left slot: it snaps and holds there.
    CardSprite* target = slot(1, 0);
    moveTo(pointer + screenOf(slotPoint(1, 0)) - screenOf(cardPoint(card)));
    EXPECT_EQ(cardAt(1, 0), card);
    EXPECT_EQ(scene->heldSlot, target);
    release();
    EXPECT_EQ(cardAt(1, 0), card);
    EXPECT_LT(cardPoint(card).distance(slotPoint(1, 0)), 1e-3f);
    EXPECT_EQ(scene->usageCounters[0][3], 1);
    expectNoLeftovers();
}

TEST_F(PaletteTearOffTest, ACardMadeAtTheTopEdgeOfTheFieldLiesWhollyInsideIt) {
    press(paletteCard(0));
    moveTo(pointer + Vec2(5.f, 0.f));
    // The ghost leaves the panel so high that a card there would stick out of the field.
    moveTo(Vec2(200.f, 750.f));
    while (scene->fieldCards.empty()) {
        ASSERT_LT(pointer.x, 500.f);
        moveTo(pointer + Vec2(10.f, 0.f));
    }
    EXPECT_FLOAT_EQ(scene->fieldCards.at(0)->getBoundingBox().getMaxY(), fieldtest::kFieldHeight);
    release();
    expectNoLeftovers();
}

TEST_F(PaletteTearOffTest, AGhostReleasedOverThePanelLeavesNothingBehind) {
    press(paletteCard(0));
    moveTo(pointer + Vec2(80.f, 0.f));
    ASSERT_NE(scene->ghostCard, nullptr);
    release();
    EXPECT_TRUE(scene->fieldCards.empty());
    EXPECT_EQ(basicCardsOnField(), 0);
    expectNoLeftovers();
}

TEST_F(PaletteTearOffTest, AGestureStartedUpOrDownScrollsTheListAndNeverMakesACard) {
    const float top = scene->paletteList->offset().y;
    press(paletteCard(4));
    moveTo(pointer + Vec2(0.f, 150.f));
    moveTo(pointer + Vec2(200.f, 0.f));
    EXPECT_GT(scene->paletteList->offset().y, top);
    EXPECT_EQ(scene->ghostCard, nullptr);
    release();
    EXPECT_TRUE(scene->fieldCards.empty());
    scene->paletteList->setOffset(Vec2(0.f, top), false);
    expectNoLeftovers();
}

TEST_F(PaletteTearOffTest, ACardHiddenUnderTheHeaderStripCannotBeTaken) {
    // The list scrolled so that card 0 lies under the tabs' strip.
    scene->paletteList->setOffset(scene->paletteList->offset() + Vec2(0.f, 120.f), false);
    // Between the second and third tab, over the card.
    const Vec2 strip(182.f, 740.f);
    ASSERT_TRUE(CardSprite::isTouchInside(scene->paletteCards.at(0), strip));
    press(strip);
    moveTo(pointer + Vec2(200.f, 0.f));
    EXPECT_EQ(scene->ghostCard, nullptr);
    release();
}

}  // namespace

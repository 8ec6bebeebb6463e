// Tearing cards off the palette with the mouse: the direction window and the distance
// before deciding, the ghost over the panel, the field card made once the ghost has left
// it, and a card hidden under the header strip; and the card backs after a dialect switch.
#include <cmath>
#include <string>

#include "GestureTestSupport.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::GestureTest;

namespace {

using PaletteTearOffTest = GestureTest;

TEST_F(PaletteTearOffTest, OnlyAFirstMoveStrictlyBetween20And160DegreesFromUpTearsOff) {
    const std::pair<double, bool> cases[] = {{0.0, false},   {19.5, false}, {20.5, true},
                                             {90.0, true},   {159.5, true}, {160.5, false},
                                             {180.0, false}, {-90.0, false}};
    for (const auto& [degrees, tearsOff] : cases) {
        SCOPED_TRACE("at " + std::to_string(degrees) + " degrees");
        const Vec2 start = paletteCard(2);
        const double a = degrees * 3.14159265358979 / 180.0;
        const Vec2 way(static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a)));
        press(start);
        moveTo(start + way * 1.9f);
        EXPECT_FALSE(inside(scene).tearOffDecided) << "decided before two pixels";
        moveTo(start + way * 3.f);
        EXPECT_EQ(inside(scene).ghostCard != nullptr, tearsOff);
        // The decision holds for the whole gesture, whichever way it turns later.
        moveTo(start + Vec2(60.f, 0.f));
        EXPECT_EQ(inside(scene).ghostCard != nullptr, tearsOff);
        release();
        EXPECT_TRUE(inside(scene).fieldCards.empty());
        expectNoLeftovers();
    }
}

TEST_F(PaletteTearOffTest, TheGhostCrossesThePanelThenAFieldCardIsMadeUnderTheHand) {
    press(paletteCard(3));
    moveTo(pointer + Vec2(5.f, 0.f));
    CardSprite* ghost = inside(scene).ghostCard;
    ASSERT_NE(ghost, nullptr);
    // Until it is well past the panel, only the ghost moves, under the hand.
    while (inside(scene).fieldCards.empty()) {
        ASSERT_LT(ghost->getPosition().distance(pointer), 1e-3f);
        ASSERT_LT(pointer.x, 500.f);
        moveTo(pointer + Vec2(10.f, -3.f));
    }
    CardSprite* card = inside(scene).fieldCards.at(0);
    EXPECT_FALSE(ghost->isVisible());
    EXPECT_LT(onScreen(card).distance(pointer), 1e-3f) << "not under the hand";
    release();
    expectNoLeftovers();
}

TEST_F(PaletteTearOffTest, ACardHiddenUnderTheHeaderStripCannotBeTaken) {
    // The list scrolled so that card 0 lies under the tabs' strip.
    inside(scene).paletteList->setOffset(inside(scene).paletteList->offset() + Vec2(0.f, 120.f),
                                         false);
    // Between the second and third tab, over the card.
    const Vec2 strip(182.f, 740.f);
    ASSERT_TRUE(CardSprite::isTouchInside(inside(scene).paletteCards.at(0), strip));
    press(strip);
    moveTo(pointer + Vec2(200.f, 0.f));
    EXPECT_EQ(inside(scene).ghostCard, nullptr);
    release();
}

TEST_F(PaletteTearOffTest, ChoosingTheOtherDialectSwitchesItAndTheFieldCardsBacksFollow) {
    CardSprite* shown = looseCard(Vec2(600.f, 3000.f), 0, 2);
    CardSprite* turned = looseCard(Vec2(600.f, 3300.f), 2, 7);
    turned->flipped = true;
    turned->picture->setTexture(turned->backImage);
    harness.tap(centreOf(inside(scene).dialectButton));
    ASSERT_NE(inside(scene).dialectChooser, nullptr);
    harness.steps(8);
    harness.tap(centreOf(inside(scene).dialectChooser->getChildByTag(1)));
    harness.steps(12);
    EXPECT_EQ(inside(scene).dialectChooser, nullptr);
    EXPECT_EQ(DeviceManager::getInstance()->dialect, Dialect::Vemmo);
    EXPECT_NE(turned->backImage.find("vemmo"), std::string::npos);
    EXPECT_EQ(turned->picture->getTexture()->getName(), turned->backImage);
    EXPECT_EQ(shown->picture->getTexture()->getName(), shown->frontImage);
}

}  // namespace

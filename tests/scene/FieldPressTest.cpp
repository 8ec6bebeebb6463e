// Pressing cards on the field with the mouse: the pick-up and the later cluster step, a
// cluster over the trash dropped only by a release there (not by a gesture cut short), and
// presses that come too soon or lose their card.
#include <functional>
#include <string>
#include <vector>

#include "GestureTestSupport.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::GestureTest;
using fieldtest::kEmptyField;
using fieldtest::kTrash;

namespace {

const Color3B kTint(0, 30, 70);

class FieldPressTest : public GestureTest {
protected:
    // Cards in both slots of rows 1 to 3, card indices 0..5, and a loose card apart, low
    // on the screen right of the rows.
    void layBlock() {
        scene->layContents(FieldContents{});
        block.clear();
        for (int r = 1; r <= 3; ++r) {
            for (int c = 0; c < 2; ++c) {
                block.push_back(cardInSlot(r, c, 0, 2 * (r - 1) + c));
            }
        }
        loose = scene->addFieldCard(1, 4, Vec2(870.f, 80.f - inside(scene).fieldView->offset().y));
    }
    GLubyte opacityOf(const CardSprite* card) const { return card->picture->getOpacity(); }

    std::vector<CardSprite*> block;
    CardSprite* loose = nullptr;
};

TEST_F(FieldPressTest, AStillPressLiftsTheCardAndAThirdOfASecondLaterItsWholeBlock) {
    layBlock();
    CardSprite* card = block[2];  // row 2, left
    press(onScreen(card));
    hold(0.03f);
    EXPECT_FALSE(inside(scene).dragMode);
    hold(0.07f);
    EXPECT_TRUE(inside(scene).dragMode);
    hold(0.2f);
    EXPECT_EQ(inside(scene).dragGroup.size(), 1u);
    hold(0.15f);
    ASSERT_EQ(inside(scene).dragGroup.size(), 6u);

    // The block leaves its slots as one, keeping its shape.
    moveTo(kEmptyField);
    EXPECT_EQ(cardAt(2, 0), nullptr);
    EXPECT_NEAR(block[3]->getPositionX() - block[2]->getPositionX(), 214.f, 1e-2f);
    release();
    EXPECT_EQ(inside(scene).fieldCards.size(), 7u);
    expectNoLeftovers();
}

TEST_F(FieldPressTest, AClusterOverTheTrashIsDroppedOnlyByAReleaseThere) {
    using Type = backend::InputEvent::Type;
    struct Way {
        const char* name;
        std::function<void()> end;
        bool dropped;
    };
    const std::vector<Way> ways{
        {"released", [this] { release(); }, true},
        {"released away from the last move",
         [this] { harness.mouseUp(EventMouse::BUTTON_LEFT, kEmptyField); }, false},
        {"focus lost", [this] { harness.windowEvent(Type::FocusLost); }, false},
        {"minimised",
         [this] {
             harness.windowEvent(Type::Minimized);
             harness.windowEvent(Type::Restored);
         },
         false},
        {"touch cancelled", [this] { harness.touchCancelled(pointer); }, false},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        layBlock();
        pickUp(block[5], true);
        moveTo(kTrash);
        EXPECT_EQ(block[0]->picture->getColor(), kTint);
        way.end();
        expectNoLeftovers();
        EXPECT_EQ(inside(scene).fieldCards.size(), way.dropped ? 1u : 7u);
    }
}

TEST_F(FieldPressTest, AClusterStepLeftFromTenPressesAgoDoesNotActOnTheCurrentPress) {
    layBlock();
    pickUp(block[0]);
    release();
    hold(0.25f);
    // Nine quick taps bring the press number round to the first press's again.
    for (int tap = 0; tap < 9; ++tap) {
        press(onScreen(loose));
        release();
    }
    ASSERT_EQ(inside(scene).touchSequence, 0);
    press(onScreen(block[0]));
    hold(0.1f);
    EXPECT_EQ(inside(scene).dragGroup.size(), 1u);
    EXPECT_EQ(opacityOf(block[1]), 255);
    release();
    expectNoLeftovers();
}

TEST_F(FieldPressTest, ACardTakenAwayUnderItsPressEndsThePress) {
    layBlock();
    CardSprite* card = block[2];  // row 2, left
    harness.touchBegan(onScreen(card), 1);
    hold(0.45f);
    ASSERT_EQ(inside(scene).dragGroup.size(), 6u);
    scene->deleteRow(2);
    EXPECT_FALSE(inside(scene).fieldCards.contains(card));
    // The rest of the lifted block is put down, not left half-transparent in the air.
    EXPECT_EQ(inside(scene).pressedCard, nullptr);
    EXPECT_EQ(opacityOf(block[0]), 255);
    harness.touchEnded(kEmptyField, 1);  // its card is gone: the release reaches no one
    expectNoLeftovers();

    pickUp(loose);  // the next press is not refused
    release();
    expectNoLeftovers();
}

}  // namespace

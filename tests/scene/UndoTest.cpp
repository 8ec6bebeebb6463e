// Undo and redo as a child meets them: each kind of change made with the mouse or the
// row buttons is taken back exactly (cards, seats, loose places, counters, badges) and made
// again, by the controls and the keys; a hundred steps are kept.
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "GestureTestSupport.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::GestureTest;

namespace {

// The cards and the badges as they are shown.
using Seen = std::tuple<FieldContents, std::vector<std::string>>;

class UndoTest : public GestureTest {
protected:
    Seen seen() {
        hold(0.3f);  // row moves and fades end
        EXPECT_EQ(fieldtest::firstFieldViolation(*scene), "");
        std::vector<std::string> badges;
        for (LabelAtlas* badge : inside(scene).usageBadges) {
            badges.push_back(badge->getString());
        }
        return {scene->fieldContents(), badges};
    }
    // Drags from one screen point to another and lets go.
    void drag(const Vec2& from, const Vec2& to, float wait = 0.f) {
        press(from);
        hold(wait);
        moveTo(to);
        release();
    }
    void tapControl(Node* control) {
        harness.tap(fieldtest::centreOf(control));
        hold(0.05f);
    }
    Vec2 slotOnScreen(int row, int column) { return onScreen(slot(row, column)); }
};

TEST_F(UndoTest, EveryKindOfChangeIsTakenBackExactlyAndMadeAgain) {
    struct Change {
        const char* name;
        std::function<void()> make;
    };
    const std::vector<Change> changes{
        {"a card laid from the palette into a slot",
         [&] { drag(paletteCard(2), slotOnScreen(1, 0)); }},
        {"a loose card laid on the field", [&] { drag(paletteCard(3), fieldtest::kEmptyField); }},
        {"a seated card taken out of its slot",
         [&] { drag(onScreen(cardAt(0, 1)), fieldtest::kEmptyField, 0.1f); }},
        {"a seated card moved to another slot",
         [&] { drag(onScreen(cardAt(0, 0)), slotOnScreen(3, 1), 0.1f); }},
        {"a card dropped on the trash",
         [&] { drag(onScreen(cardAt(1, 0)), fieldtest::kTrash, 0.1f); }},
        {"a cluster dropped on the trash",
         [&] { drag(onScreen(cardAt(0, 0)), fieldtest::kTrash, 0.45f); }},
        {"a row inserted", [&] { scene->insertRow(0); }},
        {"a row deleted", [&] { scene->deleteRow(1); }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        // A small program to change: a cluster of three in the top rows, one loose card.
        scene->layContents(FieldContents{});
        cardInSlot(0, 0, 0, 0);
        cardInSlot(0, 1, 0, 1);
        cardInSlot(1, 0, 0, 4);
        looseCard(Vec2(700.f, 3700.f), 1, 3);
        const Seen before = seen();
        hold(0.3f);

        change.make();
        const Seen after = seen();
        ASSERT_FALSE(after == before) << "the change changed nothing";

        tapControl(inside(scene).undoButton);
        EXPECT_TRUE(seen() == before) << "undo";
        tapControl(inside(scene).redoButton);
        EXPECT_TRUE(seen() == after) << "redo";
        harness.keyDown(EventKeyboard::KeyCode::KEY_Z, true);
        EXPECT_TRUE(seen() == before) << "Ctrl+Z";
        harness.keyDown(EventKeyboard::KeyCode::KEY_Y, true);
        EXPECT_TRUE(seen() == after) << "Ctrl+Y";
    }
}

TEST(FieldHistory, KeepsAHundredStepsAndForgetsTheRedoneOnAChange) {
    FieldHistory history;
    FieldContents contents;
    for (int i = 1; i <= 150; ++i) {
        contents.loose.assign(1, LooseCard{CardId{0, 0}, static_cast<float>(i), 0.f});
        ASSERT_TRUE(history.record(contents));
    }
    const FieldContents* last = nullptr;
    for (int undone = 0; undone < 100; ++undone) {
        last = history.undo();
        ASSERT_NE(last, nullptr) << undone << " undone";
    }
    EXPECT_EQ(history.undo(), nullptr) << "more than a hundred steps";
    EXPECT_EQ(last->loose.at(0).x, 50.f);

    history.redo();
    contents.dialect = Dialect::Vemmo;  // the dialect alone is no step
    contents.loose.assign(1, LooseCard{CardId{0, 0}, 51.f, 0.f});
    EXPECT_FALSE(history.record(contents));
    contents.loose.assign(1, LooseCard{CardId{0, 0}, -1.f, 0.f});
    EXPECT_TRUE(history.record(contents));
    EXPECT_FALSE(history.canRedo());
}

}  // namespace

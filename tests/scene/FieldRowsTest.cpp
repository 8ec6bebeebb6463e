// Inserting and deleting rows on a full field through the rows' buttons, with their 0.1 s
// moves, removing cards with their fade, and the usage counters and badges that follow
// the cards.
#include <stdexcept>
#include <string>
#include <vector>

#include "FieldTestSupport.h"

USING_NS_CC;
using fieldtest::FieldSceneTest;

namespace {

constexpr int kRows = FieldScene::kRowCount;
// Frames of 1/60 s until a 0.1 s move has ended (the first frame shows its start).
constexpr int kRowMoveFrames = 7;

class FieldRowsTest : public FieldSceneTest {
protected:
    // Every card of the full field, by row and column, kept alive for inspection.
    void snapshot() {
        before.assign(kRows, {nullptr, nullptr});
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < 2; ++c) {
                before[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = cardAt(r, c);
                kept.pushBack(cardAt(r, c));
            }
        }
    }
    CardSprite* was(int row, int column) const {
        return before[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
    int basicCardsOnField() const {
        int total = 0;
        for (int count : scene->usageCounters[0]) {
            total += count;
        }
        return total;
    }
    void expectEveryLinkedCardOnItsSlot() {
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < 2; ++c) {
                if (CardSprite* card = cardAt(r, c)) {
                    EXPECT_FLOAT_EQ(cardPoint(card).x, slotPoint(r, c).x) << r << "," << c;
                    EXPECT_FLOAT_EQ(cardPoint(card).y, slotPoint(r, c).y) << r << "," << c;
                }
            }
        }
    }
    // Taps a row's insert or delete button, with the field scrolled to show the row; the
    // button is dimmed only while pressed.
    void pressRowButton(int row, bool insert) {
        scene->fieldView->setOffset(Vec2(0.f, 384.f - slot(row, 0)->getPositionY()), false);
        const std::string picture = insert ? "res/r_btn_add.png" : "res/r_btn_delete.png";
        Sprite* button = nullptr;
        for (Node* child : scene->fieldView->getContentLayer()->getChildren()) {
            auto* sprite = dynamic_cast<Sprite*>(child);
            if (sprite != nullptr && sprite->getTag() == row &&
                sprite->getTexture()->getName() == picture) {
                button = sprite;
            }
        }
        ASSERT_NE(button, nullptr);
        harness.touchBegan(fieldtest::centreOf(button));
        EXPECT_EQ(button->getOpacity(), 192);
        EXPECT_FALSE(scene->fieldView->isDragging());
        harness.touchEnded(fieldtest::centreOf(button));
        EXPECT_EQ(button->getOpacity(), 255);
    }
    void expectRemoved(CardSprite* card) {
        EXPECT_FALSE(scene->fieldCards.contains(card));
        EXPECT_EQ(card->connectors[0].partner, nullptr);
    }

    std::vector<std::array<CardSprite*, 2>> before;
    Vector<CardSprite*> kept;
};

class InsertRowTest : public FieldRowsTest, public ::testing::WithParamInterface<int> {};

TEST_P(InsertRowTest, OnAFullFieldShiftsRowsDownAndDropsTheLastRow) {
    const int row = GetParam();
    fillField();
    snapshot();
    pressRowButton(row, true);

    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < 2; ++c) {
            SCOPED_TRACE("row " + std::to_string(r) + " column " + std::to_string(c));
            CardSprite* expected = r < row ? was(r, c) : r == row ? nullptr : was(r - 1, c);
            EXPECT_EQ(cardAt(r, c), expected);
            if (expected != nullptr) {
                EXPECT_EQ(expected->connectors[0].partner, slot(r, c));
            }
        }
    }
    for (int c = 0; c < 2; ++c) {
        expectRemoved(was(kRows - 1, c));
    }
    EXPECT_EQ(scene->fieldCards.size(), 58u);
    EXPECT_EQ(basicCardsOnField(), 58);

    // The shifted cards slide for 0.1 s and end exactly on their new slots.
    harness.step();
    if (row < kRows - 1) {
        EXPECT_FLOAT_EQ(cardPoint(cardAt(row + 1, 0)).y, slotPoint(row, 0).y);
    }
    harness.steps(kRowMoveFrames - 1);
    expectEveryLinkedCardOnItsSlot();

    // The dropped cards fade out over 0.2 s and then leave the field.
    CardSprite* dropped = was(kRows - 1, 0);
    EXPECT_NE(dropped->getParent(), nullptr);
    harness.steps(6);
    EXPECT_EQ(dropped->getParent(), nullptr);
    EXPECT_EQ(dropped->picture->getOpacity(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, InsertRowTest, ::testing::Values(0, 5, 28, 29));

class DeleteRowTest : public FieldRowsTest, public ::testing::WithParamInterface<int> {};

TEST_P(DeleteRowTest, OnAFullFieldDropsTheRowAndShiftsTheRestUp) {
    const int row = GetParam();
    fillField();
    snapshot();
    pressRowButton(row, false);

    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < 2; ++c) {
            SCOPED_TRACE("row " + std::to_string(r) + " column " + std::to_string(c));
            CardSprite* expected = r < row ? was(r, c) : r == kRows - 1 ? nullptr : was(r + 1, c);
            EXPECT_EQ(cardAt(r, c), expected);
        }
    }
    for (int c = 0; c < 2; ++c) {
        expectRemoved(was(row, c));
    }
    EXPECT_EQ(scene->fieldCards.size(), 58u);
    EXPECT_EQ(basicCardsOnField(), 58);
    harness.steps(kRowMoveFrames);
    expectEveryLinkedCardOnItsSlot();
}

INSTANTIATE_TEST_SUITE_P(Rows, DeleteRowTest, ::testing::Values(0, 10, 29));

TEST_F(FieldRowsTest, RepeatedShiftsDuringAMoveStillEndOnTheSlots) {
    for (int r = 0; r < 4; ++r) {
        cardInSlot(r, 0);
    }
    scene->insertRow(0);
    harness.steps(3);
    scene->insertRow(0);
    harness.steps(2);
    scene->deleteRow(1);
    harness.steps(kRowMoveFrames);
    // Down two rows, then the empty row 1 deleted: rows 1..4.
    for (int r : {0, 5}) {
        EXPECT_EQ(cardAt(r, 0), nullptr);
    }
    for (int r : {1, 2, 3, 4}) {
        EXPECT_NE(cardAt(r, 0), nullptr);
    }
    expectEveryLinkedCardOnItsSlot();
}

TEST_F(FieldRowsTest, RemovedCardFadesLeavesItsSlotFreeAndCountsDown) {
    CardSprite* card = cardInSlot(3, 1, 0, 4);
    kept.pushBack(card);
    card->setColor(Color3B(0, 30, 70));
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    dispatcher->addEventListenerWithSceneGraphPriority(listener, card);
    EXPECT_EQ(scene->usageCounters[0][4], 1);
    EXPECT_EQ(scene->usageBadges.at(4)->getString(), "1");

    scene->removeCard(card);
    expectRemoved(card);
    EXPECT_EQ(cardAt(3, 1), nullptr);
    EXPECT_EQ(scene->usageCounters[0][4], 0);
    EXPECT_EQ(scene->usageBadges.at(4)->getString(), "0");
    EXPECT_EQ(card->picture->getColor(), Color3B::WHITE);
    EXPECT_FALSE(listener->isRegistered());

    // The slot takes a new card at once.
    CardSprite* next = cardInSlot(3, 1, 0, 4);
    EXPECT_EQ(scene->usageCounters[0][4], 1);

    harness.steps(7);
    EXPECT_GT(card->picture->getOpacity(), 0);
    EXPECT_LT(card->picture->getOpacity(), 255);
    harness.steps(6);
    EXPECT_EQ(card->getParent(), nullptr);

    // Taking it off again, or taking off nothing, changes nothing.
    scene->removeCard(card);
    scene->removeCard(nullptr);
    EXPECT_EQ(scene->usageCounters[0][4], 1);
    EXPECT_EQ(cardAt(3, 1), next);
}

TEST_F(FieldRowsTest, NewCardsCountOnTheirBadgeOnlyWhenTheirSetIsShown) {
    CardSprite* card = scene->addFieldCard(0, 2, Vec2(900.f, 2000.f));
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->cardSet, 0);
    EXPECT_EQ(card->cardIndex, 2);
    EXPECT_EQ(card->frontImage, DeviceManager::getInstance()->getPaletteImage(2, 0));
    EXPECT_EQ(card->backImage, DeviceManager::getInstance()->getCardImage(2, 0));
    EXPECT_EQ(card->connectors[0].point, Vec2(0.f, 60.f));
    EXPECT_EQ(card->connectors[0].tip, Vec2(1.f, 60.f));
    EXPECT_EQ(card->getParent(), scene->fieldView->getContentLayer());
    EXPECT_NE(card->getCornerButton(), nullptr);
    scene->addFieldCard(0, 2, Vec2(900.f, 2200.f));
    EXPECT_EQ(scene->usageBadges.at(2)->getString(), "2");

    scene->addFieldCard(2, 2, Vec2(900.f, 2400.f));
    EXPECT_EQ(scene->usageCounters[2][2], 1);
    EXPECT_EQ(scene->usageBadges.at(2)->getString(), "2");
    EXPECT_THROW(scene->refreshUsageBadge(6, 0), std::out_of_range);
    // No picture for a card past the set's end: nothing is placed or counted.
    EXPECT_EQ(scene->addFieldCard(0, 99, Vec2(900.f, 2000.f)), nullptr);
    EXPECT_EQ(scene->fieldCards.size(), 3u);
}

}  // namespace

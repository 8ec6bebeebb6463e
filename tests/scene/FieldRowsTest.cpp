// The 30 rows: their line numbers, inserting and deleting rows on a full field through the
// rows' buttons, and removing cards with the usage badges that follow them.
#include <map>
#include <string>
#include <vector>

#include "FieldChecks.h"
#include "FieldTestSupport.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using fieldtest::FieldSceneTest;

namespace {

constexpr int kRows = FieldScene::kRowCount;

class FieldRowsTest : public FieldSceneTest {
protected:
    // Every slot filled, each card kept alive for inspection.
    void fillAndSnapshot() {
        before.clear();
        for (int r = 0; r < kRows; ++r) {
            before.push_back({cardInSlot(r, 0, 0, r % 6), cardInSlot(r, 1, 0, (r + 3) % 6)});
            kept.pushBack(cardAt(r, 0));
            kept.pushBack(cardAt(r, 1));
        }
    }
    Sprite* rowButton(int row, bool insert) const {
        const std::string picture = insert ? "res/r_btn_add.png" : "res/r_btn_delete.png";
        for (Node* child : inside(scene).fieldView->getContentLayer()->getChildren()) {
            auto* sprite = dynamic_cast<Sprite*>(child);
            if (sprite != nullptr && sprite->getTag() == row &&
                sprite->getTexture()->getName() == picture) {
                return sprite;
            }
        }
        return nullptr;
    }
    // Taps a row's button with the field scrolled to show the row; the press does not
    // scroll the field.
    void pressRowButton(int row, bool insert) {
        inside(scene).fieldView->setOffset(Vec2(0.f, 384.f - slot(row, 0)->getPositionY()), false);
        Sprite* button = rowButton(row, insert);
        ASSERT_NE(button, nullptr);
        harness.touchBegan(fieldtest::centreOf(button));
        EXPECT_FALSE(inside(scene).fieldView->isDragging());
        harness.touchEnded(fieldtest::centreOf(button));
    }
    // After the row moves: each row holds the cards expected, on its slots; the others
    // have left the field.
    void expectRows(const std::vector<std::vector<CardSprite*>>& expected) {
        harness.steps(7);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < 2; ++c) {
                SCOPED_TRACE("row " + std::to_string(r) + " column " + std::to_string(c));
                CardSprite* card =
                    expected[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
                ASSERT_EQ(cardAt(r, c), card);
                if (card != nullptr) {
                    EXPECT_EQ(cardPoint(card), slotPoint(r, c));
                }
            }
        }
        EXPECT_EQ(fieldtest::firstFieldViolation(*scene), "");
    }

    std::vector<std::vector<CardSprite*>> before;
    Vector<CardSprite*> kept;
};

TEST_F(FieldRowsTest, RowsAreNumberedTenToThreeHundredFromTheTop) {
    std::map<std::string, float> heights;
    for (Node* child : inside(scene).fieldView->getContentLayer()->getChildren()) {
        if (auto* number = dynamic_cast<LabelAtlas*>(child)) {
            heights[number->getString()] = number->getPositionY();
        }
    }
    ASSERT_EQ(heights.size(), 30u);
    EXPECT_GT(heights.at("10"), heights.at("20"));
    EXPECT_GT(heights.at("290"), heights.at("300"));
}

TEST_F(FieldRowsTest, InsertAndDeleteOnAFullFieldShiftTheRowsAndDropOne) {
    const std::vector<CardSprite*> empty(2, nullptr);
    for (const auto& [row, insert] :
         {std::pair{0, true}, {5, true}, {29, true}, {0, false}, {10, false}, {29, false}}) {
        SCOPED_TRACE((insert ? "insert at row " : "delete row ") + std::to_string(row));
        fillAndSnapshot();
        pressRowButton(row, insert);
        std::vector<std::vector<CardSprite*>> expected = before;
        if (insert) {
            expected.insert(expected.begin() + row, empty);
            expected.pop_back();
        } else {
            expected.erase(expected.begin() + row);
            expected.push_back(empty);
        }
        expectRows(expected);
        CardSprite* dropped = insert ? before.back()[0] : before[static_cast<std::size_t>(row)][0];
        harness.steps(12);
        EXPECT_EQ(dropped->getParent(), nullptr) << "faded out and gone";
        scene->layContents(FieldContents{});
    }
}

TEST_F(FieldRowsTest, ARemovedCardFreesItsSlotAtOnceAndGoesOnlyOnce) {
    CardSprite* card = cardInSlot(3, 1, 0, 4);
    kept.pushBack(card);
    scene->removeCard(card);
    CardSprite* next = cardInSlot(3, 1, 0, 4);
    harness.steps(13);
    EXPECT_EQ(card->getParent(), nullptr);
    scene->removeCard(card);
    scene->removeCard(nullptr);
    EXPECT_EQ(cardAt(3, 1), next);
    EXPECT_EQ(fieldtest::firstFieldViolation(*scene), "");
    // No picture for a card past the set's end: nothing is placed or counted.
    EXPECT_EQ(scene->addFieldCard(0, 99, Vec2(900.f, 2000.f)), nullptr);
    EXPECT_EQ(inside(scene).fieldCards.size(), 1u);
}

}  // namespace

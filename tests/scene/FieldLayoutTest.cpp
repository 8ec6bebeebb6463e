// FieldScene's field view and its 30 rows: configuration, row geometry and links, line
// numbers, the row buttons with their press feedback, and the rows read for generation.
#include <string>
#include <vector>

#include "FieldTestSupport.h"
#include "generation/ProgramBuilder.h"

USING_NS_CC;
using fieldtest::FieldSceneTest;
using fieldtest::kFieldHeight;
using fieldtest::kFieldWidth;

namespace {

using FieldLayoutTest = FieldSceneTest;

// Children of the field's content for row i, in the order they were added.
struct RowNodes {
    CardSprite* head;
    CardSprite* left;
    CardSprite* right;
    LabelAtlas* number;
    Sprite* insertButton;
    Sprite* deleteButton;
};

RowNodes rowNodes(FieldScene* scene, int row) {
    const auto& children = scene->fieldView->getContentLayer()->getChildren();
    // The white background comes first, then six nodes per row.
    const std::size_t first = 1 + 6 * static_cast<std::size_t>(row);
    return RowNodes{dynamic_cast<CardSprite*>(children.at(first)),
                    dynamic_cast<CardSprite*>(children.at(first + 1)),
                    dynamic_cast<CardSprite*>(children.at(first + 2)),
                    dynamic_cast<LabelAtlas*>(children.at(first + 3)),
                    dynamic_cast<Sprite*>(children.at(first + 4)),
                    dynamic_cast<Sprite*>(children.at(first + 5))};
}

// Where a content point appears in the world at the field's current offset and zoom.
Vec2 onScreen(FieldScene* scene, const Vec2& fieldPoint) {
    return scene->fieldView->getContentLayer()->convertToWorldSpace(fieldPoint);
}

TEST_F(FieldLayoutTest, FieldViewOpensAtTheTopOfItsContent) {
    FieldScrollView* view = scene->fieldView;
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->getParent(), scene);
    EXPECT_EQ(view->getViewSize(), Size(1024.f, 768.f));
    EXPECT_EQ(view->getContentSize(), Size(kFieldWidth, kFieldHeight));
    EXPECT_FLOAT_EQ(view->offset().x, 0.f);
    EXPECT_FLOAT_EQ(view->offset().y, 768.f - kFieldHeight);
    EXPECT_FLOAT_EQ(view->getZoom(), 1.f);
    EXPECT_FLOAT_EQ(view->minZoom, 0.5f);
    EXPECT_FLOAT_EQ(view->maxZoom, 1.f);
    EXPECT_EQ(view->getScrollAxis(), FieldScrollView::ScrollAxis::Vertical);
    EXPECT_FALSE(view->springBack);
    EXPECT_EQ(view->delegate, scene);

    auto* background = dynamic_cast<LayerColor*>(view->getContentLayer()->getChildren().at(0));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->getContentSize(), Size(kFieldWidth, kFieldHeight));
    EXPECT_EQ(background->getColor(), Color3B::WHITE);
    EXPECT_EQ(view->getContentLayer()->getChildrenCount(), 1 + 6 * 30);
    EXPECT_EQ(scene->usageCounters,
              (std::vector<std::vector<int>>{std::vector<int>(6), std::vector<int>(15),
                                             std::vector<int>(21)}));

    // Row 10 is the first row seen: its head's top edge stands 50 pixels below the
    // window's top.
    const RowNodes first = rowNodes(scene, 0);
    EXPECT_FLOAT_EQ(onScreen(scene, first.head->getPosition()).y + 68.f, 768.f - 50.f);
}

TEST_F(FieldLayoutTest, RowsStackDownwardWithTheirPicturesNumbersAndButtons) {
    ASSERT_EQ(scene->fieldRows.size(), 30u);
    for (int i = 0; i < 30; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const RowNodes row = rowNodes(scene, i);
        ASSERT_TRUE(row.head && row.left && row.right && row.number && row.insertButton &&
                    row.deleteButton);
        const float y = kFieldHeight - 50.f - (static_cast<float>(i) + 0.5f) * 136.f;
        EXPECT_FLOAT_EQ(row.head->getPositionX(), 360.f);
        EXPECT_FLOAT_EQ(row.head->getPositionY(), y);
        EXPECT_EQ(row.head->frontImage, "res/r_field_no.png");
        EXPECT_EQ(row.head->getContentSize(), Size(60.f, 136.f));

        EXPECT_EQ(scene->fieldRows[static_cast<std::size_t>(i)][0], row.left);
        EXPECT_EQ(scene->fieldRows[static_cast<std::size_t>(i)][1], row.right);
        EXPECT_EQ(row.left->frontImage, "res/r_field.png");
        EXPECT_EQ(row.left->getPosition(), Vec2(496.f, row.head->getPositionY()));
        EXPECT_EQ(row.right->getPosition(), Vec2(710.f, row.head->getPositionY()));
        for (CardSprite* s : {row.left, row.right}) {
            EXPECT_EQ(s->connectors[0].point, Vec2(5.f, 68.f));
            EXPECT_EQ(s->connectors[0].tip, Vec2(4.f, 68.f));
            EXPECT_EQ(s->connectors[1].point, Vec2::ZERO);
            EXPECT_EQ(s->connectors[0].partner, nullptr);
        }

        EXPECT_EQ(row.number->getString(), std::to_string(10 * (i + 1)));
        EXPECT_EQ(row.number->getAnchorPoint(), Vec2(1.f, 0.5f));
        EXPECT_EQ(row.number->getPosition(), Vec2(385.f, row.head->getPositionY()));

        EXPECT_EQ(row.insertButton->getTag(), i);
        EXPECT_EQ(row.deleteButton->getTag(), i);
        EXPECT_EQ(row.insertButton->getPosition(), Vec2(316.f, row.head->getPositionY() + 68.f));
        EXPECT_EQ(row.deleteButton->getPosition(), Vec2(316.f, row.head->getPositionY()));
    }
}

TEST_F(FieldLayoutTest, SlotsKnowTheirNeighbours) {
    for (int i = 0; i < 30; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        CardSprite* left = slot(i, 0);
        CardSprite* right = slot(i, 1);
        EXPECT_EQ(left->right, right);
        EXPECT_EQ(right->left, left);
        EXPECT_EQ(left->left, nullptr);
        EXPECT_EQ(right->right, nullptr);
        EXPECT_EQ(left->up, i > 0 ? slot(i - 1, 0) : nullptr);
        EXPECT_EQ(right->up, i > 0 ? slot(i - 1, 1) : nullptr);
        EXPECT_EQ(left->down, i < 29 ? slot(i + 1, 0) : nullptr);
        EXPECT_EQ(right->down, i < 29 ? slot(i + 1, 1) : nullptr);
    }
}

TEST_F(FieldLayoutTest, RowButtonsGivePressFeedbackAndActOnReleaseInside) {
    CardSprite* card = cardInSlot(0, 0);
    const RowNodes row = rowNodes(scene, 0);
    const Vec2 insertAt = onScreen(scene, row.insertButton->getPosition());

    // Released outside: feedback only.
    harness.touchBegan(insertAt);
    EXPECT_EQ(row.insertButton->getOpacity(), 192);
    harness.touchEnded(insertAt + Vec2(0.f, 30.f));
    EXPECT_EQ(row.insertButton->getOpacity(), 255);
    EXPECT_EQ(cardAt(0, 0), card);

    harness.tap(insertAt);
    EXPECT_EQ(cardAt(0, 0), nullptr);
    EXPECT_EQ(cardAt(1, 0), card);

    const RowNodes second = rowNodes(scene, 1);
    harness.tap(onScreen(scene, second.deleteButton->getPosition()));
    EXPECT_EQ(cardAt(1, 0), nullptr);
    EXPECT_FALSE(scene->fieldCards.contains(card));
}

TEST_F(FieldLayoutTest, ZoomedOutRowButtonsAnswerOnlyWhereTheyAreSeen) {
    CardSprite* card = cardInSlot(3, 0);
    scene->fieldView->setZoom(0.5f);
    const RowNodes row = rowNodes(scene, 3);
    // At half size the button covers 14 x 14 pixels; just right of it lies the row head.
    const Vec2 centre = onScreen(scene, row.deleteButton->getPosition());
    harness.tap(centre + Vec2(10.f, 0.f));
    EXPECT_EQ(cardAt(3, 0), card);
    harness.tap(centre + Vec2(6.f, 6.f));
    EXPECT_EQ(cardAt(3, 0), nullptr);
}

TEST_F(FieldLayoutTest, GenerationReadsRowsTopDownAndSlotsLeftToRight) {
    cardInSlot(0, 1, 0, 1);
    cardInSlot(2, 0, 1, 14);
    cardInSlot(2, 1, 2, 20);
    looseCard(Vec2(1200.f, 2000.f), 0, 3);
    const auto rows = scene->programRows();
    ASSERT_EQ(rows.size(), 30u);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        ASSERT_EQ(rows[r].size(), 2u);
        if (r == 0) {
            EXPECT_FALSE(rows[r][0].has_value());
            ASSERT_TRUE(rows[r][1].has_value());
            EXPECT_EQ(rows[r][1]->cardSet, 0);
            EXPECT_EQ(rows[r][1]->cardIndex, 1);
        } else if (r == 2) {
            ASSERT_TRUE(rows[r][0].has_value() && rows[r][1].has_value());
            EXPECT_EQ(rows[r][0]->cardSet, 1);
            EXPECT_EQ(rows[r][0]->cardIndex, 14);
            EXPECT_EQ(rows[r][1]->cardSet, 2);
            EXPECT_EQ(rows[r][1]->cardIndex, 20);
        } else {
            EXPECT_FALSE(rows[r][0].has_value() || rows[r][1].has_value());
        }
    }
    // The loose card counts as used but makes no line.
    EXPECT_EQ(scene->usageCounters[0][3], 1);
    const auto chunks = buildProgram(rows);
    std::size_t lines = 0;
    for (const ProgramChunk& chunk : chunks) {
        lines += chunk.text.rfind("10 ", 0) == 0 || chunk.text.rfind("30 ", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(lines, 2u);
}

}  // namespace

// The palette: its cards and badges for each set, the tabs with the offset kept per set,
// paging with the arrows, the wheel and the middle button by pointer position, and lists
// that always come to rest inside their bounds when glides, wheel steps and drags meet.
#include <functional>
#include <string>
#include <vector>

#include "FieldTestSupport.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::FieldSceneTest;

namespace {

constexpr float kListHeight = 710.f;

class PaletteTest : public FieldSceneTest {
protected:
    FieldScrollView* list() const { return scene->paletteList; }
    float topOffset() const { return kListHeight - list()->getContentSize().height; }
    void pressTab(int set) { harness.tap(centreOf(scene->cardSetTabs.at(set))); }
    // Every frame until the list has stood still for a while, each offset checked against
    // the bounds.
    void expectRestsInsideBounds(FieldScrollView* view, int frames = 120) {
        for (int frame = 0; frame < frames; ++frame) {
            harness.step();
            const float y = view->offset().y;
            ASSERT_GE(y, view->lowestOffset().y) << "frame " << frame;
            ASSERT_LE(y, view->highestOffset().y) << "frame " << frame;
        }
    }
};

TEST_F(PaletteTest, EachSetIsListedTopDownWithABadgeLeftOfEveryCard) {
    struct Case {
        int set;
        int cards;
    };
    for (const Case& c : {Case{0, 6}, Case{1, 15}, Case{2, 21}}) {
        SCOPED_TRACE("set " + std::to_string(c.set));
        scene->usageCounters[static_cast<std::size_t>(c.set)].back() = 3;
        pressTab(c.set);
        ASSERT_EQ(scene->paletteCards.size(), static_cast<std::size_t>(c.cards));
        ASSERT_EQ(scene->usageBadges.size(), static_cast<std::size_t>(c.cards));
        EXPECT_FLOAT_EQ(list()->getContentSize().height, 20.f + 140.f * c.cards + 40.f);
        EXPECT_FLOAT_EQ(list()->offset().y, topOffset()) << "first visit opens at the top";
        for (int k = 0; k < c.cards; ++k) {
            CardSprite* card = scene->paletteCards.at(static_cast<std::size_t>(k));
            const float y = 100.f + 140.f * static_cast<float>(c.cards - 1 - k);
            EXPECT_EQ(card->cardIndex, k);
            EXPECT_EQ(card->cardSet, c.set);
            EXPECT_EQ(card->frontImage, DeviceManager::getInstance()->getPaletteImage(k, c.set));
            EXPECT_EQ(card->getPosition(), Vec2(160.f, y));
            LabelAtlas* count = scene->usageBadges.at(static_cast<std::size_t>(k));
            EXPECT_EQ(count->getPosition(), Vec2(38.f - 11.f, y));
            EXPECT_EQ(count->getString(), k == c.cards - 1 ? "3" : "0");
        }
        for (int tab = 0; tab < 3; ++tab) {
            EXPECT_EQ(scene->cardSetTabs.at(tab)->getTexture()->getName(),
                      DeviceManager::getInstance()->getTabImage(tab));
        }
        EXPECT_EQ(DeviceManager::getInstance()->cardSet, c.set);
    }
}

TEST_F(PaletteTest, ReturningToASetRestoresItsOffsetAndTheCurrentTabLeavesTheListInPlace) {
    list()->setOffset(Vec2(0.f, -100.f), false);
    pressTab(2);
    EXPECT_FLOAT_EQ(list()->offset().y, topOffset());
    list()->setOffset(Vec2(0.f, -1500.f), false);
    pressTab(2);
    EXPECT_FLOAT_EQ(list()->offset().y, -1500.f);
    pressTab(0);
    EXPECT_FLOAT_EQ(list()->offset().y, -100.f);
    pressTab(2);
    EXPECT_FLOAT_EQ(list()->offset().y, -1500.f);
}

TEST_F(PaletteTest, ArrowsPageOnPressAndAListShorterThanTheViewStaysTopAligned) {
    pressTab(2);  // 3000 high: the top is at -2290
    harness.touchBegan(centreOf(scene->pageDownButton));
    EXPECT_FALSE(list()->isDragging()) << "the arrow swallows its press";
    harness.touchMoved(Vec2(600.f, 300.f));  // sliding away does not undo the page
    harness.touchEnded(Vec2(600.f, 300.f));
    harness.steps(70);
    EXPECT_FLOAT_EQ(list()->offset().y, -1990.f);
    harness.tap(centreOf(scene->pageUpButton));
    harness.steps(70);
    EXPECT_FLOAT_EQ(list()->offset().y, -2290.f);
    harness.tap(centreOf(scene->pageUpButton));
    expectRestsInsideBounds(list());
    EXPECT_FLOAT_EQ(list()->offset().y, -2290.f);

    // No set is shorter than the list, so one is made: both arrows leave it top-aligned.
    list()->setContentSize(Size(265.f, 300.f));
    list()->setOffset(Vec2(0.f, -300.f), false);
    EXPECT_FLOAT_EQ(list()->offset().y, 410.f);
    for (Sprite* arrow : {scene->pageDownButton, scene->pageUpButton}) {
        harness.tap(centreOf(arrow));
        harness.steps(70);
        EXPECT_FLOAT_EQ(list()->offset().y, 410.f);
    }
}

TEST_F(PaletteTest, PagePressWheelStepOrDragDuringAGlideTakesOverAndRestsInsideTheBounds) {
    struct Case {
        const char* name;
        float start;
        bool up;
        int framesBeforeInterrupting;
        std::function<void()> interrupt;
    };
    const auto drag = [this]() {
        // Over the list's empty left margin, upwards.
        harness.touchBegan(Vec2(10.f, 300.f));
        harness.touchMoved(Vec2(10.f, 320.f));
        harness.touchMoved(Vec2(10.f, 360.f));
        harness.touchEnded(Vec2(10.f, 360.f));
    };
    // Near either bound, where a glide's rest added to the next move would carry the list
    // past it.
    const std::vector<Case> cases{
        {"second page press", -150.f, false, 6,
         [this]() { harness.tap(centreOf(scene->pageDownButton)); }},
        {"wheel step", -2000.f, true, 8, [this]() { harness.scroll(Vec2(100.f, 400.f), -8.f); }},
        {"drag", -150.f, false, 5, drag},
    };
    pressTab(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list()->setOffset(Vec2(0.f, c.start), false);
        harness.tap(centreOf(c.up ? scene->pageUpButton : scene->pageDownButton));
        harness.steps(c.framesBeforeInterrupting);
        c.interrupt();
        expectRestsInsideBounds(list(), 400);
        const float rest = list()->offset().y;
        harness.steps(30);
        EXPECT_FLOAT_EQ(list()->offset().y, rest);
    }
}

TEST_F(PaletteTest, WheelAndMiddleButtonActOnTheViewUnderThePointer) {
    const float palette = list()->offset().y;
    const float field = scene->fieldView->offset().y;
    harness.scroll(Vec2(274.f, 400.f), 3.f);
    EXPECT_FLOAT_EQ(list()->offset().y, palette + 30.f);
    EXPECT_FLOAT_EQ(scene->fieldView->offset().y, field);
    harness.scroll(Vec2(275.f, 400.f), 3.f);
    EXPECT_FLOAT_EQ(list()->offset().y, palette + 30.f);
    EXPECT_FLOAT_EQ(scene->fieldView->offset().y, field + 30.f);

    struct Click {
        float x;
        float zoomAfter;
    };
    for (const Click& click : {Click{274.f, 1.f}, Click{275.f, 0.5f}, Click{600.f, 1.f},
                               Click{100.f, 1.f}, Click{900.f, 0.5f}}) {
        harness.mouseDown(EventMouse::MouseButton::BUTTON_MIDDLE, Vec2(click.x, 300.f));
        harness.mouseUp(EventMouse::MouseButton::BUTTON_MIDDLE, Vec2(click.x, 300.f));
        harness.step();
        EXPECT_FLOAT_EQ(scene->fieldView->getZoom(), click.zoomAfter) << "x " << click.x;
    }
}

}  // namespace

// FieldScrollView, headless and frame by frame: the drag threshold, damping past a bound,
// coasting and glides. Zoom and pinch are met where a user meets them, in the finger cases
// of the workspace.
#include <gtest/gtest.h>

#include "cocos2d.h"
#include "platform/headless/HeadlessHarness.h"
#include "widgets/FieldScrollView.h"

USING_NS_CC;

namespace {

class FieldScrollViewTest : public ::testing::Test {
protected:
    // The field view's configuration: the whole window, a tall content, vertical, no
    // spring-back; scrolled to its middle.
    FieldScrollView* makeFieldView() {
        FieldScrollView* v = FieldScrollView::create(Size(1024.f, 768.f));
        v->setContentSize(Size(1536.f, 4232.f));
        v->setOffset(Vec2(0.f, -2000.f), false);
        v->minZoom = 0.5f;
        v->maxZoom = 1.f;
        v->setScrollAxis(FieldScrollView::ScrollAxis::Vertical);
        v->springBack = false;
        harness.scene()->addChild(v);
        return v;
    }
    // A one-finger drag: press, pass the threshold, then one step of `dy` pixels.
    void flick(const Vec2& from, float dy) {
        harness.touchBegan(from);
        harness.touchMoved(from + Vec2(0.f, 7.f));
        harness.touchMoved(from + Vec2(0.f, 7.f + dy));
        harness.touchEnded(from + Vec2(0.f, 7.f + dy));
    }

    HeadlessHarness harness;
};

TEST_F(FieldScrollViewTest, DragStartsOnlyPastTheThresholdAndNeverAcrossTheAxis) {
    FieldScrollView* view = makeFieldView();
    harness.touchBegan(Vec2(500.f, 300.f));
    harness.touchMoved(Vec2(500.f, 306.9f));
    EXPECT_FALSE(view->isTouchMoved());
    EXPECT_FLOAT_EQ(view->offset().y, -2000.f);
    harness.touchMoved(Vec2(500.f, 307.f));
    EXPECT_TRUE(view->isTouchMoved());
    harness.touchMoved(Vec2(530.f, 317.f));
    EXPECT_EQ(view->offset(), Vec2(0.f, -1990.f));
    harness.touchEnded(Vec2(530.f, 317.f));
}

TEST_F(FieldScrollViewTest, DragBeyondABoundLagsBehindThePointer) {
    FieldScrollView* view = makeFieldView();
    view->springBack = true;
    view->setOffset(Vec2(0.f, 100.f), false);
    harness.touchBegan(Vec2(500.f, 300.f));
    harness.touchMoved(Vec2(500.f, 310.f));
    harness.touchMoved(Vec2(500.f, 330.f));
    EXPECT_GT(view->offset().y, 100.f);
    EXPECT_LT(view->offset().y, 110.f);
    harness.touchEnded(Vec2(500.f, 330.f));
}

TEST_F(FieldScrollViewTest, FlickCoastsSlowingDownAndComesToRest) {
    FieldScrollView* view = makeFieldView();
    flick(Vec2(500.f, 300.f), 20.f);
    ASSERT_TRUE(view->isCoasting());
    const float released = view->offset().y;
    float previous = released;
    float firstStep = 0.f;
    float lastStep = 0.f;
    for (int frame = 0; frame < 2000 && view->isCoasting(); ++frame) {
        harness.step();
        const float step = view->offset().y - previous;
        ASSERT_GE(step, 0.f) << "frame " << frame;
        firstStep = firstStep > 0.f ? firstStep : step;
        lastStep = step > 0.f ? step : lastStep;
        previous = view->offset().y;
    }
    EXPECT_FALSE(view->isCoasting()) << "it never stops";
    EXPECT_LT(lastStep, firstStep / 10.f) << "it never slowed";
    EXPECT_GT(previous, released + 50.f) << "it hardly coasted";
    EXPECT_LT(previous, view->highestOffset().y - 1000.f) << "it ran on to the end";
}

TEST_F(FieldScrollViewTest, AGlideEndsOnItsTargetOrItsBound) {
    FieldScrollView* view = makeFieldView();
    for (const auto& [asked, reached] : {std::pair{-1000.f, -1000.f}, {500.f, 0.f}}) {
        view->setOffset(Vec2(0.f, -2000.f), false);
        view->setOffset(Vec2(0.f, asked), true);
        float previous = -2000.f;
        for (int frame = 0; frame < 40; ++frame) {
            harness.step();
            ASSERT_GE(view->offset().y, previous);
            ASSERT_LE(view->offset().y, reached) << "past its end";
            previous = view->offset().y;
        }
        EXPECT_FLOAT_EQ(view->offset().y, reached);
    }
}

}  // namespace

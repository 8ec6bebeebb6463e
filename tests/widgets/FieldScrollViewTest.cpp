// FieldScrollView, headless and frame by frame: bounds and offsets, children routed to the
// content, the drag threshold, damping, coasting and spring-back, zoom and pinch, glides,
// the view rectangle, touch bookkeeping, and clipping as the renderer records it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cocos2d.h"
#include "platform/headless/HeadlessHarness.h"
#include "widgets/FieldScrollView.h"

USING_NS_CC;

namespace {

constexpr float kContentWidth = 1.5f * 1024.f;
constexpr float kContentHeight = 5.51f * 768.f;
const std::string kPicture = "res/r_field.png";

struct RecordingDelegate : FieldScrollViewDelegate {
    void onScrolled(FieldScrollView*) override { calls.push_back("scrolled"); }
    void onZoomed(FieldScrollView*) override { calls.push_back("zoomed"); }
    std::vector<std::string> calls;
};

// The frame-by-frame coasting rule with spring-back off, for comparison: the y offset
// after each frame until the velocity is spent.
std::vector<float> expectedCoast(float y, float v, float lowest, float highest) {
    std::vector<float> offsets;
    while (v != 0.f) {
        if (std::fabs(v) < 0.01f) {
            v = 0.f;
        } else {
            const float next = y + v;
            if (next > highest || next < lowest) {
                v = 0.f;
            }
            v *= 0.96f;
        }
        y += v;
        offsets.push_back(y);
    }
    return offsets;
}

class FieldScrollViewTest : public ::testing::Test {
protected:
    // The field view's configuration: the whole window, a content one and a half screens
    // wide and 5.51 high, opened at its top, vertical, no spring-back.
    FieldScrollView* makeFieldView() {
        FieldScrollView* v = FieldScrollView::create(Size(1024.f, 768.f));
        v->setContentSize(Size(kContentWidth, kContentHeight));
        v->setOffset(Vec2(0.f, -4.51f * 768.f), false);
        v->setZoom(1.f);
        v->minZoom = 0.5f;
        v->maxZoom = 1.f;
        v->setScrollAxis(FieldScrollView::ScrollAxis::Vertical);
        v->springBack = false;
        v->delegate = &recorder;
        harness.scene()->addChild(v);
        return v;
    }
    // A one-finger drag: press, pass the threshold, then one step of `step` pixels.
    void flick(const Vec2& from, const Vec2& step) {
        harness.touchBegan(from);
        const Vec2 beyond = from + Vec2(step.x == 0.f ? 0.f : 7.f, step.y == 0.f ? 0.f : 7.f);
        harness.touchMoved(beyond);
        harness.touchMoved(beyond + step);
        harness.touchEnded(beyond + step);
    }
    void stepUntilCoastingEnds(FieldScrollView* v) {
        for (int i = 0; i < 2000 && v->isCoasting(); ++i) {
            harness.step();
        }
    }

    HeadlessHarness harness;
    RecordingDelegate recorder;
};

TEST_F(FieldScrollViewTest, BoundsFollowContentSizeAndZoom) {
    FieldScrollView* view = makeFieldView();
    EXPECT_EQ(view->highestOffset(), Vec2::ZERO);
    EXPECT_FLOAT_EQ(view->lowestOffset().x, 1024.f - kContentWidth);
    EXPECT_FLOAT_EQ(view->lowestOffset().y, 768.f - kContentHeight);
    // Opened at the top of the content.
    EXPECT_FLOAT_EQ(view->offset().y, 768.f - kContentHeight);
    view->setZoom(0.5f);
    EXPECT_FLOAT_EQ(view->lowestOffset().x, 1024.f - kContentWidth / 2.f);
    EXPECT_FLOAT_EQ(view->lowestOffset().y, 768.f - kContentHeight / 2.f);
}

TEST_F(FieldScrollViewTest, SetOffsetLimitsOnlyYAndOnlyWithoutSpringBack) {
    struct Case {
        const char* name;
        bool springBack;
        Vec2 asked;
        Vec2 expected;
    };
    const float lowest = 768.f - kContentHeight;
    for (const Case& c :
         {Case{"above the top", false, Vec2(100.f, 50.f), Vec2(100.f, 0.f)},
          Case{"below the bottom", false, Vec2(-900.f, -5000.f), Vec2(-900.f, lowest)},
          Case{"inside", false, Vec2(-10.f, -1000.f), Vec2(-10.f, -1000.f)},
          Case{"spring-back lets it pass", true, Vec2(0.f, 50.f), Vec2(0.f, 50.f)}}) {
        SCOPED_TRACE(c.name);
        FieldScrollView* view = makeFieldView();
        view->springBack = c.springBack;
        recorder.calls.clear();
        view->setOffset(c.asked, false);
        EXPECT_FLOAT_EQ(view->offset().x, c.expected.x);
        EXPECT_FLOAT_EQ(view->offset().y, c.expected.y);
        EXPECT_EQ(recorder.calls, std::vector<std::string>{"scrolled"});
        view->removeFromParent();
    }
}

TEST_F(FieldScrollViewTest, ChildrenGoToTheContentLayer) {
    FieldScrollView* view = makeFieldView();
    Layer* content = view->getContentLayer();
    EXPECT_EQ(content->getAnchorPoint(), Vec2::ZERO);
    EXPECT_FALSE(content->isIgnoreAnchorPointForPosition());
    EXPECT_EQ(view->getContentSize(), Size(kContentWidth, kContentHeight));
    EXPECT_EQ(content->getContentSize(), Size(kContentWidth, kContentHeight));

    Node* plain = Node::create();
    Node* tagged = Node::create();
    Node* named = Node::create();
    view->addChild(plain);
    view->addChild(tagged, 3, 42);
    view->addChild(named, 1, "named");
    EXPECT_EQ(view->getChildrenCount(), 1);
    EXPECT_EQ(content->getChildrenCount(), 3);
    EXPECT_EQ(content->getChildByTag(42), tagged);
    EXPECT_EQ(content->getChildByName("named"), named);
    EXPECT_EQ(tagged->getLocalZOrder(), 3);

    view->removeChild(plain);
    EXPECT_EQ(content->getChildrenCount(), 2);
    view->removeAllChildren();
    EXPECT_EQ(content->getChildrenCount(), 0);
    ASSERT_EQ(view->getChildrenCount(), 1);
    EXPECT_EQ(view->getChildren().at(0), content);
}

TEST_F(FieldScrollViewTest, DragStartsOnlyPastSevenOneHundredSixtiethsOfAnInch) {
    FieldScrollView* view = makeFieldView();
    view->setOffset(Vec2(0.f, -2000.f), false);
    harness.touchBegan(Vec2(500.f, 300.f));
    EXPECT_TRUE(view->isDragging());
    harness.touchMoved(Vec2(500.f, 306.9f));
    EXPECT_FALSE(view->isTouchMoved());
    EXPECT_FLOAT_EQ(view->offset().y, -2000.f);
    // The first event beyond the threshold starts the drag but moves nothing.
    harness.touchMoved(Vec2(500.f, 307.f));
    EXPECT_TRUE(view->isTouchMoved());
    EXPECT_FLOAT_EQ(view->offset().y, -2000.f);
    // Later events move by their whole step, and never across the scroll axis.
    harness.touchMoved(Vec2(530.f, 317.f));
    EXPECT_FLOAT_EQ(view->offset().y, -1990.f);
    EXPECT_FLOAT_EQ(view->offset().x, 0.f);
    harness.touchMoved(Vec2(530.f, 312.f));
    EXPECT_FLOAT_EQ(view->offset().y, -1995.f);
    harness.touchEnded(Vec2(530.f, 312.f));
    EXPECT_FALSE(view->isDragging());
}

TEST(FieldScrollViewWindowTest, DragThresholdIsMeasuredInWindowPoints) {
    // A window twice the design size: 3.5 design pixels are 7 window points.
    HeadlessHarness harness(2048, 1536);
    FieldScrollView* view = FieldScrollView::create(Size(1024.f, 768.f));
    view->setContentSize(Size(1024.f, 3000.f));
    view->setScrollAxis(FieldScrollView::ScrollAxis::Vertical);
    view->setOffset(Vec2(0.f, -1000.f), false);
    harness.scene()->addChild(view);
    harness.touchBegan(Vec2(500.f, 300.f));
    harness.touchMoved(Vec2(500.f, 303.f));
    EXPECT_FALSE(view->isTouchMoved());
    harness.touchMoved(Vec2(500.f, 303.5f));
    EXPECT_TRUE(view->isTouchMoved());
    harness.touchEnded(Vec2(500.f, 303.5f));
}

TEST_F(FieldScrollViewTest, VerticalDragWithoutSpringBackStopsExactlyAtTopAndBottom) {
    FieldScrollView* view = makeFieldView();
    // Strokes of 740 pixels, each left to coast out, push the content past either end.
    auto strokes = [this](float from, float to) {
        for (int i = 0; i < 7; ++i) {
            harness.touchBegan(Vec2(500.f, from));
            harness.touchMoved(Vec2(500.f, from + (to > from ? 10.f : -10.f)));
            harness.touchMoved(Vec2(500.f, to));
            harness.touchEnded(Vec2(500.f, to));
            harness.steps(300);
        }
    };
    strokes(10.f, 760.f);
    EXPECT_EQ(view->offset().y, view->highestOffset().y);
    strokes(760.f, 10.f);
    EXPECT_EQ(view->offset().y, view->lowestOffset().y);
}

TEST_F(FieldScrollViewTest, DragBeyondABoundMovesAtAThirdOfThePointer) {
    FieldScrollView* view = makeFieldView();
    view->springBack = true;
    view->setOffset(Vec2(0.f, 100.f), false);
    harness.touchBegan(Vec2(500.f, 300.f));
    harness.touchMoved(Vec2(500.f, 310.f));
    harness.touchMoved(Vec2(500.f, 330.f));
    EXPECT_FLOAT_EQ(view->offset().y, 107.f);
    harness.touchEnded(Vec2(500.f, 330.f));
}

TEST_F(FieldScrollViewTest, FlickCoastsShrinkingFourPercentAFrameUntilSpent) {
    FieldScrollView* view = makeFieldView();
    view->setOffset(Vec2(0.f, -2000.f), false);
    flick(Vec2(500.f, 300.f), Vec2(0.f, 20.f));
    EXPECT_FLOAT_EQ(view->offset().y, -1980.f);
    EXPECT_FLOAT_EQ(view->getVelocity().y, 10.01f);
    EXPECT_EQ(view->getVelocity().x, 0.f);
    ASSERT_TRUE(view->isCoasting());

    const std::vector<float> expected =
        expectedCoast(-1980.f, 10.01f, view->lowestOffset().y, view->highestOffset().y);
    ASSERT_GT(expected.size(), 100u);
    recorder.calls.clear();
    for (std::size_t frame = 0; frame < expected.size(); ++frame) {
        harness.step();
        ASSERT_FLOAT_EQ(view->offset().y, expected[frame]) << "frame " << frame + 1;
        EXPECT_EQ(view->offset().x, 0.f);
    }
    EXPECT_FALSE(view->isCoasting());
    EXPECT_EQ(recorder.calls.size(), expected.size());
    // Inside the bounds there is nothing to settle.
    harness.steps(30);
    EXPECT_FLOAT_EQ(view->offset().y, expected.back());
}

TEST_F(FieldScrollViewTest, CoastingStepThatWouldCrossABoundStopsTheAxis) {
    FieldScrollView* view = makeFieldView();
    view->setOffset(Vec2(0.f, -40.f), false);
    flick(Vec2(500.f, 300.f), Vec2(0.f, 20.f));
    const std::vector<float> expected = expectedCoast(-20.f, 10.01f, view->lowestOffset().y, 0.f);
    ASSERT_EQ(expected.size(), 3u);
    stepUntilCoastingEnds(view);
    EXPECT_FLOAT_EQ(view->offset().y, expected.back());
    EXPECT_LT(view->offset().y, 0.f);
    harness.steps(30);
    EXPECT_FLOAT_EQ(view->offset().y, expected.back());
}

TEST_F(FieldScrollViewTest, WithSpringBackAFlickPassesTheBoundAndComesBackToIt) {
    FieldScrollView* view = makeFieldView();
    view->springBack = true;
    view->setOffset(Vec2(0.f, -30.f), false);
    flick(Vec2(500.f, 300.f), Vec2(0.f, 40.f));
    float highestSeen = view->offset().y;
    for (int i = 0; i < 600; ++i) {
        harness.step();
        highestSeen = std::max(highestSeen, view->offset().y);
    }
    EXPECT_GT(highestSeen, 0.f);
    EXPECT_FALSE(view->isCoasting());
    EXPECT_NEAR(view->offset().y, 0.f, 1e-3f);
}

TEST_F(FieldScrollViewTest, SetZoomKeepsTheCentrePointAndStaysWithinLimits) {
    struct Case {
        float asked;
        float expected;
    };
    for (const Case& c : {Case{0.75f, 0.75f}, Case{0.2f, 0.5f}, Case{3.f, 1.f}}) {
        SCOPED_TRACE(c.asked);
        FieldScrollView* view = makeFieldView();
        view->setOffset(Vec2(-200.f, -2000.f), false);
        const Vec2 centre(512.f, 384.f);
        const Vec2 before = view->getContentLayer()->convertToNodeSpace(centre);
        recorder.calls.clear();
        view->setZoom(c.asked);
        EXPECT_FLOAT_EQ(view->getZoom(), c.expected);
        if (c.expected != 1.f) {
            const Vec2 after = view->getContentLayer()->convertToNodeSpace(centre);
            EXPECT_NEAR(after.x, before.x, 1e-2f);
            EXPECT_NEAR(after.y, before.y, 1e-2f);
            EXPECT_EQ(recorder.calls, (std::vector<std::string>{"zoomed", "scrolled"}));
        }
        view->removeFromParent();
    }
}

TEST_F(FieldScrollViewTest, SettleAfterZoomingOutPutsXAtZeroWhenXScrolls) {
    FieldScrollView* view = makeFieldView();
    view->setScrollAxis(FieldScrollView::ScrollAxis::Both);
    view->setZoom(0.5f);
    // The content is now narrower than the view: the lowest x bound lies above the highest.
    EXPECT_FLOAT_EQ(view->offset().x, 256.f);
    view->settle();
    harness.steps(20);
    EXPECT_FLOAT_EQ(view->offset().x, 0.f);
}

TEST_F(FieldScrollViewTest, SettleLeavesXAloneInAVerticalView) {
    FieldScrollView* view = makeFieldView();
    view->setZoom(0.5f);
    view->settle();
    harness.steps(20);
    EXPECT_FLOAT_EQ(view->offset().x, 256.f);
    view->setZoom(1.f);
    EXPECT_FLOAT_EQ(view->offset().x, 0.f);
}

TEST_F(FieldScrollViewTest, PinchZoomsWithinLimitsAndLiftingAFingerSettles) {
    FieldScrollView* view = makeFieldView();
    view->setOffset(Vec2(0.f, -2000.f), false);
    harness.touchBegan(Vec2(400.f, 300.f), 0);
    harness.touchBegan(Vec2(600.f, 300.f), 1);
    EXPECT_FALSE(view->isDragging());
    EXPECT_EQ(view->getTouchCount(), 2u);
    harness.touchMoved(Vec2(1000.f, 300.f), 1);
    EXPECT_FLOAT_EQ(view->getZoom(), 1.f);
    harness.touchMoved(Vec2(420.f, 300.f), 1);
    EXPECT_FLOAT_EQ(view->getZoom(), 0.5f);
    // The zoom follows the fingers' distance against their distance at the start.
    harness.touchMoved(Vec2(560.f, 300.f), 1);
    EXPECT_FLOAT_EQ(view->getZoom(), 0.8f);
    harness.touchMoved(Vec2(1000.f, 300.f), 1);
    EXPECT_FLOAT_EQ(view->getZoom(), 1.f);
    harness.touchMoved(Vec2(401.f, 300.f), 1);
    EXPECT_FLOAT_EQ(view->getZoom(), 0.5f);

    harness.touchEnded(Vec2(401.f, 300.f), 1);
    EXPECT_TRUE(view->isCoasting());
    harness.steps(40);
    EXPECT_FALSE(view->isCoasting());
    harness.touchEnded(Vec2(400.f, 300.f), 0);
    EXPECT_EQ(view->getTouchCount(), 0u);
}

TEST_F(FieldScrollViewTest, TouchEndingWhileHiddenStillLeavesTheView) {
    FieldScrollView* view = makeFieldView();
    harness.touchBegan(Vec2(500.f, 300.f));
    harness.touchMoved(Vec2(500.f, 330.f));
    view->setVisible(false);
    harness.touchEnded(Vec2(500.f, 330.f));
    EXPECT_EQ(view->getTouchCount(), 0u);
    EXPECT_FALSE(view->isCoasting());
    view->setVisible(true);
    harness.touchBegan(Vec2(500.f, 300.f));
    EXPECT_EQ(view->getTouchCount(), 1u);
    harness.touchEnded(Vec2(500.f, 300.f));
}

TEST_F(FieldScrollViewTest, AnimatedOffsetGlidesOverPointThreeSecondsNotifyingEachFrame) {
    FieldScrollView* view = makeFieldView();
    view->setOffset(Vec2(0.f, -2000.f), false);
    recorder.calls.clear();
    view->setOffset(Vec2(0.f, -1000.f), true);
    EXPECT_FLOAT_EQ(view->offset().y, -2000.f);
    // The first frame of an action shows its start.
    harness.step();
    EXPECT_FLOAT_EQ(view->offset().y, -2000.f);
    float previous = -2000.f;
    for (int frame = 2; frame <= 18; ++frame) {
        harness.step();
        EXPECT_GT(view->offset().y, previous) << "frame " << frame;
        previous = view->offset().y;
    }
    EXPECT_LT(view->offset().y, -1000.f);
    harness.step();
    EXPECT_FLOAT_EQ(view->offset().y, -1000.f);
    const std::size_t notified = recorder.calls.size();
    EXPECT_GE(notified, 19u);
    harness.steps(5);
    EXPECT_EQ(recorder.calls.size(), notified);
}

TEST_F(FieldScrollViewTest, TweenedValuesAreAppliedAsZoom) {
    FieldScrollView* view = makeFieldView();
    view->runAction(ActionTween::create(0.2f, "zoom", 1.f, 0.5f));
    harness.steps(7);
    EXPECT_GT(view->getZoom(), 0.5f);
    EXPECT_LT(view->getZoom(), 1.f);
    harness.steps(6);
    EXPECT_FLOAT_EQ(view->getZoom(), 0.5f);
}

TEST_F(FieldScrollViewTest, ViewRectFollowsAncestorsIncludingMirroring) {
    struct Case {
        const char* name;
        float scaleX;
        float scaleY;
        Rect expected;
    };
    for (const Case& c : {Case{"plain", 1.f, 1.f, Rect(110.f, 70.f, 200.f, 100.f)},
                          Case{"scaled", 2.f, 0.5f, Rect(120.f, 60.f, 400.f, 50.f)},
                          Case{"mirrored", -1.f, 1.f, Rect(-110.f, 70.f, 200.f, 100.f)}}) {
        SCOPED_TRACE(c.name);
        Node* parent = Node::create();
        parent->setPosition(100.f, 50.f);
        parent->setScale(c.scaleX, c.scaleY);
        harness.scene()->addChild(parent);
        FieldScrollView* view = FieldScrollView::create(Size(200.f, 100.f));
        view->setPosition(10.f, 20.f);
        parent->addChild(view);
        const Rect r = view->viewRect();
        EXPECT_FLOAT_EQ(r.origin.x, c.expected.origin.x);
        EXPECT_FLOAT_EQ(r.origin.y, c.expected.origin.y);
        EXPECT_FLOAT_EQ(r.size.width, c.expected.size.width);
        EXPECT_FLOAT_EQ(r.size.height, c.expected.size.height);
        parent->removeFromParent();
    }
}

// --- clipping, as the headless device records it ---

class FieldScrollViewClipTest : public FieldScrollViewTest {
protected:
    // A 400 x 300 view at (100, 50) with one picture inside, and one picture drawn after it.
    void SetUp() override {
        view = FieldScrollView::create(Size(400.f, 300.f));
        view->setPosition(100.f, 50.f);
        view->setContentSize(Size(400.f, 1000.f));
        view->addChild(Sprite::create(kPicture));
        harness.scene()->addChild(view);
        harness.scene()->addChild(Sprite::create(kPicture));
    }
    backend::PixelRect pixels(const Rect& r) const { return harness.view()->designRectToPixels(r); }
    static bool same(const backend::PixelRect& a, const backend::PixelRect& b) {
        return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
    }

    FieldScrollView* view = nullptr;
};

TEST_F(FieldScrollViewClipTest, ContentIsDrawnClippedToTheViewAndLaterNodesAreNot) {
    harness.step();
    const auto& draws = harness.draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_TRUE(draws[0].clipped);
    EXPECT_TRUE(same(draws[0].clip, pixels(Rect(100.f, 50.f, 400.f, 300.f))));
    EXPECT_FALSE(draws[1].clipped);
}

TEST_F(FieldScrollViewClipTest, NestedViewClipsToTheOverlapAndRestoresTheOuterClip) {
    FieldScrollView* inner = FieldScrollView::create(Size(400.f, 100.f));
    inner->setPosition(200.f, 250.f);  // world (300, 300): half of it outside the outer view
    inner->addChild(Sprite::create(kPicture));
    view->addChild(inner);
    view->addChild(Sprite::create(kPicture));
    harness.step();
    const auto& draws = harness.draws();
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_TRUE(same(draws[0].clip, pixels(Rect(100.f, 50.f, 400.f, 300.f))));
    EXPECT_TRUE(same(draws[1].clip, pixels(Rect(300.f, 300.f, 200.f, 50.f))));
    EXPECT_TRUE(same(draws[2].clip, pixels(Rect(100.f, 50.f, 400.f, 300.f))));
    EXPECT_FALSE(draws[3].clipped);

    // Scrolled wholly out of the outer view, the inner content shows nowhere.
    inner->setPosition(200.f, 600.f);
    harness.step();
    const auto& later = harness.draws();
    ASSERT_EQ(later.size(), 4u);
    EXPECT_TRUE(later[1].clipped);
    EXPECT_TRUE(later[1].clip.w == 0 || later[1].clip.h == 0);
}

}  // namespace

// The numbers a child feels in the workspace, met where the child meets them: how far the
// field coasts after a flick, how far a wheel notch moves a list, where zooming stops, and
// an undo pressed the moment after a change. The figures are written out here, never taken
// from the code, so that a changed feel is noticed.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "GestureTestSupport.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;

namespace {

class FeltNumbersTest : public fieldtest::GestureTest {
protected:
    // Lets the field or list coast until it rests; false if it never does.
    bool coastToRest(FieldScrollView* view) {
        for (int frame = 0; frame < 2000 && view->isCoasting(); ++frame) {
            harness.step();
        }
        return !view->isCoasting();
    }
};

TEST_F(FeltNumbersTest, AFlickCoastsTheFieldAsFarAsItsSpeedCarriesIt) {
    FieldScrollView* field = inside(scene).fieldView;
    // The stroke's last step before the finger leaves, and how far the field then coasts.
    const struct {
        float lastStep;
        float least;
        float most;
    } flicks[] = {{8.f, 90.f, 120.f}, {20.f, 230.f, 280.f}, {-40.f, 470.f, 560.f}};
    for (const auto& flick : flicks) {
        SCOPED_TRACE(flick.lastStep);
        field->setOffset(Vec2(0.f, (field->highestOffset().y + field->lowestOffset().y) / 2.f),
                         false);
        const Vec2 from = fieldtest::kEmptyField;
        const Vec2 to = from + Vec2(0.f, flick.lastStep > 0.f ? 10.f : -10.f);
        harness.touchBegan(from);
        harness.touchMoved(to);
        harness.touchMoved(to + Vec2(0.f, flick.lastStep));
        harness.touchEnded(to + Vec2(0.f, flick.lastStep));
        const float released = field->offset().y;
        ASSERT_TRUE(coastToRest(field));
        const float coasted = (field->offset().y - released) * (flick.lastStep > 0.f ? 1.f : -1.f);
        EXPECT_GT(coasted, flick.least);
        EXPECT_LT(coasted, flick.most);
    }
}

TEST_F(FeltNumbersTest, AWheelNotchOrAnArrowMovesTheListByItsStep) {
    const Vec2 overPalette(100.f, 400.f);
    const auto wheel = [&](const Vec2& at, float notches) {
        return [this, at, notches] { harness.scroll(at, notches); };
    };
    const auto arrow = [&](Sprite* button) {
        return [this, button] {
            harness.tap(fieldtest::centreOf(button));
            hold(1.2f);  // the page glides
        };
    };
    const struct {
        const char* what;
        std::function<void()> act;
        FieldScrollView* view;
        float moved;
    } moves[] = {
        {"palette, one notch", wheel(overPalette, 1.f), inside(scene).paletteList, 10.f},
        {"palette, three notches", wheel(overPalette, 3.f), inside(scene).paletteList, 30.f},
        {"palette, one notch back", wheel(overPalette, -1.f), inside(scene).paletteList, -10.f},
        {"field, one notch on", wheel(fieldtest::kEmptyField, 1.f), inside(scene).fieldView, 10.f},
        {"field, one notch back", wheel(fieldtest::kEmptyField, -1.f), inside(scene).fieldView,
         -10.f},
        {"palette, the arrow down", arrow(inside(scene).pageDownButton), inside(scene).paletteList,
         300.f},
        {"palette, the arrow up", arrow(inside(scene).pageUpButton), inside(scene).paletteList,
         -300.f},
    };
    scene->switchCardSet(2);  // the longest palette, with room for a page either way
    for (const auto& move : moves) {
        SCOPED_TRACE(move.what);
        const float before = move.view->offset().y;
        move.act();
        EXPECT_FLOAT_EQ(move.view->offset().y - before, move.moved);
    }
}

TEST_F(FeltNumbersTest, ZoomStopsAtHalfAndWholeSize) {
    FieldScrollView* field = inside(scene).fieldView;
    const Vec2 centre(640.f, 400.f);
    // Two fingers that start `from` apart on either side of the centre and end `to` apart.
    const auto pinch = [&](float from, float to) {
        harness.touchBegan(centre - Vec2(from / 2.f, 0.f), 1);
        harness.touchBegan(centre + Vec2(from / 2.f, 0.f), 2);
        for (int i = 1; i <= 10; ++i) {
            const float apart = from + (to - from) * static_cast<float>(i) / 10.f;
            harness.touchMoved(centre - Vec2(apart / 2.f, 0.f), 1);
            harness.touchMoved(centre + Vec2(apart / 2.f, 0.f), 2);
        }
        harness.touchEnded(centre - Vec2(to / 2.f, 0.f), 1);
        harness.touchEnded(centre + Vec2(to / 2.f, 0.f), 2);
        hold(0.5f);
    };
    const auto middleClick = [&] {
        harness.mouseDown(EventMouse::MouseButton::BUTTON_MIDDLE, centre);
        harness.mouseUp(EventMouse::MouseButton::BUTTON_MIDDLE, centre);
        hold(0.5f);
    };
    const struct {
        const char* what;
        std::function<void()> zoom;
        float scale;
    } steps[] = {
        {"fingers spread wide at whole size", [&] { pinch(100.f, 500.f); }, 1.f},
        {"fingers pinched far together", [&] { pinch(500.f, 20.f); }, 0.5f},
        {"fingers spread wide again", [&] { pinch(100.f, 500.f); }, 1.f},
        {"the middle button", middleClick, 0.5f},
        {"the middle button again", middleClick, 1.f},
    };
    ASSERT_FLOAT_EQ(field->getZoom(), 1.f);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.zoom();
        EXPECT_FLOAT_EQ(field->getZoom(), step.scale);
    }
}

TEST_F(FeltNumbersTest, AnUndoPressedTheMomentAfterAChangeTakesBackThatChange) {
    cardInSlot(0, 0, 0, 0);
    hold(0.5f);
    const FieldContents before = scene->fieldContents();
    cardInSlot(1, 0, 0, 2);
    // No frame passes: the change is not yet a step when the keys come.
    harness.keyDown(EventKeyboard::KeyCode::KEY_Z, true);
    EXPECT_TRUE(scene->fieldContents() == before);
    harness.keyDown(EventKeyboard::KeyCode::KEY_Z, true, true);
    EXPECT_NE(cardAt(1, 0), nullptr) << "redo";
}

TEST_F(FeltNumbersTest, ANoticeStaysSixSecondsToBeReadThenFades) {
    scene->showNotice("Two cards lie in no slot.");
    hold(5.9f);
    ASSERT_NE(inside(scene).notice, nullptr);
    EXPECT_EQ(inside(scene).notice->getOpacity(), 255);
    hold(0.7f);
    EXPECT_EQ(inside(scene).notice, nullptr);
}

TEST_F(FeltNumbersTest, TheShelfShowsTheEarlierWorksRowAndTwelvePlaces) {
    scene->openShelf();
    hold(0.2f);
    const std::vector<std::string> drawn = harness.drawnPictures();
    const auto shown = [&](const std::string& name) {
        return std::count(drawn.begin(), drawn.end(), "label:" + name);
    };
    EXPECT_EQ(shown("Your earlier work will be kept here."), 1);
    EXPECT_EQ(shown("Place 1"), 1);
    EXPECT_EQ(shown("Place 12"), 1);
    EXPECT_EQ(shown("Place 13"), 0);
}

}  // namespace

// What a transfer tool learns of the workspace's window: where it and its play and stop
// buttons lie on the screen, so that a tool's own window can open clear of them.
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "LinkSceneSupport.h"
#include "tests/devicelink/posix/TempFolder.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::LinkSceneTest;

namespace {

struct Told {
    int x = 0, y = 0, w = 0, h = 0;
    bool holds(const Vec2& point) const {
        return point.x > x && point.x < x + w && point.y > y && point.y < y + h;
    }
};

class WorkspacePlaceTest : public LinkSceneTest {
protected:
    void TearDown() override {
        LinkSceneTest::TearDown();
        ::unsetenv("ZC_WORKSPACE_FRAME");
        ::unsetenv("ZC_WORKSPACE_CONTROLS");
    }

    // Where the control's centre lies on the pretend screen.
    Vec2 onScreen(const Node* control, const Vec2& windowAt) const {
        return harness.view()->designToWindow(centreOf(control)) + windowAt;
    }
};

TEST_F(WorkspacePlaceTest, EachTransferTellsTheToolWhereTheWindowAndPlayAndStopAreOnTheScreen) {
    TempFolder tools;
    const std::string told = tools.file("told");
    tools.write("simulator",
                "#!/bin/sh\nprintf '%s %s' \"$ZC_WORKSPACE_FRAME\" \"$ZC_WORKSPACE_CONTROLS\" > " +
                    told + "\ncat >/dev/null\n",
                0755);
    rediscover({}, tools.path());
    // A display left of the main one.
    const Vec2 windowAt(-1280.f, 40.f);
    harness.platformView().setScreenPosition(-1280, 40);

    harness.tap(centreOf(scene->playButton));
    ASSERT_TRUE(stepUntil([] { return !link()->isSending(); }));
    Told frame, controls;
    ASSERT_EQ(
        std::sscanf(TempFolder::read(told).c_str(), "%d,%d,%d,%d %d,%d,%d,%d", &frame.x, &frame.y,
                    &frame.w, &frame.h, &controls.x, &controls.y, &controls.w, &controls.h),
        8)
        << TempFolder::read(told);
    EXPECT_EQ(frame.x, -1280);
    EXPECT_EQ(frame.y, 40);
    EXPECT_EQ(frame.w, 1024);
    EXPECT_EQ(frame.h, 768);
    EXPECT_TRUE(controls.holds(onScreen(scene->playButton, windowAt)));
    EXPECT_TRUE(controls.holds(onScreen(scene->stopButton, windowAt)));
    // Those two and not the field: a part of the window's right half, less than half as high.
    EXPECT_GT(controls.x, frame.x + frame.w / 2);
    EXPECT_LE(controls.x + controls.w, frame.x + frame.w);
    EXPECT_LT(controls.h, frame.h / 2);

    // Moved since: stop's transfer tells the new place.
    harness.platformView().setScreenPosition(300, 0);
    harness.steps(10);  // the poll that ends the last transfer
    harness.tap(centreOf(scene->stopButton));
    ASSERT_TRUE(stepUntil([] { return !link()->isSending(); }));
    EXPECT_EQ(TempFolder::read(told).rfind("300,0,1024,768 ", 0), 0u) << TempFolder::read(told);
}

}  // namespace

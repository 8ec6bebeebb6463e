// Without a display the window view must fail with a reason, not open a window nobody
// can see (SDL would otherwise fall back to its off-screen driver).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/Backend.h"

namespace {

TEST(CreateWindowViewWithoutDisplay, FailsAndSaysWhy) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    std::string error;
    auto view = cocos2d::backend::createWindowView("ZundleApps", 1024, 768, error);
    EXPECT_EQ(view, nullptr);
    EXPECT_NE(error.find("display"), std::string::npos) << error;
}

}  // namespace

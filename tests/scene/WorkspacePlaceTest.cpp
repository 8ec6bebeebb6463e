// Whether the workspace moves when the simulator finds room beside it only once it has
// moved: as far as told, and never when the user's own choice of place or size stands.
#include <gtest/gtest.h>

#include <optional>

#include "scene/WorkspacePlace.h"

namespace {

using cocos2d::backend::PixelRect;

TEST(WorkspacePlace, MovesAsFarAsToldUnlessMaximisedMovedSinceOrToldNonsense) {
    const PixelRect at{100, 28, 1024, 768};
    struct Case {
        const char* name;
        std::optional<PixelRect> told;
        int by;
        bool fillsDisplay;
        std::optional<int> movedToX;  // nothing: it stays
    };
    const Case cases[] = {
        {"to the left edge", at, -100, false, 0},
        {"to the right edge", at, 242, false, 342},
        {"maximised or full screen", at, -100, true, std::nullopt},
        {"moved by the user since", PixelRect{140, 28, 1024, 768}, -100, false, std::nullopt},
        {"resized since", PixelRect{100, 28, 1000, 768}, -100, false, std::nullopt},
        {"never told", std::nullopt, -100, false, std::nullopt},
        {"no move", at, 0, false, std::nullopt},
        {"further than its own width", at, -1024, false, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<PixelRect> moved = movedForRoom(at, c.told, c.by, c.fillsDisplay);
        ASSERT_EQ(moved.has_value(), c.movedToX.has_value()) << c.name;
        if (moved) {
            EXPECT_EQ(moved->x, *c.movedToX) << c.name;
            EXPECT_EQ(moved->y, at.y) << c.name << ": along its display only";
            EXPECT_EQ(moved->w, at.w) << c.name;
            EXPECT_EQ(moved->h, at.h) << c.name;
        }
    }
}

}  // namespace

// Half-size copies of pictures: 2 x 2 averages with colours weighted by alpha.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/sdl/HalfSizeBitmap.h"

using cocos2d::backend::Bitmap;
using cocos2d::backend::canHalve;
using cocos2d::backend::halveBitmap;

namespace {

Bitmap make(int w, int h, std::vector<std::uint8_t> rgba) {
    Bitmap b;
    b.width = w;
    b.height = h;
    b.rgba = std::move(rgba);
    return b;
}

TEST(HalveBitmap, OnlyEvenNonEmptySizesHalve) {
    EXPECT_TRUE(canHalve(make(2, 2, std::vector<std::uint8_t>(16))));
    EXPECT_TRUE(canHalve(make(400, 240, {})));
    EXPECT_FALSE(canHalve(make(3, 2, {})));
    EXPECT_FALSE(canHalve(make(2, 5, {})));
    EXPECT_FALSE(canHalve(make(0, 0, {})));
}

TEST(HalveBitmap, AveragesEachBlockWithColourWeightedByAlpha) {
    // Two blocks side by side, rows top first:
    //   left:  opaque red | clear green       right: grey 0 | grey 200 (all opaque)
    //          clear green | clear green             grey 100 | grey 60
    const std::vector<std::uint8_t> rgba = {
        255, 0,   0, 255, 0, 255, 0, 0, 0,   0,   0,   255, 200, 200, 200, 255,  //
        0,   255, 0, 0,   0, 255, 0, 0, 100, 100, 100, 255, 60,  60,  60,  255,
    };
    const Bitmap half = halveBitmap(make(4, 2, rgba));
    ASSERT_EQ(half.width, 2);
    ASSERT_EQ(half.height, 1);
    // Clear green lends no colour to the red corner; a quarter of the block is covered.
    EXPECT_EQ(half.rgba, (std::vector<std::uint8_t>{255, 0, 0, 64, 90, 90, 90, 255}));
}

TEST(HalveBitmap, FullyClearBlocksKeepTheirColour) {
    // Text is white with alpha; a clear block must stay white, not turn black.
    const Bitmap half = halveBitmap(make(2, 2,
                                         {255, 255, 255, 0, 255, 255, 255, 0,  //
                                          255, 255, 255, 0, 255, 255, 255, 0}));
    EXPECT_EQ(half.rgba, (std::vector<std::uint8_t>{255, 255, 255, 0}));
}

}  // namespace

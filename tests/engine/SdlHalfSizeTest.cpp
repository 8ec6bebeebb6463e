// Half-size copies of pictures: 2 x 2 averages with colours weighted by alpha.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/sdl/HalfSizeBitmap.h"

using cocos2d::backend::Bitmap;

TEST(HalveBitmap, AveragesEachBlockWithColourWeightedByAlphaAndOnlyEvenSizesHalve) {
    // Three blocks side by side, rows top first: opaque red among clear green; opaque
    // greys; clear white (text is white with alpha: it must not turn black).
    Bitmap b;
    b.width = 6;
    b.height = 2;
    b.rgba = {255, 0,   0, 255, 0, 255, 0, 0, 0,   0,   0,   255, 200, 200, 200, 255,
              255, 255, 255, 0, 255, 255, 255, 0,  //
              0,   255, 0, 0,   0, 255, 0, 0, 100, 100, 100, 255, 60,  60,  60,  255,
              255, 255, 255, 0, 255, 255, 255, 0};
    ASSERT_TRUE(cocos2d::backend::canHalve(b));
    const Bitmap half = cocos2d::backend::halveBitmap(b);
    ASSERT_EQ(half.width, 3);
    ASSERT_EQ(half.height, 1);
    EXPECT_EQ(half.rgba, (std::vector<std::uint8_t>{255, 0, 0, 64, 90, 90, 90, 255, 255, 255,
                                                    255, 0}));
    b.width = 3;
    EXPECT_FALSE(cocos2d::backend::canHalve(b));
}

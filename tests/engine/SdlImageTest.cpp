// Pictures through the SDL backend: decoding to straight colours, failures that name the
// file and the reason, and half-size copies averaged with colours weighted by alpha.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "platform/sdl/HalfSizeBitmap.h"

using cocos2d::backend::Bitmap;
using cocos2d::backend::decodeImageFile;
using enginetest::picture;

namespace {

std::string copyOf(const std::string& name, const std::string& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(DecodeImageFile, YieldsStraightRgbaRowsTopFirst) {
    // Half-transparent red must keep its colour: nothing premultiplied.
    Bitmap bitmap;
    std::string error;
    ASSERT_TRUE(decodeImageFile(picture("halfclear.png"), bitmap, error)) << error;
    EXPECT_EQ(bitmap.width, 2);
    EXPECT_EQ(bitmap.height, 1);
    EXPECT_EQ(bitmap.rgba, (std::vector<std::uint8_t>{255, 0, 0, 128, 10, 20, 30, 40}));
}

TEST(DecodeImageFile, MissingDamagedAndHugePicturesFailWithTheFileAndTheReason) {
    std::ostringstream read;
    read << std::ifstream(picture("card.png"), std::ios::binary).rdbuf();
    const std::string card = read.str();
    // Only the header is changed: a decoder that went on would ask for gigabytes first.
    std::string huge = card;
    huge.replace(16, 8, std::string("\x00\x00\x75\x30\x00\x00\x75\x30", 8));
    std::string wide = card;
    wide.replace(16, 4, std::string("\x00\x00\x20\x01", 4));
    const std::pair<std::string, const char*> cases[] = {
        {"/nonexistent/r_missing.png", ""},
        {picture("broken.png"), ""},
        {copyOf("truncated.png", card.substr(0, card.size() / 2)), ""},
        {copyOf("empty.png", ""), ""},
        {copyOf("huge.png", huge), "too large"},
        {copyOf("wide.png", wide), "too large"},
    };
    for (const auto& [path, reason] : cases) {
        Bitmap bitmap;
        bitmap.width = 5;
        std::string error;
        EXPECT_FALSE(decodeImageFile(path, bitmap, error)) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_GT(error.size(), path.size() + 10) << "no reason given: " << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(bitmap.width, 5);
    }
}

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

}  // namespace

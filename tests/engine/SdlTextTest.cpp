// Text through the SDL backend: font resolution, line breaking, and the rendered bitmap's
// size, colour and alignment.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/sdl/TextLines.h"
#include "tests/engine/SystemFonts.h"

using namespace cocos2d::backend;

namespace {

// ---- line breaking, with a made-up font of 10 pixels a byte ----

struct BreakCase {
    const char* text;
    int maxWidth;
    std::vector<std::string> lines;
};

// Short readable names in test listings.
void PrintTo(const BreakCase& c, std::ostream* os) {
    *os << '"';
    for (char ch : std::string(c.text))
        *os << (ch == '\n'   ? std::string("\\n")
                : ch == '\r' ? std::string("\\r")
                             : std::string(1, ch));
    *os << "\" in " << c.maxWidth;
}

class BreakTextLines : public testing::TestWithParam<BreakCase> {};

TEST_P(BreakTextLines, SplitsAtNewlinesAndWordsThatDoNotFit) {
    const BreakCase& c = GetParam();
    auto tenPerByte = [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
    EXPECT_EQ(breakTextLines(c.text, c.maxWidth, tenPerByte), c.lines) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BreakTextLines,
    testing::Values(BreakCase{"", 0, {""}}, BreakCase{"", 50, {""}},
                    BreakCase{"one line, no limit", 0, {"one line, no limit"}},
                    BreakCase{"a\nb", 0, {"a", "b"}}, BreakCase{"a\n\nb", 0, {"a", "", "b"}},
                    BreakCase{"a\r\nb\n", 0, {"a", "b", ""}},
                    BreakCase{"aa bb cc", 50, {"aa bb", "cc"}},
                    BreakCase{"aa bb cc", 80, {"aa bb cc"}}, BreakCase{"aa   bb", 50, {"aa bb"}},
                    BreakCase{"aa bb\ncc dd", 30, {"aa", "bb", "cc", "dd"}},
                    // A word wider than the line is cut, never lost.
                    BreakCase{"abcdefg h", 50, {"abcde", "fg h"}},
                    // A line narrower than one character still makes progress.
                    BreakCase{"abc", 5, {"a", "b", "c"}},
                    // Multi-byte characters are never cut in the middle (each is 20 wide here).
                    BreakCase{"\xC3\xA4\xC3\xB6\xC3\xBC", 40, {"\xC3\xA4\xC3\xB6", "\xC3\xBC"}}));

// ---- fonts ----

TEST(ResolveFontFile, HelveticaResolvesToAnInstalledMetricMatch) {
    const std::string file = resolveFontFile("Helvetica");
    EXPECT_TRUE(enginetest::isSansSerifFontFile(file)) << file;
    EXPECT_TRUE(std::ifstream(file).good()) << file;
    EXPECT_EQ(resolveFontFile("Helvetica"), file);
}

TEST(ResolveFontFile, UnknownFamilyFallsBackToSomeInstalledFont) {
    const std::string file = resolveFontFile("No Such Family 7f3a");
    EXPECT_FALSE(file.empty());
    EXPECT_TRUE(std::ifstream(file).good()) << file;
}

// ---- rendering ----

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
    bool any() const { return right >= 0; }
};

Ink inkOf(const Bitmap& b) {
    Ink ink;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            if (b.rgba[(y * b.width + x) * 4 + 3] > 64) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
    }
    return ink;
}

Bitmap render(TextRequest request) {
    if (request.fontName.empty())
        request.fontName = "Helvetica";
    Bitmap bitmap;
    std::string error;
    EXPECT_TRUE(renderText(request, bitmap, error)) << error;
    EXPECT_EQ(bitmap.rgba.size(), static_cast<std::size_t>(bitmap.width) * bitmap.height * 4);
    return bitmap;
}

TEST(RenderText, GlyphsAreWhiteWithCoverageAsAlpha) {
    TextRequest request;
    request.text = "Wait 1s";
    request.fontSizePx = 24.f;
    const Bitmap bitmap = render(request);
    ASSERT_TRUE(inkOf(bitmap).any());
    bool partial = false;
    for (std::size_t i = 0; i < bitmap.rgba.size(); i += 4) {
        ASSERT_EQ(bitmap.rgba[i], 255);
        ASSERT_EQ(bitmap.rgba[i + 1], 255);
        ASSERT_EQ(bitmap.rgba[i + 2], 255);
        partial = partial || (bitmap.rgba[i + 3] > 0 && bitmap.rgba[i + 3] < 255);
    }
    EXPECT_TRUE(partial) << "edges should be anti-aliased";
}

TEST(RenderText, WithoutABoxTheBitmapIsTheTextsOwnSize) {
    TextRequest request;
    request.fontSizePx = 12.f;
    request.text = "Port";
    const Bitmap one = render(request);
    request.text = "Port\nPort";
    const Bitmap two = render(request);
    request.text = "Port Port";
    const Bitmap wide = render(request);

    EXPECT_GT(one.height, 10);
    EXPECT_LT(one.height, 24);
    EXPECT_EQ(two.height, 2 * one.height);
    EXPECT_EQ(two.width, one.width);
    EXPECT_GT(wide.width, 2 * one.width);
    EXPECT_EQ(wide.height, one.height);
    const Ink ink = inkOf(one);
    EXPECT_LE(ink.left, 2);
    EXPECT_GE(ink.right, one.width - 3);
}

struct AlignCase {
    TextHAlign h;
    TextVAlign v;
    bool left, centreX, right, top, centreY, bottom;
};

void PrintTo(const AlignCase& c, std::ostream* os) {
    *os << "h" << static_cast<int>(c.h) << " v" << static_cast<int>(c.v);
}

class RenderTextInABox : public testing::TestWithParam<AlignCase> {};

TEST_P(RenderTextInABox, HasTheBoxSizeAndPlacesTheTextAsAsked) {
    const AlignCase& c = GetParam();
    TextRequest request;
    request.text = "HI";
    request.fontSizePx = 20.f;
    request.boxWidthPx = 200;
    request.boxHeightPx = 100;
    request.hAlign = c.h;
    request.vAlign = c.v;
    const Bitmap bitmap = render(request);
    ASSERT_EQ(bitmap.width, 200);
    ASSERT_EQ(bitmap.height, 100);
    const Ink ink = inkOf(bitmap);
    ASSERT_TRUE(ink.any());
    const int midX = (ink.left + ink.right) / 2;
    const int midY = (ink.top + ink.bottom) / 2;
    if (c.left) {
        EXPECT_LT(ink.left, 5);
    }
    if (c.right) {
        EXPECT_GT(ink.right, 194);
    }
    if (c.centreX) {
        EXPECT_NEAR(midX, 100, 4);
    }
    if (c.top) {
        EXPECT_LT(ink.top, 12);
    }
    if (c.bottom) {
        EXPECT_GT(ink.bottom, 85);
    }
    if (c.centreY) {
        EXPECT_NEAR(midY, 50, 8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, RenderTextInABox,
    testing::Values(
        AlignCase{TextHAlign::Left, TextVAlign::Top, true, false, false, true, false, false},
        AlignCase{TextHAlign::Center, TextVAlign::Center, false, true, false, false, true, false},
        AlignCase{TextHAlign::Right, TextVAlign::Bottom, false, false, true, false, false, true},
        AlignCase{TextHAlign::Right, TextVAlign::Top, false, false, true, true, false, false}));

TEST(RenderText, LongTextWrapsInsideTheBoxWidth) {
    TextRequest request;
    request.fontSizePx = 12.f;
    request.text = "the quick brown fox jumps over the lazy dog";
    const Bitmap oneLine = render(request);
    request.boxWidthPx = 80;
    const Bitmap wrapped = render(request);
    EXPECT_EQ(wrapped.width, 80);
    EXPECT_GE(wrapped.height, 3 * oneLine.height);
    EXPECT_LE(inkOf(wrapped).right, 79);
}

TEST(RenderText, EmptyTextGivesAnEmptyButValidBitmap) {
    TextRequest request;
    request.text = "";
    const Bitmap bitmap = render(request);
    EXPECT_LE(bitmap.width, 1);
    EXPECT_GT(bitmap.height, 0);
    EXPECT_FALSE(inkOf(bitmap).any());

    request.boxWidthPx = 30;
    request.boxHeightPx = 20;
    const Bitmap boxed = render(request);
    EXPECT_EQ(boxed.width, 30);
    EXPECT_EQ(boxed.height, 20);
    EXPECT_FALSE(inkOf(boxed).any());
}

TEST(RenderText, UnusableFontFileFailsWithTheFileNamed) {
    TextRequest request;
    request.text = "x";
    request.fontName = "/nonexistent/font.ttf";
    Bitmap bitmap;
    std::string error;
    EXPECT_FALSE(renderText(request, bitmap, error));
    EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos) << error;
}

}  // namespace

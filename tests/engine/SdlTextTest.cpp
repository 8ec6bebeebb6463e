// Text through the SDL backend: line breaking and the rendered bitmap.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/sdl/TextLines.h"

using namespace cocos2d::backend;

namespace {

TEST(BreakTextLines, SplitsAtNewlinesAndWordsThatDoNotFitAndLosesNothing) {
    struct Case {
        const char* text;
        int maxWidth;  // a made-up font of 10 pixels a byte
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", 50, {""}},
        {"a\r\nb\n\nc", 0, {"a", "b", "", "c"}},
        {"aa bb cc", 50, {"aa bb", "cc"}},
        {"aa   bb", 50, {"aa bb"}},
        {"abcdefg h", 50, {"abcde", "fg h"}},  // a word wider than the line is cut
        {"abc", 5, {"a", "b", "c"}},           // narrower than one character: still progress
        // Multi-byte characters are never cut in the middle (each is 20 wide here).
        {"\xC3\xA4\xC3\xB6\xC3\xBC", 40, {"\xC3\xA4\xC3\xB6", "\xC3\xBC"}},
    };
    auto tenPerByte = [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
    for (const Case& c : cases) {
        EXPECT_EQ(breakTextLines(c.text, c.maxWidth, tenPerByte), c.lines) << c.text;
    }
}

// The inked area of a bitmap, inclusive; right < 0 when nothing is inked.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Ink inkOf(const Bitmap& b) {
    Ink ink;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            if (b.rgba[(y * b.width + x) * 4 + 3] > 64) {
                ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x),
                       std::max(ink.bottom, y)};
            }
        }
    }
    return ink;
}

Bitmap render(const std::string& text, int boxWidth = 0, int boxHeight = 0,
              TextHAlign h = TextHAlign::Left, TextVAlign v = TextVAlign::Top) {
    TextRequest request;
    request.fontName = "Helvetica";
    request.fontSizePx = 20.f;
    request.text = text;
    request.boxWidthPx = boxWidth;
    request.boxHeightPx = boxHeight;
    request.hAlign = h;
    request.vAlign = v;
    Bitmap bitmap;
    std::string error;
    EXPECT_TRUE(renderText(request, bitmap, error)) << error;
    EXPECT_EQ(bitmap.rgba.size(), static_cast<std::size_t>(bitmap.width) * bitmap.height * 4);
    return bitmap;
}

TEST(RenderText, WhiteGlyphsSitInTheirBoxAsAlignedAndABadFontIsNamed) {
    const Bitmap centred = render("HI", 200, 100, TextHAlign::Center, TextVAlign::Center);
    ASSERT_EQ(centred.width, 200);
    ASSERT_EQ(centred.height, 100);
    bool partial = false;  // glyphs are white, with their coverage as alpha
    for (std::size_t i = 0; i < centred.rgba.size(); i += 4) {
        if (centred.rgba[i + 3] > 0) {
            ASSERT_EQ(centred.rgba[i] + centred.rgba[i + 1] + centred.rgba[i + 2], 3 * 255);
            partial = partial || centred.rgba[i + 3] < 255;
        }
    }
    EXPECT_TRUE(partial) << "edges should be anti-aliased";
    const Ink mid = inkOf(centred);
    EXPECT_NEAR((mid.left + mid.right) / 2, 100, 4);
    EXPECT_NEAR((mid.top + mid.bottom) / 2, 50, 8);
    const Ink corner = inkOf(render("HI", 200, 100, TextHAlign::Right, TextVAlign::Bottom));
    EXPECT_GT(corner.right, 194);
    EXPECT_GT(corner.bottom, 85);

    // Long text wraps inside the box's width.
    const std::string text = "the quick brown fox jumps over the lazy dog";
    const Bitmap wrapped = render(text, 120);
    EXPECT_EQ(wrapped.width, 120);
    EXPECT_GE(wrapped.height, 3 * render(text).height);

    TextRequest request;
    request.text = "x";
    request.fontName = "/nonexistent/font.ttf";
    Bitmap bitmap;
    std::string error;
    EXPECT_FALSE(renderText(request, bitmap, error));
    EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos) << error;
}

}  // namespace

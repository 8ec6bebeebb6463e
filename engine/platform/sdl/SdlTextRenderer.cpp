// Label text through SDL_ttf: lines broken by TextLines, each line rendered blended
// (anti-aliased) in white and its coverage copied into one bitmap.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/Backend.h"
#include "platform/sdl/FontReport.h"
#include "platform/sdl/SdlFontCache.h"
#include "platform/sdl/TextLines.h"

namespace cocos2d {
namespace backend {
namespace {

// A name with a slash is taken as a font file (as labels made from a .ttf are).
std::string fontFileFor(const std::string& fontName) {
    if (fontName.find('/') != std::string::npos)
        return fontName;
    return resolveFontFile(fontName);
}

int alignedOffset(int space, int used, int align) {
    // align: 0 start, 1 centre, 2 end; centring rounds towards the start.
    if (align == 1)
        return (space - used) / 2;
    if (align == 2)
        return space - used;
    return 0;
}

int hIndex(TextHAlign a) {
    return a == TextHAlign::Left ? 0 : a == TextHAlign::Center ? 1 : 2;
}

int vIndex(TextVAlign a) {
    return a == TextVAlign::Top ? 0 : a == TextVAlign::Center ? 1 : 2;
}

// Copies the coverage of a rendered line into the bitmap at (left, top), clipped to it.
// Lines whose glyphs reach into the next line's band keep the stronger coverage.
bool copyCoverage(SDL_Surface* rendered, int left, int top, Bitmap& out, std::string& error) {
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_RGBA32, 0);
    if (rgba == nullptr) {
        error = std::string("cannot convert rendered text: ") + SDL_GetError();
        return false;
    }
    SDL_LockSurface(rgba);
    const auto* pixels = static_cast<const std::uint8_t*>(rgba->pixels);
    for (int y = 0; y < rgba->h; ++y) {
        const int outY = top + y;
        if (outY < 0 || outY >= out.height)
            continue;
        for (int x = 0; x < rgba->w; ++x) {
            const int outX = left + x;
            if (outX < 0 || outX >= out.width)
                continue;
            const std::uint8_t alpha = pixels[y * rgba->pitch + x * 4 + 3];
            std::uint8_t& target =
                out.rgba[(static_cast<std::size_t>(outY) * out.width + outX) * 4 + 3];
            target = std::max(target, alpha);
        }
    }
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    return true;
}

// The code points of UTF-8 text; a broken sequence yields U+FFFD and moves on a byte.
std::vector<Uint32> codePoints(const std::string& text) {
    std::vector<Uint32> points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 0;
        if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) {
            points.push_back(0xFFFD);
            ++i;
            continue;
        }
        Uint32 point = length == 1 ? lead : lead & (0x7Fu >> length);
        for (int k = 1; k < length; ++k) {
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        points.push_back(point);
        i += static_cast<std::size_t>(length);
    }
    return points;
}

// Whether the font lacks a glyph the text shows (control characters and spaces aside).
bool lacksGlyphs(TTF_Font* font, const std::string& text) {
    for (const Uint32 point : codePoints(text)) {
        if (point > 0x20 && point != 0xFFFD && !TTF_GlyphIsProvided32(font, point))
            return true;
    }
    return false;
}

bool renderLocked(const TextRequest& request, Bitmap& out, std::string& error) {
    static SdlFontCache fonts;
    const std::string file = fontFileFor(request.fontName);
    if (file.empty()) {
        error = "no installed font serves the family '" + request.fontName + "'";
        return false;
    }
    const int pixelSize = std::max(1, static_cast<int>(std::lround(request.fontSizePx)));
    TTF_Font* font = fonts.get(file, pixelSize, error);
    if (font == nullptr)
        return false;
    // Japanese text in a Latin font would show empty boxes: the whole text goes to the
    // wide font, so one line never mixes two fonts' heights.
    if (lacksGlyphs(font, request.text)) {
        const std::string wide = resolveWideFontFile();
        std::string wideError;
        TTF_Font* wideFont = wide.empty() ? nullptr : fonts.get(wide, pixelSize, wideError);
        if (wideFont != nullptr)
            font = wideFont;
        reportFontOfWideText(request.text, wideFont != nullptr ? wide : file);
    }

    auto measure = [font](const std::string& line) {
        int w = 0, h = 0;
        if (line.empty() || TTF_SizeUTF8(font, line.c_str(), &w, &h) != 0)
            return 0;
        return w;
    };
    const std::vector<std::string> lines =
        breakTextLines(request.text, request.boxWidthPx, measure);
    std::vector<int> widths;
    int textWidth = 0;
    for (const std::string& line : lines) {
        widths.push_back(measure(line));
        textWidth = std::max(textWidth, widths.back());
    }
    const int lineHeight = std::max(TTF_FontLineSkip(font), TTF_FontHeight(font));
    const int textHeight = lineHeight * static_cast<int>(lines.size());

    // Empty text still yields a bitmap a texture can be made from.
    out.width = request.boxWidthPx > 0 ? request.boxWidthPx : std::max(textWidth, 1);
    out.height = request.boxHeightPx > 0 ? request.boxHeightPx : textHeight;
    // White everywhere, so filtering at glyph edges never blends towards black.
    out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 255);
    for (std::size_t i = 3; i < out.rgba.size(); i += 4)
        out.rgba[i] = 0;

    const int top = alignedOffset(out.height, textHeight, vIndex(request.vAlign));
    const SDL_Color white = {255, 255, 255, 255};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, lines[i].c_str(), white);
        if (rendered == nullptr) {
            error = "cannot render text '" + lines[i] + "': " + TTF_GetError();
            return false;
        }
        const int left = alignedOffset(out.width, widths[i], hIndex(request.hAlign));
        const bool copied =
            copyCoverage(rendered, left, top + static_cast<int>(i) * lineHeight, out, error);
        SDL_FreeSurface(rendered);
        if (!copied)
            return false;
    }
    return true;
}

}  // namespace

bool renderText(const TextRequest& request, Bitmap& out, std::string& error) {
    // One FreeType face must not be used by two threads at once.
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    Bitmap result;
    if (!renderLocked(request, result, error))
        return false;
    out = std::move(result);
    return true;
}

}  // namespace backend
}  // namespace cocos2d

// Open SDL_ttf fonts, one per (file, pixel size), kept for the life of the process.
// Only the SDL backend's sources include this; it forward-declares the SDL_ttf type.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

struct _TTF_Font;

namespace cocos2d {
namespace backend {

class SdlFontCache {
public:
    SdlFontCache();
    ~SdlFontCache();
    SdlFontCache(const SdlFontCache&) = delete;
    SdlFontCache& operator=(const SdlFontCache&) = delete;

    // The font of the file at the pixel size, opened on first use; nullptr with the
    // reason in `error` when the file cannot be opened as a font.
    _TTF_Font* get(const std::string& file, int pixelSize, std::string& error);

private:
    struct Closer {
        void operator()(_TTF_Font* font) const;
    };
    bool _ready = false;
    std::string _initError;
    std::map<std::pair<std::string, int>, std::unique_ptr<_TTF_Font, Closer>> _fonts;
};

}  // namespace backend
}  // namespace cocos2d

#include "platform/sdl/SdlFontCache.h"

#include <SDL_ttf.h>

namespace cocos2d {
namespace backend {

SdlFontCache::SdlFontCache() {
    // SDL_ttf needs no video subsystem, so text renders in headless tests too.
    _ready = TTF_Init() == 0;
    if (!_ready)
        _initError = std::string("cannot start SDL_ttf: ") + TTF_GetError();
}

SdlFontCache::~SdlFontCache() {
    _fonts.clear();
    if (_ready)
        TTF_Quit();
}

void SdlFontCache::Closer::operator()(_TTF_Font* font) const {
    TTF_CloseFont(font);
}

_TTF_Font* SdlFontCache::get(const std::string& file, int pixelSize, std::string& error) {
    if (!_ready) {
        error = _initError;
        return nullptr;
    }
    auto key = std::make_pair(file, pixelSize);
    auto found = _fonts.find(key);
    if (found != _fonts.end())
        return found->second.get();
    // SDL_ttf's default resolution is 72 dpi, where a point is a pixel.
    TTF_Font* font = TTF_OpenFont(file.c_str(), pixelSize);
    if (font == nullptr) {
        error = "cannot open font '" + file + "': " + TTF_GetError();
        return nullptr;
    }
    _fonts.emplace(key, std::unique_ptr<_TTF_Font, Closer>(font));
    return font;
}

}  // namespace backend
}  // namespace cocos2d

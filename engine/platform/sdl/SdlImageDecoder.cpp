// Picture files through SDL_image, converted to straight RGBA rows top first. SDL_image
// needs no video subsystem, so pictures load (with their real sizes) in headless tests.
#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <string>

#include "platform/Backend.h"

namespace cocos2d {
namespace backend {

bool decodeImageFile(const std::string& path, Bitmap& out, std::string& error) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (loaded == nullptr) {
        error = "cannot load picture '" + path + "': " + IMG_GetError();
        return false;
    }
    // Palette and colour-keyed pictures gain their transparency as alpha here.
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (rgba == nullptr) {
        error = "cannot convert picture '" + path + "': " + SDL_GetError();
        return false;
    }
    SDL_LockSurface(rgba);
    const std::size_t rowBytes = static_cast<std::size_t>(rgba->w) * 4;
    out.width = rgba->w;
    out.height = rgba->h;
    out.rgba.resize(rowBytes * rgba->h);
    const auto* pixels = static_cast<const std::uint8_t*>(rgba->pixels);
    for (int y = 0; y < rgba->h; ++y) {
        std::memcpy(out.rgba.data() + y * rowBytes, pixels + y * rgba->pitch, rowBytes);
    }
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    return true;
}

}  // namespace backend
}  // namespace cocos2d

// Picture files through SDL_image, converted to straight RGBA rows top first. SDL_image
// needs no video subsystem, so pictures load (with their real sizes) in headless tests.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Backend.h"

namespace cocos2d {
namespace backend {

namespace {

// Larger than any picture of the program; a decoder handed a bigger one may need gigabytes
// and end the program, so the size is read from the header before anything is decoded.
constexpr std::uint32_t kMostPixelsAcross = 8192;

std::uint32_t bigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

// Whether the stream starts as a PNG of a size the program can take; the reason if not.
bool checkPngHeader(SDL_RWops* file, std::string& reason) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::uint8_t header[24] = {};
    if (SDL_RWread(file, header, 1, sizeof header) != sizeof header ||
        std::memcmp(header, kSignature, sizeof kSignature) != 0 ||
        std::memcmp(header + 12, "IHDR", 4) != 0) {
        reason = "not a PNG picture";
        return false;
    }
    const std::uint32_t width = bigEndian32(header + 16);
    const std::uint32_t height = bigEndian32(header + 20);
    if (width > kMostPixelsAcross || height > kMostPixelsAcross) {
        reason = "the picture is too large (" + std::to_string(width) + " x " +
                 std::to_string(height) + " pixels; at most " + std::to_string(kMostPixelsAcross) +
                 " x " + std::to_string(kMostPixelsAcross) + ")";
        return false;
    }
    return SDL_RWseek(file, 0, RW_SEEK_SET) == 0;
}

}  // namespace

bool decodeImageFile(const std::string& path, Bitmap& out, std::string& error) {
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot load picture '" + path + "': " + SDL_GetError();
        return false;
    }
    std::string reason;
    if (!checkPngHeader(file, reason)) {
        SDL_RWclose(file);
        error = "cannot load picture '" + path + "': " + reason;
        return false;
    }
    // The stream is closed by the loader, whatever it finds.
    SDL_Surface* loaded = IMG_Load_RW(file, 1);
    if (loaded == nullptr) {
        error = "cannot load picture '" + path + "': " + IMG_GetError();
        return false;
    }
    // Most pictures are RGBA already; others (palette and colour-keyed ones gain their
    // transparency as alpha here) are converted. A second full-size surface for every
    // picture was most of what decoding cost at start.
    SDL_Surface* rgba = loaded;
    if (loaded->format->format != SDL_PIXELFORMAT_RGBA32) {
        rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
        SDL_FreeSurface(loaded);
        if (rgba == nullptr) {
            error = "cannot convert picture '" + path + "': " + SDL_GetError();
            return false;
        }
    }
    SDL_LockSurface(rgba);
    const std::size_t rowBytes = static_cast<std::size_t>(rgba->w) * 4;
    out.width = rgba->w;
    out.height = rgba->h;
    const auto* pixels = static_cast<const std::uint8_t*>(rgba->pixels);
    out.rgba.clear();
    out.rgba.reserve(rowBytes * rgba->h);
    for (int y = 0; y < rgba->h; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * rgba->pitch;
        out.rgba.insert(out.rgba.end(), row, row + rowBytes);
    }
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    return true;
}

}  // namespace backend
}  // namespace cocos2d

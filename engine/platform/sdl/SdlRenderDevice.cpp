#include "platform/sdl/SdlRenderDevice.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/Macros.h"
#include "platform/sdl/HalfSizeBitmap.h"

namespace cocos2d {
namespace backend {

SdlRenderDevice::SdlRenderDevice(SDL_Renderer* renderer) : _renderer(renderer) {
    CCASSERT(renderer != nullptr, "a render device needs a renderer");
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(_renderer, &info) == 0) {
        _vsync = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    }
    // Untextured quads blend like textured ones: straight alpha over what is there.
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
    getOutputSize(_lastWidth, _lastHeight);
}

SdlRenderDevice::~SdlRenderDevice() {
    for (auto& entry : _textures) {
        if (entry.second.texture != nullptr)
            SDL_DestroyTexture(entry.second.texture);
        if (entry.second.half != nullptr)
            SDL_DestroyTexture(entry.second.half);
    }
    SDL_DestroyRenderer(_renderer);
}

const char* SdlRenderDevice::driverName() const {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(_renderer, &info) == 0 ? info.name : "";
}

bool SdlRenderDevice::readPixels(Bitmap& out) const {
    int w = 0, h = 0;
    getOutputSize(w, h);
    Bitmap frame;
    frame.width = w;
    frame.height = h;
    frame.rgba.resize(static_cast<std::size_t>(w) * h * 4);
    if (SDL_RenderReadPixels(_renderer, nullptr, SDL_PIXELFORMAT_RGBA32, frame.rgba.data(),
                             w * 4) != 0) {
        return false;
    }
    out = std::move(frame);
    return true;
}

SDL_Texture* SdlRenderDevice::upload(const Bitmap& bitmap) {
    SDL_Texture* texture = SDL_CreateTexture(_renderer, SDL_PIXELFORMAT_RGBA32,
                                             SDL_TEXTUREACCESS_STATIC, bitmap.width, bitmap.height);
    if (texture == nullptr)
        return nullptr;
    SDL_UpdateTexture(texture, nullptr, bitmap.rgba.data(), bitmap.width * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    // Drawn at other sizes (a resized window), filtering keeps edges smooth.
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    return texture;
}

TextureId SdlRenderDevice::createTexture(const Bitmap& bitmap) {
    return createTextureWithSource(bitmap, PixelSource());
}

TextureId SdlRenderDevice::createTextureWithSource(const Bitmap& bitmap, const PixelSource& again) {
    Texture entry;
    if (bitmap.width <= 0 || bitmap.height <= 0) {
        // An empty bitmap (empty text) still gets a texture, a clear pixel: id 0 would
        // mean "fill with the colour" to drawQuad.
        Bitmap clear;
        clear.width = clear.height = 1;
        clear.rgba = {255, 255, 255, 0};
        entry.texture = upload(clear);
        entry.width = entry.height = 1;
    } else {
        CCASSERT(bitmap.rgba.size() >= static_cast<std::size_t>(bitmap.width) * bitmap.height * 4,
                 "bitmap smaller than its size says");
        entry.width = bitmap.width;
        entry.height = bitmap.height;
        if (canHalve(bitmap))
            entry.half = upload(halveBitmap(bitmap));
        // Pictures are drawn at half their pixels, from the half-size copy: the full size
        // waits until something is drawn larger or turned, which most pictures never are.
        if (entry.half != nullptr && again)
            entry.again = again;
        else
            entry.texture = upload(bitmap);
    }
    if (entry.texture == nullptr && entry.half == nullptr)
        return 0;
    const TextureId id = _nextId++;
    _textures[id] = entry;
    return id;
}

SDL_Texture* SdlRenderDevice::fullSize(Texture& entry) {
    if (entry.texture != nullptr || !entry.again)
        return entry.texture != nullptr ? entry.texture : entry.half;
    Bitmap bitmap;
    if (entry.again(bitmap) && bitmap.width == entry.width && bitmap.height == entry.height)
        entry.texture = upload(bitmap);
    // Tried once: a file gone since start leaves the half-size copy, drawn stretched.
    entry.again = nullptr;
    return entry.texture != nullptr ? entry.texture : entry.half;
}

void SdlRenderDevice::destroyTexture(TextureId texture) {
    auto found = _textures.find(texture);
    if (found == _textures.end())
        return;
    if (found->second.texture != nullptr)
        SDL_DestroyTexture(found->second.texture);
    if (found->second.half != nullptr)
        SDL_DestroyTexture(found->second.half);
    _textures.erase(found);
}

void SdlRenderDevice::getOutputSize(int& width, int& height) const {
    if (SDL_GetRendererOutputSize(_renderer, &width, &height) != 0)
        width = height = 0;
}

void SdlRenderDevice::beginFrame(Rgba clearColour) {
    SDL_RenderSetClipRect(_renderer, nullptr);
    SDL_SetRenderDrawColor(_renderer, clearColour.r, clearColour.g, clearColour.b, clearColour.a);
    SDL_RenderClear(_renderer);
}

void SdlRenderDevice::drawQuad(TextureId texture, const Vertex (&corners)[4], Rgba colour) {
    Texture* entry = nullptr;
    if (texture != 0) {
        auto found = _textures.find(texture);
        if (found == _textures.end())
            return;  // destroyed already: draw nothing
        entry = &found->second;
    }
    if (copyRectangle(entry, corners, colour))
        return;
    const SDL_Color tint = {colour.r, colour.g, colour.b, colour.a};
    SDL_Vertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        vertices[i].position = {corners[i].x, corners[i].y};
        vertices[i].color = tint;
        vertices[i].tex_coord = {corners[i].u, corners[i].v};
    }
    static const int indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(_renderer, entry ? fullSize(*entry) : nullptr, vertices, 4, indices, 6);
}

namespace {

bool same(float a, float b) {
    return std::fabs(a - b) < 1e-3f;
}

// The whole-pixel source offset for a texture coordinate, when there is one.
bool wholePixel(float coordinate, int size, int& pixel) {
    const float exact = coordinate * static_cast<float>(size);
    pixel = static_cast<int>(std::lround(exact));
    return std::fabs(exact - static_cast<float>(pixel)) < 1e-2f;
}

}  // namespace

// Most quads are upright rectangles (sprites, labels, squeezed cards, colour layers).
// SDL's software renderer copies those many times faster than it fills two triangles,
// and the result is the same; anything turned goes through SDL_RenderGeometry.
bool SdlRenderDevice::copyRectangle(Texture* texture, const Vertex (&corners)[4], Rgba colour) {
    const Vertex& bl = corners[0];
    const Vertex& br = corners[1];
    const Vertex& tr = corners[2];
    const Vertex& tl = corners[3];
    if (!same(bl.y, br.y) || !same(tl.y, tr.y) || !same(bl.x, tl.x) || !same(br.x, tr.x))
        return false;
    const SDL_FRect target = {std::min(bl.x, br.x), std::min(bl.y, tl.y), std::fabs(br.x - bl.x),
                              std::fabs(bl.y - tl.y)};
    if (target.w < 1e-3f || target.h < 1e-3f)
        return true;  // edge-on: nothing to see
    if (texture == nullptr) {
        SDL_SetRenderDrawColor(_renderer, colour.r, colour.g, colour.b, colour.a);
        SDL_RenderFillRectF(_renderer, &target);
        return true;
    }
    if (!same(bl.u, tl.u) || !same(br.u, tr.u) || !same(bl.v, br.v) || !same(tl.v, tr.v))
        return false;
    int left = 0, right = 0, top = 0, bottom = 0;
    if (!wholePixel(std::min(bl.u, br.u), texture->width, left) ||
        !wholePixel(std::max(bl.u, br.u), texture->width, right) ||
        !wholePixel(std::min(tl.v, bl.v), texture->height, top) ||
        !wholePixel(std::max(tl.v, bl.v), texture->height, bottom) || right <= left ||
        bottom <= top) {
        return false;
    }
    SDL_Rect source = {left, top, right - left, bottom - top};
    SDL_Texture* sdlTexture = nullptr;
    // At half size (the usual case: pictures have twice the pixels of their points) the
    // pre-filtered copy is drawn one to one.
    if (texture->half != nullptr && left % 2 == 0 && top % 2 == 0 && source.w % 2 == 0 &&
        source.h % 2 == 0 && std::fabs(target.w * 2.f - static_cast<float>(source.w)) < 1.f &&
        std::fabs(target.h * 2.f - static_cast<float>(source.h)) < 1.f) {
        sdlTexture = texture->half;
        source = {left / 2, top / 2, source.w / 2, source.h / 2};
    } else {
        sdlTexture = fullSize(*texture);
        if (sdlTexture == texture->half)
            source = {left / 2, top / 2, std::max(1, source.w / 2), std::max(1, source.h / 2)};
    }
    // Mirrored when the corners and the texture coordinates run opposite ways.
    int flip = SDL_FLIP_NONE;
    if ((br.x > bl.x) != (br.u > bl.u))
        flip |= SDL_FLIP_HORIZONTAL;
    if ((bl.y > tl.y) != (bl.v > tl.v))
        flip |= SDL_FLIP_VERTICAL;
    SDL_SetTextureColorMod(sdlTexture, colour.r, colour.g, colour.b);
    SDL_SetTextureAlphaMod(sdlTexture, colour.a);
    if (flip == SDL_FLIP_NONE) {
        SDL_RenderCopyF(_renderer, sdlTexture, &source, &target);
    } else {
        SDL_RenderCopyExF(_renderer, sdlTexture, &source, &target, 0.0, nullptr,
                          static_cast<SDL_RendererFlip>(flip));
    }
    return true;
}

void SdlRenderDevice::setClip(const PixelRect* rect) {
    if (rect == nullptr) {
        SDL_RenderSetClipRect(_renderer, nullptr);
        return;
    }
    // SDL takes an empty rectangle as "no clipping"; a clip to nothing must hide all.
    const SDL_Rect clip = {rect->x, rect->y, rect->w > 0 ? rect->w : 0, rect->h > 0 ? rect->h : 0};
    if (clip.w == 0 || clip.h == 0) {
        const SDL_Rect outside = {-2, -2, 1, 1};
        SDL_RenderSetClipRect(_renderer, &outside);
        return;
    }
    SDL_RenderSetClipRect(_renderer, &clip);
}

void SdlRenderDevice::endFrame() {
    SDL_RenderPresent(_renderer);
    // Mesa's OpenGL under X can draw the first frame after a resize (also one made while
    // the window was being created) into a buffer of the old size, so it shows offset;
    // the next frame is right. An idle program would leave the wrong one on screen, so
    // a frame at a new size asks for one more.
    int width = 0, height = 0;
    getOutputSize(width, height);
    if (width != _lastWidth || height != _lastHeight) {
        _redrawRequested = true;
        _lastWidth = width;
        _lastHeight = height;
    }
    if (_vsync)
        watchFramePace();
}

bool SdlRenderDevice::takeRedrawRequest() {
    const bool requested = _redrawRequested;
    _redrawRequested = false;
    return requested;
}

void SdlRenderDevice::watchFramePace() {
    // Some drivers (a virtual display among them) accept the vsync flag and then present
    // at once; a loop trusting them would spin a whole core. Frames drawn back to back
    // that keep coming much faster than any display refreshes disprove the claim.
    const auto now = std::chrono::steady_clock::now();
    const auto gap = std::chrono::duration_cast<std::chrono::microseconds>(now - _lastPresent);
    _lastPresent = now;
    if (gap.count() > 50000)
        return;  // not back to back: the loop was idle
    ++_pacedFrames;
    if (gap.count() < 4000)
        ++_fastFrames;
    if (_pacedFrames >= 30) {
        if (_fastFrames * 2 > _pacedFrames)
            _vsync = false;
        _pacedFrames = _fastFrames = 0;
    }
}

}  // namespace backend
}  // namespace cocos2d

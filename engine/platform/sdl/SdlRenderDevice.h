// The drawing device of a window: SDL's 2D renderer, quads as two triangles through
// SDL_RenderGeometry. Only the SDL backend's sources include this header; it
// forward-declares the SDL types it holds.
#pragma once

#include <chrono>
#include <map>

#include "platform/Backend.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace cocos2d {
namespace backend {

class SdlRenderDevice : public RenderDevice {
public:
    // Takes over the renderer (destroyed with the device, after its textures).
    explicit SdlRenderDevice(SDL_Renderer* renderer);
    ~SdlRenderDevice() override;
    SdlRenderDevice(const SdlRenderDevice&) = delete;
    SdlRenderDevice& operator=(const SdlRenderDevice&) = delete;

    TextureId createTexture(const Bitmap& bitmap) override;
    TextureId createTextureWithSource(const Bitmap& bitmap, const PixelSource& again) override;
    void destroyTexture(TextureId texture) override;
    void getOutputSize(int& width, int& height) const override;
    void beginFrame(Rgba clearColour) override;
    void drawQuad(TextureId texture, const Vertex (&corners)[4], Rgba colour) override;
    void setClip(const PixelRect* rect) override;
    void endFrame() override;

    // True while presenting a frame waits for the display's refresh.
    bool hasVSync() const { return _vsync; }
    // Copies the frame drawn so far (before endFrame) into `out`; for tests and
    // screenshots. False when the driver cannot read back.
    bool readPixels(Bitmap& out) const;
    // True once after a frame was shown at a new output size: draw one more (see endFrame).
    bool takeRedrawRequest();
    // Name of SDL's render driver in use ("opengl", "software", ...), for diagnostics.
    const char* driverName() const;

private:
    struct Texture {
        // The full size; none until first drawn at another size than half, when there is
        // a half-size copy and a way to make the pixels again.
        SDL_Texture* texture = nullptr;
        int width = 0;
        int height = 0;
        SDL_Texture* half = nullptr;  // half-size copy (see HalfSizeBitmap.h), or none
        PixelSource again;
    };
    SDL_Texture* upload(const Bitmap& bitmap);
    SDL_Texture* fullSize(Texture& texture);
    bool copyRectangle(Texture* texture, const Vertex (&corners)[4], Rgba colour);
    void watchFramePace();

    SDL_Renderer* _renderer;
    std::map<TextureId, Texture> _textures;
    TextureId _nextId = 1;
    bool _vsync = false;
    // Frame pacing seen so far, to catch a driver that claims vsync but does not wait.
    std::chrono::steady_clock::time_point _lastPresent{};
    int _fastFrames = 0;
    int _pacedFrames = 0;
    int _lastWidth = 0;
    int _lastHeight = 0;
    bool _redrawRequested = false;
};

}  // namespace backend
}  // namespace cocos2d

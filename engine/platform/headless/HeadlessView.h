// The null backend: a view with no window whose drawing device records every quad (its
// texture, corners in pixels, colour and the clip in force) instead of drawing it. Input
// comes only from what tests queue or inject. Depends on the backend interface only.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "platform/Backend.h"

namespace cocos2d {
namespace backend {

// One recorded quad.
struct DrawRecord {
    TextureId texture = 0;  // 0: a plain colour fill
    Vertex corners[4];      // bottom left, bottom right, top right, top left (output pixels)
    Rgba colour;
    bool clipped = false;  // whether a clip rectangle was in force
    PixelRect clip;        // that rectangle
};

class HeadlessRenderDevice : public RenderDevice {
public:
    HeadlessRenderDevice(int width, int height) : _width(width), _height(height) {}

    TextureId createTexture(const Bitmap& bitmap) override;
    void destroyTexture(TextureId texture) override;
    void getOutputSize(int& width, int& height) const override;
    void beginFrame(Rgba clearColour) override;
    void drawQuad(TextureId texture, const Vertex (&corners)[4], Rgba colour) override;
    void setClip(const PixelRect* rect) override;
    void endFrame() override;

    // Changes the output size (a dense screen has more pixels than window points).
    void setOutputSize(int width, int height);
    // Quads of the last finished frame, in drawing order.
    const std::vector<DrawRecord>& lastFrame() const { return _lastFrame; }
    // Frames finished so far.
    unsigned int frameCount() const { return _frames; }
    // Textures created and not yet destroyed.
    std::size_t liveTextureCount() const { return _textureSizes.size(); }
    // Pixel size of a live texture, or 0 x 0.
    void textureSize(TextureId texture, int& width, int& height) const;
    // The clip in force now (nullptr when none).
    const PixelRect* currentClip() const { return _clipped ? &_clip : nullptr; }

private:
    int _width;
    int _height;
    TextureId _nextTexture = 1;
    std::map<TextureId, std::pair<int, int>> _textureSizes;
    std::vector<DrawRecord> _frame;
    std::vector<DrawRecord> _lastFrame;
    unsigned int _frames = 0;
    bool _clipped = false;
    PixelRect _clip;
};

class HeadlessView : public PlatformView {
public:
    HeadlessView(int width, int height) : _width(width), _height(height), _device(width, height) {}

    RenderDevice* getRenderDevice() override { return &_device; }
    void getWindowSize(int& width, int& height) const override;
    // Hands over the queued events at once; never waits, as nothing else can arrive.
    void waitEvents(int timeoutMs, std::vector<InputEvent>& out) override;
    bool hasVSync() const override { return false; }
    void setTitle(const std::string& title) override { _title = title; }
    // The place set by setScreenFrame; false until one is.
    bool getScreenFrame(PixelRect& frame) const override;
    // Puts the pretend window there, as setScreenPosition does.
    bool moveScreenFrame(int x, int y) override;
    bool fillsDisplay() const override { return _fillsDisplay; }
    // Pretends the window is maximised (or full screen), or not.
    void setFillsDisplay(bool fills) { _fillsDisplay = fills; }

    // Queues an event for the next waitEvents (the director's next frame).
    void queueEvent(const InputEvent& event) { _queue.push_back(event); }
    // Resizes the pretend window (the output keeps its own size until set).
    void setWindowSize(int width, int height);
    // Puts the pretend window's drawing area at x, y on a pretend screen.
    void setScreenPosition(int x, int y);
    HeadlessRenderDevice& device() { return _device; }
    const std::string& title() const { return _title; }

private:
    int _width;
    int _height;
    HeadlessRenderDevice _device;
    std::vector<InputEvent> _queue;
    std::string _title;
    bool _placed = false;
    bool _fillsDisplay = false;
    int _screenX = 0;
    int _screenY = 0;
};

}  // namespace backend
}  // namespace cocos2d

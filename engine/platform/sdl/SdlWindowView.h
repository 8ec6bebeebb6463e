// A real window: SDL video, one window, its renderer and its events. Only the SDL
// backend's sources include this header; it forward-declares the SDL types it holds.
// Every call must come from the thread that created the view (SDL's rule for video).
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/Backend.h"
#include "platform/sdl/SdlFingerTracker.h"
#include "platform/sdl/SdlRenderDevice.h"

struct SDL_Window;
union SDL_Event;

namespace cocos2d {
namespace backend {

class SdlWindowView : public PlatformView {
public:
    // Opens the window where the placer (if any) puts it; nullptr with the reason in `error`
    // when it cannot.
    static std::unique_ptr<SdlWindowView> open(const std::string& title, int width, int height,
                                               std::string& error, const WindowPlacer& placer = {});
    ~SdlWindowView() override;
    SdlWindowView(const SdlWindowView&) = delete;
    SdlWindowView& operator=(const SdlWindowView&) = delete;

    RenderDevice* getRenderDevice() override;
    void getWindowSize(int& width, int& height) const override;
    void waitEvents(int timeoutMs, std::vector<InputEvent>& out) override;
    bool hasVSync() const override;
    void setTitle(const std::string& title) override;
    void setIcon(const Bitmap& icon) override;
    bool getScreenFrame(PixelRect& frame) const override;
    bool moveScreenFrame(int x, int y) override;
    bool fillsDisplay() const override;
    void raiseWithoutFocus() override;
    void watchSystemEnding() override;
    // The SDL window, for what the backend interface does not cover (tests ask the
    // system about it).
    SDL_Window* sdlWindow() const { return _window; }

private:
    SdlWindowView(SDL_Window* window, std::unique_ptr<SdlRenderDevice> device);
    void assertOwnThread() const;
    // Fills `input` from an SDL event; true when it means something to the engine.
    bool translate(const SDL_Event& event, InputEvent& input);

    SDL_Window* _window;
    std::unique_ptr<SdlRenderDevice> _device;
    SdlFingerTracker _fingers;
    std::thread::id _thread;
};

}  // namespace backend
}  // namespace cocos2d

#include "platform/sdl/SdlWindowView.h"
#include "platform/sdl/SdlSystemWindow.h"
#include "platform/sdl/XErrorTolerance.h"

#include <SDL.h>

#include <cstdint>

#include "base/Macros.h"
#include "platform/Application.h"
#include "platform/sdl/SdlEventTranslator.h"

namespace cocos2d {
namespace backend {
namespace {

// SDL's own software renderer, with the vsync SDL imitates for it.
SDL_Renderer* createSoftwareRenderer(SDL_Window* window) {
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && SDL_strcmp(info.name, "software") == 0)
            return SDL_CreateRenderer(window, i, SDL_RENDERER_PRESENTVSYNC);
    }
    return nullptr;
}

SDL_Renderer* createRenderer(SDL_Window* window) {
    // Where OpenGL would draw on the processor anyway, SDL's software renderer draws the
    // same frames and starts in less than half the time and memory. A renderer named in
    // SDL_RENDER_DRIVER (the hint or the environment) is taken as asked.
    const char* asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    SDL_Renderer* renderer = nullptr;
    if ((asked == nullptr || *asked == '\0') && openGlWouldDrawOnTheProcessor(window))
        renderer = createSoftwareRenderer(window);
    if (renderer == nullptr)
        renderer =
            SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (renderer == nullptr)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return renderer;
}

// Without any display SDL settles for a window nobody can see; the program would then
// run on invisibly. Such drivers count only when asked for by name (SDL_VIDEODRIVER).
bool hasRealDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const bool invisible = driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 ||
                           SDL_strcmp(driver, "dummy") == 0;
    return !invisible || (requested != nullptr && *requested != '\0');
}

// The top left (and size) the placer chooses, or SDL's own choice.
void choosePlace(const WindowPlacer& placer, int& width, int& height, int& x, int& y) {
    x = SDL_WINDOWPOS_UNDEFINED;
    y = SDL_WINDOWPOS_UNDEFINED;
    if (!placer) {
        return;
    }
    std::vector<PixelRect> displays;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect usable;
        if (SDL_GetDisplayUsableBounds(i, &usable) == 0) {
            displays.push_back(PixelRect{usable.x, usable.y, usable.w, usable.h});
        }
    }
    int chosenX = 0, chosenY = 0;
    if (placer(displays, width, height, chosenX, chosenY)) {
        x = chosenX;
        y = chosenY;
    }
}

// SDL hands a dropped file's (or text's) copy to whoever takes the event from its queue.
void freeDroppedName(const SDL_Event& event) {
    if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT)
        SDL_free(event.drop.file);
}

}  // namespace

std::unique_ptr<SdlWindowView> SdlWindowView::open(const std::string& title, int width, int height,
                                                   std::string& error, const WindowPlacer& placer) {
    CCASSERT(width > 0 && height > 0, "a window needs a size");
    // One contact, one touch: fingers arrive as finger events only, the mouse as mouse
    // events only.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    // With the software renderer, show frames through X directly: by default SDL would
    // pass them through an OpenGL texture, which makes "software" not software at all.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // An editor, not a game: the screen saver may come on while it sits there.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // The click that brings the window back to the front also presses what it lands on, as
    // in any other program: after play the simulator or a tool's console has the focus, and
    // stop must act at the first press. SDL drops that click by default.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The close button only asks (SDL_WINDOWEVENT_CLOSE): the program may want to save
    // first. SDL_QUIT then comes only from a signal or the session's end, which do not wait.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Before SDL's video starts: SDL chains its own handler to the one it finds, and puts
    // that one back before it closes its connections, where late errors are still read.
    tolerateGoneXWindows();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("SDL video cannot start: ") + SDL_GetError();
        return nullptr;
    }
    if (!hasRealDisplay()) {
        error = std::string("no display (SDL fell back to its \"") + SDL_GetCurrentVideoDriver() +
                "\" driver; is DISPLAY set?)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // Hidden until the renderer is made: an OpenGL renderer makes SDL destroy the window
    // and create another, and a window already shown would flash up under the program's
    // title and vanish, so that whoever found it by its title (a test, a window manager)
    // holds a window that is gone.
    int x = 0, y = 0;
    choosePlace(placer, width, height, x, y);
    SDL_Window* window =
        SDL_CreateWindow(title.c_str(), x, y, width, height,
                         SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
    if (window == nullptr) {
        error = std::string("SDL cannot create it: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_Renderer* renderer = createRenderer(window);
    if (renderer == nullptr) {
        error = std::string("no renderer for it: ") + SDL_GetError();
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // On by default; said here since opening a dropped program file depends on it.
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    SDL_ShowWindow(window);
    return std::unique_ptr<SdlWindowView>(
        new SdlWindowView(window, std::make_unique<SdlRenderDevice>(renderer)));
}

SdlWindowView::SdlWindowView(SDL_Window* window, std::unique_ptr<SdlRenderDevice> device)
    : _window(window), _device(std::move(device)), _thread(std::this_thread::get_id()) {}

SdlWindowView::~SdlWindowView() {
    assertOwnThread();
    _device.reset();  // textures and renderer go before their window
    // Dropped names still queued would be lost with the queue, and never freed.
    SDL_Event dropped;
    while (SDL_PeepEvents(&dropped, 1, SDL_GETEVENT, SDL_DROPFILE, SDL_DROPTEXT) == 1)
        freeDroppedName(dropped);
    SDL_DestroyWindow(_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // Whatever the program kept on its way out is written by now.
    systemEndingDone();
}

void SdlWindowView::assertOwnThread() const {
    CCASSERT(std::this_thread::get_id() == _thread, "SDL video used off its own thread");
}

RenderDevice* SdlWindowView::getRenderDevice() {
    assertOwnThread();
    return _device.get();
}

void SdlWindowView::getWindowSize(int& width, int& height) const {
    assertOwnThread();
    SDL_GetWindowSize(_window, &width, &height);
}

void SdlWindowView::waitEvents(int timeoutMs, std::vector<InputEvent>& out) {
    assertOwnThread();
    SDL_Event event;
    InputEvent input;
    bool have = false;
    if (_device->takeRedrawRequest()) {
        input.type = InputEvent::Type::Exposed;
        out.push_back(input);
        timeoutMs = 0;
    }
    if (timeoutMs != 0) {
        // Blocking here, not polling, is what keeps an idle window near 0 % CPU.
        have =
            (timeoutMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs)) == 1;
        if (have && translate(event, input))
            out.push_back(input);
    }
    while (SDL_PollEvent(&event) == 1) {
        if (translate(event, input))
            out.push_back(input);
    }
}

bool SdlWindowView::translate(const SDL_Event& event, InputEvent& input) {
    if (event.type == SDL_FINGERDOWN || event.type == SDL_FINGERMOTION ||
        event.type == SDL_FINGERUP) {
        int width = 0, height = 0;
        SDL_GetWindowSize(_window, &width, &height);
        return _fingers.translate(event.tfinger, width, height, input);
    }
    const bool meaningful = translateSdlEvent(event, input);
    freeDroppedName(event);
    return meaningful;
}

bool SdlWindowView::hasVSync() const {
    return _device->hasVSync();
}

void SdlWindowView::setTitle(const std::string& title) {
    assertOwnThread();
    SDL_SetWindowTitle(_window, title.c_str());
}

void SdlWindowView::setIcon(const Bitmap& icon) {
    assertOwnThread();
    // SDL only reads the pixels (it copies them into the window's icon): the surface may
    // borrow them.
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(icon.rgba.data()), icon.width,
                                           icon.height, 32, icon.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) {
        return;
    }
    SDL_SetWindowIcon(_window, surface);
    SDL_FreeSurface(surface);
}

bool SdlWindowView::getScreenFrame(PixelRect& frame) const {
    assertOwnThread();
    screenPositionOf(_window, frame.x, frame.y);
    SDL_GetWindowSize(_window, &frame.w, &frame.h);
    return true;
}

bool SdlWindowView::moveScreenFrame(int x, int y) {
    assertOwnThread();
    // SDL places the drawing area, not the frame the window manager adds around it.
    SDL_SetWindowPosition(_window, x, y);
    return true;
}

bool SdlWindowView::fillsDisplay() const {
    assertOwnThread();
    return (SDL_GetWindowFlags(_window) &
            (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP)) != 0;
}

void SdlWindowView::watchSystemEnding() {
    assertOwnThread();
    backend::watchSystemEnding(_window, [] {
        if (Application* app = Application::getInstance()) {
            app->applicationWillTerminate();
        }
    });
}

void SdlWindowView::raiseWithoutFocus() {
    assertOwnThread();
    raiseWithoutActivating(_window);
}

std::unique_ptr<PlatformView> createWindowView(const std::string& title, int width, int height,
                                               std::string& error, const WindowPlacer& placer) {
    return SdlWindowView::open(title, width, height, error, placer);
}

}  // namespace backend
}  // namespace cocos2d

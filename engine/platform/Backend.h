// The few operations every platform backend provides: picture decoding, text
// rasterising, and a view (a real window, or none) with its drawing device.
// Portable engine code includes this header and never a platform header; each backend
// implements it in its own folder (platform/sdl, platform/headless), chosen by CMake.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cocos2d {
namespace backend {

// Straight (not premultiplied) RGBA, 8 bits a channel, rows top first.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Decodes a picture file (PNG at least). Works without a display.
// False, with a message naming the file and the reason in `error`, when it cannot.
bool decodeImageFile(const std::string& path, Bitmap& out, std::string& error);

enum class TextHAlign { Left, Center, Right };
enum class TextVAlign { Top, Center, Bottom };

struct TextRequest {
    std::string text;
    std::string fontName;     // family, e.g. "Helvetica"; resolved through the system's fonts
    float fontSizePx = 12.f;  // in output pixels
    int boxWidthPx = 0;       // 0: as wide as the text (one line per '\n')
    int boxHeightPx = 0;      // 0: as high as the text
    TextHAlign hAlign = TextHAlign::Left;
    TextVAlign vAlign = TextVAlign::Top;
};

// Rasterises text as white glyphs whose alpha is the coverage; the label tints it when
// drawing. With a box, lines wrap at the box width and the bitmap has the box's size.
// Works without a display. False with a message in `error` when no font can be used.
bool renderText(const TextRequest& request, Bitmap& out, std::string& error);

// File of the installed font that best serves a family name, or "" when there is none.
std::string resolveFontFile(const std::string& family);
// File of a font with the Japanese glyphs that the families above lack, or "" when
// there is none; text that needs it is drawn in it whole.
std::string resolveWideFontFile();

using TextureId = std::uint32_t;  // 0 = no texture
// Makes a texture's pixels anew; false when it cannot (the file is gone).
using PixelSource = std::function<bool(Bitmap& out)>;

struct Rgba {
    std::uint8_t r = 255, g = 255, b = 255, a = 255;
};

// One corner of a quad: position in output pixels (origin top left, y down) and
// texture coordinates (0..1, origin top left of the bitmap).
struct Vertex {
    float x = 0.f, y = 0.f;
    float u = 0.f, v = 0.f;
};

struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;  // output pixels (or screen points), origin top left
};

// Draws into the view's output. All calls come from the main thread.
class RenderDevice {
public:
    virtual ~RenderDevice() = default;

    // Uploads a bitmap; the id stays valid until destroyTexture.
    virtual TextureId createTexture(const Bitmap& bitmap) = 0;
    // The same for pixels that `again` can make anew (decoded from their file, or the text
    // rendered again): a device may keep only what the screen shows at once, and ask for
    // the rest when it is first drawn.
    virtual TextureId createTextureWithSource(const Bitmap& bitmap, const PixelSource& again) {
        (void)again;
        return createTexture(bitmap);
    }
    virtual void destroyTexture(TextureId texture) = 0;

    // Size of the drawing surface in pixels (may differ from the window size in points).
    virtual void getOutputSize(int& width, int& height) const = 0;

    // Starts a frame filled with the colour.
    virtual void beginFrame(Rgba clearColour) = 0;
    // Draws a quad given as corners in order: bottom left, bottom right, top right, top
    // left (as seen before any mirroring). texture 0 fills it with the colour; otherwise
    // the texture is modulated by the colour (alpha included) and alpha-blended.
    virtual void drawQuad(TextureId texture, const Vertex (&corners)[4], Rgba colour) = 0;
    // Limits drawing to a rectangle; nullptr switches the limit off.
    virtual void setClip(const PixelRect* rect) = 0;
    // Shows the finished frame.
    virtual void endFrame() = 0;
};

// Input in the platform's window coordinates: points, origin top left, y down.
struct InputEvent {
    enum class Type {
        MouseDown,  // button 1 left, 2 middle, 3 right
        MouseUp,
        MouseMove,
        Wheel,      // wheelX, wheelY: scroll amounts, positive up / right
        Minimized,  // the window is hidden or iconified: stop drawing
        FocusLost,  // another window has the keyboard and pointer now
        Restored,   // shown again
        Exposed,    // contents must be drawn again (resize, uncovered)
        Quit,       // the program must end now (a signal, the session's end): nobody is asked
        KeyDown,    // key: an EventKeyboard::KeyCode value; ctrl, shift: held with it;
        KeyUp,      // repeats are not reported
        TouchDown,  // touch: the finger's own id, 1 and up (0 is the mouse's left button)
        TouchMove,
        TouchUp,  // at the finger's last place, which may lie on or beyond the window's edge
        // text: the UTF-8 path of one file dropped onto the window (one event per file)
        FileDropped,
        // the user asked the window to close (its close button); the program may refuse
        CloseRequested,
    };
    Type type = Type::Exposed;
    int button = 0;
    int touch = 0;
    int key = 0;
    bool ctrl = false, shift = false;
    float x = 0.f, y = 0.f;
    float wheelX = 0.f, wheelY = 0.f;
    std::string text;
};

// A place to draw and a source of input: a window, or nothing at all in tests.
class PlatformView {
public:
    virtual ~PlatformView() = default;

    virtual RenderDevice* getRenderDevice() = 0;
    // Window size in points; mouse and finger coordinates are in this space.
    virtual void getWindowSize(int& width, int& height) const = 0;
    // Collects pending input into `out`, first waiting up to timeoutMs for some to
    // arrive (0: do not wait; negative: wait until something arrives).
    virtual void waitEvents(int timeoutMs, std::vector<InputEvent>& out) = 0;
    // True when endFrame waits for the display's refresh, so the loop need not sleep.
    virtual bool hasVSync() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    // The picture the system shows for the window (title bar, task bar, switcher).
    virtual void setIcon(const Bitmap& /*icon*/) {}
    // Where the window's drawing area lies on the screen, in screen points; false when
    // there is no window or the system does not say.
    virtual bool getScreenFrame(PixelRect& /*frame*/) const { return false; }
    // Moves the window so that its drawing area's top left lies at x, y in screen points;
    // false when there is no window to move.
    virtual bool moveScreenFrame(int /*x*/, int /*y*/) { return false; }
    // Whether the window is maximised or full screen: a size of the user's choosing, which
    // a program does not move the window out of.
    virtual bool fillsDisplay() const { return false; }
    // Brings the window in front of the others without taking the keyboard or a press in
    // progress from the window that has them.
    virtual void raiseWithoutFocus() {}
    // From now on the system's own ways of ending the program (a hang-up, the console's
    // close, the session's end) end the loop as a signal does, and wait, within the system's
    // limit, for Application::applicationWillTerminate to return.
    virtual void watchSystemEnding() {}
};

// Chooses where a new window opens: from the usable area of every display (screen points,
// panels and task bars left out) and the window's size, sets the top left of its drawing
// area and returns true; false leaves the choice to the system. It may change the size to
// another form of the window that fits better.
using WindowPlacer = std::function<bool(const std::vector<PixelRect>& displays, int& width,
                                        int& height, int& x, int& y)>;

// A real window of the given size in points, where the placer (if any) puts it. nullptr
// with a message when none can be opened (no display, no video driver).
std::unique_ptr<PlatformView> createWindowView(const std::string& title, int width, int height,
                                               std::string& error, const WindowPlacer& placer = {});

// A view with no window: draws nothing on screen but records what it was asked to draw,
// and yields no input of its own (tests inject it through the engine's view).
std::unique_ptr<PlatformView> createHeadlessView(int width, int height);

}  // namespace backend
}  // namespace cocos2d

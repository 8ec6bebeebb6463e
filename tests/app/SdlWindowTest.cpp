// The SDL window view on a real (virtual) display: drawing read back from the renderer,
// what other programs ask of the window (dropping files, closing it), and X errors that
// must not end the program. Fingers through SDL's queue are sdl_fingers' cases.
// Runs under xvfb_run.py; every case runs with the "opengl" and the "software" renderer.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "XWindowRequests.h"
#include "platform/Backend.h"
#include "platform/sdl/SdlRenderDevice.h"
#include "platform/sdl/SdlWindowView.h"

using namespace cocos2d::backend;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Pixel {
    int r, g, b;
};

class SdlWindow : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        // The environment outranks the hint: the sanitizer builds ask for "software" there.
        const char* forced = std::getenv("SDL_RENDER_DRIVER");
        if (forced != nullptr && std::strcmp(forced, GetParam()) != 0) {
            GTEST_SKIP() << "SDL_RENDER_DRIVER=" << forced << " in the environment";
        }
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, GetParam());
        std::string error;
        _view = SdlWindowView::open("window test", kWidth, kHeight, error);
        ASSERT_NE(_view, nullptr) << error;
        _device = static_cast<SdlRenderDevice*>(_view->getRenderDevice());
        EXPECT_STREQ(_device->driverName(), GetParam());
        int w = 0, h = 0;
        _device->getOutputSize(w, h);
        EXPECT_EQ(w * 1000 + h, kWidth * 1000 + kHeight);
    }

    // Corners bottom left, bottom right, top right, top left of a rectangle given by its
    // top left corner, in output pixels.
    static void rect(float x, float y, float w, float h, Vertex (&out)[4]) {
        out[0] = {x, y + h, 0.f, 1.f};
        out[1] = {x + w, y + h, 1.f, 1.f};
        out[2] = {x + w, y, 1.f, 0.f};
        out[3] = {x, y, 0.f, 0.f};
    }

    Pixel at(const Bitmap& frame, int x, int y) {
        const std::uint8_t* p = &frame.rgba[(static_cast<std::size_t>(y) * frame.width + x) * 4];
        return {p[0], p[1], p[2]};
    }

    std::unique_ptr<SdlWindowView> _view;
    SdlRenderDevice* _device = nullptr;
};

void expectPixel(const Pixel& actual, const Pixel& expected, const char* where, int tolerance = 3) {
    EXPECT_NEAR(actual.r, expected.r, tolerance) << where;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << where;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << where;
}

TEST_P(SdlWindow, DrawsSolidTintedAndClippedQuadsAndNothingForEmptyOnes) {
    Bitmap white;
    white.width = white.height = 2;
    white.rgba.assign(16, 255);
    const TextureId texture = _device->createTexture(white);
    ASSERT_NE(texture, 0u);

    _device->beginFrame({10, 20, 30, 255});
    Vertex corners[4];
    rect(10, 10, 100, 50, corners);
    _device->drawQuad(0, corners, {255, 0, 0, 255});
    // Half-transparent blue texture-tinted quad over the red one, partly over the clear colour.
    rect(60, 30, 100, 50, corners);
    _device->drawQuad(texture, corners, {0, 0, 255, 128});
    // Green everywhere, but clipped to a 40 x 30 window at (200, 150).
    const PixelRect clip = {200, 150, 40, 30};
    _device->setClip(&clip);
    rect(0, 0, kWidth, kHeight, corners);
    _device->drawQuad(0, corners, {0, 255, 0, 255});
    // An empty clip, an empty picture and a destroyed one draw nothing anywhere.
    const PixelRect nothing = {50, 50, 0, 0};
    _device->setClip(&nothing);
    _device->drawQuad(0, corners, {255, 255, 255, 255});
    _device->setClip(nullptr);
    const TextureId empty = _device->createTexture(Bitmap());
    ASSERT_NE(empty, 0u);
    _device->destroyTexture(texture);
    for (TextureId nothingToShow : {empty, texture}) {
        _device->drawQuad(nothingToShow, corners, {255, 255, 255, 255});
    }

    Bitmap frame;
    ASSERT_TRUE(_device->readPixels(frame));
    expectPixel(at(frame, 20, 20), {255, 0, 0}, "red quad");
    expectPixel(at(frame, 80, 40), {127, 0, 128}, "blue over red");
    expectPixel(at(frame, 150, 70), {5, 10, 143}, "blue over clear colour");
    expectPixel(at(frame, 210, 160), {0, 255, 0}, "inside the clip");
    expectPixel(at(frame, 239, 179), {0, 255, 0}, "last pixel inside the clip");
    expectPixel(at(frame, 240, 160), {10, 20, 30}, "right of the clip");
    expectPixel(at(frame, 210, 149), {10, 20, 30}, "above the clip");
    _device->endFrame();
}

TEST_P(SdlWindow, TurnedAndMirroredQuadsLandWhereTheirCornersSay) {
    Bitmap halves;  // red on the left, blue on the right
    halves.width = 2;
    halves.height = 1;
    halves.rgba = {255, 0, 0, 255, 0, 0, 255, 255};
    const TextureId texture = _device->createTexture(halves);
    _device->beginFrame({0, 0, 0, 255});
    Vertex corners[4];
    // Mirrored: the right edge's corners come first, so blue shows on the left.
    rect(10, 10, 80, 40, corners);
    std::swap(corners[0].x, corners[1].x);
    std::swap(corners[2].x, corners[3].x);
    _device->drawQuad(texture, corners, {255, 255, 255, 255});
    // A white square turned by 45 degrees about (240, 120): a diamond.
    const Vertex diamond[4] = {
        {240, 160, 0, 1}, {280, 120, 1, 1}, {240, 80, 1, 0}, {200, 120, 0, 0}};
    _device->drawQuad(0, diamond, {255, 255, 255, 255});

    Bitmap frame;
    ASSERT_TRUE(_device->readPixels(frame));
    // Textures are filtered: sample near texel centres, with some tolerance.
    expectPixel(at(frame, 15, 20), {0, 0, 255}, "mirrored: blue on the left", 8);
    expectPixel(at(frame, 85, 20), {255, 0, 0}, "mirrored: red on the right", 8);
    expectPixel(at(frame, 240, 120), {255, 255, 255}, "diamond centre");
    expectPixel(at(frame, 205, 85), {0, 0, 0}, "outside the diamond's corner");
    _device->endFrame();
}

TEST_P(SdlWindow, PicturesFromFilesShowTheirOwnPixelsWhenDrawnLargerOrTurned) {
    // Stripes a pixel wide: the half-size copy is their even mix, so a picture drawn larger
    // than half shows whether its own pixels were decoded again for it.
    const std::string path = testing::TempDir() + "stripes.png";
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 4, 2, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(surface, nullptr);
    auto* pixels = static_cast<std::uint8_t*>(surface->pixels);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            std::uint8_t* p = pixels + y * surface->pitch + x * 4;
            p[0] = x % 2 == 0 ? 255 : 0;
            p[1] = 0;
            p[2] = x % 2 == 0 ? 0 : 255;
            p[3] = 255;
        }
    }
    ASSERT_EQ(IMG_SavePNG(surface, path.c_str()), 0) << IMG_GetError();
    SDL_FreeSurface(surface);
    Bitmap stripes;
    std::string error;
    ASSERT_TRUE(decodeImageFile(path, stripes, error)) << error;
    const TextureId texture = _device->createTextureWithSource(stripes, [path](Bitmap& out) {
        std::string ignored;
        return decodeImageFile(path, out, ignored);
    });
    ASSERT_NE(texture, 0u);

    _device->beginFrame({0, 0, 0, 255});
    Vertex corners[4];
    rect(100, 100, 2, 1, corners);  // half size
    _device->drawQuad(texture, corners, {255, 255, 255, 255});
    rect(10, 10, 40, 20, corners);  // ten times half size: ten pixels a stripe
    _device->drawQuad(texture, corners, {255, 255, 255, 255});
    rect(200, 40, 40, 20, corners);  // the top edge slanted by half a pixel
    corners[2].x += 0.5f;
    corners[3].x += 0.5f;
    _device->drawQuad(texture, corners, {255, 255, 255, 255});

    Bitmap frame;
    ASSERT_TRUE(_device->readPixels(frame));
    // Filtered, and no pixel centre falls on a stripe's: near is enough, the mix is far.
    expectPixel(at(frame, 100, 100), {128, 0, 128}, "half size: the stripes' mix", 8);
    expectPixel(at(frame, 15, 20), {255, 0, 0}, "larger: first stripe", 20);
    expectPixel(at(frame, 25, 20), {0, 0, 255}, "larger: second stripe", 20);
    expectPixel(at(frame, 205, 50), {255, 0, 0}, "slanted: first stripe", 20);
    expectPixel(at(frame, 215, 50), {0, 0, 255}, "slanted: second stripe", 20);
    _device->endFrame();
    std::remove(path.c_str());
}

TEST_P(SdlWindow, DroppedFilesArriveInOrderAndTheCloseButtonAsksWithoutEndingTheProgram) {
    // SDL offers the window to drag sources as long as it reports either kind of drop;
    // files must be among them.
    ASSERT_TRUE(acceptsDrops(_view->sdlWindow()));
    ASSERT_EQ(SDL_EventState(SDL_DROPFILE, SDL_QUERY), SDL_ENABLE);
    std::vector<InputEvent> events;
    _view->waitEvents(0, events);
    events.clear();
    ASSERT_TRUE(askToClose(_view->sdlWindow()));
    // Whatever SDL makes of it arrives together: wait for the first, then a moment more.
    _view->waitEvents(2000, events);
    _view->waitEvents(100, events);
    for (const char* path : {"/tmp/first program.json", "/tmp/zweites \xc3\xbc.json"}) {
        SDL_Event e{};
        e.type = SDL_DROPFILE;
        e.drop.file = SDL_strdup(path);  // freed by whoever takes the event, as SDL's own
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
    _view->waitEvents(1000, events);
    std::vector<std::string> seen;
    for (const InputEvent& e : events) {
        if (e.type == InputEvent::Type::FileDropped) {
            seen.push_back(e.text);
        } else if (e.type == InputEvent::Type::CloseRequested || e.type == InputEvent::Type::Quit) {
            seen.push_back(e.type == InputEvent::Type::Quit ? "quit" : "close?");
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"close?", "/tmp/first program.json",
                                              "/tmp/zweites \xc3\xbc.json"}));
}

INSTANTIATE_TEST_SUITE_P(Drivers, SdlWindow, testing::Values("opengl", "software"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param);
                         });

// Xvfb, like any X server without direct rendering, leaves OpenGL only Mesa's rasteriser:
// the window draws with SDL's software renderer there, at a fraction of the start-up time
// and memory, and keeps its vsync.
TEST(SdlWindowRenderer, WithoutDirectRenderingTheWindowDrawsWithTheSoftwareRenderer) {
    if (std::getenv("SDL_RENDER_DRIVER") != nullptr) {
        GTEST_SKIP() << "SDL_RENDER_DRIVER in the environment chooses";
    }
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "");
    std::string error;
    auto view = SdlWindowView::open("window test", kWidth, kHeight, error);
    ASSERT_NE(view, nullptr) << error;
    auto* device = static_cast<SdlRenderDevice*>(view->getRenderDevice());
    EXPECT_STREQ(device->driverName(), "software");
    EXPECT_TRUE(device->hasVSync());
}

// Xlib's default handler would end this process with status 1 inside the helper. SDL
// wakes its event wait with a message to the window over a second connection; when the
// window is destroyed first, the error is read only as SDL closes that connection, after
// it has put back the handler it found when video started.
TEST(CreateWindowView, AnErrorAboutAWindowThatIsGoneDoesNotEndTheProgram) {
    std::string error;
    std::unique_ptr<PlatformView> view = createWindowView("ZundleApps", 200, 100, error);
    ASSERT_NE(view, nullptr) << error;
    ASSERT_TRUE(sendToAGoneWindow());
    view.reset();
    ASSERT_TRUE(sendToAGoneWindow());
}

}  // namespace

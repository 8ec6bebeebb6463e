// One frame of the real window (update, drawing and presenting) with SDL's software
// renderer, for a scene of 400 sprites and 60 labels: the target is under 4 ms.
// Needs a display: scripts/bench.sh starts a virtual one when DISPLAY is unset.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "cocos2d.h"

USING_NS_CC;

namespace {

constexpr int kSprites = 400;
constexpr int kLabels = 60;

// A 120 x 80 pixel card-like picture (60 x 40 points): shaded, with see-through corners
// so blending is exercised.
Texture2D* cardTexture() {
    backend::Bitmap bitmap;
    bitmap.width = 120;
    bitmap.height = 80;
    bitmap.rgba.resize(static_cast<std::size_t>(bitmap.width) * bitmap.height * 4);
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            std::uint8_t* p = &bitmap.rgba[(static_cast<std::size_t>(y) * bitmap.width + x) * 4];
            const bool corner =
                (x < 6 || x >= bitmap.width - 6) && (y < 6 || y >= bitmap.height - 6);
            p[0] = static_cast<std::uint8_t>(80 + x);
            p[1] = static_cast<std::uint8_t>(60 + 2 * y);
            p[2] = 200;
            p[3] = corner ? 0 : 255;
        }
    }
    auto* texture = new Texture2D();
    texture->initWithBitmap(std::move(bitmap), "bench card");
    texture->autorelease();
    return texture;
}

// Opens the window and builds the scene; false when no window can open.
bool buildScene(bool allTurning, Node*& moving) {
    // The software renderer is what a machine without a GPU uses; an explicit
    // SDL_RENDER_DRIVER in the environment still wins, for comparisons.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    // Without a GPU SDL imitates vsync by sleeping after each frame; the sleep is not
    // the frame's cost.
    setenv("SDL_RENDER_VSYNC", "0", 0);
    auto* director = Director::getInstance();
    auto* view = GLViewImpl::createWithRect("bench_frame", Rect(0, 0, 1024, 768));
    if (view == nullptr)
        return false;
    director->setOpenGLView(view);
    view->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(2.0f);

    auto* scene = Scene::create();
    Texture2D* texture = cardTexture();
    for (int i = 0; i < kSprites; ++i) {
        auto* sprite = Sprite::createWithTexture(texture);
        sprite->setPosition(40.f + (i % 20) * 50.f, 30.f + (i / 20) * 36.f);
        sprite->setOpacity(i % 3 == 0 ? 192 : 255);
        if (allTurning) {
            sprite->runAction(RepeatForever::create(RotateBy::create(1.f, 90.f)));
        }
        scene->addChild(sprite);
    }
    for (int i = 0; i < kLabels; ++i) {
        auto* label = Label::createWithSystemFont("Row " + std::to_string(i + 1), "Helvetica", 12);
        label->setPosition(30.f + (i % 6) * 170.f, 20.f + (i / 6) * 75.f);
        scene->addChild(label);
    }
    director->runWithScene(scene);
    director->mainLoop(1.f / 60);  // uploads every texture once
    moving = scene->getChildren().at(0);
    return true;
}

void runFrames(benchmark::State& state, bool allTurning) {
    Node* moving = nullptr;
    if (!buildScene(allTurning, moving)) {
        state.SkipWithError("no window: run under a display (scripts/bench.sh starts Xvfb)");
        Director::getInstance()->reset();
        return;
    }
    auto* director = Director::getInstance();
    const unsigned int drawnBefore = director->getDrawnFrames();
    float x = 0.f;
    for (auto _ : state) {
        // One card follows the mouse, as while dragging: the frame must be drawn.
        x = x > 900.f ? 0.f : x + 3.f;
        moving->setPositionX(x);
        director->mainLoop(1.f / 60);
    }
    const unsigned int drawn = director->getDrawnFrames() - drawnBefore;
    if (drawn != static_cast<unsigned int>(state.iterations())) {
        state.SkipWithError("some frames were not drawn");
    }
    director->reset();
}

void BM_FrameOneCardMoving(benchmark::State& state) {
    runFrames(state, false);
}
BENCHMARK(BM_FrameOneCardMoving)->Unit(benchmark::kMillisecond)->UseRealTime();

// The worst case: every sprite turning, so every quad is rotated.
void BM_FrameAllSpritesTurning(benchmark::State& state) {
    runFrames(state, true);
}
BENCHMARK(BM_FrameAllSpritesTurning)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// One frame of the real window showing the whole workspace (update, drawing, presenting,
// with SDL's software renderer) while a list coasts after a flick: the palette list, and
// the field with a card in each of its 60 slots; and while the field zooms. The target is
// under 4 ms a frame.
// Needs a display: scripts/bench.sh starts a virtual one when DISPLAY is unset.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "cocos2d.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "scene/FieldScene.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;

namespace {

// Opens the window and shows the workspace; nullptr when no window can open.
FieldScene* openWorkspace() {
    if (chdir(ZC_SOURCE_DIR) != 0) {
        return nullptr;
    }
    // As in the engine's frame benchmark: the renderer of a machine without a GPU, and
    // no imitated vsync, whose sleep is not the frame's cost.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_RENDER_VSYNC", "0", 0);
    Director* director = Director::getInstance();
    GLView* view = GLViewImpl::createWithRect("bench_workspace", Rect(0, 0, 1024, 768));
    if (view == nullptr) {
        return nullptr;
    }
    director->setOpenGLView(view);
    view->setDesignResolutionSize(1024, 768, ResolutionPolicy::SHOW_ALL);
    director->setContentScaleFactor(2.0f);
    Scene* scene = Scene::create();
    FieldScene* workspace = FieldScene::create();
    if (workspace == nullptr) {
        return nullptr;
    }
    scene->addChild(workspace);
    director->runWithScene(scene);
    // The first port search runs on a worker; let it end before the frames are timed.
    for (int i = 0; i < 5000 && ZundleCardSerialManager::getInstance()->isSearching(); ++i) {
        director->mainLoop(1.f / 60);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    director->mainLoop(1.f / 60);
    return workspace;
}

// A quick stroke over the view, up or down, that leaves it coasting.
void flick(FieldScrollView* view, const Vec2& at, bool up) {
    Touch touch;
    const float step = up ? 40.f : -40.f;
    for (int i = 0; i < 4; ++i) {
        const Vec2 point = at + Vec2(0.f, step * static_cast<float>(i));
        touch.setTouchInfo(0, point, Director::getInstance()->convertToUI(point));
        if (i == 0) {
            view->onTouchBegan(&touch, nullptr);
        } else {
            view->onTouchMoved(&touch, nullptr);
        }
    }
    view->onTouchEnded(&touch, nullptr);
}

void fillEverySlot(FieldScene* workspace) {
    for (const FieldScene::FieldRow& row : inside(workspace).fieldRows) {
        for (CardSprite* slot : row) {
            const Vec2 point = workspace->toFieldSpace(slot, slot->connectors[0].point);
            CardSprite* card = workspace->addFieldCard(2, 0, point + Vec2(100.f, 0.f));
            workspace->linkToNearestSlot(card);
        }
    }
}

void runCoastingFrames(benchmark::State& state, bool field) {
    FieldScene* workspace = openWorkspace();
    if (workspace == nullptr) {
        state.SkipWithError("no window: run under a display (scripts/bench.sh starts Xvfb)");
        Director::getInstance()->reset();
        return;
    }
    FieldScrollView* view = field ? inside(workspace).fieldView : inside(workspace).paletteList;
    if (field) {
        fillEverySlot(workspace);
    } else {
        workspace->switchCardSet(2);  // the longest set
    }
    const Vec2 at = field ? Vec2(640.f, 200.f) : Vec2(20.f, 200.f);
    Director* director = Director::getInstance();
    director->mainLoop(1.f / 60);  // the new cards' pictures are uploaded before timing
    bool up = true;
    const unsigned int drawnBefore = director->getDrawnFrames();
    for (auto _ : state) {
        if (!view->isCoasting()) {
            state.PauseTiming();
            // Turn round at either end, so that every flick has room to coast.
            const float y = view->offset().y;
            if (y >= view->highestOffset().y - 1000.f) {
                up = false;
            } else if (y <= view->lowestOffset().y + 1000.f) {
                up = true;
            }
            flick(view, at, up);
            state.ResumeTiming();
        }
        director->mainLoop(1.f / 60);
    }
    // The last frame of a coast moves nothing and so draws nothing; any more would mean
    // the timing missed the drawing it is meant to include.
    const double drawn = director->getDrawnFrames() - drawnBefore;
    state.counters["drawn"] = drawn / static_cast<double>(state.iterations());
    if (drawn < 0.95 * static_cast<double>(state.iterations())) {
        state.SkipWithError("too few frames were drawn while coasting");
    }
    director->reset();
}

void BM_FramePaletteCoasting(benchmark::State& state) {
    runCoastingFrames(state, false);
}
BENCHMARK(BM_FramePaletteCoasting)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FrameFieldCoastingWith60Cards(benchmark::State& state) {
    runCoastingFrames(state, true);
}
BENCHMARK(BM_FrameFieldCoastingWith60Cards)->Unit(benchmark::kMillisecond)->UseRealTime();

// The field zooming out and in again in small steps, every card drawn at a size of its own
// (no longer from the half-size copies).
void BM_FrameFieldZoomingWith60Cards(benchmark::State& state) {
    FieldScene* workspace = openWorkspace();
    if (workspace == nullptr) {
        state.SkipWithError("no window: run under a display (scripts/bench.sh starts Xvfb)");
        Director::getInstance()->reset();
        return;
    }
    fillEverySlot(workspace);
    FieldScrollView* view = inside(workspace).fieldView;
    Director* director = Director::getInstance();
    director->mainLoop(1.f / 60);
    float step = -0.02f;
    for (auto _ : state) {
        const float zoom = view->getZoom() + step;
        if (zoom < view->minZoom || zoom > view->maxZoom) {
            step = -step;
        }
        view->setZoom(view->getZoom() + step);
        director->mainLoop(1.f / 60);
    }
    director->reset();
}
BENCHMARK(BM_FrameFieldZoomingWith60Cards)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

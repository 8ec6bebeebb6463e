// Cost of the engine's per-event and per-frame work on a scene the size of the workspace:
// 30 rows of six nodes with a listener each, 40 palette cards, a few labels.
#include <benchmark/benchmark.h>

#include "cocos2d.h"
#include "platform/headless/HeadlessHarness.h"

USING_NS_CC;

namespace {

void buildWorkspaceSizedScene(Scene* scene) {
    auto* field = Layer::create();
    scene->addChild(field);
    for (int row = 0; row < 30; ++row) {
        for (int part = 0; part < 6; ++part) {
            auto* node = LayerColor::create(Color4B(255, 255, 255, 255), 60.f, 40.f);
            node->setPosition(part * 70.f, row * 45.f);
            field->addChild(node, part % 2);
            auto* listener = EventListenerTouchOneByOne::create();
            listener->onTouchBegan = [](Touch*, Event*) { return false; };
            Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
                listener, node);
        }
    }
    auto* palette = Layer::create();
    scene->addChild(palette);
    for (int card = 0; card < 40; ++card) {
        auto* node = LayerColor::create(Color4B(200, 40, 40, 255), 100.f, 60.f);
        node->setPosition(5.f, card * 65.f);
        palette->addChild(node);
        auto* listener = EventListenerTouchOneByOne::create();
        listener->onTouchBegan = [](Touch*, Event*) { return true; };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
            listener, node);
    }
    for (int i = 0; i < 5; ++i) {
        scene->addChild(Label::createWithSystemFont("Search ...", "Helvetica", 12));
    }
}

// One mouse-driven touch moving over the scene: the listener order is worked out anew
// for every event.
void BM_TouchMoveDispatch(benchmark::State& state) {
    HeadlessHarness harness;
    buildWorkspaceSizedScene(harness.scene());
    harness.step();
    harness.touchBegan(Vec2(10.f, 10.f));
    float x = 10.f;
    for (auto _ : state) {
        x = x > 500.f ? 10.f : x + 1.f;
        harness.touchMoved(Vec2(x, 10.f));
    }
    harness.touchEnded(Vec2(x, 10.f));
}
BENCHMARK(BM_TouchMoveDispatch);

// A frame in which something changed: visit, queue and record every quad.
void BM_DrawnFrame(benchmark::State& state) {
    HeadlessHarness harness;
    buildWorkspaceSizedScene(harness.scene());
    harness.step();
    Node* moving = harness.scene()->getChildren().at(0);
    float y = 0.f;
    for (auto _ : state) {
        y = y > 100.f ? 0.f : y + 1.f;
        moving->setPositionY(y);
        harness.step();
    }
}
BENCHMARK(BM_DrawnFrame);

// A frame in which nothing changed: no drawing at all.
void BM_IdleFrame(benchmark::State& state) {
    HeadlessHarness harness;
    buildWorkspaceSizedScene(harness.scene());
    harness.step();
    for (auto _ : state) {
        harness.step();
    }
}
BENCHMARK(BM_IdleFrame);

}  // namespace

// Cost of one frame of the action manager and the scheduler with many callbacks running:
// a frame with 400 running actions should cost microseconds.
#include <benchmark/benchmark.h>

#include <vector>

#include "2d/ActionInstant.h"
#include "2d/ActionInterval.h"
#include "2d/ActionManager.h"
#include "2d/Node.h"
#include "base/AutoreleasePool.h"
#include "base/Director.h"
#include "base/Scheduler.h"

USING_NS_CC;

namespace {

constexpr float kFrame = 1.0f / 60.0f;

void drain() {
    PoolManager::getInstance()->getCurrentPool()->clear();
}

// Nodes with four endless actions each, as a busy field might have: a spin, a move back
// and forth, a fade in and out, and a wait with a call.
std::vector<Node*> busyNodes(ActionManager* manager, int count) {
    std::vector<Node*> nodes;
    for (int i = 0; i < count; ++i) {
        Node* node = Node::create();
        node->retain();
        manager->addAction(RepeatForever::create(RotateBy::create(0.2f, 45.f)), node, false);
        manager->addAction(RepeatForever::create(
                               Sequence::create(MoveBy::create(0.5f, Vec2(10.f, 0.f)),
                                                MoveBy::create(0.5f, Vec2(-10.f, 0.f)), nullptr)),
                           node, false);
        manager->addAction(RepeatForever::create(Sequence::create(
                               FadeTo::create(1.f, 0), FadeTo::create(1.f, 255), nullptr)),
                           node, false);
        manager->addAction(RepeatForever::create(Sequence::create(
                               DelayTime::create(0.5f), CallFunc::create([] {}), nullptr)),
                           node, false);
        nodes.push_back(node);
    }
    drain();
    return nodes;
}

void releaseAll(ActionManager* manager, std::vector<Node*>& nodes) {
    for (Node* node : nodes) {
        manager->removeAllActionsFromTarget(node);
        node->release();
    }
    drain();
}

void BM_ActionFrame400(benchmark::State& state) {
    ActionManager* manager = Director::getInstance()->getActionManager();
    std::vector<Node*> nodes = busyNodes(manager, 100);
    for (auto _ : state) {
        manager->update(kFrame);
    }
    state.counters["actions"] = static_cast<double>(manager->getNumberOfRunningActions());
    releaseAll(manager, nodes);
}
BENCHMARK(BM_ActionFrame400)->Unit(benchmark::kMicrosecond);

// Starting and finishing short actions: the frame in which 400 moves end.
void BM_RunAndFinish400Moves(benchmark::State& state) {
    ActionManager* manager = Director::getInstance()->getActionManager();
    std::vector<Node*> nodes;
    for (int i = 0; i < 400; ++i) {
        nodes.push_back(Node::create());
        nodes.back()->retain();
    }
    for (auto _ : state) {
        for (Node* node : nodes) {
            manager->addAction(MoveBy::create(0.f, Vec2(1.f, 1.f)), node, false);
        }
        manager->update(kFrame);
        drain();
    }
    for (Node* node : nodes) {
        node->release();
    }
    drain();
}
BENCHMARK(BM_RunAndFinish400Moves)->Unit(benchmark::kMicrosecond);

void BM_SchedulerFrame(benchmark::State& state) {
    Scheduler scheduler;
    std::vector<int> targets(static_cast<std::size_t>(state.range(0)));
    long calls = 0;
    for (int& target : targets) {
        scheduler.schedule([&calls](float) { ++calls; }, &target, 0.1f, false, "poll");
        scheduler.schedule([&calls](float) { ++calls; }, &target, 0.f, false, "frame");
    }
    for (auto _ : state) {
        scheduler.update(kFrame);
    }
    benchmark::DoNotOptimize(calls);
}
BENCHMARK(BM_SchedulerFrame)->Arg(10)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

// The window instance's side of the hand-off in a test: the simulator's scene on the headless
// engine, running what the hand-off brings and giving each sender its board's answers.
#pragma once

#include <string>

#include "platform/headless/HeadlessHarness.h"
#include "simulator/SimulatorPlatform.h"
#include "simulator/SimulatorScene.h"

inline void showHandOffWindow(cocos2d::HeadlessHarness& harness,
                              simulator::platform::InstanceHandOff& window) {
    auto* layer = SimulatorScene::create([&window] { return window.poll(); });
    layer->setAnswerSink([&window](const std::string& text, bool over) {
        window.answer(text);
        if (over)
            window.endAnswers();
    });
    harness.scene()->addChild(layer);
}

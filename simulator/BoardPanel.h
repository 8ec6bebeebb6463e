// The board's face in the simulator window: the LED, the buzzer, the push button (held
// with the mouse), the six outputs and the two PWM channels. Draws what a BoardIo says;
// depends on the engine and BoardIo, not on the interpreters.
#pragma once

#include <array>
#include <functional>

#include "cocos2d.h"
#include "simulator/BoardIo.h"

class BoardPanel : public cocos2d::Node {
public:
    CREATE_FUNC(BoardPanel);
    bool init() override;

    // Shows the board as it is at the virtual time.
    void show(const BoardIo& io, std::int64_t nowMs);
    // Shows the push button held or let go, whoever holds it.
    void showButton(bool held);

    // Told true when the user starts holding the button with the mouse, false on release.
    std::function<void(bool)> onButton;

    // The LED, the push button and the buzzer as drawn (their colour is their state).
    cocos2d::LayerColor* led() const { return _led; }
    cocos2d::LayerColor* button() const { return _button; }
    cocos2d::LayerColor* buzzer() const { return _buzzer; }
    // Output n, 1 to 6.
    cocos2d::LayerColor* output(int n) const { return _outputs.at(n - 1); }
    // The filled part of a PWM bar, channel index 0 or 1.
    cocos2d::LayerColor* pwmBar(int index) const { return _pwmBars.at(index); }

private:
    void addButton();
    void addOutputs();
    void addPwmChannels();
    static void paint(cocos2d::LayerColor* layer, const cocos2d::Color4B& colour);

    cocos2d::LayerColor* _led = nullptr;
    cocos2d::LayerColor* _buzzer = nullptr;
    cocos2d::Label* _buzzerText = nullptr;
    cocos2d::LayerColor* _button = nullptr;
    std::array<cocos2d::LayerColor*, 6> _outputs{};
    std::array<cocos2d::LayerColor*, 2> _pwmBars{};
    std::array<cocos2d::Label*, 2> _pwmValues{};
};

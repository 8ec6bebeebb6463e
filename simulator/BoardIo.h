// What a simulated board shows and senses: LED, six outputs, two PWM channels, the buzzer
// and the push button. Plain data shared by the interpreters and the window; depends on
// nothing but the standard library.
#pragma once

#include <array>
#include <cstdint>

struct BoardIo {
    // The PWM channels the board offers, in the order of `pwm`.
    static constexpr std::array<int, 2> kPwmChannels = {3, 4};
    // How long one beep sounds, in milliseconds.
    static constexpr std::int64_t kBeepMs = 150;

    bool led = false;
    // Bit n-1 is output n (outputs 1 to 6).
    int outputs = 0;
    // Value written to each channel, and whether a program has written it yet.
    std::array<int, 2> pwm = {0, 0};
    std::array<bool, 2> pwmSet = {false, false};
    // The value that means full duty in the dialect that wrote the channels.
    int pwmFullScale = 255;
    // Beeps so far, and the virtual time at which the last one falls silent.
    int beeps = 0;
    std::int64_t beepUntilMs = 0;
    // The push button, held by the user.
    bool button = false;

    // Whether output n (1 to 6) is on.
    bool output(int n) const { return n >= 1 && n <= 6 && (outputs >> (n - 1) & 1) != 0; }
    // Duty of a channel index (0 or 1) from 0 to 1; full while no program has set it.
    double duty(int index) const;
    // Whether the buzzer sounds at the virtual time.
    bool beeping(std::int64_t nowMs) const { return nowMs < beepUntilMs; }
    // Starts a beep at the virtual time.
    void beep(std::int64_t nowMs);
    // Writes a PWM channel by its number; false when the board has no such channel.
    bool setPwm(int channel, int value);
    // Everything a program drives back to rest (the button is the user's and stays).
    void reset();
};

#include "simulator/BoardIo.h"

#include <algorithm>

double BoardIo::duty(int index) const {
    if (index < 0 || index >= static_cast<int>(pwm.size()) || !pwmSet[index] || pwmFullScale <= 0) {
        return 1.0;
    }
    return std::clamp(static_cast<double>(pwm[index]) / pwmFullScale, 0.0, 1.0);
}

void BoardIo::beep(std::int64_t nowMs) {
    ++beeps;
    beepUntilMs = nowMs + kBeepMs;
}

bool BoardIo::setPwm(int channel, int value) {
    for (std::size_t i = 0; i < kPwmChannels.size(); ++i) {
        if (kPwmChannels[i] == channel) {
            pwm[i] = value;
            pwmSet[i] = true;
            return true;
        }
    }
    return false;
}

void BoardIo::reset() {
    const bool held = button;
    const int scale = pwmFullScale;
    *this = BoardIo();
    button = held;
    pwmFullScale = scale;
}

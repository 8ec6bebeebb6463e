#include "simulator/CarModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Distance between the wheels.
constexpr double kTrack = 2 * CarModel::kHalfWidth;
// Longest piece of a step integrated at once, so turns stay round.
constexpr std::int64_t kSliceMs = 5;

// -1, 0 or 1: which way a wheel turns from its forward and backward outputs.
int wheel(bool forward, bool backward) {
    return (forward ? 1 : 0) - (backward ? 1 : 0);
}

}  // namespace

void CarModel::reset() {
    _x = kArenaSize / 2;
    _y = kArenaSize / 2;
    _heading = 0.0;
}

bool CarModel::moving(const BoardIo& io) {
    return wheel(io.output(1), io.output(2)) != 0 || wheel(io.output(6), io.output(5)) != 0;
}

void CarModel::step(std::int64_t ms, const BoardIo& io) {
    const double left = wheel(io.output(1), io.output(2)) * io.duty(0) * kFullSpeed;
    const double right = wheel(io.output(6), io.output(5)) * io.duty(1) * kFullSpeed;
    if (left == 0.0 && right == 0.0) {
        return;
    }
    const double speed = (left + right) / 2;
    const double turn = (left - right) / kTrack;  // clockwise, radians per second
    // The car's corners may not leave the arena, whichever way it faces.
    const double reach = std::hypot(kHalfLength, kHalfWidth);
    for (std::int64_t done = 0; done < ms; done += kSliceMs) {
        const double dt = static_cast<double>(std::min(kSliceMs, ms - done)) / 1000.0;
        _heading = std::fmod(_heading + turn * dt, 2 * kPi);
        _x = std::clamp(_x + speed * dt * std::sin(_heading), reach, kArenaSize - reach);
        _y = std::clamp(_y + speed * dt * std::cos(_heading), reach, kArenaSize - reach);
    }
}

double CarModel::headingDegrees() const {
    const double degrees = _heading * 180.0 / kPi;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

// The robot car seen from above in its square arena: outputs 1 (forward) and 2 (back)
// drive the left wheel, 6 (forward) and 5 (back) the right one, PWM 3 and 4 set their
// speeds. Pure; time passes only through step().
#pragma once

#include <cstdint>

#include "simulator/BoardIo.h"

class CarModel {
public:
    // Side of the arena, and the car's half length and half width, in millimetres.
    static constexpr double kArenaSize = 1000.0;
    static constexpr double kHalfLength = 80.0;
    static constexpr double kHalfWidth = 60.0;
    // A wheel's speed at full duty, in millimetres per second.
    static constexpr double kFullSpeed = 250.0;

    CarModel() { reset(); }

    // Back to the middle of the arena, facing up.
    void reset();
    // Drives for ms milliseconds as the outputs and PWM channels say.
    void step(std::int64_t ms, const BoardIo& io);

    // Centre, from the arena's bottom left corner.
    double x() const { return _x; }
    double y() const { return _y; }
    // Heading in degrees clockwise from up, 0 to 360.
    double headingDegrees() const;
    // Whether a wheel turns at all.
    static bool moving(const BoardIo& io);

private:
    double _x = 0.0;
    double _y = 0.0;
    double _heading = 0.0;  // radians clockwise from up
};

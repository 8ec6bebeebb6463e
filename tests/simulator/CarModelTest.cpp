// The robot car: which way each wheel turns for the outputs, how PWM slows it, and the
// arena's walls.
#include <gtest/gtest.h>

#include <cmath>

#include "simulator/CarModel.h"

namespace {

BoardIo withOutputs(int mask) {
    BoardIo io;
    io.outputs = mask;
    return io;
}

TEST(CarModel, OutputsDriveTheWheels) {
    struct Case {
        const char* what;
        int outputs;
        double dx, dy, heading;
    };
    // One second from the middle, facing up, at full speed (250 mm/s a wheel).
    // M_PI is not standard C++: Windows headers leave it out.
    const double spin = 2 * 250.0 / (2 * CarModel::kHalfWidth) * 180.0 / std::acos(-1.0);
    const Case cases[] = {
        {"forward (1 and 6)", 33, 0, 250, 0},
        {"back (2 and 5)", 18, 0, -250, 0},
        {"spin left (2 and 6)", 34, 0, 0, 360 - std::fmod(spin, 360)},
        {"spin right (1 and 5)", 17, 0, 0, std::fmod(spin, 360)},
        {"both directions of one wheel cancel", 3, 0, 0, 0},
        {"nothing on", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CarModel car;
        car.step(1000, withOutputs(c.outputs));
        EXPECT_NEAR(car.x() - 500, c.dx, 1e-6);
        EXPECT_NEAR(car.y() - 500, c.dy, 1e-6);
        EXPECT_NEAR(car.headingDegrees(), c.heading, 1e-6);
    }
}

TEST(CarModel, OneWheelTurnsTheCarTowardsTheOtherSide) {
    CarModel left;
    left.step(200, withOutputs(32));  // right wheel only
    EXPECT_GT(left.headingDegrees(), 180);
    EXPECT_LT(left.x(), 500);
    CarModel right;
    right.step(200, withOutputs(1));  // left wheel only
    EXPECT_LT(right.headingDegrees(), 180);
    EXPECT_GT(right.x(), 500);
}

TEST(CarModel, PwmSetsEachWheelsSpeed) {
    BoardIo io = withOutputs(33);
    io.setPwm(3, 51);
    io.setPwm(4, 51);
    CarModel car;
    car.step(1000, io);
    EXPECT_NEAR(car.y() - 500, 50, 1e-6);
}

TEST(CarModel, StaysInsideTheArena) {
    const double reach = std::hypot(CarModel::kHalfLength, CarModel::kHalfWidth);
    for (int mask : {33, 18, 32, 17}) {
        CarModel car;
        car.step(60000, withOutputs(mask));
        EXPECT_GE(car.x(), reach);
        EXPECT_LE(car.x(), CarModel::kArenaSize - reach);
        EXPECT_GE(car.y(), reach);
        EXPECT_LE(car.y(), CarModel::kArenaSize - reach);
    }
    CarModel car;
    car.step(10000, withOutputs(33));
    EXPECT_DOUBLE_EQ(car.y(), CarModel::kArenaSize - reach);
}

}  // namespace

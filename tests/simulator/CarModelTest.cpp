// The robot car as the user watches it: which way the outputs drive it, PWM slowing it, and
// the walls of its arena.
#include <gtest/gtest.h>

#include <cmath>

#include "simulator/CarModel.h"

namespace {

BoardIo withOutputs(int mask) {
    BoardIo io;
    io.outputs = mask;
    return io;
}

// Driven from the middle, facing up, for a second.
CarModel drivenFor(const BoardIo& io, std::int64_t ms = 1000) {
    CarModel car;
    car.step(ms, io);
    return car;
}

TEST(CarModel, OutputsDriveTheWheelsAndLowerPwmSlowsThem) {
    EXPECT_GT(drivenFor(withOutputs(33)).y(), 500) << "1 and 6: forward";
    EXPECT_LT(drivenFor(withOutputs(18)).y(), 500) << "2 and 5: back";
    for (int spin : {34, 17}) {  // one wheel forward, the other back: turns on the spot
        const CarModel car = drivenFor(withOutputs(spin), 200);
        EXPECT_NEAR(car.x(), 500, 1e-6);
        EXPECT_NEAR(car.y(), 500, 1e-6);
        EXPECT_NE(car.headingDegrees(), 0);
    }
    EXPECT_GT(drivenFor(withOutputs(32), 200).headingDegrees(), 180) << "right wheel turns left";
    EXPECT_LT(drivenFor(withOutputs(1), 200).headingDegrees(), 180) << "left wheel turns right";
    for (int still : {0, 3}) {  // nothing, or both directions of one wheel
        const CarModel car = drivenFor(withOutputs(still));
        EXPECT_EQ(car.y(), 500);
        EXPECT_EQ(car.headingDegrees(), 0);
    }
    BoardIo slow = withOutputs(33);
    slow.setPwm(3, 51);
    slow.setPwm(4, 51);
    EXPECT_GT(drivenFor(slow).y(), 500);
    EXPECT_LT(drivenFor(slow).y() - 500, (drivenFor(withOutputs(33)).y() - 500) / 2);
}

// Turned a little further each time, then driven into a wall for a minute: every corner
// stays inside the arena.
TEST(CarModel, StaysInsideTheArenaHoweverLongItDrivesIntoAWall) {
    const double reach = std::hypot(CarModel::kHalfLength, CarModel::kHalfWidth);
    for (int turnMs = 0; turnMs < 2000; turnMs += 125) {
        CarModel car;
        car.step(turnMs, withOutputs(17));
        car.step(60000, withOutputs(33));
        SCOPED_TRACE(car.headingDegrees());
        EXPECT_GE(car.x(), reach);
        EXPECT_LE(car.x(), CarModel::kArenaSize - reach);
        EXPECT_GE(car.y(), reach);
        EXPECT_LE(car.y(), CarModel::kArenaSize - reach);
    }
}

}  // namespace

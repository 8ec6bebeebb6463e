// The progress line's arithmetic: the pauses still to come, less what has passed of the
// one running, and the words a beginner reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/TransferProgress.h"

namespace {

struct Step {
    int chunksSent;
    float dt;
};

struct Case {
    const char* name;
    std::vector<int> pausesMs;
    std::vector<Step> steps;
    int millisecondsLeft;
    std::string text;
};

TEST(TransferProgress, CountsThePausesStillToComeAndWhatIsLeftOfTheRunningOne) {
    // The empty kib program: NEW, SAVE 0, RUN.
    const std::vector<int> kib{200, 1000, 200};
    const Case cases[] = {
        {"nothing sent yet: every pause lies ahead",
         kib,
         {},
         1400,
         "Sending 0 of 3 lines, about 2 s left"},
        {"writing the first chunk takes none of its pause",
         kib,
         {{0, 0.5f}},
         1400,
         "Sending 0 of 3 lines, about 2 s left"},
        {"a chunk out: its pause runs",
         kib,
         {{1, 0.f}},
         1400,
         "Sending 1 of 3 lines, about 2 s left"},
        {"part of that pause has passed",
         kib,
         {{1, 0.f}, {1, 0.15f}},
         1250,
         "Sending 1 of 3 lines, about 2 s left"},
        {"a pause longer than planned counts as over",
         kib,
         {{1, 0.f}, {1, 0.9f}},
         1200,
         "Sending 1 of 3 lines, about 2 s left"},
        {"the count jumps two chunks",
         kib,
         {{2, 0.f}, {2, 0.4f}},
         800,
         "Sending 2 of 3 lines, about 1 s left"},
        {"the last pause running",
         kib,
         {{3, 0.f}, {3, 0.1f}},
         100,
         "Sending 3 of 3 lines, about 1 s left"},
        {"every pause over", kib, {{3, 0.f}, {3, 0.3f}}, 0, "Sending 3 of 3 lines, almost done"},
        {"a count past the queue is the queue's end",
         kib,
         {{7, 0.f}},
         200,
         "Sending 3 of 3 lines, about 1 s left"},
        {"no pause at all, one line", {-5}, {}, 0, "Sending 0 of 1 line, almost done"},
        {"a tool: its second comes after the last chunk",
         {0, 0, 1000},
         {{1, 0.2f}},
         1000,
         "Sending 1 of 3 lines, about 1 s left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TransferProgress progress(c.pausesMs);
        for (const Step& step : c.steps) {
            progress.advance(step.chunksSent, step.dt);
        }
        EXPECT_EQ(progress.millisecondsLeft(), c.millisecondsLeft);
        EXPECT_EQ(progress.text(), c.text);
    }
}

}  // namespace

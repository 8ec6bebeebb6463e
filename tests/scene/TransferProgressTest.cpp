// The progress line's arithmetic: the pauses still to come, less what has passed of the
// one running, and the words a beginner reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/TransferProgress.h"

namespace {

TEST(TransferProgress, CountsThePausesStillToComeAndWhatIsLeftOfTheRunningOne) {
    struct Step {
        int chunksSent;
        float dt;
    };
    struct Case {
        std::vector<Step> steps;
        int millisecondsLeft;
        std::string text;
    };
    // The empty kib program: NEW, SAVE 0 and RUN with their pauses.
    const Case cases[] = {
        // Writing a chunk takes none of its pause.
        {{{0, 0.5f}}, 1400, "Sending 0 of 3 lines, about 2 s left"},
        {{{1, 0.f}, {1, 0.15f}}, 1250, "Sending 1 of 3 lines, about 2 s left"},
        // A pause that outlasts its plan counts as over; the count may jump.
        {{{2, 0.f}, {2, 1.5f}}, 200, "Sending 2 of 3 lines, about 1 s left"},
        {{{3, 0.f}, {3, 0.3f}}, 0, "Sending 3 of 3 lines, almost done"},
        // A count past the queue is the queue's end.
        {{{7, 0.f}}, 200, "Sending 3 of 3 lines, about 1 s left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TransferProgress progress({200, 1000, 200});
        for (const Step& step : c.steps) {
            progress.advance(step.chunksSent, step.dt);
        }
        EXPECT_EQ(progress.millisecondsLeft(), c.millisecondsLeft);
        EXPECT_EQ(progress.text(), c.text);
    }
}

}  // namespace

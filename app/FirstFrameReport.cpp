#include "app/FirstFrameReport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cocos2d.h"

USING_NS_CC;

namespace {
const char* const kVariable = "ZC_REPORT_FIRST_FRAME";
const char* const kKey = "FirstFrameReport";
// The scheduler needs a target; this report has no object of its own.
int s_target = 0;
}  // namespace

void FirstFrameReport::installIfAsked() {
    const char* value = std::getenv(kVariable);
    if (value == nullptr || *value == '\0') {
        return;
    }
    const bool exitAfter = std::strcmp(value, "exit") == 0;
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    // Runs at the start of each frame: the first time a frame has already been drawn, it
    // has been presented too, so the time is at most one frame interval late.
    scheduler->schedule(
        [scheduler, exitAfter](float) {
            Director* director = Director::getInstance();
            if (director->getDrawnFrames() == 0) {
                return;
            }
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::printf("first-frame-ns %lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
            scheduler->unschedule(kKey, &s_target);
            if (exitAfter) {
                director->end();
            }
        },
        &s_target, 0.f, false, kKey);
}

// A tool's standard output and error: read for as long as the tool writes, by the one
// reader of the link, never holding the tool, never stored whole (gigabytes go through and
// are dropped); and what a tool from an earlier play writes late is not the latest play's
// answer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Entries.h"
#include "OwnThreads.h"
#include "TempFolder.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "platform/headless/HeadlessHarness.h"

using Clock = std::chrono::steady_clock;

namespace {

// What the reader handed over, gathered safely from its thread.
struct Heard {
    std::mutex mutex;
    std::string text;
    std::size_t total = 0;
    std::string snapshot() {
        std::lock_guard<std::mutex> lock(mutex);
        return text;
    }
    ZundleCardSerialData::Heard sink(std::size_t keep) {
        return [this, keep](const char* bytes, std::size_t size) {
            std::lock_guard<std::mutex> lock(mutex);
            total += size;
            if (text.size() < keep)
                text.append(bytes, std::min(size, keep - text.size()));
        };
    }
};

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// A sanitizer checks every byte the link moves, keeps freed memory aside and adds its own.
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// The resident memory of this process, in bytes.
std::size_t residentBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    std::size_t kilobytes = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> kilobytes;
            break;
        }
    }
    return kilobytes * 1024;
}

}  // namespace

TEST(ToolAnswer, OutputAndErrorAreReadWhileTheToolRunsAndAfter) {
    const std::vector<Chunk> program = {{"10 LED 1\n", 0}, {"RUN\n", 0}};
    const struct {
        const char* name;
        const char* body;
        const char* expected;  // all of it, in order
        std::size_t atLeast;   // bytes the reader must have gone through
    } cases[] = {
        {"echo on both", "while read l; do echo \"$l\"; echo \"err $l\" >&2; done; echo OK",
         "10 LED 1\nerr 10 LED 1\nRUN\nerr RUN\nOK\n", 0},
        {"lingers", "cat >/dev/null; echo first; sleep 1.5; echo later; exec sleep 3",
         "first\nlater\n", 0},
        {"floods", "cat >/dev/null; head -c 100000000 /dev/zero; echo end", "", 100000000},
    };
    // Measured after the first tool: the reader is the reaper's one thread, made once for
    // all tools (and a sanitizer may start a thread of its own with the first one).
    std::size_t threadsAfterFirst = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string tool =
            folder.write("tool", std::string("#!/bin/sh\n") + c.body + "\n", 0755);
        Heard heard;
        TransferFailure failure;
        EXPECT_TRUE(toolEntry(tool)->sendToTool(program, {}, &failure, {}, heard.sink(4096)))
            << describeTransferFailure(failure);
        if (threadsAfterFirst == 0) {
            threadsAfterFirst = threadCount();
        }
        EXPECT_LE(threadCount(), threadsAfterFirst) << "a thread made for this tool";
        EXPECT_TRUE(eventually([&] {
            std::lock_guard<std::mutex> lock(heard.mutex);
            return heard.text.find(c.expected) == 0 && heard.total >= c.atLeast &&
                   heard.text.size() >= std::string(c.expected).size();
        })) << heard.snapshot();
        std::lock_guard<std::mutex> lock(heard.mutex);
        EXPECT_EQ(heard.text.substr(0, std::string(c.expected).size()), c.expected);
    }
}

// A tool of an earlier play that answers late: its words never reach the latest play.
TEST(ToolAnswer, ALateAnswerOfAnEarlierPlayIsDropped) {
    cocos2d::HeadlessHarness harness;
    TempFolder folder;
    folder.write("tool",
                 "#!/bin/sh\nread first\nif [ \"$first\" = old ]; then sleep 1.5; echo stale; "
                 "else echo fresh; fi\ncat >/dev/null\n",
                 0755);
    ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
    manager->setPortSource([](std::vector<devicelink::platform::PortRecord>&) { return true; });
    manager->setToolFolder(folder.path());
    bool done = false;
    const auto step = [&] {
        harness.step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    ASSERT_TRUE(manager->startSearch([&](bool) { done = true; }));
    while (!done)
        step();
    manager->selectedIndex = 0;
    for (const char* first : {"old\n", "new\n"}) {
        done = false;
        ASSERT_TRUE(manager->startPlay(planOf({{first, 0}}, TargetKind::Tool),
                                       [&](const TransferResult&) { done = true; }));
        while (!done)
            step();
    }
    std::string taken;
    const auto until = Clock::now() + std::chrono::milliseconds(2500);
    while (Clock::now() < until) {
        step();
        taken += manager->takeReceived().bytes;
    }
    EXPECT_EQ(taken, "fresh\n");
    manager->setPortSource({});
    manager->setToolFolder("");
}

// A tool that writes gigabytes without a line end, then a last word: the link reads all of
// it, keeps only the newest bytes between two takes, and the last word still arrives.
TEST(ToolAnswer, GigabytesFromAToolAreReadAndDropped) {
    cocos2d::HeadlessHarness harness;
    TempFolder folder;
    // Under a sanitizer, a thousand times the inbox still floods it.
    constexpr std::size_t kWritten = kSanitized ? std::size_t(256) << 20 : std::size_t(2) << 30;
    folder.write("tool",
                 "#!/bin/sh\ncat >/dev/null\nhead -c " + std::to_string(kWritten) +
                     " /dev/zero\necho 'last word'\n",
                 0755);
    ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
    manager->setPortSource([](std::vector<devicelink::platform::PortRecord>&) { return true; });
    manager->setToolFolder(folder.path());
    bool done = false;
    ASSERT_TRUE(manager->startSearch([&](bool) { done = true; }));
    while (!done) {
        harness.step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    manager->selectedIndex = 0;
    const std::size_t before = residentBytes();
    std::size_t through = 0;
    std::size_t largestTake = 0;
    std::size_t grown = 0;
    std::string tail;
    ASSERT_TRUE(manager->startPlay(planOf({{"RUN\n", 0}}, TargetKind::Tool), [](const TransferResult&) {}));
    // Seconds in an optimised build; a sanitizer checks every byte the link moves.
    const auto until = Clock::now() + std::chrono::seconds(300);
    while (Clock::now() < until && tail.find("last word") == std::string::npos) {
        harness.step();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        BoardInbox::Taken taken = manager->takeReceived();
        through += taken.bytes.size() + taken.dropped;
        largestTake = std::max(largestTake, taken.bytes.size());
        tail += taken.bytes;
        tail.erase(0, tail.size() > 64 ? tail.size() - 64 : 0);
        grown = std::max(grown, residentBytes() > before ? residentBytes() - before : 0);
    }
    EXPECT_NE(tail.find("last word\n"), std::string::npos) << "the tool's output was not read";
    EXPECT_EQ(through, kWritten + 10);
    EXPECT_LE(largestTake, BoardInbox::kHeldBytes);
    if (!kSanitized) {
        EXPECT_LT(grown, std::size_t(64) << 20) << "the output is held, not dropped";
    }
    while (manager->isSending()) {
        harness.step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    harness.steps(3);
    manager->setPortSource({});
    manager->setToolFolder("");
}

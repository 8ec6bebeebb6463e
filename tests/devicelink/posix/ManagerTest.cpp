#include <gtest/gtest.h>

#include <sys/file.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "Entries.h"
#include "FakeSysfs.h"
#include "PseudoTerminal.h"
#include "TempFolder.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "devicelink/posix/SysfsPorts.h"
#include "platform/headless/HeadlessHarness.h"

using devicelink::platform::PortRecord;
using Kind = TransferFailure::Kind;

namespace {

// What one completion callback saw.
struct Calls {
    int count = 0;
    bool lastResult = false;
    bool onMainThread = true;
    bool workerStillFlagged = false;
    int selectedIndexSeen = -1;
    std::size_t devicesSeen = 0;
    Kind failureSeen = Kind::None;
};

class Manager : public ::testing::Test {
protected:
    void SetUp() override {
        manager = ZundleCardSerialManager::getInstance();
        manager->devices.clear();
        manager->sendQueue.clear();
        manager->selectedIndex = 0;
        manager->setPortSource([](std::vector<PortRecord>&) { return true; });
        manager->setToolFolder("/nonexistent/zc/exe");
    }

    void TearDown() override {
        // Every test leaves the manager idle for the next one.
        EXPECT_FALSE(manager->isSearching());
        EXPECT_FALSE(manager->isSending());
        manager->setPortSource({});
        manager->setToolFolder("");
        manager->setLinkSettings({});
    }

    ZundleCardSerialManager::Callback recorder(Calls& calls) {
        const auto mainThread = std::this_thread::get_id();
        return [this, &calls, mainThread](bool result) {
            ++calls.count;
            calls.lastResult = result;
            calls.onMainThread = calls.onMainThread && std::this_thread::get_id() == mainThread;
            calls.workerStillFlagged = manager->isSending();
            calls.selectedIndexSeen = manager->selectedIndex;
            calls.devicesSeen = manager->devices.size();
            calls.failureSeen = manager->getLastFailure().kind;
        };
    }

    // Runs frames of a fixed time step until the condition holds. The worker does real
    // I/O on a real thread, so each frame also yields a millisecond of real time.
    bool stepUntil(const std::function<bool()>& condition, int maxFrames = 30000) {
        for (int frame = 0; frame < maxFrames; ++frame) {
            if (condition())
                return true;
            harness.step();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }

    void usePorts(std::vector<PortRecord> ports) {
        manager->setPortSource([ports](std::vector<PortRecord>& out) {
            out.insert(out.end(), ports.begin(), ports.end());
            return true;
        });
    }

    // Runs a discovery to its end.
    void discover() {
        Calls calls;
        ASSERT_TRUE(manager->startSearch(recorder(calls)));
        ASSERT_TRUE(stepUntil([&] { return calls.count == 1; }));
    }

    void queue(const std::vector<std::pair<std::string, int>>& chunks) {
        for (const auto& c : chunks) {
            manager->sendQueue.pushBack(SendData::create(c.first, c.second));
        }
    }

    cocos2d::HeadlessHarness harness;
    ZundleCardSerialManager* manager = nullptr;
};

}  // namespace

TEST_F(Manager, DiscoveryCallsBackOnceOnTheMainThreadAfterTheWorker) {
    TempFolder folder;
    folder.write("flash", "#!/bin/sh\ncat >/dev/null\n", 0755);
    usePorts({{"ttyUSB0", "CP2102"}, {"ttyS0", ""}, {"ttyACM0", "Board"}});
    manager->setToolFolder(folder.path());

    Calls calls;
    ASSERT_TRUE(manager->startSearch(recorder(calls)));
    EXPECT_TRUE(manager->isSearching());
    ASSERT_TRUE(stepUntil([&] { return calls.count > 0; }));
    harness.steps(30);

    EXPECT_EQ(calls.count, 1);
    EXPECT_TRUE(calls.lastResult);
    EXPECT_TRUE(calls.onMainThread);
    EXPECT_EQ(calls.devicesSeen, 3u);
    EXPECT_FALSE(manager->isSearching());
    ASSERT_EQ(manager->devices.size(), 3u);
    EXPECT_EQ(manager->devices.at(0)->name, "ttyUSB0");
    EXPECT_EQ(manager->devices.at(1)->name, "ttyACM0");
    EXPECT_EQ(manager->devices.at(2)->name, "flash");
}

// Play goes to the first entry: with no board plugged in, that must be a tool such as the
// board simulator, not the computer's own UART.
TEST_F(Manager, ComputersOwnPortsAreListedAfterTheTools) {
    FakeSysfs sys;
    sys.addPortOnBuses("ttyS0", {{"platform", ""}, {"serial8250", "platform"}});
    sys.addPortOnBuses("ttyS1", {{"pnp0", ""}, {"00:04", "pnp"}});
    sys.addPortOnBuses("ttyS4",
                       {{"pci0000:00", ""}, {"0000:00:1c.0", "pci"}, {"0000:03:00.0", "pci"}});
    sys.addPortOnBuses("ttyUSB0", {{"pci0000:00", ""},
                                   {"0000:00:14.0", "pci"},
                                   {"usb1", "usb"},
                                   {"1-2", "usb"},
                                   {"1-2:1.0", "usb"},
                                   {"ttyUSB0", "usb-serial"}});
    manager->setPortSource([&sys](std::vector<PortRecord>& out) {
        return devicelink::platform::listSysfsPorts(sys.root(), {}, out);
    });
    TempFolder tools;
    tools.write("flash", "#!/bin/sh\ncat >/dev/null\n", 0755);
    tools.write("board-simulator", "#!/bin/sh\ncat >/dev/null\n", 0755);
    manager->setToolFolder(tools.path());
    discover();

    std::vector<std::string> names;
    for (const ZundleCardSerialData* entry : manager->devices) {
        names.push_back(entry->name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ttyS4", "ttyUSB0", "board-simulator", "flash",
                                               "ttyS0", "ttyS1"}));
}

TEST_F(Manager, RequestsDuringADiscoveryAreRefusedSilently) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    manager->setPortSource([released](std::vector<PortRecord>& out) {
        released.wait();
        out.push_back({"ttyUSB0", "CP2102"});
        return true;
    });
    Calls first;
    Calls refused;
    ASSERT_TRUE(manager->startSearch(recorder(first)));
    harness.steps(12);
    EXPECT_FALSE(manager->startSearch(recorder(refused)));
    EXPECT_FALSE(manager->startSend(recorder(refused)));

    release.set_value();
    ASSERT_TRUE(stepUntil([&] { return first.count > 0; }));
    harness.steps(30);
    EXPECT_EQ(first.count, 1);
    EXPECT_EQ(refused.count, 0);
}

TEST_F(Manager, StartSendWithNoEntryIsRefused) {
    Calls calls;
    queue({{"10 LED 1\n", 0}});
    EXPECT_FALSE(manager->startSend(recorder(calls)));
    EXPECT_FALSE(manager->isSending());
    harness.steps(30);
    EXPECT_EQ(calls.count, 0);
}

TEST_F(Manager, ShrinkingDiscoveryBringsTheChoiceBackToTheFirstEntry) {
    usePorts({{"ttyUSB0", "a"}, {"ttyUSB1", "b"}, {"ttyUSB2", "c"}});
    discover();
    manager->selectedIndex = 1;
    discover();
    EXPECT_EQ(manager->selectedIndex, 1) << "a choice still in range is kept";

    manager->selectedIndex = 2;
    usePorts({{"ttyUSB0", "a"}});
    Calls calls;
    ASSERT_TRUE(manager->startSearch(recorder(calls)));
    ASSERT_TRUE(stepUntil([&] { return calls.count == 1; }));
    EXPECT_EQ(calls.selectedIndexSeen, 0) << "fixed before the callback runs";

    usePorts({});
    discover();
    EXPECT_TRUE(manager->devices.empty());
    EXPECT_EQ(manager->selectedIndex, 0);
}

// The worker has cleared its flag, but no poll has run yet: the slot is still taken.
TEST_F(Manager, StartBeforeThePollHasCompletedTheLastWorkerIsRefused) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    usePorts({{terminal.portName(), "pseudo-terminal"}});
    discover();
    queue({{"10 LED 1\n", 0}});
    BoardReader reader(terminal, 9);

    Calls sent;
    Calls refused;
    ASSERT_TRUE(manager->startSend(recorder(sent)));
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (manager->isSending() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(manager->isSending());
    EXPECT_FALSE(manager->startSearch(recorder(refused)));
    EXPECT_FALSE(manager->startSend(recorder(refused)));

    harness.steps(7);  // one poll interval
    EXPECT_EQ(sent.count, 1);
    EXPECT_TRUE(sent.lastResult);
    Calls later;
    EXPECT_TRUE(manager->startSearch(recorder(later)));
    ASSERT_TRUE(stepUntil([&] { return later.count == 1; }));
    EXPECT_EQ(refused.count, 0);
    reader.join();
    EXPECT_EQ(reader.received(), "10 LED 1\n");
}

TEST_F(Manager, TransferCallbackTellsWhetherTheChunksGotThrough) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    usePorts({{terminal.portName(), "pseudo-terminal"}});
    discover();
    queue({{"10 LED 1\n", 30}, {"20 WAIT 100\n", 30}, {"RUN\n", 0}});
    const std::string program = "10 LED 1\n20 WAIT 100\nRUN\n";

    {
        ASSERT_EQ(::flock(terminal.keeperFd(), LOCK_EX | LOCK_NB), 0);
        Calls busy;
        ASSERT_TRUE(manager->startSend(recorder(busy)));
        ASSERT_TRUE(stepUntil([&] { return busy.count > 0; }));
        EXPECT_FALSE(busy.lastResult);
        EXPECT_EQ(busy.failureSeen, Kind::PortBusy);
        EXPECT_EQ(manager->getChunksSent(), 0);
        EXPECT_FALSE(terminal.hasInput(0));
        ASSERT_EQ(::flock(terminal.keeperFd(), LOCK_UN), 0);
    }

    BoardReader reader(terminal, program.size());
    Calls good;
    Calls refused;
    std::vector<int> progress;
    ASSERT_TRUE(manager->startSend(recorder(good)));
    EXPECT_FALSE(manager->startSearch(recorder(refused)));
    ASSERT_TRUE(stepUntil([&] {
        progress.push_back(manager->getChunksSent());
        return good.count > 0;
    }));
    harness.steps(30);
    reader.join();

    EXPECT_EQ(good.count, 1);
    EXPECT_TRUE(good.lastResult);
    EXPECT_EQ(good.failureSeen, Kind::None);
    EXPECT_TRUE(good.onMainThread);
    EXPECT_FALSE(good.workerStillFlagged);
    EXPECT_EQ(refused.count, 0);
    EXPECT_EQ(reader.received(), program);
    EXPECT_EQ(manager->getChunksSent(), 3);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(manager->sendQueue.size(), 3u) << "the queue is kept for the run flow to clear";
}

TEST_F(Manager, TransferGoesToTheEntryChosenWhenItStarted) {
    PseudoTerminal first;
    PseudoTerminal second;
    ASSERT_TRUE(first.valid() && second.valid());
    usePorts({{first.portName(), "one"}, {second.portName(), "two"}});
    discover();
    queue({{"A", 60}, {"B", 0}});
    BoardReader reader(second, 2);

    manager->selectedIndex = 1;
    Calls calls;
    ASSERT_TRUE(manager->startSend(recorder(calls)));
    // A choice and a new queue made during the transfer apply to the next one only.
    manager->selectedIndex = 0;
    manager->sendQueue.clear();
    ASSERT_TRUE(stepUntil([&] { return calls.count > 0; }));
    reader.join();
    EXPECT_TRUE(calls.lastResult);
    EXPECT_EQ(reader.received(), "AB");
    EXPECT_FALSE(first.hasInput(0));
}

TEST_F(Manager, TransferToAToolThatCannotStartReportsFalse) {
    auto* tool = toolEntry("/nonexistent/zc/exe/missing");
    manager->devices.pushBack(tool);
    queue({{"10 LED 1\n", 0}});
    Calls calls;
    ASSERT_TRUE(manager->startSend(recorder(calls)));
    ASSERT_TRUE(stepUntil([&] { return calls.count > 0; }));
    EXPECT_FALSE(calls.lastResult);
    EXPECT_EQ(calls.count, 1);
    EXPECT_EQ(calls.failureSeen, Kind::ToolMissing);
    EXPECT_EQ(manager->getLastFailure().target, "missing");
}

// A board that stops taking data must not keep the worker, and with it play, stop and
// reload, for ever.
TEST_F(Manager, StalledPortEndsTheTransferAndFreesTheLink) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.valid());
    usePorts({{terminal.portName(), "pseudo-terminal"}});
    discover();
    queue({{std::string(256 * 1024, 'x'), 0}});
    devicelink::platform::LinkSettings settings;
    settings.stallLimitMs = 100;
    manager->setLinkSettings(settings);

    Calls calls;
    ASSERT_TRUE(manager->startSend(recorder(calls)));
    ASSERT_TRUE(stepUntil([&] { return calls.count > 0; }, 5000));
    EXPECT_FALSE(calls.lastResult);
    EXPECT_EQ(calls.failureSeen, Kind::PortStalled);
    Calls search;
    EXPECT_TRUE(manager->startSearch(recorder(search)));
    ASSERT_TRUE(stepUntil([&] { return search.count > 0; }));
}

TEST_F(Manager, CallbackMayStartTheNextRequest) {
    Calls second;
    bool chained = false;
    ASSERT_TRUE(
        manager->startSearch([&](bool) { chained = manager->startSearch(recorder(second)); }));
    ASSERT_TRUE(stepUntil([&] { return second.count > 0; }));
    EXPECT_TRUE(chained);
    harness.steps(30);
    EXPECT_EQ(second.count, 1);
}

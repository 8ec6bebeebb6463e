// The manager's one worker on a real thread, seen from the main thread: one callback after
// the worker has ended, nothing started while a worker is registered, and a transfer that
// goes where the user chose when play was pressed.
#include <gtest/gtest.h>

#include <sys/file.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "Entries.h"
#include "PseudoTerminal.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "platform/headless/HeadlessHarness.h"

using devicelink::platform::PortRecord;
using Kind = TransferFailure::Kind;

namespace {

// What the completion callbacks saw.
struct Calls {
    int count = 0;
    bool result = false;
    bool onMainThread = true;
    Kind failure = Kind::None;
    int selectedIndex = -1;
};

class Manager : public ::testing::Test {
protected:
    void SetUp() override {
        manager->devices.clear();
        manager->selectedIndex = 0;
        manager->setPortSource([](std::vector<PortRecord>&) { return true; });
        manager->setToolFolder("/nonexistent/zc/exe");
    }

    void TearDown() override {
        EXPECT_FALSE(manager->isSearching());
        EXPECT_FALSE(manager->isSending());
        manager->setPortSource({});
        manager->setToolFolder("");
    }

    // Records a discovery's or a transfer's end.
    struct Recorder {
        Calls* calls;
        std::thread::id main;
        void operator()(bool result) const { note(result, Kind::None); }
        void operator()(const TransferResult& result) const {
            note(result.whole, result.failure.kind);
        }
        void note(bool result, Kind failure) const {
            ++calls->count;
            calls->result = result;
            calls->onMainThread = calls->onMainThread && std::this_thread::get_id() == main;
            calls->failure = failure;
            calls->selectedIndex = ZundleCardSerialManager::getInstance()->selectedIndex;
        }
    };
    Recorder recorder(Calls& calls) const { return {&calls, std::this_thread::get_id()}; }
    // A plan of the chunks to the chosen entry.
    TransferPlan planFor(std::vector<Chunk> chunks) const {
        return planOf(std::move(chunks), manager->chosenKind().value_or(TargetKind::SerialPort));
    }

    // Runs frames of a fixed time step until the calls have come. The worker does real I/O
    // on a real thread, so each frame also yields a millisecond of real time.
    bool stepUntilCalled(const Calls& calls) {
        for (int frame = 0; frame < 30000 && calls.count == 0; ++frame) {
            harness.step();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        harness.steps(30);
        return calls.count == 1;
    }

    void usePorts(std::vector<PortRecord> ports) {
        manager->setPortSource([ports](std::vector<PortRecord>& out) {
            out.insert(out.end(), ports.begin(), ports.end());
            return true;
        });
    }

    Calls discover() {
        Calls calls;
        EXPECT_TRUE(manager->startSearch(recorder(calls)));
        EXPECT_TRUE(stepUntilCalled(calls));
        return calls;
    }

    cocos2d::HeadlessHarness harness;
    ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
};

}  // namespace

TEST_F(Manager, DiscoveryCallsBackOnceOnTheMainThreadAndRefusesRequestsMeanwhile) {
    std::promise<void> release;
    manager->setPortSource([released = release.get_future().share()](std::vector<PortRecord>& out) {
        released.wait();
        out.push_back({"ttyUSB0", "CP2102"});
        return true;
    });
    Calls first, refused, chained;
    ASSERT_TRUE(manager->startSearch([&, recordFirst = recorder(first)](bool result) {
        recordFirst(result);
        // The callback may start the next request.
        EXPECT_TRUE(manager->startSearch(recorder(chained)));
    }));
    harness.steps(12);
    EXPECT_TRUE(manager->isSearching());
    EXPECT_FALSE(manager->startSearch(recorder(refused)));
    EXPECT_FALSE(manager->startSend(planFor({}), recorder(refused)));
    release.set_value();
    ASSERT_TRUE(stepUntilCalled(chained));
    EXPECT_EQ(first.count, 1);
    EXPECT_TRUE(first.result && first.onMainThread);
    EXPECT_EQ(refused.count, 0);
    ASSERT_EQ(manager->devices.size(), 1u);
    EXPECT_EQ(manager->devices.at(0)->name, "ttyUSB0");
}

TEST_F(Manager, ChoiceOutsideAShrunkenListComesBackToTheFirstEntry) {
    usePorts({{"ttyUSB0", "a"}, {"ttyUSB1", "b"}, {"ttyUSB2", "c"}});
    discover();
    manager->selectedIndex = 1;
    discover();
    EXPECT_EQ(manager->selectedIndex, 1) << "a choice still in range is kept";
    manager->selectedIndex = 2;
    usePorts({{"ttyUSB0", "a"}});
    EXPECT_EQ(discover().selectedIndex, 0) << "fixed before the callback runs";
    usePorts({});
    EXPECT_EQ(discover().selectedIndex, 0);
    Calls calls;
    EXPECT_FALSE(manager->startSend(planFor({{"10 LED 1\n", 0}}), recorder(calls)))
        << "no entry to send to";
}

// A choice made during the transfer applies to the next one only. The worker
// clears its flag before the poll has joined it: until then the slot stays taken.
TEST_F(Manager, TransferGoesToTheEntryChosenWhenItStarted) {
    PseudoTerminal first;
    PseudoTerminal second;
    ASSERT_TRUE(first.valid() && second.valid());
    usePorts({{first.portName(), "one"}, {second.portName(), "two"}});
    discover();
    manager->selectedIndex = 1;
    const TransferPlan plan = planFor({{"10 LED 1\n", 30}, {"20 WAIT 100\n", 30}, {"RUN\n", 30}});
    BoardReader reader(second, 25);
    Calls sent, refused;
    ASSERT_TRUE(manager->startSend(plan, recorder(sent)));
    manager->selectedIndex = 0;
    EXPECT_FALSE(manager->startSearch(recorder(refused)));
    eventually([&] { return !manager->isSending(); });
    EXPECT_FALSE(manager->startSend(plan, recorder(refused)));
    ASSERT_TRUE(stepUntilCalled(sent));
    EXPECT_TRUE(sent.result && sent.onMainThread);
    EXPECT_EQ(sent.failure, Kind::None);
    EXPECT_EQ(refused.count, 0);
    EXPECT_EQ(manager->getChunksSent(), 3);
    reader.join();
    EXPECT_EQ(reader.received(), "10 LED 1\n20 WAIT 100\nRUN\n");
    EXPECT_FALSE(first.hasInput(0));
}

// Whoever started the transfer hears why it did not get through, with the result itself.
TEST_F(Manager, AFailedTransferTellsItsReasonWithItsEnd) {
    usePorts({{"ttyZC404", "unplugged meanwhile"}});
    discover();
    Calls failed;
    ASSERT_TRUE(manager->startSend(planFor({{"RUN\n", 0}}), recorder(failed)));
    ASSERT_TRUE(stepUntilCalled(failed));
    EXPECT_FALSE(failed.result);
    EXPECT_EQ(failed.failure, Kind::PortMissing);
}

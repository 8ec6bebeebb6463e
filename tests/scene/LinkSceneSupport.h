// The workspace with a device link that really sends: rediscovering given ports and tools
// through the reload spinner, stepping frames while a worker runs on its own thread, and
// waiting for the transfer to end.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "FieldTestSupport.h"

namespace fieldtest {

class LinkSceneTest : public FieldSceneTest {
protected:
    void SetUp() override {
        FieldSceneTest::SetUp();
        finishPortSearch();
    }

    void TearDown() override {
        // A transfer still running would call back into the next test's scene.
        ASSERT_TRUE(stepUntil([] { return !link()->isSending(); }));
        harness.steps(10);
        link()->selectedIndex = 0;
        FieldSceneTest::TearDown();
    }

    static ZundleCardSerialManager* link() { return ZundleCardSerialManager::getInstance(); }

    // Steps frames, yielding a millisecond of real time each to the worker, until the
    // condition holds or about 30 s have passed.
    bool stepUntil(const std::function<bool()>& condition) {
        for (int frame = 0; frame < 30000 && !condition(); ++frame) {
            harness.step();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }

    // Opens the settings bar and searches again through the reload spinner, finding these
    // ports and the tools of this folder.
    void rediscover(std::vector<devicelink::platform::PortRecord> ports,
                    const std::string& toolFolder = "/nonexistent/zc-scene-tests/exe") {
        link()->setPortSource([ports](std::vector<devicelink::platform::PortRecord>& out) {
            out.insert(out.end(), ports.begin(), ports.end());
            return true;
        });
        link()->setToolFolder(toolFolder);
        if (!scene->settingsBarOpen) {
            harness.tap(centreOf(scene->settingsGear));
            harness.steps(20);
        }
        harness.tap(centreOf(scene->reloadSpinner));
        finishPortSearch();
        harness.step();
    }
};

}  // namespace fieldtest

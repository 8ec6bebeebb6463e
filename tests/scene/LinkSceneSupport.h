// The workspace with a device link that really sends: helpers to rediscover a given list
// of ports and tools through the reload spinner, to step frames while a worker runs on its
// own thread, and to read the notice and progress line.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "FieldTestSupport.h"
#include "scene/NoticeStrip.h"

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

    // Steps frames, yielding a millisecond of real time each for the worker, until the
    // condition holds or about 30 s of real time have passed.
    bool stepUntil(const std::function<bool()>& condition) {
        for (int frame = 0; frame < 30000; ++frame) {
            if (condition()) {
                return true;
            }
            harness.step();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }

    void openSettingsBar() {
        if (!scene->settingsBarOpen) {
            harness.tap(centreOf(scene->settingsGear));
        }
        harness.steps(20);
    }

    // Searches again, through the reload spinner, finding these ports and the tools of
    // this folder.
    void rediscover(std::vector<devicelink::platform::PortRecord> ports,
                    const std::string& toolFolder = "/nonexistent/zc-scene-tests/exe") {
        link()->setPortSource([ports](std::vector<devicelink::platform::PortRecord>& out) {
            out.insert(out.end(), ports.begin(), ports.end());
            return true;
        });
        link()->setToolFolder(toolFolder);
        openSettingsBar();
        harness.tap(centreOf(scene->reloadSpinner));
        finishPortSearch();
        harness.step();
    }

    // The message shown now, or "" when there is none.
    std::string noticeText() const {
        const auto* strip = dynamic_cast<const NoticeStrip*>(scene->notice);
        return strip == nullptr ? "" : strip->getText();
    }
    std::string progressText() const {
        const auto* strip = dynamic_cast<const NoticeStrip*>(scene->progressLine);
        return strip == nullptr ? "" : strip->getText();
    }
};

}  // namespace fieldtest

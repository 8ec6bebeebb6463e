// What the user asks of the window as a whole, through the view's input path: files
// dropped onto it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"

USING_NS_CC;

TEST(WindowRequests, EveryDroppedFileReachesTheCallbackInOrderAndNoneIsNeeded) {
    HeadlessHarness harness;
    harness.dropFile("/tmp/dropped before anyone listens.json");  // nobody to tell: no harm

    std::vector<std::string> opened;
    harness.view()->setFileDropCallback([&](const std::string& path) { opened.push_back(path); });
    harness.dropFile("/home/anna/Ampel.json");
    harness.dropFile("/home/anna/Lauflicht \xc3\xbc.json");
    EXPECT_EQ(opened, (std::vector<std::string>{"/home/anna/Ampel.json",
                                                "/home/anna/Lauflicht \xc3\xbc.json"}));
    EXPECT_FALSE(harness.view()->windowShouldClose());

    // Several files of one drop come from the window in one batch, handled at the next frame.
    backend::InputEvent drop;
    drop.type = backend::InputEvent::Type::FileDropped;
    opened.clear();
    for (const char* path : {"/a.json", "/b.json", "/c.json"}) {
        drop.text = path;
        harness.platformView().queueEvent(drop);
    }
    harness.step();
    EXPECT_EQ(opened, (std::vector<std::string>{"/a.json", "/b.json", "/c.json"}));

    harness.view()->setFileDropCallback(nullptr);
    harness.dropFile("/d.json");
    EXPECT_EQ(opened.size(), 3u);
}

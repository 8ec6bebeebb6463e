// The whole workspace as init builds it: where every control stands, what is drawn over
// what, and the start-up state (settings bar closed, spinner turning until the first port
// search has ended, then the first entry or "Not Found ...").
#include <algorithm>
#include <string>
#include <vector>

#include "FieldTestSupport.h"

USING_NS_CC;
using fieldtest::FieldSceneTest;

namespace {

using WorkspaceLayoutTest = FieldSceneTest;

TEST_F(WorkspaceLayoutTest, ControlsStandWhereTheLayoutFormulasPutThem) {
    struct Case {
        const char* name;
        const Node* node;
        Vec2 position;
    };
    ASSERT_EQ(scene->cardSetTabs.size(), 3u);
    const std::vector<Case> cases{
        {"trash marker", scene->trashMarker, Vec2(1024.f - 40.f - 40.f, 768.f - 40.f - 40.f)},
        {"palette panel", scene->palettePanel, Vec2::ZERO},
        {"palette list", scene->paletteList, Vec2(5.f, 5.f)},
        {"up arrow", scene->pageUpButton, Vec2(137.5f, 768.f - 12.f - 53.f + 5.f)},
        {"down arrow", scene->pageDownButton, Vec2(137.5f, 12.f)},
        {"basic tab", scene->cardSetTabs.at(0), Vec2(42.5f + 5.f, 768.f - 21.5f - 5.f)},
        {"tumbrel tab", scene->cardSetTabs.at(1), Vec2(137.5f, 768.f - 21.5f - 5.f)},
        {"full tab", scene->cardSetTabs.at(2), Vec2(275.f - 42.5f - 5.f, 768.f - 21.5f - 5.f)},
        {"settings bar", scene->settingsBar, Vec2(0.f, -92.f)},
        {"port field", scene->portField, Vec2(275.f + 15.f + 50.f + 15.f + 10.f + 150.f, 63.f)},
        {"port label", scene->portLabel, Vec2(340.f + 15.f + 20.f, 63.f)},
        {"reload spinner", scene->reloadSpinner, Vec2(515.f + 150.f, 63.f)},
        {"credit label", scene->creditLabel, Vec2(1016.f, 10.f)},
        {"version label", scene->versionLabel, Vec2(278.f, 10.f)},
        {"settings gear", scene->settingsGear, Vec2(1024.f - 15.f - 10.f, 100.f + 15.f + 10.f)},
        {"dialect button", scene->dialectButton, Vec2(1024.f - 40.f - 10.f, 384.f + 120.f)},
        {"play button", scene->playButton, Vec2(1024.f - 40.f - 30.f, 384.f)},
        {"stop button", scene->stopButton, Vec2(1024.f - 30.f - 10.f, 384.f - 120.f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.node, nullptr);
        EXPECT_FLOAT_EQ(c.node->getPosition().x, c.position.x);
        EXPECT_FLOAT_EQ(c.node->getPosition().y, c.position.y);
    }
    EXPECT_EQ(scene->palettePanel->getContentSize(), Size(275.f, 768.f));
    EXPECT_EQ(scene->paletteList->getViewSize(), Size(265.f, 710.f));
    EXPECT_EQ(scene->trashMarker->getOpacity(), 0);
    EXPECT_EQ(scene->portLabel->getAnchorPoint(), Vec2(0.f, 0.5f));
    EXPECT_EQ(scene->portLabel->getDimensions(), Size(280.f, 32.f));
    EXPECT_EQ(scene->creditLabel->getAnchorPoint(), Vec2(1.f, 0.f));
    EXPECT_EQ(scene->versionLabel->getString(), "Ver 0.6.4");
    EXPECT_EQ(scene->versionLabel->getTextColor(), FieldScene::kLightBlue);
    EXPECT_EQ(scene->creditLabel->getTextColor(), FieldScene::kLightBlue);
    // Closed, the labels lie below the window's bottom edge; the gear stays in view.
    EXPECT_LT(fieldtest::centreOf(scene->versionLabel).y, 0.f);
    EXPECT_GT(fieldtest::centreOf(scene->settingsGear).y - 15.f, 0.f);
}

TEST_F(WorkspaceLayoutTest, FieldPaletteBarStripAndFrameAreDrawnInThatOrder) {
    harness.step();
    const std::vector<std::string> pictures = harness.drawnPictures();
    const auto firstDrawn = [&pictures](const std::string& picture) {
        const auto at = std::find(pictures.begin(), pictures.end(), picture);
        EXPECT_NE(at, pictures.end()) << picture << " is not drawn";
        return at - pictures.begin();
    };
    // The trash marker, fully transparent, is not drawn at all.
    const std::vector<std::string> order{
        "res/r_field_no.png",       "res/r_card_num.png",      "res/menuup.png",
        "res/cards/r_basic_on.png", "res/r_setting_back.png",  "res/r_port.png",
        "res/r_port_input.png",     "label:Search ...",        "res/r_reload.png",
        "label:Ver 0.6.4",          "res/r_setting_back1.png", "res/r_setting.png",
        "res/r_player.png",         "res/r_play.png",          "res/r_stop.png",
        "res/r_to_kib_on.png"};
    for (std::size_t i = 1; i < order.size(); ++i) {
        EXPECT_LT(firstDrawn(order[i - 1]), firstDrawn(order[i])) << order[i];
    }
    // The frame's four bars come last, in light blue.
    const auto& draws = harness.draws();
    ASSERT_GE(draws.size(), 4u);
    for (std::size_t i = draws.size() - 4; i < draws.size(); ++i) {
        EXPECT_EQ(draws[i].texture, 0u);
        EXPECT_EQ(draws[i].colour.r, 105);
        EXPECT_EQ(draws[i].colour.g, 208);
        EXPECT_EQ(draws[i].colour.b, 238);
    }
}

TEST_F(WorkspaceLayoutTest, SpinnerTurnsUntilTheFirstSearchEndsThenTheLabelShowsTheEntry) {
    EXPECT_EQ(scene->portLabel->getString(), "Search ...");
    harness.steps(30);
    EXPECT_NE(scene->reloadSpinner->getRotation(), 0.f);
    finishPortSearch();
    harness.step();
    EXPECT_EQ(scene->portLabel->getString(), "ttyTEST0 [ Test Board ]");
    const float still = scene->reloadSpinner->getRotation();
    harness.steps(30);
    EXPECT_EQ(scene->reloadSpinner->getRotation(), still);

    // A new search from the reload spinner (on the opened bar) that finds nothing.
    ZundleCardSerialManager::getInstance()->setPortSource(
        [](std::vector<devicelink::platform::PortRecord>&) { return true; });
    harness.tap(fieldtest::centreOf(scene->settingsGear));
    harness.steps(20);
    harness.tap(fieldtest::centreOf(scene->reloadSpinner));
    EXPECT_EQ(scene->portLabel->getString(), "Search ...");
    finishPortSearch();
    harness.step();
    EXPECT_EQ(scene->portLabel->getString(), "Not Found ...");
}

}  // namespace

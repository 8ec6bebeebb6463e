// The controls: a press never reaches the field view or the palette list beneath and a
// release off a control does nothing; and the dialect chooser, which switches the field
// cards' backs.
#include <string>
#include <utility>
#include <vector>

#include "FieldTestSupport.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::FieldSceneTest;

namespace {

using ControlsTest = FieldSceneTest;

TEST_F(ControlsTest, EveryControlSwallowsItsPressAndIgnoresAReleaseOffIt) {
    finishPortSearch();
    harness.tap(centreOf(scene->settingsGear));  // so that the port controls can be reached
    harness.steps(20);
    const float paletteOffset = scene->paletteList->offset().y;
    const float fieldOffset = scene->fieldView->offset().y;
    const std::vector<std::pair<const char*, Node*>> controls{
        {"play", scene->playButton},       {"stop", scene->stopButton},
        {"dialect", scene->dialectButton}, {"gear", scene->settingsGear},
        {"port field", scene->portField},  {"reload spinner", scene->reloadSpinner},
        {"tab", scene->cardSetTabs.at(2)}};
    for (const auto& [name, node] : controls) {
        SCOPED_TRACE(name);
        harness.touchBegan(centreOf(node));
        EXPECT_FALSE(scene->fieldView->isDragging());
        EXPECT_FALSE(scene->paletteList->isDragging());
        harness.touchMoved(Vec2(640.f, 420.f));
        harness.touchEnded(Vec2(640.f, 420.f));
        harness.steps(15);
        EXPECT_EQ(scene->dialectChooser, nullptr);
        EXPECT_EQ(scene->portChooser, nullptr);
        EXPECT_TRUE(scene->settingsBarOpen);
        EXPECT_EQ(DeviceManager::getInstance()->cardSet, 0);
        EXPECT_EQ(scene->portLabel->getString(), "ttyTEST0 [ Test Board ]");
        EXPECT_FALSE(ZundleCardSerialManager::getInstance()->isSending());
        EXPECT_FLOAT_EQ(scene->fieldView->offset().y, fieldOffset);
        EXPECT_FLOAT_EQ(scene->paletteList->offset().y, paletteOffset);
    }
}

TEST_F(ControlsTest, ChoosingTheOtherDialectSwitchesItAndTheFieldCardsBacksFollow) {
    CardSprite* shown = looseCard(Vec2(600.f, 3000.f), 0, 2);
    CardSprite* turned = looseCard(Vec2(600.f, 3300.f), 2, 7);
    turned->flipped = true;
    turned->picture->setTexture(turned->backImage);
    harness.tap(centreOf(scene->dialectButton));
    ASSERT_NE(scene->dialectChooser, nullptr);
    harness.steps(8);
    harness.tap(centreOf(scene->dialectChooser->getChildByTag(1)));
    harness.steps(12);
    EXPECT_EQ(scene->dialectChooser, nullptr);
    EXPECT_EQ(DeviceManager::getInstance()->dialect, 1);
    EXPECT_NE(turned->backImage.find("vemmo"), std::string::npos);
    EXPECT_EQ(turned->picture->getTexture()->getName(), turned->backImage);
    EXPECT_EQ(shown->picture->getTexture()->getName(), shown->frontImage);
}

}  // namespace

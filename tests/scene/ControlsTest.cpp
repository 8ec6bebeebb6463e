// The press feedback of every control: dimmed while pressed, a release off it does nothing,
// and the press never reaches the field view or the palette list beneath; and the settings
// bar's slide, reversed mid-way by a second press on the gear.
#include <functional>
#include <string>
#include <vector>

#include "FieldTestSupport.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::FieldSceneTest;

namespace {

class ControlsTest : public FieldSceneTest {
protected:
    struct Control {
        std::string name;
        Node* node;
        // What shows the press: the play button dims its picture.
        std::function<GLubyte()> opacity;
    };

    std::vector<Control> controls() const {
        const auto own = [](Node* node) { return [node]() { return node->getOpacity(); }; };
        std::vector<Control> list{
            {"play", scene->playButton,
             [this]() { return scene->playButton->picture->getOpacity(); }},
            {"stop", scene->stopButton, own(scene->stopButton)},
            {"dialect", scene->dialectButton, own(scene->dialectButton)},
            {"gear", scene->settingsGear, own(scene->settingsGear)},
            {"port field", scene->portField, own(scene->portField)},
            {"reload spinner", scene->reloadSpinner, own(scene->reloadSpinner)},
        };
        for (int tab = 0; tab < 3; ++tab) {
            Sprite* node = scene->cardSetTabs.at(static_cast<std::size_t>(tab));
            list.push_back({"tab " + std::to_string(tab), node, own(node)});
        }
        return list;
    }

    void openSettingsBar() {
        harness.tap(centreOf(scene->settingsGear));
        harness.steps(20);
        ASSERT_FLOAT_EQ(scene->settingsBar->getPositionY(), 0.f);
    }
};

TEST_F(ControlsTest, EveryControlDimsWhilePressedSwallowsAndIgnoresAReleaseOffIt) {
    finishPortSearch();
    openSettingsBar();  // so that the port controls can be reached
    const float paletteOffset = scene->paletteList->offset().y;
    for (const Control& c : controls()) {
        SCOPED_TRACE(c.name);
        const Vec2 at = centreOf(c.node);
        harness.touchBegan(at);
        EXPECT_EQ(c.opacity(), 192);
        EXPECT_FALSE(scene->fieldView->isDragging());
        EXPECT_FALSE(scene->paletteList->isDragging());
        harness.touchMoved(Vec2(640.f, 420.f));
        harness.touchEnded(Vec2(640.f, 420.f));
        EXPECT_EQ(c.opacity(), 255);
        harness.steps(15);
        EXPECT_EQ(scene->dialectChooser, nullptr);
        EXPECT_FLOAT_EQ(scene->settingsBar->getPositionY(), 0.f);
        EXPECT_EQ(DeviceManager::getInstance()->cardSet, 0);
        EXPECT_EQ(scene->portLabel->getString(), "ttyTEST0 [ Test Board ]");
        EXPECT_FLOAT_EQ(scene->fieldView->offset().y, 768.f - fieldtest::kFieldHeight);
        EXPECT_FLOAT_EQ(scene->paletteList->offset().y, paletteOffset);
    }
}

TEST_F(ControlsTest, SecondPressOnTheGearReversesTheBarFromWhereItIs) {
    const Vec2 gear = centreOf(scene->settingsGear);
    harness.tap(gear);
    EXPECT_TRUE(scene->settingsBarOpen);
    harness.steps(7);
    const float midway = scene->settingsBar->getPositionY();
    ASSERT_GT(midway, -92.f);
    ASSERT_LT(midway, 0.f);
    // The gear has moved up with the bar.
    harness.tap(gear + Vec2(0.f, midway + 92.f));
    EXPECT_FALSE(scene->settingsBarOpen);
    float previous = midway;
    for (int frame = 0; frame < 15; ++frame) {
        harness.step();
        const float y = scene->settingsBar->getPositionY();
        EXPECT_LE(y, previous) << "frame " << frame;
        previous = y;
    }
    EXPECT_FLOAT_EQ(scene->settingsBar->getPositionY(), -92.f);
}

}  // namespace

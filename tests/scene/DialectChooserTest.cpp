// The dialect chooser's whole life: opening above the dialect button, choosing the other
// dialect or the current one, closing on a release anywhere off the options, presses
// during its fade-out, two fingers on the button, and the pictures of the field cards
// after a switch.
#include <string>

#include "FieldTestSupport.h"

USING_NS_CC;
using fieldtest::centreOf;
using fieldtest::FieldSceneTest;

namespace {

class DialectChooserTest : public FieldSceneTest {
protected:
    void open() {
        harness.tap(centreOf(scene->dialectButton));
        ASSERT_NE(scene->dialectChooser, nullptr);
        harness.steps(8);
    }
    Sprite* option(int dialect) const {
        return static_cast<Sprite*>(scene->dialectChooser->getChildByTag(dialect));
    }
    static std::string pictureOf(const Sprite* sprite) { return sprite->getTexture()->getName(); }
    // Runs the deferred close and the 0.1 s fade-out to its end.
    void finishClosing() { harness.steps(12); }
    int dialect() const { return DeviceManager::getInstance()->dialect; }
};

TEST_F(DialectChooserTest, OpensDimmedWithTheCurrentDialectAtTheButtonAndTheOtherLeftOfIt) {
    open();
    Layer* chooser = scene->dialectChooser;
    EXPECT_EQ(scene->getChildren().back(), chooser);
    EXPECT_EQ(chooser->getOpacity(), 255);
    auto* shade = dynamic_cast<LayerColor*>(chooser->getChildren().at(0));
    ASSERT_NE(shade, nullptr);
    EXPECT_EQ(shade->getContentSize(), Size(1024.f, 768.f));
    EXPECT_EQ(shade->getColor(), Color3B(127, 127, 127));
    EXPECT_EQ(shade->getOpacity(), 127);
    EXPECT_EQ(option(0)->getPosition(), Vec2(974.f, 504.f + 100.f));
    EXPECT_EQ(option(1)->getPosition(), Vec2(974.f - 40.f - 20.f - 40.f, 604.f));
    EXPECT_EQ(pictureOf(option(0)), "res/r_to_kib.png");
    EXPECT_EQ(pictureOf(option(1)), "res/r_to_vemmo_on.png");
}

TEST_F(DialectChooserTest, ChoosingTheOtherDialectSwitchesItAndFlipsTheFieldCardsBacks) {
    CardSprite* shown = looseCard(Vec2(600.f, 3000.f), 0, 2);
    CardSprite* turned = looseCard(Vec2(600.f, 3300.f), 2, 7);
    turned->flipped = true;
    turned->picture->setTexture(turned->backImage);
    const std::string paletteFront = scene->paletteCards.at(2)->frontImage;
    open();
    Sprite* vemmo = option(1);
    vemmo->retain();  // to see where it went once the chooser is gone
    harness.touchBegan(centreOf(vemmo));
    EXPECT_EQ(vemmo->getOpacity(), 128);
    harness.touchEnded(centreOf(vemmo));
    EXPECT_EQ(vemmo->getOpacity(), 255);
    EXPECT_EQ(dialect(), 1);
    finishClosing();
    EXPECT_EQ(vemmo->getPosition(), scene->dialectButton->getPosition());
    EXPECT_EQ(scene->dialectChooser, nullptr);
    EXPECT_TRUE(scene->dialectChooserListeners.empty());
    EXPECT_EQ(vemmo->getParent(), nullptr) << "the chooser is gone";
    vemmo->release();
    EXPECT_EQ(pictureOf(scene->dialectButton), "res/r_to_vemmo_on.png");

    const DeviceManager* catalogue = DeviceManager::getInstance();
    EXPECT_EQ(shown->backImage, catalogue->getCardImage(2, 0));
    EXPECT_EQ(pictureOf(shown->picture), shown->frontImage);
    EXPECT_EQ(turned->backImage, catalogue->getCardImage(7, 2));
    EXPECT_EQ(pictureOf(turned->picture), turned->backImage);
    EXPECT_NE(turned->backImage.find("vemmo"), std::string::npos);
    EXPECT_EQ(scene->paletteCards.at(2)->frontImage, paletteFront);
}

TEST_F(DialectChooserTest, ChoosingTheCurrentDialectOrReleasingOffTheOptionsChangesNothing) {
    struct Case {
        const char* name;
        bool onCurrentOption;
    };
    for (const Case& c : {Case{"current option", true}, Case{"dimmed area", false}}) {
        SCOPED_TRACE(c.name);
        open();
        const Vec2 at = c.onCurrentOption ? centreOf(option(0)) : Vec2(600.f, 300.f);
        harness.touchBegan(at);
        EXPECT_FALSE(scene->fieldView->isDragging()) << "the press reaches nothing beneath";
        harness.touchEnded(at);
        finishClosing();
        EXPECT_EQ(scene->dialectChooser, nullptr);
        EXPECT_EQ(dialect(), 0);
        EXPECT_EQ(pictureOf(scene->dialectButton), "res/r_to_kib_on.png");
    }
}

TEST_F(DialectChooserTest, PressOnAnOptionReleasedOffItKeepsTheChooserOpen) {
    open();
    harness.touchBegan(centreOf(option(1)));
    harness.touchEnded(Vec2(600.f, 300.f));
    harness.steps(12);
    ASSERT_NE(scene->dialectChooser, nullptr);
    EXPECT_EQ(option(1)->getOpacity(), 255);
    EXPECT_EQ(dialect(), 0);
}

TEST_F(DialectChooserTest, PressesDuringTheFadeOutReachNothing) {
    open();
    const Vec2 vemmoAt = centreOf(option(1));
    harness.tap(Vec2(600.f, 300.f));
    harness.step();  // the deferred close runs: the fade-out begins
    ASSERT_EQ(scene->dialectChooser, nullptr);
    for (const Vec2& at : {vemmoAt, Vec2(600.f, 300.f), centreOf(scene->stopButton)}) {
        harness.touchBegan(at);
        EXPECT_FALSE(scene->fieldView->isDragging());
        EXPECT_EQ(scene->stopButton->getOpacity(), 255);
        harness.touchEnded(at);
    }
    finishClosing();
    EXPECT_EQ(dialect(), 0);
    // Once it has gone, the field hears touches again.
    harness.touchBegan(Vec2(600.f, 300.f));
    EXPECT_TRUE(scene->fieldView->isDragging());
    harness.touchEnded(Vec2(600.f, 300.f));
}

TEST_F(DialectChooserTest, TwoFingersOnTheButtonOpenOneChooserThatOneTapCloses) {
    const Vec2 button = centreOf(scene->dialectButton);
    harness.touchBegan(button, 1);
    harness.touchBegan(button + Vec2(5.f, 0.f), 2);
    harness.touchEnded(button, 1);
    harness.touchEnded(button + Vec2(5.f, 0.f), 2);
    harness.steps(8);
    harness.tap(Vec2(600.f, 300.f));
    finishClosing();
    ASSERT_EQ(scene->dialectChooser, nullptr);
    harness.touchBegan(Vec2(600.f, 300.f));
    EXPECT_TRUE(scene->fieldView->isDragging()) << "a chooser still covers the workspace";
    harness.touchEnded(Vec2(600.f, 300.f));
}

}  // namespace

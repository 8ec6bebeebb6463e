// Pictures on the engine's side: one texture per file, and a missing or broken picture
// reported with where it was looked for and why.
#include <gtest/gtest.h>

#include <algorithm>

#include "EngineTestSupport.h"

USING_NS_CC;
using enginetest::picture;

namespace {

struct Report {
    std::string path;
    std::vector<std::string> places;
    std::string reason;
};

class Pictures : public ::testing::Test {
protected:
    void SetUp() override {
        Director::getInstance()->getTextureCache()->setMissingPictureHandler(
            [this](const std::string& path, const std::vector<std::string>& places,
                   const std::string& reason) {
                reports.push_back({path, places, reason});
            });
    }

    HeadlessHarness harness;
    std::vector<Report> reports;
};

}  // namespace

TEST_F(Pictures, EachFileIsDecodedOnceAndUploadedAtItsFirstDraw) {
    Sprite* a = Sprite::create(picture("card.png"));
    Sprite* b = Sprite::create(picture("card.png"));
    EXPECT_EQ(a->getTexture(), b->getTexture());
    EXPECT_EQ(harness.device().liveTextureCount(), 0u);
    harness.scene()->addChild(a);
    harness.scene()->addChild(b);
    harness.step();
    EXPECT_EQ(harness.device().liveTextureCount(), 1u);
}

TEST_F(Pictures, PicturesAndTextLiveOnTheDeviceAloneAndAreMadeAgainForANewOne) {
    Sprite* card = Sprite::create(picture("card.png"));  // 80 x 48 pixels
    Label* caption = Label::createWithSystemFont("LED on", "Helvetica", 12);
    harness.scene()->addChild(card);
    harness.scene()->addChild(caption);
    harness.step();
    for (const Texture2D* texture : {card->getTexture(), caption->getTexture()}) {
        EXPECT_TRUE(texture->getBitmap().rgba.empty())
            << texture->getName() << ": a second copy of the pixels";
    }
    EXPECT_EQ(card->getContentSize(), Size(40.f, 24.f));
    // Another device (a window made anew) needs the pixels again.
    Renderer* renderer = Director::getInstance()->getRenderer();
    renderer->setView(nullptr);
    renderer->setView(harness.view());
    card->setPosition(Vec2(10.f, 10.f));  // a frame to draw
    harness.step();
    const std::vector<std::string> drawn = harness.drawnPictures();
    for (const std::string& name : {picture("card.png"), std::string("label:LED on")}) {
        EXPECT_NE(std::find(drawn.begin(), drawn.end(), name), drawn.end()) << name;
    }
}

TEST_F(Pictures, AMissingOrBrokenPictureIsReportedWithThePlacesLookedAtAndWhy) {
    EXPECT_EQ(Sprite::create("res/no_such_picture.png"), nullptr);
    EXPECT_EQ(Sprite::create(picture("broken.png")), nullptr);
    Sprite* sprite = Sprite::create(picture("card.png"));  // 80 x 48 pixels
    sprite->setTexture("res/missing_back.png");
    EXPECT_EQ(sprite->getContentSize(), Size(40.f, 24.f));  // the old picture stays
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].path, "res/no_such_picture.png");
    EXPECT_EQ(reports[0].places,
              std::vector<std::string>{FileUtils::getInstance()->getExecutableDirectory() +
                                       "/res/no_such_picture.png"});
    EXPECT_EQ(reports[0].reason, "no such file");
    EXPECT_EQ(reports[1].places, (std::vector<std::string>{picture("broken.png")}));
    EXPECT_FALSE(reports[1].reason.empty());
}

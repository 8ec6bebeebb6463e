#include <gtest/gtest.h>

#include <filesystem>

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
    EXPECT_EQ(Director::getInstance()->getTextureCache()->getTextureCount(), 1u);
    EXPECT_EQ(harness.device().liveTextureCount(), 0u);
    harness.scene()->addChild(a);
    harness.scene()->addChild(b);
    harness.step();
    EXPECT_EQ(harness.device().liveTextureCount(), 1u);
    EXPECT_EQ(harness.drawnPictures(),
              (std::vector<std::string>{picture("card.png"), picture("card.png")}));
}

TEST_F(Pictures, SpritesMadeBeforeAnyViewExistsAreDrawnOnceOneDoes) {
    Director::getInstance()->reset();
    Sprite* early = Sprite::create(picture("square.png"));
    ASSERT_NE(early, nullptr);
    early->retain();
    HeadlessHarness later;
    later.scene()->addChild(early);
    early->release();
    later.step();
    EXPECT_EQ(later.drawnPictures(), (std::vector<std::string>{picture("square.png")}));
}

TEST_F(Pictures, AMissingPictureIsReportedWithEveryPlaceLookedAt) {
    EXPECT_EQ(Sprite::create("res/no_such_picture.png"), nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].path, "res/no_such_picture.png");
    EXPECT_EQ(reports[0].places,
              std::vector<std::string>{FileUtils::getInstance()->getExecutableDirectory() +
                                       "/res/no_such_picture.png"});
    EXPECT_EQ(reports[0].reason, "no such file");
}

TEST_F(Pictures, AnUndecodablePictureIsReportedWithTheDecodersReason) {
    EXPECT_EQ(Sprite::create(picture("broken.png")), nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].places, (std::vector<std::string>{picture("broken.png")}));
    EXPECT_FALSE(reports[0].reason.empty());
}

TEST_F(Pictures, SetTextureWithAMissingFileKeepsTheOldPicture) {
    Sprite* sprite = Sprite::create(picture("card.png"));  // 80 x 48 pixels
    Texture2D* before = sprite->getTexture();
    sprite->setTexture("res/missing_back.png");
    EXPECT_EQ(sprite->getTexture(), before);
    EXPECT_EQ(sprite->getContentSize(), Size(40.f, 24.f));
    EXPECT_EQ(reports.size(), 1u);
    sprite->setTexture(picture("square.png"));
    EXPECT_EQ(sprite->getContentSize(), Size(10.f, 10.f));
}

TEST_F(Pictures, TheDefaultReportIsOneLineNamingFilePlacesAndReason) {
    Director::getInstance()->getTextureCache()->setMissingPictureHandler(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Sprite::create("res/nothing_here.png"), nullptr);
    std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(text.find("res/nothing_here.png"), std::string::npos);
    EXPECT_NE(text.find(FileUtils::getInstance()->placesFor("res/nothing_here.png").back()),
              std::string::npos);
    EXPECT_NE(text.find("no such file"), std::string::npos);
    EXPECT_EQ(text.find('\n'), text.size() - 1);
}

TEST_F(Pictures, ColourAndOpacityModulateThePicture) {
    Sprite* sprite = Sprite::create(picture("card.png"));
    sprite->setColor(Color3B(255, 0, 128));
    sprite->setOpacity(150);
    harness.scene()->addChild(sprite);
    harness.step();
    ASSERT_EQ(harness.draws().size(), 1u);
    const auto& c = harness.draws()[0].colour;
    EXPECT_EQ((std::vector<int>{c.r, c.g, c.b, c.a}), (std::vector<int>{255, 0, 128, 150}));
}

TEST_F(Pictures, ALabelAtlasTakesOneCellPerCharacter) {
    LabelAtlas* number = LabelAtlas::create("120", picture("digits.png"), 9, 11, '0');
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->getContentSize(), Size(27.f, 11.f));
    EXPECT_EQ(number->getAnchorPoint(), Vec2::ZERO);
    harness.scene()->addChild(number);
    harness.step();
    ASSERT_EQ(harness.draws().size(), 3u);
    // "1" is the second of ten cells; "0" the first.
    EXPECT_FLOAT_EQ(harness.draws()[0].corners[0].u, 0.1f);
    EXPECT_FLOAT_EQ(harness.draws()[0].corners[1].u, 0.2f);
    EXPECT_FLOAT_EQ(harness.draws()[2].corners[0].u, 0.f);
    EXPECT_FLOAT_EQ(harness.draws()[1].corners[1].x, 18.f);

    number->setString("300");
    EXPECT_EQ(number->getString(), "300");
    number->setString("5");
    EXPECT_EQ(number->getContentSize(), Size(9.f, 11.f));
    EXPECT_EQ(LabelAtlas::create("1", "res/absent_digits.png", 9, 11, '0'), nullptr);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(Pictures, ALabelWithATextBoxTakesTheBoxSize) {
    Label* label = Label::createWithSystemFont("Search ...", "Helvetica", 12, Size(280.f, 32.f),
                                               TextHAlignment::LEFT, TextVAlignment::CENTER);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getContentSize(), Size(280.f, 32.f));
    EXPECT_EQ(label->getAnchorPoint(), Vec2::ANCHOR_MIDDLE);
    ASSERT_NE(label->getTexture(), nullptr);
    // Rendered at twice the point size for the content scale factor 2.
    EXPECT_EQ(label->getTexture()->getPixelsWide(), 560);
    EXPECT_EQ(label->getTexture()->getPixelsHigh(), 64);
    label->setTextColor(Color4B(30, 30, 30, 255));
    label->setPosition(140.f, 16.f);
    harness.scene()->addChild(label);
    harness.step();
    ASSERT_EQ(harness.draws().size(), 1u);
    EXPECT_EQ(harness.pictureOf(harness.draws()[0]), "label:Search ...");
    EXPECT_EQ(harness.draws()[0].colour.r, 30);
    EXPECT_FLOAT_EQ(harness.draws()[0].corners[0].x, 0.f);
    EXPECT_FLOAT_EQ(harness.draws()[0].corners[2].y, 768.f - 32.f);
}

TEST_F(Pictures, ALabelWithoutABoxIsAsLargeAsItsText) {
    Label* label = Label::createWithSystemFont("Ver 0.6.4", "Helvetica", 12);
    Size one = label->getContentSize();
    EXPECT_GT(one.width, 20.f);
    EXPECT_GT(one.height, 8.f);
    EXPECT_LT(one.height, 30.f);
    label->setString("Ver 0.6.4 and a much longer tail");
    EXPECT_GT(label->getContentSize().width, one.width);
    EXPECT_FLOAT_EQ(label->getContentSize().height, one.height);
    label->setString("");
    EXPECT_FLOAT_EQ(label->getContentSize().width, 0.f);
}

TEST(FileUtils, RelativeNamesAreLookedForBesideTheProgramOnly) {
    // The source tree holds tests/engine/pictures/card.png; the program's folder does not.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(ZC_SOURCE_DIR);
    FileUtils* files = FileUtils::getInstance();
    ASSERT_FALSE(files->getExecutableDirectory().empty());
    EXPECT_EQ(files->fullPathForFilename("tests/engine/pictures/card.png"), "")
        << "found in the current folder";
    // The pictures linked beside the test program are found, from whatever folder.
    EXPECT_EQ(files->fullPathForFilename("res/r_play.png"),
              files->getExecutableDirectory() + "/res/r_play.png");
    EXPECT_EQ(files->fullPathForFilename("res"), "");  // a folder is no file
    EXPECT_EQ(files->fullPathForFilename(picture("card.png")), picture("card.png"));
    EXPECT_EQ(files->placesFor("res/x.png"),
              std::vector<std::string>{files->getExecutableDirectory() + "/res/x.png"});
    std::filesystem::current_path(previous);
}

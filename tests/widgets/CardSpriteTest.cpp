// CardSprite: missing pictures, the corner button's press, turns that end as the last tap
// asked, and the loose look.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cocos2d.h"
#include "platform/headless/HeadlessHarness.h"
#include "widgets/CardSprite.h"

USING_NS_CC;

namespace {

const std::string kFront = "res/cards/basic/r_led1.png";
const std::string kBack = "res/cards/basic/kib/r_led1_kib.png";

class CardSpriteTest : public ::testing::Test {
protected:
    // A two-picture card centred at (300, 300): 200 x 120, so its corner button covers
    // (370..400, 240..270) in the world.
    CardSprite* placeCard(const std::string& back = kBack) {
        CardSprite* card = CardSprite::create(kFront, back);
        card->setPosition(300.f, 300.f);
        harness.scene()->addChild(card);
        return card;
    }

    HeadlessHarness harness;
    const Vec2 corner{385.f, 255.f};
};

TEST_F(CardSpriteTest, MissingFrontPictureGivesNoNodeAndOnePictureNeverTurns) {
    EXPECT_EQ(CardSprite::create("res/no_such_picture.png", kBack), nullptr);
    CardSprite* card = placeCard("");
    ASSERT_NE(card, nullptr);
    harness.tap(corner);
    EXPECT_FALSE(card->flipped);
}

TEST_F(CardSpriteTest, CornerShowsPressUntilReleaseAndTurnsOnlyOnReleaseInside) {
    struct Case {
        const char* name;
        Vec2 release;
        bool turns;
    };
    for (const Case& c :
         {Case{"inside", Vec2(372.f, 268.f), true}, Case{"on the edge", Vec2(400.f, 240.f), true},
          Case{"outside", Vec2(401.f, 255.f), false}}) {
        SCOPED_TRACE(c.name);
        CardSprite* card = placeCard();
        Sprite* button = card->getCornerButton();
        harness.touchBegan(corner);
        EXPECT_EQ(button->getOpacity(), 192);
        harness.touchMoved(c.release);
        harness.touchEnded(c.release);
        EXPECT_EQ(button->getOpacity(), 0);
        EXPECT_EQ(card->flipped, c.turns);
        card->removeFromParent();
    }
}

TEST_F(CardSpriteTest, TapsEndInTheStateTheLastTapAskedForTurningOnlyThePicture) {
    for (int taps : {1, 2, 3, 4}) {
        SCOPED_TRACE(std::to_string(taps) + " taps");
        CardSprite* card = placeCard();
        for (int tap = 0; tap < taps; ++tap) {
            harness.tap(corner);
            harness.steps(5);
        }
        const bool back = taps % 2 == 1;
        EXPECT_EQ(card->flipped, back);
        harness.steps(60);
        EXPECT_EQ(card->picture->getRotation3D(), Vec3(0.f, back ? 180.f : 0.f, 0.f));
        EXPECT_EQ(card->picture->getTexture()->getName(), back ? kBack : kFront);
        EXPECT_EQ(card->getRotation3D(), Vec3(0.f, 0.f, 0.f));
        card->removeFromParent();
    }
}

TEST_F(CardSpriteTest, LooseCardIsDrawnTurnedAboveAShadowAndKeepsItsBox) {
    CardSprite* card = placeCard();
    const Rect box = card->getBoundingBox();
    for (bool loose : {true, false, true}) {
        SCOPED_TRACE(loose ? "loose" : "flat");
        card->setLoose(loose);
        harness.step();
        std::vector<backend::DrawRecord> quads;
        for (const backend::DrawRecord& record : harness.draws()) {
            if (harness.pictureOf(record) == kFront) {
                quads.push_back(record);
            }
        }
        ASSERT_EQ(quads.size(), loose ? 2u : 1u);
        const backend::DrawRecord& face = quads.back();
        // A level bottom edge is a card lying flat.
        EXPECT_EQ(std::fabs(face.corners[0].y - face.corners[1].y) > 1.f, loose);
        if (loose) {
            EXPECT_LT(quads.front().colour.a, face.colour.a / 2) << "the shadow";
        }
        // The field's links and hit tests read the box: it never moves or turns.
        EXPECT_EQ(card->getBoundingBox(), box);
    }
}

TEST_F(CardSpriteTest, RemovedCardInTheMiddleOfATurnGoesCleanly) {
    CardSprite* card = placeCard();
    harness.tap(corner);
    harness.steps(3);
    card->removeFromParent();
    harness.steps(30);
}

}  // namespace

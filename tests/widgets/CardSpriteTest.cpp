// CardSprite: building with one or two pictures, missing pictures, the corner button's
// press feedback and its touches shared with the field, the turn frame by frame, and
// opacity and tint that reach the picture only.
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
const std::string kOtherBack = "res/cards/basic/vemmo/r_led1_vemmo.png";

Texture2D* texture(const std::string& path) {
    return Director::getInstance()->getTextureCache()->addImage(path);
}

class CardSpriteTest : public ::testing::Test {
protected:
    // A two-picture card centred at (300, 300): 200 x 120, so its corner button covers
    // (370..400, 240..270) in the world.
    CardSprite* placeCard() {
        CardSprite* card = CardSprite::create(kFront, kBack);
        card->setPosition(300.f, 300.f);
        harness.scene()->addChild(card);
        return card;
    }
    void stepUntilIdle(CardSprite* card) {
        for (int i = 0; i < 200 && card->picture->getNumberOfRunningActions() > 0; ++i) {
            harness.step();
        }
    }

    HeadlessHarness harness;
    const Vec2 corner{385.f, 255.f};
};

TEST_F(CardSpriteTest, OnePictureNodesHaveNoCornerButtonAndNeverTurn) {
    for (bool emptyBack : {false, true}) {
        CardSprite* card = emptyBack ? CardSprite::create(kFront, "") : CardSprite::create(kFront);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->getCornerButton(), nullptr);
        EXPECT_EQ(card->getChildrenCount(), 1);
        EXPECT_EQ(card->backImage, "");
        card->setPosition(300.f, 300.f);
        harness.scene()->addChild(card);
        harness.tap(corner);
        harness.steps(30);
        EXPECT_FALSE(card->flipped);
        EXPECT_EQ(card->picture->getRotation3D(), Vec3(0.f, 0.f, 0.f));
        card->removeFromParent();
    }
}

TEST_F(CardSpriteTest, StartsWithThePictureCoveringTheNodeAndEmptyLinks) {
    CardSprite* card = CardSprite::create(kFront, kBack);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->getContentSize(), Size(200.f, 120.f));
    EXPECT_EQ(card->getAnchorPoint(), Vec2(0.5f, 0.5f));
    EXPECT_EQ(card->picture->getPosition(), Vec2(100.f, 60.f));
    EXPECT_EQ(card->picture->getTexture(), texture(kFront));
    EXPECT_FALSE(card->flipped);
    EXPECT_EQ(card->frontImage, kFront);
    EXPECT_EQ(card->backImage, kBack);
    for (const Connector& connector : card->connectors) {
        EXPECT_EQ(connector.owner, card);
        EXPECT_EQ(connector.partner, nullptr);
    }
    // The corner button sits flush in the bottom-right corner, invisible, above the picture.
    Sprite* button = card->getCornerButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->getPosition(), Vec2(185.f, 15.f));
    EXPECT_EQ(button->getOpacity(), 0);
    EXPECT_EQ(card->getChildren().back(), button);
}

TEST_F(CardSpriteTest, MissingFrontPictureGivesNoNode) {
    EXPECT_EQ(CardSprite::create("res/no_such_picture.png"), nullptr);
    EXPECT_EQ(CardSprite::create("res/no_such_picture.png", kBack), nullptr);
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
        EXPECT_EQ(button->getOpacity(), 192);
        harness.touchEnded(c.release);
        EXPECT_EQ(button->getOpacity(), 0);
        EXPECT_EQ(card->flipped, c.turns);
        EXPECT_EQ(card->picture->getNumberOfRunningActions(), c.turns ? 1 : 0);
        card->removeFromParent();
    }
}

TEST_F(CardSpriteTest, CornerTouchReachesTheListenersBelow) {
    Node* below = Node::create();
    harness.scene()->addChild(below);
    int began = 0;
    int ended = 0;
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [&began](Touch*, Event*) { return ++began > 0; };
    listener->onTouchEnded = [&ended](Touch*, Event*) { ++ended; };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener,
                                                                                          below);
    CardSprite* card = placeCard();
    harness.tap(corner);
    EXPECT_TRUE(card->flipped);
    EXPECT_EQ(began, 1);
    EXPECT_EQ(ended, 1);
}

TEST_F(CardSpriteTest, TurnRotatesEdgeOnSwapsAtTheMiddleAndEndsShowingTheBack) {
    CardSprite* card = placeCard();
    harness.tap(corner);
    // The state changes at the tap, before anything moves.
    EXPECT_TRUE(card->flipped);
    EXPECT_EQ(card->picture->getRotation3D(), Vec3(0.f, 0.f, 0.f));
    for (int frame = 1; frame <= 25; ++frame) {
        harness.step();
        SCOPED_TRACE("frame " + std::to_string(frame));
        const Vec3 rotation = card->picture->getRotation3D();
        EXPECT_FLOAT_EQ(rotation.x, 0.f);
        EXPECT_FLOAT_EQ(rotation.z, 0.f);
        // Twelve frames of 1/60 s make each 0.2 s half; the first frame shows progress 0.
        EXPECT_NEAR(rotation.y, 7.5f * static_cast<float>(frame - 1), 1e-3f);
        EXPECT_EQ(card->picture->getTexture(), texture(frame < 13 ? kFront : kBack));
    }
    EXPECT_EQ(card->picture->getRotation3D(), Vec3(0.f, 180.f, 0.f));
    EXPECT_EQ(card->picture->getNumberOfRunningActions(), 0);
    // Only the picture turns.
    EXPECT_EQ(card->getRotation3D(), Vec3(0.f, 0.f, 0.f));
    EXPECT_EQ(card->getCornerButton()->getRotation3D(), Vec3(0.f, 0.f, 0.f));

    harness.tap(corner);
    EXPECT_FALSE(card->flipped);
    stepUntilIdle(card);
    EXPECT_EQ(card->picture->getRotation3D(), Vec3(0.f, 0.f, 0.f));
    EXPECT_EQ(card->picture->getTexture(), texture(kFront));
}

TEST_F(CardSpriteTest, TapsDuringATurnEndInTheStateTheLastTapAskedFor) {
    for (int taps : {2, 3, 4}) {
        SCOPED_TRACE(std::to_string(taps) + " taps");
        CardSprite* card = placeCard();
        for (int tap = 0; tap < taps; ++tap) {
            harness.tap(corner);
            harness.steps(5);
        }
        const bool back = taps % 2 == 1;
        EXPECT_EQ(card->flipped, back);
        stepUntilIdle(card);
        EXPECT_EQ(card->picture->getRotation3D(), Vec3(0.f, back ? 180.f : 0.f, 0.f));
        EXPECT_EQ(card->picture->getTexture(), texture(back ? kBack : kFront));
        card->removeFromParent();
    }
}

TEST_F(CardSpriteTest, BackPictureIsReadWhenThePictureStandsEdgeOn) {
    CardSprite* card = placeCard();
    harness.tap(corner);
    harness.steps(6);
    // A dialect change during the first half of the turn.
    card->backImage = kOtherBack;
    stepUntilIdle(card);
    EXPECT_EQ(card->picture->getTexture(), texture(kOtherBack));
}

TEST_F(CardSpriteTest, OpacityAndTintReachThePictureOnly) {
    CardSprite* card = placeCard();
    card->setOpacity(150);
    card->setColor(Color3B(0, 30, 70));
    EXPECT_EQ(card->picture->getOpacity(), 150);
    EXPECT_EQ(card->picture->getColor(), Color3B(0, 30, 70));
    EXPECT_EQ(card->getOpacity(), 255);
    EXPECT_EQ(card->getColor(), Color3B::WHITE);
    EXPECT_EQ(card->getCornerButton()->getOpacity(), 0);
    EXPECT_EQ(card->getCornerButton()->getColor(), Color3B::WHITE);
    // The invisible corner button is not drawn at all.
    harness.step();
    EXPECT_EQ(harness.drawnPictures(), std::vector<std::string>{kFront});
}

TEST_F(CardSpriteTest, LooseCardIsDrawnTurnedAboveAShadowAndKeepsItsBox) {
    CardSprite* card = placeCard();
    const Rect box = card->getBoundingBox();
    for (bool loose : {true, false, true}) {
        SCOPED_TRACE(loose ? "loose" : "flat");
        card->setLoose(loose);
        card->setOpacity(loose ? 255 : 150);
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
            const backend::DrawRecord& shadow = quads.front();
            EXPECT_EQ(shadow.colour.r, 0);
            EXPECT_LT(shadow.colour.a, face.colour.a / 2);
        }
        // The field's links and hit tests read the box: it never moves or turns.
        EXPECT_EQ(card->getBoundingBox(), box);
    }
}

TEST_F(CardSpriteTest, HitTestCountsEdgesAndFollowsTheParentsScale) {
    Node* parent = Node::create();
    parent->setPosition(100.f, 50.f);
    parent->setScale(0.5f);
    harness.scene()->addChild(parent);
    CardSprite* card = CardSprite::create(kFront);
    card->setPosition(200.f, 100.f);  // box (100..300, 40..160) in the parent
    parent->addChild(card);
    // In the world: (150..250, 70..130).
    EXPECT_TRUE(CardSprite::isTouchInside(card, Vec2(150.f, 70.f)));
    EXPECT_TRUE(CardSprite::isTouchInside(card, Vec2(250.f, 130.f)));
    EXPECT_FALSE(CardSprite::isTouchInside(card, Vec2(251.f, 100.f)));
    EXPECT_FALSE(CardSprite::isTouchInside(card, Vec2(200.f, 131.f)));
}

TEST_F(CardSpriteTest, RemovedCardInTheMiddleOfATurnGoesCleanly) {
    CardSprite* card = placeCard();
    harness.tap(corner);
    harness.steps(3);
    card->removeFromParent();
    harness.steps(30);
    SUCCEED();
}

}  // namespace

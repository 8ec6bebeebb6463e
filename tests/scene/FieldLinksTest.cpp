// Field coordinates, the direction test, snapping with its strict reach, holding, occupied
// slots, the group moving as one body, clamping, clusters and drawing order.
#include <algorithm>
#include <string>
#include <vector>

#include "FieldTestSupport.h"

USING_NS_CC;
using fieldtest::FieldSceneTest;
using fieldtest::kCardHalfWidth;
using fieldtest::kFieldHeight;
using fieldtest::kFieldWidth;

namespace {

using FieldLinksTest = FieldSceneTest;

TEST_F(FieldLinksTest, FieldSpaceIsTheContentFrameWhateverTheOffsetAndZoom) {
    const Vec2 expected(496.f - 108.f + 5.f, kFieldHeight - 50.f - 68.f);
    EXPECT_EQ(slotPoint(0, 0), expected);

    // A node outside the content is mapped through the world.
    Node* outside = Node::create();
    outside->setPosition(100.f, 200.f);
    harness.scene()->addChild(outside);
    scene->fieldView->setOffset(Vec2(0.f, -1000.f), false);
    EXPECT_EQ(scene->toFieldSpace(outside, Vec2(10.f, 0.f)), Vec2(110.f, 1200.f));
    scene->fieldView->setZoom(0.5f);
    const Vec2 mapped = scene->toFieldSpace(outside, Vec2(10.f, 0.f));
    const Vec2 back = scene->fieldView->getContentLayer()->convertToWorldSpace(mapped);
    EXPECT_NEAR(back.x, 110.f, 1e-3f);
    EXPECT_NEAR(back.y, 200.f, 1e-3f);
    EXPECT_EQ(slotPoint(0, 0), expected);
}

TEST_F(FieldLinksTest, ConnectorAngleIsSignedWholeDegrees) {
    CardSprite* a = looseCard(Vec2(600.f, 1000.f));
    CardSprite* b = looseCard(Vec2(600.f, 1500.f));
    struct Case {
        const char* name;
        Vec2 direction;
        std::optional<int> expected;
    };
    const Connector& cardSide = a->connectors[0];  // faces (1, 0)
    for (const Case& c :
         {Case{"opposite", Vec2(-1.f, 0.f), 180}, Case{"same", Vec2(3.f, 0.f), 0},
          Case{"quarter up", Vec2(0.f, 2.f), 90}, Case{"quarter down", Vec2(0.f, -1.f), -90},
          Case{"nearly opposite", Vec2(-1.f, 0.015f), 179},
          Case{"zero", Vec2(0.f, 0.f), std::nullopt}}) {
        SCOPED_TRACE(c.name);
        b->connectors[0].tip = b->connectors[0].point + c.direction;
        EXPECT_EQ(scene->connectorAngle(cardSide, b->connectors[0]), c.expected);
    }
    // A card's connector against a slot's faces the other way; connector 1 never faces.
    EXPECT_EQ(scene->connectorAngle(a->connectors[0], slot(3, 1)->connectors[0]), 180);
    EXPECT_EQ(scene->connectorAngle(a->connectors[1], slot(3, 1)->connectors[0]), std::nullopt);
}

TEST_F(FieldLinksTest, SnapReachIsStrictlyBelowThirtyPixels) {
    struct Case {
        float distance;
        bool links;
    };
    for (const Case& c : {Case{30.f, false}, Case{29.9f, true}, Case{0.f, true}}) {
        SCOPED_TRACE(c.distance);
        CardSprite* card = looseCard(slotPoint(4, 0) + Vec2(c.distance, 0.f));
        const Vec2 before = card->getPosition();
        pickUp(card);
        scene->moveGroup(card, Vec2::ZERO);
        EXPECT_EQ(cardAt(4, 0), c.links ? card : nullptr);
        EXPECT_EQ(card->connectors[0].partner, c.links ? slot(4, 0) : nullptr);
        EXPECT_EQ(scene->heldSlot, c.links ? slot(4, 0) : nullptr);
        if (c.links) {
            // The snap puts the attachment point on the slot's.
            EXPECT_EQ(cardPoint(card), slotPoint(4, 0));
        } else {
            EXPECT_EQ(card->getPosition(), before);
        }
        release();
        scene->removeCard(card);
    }
}

TEST_F(FieldLinksTest, ACornerNearerToTheSlotNeverKeepsTheAttachmentPointFromIt) {
    // Attachment point 9.4 pixels from the slot's, the card's bottom-left corner right on
    // the slot's; and the card's corner on the point of the slot below.
    struct Case {
        const char* name;
        Vec2 offset;
    };
    for (const Case& c :
         {Case{"corner on the slot's corner", Vec2(-5.f, -8.f)}, Case{"plain", Vec2(5.f, 8.f)}}) {
        SCOPED_TRACE(c.name);
        CardSprite* card = looseCard(slotPoint(6, 1) + c.offset);
        scene->linkToNearestSlot(card);
        EXPECT_EQ(cardAt(6, 1), card);
        EXPECT_FALSE(card->isLoose());
        scene->removeCard(card);
    }
}

TEST_F(FieldLinksTest, HeldCardStaysPutUntilTheDriftPassesThirty) {
    CardSprite* card = cardInSlot(8, 0);
    const Vec2 start = card->getPosition();
    pickUp(card);
    for (const Vec2& step : {Vec2(10.f, 0.f), Vec2(-20.f, 5.f), Vec2(15.f, -10.f), Vec2(20.f, 0.f),
                             Vec2(-20.f, 0.f)}) {
        scene->moveGroup(card, step);
        EXPECT_EQ(card->getPosition(), start);
        EXPECT_EQ(cardAt(8, 0), card);
        EXPECT_EQ(scene->heldSlot, slot(8, 0));
    }
    EXPECT_EQ(scene->holdDrift, Vec2(5.f, -5.f));
    // The step past 30 lets go, and the card is back where the hand holds it.
    scene->moveGroup(card, Vec2(30.f, 0.f));
    EXPECT_EQ(card->getPosition(), start + Vec2(35.f, -5.f));
    EXPECT_EQ(cardAt(8, 0), nullptr);
    EXPECT_EQ(card->connectors[0].partner, nullptr);
    EXPECT_EQ(scene->heldSlot, nullptr);
    EXPECT_EQ(scene->holdDrift, Vec2::ZERO);
    release();
}

TEST_F(FieldLinksTest, DraggingAcrossAnOccupiedSlotNeitherLinksNorMovesThere) {
    CardSprite* resident = cardInSlot(10, 0);
    CardSprite* card = looseCard(slotPoint(10, 0) + Vec2(-60.f, 0.f));
    pickUp(card);
    Vec2 expected = card->getPosition();
    for (int i = 0; i < 12; ++i) {
        scene->moveGroup(card, Vec2(10.f, 0.f));
        expected += Vec2(10.f, 0.f);
        EXPECT_EQ(card->getPosition(), expected);
        EXPECT_EQ(card->connectors[0].partner, nullptr);
    }
    EXPECT_EQ(cardAt(10, 0), resident);
    EXPECT_EQ(scene->heldSlot, nullptr);
    release();
}

TEST_F(FieldLinksTest, SnappingMovesTheGroupAsOneBodyAndLinksMembersInReach) {
    // Two loose cards laid out as in a row, 214 pixels apart, a little off row 12.
    const Vec2 off(12.f, -9.f);
    CardSprite* lead = looseCard(slotPoint(12, 0) + off + Vec2(-40.f, 0.f));
    CardSprite* follower = looseCard(slotPoint(12, 1) + off + Vec2(-40.f, 0.f));
    CardSprite* far = looseCard(slotPoint(12, 1) + Vec2(-40.f, 300.f));
    scene->dragGroup.clear();
    for (CardSprite* c : {lead, follower, far}) {
        scene->dragGroup.pushBack(c);
    }
    scene->moveGroup(lead, Vec2(40.f, 0.f));
    EXPECT_EQ(cardAt(12, 0), lead);
    EXPECT_EQ(cardAt(12, 1), follower);
    EXPECT_EQ(far->connectors[0].partner, nullptr);
    EXPECT_EQ(scene->heldSlot, slot(12, 0));
    EXPECT_EQ(cardPoint(lead), slotPoint(12, 0));
    EXPECT_EQ(cardPoint(follower), slotPoint(12, 1));
    EXPECT_EQ(cardPoint(far), slotPoint(12, 1) + Vec2(-12.f, 309.f));
    release();
}

TEST_F(FieldLinksTest, CardsAreKeptWhollyInsideTheContent) {
    struct Case {
        const char* name;
        Vec2 delta;
        Vec2 expected;
    };
    const Vec2 start(800.f, 2000.f);
    for (const Case& c : {Case{"left", Vec2(-5000.f, 0.f), Vec2(100.f, 2000.f)},
                          Case{"right", Vec2(5000.f, 0.f), Vec2(kFieldWidth - 100.f, 2000.f)},
                          Case{"down", Vec2(0.f, -5000.f), Vec2(800.f, 60.f)},
                          Case{"up", Vec2(0.f, 5000.f), Vec2(800.f, kFieldHeight - 60.f)},
                          Case{"corner", Vec2(-900.f, -2100.f), Vec2(100.f, 60.f)}}) {
        SCOPED_TRACE(c.name);
        CardSprite* card = scene->addFieldCard(0, 2, start);
        pickUp(card);
        scene->moveGroup(card, c.delta);
        EXPECT_EQ(card->getPosition(), c.expected);
        release();
        scene->removeCard(card);
    }
}

TEST_F(FieldLinksTest, ClusterIsTheConnectedBlockOfOccupiedSlots) {
    // A 2 x 3 block in rows 4..6, a lone card in row 9, two cards one above the other in
    // rows 11 and 12, and a loose card.
    std::vector<CardSprite*> block;
    for (int r = 4; r <= 6; ++r) {
        for (int c = 0; c < 2; ++c) {
            block.push_back(cardInSlot(r, c));
        }
    }
    CardSprite* lone = cardInSlot(9, 1);
    CardSprite* upper = cardInSlot(11, 0);
    CardSprite* lower = cardInSlot(12, 0);
    CardSprite* loose = looseCard(Vec2(1100.f, 1000.f));

    for (CardSprite* start : block) {
        scene->collectCluster(start);
        EXPECT_EQ(scene->dragGroup.size(), block.size());
        EXPECT_EQ(scene->dragGroup.front(), start);
        for (CardSprite* member : block) {
            EXPECT_TRUE(scene->dragGroup.contains(member));
        }
    }
    scene->collectCluster(lone);
    EXPECT_EQ(scene->dragGroup.size(), 1u);
    scene->collectCluster(lower);
    EXPECT_EQ(scene->dragGroup.size(), 2u);
    EXPECT_TRUE(scene->dragGroup.contains(upper));
    scene->collectCluster(loose);
    ASSERT_EQ(scene->dragGroup.size(), 1u);
    EXPECT_EQ(scene->dragGroup.front(), loose);
    release();
}

TEST_F(FieldLinksTest, RaisedGroupIsDrawnAboveEveryOtherCardFirstCardOnTop) {
    std::vector<CardSprite*> cards;
    for (int i = 0; i < 5; ++i) {
        cards.push_back(looseCard(Vec2(500.f, 1000.f + 10.f * static_cast<float>(i)), 0, i));
        EXPECT_EQ(cards.back()->getLocalZOrder(), i + 1);
    }
    scene->dragGroup.clear();
    scene->dragGroup.pushBack(cards[1]);
    scene->dragGroup.pushBack(cards[3]);
    scene->raiseGroup();
    const std::vector<int> expected{1, 5, 2, 4, 3};
    for (std::size_t i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(cards[i]->getLocalZOrder(), expected[i]) << "card " << i;
    }
    // The top card is drawn last of the field's cards. The palette, drawn after the field,
    // shows the same pictures, so each picture's first appearance is the field card's.
    harness.step();
    const std::vector<std::string> pictures = harness.drawnPictures();
    const auto firstDrawn = [&pictures](const std::string& picture) {
        return std::find(pictures.begin(), pictures.end(), picture) - pictures.begin();
    };
    for (std::size_t i : {0u, 2u, 3u, 4u}) {
        EXPECT_LT(firstDrawn(cards[i]->frontImage), firstDrawn(cards[1]->frontImage));
    }

    // Removing a card closes its gap, so the next raise still reaches the top.
    scene->removeCard(cards[2]);
    scene->dragGroup.clear();
    scene->dragGroup.pushBack(cards[0]);
    scene->raiseGroup();
    EXPECT_EQ(cards[0]->getLocalZOrder(), 4);
    EXPECT_EQ(cards[1]->getLocalZOrder(), 3);
    EXPECT_EQ(cards[3]->getLocalZOrder(), 2);
    EXPECT_EQ(cards[4]->getLocalZOrder(), 1);
    release();
}

}  // namespace

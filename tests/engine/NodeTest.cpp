// Nodes in the tree: drawing order, removal and clean-up, and a card drawn mid-turn.
#include <gtest/gtest.h>

#include "EngineTestSupport.h"

USING_NS_CC;
using enginetest::drawnMarkers;
using enginetest::marker;

namespace {

class NodeTree : public ::testing::Test {
protected:
    HeadlessHarness harness;
};

}  // namespace

TEST_F(NodeTree, DrawsByZOrderThenArrivalWithNegativeZBeforeTheParent) {
    Node* parent = marker(10);
    harness.scene()->addChild(parent);
    parent->addChild(marker(1), 0);
    parent->addChild(marker(2), -1);
    parent->addChild(marker(3), 5);
    Node* four = marker(4);
    parent->addChild(four, 0);
    parent->addChild(marker(5), -1);
    Node* hidden = marker(6);
    hidden->addChild(marker(7));
    hidden->setVisible(false);
    parent->addChild(hidden);
    harness.step();
    EXPECT_EQ(drawnMarkers(harness), (std::vector<int>{2, 5, 10, 1, 4, 3}));

    // Raised and put back: among equals the order of arrival holds again.
    four->setLocalZOrder(9);
    harness.step();
    EXPECT_EQ(drawnMarkers(harness), (std::vector<int>{2, 5, 10, 1, 3, 4}));
    four->setLocalZOrder(0);
    harness.step();
    EXPECT_EQ(drawnMarkers(harness), (std::vector<int>{2, 5, 10, 1, 4, 3}));
}

TEST_F(NodeTree, RemoveAllChildrenSurvivesAChildThatRemovesAnotherOnExit) {
    class Remover : public Node {
    public:
        Node* victim = nullptr;
        void onExit() override {
            Node::onExit();
            victim->removeFromParent();
        }
    };
    auto* remover = new Remover();
    remover->autorelease();
    remover->victim = Node::create();
    harness.scene()->addChild(remover);
    harness.scene()->addChild(remover->victim);
    harness.scene()->addChild(Node::create());
    harness.scene()->removeAllChildren();
    EXPECT_EQ(harness.scene()->getChildrenCount(), 0);
    harness.step();
}

TEST_F(NodeTree, ARemovedNodesActionsAndCallbacksStopWithIt) {
    Node* node = Node::create();
    harness.scene()->addChild(node);
    int ticks = 0;
    node->schedule([&ticks](float) { ++ticks; }, "tick");
    node->runAction(RepeatForever::create(RotateBy::create(1.f, 90.f)));
    harness.step();
    node->retain();
    node->removeFromParent();
    harness.steps(3);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    node->release();
}

TEST_F(NodeTree, ACardTurnedAboutItsUprightAxisSqueezesWithoutMirroring) {
    auto* card = Sprite::create(enginetest::picture("card.png"));  // 40 x 24 points
    ASSERT_NE(card, nullptr);
    card->setPosition(200.f, 100.f);
    harness.scene()->addChild(card);
    card->setRotation3D(Vec3(0.f, 180.f, 0.f));
    harness.step();
    ASSERT_EQ(harness.draws().size(), 1u);
    const auto& quad = harness.draws()[0];
    // The picture's left edge is still drawn on the left: the back reads normally.
    EXPECT_NEAR(quad.corners[0].x, 180.f, 1e-3f);
    EXPECT_NEAR(quad.corners[1].x, 220.f, 1e-3f);
    EXPECT_EQ(harness.pictureOf(quad), enginetest::picture("card.png"));
}

TEST(AffineTransform, AFlatTransformHasAnInverseThatDoesNotCrash) {
    const AffineTransform flat = AffineTransform::scaling(0.f, 1.f);
    EXPECT_EQ(flat.getInversed().transformPoint(Vec2(7.f, 11.f)), Vec2::ZERO);
}

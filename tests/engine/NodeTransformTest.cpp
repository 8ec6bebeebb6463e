#include <gtest/gtest.h>

#include <cmath>

#include "EngineTestSupport.h"

USING_NS_CC;

namespace {

constexpr float kTolerance = 1e-3f;

void expectNear(const Vec2& actual, const Vec2& expected) {
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
}

void expectNear(const Rect& actual, const Rect& expected) {
    EXPECT_NEAR(actual.origin.x, expected.origin.x, kTolerance);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, kTolerance);
    EXPECT_NEAR(actual.size.width, expected.size.width, kTolerance);
    EXPECT_NEAR(actual.size.height, expected.size.height, kTolerance);
}

Node* sized(float w, float h, const Vec2& anchor, const Vec2& position) {
    Node* node = Node::create();
    node->setContentSize(Size(w, h));
    node->setAnchorPoint(anchor);
    node->setPosition(position);
    return node;
}

class NodeTransform : public ::testing::Test {
protected:
    HeadlessHarness harness;
};

}  // namespace

TEST_F(NodeTransform, ChildPointsPassThroughMovedScaledAndRotatedParents) {
    Node* parent = sized(0.f, 0.f, Vec2::ZERO, Vec2(100.f, 50.f));
    parent->setScale(2.f);
    parent->setRotation(90.f);  // clockwise: +x turns towards -y
    Node* child = sized(10.f, 10.f, Vec2::ZERO, Vec2(10.f, 0.f));
    parent->addChild(child);
    harness.scene()->addChild(parent);

    expectNear(child->convertToWorldSpace(Vec2::ZERO), Vec2(100.f, 30.f));
    expectNear(child->convertToWorldSpace(Vec2(5.f, 0.f)), Vec2(100.f, 20.f));
    expectNear(child->convertToWorldSpace(Vec2(0.f, 5.f)), Vec2(110.f, 30.f));
    expectNear(child->convertToNodeSpace(Vec2(100.f, 20.f)), Vec2(5.f, 0.f));
}

struct RoundTripCase {
    const char* name;
    float parentScaleX, parentScaleY, parentRotation, childRotation;
    Vec2 parentAnchor;
};

class NodeTransformRoundTrip : public ::testing::TestWithParam<RoundTripCase> {
protected:
    HeadlessHarness harness;
};

TEST_P(NodeTransformRoundTrip, WorldAndNodeSpaceConversionsUndoEachOther) {
    const RoundTripCase& c = GetParam();
    Node* parent = sized(200.f, 100.f, c.parentAnchor, Vec2(300.f, 200.f));
    parent->setScale(c.parentScaleX, c.parentScaleY);
    parent->setRotation(c.parentRotation);
    Node* child = sized(40.f, 24.f, Vec2::ANCHOR_MIDDLE, Vec2(30.f, -20.f));
    child->setRotation(c.childRotation);
    parent->addChild(child);
    harness.scene()->addChild(parent);

    for (const Vec2& p : {Vec2(0.f, 0.f), Vec2(40.f, 24.f), Vec2(-13.5f, 7.25f)}) {
        expectNear(child->convertToNodeSpace(child->convertToWorldSpace(p)), p);
        expectNear(child->convertToNodeSpaceAR(child->convertToWorldSpaceAR(p)), p);
    }
    // The anchor-relative variants differ from the plain ones by the anchor in points.
    expectNear(child->convertToWorldSpaceAR(Vec2::ZERO),
               child->convertToWorldSpace(Vec2(20.f, 12.f)));
    // The world transform is the chain of parent transforms.
    AffineTransform chained =
        parent->getNodeToParentTransform() * child->getNodeToParentTransform();
    expectNear(child->getNodeToWorldTransform().transformPoint(Vec2(3.f, 4.f)),
               chained.transformPoint(Vec2(3.f, 4.f)));
}

INSTANTIATE_TEST_SUITE_P(
    Parents, NodeTransformRoundTrip,
    ::testing::Values(RoundTripCase{"plain", 1.f, 1.f, 0.f, 0.f, Vec2::ZERO},
                      RoundTripCase{"scaled", 0.5f, 2.f, 0.f, 0.f, Vec2::ZERO},
                      RoundTripCase{"rotated", 1.f, 1.f, 30.f, -45.f, Vec2::ANCHOR_MIDDLE},
                      RoundTripCase{"everything", 1.5f, 0.75f, 200.f, 10.f, Vec2(0.2f, 0.9f)},
                      RoundTripCase{"mirrored", -1.f, 1.f, 0.f, 90.f, Vec2::ANCHOR_MIDDLE}),
    [](const ::testing::TestParamInfo<RoundTripCase>& p) { return std::string(p.param.name); });

TEST_F(NodeTransform, BoundingBoxIsTheEnclosingBoxInTheParentsSpace) {
    Node* node = sized(40.f, 24.f, Vec2::ANCHOR_MIDDLE, Vec2(100.f, 100.f));
    expectNear(node->getBoundingBox(), Rect(80.f, 88.f, 40.f, 24.f));
    node->setScale(2.f);
    expectNear(node->getBoundingBox(), Rect(60.f, 76.f, 80.f, 48.f));
    node->setScale(1.f);
    node->setRotation(90.f);
    expectNear(node->getBoundingBox(), Rect(88.f, 80.f, 24.f, 40.f));
    node->setRotation(45.f);
    float half = (40.f + 24.f) / std::sqrt(2.f) / 2.f;
    expectNear(node->getBoundingBox(), Rect(100.f - half, 100.f - half, 2 * half, 2 * half));
}

TEST_F(NodeTransform, IgnoringTheAnchorKeepsTheCornerAtThePositionAndTurnsAboutTheAnchor) {
    Layer* layer = Layer::create();
    EXPECT_TRUE(layer->isIgnoreAnchorPointForPosition());
    EXPECT_EQ(layer->getAnchorPoint(), Vec2::ZERO);
    layer->setContentSize(Size(100.f, 50.f));
    layer->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    layer->setPosition(10.f, 20.f);
    expectNear(layer->getBoundingBox(), Rect(10.f, 20.f, 100.f, 50.f));
    layer->setScale(2.f);  // grows away from its corner
    expectNear(layer->getBoundingBox(), Rect(10.f, 20.f, 200.f, 100.f));
    layer->setRotation(90.f);  // about its centre (110, 70)
    expectNear(layer->getBoundingBox(), Rect(60.f, -30.f, 100.f, 200.f));
}

TEST_F(NodeTransform, TurningAboutTheVerticalAxisSqueezesWithoutMirroring) {
    auto* card = Sprite::create(enginetest::picture("card.png"));  // 40 x 24 points
    ASSERT_NE(card, nullptr);
    card->setPosition(200.f, 100.f);
    harness.scene()->addChild(card);

    card->setRotation3D(Vec3(0.f, 60.f, 0.f));
    expectNear(card->getBoundingBox(), Rect(190.f, 88.f, 20.f, 24.f));
    card->setRotation3D(Vec3(0.f, 90.f, 0.f));
    EXPECT_NEAR(card->getBoundingBox().size.width, 0.f, kTolerance);
    card->setRotation3D(Vec3(0.f, 180.f, 0.f));
    expectNear(card->getBoundingBox(), Rect(180.f, 88.f, 40.f, 24.f));
    harness.step();
    ASSERT_EQ(harness.draws().size(), 1u);
    const auto& quad = harness.draws()[0];
    // The left edge of the picture is still drawn on the left: the back reads normally.
    EXPECT_LT(quad.corners[0].x, quad.corners[1].x);
    EXPECT_NEAR(quad.corners[0].x, 180.f, kTolerance);
    EXPECT_NEAR(quad.corners[1].x, 220.f, kTolerance);

    card->setRotation3D(Vec3(60.f, 0.f, 30.f));  // x squeezes vertically, z turns
    EXPECT_FLOAT_EQ(card->getRotation(), 30.f);
    card->setRotation(0.f);
    expectNear(card->getBoundingBox(), Rect(180.f, 94.f, 40.f, 12.f));
}

TEST_F(NodeTransform, SpritesAreDrawnAtTheirPixelCorners) {
    auto* card = Sprite::create(enginetest::picture("card.png"));
    card->setPosition(100.f, 100.f);
    harness.scene()->addChild(card);
    harness.step();
    ASSERT_EQ(harness.draws().size(), 1u);
    const auto& quad = harness.draws()[0];
    // Window and output are 1024 x 768 like the design area; y runs down in pixels.
    EXPECT_NEAR(quad.corners[0].x, 80.f, kTolerance);
    EXPECT_NEAR(quad.corners[0].y, 680.f, kTolerance);
    EXPECT_NEAR(quad.corners[2].x, 120.f, kTolerance);
    EXPECT_NEAR(quad.corners[2].y, 656.f, kTolerance);
    EXPECT_EQ(harness.pictureOf(quad), enginetest::picture("card.png"));
}

TEST_F(NodeTransform, OpacityAndColourCascadeOnlyFromParentsThatCascade) {
    LayerColor* parent = LayerColor::create(Color4B(255, 128, 0, 128), 10.f, 10.f);
    LayerColor* child = LayerColor::create(Color4B(128, 255, 255, 128), 10.f, 10.f);
    LayerColor* grandchild = LayerColor::create(Color4B(255, 255, 255, 200), 10.f, 10.f);
    parent->addChild(child);
    child->addChild(grandchild);
    harness.scene()->addChild(parent);

    EXPECT_EQ(child->getDisplayedOpacity(), 128);
    parent->setCascadeOpacityEnabled(true);
    parent->setCascadeColorEnabled(true);
    EXPECT_EQ(child->getDisplayedOpacity(), 64);
    EXPECT_EQ(child->getDisplayedColor(), Color3B(128, 128, 0));
    // The child does not cascade, so the grandchild keeps its own values.
    EXPECT_EQ(grandchild->getDisplayedOpacity(), 200);
    child->setCascadeOpacityEnabled(true);
    EXPECT_EQ(grandchild->getDisplayedOpacity(), 50);  // 200 * 64 / 255

    harness.step();
    EXPECT_EQ(enginetest::drawnFills(harness),
              (std::vector<std::string>{"255,128,0,128", "128,128,0,64", "255,255,255,50"}));

    parent->setOpacity(0);  // a fully transparent node draws nothing, nor do its cascaded children
    harness.step();
    EXPECT_TRUE(harness.draws().empty());
}

TEST(Rect, EdgesCountAsInsideAndTouchingRectanglesIntersect) {
    Rect r(10.f, 20.f, 30.f, 40.f);
    EXPECT_TRUE(r.containsPoint(Vec2(10.f, 20.f)));
    EXPECT_TRUE(r.containsPoint(Vec2(40.f, 60.f)));
    EXPECT_FALSE(r.containsPoint(Vec2(40.01f, 60.f)));
    EXPECT_FALSE(r.containsPoint(Vec2(9.99f, 30.f)));
    EXPECT_TRUE(r.intersectsRect(Rect(40.f, 60.f, 5.f, 5.f)));
    EXPECT_FALSE(r.intersectsRect(Rect(40.5f, 60.f, 5.f, 5.f)));
    EXPECT_EQ(r.unionWithRect(Rect(0.f, 0.f, 5.f, 5.f)), Rect(0.f, 0.f, 40.f, 60.f));
}

TEST(AffineTransform, InverseUndoesAndAFlatTransformDoesNotCrash) {
    AffineTransform t = AffineTransform::translation(5.f, -3.f) *
                        AffineTransform::rotationClockwise(33.f) *
                        AffineTransform::scaling(2.f, 0.5f);
    Vec2 p(7.f, 11.f);
    expectNear(t.getInversed().transformPoint(t.transformPoint(p)), p);
    AffineTransform flat = AffineTransform::scaling(0.f, 1.f);
    expectNear(flat.getInversed().transformPoint(p), Vec2::ZERO);
}

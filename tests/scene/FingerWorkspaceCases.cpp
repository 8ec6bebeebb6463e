// The cases of the workspace driven by fingers; each finger source instantiates them.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "FingerWorkspace.h"
#include "devicelink/ZundleCardSerialManager.h"
#include "tests/scene/FieldScenePeer.h"

USING_NS_CC;
using Type = backend::InputEvent::Type;

namespace {

constexpr float kFrame = 1.f / 60.f;
// Open field, clear of the palette, the row buttons and the player strip.
const Vec2 kLeft(500.f, 400.f);
const Vec2 kRight(800.f, 400.f);

// The centre of a node on the screen: where a finger presses it.
Vec2 centreOnScreen(const Node* node) {
    const cocos2d::Size size = node->getContentSize();
    return node->convertToWorldSpace(Vec2(size.width / 2.f, size.height / 2.f));
}

}  // namespace

void WorkspaceFingers::SetUp() {
    source = GetParam().make();
    ASSERT_NE(source, nullptr) << "no view for the fingers";
    ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
    manager->setPortSource([](std::vector<devicelink::platform::PortRecord>& out) {
        out.push_back({"ttyTEST0", "Test Board"});
        return true;
    });
    manager->setToolFolder("/nonexistent/zc-finger-tests/exe");
    scene = FieldScene::create();
    ASSERT_NE(scene, nullptr);
    Director::getInstance()->getRunningScene()->addChild(scene);
    frame();
}

void WorkspaceFingers::TearDown() {
    // The port search runs on a real thread; the next test needs the device link idle.
    ZundleCardSerialManager* manager = ZundleCardSerialManager::getInstance();
    for (int i = 0; i < 5000 && manager->isSearching(); ++i) {
        frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(manager->isSearching());
    manager->setPortSource({});
    manager->setToolFolder("");
    source.reset();
}

void WorkspaceFingers::down(int finger, const Vec2& point) {
    source->queue(Type::TouchDown, finger, point);
}

void WorkspaceFingers::move(int finger, const Vec2& point) {
    source->queue(Type::TouchMove, finger, point);
}

void WorkspaceFingers::up(int finger, const Vec2& point) {
    source->queue(Type::TouchUp, finger, point);
}

void WorkspaceFingers::frame() {
    Director::getInstance()->mainLoop(kFrame);
}

void WorkspaceFingers::slide(int finger, const Vec2& from, const Vec2& to) {
    const int steps = std::max(1, static_cast<int>(std::ceil(from.distance(to) / 10.f)));
    for (int i = 1; i <= steps; ++i) {
        move(finger, from.lerp(to, static_cast<float>(i) / static_cast<float>(steps)));
        frame();
    }
}

CardSprite* WorkspaceFingers::pickUpWithFinger1(Vec2& finger) {
    // Right of the rows, away from every slot.
    CardSprite* card = scene->addFieldCard(
        0, 2, inside(scene).fieldView->getContentLayer()->convertToNodeSpace(Vec2(820.f, 300.f)));
    if (card == nullptr) {
        return nullptr;
    }
    frame();
    finger = centreOnScreen(card);
    down(1, finger);
    for (int i = 0; i < 6; ++i) {  // held still past the pick-up delay
        frame();
    }
    return inside(scene).dragMode ? card : nullptr;
}

TEST_P(WorkspaceFingers, ACardDraggedByOneFingerHoldsStillWhileTwoMoreAreOnTheField) {
    Vec2 finger;
    CardSprite* card = pickUpWithFinger1(finger);
    ASSERT_NE(card, nullptr);
    const auto dragBy = [&](const Vec2& step) {
        const Vec2 before = card->getPosition();
        slide(1, finger, finger + step);
        finger += step;
        return card->getPosition() - before;
    };
    const Vec2 step(0.f, -20.f);
    EXPECT_LT(dragBy(step).distance(step), 1e-3f);
    down(2, kLeft);
    down(3, kRight);
    frame();
    EXPECT_TRUE(dragBy(step).isZero());
    up(2, kLeft);
    up(3, kRight);
    frame();
    // Only the step after they went counts, not the way the finger went meanwhile.
    EXPECT_LT(dragBy(step).distance(step), 1e-3f);
    up(1, finger);
    frame();
    EXPECT_FALSE(scene->isGestureRunning());
    EXPECT_EQ(inside(scene).fieldView->getTouchCount(), 0u);
}

TEST_P(WorkspaceFingers, AFingerWhoseReleaseWasLostIsCancelledAndThePinchGoesOn) {
    FieldScrollView* field = inside(scene).fieldView;
    down(1, kLeft);
    down(2, kRight);
    frame();
    // Finger 1 lands again without having come up: its old touch leaves the field first.
    down(1, kRight - Vec2(150.f, 0.f));
    frame();
    EXPECT_EQ(field->getTouchCount(), 2u);
    move(1, kRight - Vec2(75.f, 0.f));
    frame();
    EXPECT_FLOAT_EQ(field->getZoom(), 0.5f);
    up(1, kRight - Vec2(75.f, 0.f));
    up(2, kRight);
    frame();
    EXPECT_EQ(field->getTouchCount(), 0u);
    EXPECT_FALSE(field->isDragging());
}

// The cases of the workspace driven by fingers; each finger source instantiates them.
#include <chrono>
#include <thread>
#include <vector>

#include "FingerWorkspace.h"
#include "devicelink/ZundleCardSerialManager.h"

USING_NS_CC;
using Type = backend::InputEvent::Type;

namespace {

constexpr float kFrame = 1.f / 60.f;
// Open field, clear of the palette, the row buttons and the player strip.
const Vec2 kLeft(500.f, 400.f);
const Vec2 kRight(800.f, 400.f);

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

TEST_P(WorkspaceFingers, TwoFingersLandingInOneFramePinchTheFieldToHalfAndBack) {
    FieldScrollView* field = scene->fieldView;
    down(1, kLeft);
    down(2, kRight);
    frame();
    EXPECT_EQ(field->getTouchCount(), 2u);
    EXPECT_FALSE(field->isDragging());
    // A quarter of the fingers' first distance asks for 0.25; the field stops at 0.5.
    move(2, kLeft + Vec2(75.f, 0.f));
    frame();
    EXPECT_FLOAT_EQ(field->getZoom(), 0.5f);
    move(2, kRight + Vec2(100.f, 0.f));
    frame();
    EXPECT_FLOAT_EQ(field->getZoom(), 1.f);
    up(1, kLeft);
    up(2, kRight + Vec2(100.f, 0.f));
    frame();
    EXPECT_EQ(field->getTouchCount(), 0u);
}

TEST_P(WorkspaceFingers, AFingerWhoseReleaseWasLostIsCancelledAndThePinchGoesOn) {
    FieldScrollView* field = scene->fieldView;
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

TEST_P(WorkspaceFingers, AFingerLiftedOutsideTheWindowEndsItsDragOfTheField) {
    FieldScrollView* field = scene->fieldView;
    const float top = field->offset().y;
    down(1, kLeft);
    frame();
    for (float y : {430.f, 460.f, 560.f}) {
        move(1, Vec2(kLeft.x, y));
        frame();
    }
    EXPECT_FLOAT_EQ(field->offset().y, top + 130.f);  // the step past the threshold starts it
    up(1, Vec2(kLeft.x, 900.f));                      // above the window's top edge
    frame();
    EXPECT_EQ(field->getTouchCount(), 0u);
    EXPECT_FALSE(field->isDragging());
    EXPECT_TRUE(field->isCoasting());
}

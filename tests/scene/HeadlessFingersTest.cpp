// The workspace finger cases over the headless view's input queue.
#include <memory>
#include <string>

#include "FingerWorkspace.h"
#include "platform/headless/HeadlessHarness.h"

namespace {

class HeadlessFingers : public FingerSource {
public:
    void queue(cocos2d::backend::InputEvent::Type type, int finger,
               const cocos2d::Vec2& point) override {
        _harness.queueFinger(type, finger, point);
    }

private:
    cocos2d::HeadlessHarness _harness;
};

std::unique_ptr<FingerSource> makeHeadless() {
    return std::make_unique<HeadlessFingers>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Headless, WorkspaceFingers,
                         ::testing::Values(FingerSourceKind{"queue", &makeHeadless}),
                         [](const auto& kind) { return std::string(kind.param.name); });

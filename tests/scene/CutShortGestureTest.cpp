// Gestures cut short: the window loses focus or is minimised mid-drag, the touch is
// cancelled, or a press begins while the last one never saw its release. Each ends as a
// release where the pointer last was, except that nothing is dropped on the trash.
#include <functional>
#include <string>

#include "GestureTestSupport.h"

USING_NS_CC;
using fieldtest::GestureTest;
using fieldtest::kEmptyField;
using fieldtest::kTrash;
using Cut = std::function<void(cocos2d::HeadlessHarness&, const Vec2& pointer)>;

namespace {

struct CutCase {
    const char* name;
    Cut cut;
};

void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.name;
}

class CutShortGestureTest : public GestureTest, public ::testing::WithParamInterface<CutCase> {
protected:
    void cutShort() {
        GetParam().cut(harness, pointer);
        hold(0.25f);
        EXPECT_EQ(fieldtest::firstGestureLeftover(*scene), "");
        EXPECT_EQ(fieldtest::firstFieldViolation(*scene), "");
        EXPECT_EQ(scene->trashMarker->getOpacity(), 0);
    }
};

TEST_P(CutShortGestureTest, ATearOffKeepsTheCardWhereItWasAndLeavesNoGhost) {
    press(paletteCard(1));
    // Clear of every slot, left of the rows' heads: nothing for it to be seated in.
    moveTo(Vec2(420.f, 200.f));
    ASSERT_EQ(scene->fieldCards.size(), 1u);
    const Vec2 placed = scene->fieldCards.at(0)->getPosition();
    cutShort();
    ASSERT_EQ(scene->fieldCards.size(), 1u);
    EXPECT_EQ(scene->fieldCards.at(0)->getPosition(), placed);
}

TEST_P(CutShortGestureTest, AClusterOverTheTrashIsPutDownWholeWhereItWas) {
    for (int r = 1; r <= 2; ++r) {
        cardInSlot(r, 0);
    }
    pickUp(cardAt(1, 0), true);
    moveTo(kTrash);
    ASSERT_EQ(scene->dragGroup.size(), 2u);
    const Vec2 held = scene->dragGroup.at(0)->getPosition();
    cutShort();
    EXPECT_EQ(scene->fieldCards.size(), 2u);
    EXPECT_EQ(scene->fieldCards.at(0)->getPosition(), held);
    // The next press works as ever.
    press(onScreen(scene->fieldCards.at(0)));
    hold(0.1f);
    EXPECT_TRUE(scene->dragMode);
    release();
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CutShortGestureTest,
    ::testing::Values(CutCase{"FocusLost",
                              [](HeadlessHarness& h, const Vec2&) {
                                  h.windowEvent(backend::InputEvent::Type::FocusLost);
                              }},
                      CutCase{"Minimised",
                              [](HeadlessHarness& h, const Vec2&) {
                                  h.windowEvent(backend::InputEvent::Type::Minimized);
                                  h.windowEvent(backend::InputEvent::Type::Restored);
                              }},
                      CutCase{"TouchCancelled",
                              [](HeadlessHarness& h, const Vec2& at) { h.touchCancelled(at); }},
                      CutCase{"ReleaseLost",
                              [](HeadlessHarness& h, const Vec2&) {
                                  h.mouseDown(EventMouse::BUTTON_LEFT, kEmptyField);
                                  h.mouseUp(EventMouse::BUTTON_LEFT, kEmptyField);
                              }}),
    [](const ::testing::TestParamInfo<CutCase>& param) { return std::string(param.param.name); });

}  // namespace

// The workspace driven by fingers, with the same cases run over two finger sources: the
// headless view's input queue, and SDL's own event queue into the real window backend.
// A source sets up a clean director with its view; the cases step frames through it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "cocos2d.h"
#include "scene/FieldScene.h"
#include "tests/support/FreshSelection.h"
#include "tests/support/OwnDataFolder.h"

// Where finger events enter the engine. Making one installs its view in a clean director,
// at the program's design size, with an empty running scene; destroying it resets the
// director.
class FingerSource {
public:
    virtual ~FingerSource() = default;
    // Queues a finger event (TouchDown, TouchMove or TouchUp) at a design point, for the
    // view to read at the next frame.
    virtual void queue(cocos2d::backend::InputEvent::Type type, int finger,
                       const cocos2d::Vec2& point) = 0;
};

// A kind of finger source, named for the test names; make gives nullptr when the source
// cannot be set up.
struct FingerSourceKind {
    const char* name;
    std::unique_ptr<FingerSource> (*make)();
};

inline void PrintTo(const FingerSourceKind& kind, std::ostream* os) {
    *os << kind.name;
}

class WorkspaceFingers : public ::testing::TestWithParam<FingerSourceKind> {
protected:
    void SetUp() override;
    void TearDown() override;

    void down(int finger, const cocos2d::Vec2& point);
    void move(int finger, const cocos2d::Vec2& point);
    void up(int finger, const cocos2d::Vec2& point);
    // One frame: the queued fingers reach the workspace.
    void frame();
    // Slides a finger that is down from one point to another in steps of at most 10
    // points, a frame after each.
    void slide(int finger, const cocos2d::Vec2& from, const cocos2d::Vec2& to);
    // Finger 1 presses a loose card made right of the rows and holds still until it is
    // picked up, which it answers; `finger` is where the finger is.
    CardSprite* pickUpWithFinger1(cocos2d::Vec2& finger);

    FreshSelection selection;  // first, so the scene is built for kib and basic
    OwnDataFolder data;        // the workspace keeps its last work there
    std::unique_ptr<FingerSource> source;
    FieldScene* scene = nullptr;
};

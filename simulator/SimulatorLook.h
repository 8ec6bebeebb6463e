// The simulator window's own look over the one it shares with the workspace
// (look/WorkspaceLook.h): its sizes, its colours and its code font. Depends on the engine's
// types.
#pragma once

#include "cocos2d.h"
#include "look/WorkspaceLook.h"

namespace look {

// The window, in points (drawn one to one).
constexpr float kWidth = 960.f;
constexpr float kHeight = 600.f;
// The compact form that fits beside the workspace on a 1366 x 768 display: the board and
// the car stacked, the program folded away. Narrower than the room there (342 points) by a
// window border's width.
constexpr float kCompactWidth = 330.f;
constexpr float kCompactHeight = 700.f;

const cocos2d::Color3B kGreen(46, 173, 91);
const cocos2d::Color3B kKib(35, 62, 139);
const cocos2d::Color3B kVemmo(103, 58, 153);

const char* const kCodeFont = "DejaVu Sans Mono";

// A text label of the look, anchored at its left end's middle.
cocos2d::Label* label(const std::string& text, float size, const cocos2d::Color3B& colour);
// A filled rectangle with its bottom left corner at (x, y).
cocos2d::LayerColor* box(const cocos2d::Color4B& colour, float x, float y, float w, float h);
// Adds the child to the parent at (x, y) and hands it back.
template <class T>
T* place(cocos2d::Node* parent, T* child, float x, float y) {
    child->setPosition(x, y);
    parent->addChild(child);
    return child;
}
// Opaque colour of a 3-byte colour.
cocos2d::Color4B opaque(const cocos2d::Color3B& colour);

}  // namespace look

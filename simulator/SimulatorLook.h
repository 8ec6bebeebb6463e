// The colours, fonts and sizes of the simulator window, taken from the workspace's look
// (its frame blue, ink and signal colours). Constants only; depends on the engine's types.
#pragma once

#include "cocos2d.h"

namespace look {

// The window, in points (drawn one to one).
constexpr float kWidth = 960.f;
constexpr float kHeight = 600.f;
// The compact form that fits beside the workspace on a 1366 x 768 display: the board and
// the car stacked, the program folded away. Narrower than the room there (342 points) by a
// window border's width.
constexpr float kCompactWidth = 330.f;
constexpr float kCompactHeight = 700.f;

const cocos2d::Color4B kPaper(255, 255, 255, 255);
const cocos2d::Color4B kFrame(105, 208, 238, 255);     // the workspace frame
const cocos2d::Color4B kFrameDark(42, 155, 200, 255);  // white marks stand on it
const cocos2d::Color4B kPale(228, 246, 252, 255);
const cocos2d::Color3B kInk(55, 71, 79);
const cocos2d::Color3B kMuted(120, 144, 156);
const cocos2d::Color3B kRed(229, 72, 77);
const cocos2d::Color3B kGreen(46, 173, 91);
const cocos2d::Color3B kKib(35, 62, 139);
const cocos2d::Color3B kVemmo(103, 58, 153);

const char* const kFont = "Helvetica";
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

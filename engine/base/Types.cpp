#include "base/Types.h"

#include <algorithm>
#include <cmath>

NS_CC_BEGIN

namespace {
GLubyte toByte(float channel) {
    return static_cast<GLubyte>(std::lround(std::clamp(channel, 0.f, 1.f) * 255.f));
}
}  // namespace

Color3B::Color3B(const Color4B& c) : r(c.r), g(c.g), b(c.b) {}
Color3B::Color3B(const Color4F& c) : r(toByte(c.r)), g(toByte(c.g)), b(toByte(c.b)) {}
Color4B::Color4B(const Color4F& c)
    : r(toByte(c.r)), g(toByte(c.g)), b(toByte(c.b)), a(toByte(c.a)) {}
Color4F::Color4F(const Color3B& c, float aa)
    : r(c.r / 255.f), g(c.g / 255.f), b(c.b / 255.f), a(aa) {}
Color4F::Color4F(const Color4B& c)
    : r(c.r / 255.f), g(c.g / 255.f), b(c.b / 255.f), a(c.a / 255.f) {}

const Color3B Color3B::WHITE(255, 255, 255);
const Color3B Color3B::YELLOW(255, 255, 0);
const Color3B Color3B::BLUE(0, 0, 255);
const Color3B Color3B::GREEN(0, 255, 0);
const Color3B Color3B::RED(255, 0, 0);
const Color3B Color3B::MAGENTA(255, 0, 255);
const Color3B Color3B::BLACK(0, 0, 0);
const Color3B Color3B::ORANGE(255, 127, 0);
const Color3B Color3B::GRAY(166, 166, 166);

const Color4B Color4B::WHITE(255, 255, 255, 255);
const Color4B Color4B::YELLOW(255, 255, 0, 255);
const Color4B Color4B::BLUE(0, 0, 255, 255);
const Color4B Color4B::GREEN(0, 255, 0, 255);
const Color4B Color4B::RED(255, 0, 0, 255);
const Color4B Color4B::MAGENTA(255, 0, 255, 255);
const Color4B Color4B::BLACK(0, 0, 0, 255);
const Color4B Color4B::ORANGE(255, 127, 0, 255);
const Color4B Color4B::GRAY(166, 166, 166, 255);

const Color4F Color4F::WHITE(1.f, 1.f, 1.f, 1.f);
const Color4F Color4F::YELLOW(1.f, 1.f, 0.f, 1.f);
const Color4F Color4F::BLUE(0.f, 0.f, 1.f, 1.f);
const Color4F Color4F::GREEN(0.f, 1.f, 0.f, 1.f);
const Color4F Color4F::RED(1.f, 0.f, 0.f, 1.f);
const Color4F Color4F::MAGENTA(1.f, 0.f, 1.f, 1.f);
const Color4F Color4F::BLACK(0.f, 0.f, 0.f, 1.f);
const Color4F Color4F::ORANGE(1.f, 0.5f, 0.f, 1.f);
const Color4F Color4F::GRAY(0.65f, 0.65f, 0.65f, 1.f);

NS_CC_END

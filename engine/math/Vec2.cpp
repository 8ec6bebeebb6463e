#include "math/Vec2.h"

NS_CC_BEGIN

const Vec2 Vec2::ZERO(0.f, 0.f);
const Vec2 Vec2::ONE(1.f, 1.f);
const Vec2 Vec2::UNIT_X(1.f, 0.f);
const Vec2 Vec2::UNIT_Y(0.f, 1.f);
const Vec2 Vec2::ANCHOR_MIDDLE(0.5f, 0.5f);
const Vec2 Vec2::ANCHOR_BOTTOM_LEFT(0.f, 0.f);
const Vec2 Vec2::ANCHOR_TOP_LEFT(0.f, 1.f);
const Vec2 Vec2::ANCHOR_BOTTOM_RIGHT(1.f, 0.f);
const Vec2 Vec2::ANCHOR_TOP_RIGHT(1.f, 1.f);
const Vec2 Vec2::ANCHOR_MIDDLE_LEFT(0.f, 0.5f);
const Vec2 Vec2::ANCHOR_MIDDLE_RIGHT(1.f, 0.5f);
const Vec2 Vec2::ANCHOR_MIDDLE_TOP(0.5f, 1.f);
const Vec2 Vec2::ANCHOR_MIDDLE_BOTTOM(0.5f, 0.f);

void Vec2::normalize() {
    float len = length();
    if (len > 0.f) {
        x /= len;
        y /= len;
    }
}

Vec2 Vec2::rotateByAngle(const Vec2& pivot, float angle) const {
    float c = std::cos(angle);
    float s = std::sin(angle);
    Vec2 d = *this - pivot;
    return pivot + Vec2(d.x * c - d.y * s, d.x * s + d.y * c);
}

NS_CC_END

// Two-dimensional vector of floats: points, offsets and anchor points in design space.
// Plain value type; depends only on the standard library and Macros.h.
#pragma once

#include <cmath>

#include "base/Macros.h"

#define CC_DEGREES_TO_RADIANS(__ANGLE__) ((__ANGLE__)*0.01745329252f)
#define CC_RADIANS_TO_DEGREES(__ANGLE__) ((__ANGLE__)*57.29577951f)

NS_CC_BEGIN

class Vec2 {
public:
    float x = 0.f;
    float y = 0.f;

    constexpr Vec2() = default;
    constexpr Vec2(float xx, float yy) : x(xx), y(yy) {}

    // Sets both components.
    void set(float xx, float yy) {
        x = xx;
        y = yy;
    }
    // True when both components are exactly zero.
    bool isZero() const { return x == 0.f && y == 0.f; }

    Vec2 operator+(const Vec2& v) const { return Vec2(x + v.x, y + v.y); }
    Vec2 operator-(const Vec2& v) const { return Vec2(x - v.x, y - v.y); }
    Vec2 operator-() const { return Vec2(-x, -y); }
    Vec2 operator*(float s) const { return Vec2(x * s, y * s); }
    Vec2 operator/(float s) const { return Vec2(x / s, y / s); }
    Vec2& operator+=(const Vec2& v) {
        x += v.x;
        y += v.y;
        return *this;
    }
    Vec2& operator-=(const Vec2& v) {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    Vec2& operator*=(float s) {
        x *= s;
        y *= s;
        return *this;
    }
    Vec2& operator/=(float s) {
        x /= s;
        y /= s;
        return *this;
    }
    bool operator==(const Vec2& v) const { return x == v.x && y == v.y; }
    bool operator!=(const Vec2& v) const { return !(*this == v); }
    // Ordering for use as a map key: by x, then y.
    bool operator<(const Vec2& v) const { return x < v.x || (x == v.x && y < v.y); }

    // Exact equality, as the cocos2d name spells it.
    bool equals(const Vec2& v) const { return *this == v; }
    // Equality within a tolerance on each component.
    bool fuzzyEquals(const Vec2& v, float variance) const {
        return std::fabs(x - v.x) <= variance && std::fabs(y - v.y) <= variance;
    }

    // Euclidean length.
    float length() const { return std::sqrt(x * x + y * y); }
    float lengthSquared() const { return x * x + y * y; }
    // Distance to another point.
    float distance(const Vec2& v) const { return (*this - v).length(); }
    float distanceSquared(const Vec2& v) const { return (*this - v).lengthSquared(); }
    float dot(const Vec2& v) const { return x * v.x + y * v.y; }
    // z component of the three-dimensional cross product.
    float cross(const Vec2& v) const { return x * v.y - y * v.x; }
    // Scales to length 1; a zero vector stays zero.
    void normalize();
    // Point halfway to the other.
    Vec2 getMidpoint(const Vec2& other) const { return (*this + other) * 0.5f; }
    // Linear interpolation: this at alpha 0, other at alpha 1.
    Vec2 lerp(const Vec2& other, float alpha) const { return *this + (other - *this) * alpha; }
    // Rotated counter-clockwise by the angle in radians about the origin.
    Vec2 rotateByAngle(const Vec2& pivot, float angle) const;

    static const Vec2 ZERO;
    static const Vec2 ONE;
    static const Vec2 UNIT_X;
    static const Vec2 UNIT_Y;
    static const Vec2 ANCHOR_MIDDLE;
    static const Vec2 ANCHOR_BOTTOM_LEFT;
    static const Vec2 ANCHOR_TOP_LEFT;
    static const Vec2 ANCHOR_BOTTOM_RIGHT;
    static const Vec2 ANCHOR_TOP_RIGHT;
    static const Vec2 ANCHOR_MIDDLE_LEFT;
    static const Vec2 ANCHOR_MIDDLE_RIGHT;
    static const Vec2 ANCHOR_MIDDLE_TOP;
    static const Vec2 ANCHOR_MIDDLE_BOTTOM;
};

inline Vec2 operator*(float s, const Vec2& v) {
    return v * s;
}

// The value limited to [lo, hi].
inline float clampf(float value, float lo, float hi) {
    return value < lo ? lo : (value > hi ? hi : value);
}

// The older cocos2d name of the same type.
using Point = Vec2;

NS_CC_END

// Two-dimensional affine transform (x' = a x + c y + tx, y' = b x + d y + ty): node to
// parent, node to world and their inverses. Plain value type; depends on Vec2 and Rect.
#pragma once

#include "math/Rect.h"
#include "math/Vec2.h"

NS_CC_BEGIN

class AffineTransform {
public:
    float a = 1.f, b = 0.f, c = 0.f, d = 1.f;
    float tx = 0.f, ty = 0.f;

    constexpr AffineTransform() = default;
    constexpr AffineTransform(float aa, float bb, float cc, float dd, float x, float y)
        : a(aa), b(bb), c(cc), d(dd), tx(x), ty(y) {}

    // A shift by (x, y).
    static AffineTransform translation(float x, float y);
    // A scaling about the origin.
    static AffineTransform scaling(float sx, float sy);
    // A rotation about the origin, clockwise by the given degrees (cocos2d's sense).
    static AffineTransform rotationClockwise(float degrees);

    // This transform applied after `inner`: (this * inner)(p) == this(inner(p)).
    AffineTransform operator*(const AffineTransform& inner) const;
    // The transform that undoes this one (all points to the origin when there is none).
    AffineTransform getInversed() const;
    // Determinant of the linear part; zero when the transform squeezes to a line.
    float determinant() const { return a * d - b * c; }

    // Maps a point.
    Vec2 transformPoint(const Vec2& p) const {
        return Vec2(a * p.x + c * p.y + tx, b * p.x + d * p.y + ty);
    }
    // Maps a direction (no translation).
    Vec2 transformVector(const Vec2& v) const { return Vec2(a * v.x + c * v.y, b * v.x + d * v.y); }
    // Smallest axis-aligned rectangle that holds the mapped rectangle.
    Rect transformRect(const Rect& r) const;

    bool operator==(const AffineTransform& o) const;
    bool operator!=(const AffineTransform& o) const { return !(*this == o); }

    static const AffineTransform IDENTITY;
};

// Transforms are two-dimensional here; code written against the cocos2d name compiles.
using Mat4 = AffineTransform;

NS_CC_END

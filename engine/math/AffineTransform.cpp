#include "math/AffineTransform.h"

#include <algorithm>
#include <cmath>

NS_CC_BEGIN

const AffineTransform AffineTransform::IDENTITY;

AffineTransform AffineTransform::translation(float x, float y) {
    return AffineTransform(1.f, 0.f, 0.f, 1.f, x, y);
}

AffineTransform AffineTransform::scaling(float sx, float sy) {
    return AffineTransform(sx, 0.f, 0.f, sy, 0.f, 0.f);
}

AffineTransform AffineTransform::rotationClockwise(float degrees) {
    float r = CC_DEGREES_TO_RADIANS(degrees);
    float cs = std::cos(r);
    float sn = std::sin(r);
    // Clockwise with y up: (1, 0) turns towards (0, -1).
    return AffineTransform(cs, -sn, sn, cs, 0.f, 0.f);
}

AffineTransform AffineTransform::operator*(const AffineTransform& m) const {
    return AffineTransform(a * m.a + c * m.b, b * m.a + d * m.b, a * m.c + c * m.d,
                           b * m.c + d * m.d, a * m.tx + c * m.ty + tx, b * m.tx + d * m.ty + ty);
}

AffineTransform AffineTransform::getInversed() const {
    float det = determinant();
    if (det == 0.f) {
        // A node turned edge-on has no inverse; every point then maps to its origin.
        return AffineTransform(0.f, 0.f, 0.f, 0.f, 0.f, 0.f);
    }
    float inv = 1.f / det;
    return AffineTransform(d * inv, -b * inv, -c * inv, a * inv, (c * ty - d * tx) * inv,
                           (b * tx - a * ty) * inv);
}

Rect AffineTransform::transformRect(const Rect& r) const {
    Vec2 p1 = transformPoint(Vec2(r.getMinX(), r.getMinY()));
    Vec2 p2 = transformPoint(Vec2(r.getMaxX(), r.getMinY()));
    Vec2 p3 = transformPoint(Vec2(r.getMaxX(), r.getMaxY()));
    Vec2 p4 = transformPoint(Vec2(r.getMinX(), r.getMaxY()));
    float minX = std::min({p1.x, p2.x, p3.x, p4.x});
    float maxX = std::max({p1.x, p2.x, p3.x, p4.x});
    float minY = std::min({p1.y, p2.y, p3.y, p4.y});
    float maxY = std::max({p1.y, p2.y, p3.y, p4.y});
    return Rect(minX, minY, maxX - minX, maxY - minY);
}

bool AffineTransform::operator==(const AffineTransform& o) const {
    return a == o.a && b == o.b && c == o.c && d == o.d && tx == o.tx && ty == o.ty;
}

NS_CC_END

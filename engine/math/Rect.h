// Axis-aligned rectangle given by its bottom-left corner and its size: hit tests,
// bounding boxes and clip rectangles. Plain value type; depends on Vec2 and Size.
#pragma once

#include "math/Size.h"
#include "math/Vec2.h"

NS_CC_BEGIN

class Rect {
public:
    Vec2 origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(float x, float y, float w, float h) : origin(x, y), size(w, h) {}
    Rect(const Vec2& o, const Size& s) : origin(o), size(s) {}

    // Sets corner and size.
    void setRect(float x, float y, float w, float h);

    float getMinX() const { return origin.x; }
    float getMidX() const { return origin.x + size.width * 0.5f; }
    float getMaxX() const { return origin.x + size.width; }
    float getMinY() const { return origin.y; }
    float getMidY() const { return origin.y + size.height * 0.5f; }
    float getMaxY() const { return origin.y + size.height; }

    // True when the point lies inside or on an edge.
    bool containsPoint(const Vec2& point) const;
    // True when the rectangles overlap or touch.
    bool intersectsRect(const Rect& other) const;
    // Smallest rectangle holding both.
    Rect unionWithRect(const Rect& other) const;
    // Overlap of both; a zero rectangle when they do not overlap.
    Rect intersection(const Rect& other) const;

    bool equals(const Rect& r) const { return origin == r.origin && size == r.size; }
    bool operator==(const Rect& r) const { return equals(r); }
    bool operator!=(const Rect& r) const { return !equals(r); }

    static const Rect ZERO;
};

NS_CC_END

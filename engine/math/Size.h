// Width and height of a node or a window, in design points unless stated otherwise.
// Plain value type; depends only on Vec2.h.
#pragma once

#include "math/Vec2.h"

NS_CC_BEGIN

class Size {
public:
    float width = 0.f;
    float height = 0.f;

    constexpr Size() = default;
    constexpr Size(float w, float h) : width(w), height(h) {}
    explicit Size(const Vec2& v) : width(v.x), height(v.y) {}

    // The size as a vector (width, height).
    operator Vec2() const { return Vec2(width, height); }

    // Sets both extents.
    void setSize(float w, float h) {
        width = w;
        height = h;
    }
    bool equals(const Size& s) const { return width == s.width && height == s.height; }
    bool operator==(const Size& s) const { return equals(s); }
    bool operator!=(const Size& s) const { return !equals(s); }
    Size operator+(const Size& s) const { return Size(width + s.width, height + s.height); }
    Size operator-(const Size& s) const { return Size(width - s.width, height - s.height); }
    Size operator*(float a) const { return Size(width * a, height * a); }
    Size operator/(float a) const { return Size(width / a, height / a); }

    static const Size ZERO;
};

NS_CC_END

#include "math/Rect.h"

#include <algorithm>

NS_CC_BEGIN

const Rect Rect::ZERO(0.f, 0.f, 0.f, 0.f);

void Rect::setRect(float x, float y, float w, float h) {
    origin.set(x, y);
    size.setSize(w, h);
}

bool Rect::containsPoint(const Vec2& point) const {
    return point.x >= getMinX() && point.x <= getMaxX() && point.y >= getMinY() &&
           point.y <= getMaxY();
}

bool Rect::intersectsRect(const Rect& other) const {
    return !(getMaxX() < other.getMinX() || other.getMaxX() < getMinX() ||
             getMaxY() < other.getMinY() || other.getMaxY() < getMinY());
}

Rect Rect::unionWithRect(const Rect& other) const {
    float minX = std::min(getMinX(), other.getMinX());
    float minY = std::min(getMinY(), other.getMinY());
    float maxX = std::max(getMaxX(), other.getMaxX());
    float maxY = std::max(getMaxY(), other.getMaxY());
    return Rect(minX, minY, maxX - minX, maxY - minY);
}

Rect Rect::intersection(const Rect& other) const {
    float minX = std::max(getMinX(), other.getMinX());
    float minY = std::max(getMinY(), other.getMinY());
    float maxX = std::min(getMaxX(), other.getMaxX());
    float maxY = std::min(getMaxY(), other.getMaxY());
    if (maxX < minX || maxY < minY) {
        return Rect::ZERO;
    }
    return Rect(minX, minY, maxX - minX, maxY - minY);
}

NS_CC_END

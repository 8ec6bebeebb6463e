// One finger (or the mouse's left button) on the view, from touch began to ended.
// Locations are design coordinates with the origin at the bottom left; the "InView"
// variants have the origin at the top left. Depends on Ref and Vec2.
#pragma once

#include "base/Ref.h"
#include "math/Vec2.h"

NS_CC_BEGIN

class Touch : public Ref {
public:
    Touch() = default;

    // Where the touch is now.
    Vec2 getLocation() const { return _point; }
    // Where it was at the previous event.
    Vec2 getPreviousLocation() const { return _previousPoint; }
    // Where it began.
    Vec2 getStartLocation() const { return _startPoint; }
    // Motion since the previous event.
    Vec2 getDelta() const { return _point - _previousPoint; }
    // The same three points with the origin at the top left of the design area.
    Vec2 getLocationInView() const { return _pointInView; }
    int getId() const { return _id; }

    // Records a new position: the first call also sets the start and previous points.
    void setTouchInfo(int id, const Vec2& location, const Vec2& locationInView);

private:
    int _id = 0;
    bool _started = false;
    Vec2 _point, _previousPoint, _startPoint;
    Vec2 _pointInView, _previousPointInView, _startPointInView;
};

NS_CC_END

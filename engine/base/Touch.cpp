#include "base/Touch.h"

NS_CC_BEGIN

void Touch::setTouchInfo(int id, const Vec2& location, const Vec2& locationInView) {
    _id = id;
    if (!_started) {
        _started = true;
        _startPoint = _previousPoint = location;
        _startPointInView = _previousPointInView = locationInView;
    } else {
        _previousPoint = _point;
        _previousPointInView = _pointInView;
    }
    _point = location;
    _pointInView = locationInView;
}

NS_CC_END

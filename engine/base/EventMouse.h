// A mouse event: button down or up, motion, or wheel. The cursor is in design
// coordinates with the origin at the bottom left; a wheel turned away from the user gives
// a negative scroll y, as cocos2d reports it on desktops. Depends on Event and Vec2.
#pragma once

#include "base/Event.h"
#include "math/Vec2.h"

NS_CC_BEGIN

class EventMouse : public Event {
public:
    enum class MouseEventType { MOUSE_NONE, MOUSE_DOWN, MOUSE_UP, MOUSE_MOVE, MOUSE_SCROLL };
    // Unscoped so that both `EventMouse::MouseButton::BUTTON_MIDDLE` and a plain 2 compare.
    enum MouseButton {
        BUTTON_UNSET = -1,
        BUTTON_LEFT = 0,
        BUTTON_RIGHT = 1,
        BUTTON_MIDDLE = 2,
        BUTTON_4 = 3,
        BUTTON_5 = 4,
    };

    explicit EventMouse(MouseEventType type) : Event(Type::MOUSE), _mouseEventType(type) {}

    MouseEventType getMouseEventType() const { return _mouseEventType; }

    // Cursor position in design coordinates (origin bottom left) and in view coordinates.
    void setCursorPosition(const Vec2& location, const Vec2& locationInView) {
        _point = location;
        _pointInView = locationInView;
    }
    // Cursor position at the previous mouse event.
    void setPreviousLocation(const Vec2& location) { _previousPoint = location; }
    float getCursorX() const { return _point.x; }
    Vec2 getLocation() const { return _point; }
    Vec2 getPreviousLocation() const { return _previousPoint; }
    Vec2 getDelta() const { return _point - _previousPoint; }
    // Cursor position with the origin at the top left of the design area.
    Vec2 getLocationInView() const { return _pointInView; }

    void setMouseButton(MouseButton button) { _mouseButton = button; }
    MouseButton getMouseButton() const { return _mouseButton; }

    // Wheel amounts: x to the right, y negative when turned away from the user.
    void setScrollData(float scrollX, float scrollY) {
        _scrollX = scrollX;
        _scrollY = scrollY;
    }
    float getScrollY() const { return _scrollY; }

private:
    MouseEventType _mouseEventType;
    MouseButton _mouseButton = BUTTON_UNSET;
    float _scrollX = 0.f;
    float _scrollY = 0.f;
    Vec2 _point, _previousPoint, _pointInView;
};

NS_CC_END

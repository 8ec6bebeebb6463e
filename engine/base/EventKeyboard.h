// A key pressed or released, with the cocos2d key names for the keys the engine reports
// and whether Ctrl and Shift were held (key repeat is not reported: a held key is one
// press). Depends on Event.
#pragma once

#include "base/Event.h"

NS_CC_BEGIN

class EventKeyboard : public Event {
public:
    enum class KeyCode {
        KEY_NONE,
        KEY_ESCAPE,
        KEY_BACKSPACE,
        KEY_TAB,
        KEY_ENTER,
        KEY_SPACE,
        KEY_LEFT_ARROW,
        KEY_RIGHT_ARROW,
        KEY_UP_ARROW,
        KEY_DOWN_ARROW,
        KEY_Y,
        KEY_Z,
    };

    EventKeyboard(KeyCode keyCode, bool isPressed, bool ctrl = false, bool shift = false)
        : Event(Type::KEYBOARD),
          _keyCode(keyCode),
          _isPressed(isPressed),
          _ctrl(ctrl),
          _shift(shift) {}

    // Which key, and whether it went down (true) or up.
    KeyCode getKeyCode() const { return _keyCode; }
    bool isPressed() const { return _isPressed; }
    // Whether either Ctrl key, or either Shift key, was held as the key went down or up.
    bool isCtrlDown() const { return _ctrl; }
    bool isShiftDown() const { return _shift; }

private:
    KeyCode _keyCode;
    bool _isPressed;
    bool _ctrl;
    bool _shift;
};

NS_CC_END

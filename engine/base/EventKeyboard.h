// A key pressed or released, with the cocos2d key names for the keys the engine reports
// (key repeat is not reported: a held key is one press). Depends on Event.
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
    };

    EventKeyboard(KeyCode keyCode, bool isPressed)
        : Event(Type::KEYBOARD), _keyCode(keyCode), _isPressed(isPressed) {}

    // Which key, and whether it went down (true) or up.
    KeyCode getKeyCode() const { return _keyCode; }
    bool isPressed() const { return _isPressed; }

private:
    KeyCode _keyCode;
    bool _isPressed;
};

NS_CC_END

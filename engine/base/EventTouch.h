// A touch event: began, moved, ended or cancelled, with the touches it concerns (one at a
// time here). Depends on Event and Touch.
#pragma once

#include <vector>

#include "base/Event.h"
#include "base/Touch.h"

NS_CC_BEGIN

class EventTouch : public Event {
public:
    enum class EventCode { BEGAN, MOVED, ENDED, CANCELLED };

    EventTouch() : Event(Type::TOUCH) {}

    EventCode getEventCode() const { return _eventCode; }
    void setEventCode(EventCode code) { _eventCode = code; }
    // The touches of this event; the caller keeps them alive during dispatch.
    const std::vector<Touch*>& getTouches() const { return _touches; }
    void setTouches(const std::vector<Touch*>& touches) { _touches = touches; }

private:
    EventCode _eventCode = EventCode::BEGAN;
    std::vector<Touch*> _touches;
};

NS_CC_END

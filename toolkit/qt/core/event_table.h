// The handlers of one window or control, for the events its kind raises.
//
//   EventTable events{Event::Click};
//   events.connect(button, Event::Click, [] { ... });  // Event::Change would throw.
//   dispatch(events[Event::Click]);
#pragma once

#include "toolkit/object.h"

#include <initializer_list>
#include <map>

namespace toolkit {

class EventTable {
public:
    explicit EventTable(std::initializer_list<Event> raised);

    // Throws `Error`, naming the owner, for an event its kind never raises.
    void connect(const Object& owner, Event event, Handler handler, Turn turn = Turn::InOrder);
    // The connected handler; an empty one when none is.
    const Handler& operator[](Event event) const;
    Turn turn(Event event) const;

private:
    std::map<Event, std::pair<Handler, Turn>> m_handlers;
};

}  // namespace toolkit

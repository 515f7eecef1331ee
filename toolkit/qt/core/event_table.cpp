#include "toolkit/qt/core/event_table.h"

namespace toolkit {

EventTable::EventTable(std::initializer_list<Event> raised)
{
    for (Event event : raised)
        m_handlers[event];
}

void EventTable::connect(const Object& owner, Event event, Handler handler)
{
    auto found = m_handlers.find(event);
    if (found == m_handlers.end())
        throw Error(describe(owner) + " raises no such event.");
    found->second = std::move(handler);
}

const Handler& EventTable::operator[](Event event) const
{
    static const Handler none;
    auto found = m_handlers.find(event);
    return found == m_handlers.end() ? none : found->second;
}

}  // namespace toolkit

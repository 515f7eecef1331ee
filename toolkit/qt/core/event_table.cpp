#include "toolkit/qt/core/event_table.h"

namespace toolkit {

EventTable::EventTable(std::initializer_list<Event> raised)
{
    for (Event event : raised)
        m_handlers[event];
}

void EventTable::connect(const Object& owner, Event event, Handler handler, Turn turn)
{
    auto found = m_handlers.find(event);
    if (found == m_handlers.end())
        throw Error(describe(owner) + " raises no such event.");
    found->second = {std::move(handler), turn};
}

const Handler& EventTable::operator[](Event event) const
{
    static const Handler none;
    auto found = m_handlers.find(event);
    return found == m_handlers.end() ? none : found->second.first;
}

Turn EventTable::turn(Event event) const
{
    auto found = m_handlers.find(event);
    return found == m_handlers.end() ? Turn::InOrder : found->second.second;
}

}  // namespace toolkit

// The one door through which Qt hands control to the program's handlers.
//
// Debian's Qt is built without exception support, so no exception may unwind
// through its frames. Every event reaches a handler through `dispatch`, which
// shows an error that no handler caught in a message box; the tool carries on.
#pragma once

#include "toolkit/object.h"

namespace toolkit {

void dispatch(const Handler& handler) noexcept;

// Runs an event's handler, if one is connected, and lets errors through to
// the caller: a property set from code raises its event inside the caller.
void raise(const Handler& handler);

}  // namespace toolkit

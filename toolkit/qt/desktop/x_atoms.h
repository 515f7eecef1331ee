// An X atom by name, asked of the X server, which always answers: it never
// waits on another program.
//
//   xcb_atom_t clipboard = intern_atom(connection, "CLIPBOARD");
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace toolkit {

inline xcb_atom_t intern_atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : XCB_NONE;
}

}  // namespace toolkit

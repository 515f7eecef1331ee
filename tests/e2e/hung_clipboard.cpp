// A program that takes the clipboard and never answers anyone who asks for
// it, as a hung program would. Prints "owning" once it holds it.
// Usage: hung_clipboard [SELECTION]   (CLIPBOARD unless named, for example
// CLIPBOARD_MANAGER for a hung clipboard manager)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x))
        return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    xcb_window_t window = xcb_generate_id(x);
    xcb_create_window(x, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    const char* name = argc > 1 ? argv[1] : "CLIPBOARD";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (!atom)
        return 1;
    xcb_set_selection_owner(x, window, atom->atom, XCB_CURRENT_TIME);
    std::free(atom);
    xcb_flush(x);
    std::puts("owning");
    std::fflush(stdout);
    // Every request for the clipboard is read and left unanswered.
    while (xcb_generic_event_t* event = xcb_wait_for_event(x))
        std::free(event);
    return 0;
}

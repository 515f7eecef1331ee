// A program that takes the clipboard and never answers anyone who asks for
// it, as a hung program would; or, with --trickle, one that answers in
// parts, a part every so many milliseconds, as a slow one would. Prints
// "owning" once it holds the selection.
// Usage: hung_clipboard [SELECTION]   (CLIPBOARD unless named, for example
//                                      CLIPBOARD_MANAGER for a hung clipboard manager)
//        hung_clipboard --trickle MS PARTS
//          sends "part 1 of PARTS\n" ... as UTF8_STRING, in PARTS parts
#include <xcb/xcb.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_atom_t atom(xcb_connection_t* x, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        std::exit(1);
    xcb_atom_t found = reply->atom;
    std::free(reply);
    return found;
}

void notify(xcb_connection_t* x, const xcb_selection_request_event_t& request, xcb_atom_t property)
{
    xcb_selection_notify_event_t answer{};
    answer.response_type = XCB_SELECTION_NOTIFY;
    answer.time = request.time;
    answer.requestor = request.requestor;
    answer.selection = request.selection;
    answer.target = request.target;
    answer.property = property;
    xcb_send_event(x, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&answer));
}

// Answers TARGETS with UTF-8 text, and the text itself in parts: the size
// it will be at least, then each part once the one before has been taken.
void trickle(xcb_connection_t* x, int part_ms, int parts)
{
    xcb_atom_t targets = atom(x, "TARGETS"), utf8 = atom(x, "UTF8_STRING"), incr = atom(x, "INCR");
    xcb_window_t requestor = XCB_NONE;
    xcb_atom_t property = XCB_NONE;
    int sent = 0;
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
        std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_REQUEST) {
            auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
            if (request.target == targets) {
                xcb_atom_t offered[] = {targets, utf8};
                xcb_change_property(x, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                    XCB_ATOM_ATOM, 32, 2, offered);
                notify(x, request, request.property);
            } else if (request.target == utf8 && requestor == XCB_NONE) {
                requestor = request.requestor;
                property = request.property;
                const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(x, requestor, XCB_CW_EVENT_MASK, &events);
                std::uint32_t at_least = 0;
                xcb_change_property(x, XCB_PROP_MODE_REPLACE, requestor, property, incr, 32, 1,
                                    &at_least);
                notify(x, request, property);
            } else {
                notify(x, request, XCB_NONE);
            }
        } else if (type == XCB_PROPERTY_NOTIFY) {
            auto& change = *reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (change.window == requestor && change.atom == property &&
                change.state == XCB_PROPERTY_DELETE && sent <= parts) {
                // Taken: the next part after a while, and an empty one to end.
                std::string part;
                if (sent < parts) {
                    ::usleep(static_cast<useconds_t>(part_ms) * 1000);
                    part = "part " + std::to_string(sent + 1) + " of " + std::to_string(parts) + "\n";
                }
                xcb_change_property(x, XCB_PROP_MODE_REPLACE, requestor, property, utf8, 8,
                                    static_cast<std::uint32_t>(part.size()), part.data());
                ++sent;
            }
        }
        std::free(event);
        xcb_flush(x);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x))
        return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    xcb_window_t window = xcb_generate_id(x);
    xcb_create_window(x, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    bool trickling = argc == 4 && std::strcmp(argv[1], "--trickle") == 0;
    const char* name = argc == 2 ? argv[1] : "CLIPBOARD";
    xcb_set_selection_owner(x, window, atom(x, name), XCB_CURRENT_TIME);
    xcb_flush(x);
    std::puts("owning");
    std::fflush(stdout);
    if (trickling) {
        trickle(x, std::atoi(argv[2]), std::atoi(argv[3]));
        return 0;
    }
    // Every request for the clipboard is read and left unanswered.
    while (xcb_generic_event_t* event = xcb_wait_for_event(x))
        std::free(event);
    return 0;
}

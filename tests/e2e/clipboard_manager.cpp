// A clipboard manager as desktops run one, written to the freedesktop
// ClipboardManager protocol: it owns the CLIPBOARD_MANAGER selection, and a
// program that asks it to (SAVE_TARGETS) has its clipboard text copied, in
// parts where the owner sends it so (INCR). Once that program has gone, the
// manager owns CLIPBOARD and serves the copy. It prints
// "managing" once it holds its selection, and "saved N bytes" each time it
// took a text.
// Usage: clipboard_manager [--refuse]   (--refuse: answers every save with
// a refusal, as a manager that keeps no text would)
#include <xcb/xcb.h>

#include <poll.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* x;
xcb_window_t window;

xcb_atom_t atom(const char* name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : XCB_NONE;
}

xcb_window_t owner_of(xcb_atom_t selection)
{
    Reply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, selection), nullptr),
        &std::free);
    return reply ? reply->owner : XCB_NONE;
}

// Takes the property off the manager's window: its type and bytes.
std::pair<xcb_atom_t, std::string> take(xcb_atom_t property)
{
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            x, xcb_get_property(x, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
            nullptr),
        &std::free);
    if (!reply)
        return {XCB_NONE, {}};
    auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return {reply->type,
            std::string(bytes, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())))};
}

bool gone(xcb_window_t other)
{
    Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, other), nullptr),
        &std::free);
    return !reply;
}

void answer(const xcb_selection_request_event_t& request, xcb_atom_t property)
{
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    xcb_send_event(x, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(x);
}

}  // namespace

int main(int argc, char** argv)
{
    bool refuse = argc > 1 && std::string_view(argv[1]) == "--refuse";
    x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x))
        return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    window = xcb_generate_id(x);
    std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(x, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    xcb_atom_t manager = atom("CLIPBOARD_MANAGER"), clipboard = atom("CLIPBOARD"),
               save_targets = atom("SAVE_TARGETS"), targets = atom("TARGETS"),
               utf8 = atom("UTF8_STRING"), incr = atom("INCR"), held = atom("MANAGER_HELD"),
               atom_type = atom("ATOM");
    xcb_set_selection_owner(x, window, manager, XCB_CURRENT_TIME);
    if (owner_of(manager) != window)
        return 1;
    std::puts("managing");
    std::fflush(stdout);

    // One save at a time: the request that asked, and the text as it comes.
    bool saving = false, in_parts = false;
    xcb_selection_request_event_t asker{};
    std::string text, saved;
    bool have_saved = false, owning = false;
    xcb_window_t saved_from = XCB_NONE;
    // The whole text has come: it is kept, and the program that asked hears so.
    auto saved_all = [&] {
        saving = false;
        saved = text;
        have_saved = true;
        owning = false;
        std::printf("saved %zu bytes\n", saved.size());
        std::fflush(stdout);
        answer(asker, asker.property == XCB_NONE ? asker.target : asker.property);
    };

    for (;;) {
        // Once the program that copied is gone (its window with it), its
        // text is ours to serve. A clipboard merely cleared, as a program
        // does just before it copies anew, is left alone.
        if (have_saved && !owning && !saving && saved_from != XCB_NONE && gone(saved_from)) {
            saved_from = XCB_NONE;
            xcb_window_t now = owner_of(clipboard);
            if (now == XCB_NONE) {
                xcb_set_selection_owner(x, window, clipboard, XCB_CURRENT_TIME);
                owning = owner_of(clipboard) == window;
            }
        }
        xcb_generic_event_t* raw = xcb_poll_for_event(x);
        if (!raw) {
            if (xcb_connection_has_error(x))
                return 0;
            pollfd ready{xcb_get_file_descriptor(x), POLLIN, 0};
            poll(&ready, 1, 20);
            continue;
        }
        Reply<xcb_generic_event_t> event(raw, &std::free);
        switch (event->response_type & 0x7F) {
        case XCB_SELECTION_REQUEST: {
            auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event.get());
            xcb_atom_t property = request.property == XCB_NONE ? request.target : request.property;
            if (request.selection == manager && request.target == save_targets && !saving) {
                if (refuse) {
                    answer(request, XCB_NONE);
                    break;
                }
                saving = true;
                in_parts = false;
                asker = request;
                saved_from = owner_of(clipboard);
                text.clear();
                xcb_convert_selection(x, window, clipboard, utf8, held, XCB_CURRENT_TIME);
                xcb_flush(x);
            } else if (request.selection == clipboard && owning && request.target == targets) {
                xcb_atom_t offered[] = {targets, utf8};
                xcb_change_property(x, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                    atom_type, 32, 2, offered);
                answer(request, property);
            } else if (request.selection == clipboard && owning && request.target == utf8) {
                xcb_change_property(x, XCB_PROP_MODE_REPLACE, request.requestor, property, utf8, 8,
                                    static_cast<std::uint32_t>(saved.size()), saved.data());
                answer(request, property);
            } else {
                answer(request, XCB_NONE);
            }
            break;
        }
        case XCB_SELECTION_NOTIFY: {
            auto& notify = *reinterpret_cast<xcb_selection_notify_event_t*>(event.get());
            if (!saving || notify.requestor != window)
                break;
            if (notify.property == XCB_NONE) {
                saving = false;
                answer(asker, XCB_NONE);
                break;
            }
            auto [type, bytes] = take(held);
            xcb_flush(x);
            if (type == incr) {
                in_parts = true;  // The parts follow as the property is deleted.
                break;
            }
            text = bytes;
            saved_all();
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            auto& notify = *reinterpret_cast<xcb_property_notify_event_t*>(event.get());
            if (!saving || !in_parts || notify.window != window || notify.atom != held ||
                notify.state != XCB_PROPERTY_NEW_VALUE)
                break;
            auto [type, bytes] = take(held);
            xcb_flush(x);
            if (!bytes.empty()) {
                text += bytes;
                break;
            }
            saved_all();
            break;
        }
        case XCB_SELECTION_CLEAR: owning = false; break;
        default: break;
        }
    }
}

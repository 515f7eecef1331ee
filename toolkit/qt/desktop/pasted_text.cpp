#include "toolkit/qt/desktop/pasted_text.h"

#include "toolkit/qt/folders/off_thread.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <xcb/xcb.h>

namespace toolkit {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto answer_time = std::chrono::milliseconds(900);

// One connection of its own to the X server, for one paste.
class XConnection {
public:
    XConnection() : m_connection(xcb_connect(nullptr, nullptr)) { }
    ~XConnection()
    {
        if (m_window != XCB_NONE)
            xcb_destroy_window(m_connection, m_window);
        xcb_disconnect(m_connection);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool open()
    {
        if (xcb_connection_has_error(m_connection))
            return false;
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
        if (!screen)
            return false;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1,
                          0, XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
        return true;
    }

    // The X server itself always answers: these never wait on another program.
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : XCB_NONE;
    }

    // The clipboard's content as `target`, asked of its owner, who has until
    // `deadline` to answer.
    Pasted::Outcome fetch(xcb_atom_t target, Clock::time_point deadline, QByteArray& bytes)
    {
        xcb_atom_t clipboard = atom("CLIPBOARD");
        xcb_atom_t property = atom("TOBREL_PASTE");
        xcb_atom_t incremental = atom("INCR");
        xcb_convert_selection(m_connection, m_window, clipboard, target, property,
                              XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
                if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                    continue;
                auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
                if (notify->property == XCB_NONE)
                    return Pasted::Outcome::Nothing;  // The owner has no such form.
                return take_property(property, incremental, bytes);
            }
            if (xcb_connection_has_error(m_connection))
                return Pasted::Outcome::Nothing;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return Pasted::Outcome::NoAnswer;
            pollfd ready{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&ready, 1, static_cast<int>(left.count()));
        }
    }

private:
    Pasted::Outcome take_property(xcb_atom_t property, xcb_atom_t incremental, QByteArray& bytes)
    {
        // One word more than a path can take tells a longer text from one that fits.
        xcb_get_property_cookie_t cookie =
            xcb_get_property(m_connection, 1, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                             most_pasted_bytes / 4 + 1);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
        if (!reply)
            return Pasted::Outcome::Nothing;
        // A text sent in parts is far too long to be a path.
        if (reply->type == incremental || reply->bytes_after > 0)
            return Pasted::Outcome::TooLong;
        int length = xcb_get_property_value_length(reply.get());
        if (length > most_pasted_bytes)
            return Pasted::Outcome::TooLong;
        bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
        return Pasted::Outcome::Read;
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_window = XCB_NONE;
};

Pasted read_from_x()
{
    Pasted pasted;
    XConnection x;
    if (!x.open())
        return pasted;
    Clock::time_point deadline = Clock::now() + answer_time;
    // The forms the owner offers first: some owners send their text as
    // whatever form is asked for.
    QByteArray bytes;
    pasted.outcome = x.fetch(x.atom("TARGETS"), deadline, bytes);
    if (pasted.outcome != Pasted::Outcome::Read)
        return pasted;
    xcb_atom_t uri_list = x.atom("text/uri-list");
    xcb_atom_t utf8 = x.atom("UTF8_STRING");
    bool has_uri_list = false;
    bool has_utf8 = false;
    for (qsizetype at = 0; at + 4 <= bytes.size(); at += 4) {
        xcb_atom_t offered;
        std::memcpy(&offered, bytes.constData() + at, 4);
        has_uri_list = has_uri_list || offered == uri_list;
        has_utf8 = has_utf8 || offered == utf8;
    }
    if (has_uri_list) {
        pasted.outcome = x.fetch(uri_list, deadline, bytes);
        for (const QByteArray& line : bytes.split('\n')) {
            QByteArray address = line.trimmed();
            if (!address.isEmpty() && !address.startsWith('#'))
                pasted.addresses.append(QUrl::fromEncoded(address));
        }
        return pasted;
    }
    pasted.outcome = has_utf8 ? x.fetch(utf8, deadline, bytes) : Pasted::Outcome::Nothing;
    if (pasted.outcome == Pasted::Outcome::Read)
        pasted.text = QString::fromUtf8(bytes);
    return pasted;
}

Pasted read_from_qt()
{
    Pasted pasted;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return pasted;
    if (data->hasUrls()) {
        pasted.outcome = Pasted::Outcome::Read;
        pasted.addresses = data->urls();
    } else if (data->hasText()) {
        pasted.text = data->text();
        pasted.outcome = pasted.text.size() > most_pasted_bytes ? Pasted::Outcome::TooLong
                                                                : Pasted::Outcome::Read;
    }
    return pasted;
}

}  // namespace

void read_pasted(QObject* context, std::function<void(const Pasted& pasted)> done)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        done(read_from_qt());
        return;
    }
    auto pasted = std::make_shared<Pasted>();
    run_off_thread([pasted] { *pasted = read_from_x(); }, context,
                   [pasted, done = std::move(done)] { done(*pasted); });
}

}  // namespace toolkit

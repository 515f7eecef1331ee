#include "toolkit/qt/desktop/pasted_text.h"

#include "toolkit/qt/desktop/x_atoms.h"
#include "toolkit/qt/folders/off_thread.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <vector>
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
        // A text sent in parts arrives as changes of the window's property.
        const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK,
                          &events);
        return true;
    }

    xcb_atom_t atom(const char* name) { return intern_atom(m_connection, name); }

    // The selection's content as `target`, asked of its owner, who has until
    // `deadline` to answer, then `answer_time` after each part it sends to
    // send the next. More than `limit` bytes is too long.
    Pasted::Outcome fetch(xcb_atom_t selection, xcb_atom_t target, Clock::time_point deadline,
                          std::size_t limit, QByteArray& bytes)
    {
        xcb_atom_t property = atom("TOBREL_PASTE");
        xcb_atom_t incremental = atom("INCR");
        xcb_convert_selection(m_connection, m_window, selection, target, property,
                              XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        bool in_parts = false;
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
                std::uint8_t type = event->response_type & 0x7f;
                if (type == XCB_SELECTION_NOTIFY && !in_parts) {
                    auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
                    if (notify->property == XCB_NONE)
                        return Pasted::Outcome::Nothing;  // The owner has no such form.
                    Part part = take_property(property, limit);
                    if (part.type != incremental || part.outcome != Pasted::Outcome::Read) {
                        bytes = std::move(part.bytes);
                        return part.outcome;
                    }
                    // Too long for one property: each part replaces the last,
                    // and an empty one ends the text.
                    in_parts = true;
                    bytes.clear();
                    deadline = Clock::now() + answer_time;
                } else if (type == XCB_PROPERTY_NOTIFY && in_parts) {
                    auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                    if (notify->atom != property || notify->state != XCB_PROPERTY_NEW_VALUE)
                        continue;
                    Part part =
                        take_property(property, limit - static_cast<std::size_t>(bytes.size()));
                    if (part.outcome != Pasted::Outcome::Read)
                        return part.outcome;
                    if (part.bytes.isEmpty())
                        return Pasted::Outcome::Read;
                    bytes += part.bytes;
                    deadline = Clock::now() + answer_time;
                }
            }
            if (xcb_connection_has_error(m_connection))
                return Pasted::Outcome::Nothing;
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return Pasted::Outcome::NoAnswer;
            pollfd ready{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&ready, 1, static_cast<int>(left.count()));
        }
    }

private:
    struct Part {
        Pasted::Outcome outcome = Pasted::Outcome::Nothing;
        xcb_atom_t type = XCB_NONE;
        QByteArray bytes;
    };

    // Reads the property and deletes it, which asks a sender in parts for the next.
    Part take_property(xcb_atom_t property, std::size_t limit)
    {
        // One word more than the limit tells a longer text from one that fits.
        auto words =
            static_cast<std::uint32_t>(std::min<std::size_t>(limit / 4 + 1, UINT32_MAX / 4));
        xcb_get_property_cookie_t cookie = xcb_get_property(m_connection, 1, m_window, property,
                                                            XCB_GET_PROPERTY_TYPE_ANY, 0, words);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
        xcb_flush(m_connection);
        if (!reply)
            return {};
        auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
        if (reply->bytes_after > 0 || length > limit)
            return {Pasted::Outcome::TooLong, reply->type, {}};
        return {Pasted::Outcome::Read, reply->type,
                QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           static_cast<qsizetype>(length))};
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_window = XCB_NONE;
};

Pasted read_from_x(const char* selection, std::size_t limit, bool with_addresses)
{
    Pasted pasted;
    XConnection x;
    if (!x.open())
        return pasted;
    xcb_atom_t from = x.atom(selection);
    Clock::time_point deadline = Clock::now() + answer_time;
    // The forms the owner offers first: some owners send their text as
    // whatever form is asked for.
    QByteArray bytes;
    pasted.outcome = x.fetch(from, x.atom("TARGETS"), deadline, most_pasted_bytes, bytes);
    if (pasted.outcome != Pasted::Outcome::Read)
        return pasted;
    // The forms of text in the order Qt's own clipboard tries them: UTF-8
    // first, then plain text, then Latin-1, which is what STRING means.
    struct TextForm {
        const char* name;
        bool latin1;
    };
    static constexpr TextForm text_forms[] = {
        {"UTF8_STRING", false},
        {"text/plain;charset=utf-8", false},
        {"text/plain", false},
        {"STRING", true},
    };
    xcb_atom_t uri_list = x.atom("text/uri-list");
    std::vector<xcb_atom_t> offered(static_cast<std::size_t>(bytes.size() / 4));
    std::memcpy(offered.data(), bytes.constData(), offered.size() * 4);
    auto offers = [&](xcb_atom_t form) {
        return std::find(offered.begin(), offered.end(), form) != offered.end();
    };
    if (with_addresses && offers(uri_list)) {
        pasted.outcome = x.fetch(from, uri_list, deadline, limit, bytes);
        for (const QByteArray& line : bytes.split('\n')) {
            QByteArray address = line.trimmed();
            if (!address.isEmpty() && !address.startsWith('#'))
                pasted.addresses.append(QUrl::fromEncoded(address));
        }
        return pasted;
    }
    pasted.outcome = Pasted::Outcome::Nothing;
    for (const TextForm& form : text_forms) {
        xcb_atom_t target = x.atom(form.name);
        if (!offers(target))
            continue;
        pasted.outcome = x.fetch(from, target, deadline, limit, bytes);
        if (pasted.outcome == Pasted::Outcome::Read)
            pasted.text = form.latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
        // An owner that did not answer will not answer in another form.
        if (pasted.outcome != Pasted::Outcome::Nothing)
            break;
    }
    return pasted;
}

Pasted read_from_qt(QClipboard::Mode mode, std::size_t limit, bool with_addresses)
{
    Pasted pasted;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode);
    if (!data)
        return pasted;
    if (with_addresses && data->hasUrls()) {
        pasted.outcome = Pasted::Outcome::Read;
        pasted.addresses = data->urls();
    } else if (data->hasText()) {
        pasted.text = data->text();
        pasted.outcome = static_cast<std::size_t>(pasted.text.size()) > limit
            ? Pasted::Outcome::TooLong
            : Pasted::Outcome::Read;
    }
    return pasted;
}

void read(QObject* context, QClipboard::Mode mode, std::size_t limit, bool with_addresses,
          std::function<void(const Pasted& pasted)> done)
{
    // What the program itself holds is read from memory; nothing to wait for.
    QClipboard* clipboard = QGuiApplication::clipboard();
    bool own =
        mode == QClipboard::Selection ? clipboard->ownsSelection() : clipboard->ownsClipboard();
    if (own || QGuiApplication::platformName() != QLatin1String("xcb")) {
        done(read_from_qt(mode, limit, with_addresses));
        return;
    }
    const char* selection = mode == QClipboard::Selection ? "PRIMARY" : "CLIPBOARD";
    auto pasted = std::make_shared<Pasted>();
    run_off_thread([pasted, selection, limit,
                    with_addresses] { *pasted = read_from_x(selection, limit, with_addresses); },
                   context, [pasted, done = std::move(done)] { done(*pasted); });
}

}  // namespace

void read_pasted(QObject* context, std::function<void(const Pasted& pasted)> done)
{
    read(context, QClipboard::Clipboard, most_pasted_bytes, true, std::move(done));
}

void read_pasted_text(QObject* context, QClipboard::Mode mode,
                      std::function<void(const Pasted& pasted)> done)
{
    read(context, mode, most_pasted_text_bytes, false, std::move(done));
}

}  // namespace toolkit

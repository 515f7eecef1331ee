#include "toolkit/qt/desktop/pasted_text.h"

#include "toolkit/qt/core/utf8.h"
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
                          std::size_t limit, std::string& bytes)
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
                    bytes.clear();
                    Part part = take_property(property, limit, bytes);
                    if (part.type != incremental || part.outcome != Pasted::Outcome::Read)
                        return part.outcome;
                    // Too long for one property: each part replaces the last,
                    // and an empty one ends the text.
                    in_parts = true;
                    // Room for the most the text may be, made once: growing
                    // by copying as parts come would hold it twice for a
                    // while. Room never written to takes no memory, and
                    // what is left over is the box's to type into.
                    bytes.clear();
                    bytes.reserve(limit);
                    deadline = Clock::now() + answer_time;
                } else if (type == XCB_PROPERTY_NOTIFY && in_parts) {
                    auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                    if (notify->atom != property || notify->state != XCB_PROPERTY_NEW_VALUE)
                        continue;
                    std::size_t had = bytes.size();
                    Part part = take_property(property, limit - had, bytes);
                    if (part.outcome != Pasted::Outcome::Read)
                        return part.outcome;
                    if (bytes.size() == had)
                        return Pasted::Outcome::Read;
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
    };

    // Reads the property onto the end of `bytes` and deletes it, which asks a
    // sender in parts for the next.
    Part take_property(xcb_atom_t property, std::size_t limit, std::string& bytes)
    {
        // Asked for in pieces, so that a text sent in one property is never
        // held twice whole, once in a reply and once in `bytes`; the last
        // piece deletes the property.
        constexpr std::size_t piece_words = std::size_t(4) << 20;
        std::size_t taken = 0;
        for (;;) {
            // One word more than the limit tells a longer text from one that fits.
            auto words = static_cast<std::uint32_t>(
                std::min({(limit - taken) / 4 + 1, piece_words, std::size_t(UINT32_MAX / 4)}));
            xcb_get_property_cookie_t cookie =
                xcb_get_property(m_connection, 1, m_window, property, XCB_GET_PROPERTY_TYPE_ANY,
                                 static_cast<std::uint32_t>(taken / 4), words);
            std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
                xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
            xcb_flush(m_connection);
            if (!reply)
                return {};
            auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
            if (taken + length + reply->bytes_after > limit)
                return {Pasted::Outcome::TooLong, reply->type};
            if (taken == 0)
                bytes.reserve(bytes.size() + length + reply->bytes_after);
            bytes.append(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
            taken += length;
            if (reply->bytes_after == 0 || length == 0)
                return {Pasted::Outcome::Read, reply->type};
        }
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_window = XCB_NONE;
};

// The text as read, in the form the owner sent it.
struct Read {
    Pasted pasted;
    std::string bytes;
    bool latin1 = false;
};

Read read_from_x(const char* selection, std::size_t limit, bool with_addresses)
{
    Read read;
    Pasted& pasted = read.pasted;
    XConnection x;
    if (!x.open())
        return read;
    xcb_atom_t from = x.atom(selection);
    Clock::time_point deadline = Clock::now() + answer_time;
    // The forms the owner offers first: some owners send their text as
    // whatever form is asked for.
    std::string& bytes = read.bytes;
    pasted.outcome = x.fetch(from, x.atom("TARGETS"), deadline, most_pasted_bytes, bytes);
    if (pasted.outcome != Pasted::Outcome::Read)
        return read;
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
    std::vector<xcb_atom_t> offered(bytes.size() / 4);
    std::memcpy(offered.data(), bytes.data(), offered.size() * 4);
    bytes.clear();
    auto offers = [&](xcb_atom_t form) {
        return std::find(offered.begin(), offered.end(), form) != offered.end();
    };
    if (with_addresses && offers(uri_list)) {
        pasted.outcome = x.fetch(from, uri_list, deadline, limit, bytes);
        for (const QByteArray& line : QByteArray::fromStdString(bytes).split('\n')) {
            QByteArray address = line.trimmed();
            if (!address.isEmpty() && !address.startsWith('#'))
                pasted.addresses.append(QUrl::fromEncoded(address));
        }
        bytes.clear();
        return read;
    }
    pasted.outcome = Pasted::Outcome::Nothing;
    for (const TextForm& form : text_forms) {
        xcb_atom_t target = x.atom(form.name);
        if (!offers(target))
            continue;
        pasted.outcome = x.fetch(from, target, deadline, limit, bytes);
        read.latin1 = form.latin1;
        // An owner that did not answer will not answer in another form.
        if (pasted.outcome != Pasted::Outcome::Nothing)
            break;
    }
    if (pasted.outcome != Pasted::Outcome::Read)
        bytes.clear();
    return read;
}

// Makes the text read UTF-8 in place where it is already, as nearly all is.
void make_utf8(std::string& bytes, bool latin1)
{
    if (!latin1 && is_valid_utf8(bytes))
        return;
    QString text = latin1 ? QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()))
                          : QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    std::string().swap(bytes);
    bytes = utf8_of(text);
}

Read read_from_qt(QClipboard::Mode mode, std::size_t limit, bool with_addresses)
{
    Read read;
    Pasted& pasted = read.pasted;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode);
    if (!data)
        return read;
    if (with_addresses && data->hasUrls()) {
        pasted.outcome = Pasted::Outcome::Read;
        pasted.addresses = data->urls();
    } else if (data->hasText()) {
        QString text = data->text();
        pasted.outcome = static_cast<std::size_t>(text.size()) > limit ? Pasted::Outcome::TooLong
                                                                       : Pasted::Outcome::Read;
        if (pasted.outcome == Pasted::Outcome::Read) {
            // With room to type into after it, as a read in parts leaves.
            QByteArray utf8 = text.toUtf8();
            read.bytes.reserve(static_cast<std::size_t>(utf8.size() + utf8.size() / 16));
            read.bytes.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        }
    }
    return read;
}

// What the caller asked for, from the bytes read: a path's text, or a text
// box's bytes made ready by its step.
Pasted finished(Read read, const std::function<void(std::string&)>& prepare)
{
    if (read.pasted.outcome == Pasted::Outcome::Read && read.pasted.addresses.isEmpty()) {
        make_utf8(read.bytes, read.latin1);
        if (prepare) {
            prepare(read.bytes);
            read.pasted.bytes = std::move(read.bytes);
        } else {
            read.pasted.text = QString::fromStdString(read.bytes);
        }
    }
    return std::move(read.pasted);
}

void read(QObject* context, QClipboard::Mode mode, std::size_t limit, bool with_addresses,
          std::function<void(std::string&)> prepare, std::function<void(Pasted& pasted)> done)
{
    // What the program itself holds is read from memory; nothing to wait for.
    QClipboard* clipboard = QGuiApplication::clipboard();
    bool own =
        mode == QClipboard::Selection ? clipboard->ownsSelection() : clipboard->ownsClipboard();
    if (own || QGuiApplication::platformName() != QLatin1String("xcb")) {
        Pasted pasted = finished(read_from_qt(mode, limit, with_addresses), prepare);
        done(pasted);
        return;
    }
    const char* selection = mode == QClipboard::Selection ? "PRIMARY" : "CLIPBOARD";
    auto pasted = std::make_shared<Pasted>();
    run_off_thread(
        [pasted, selection, limit, with_addresses, prepare = std::move(prepare)] {
            *pasted = finished(read_from_x(selection, limit, with_addresses), prepare);
        },
        context, [pasted, done = std::move(done)] { done(*pasted); });
}

}  // namespace

void read_pasted(QObject* context, std::function<void(const Pasted& pasted)> done)
{
    read(context, QClipboard::Clipboard, most_pasted_bytes, true, {},
         [done = std::move(done)](Pasted& pasted) { done(pasted); });
}

void read_pasted_text(QObject* context, QClipboard::Mode mode,
                      std::function<void(std::string& bytes)> prepare,
                      std::function<void(Pasted& pasted)> done)
{
    read(context, mode, most_pasted_text_bytes, false, std::move(prepare), std::move(done));
}

}  // namespace toolkit

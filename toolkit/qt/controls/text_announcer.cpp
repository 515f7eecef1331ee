#include "toolkit/qt/controls/text_announcer.h"

#include "toolkit/qt/controls/text_buffer.h"
#include "toolkit/qt/core/utf8.h"

#include <QAccessible>

#include <algorithm>

namespace toolkit {

namespace {

constexpr std::size_t piece_bytes = std::size_t(1) << 20;

// Whether a piece may end before `at`: never inside a character or a break.
bool may_cut(std::string_view bytes, std::size_t at)
{
    if (at == 0 || at >= bytes.size())
        return true;
    auto byte = static_cast<unsigned char>(bytes[at]);
    return (byte & 0xC0) != 0x80 && !(bytes[at] == '\n' && bytes[at - 1] == '\r');
}

// A cut near `wanted` that splits neither a character nor a break, moving
// towards `toward` (0 or the end).
std::size_t cut_near(std::string_view bytes, std::size_t wanted, std::size_t toward)
{
    std::size_t at = wanted;
    while (at != toward && !may_cut(bytes, at))
        at += at < toward ? 1 : -1;
    return at;
}

// The bytes as assistive technology reads them: each break one line feed.
QString as_heard(std::string_view bytes)
{
    std::string lines;
    lines.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n')
            continue;
        lines += bytes[at] == '\r' ? '\n' : bytes[at];
    }
    return display_name(lines);
}

int heard_units(std::string_view bytes)
{
    std::size_t pairs = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string_view::npos;
         at = bytes.find("\r\n", at + 2))
        ++pairs;
    return static_cast<int>(utf16_units(bytes) - pairs);
}

}  // namespace

TextAnnouncer::TextAnnouncer(QObject* source, const TextBuffer& buffer)
    : m_source(source), m_buffer(buffer)
{
    m_next.setSingleShot(true);
    m_next.setInterval(0);
    QObject::connect(&m_next, &QTimer::timeout, source, [this] { tell_piece(); });
}

void TextAnnouncer::replaced(std::string gone)
{
    if (!QAccessible::isActive()) {
        stop();
        return;
    }
    if (!m_running) {
        m_heard_bytes = gone.size();
        m_heard_units = heard_units(gone);
        m_gone = std::move(gone);
        m_removing = true;
    } else if (!m_removing) {
        // The listener heard only the first part of the text that went.
        gone.resize(std::min(m_heard_bytes, gone.size()));
        m_gone = std::move(gone);
        m_removing = true;
    }
    // Else it never heard of the text that went: the removals go on.
    m_running = true;
    m_next.start();
}

void TextAnnouncer::finish()
{
    m_next.stop();
    while (m_running)
        tell_piece();
}

void TextAnnouncer::stop()
{
    m_next.stop();
    m_running = m_removing = false;
    std::string().swap(m_gone);
}

void TextAnnouncer::tell_piece()
{
    if (!QAccessible::isActive()) {
        stop();
        return;
    }
    if (m_removing) {
        std::string_view heard = std::string_view(m_gone).substr(0, m_heard_bytes);
        std::size_t cut =
            heard.size() > piece_bytes ? cut_near(heard, heard.size() - piece_bytes, 0) : 0;
        QString removed = as_heard(heard.substr(cut));
        m_heard_units -= static_cast<int>(removed.size());
        m_heard_bytes = cut;
        if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent event(m_source, m_heard_units, removed);
            QAccessible::updateAccessibility(&event);
        }
        if (cut == 0) {
            m_removing = false;
            std::string().swap(m_gone);
            m_heard_units = 0;
        }
    } else {
        std::string_view text = m_buffer.bytes();
        std::size_t cut = text.size() - m_heard_bytes > piece_bytes
            ? cut_near(text, m_heard_bytes + piece_bytes, text.size())
            : text.size();
        QString inserted = as_heard(text.substr(m_heard_bytes, cut - m_heard_bytes));
        if (!inserted.isEmpty()) {
            QAccessibleTextInsertEvent event(m_source, m_heard_units, inserted);
            QAccessible::updateAccessibility(&event);
        }
        m_heard_units += static_cast<int>(inserted.size());
        m_heard_bytes = cut;
        m_running = cut < text.size();
    }
    if (m_running)
        m_next.start();
}

}  // namespace toolkit

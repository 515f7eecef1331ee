#include "toolkit/qt/controls/text_view_accessible.h"

#include "toolkit/qt/controls/text_view.h"
#include "toolkit/qt/core/utf8.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace toolkit {

namespace {

class TextViewAccessible final : public QAccessibleWidget,
                                 public QAccessibleTextInterface,
                                 public QAccessibleEditableTextInterface {
public:
    explicit TextViewAccessible(TextView* view)
        : QAccessibleWidget(view, QAccessible::EditableText), m_view(view)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    int characterCount() const override { return buffer().unit_count(); }
    QString text(int start, int end) const override { return m_view->text_between(start, end); }
    int cursorPosition() const override { return buffer().units_at(m_view->caret()); }
    void setCursorPosition(int position) override
    {
        std::size_t byte = buffer().byte_at_units(position);
        m_view->set_selection(byte, byte);
    }

    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && m_view->anchor() != m_view->caret()) {
            *start = buffer().units_at(m_view->selection_start());
            *end = buffer().units_at(m_view->selection_end());
        }
    }
    int selectionCount() const override { return m_view->anchor() != m_view->caret() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            m_view->set_selection(m_view->caret(), m_view->caret());
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            m_view->set_selection(buffer().byte_at_units(start), buffer().byte_at_units(end));
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override
    {
        int count = characterCount();
        *start = *end = -1;
        if (offset < 0 || offset > count)
            return {};
        if (boundary == QAccessible::NoBoundary) {
            *start = 0;
            *end = count;
            return text(0, count);
        }
        const TextBuffer& text_buffer = buffer();
        std::size_t line = text_buffer.line_of(text_buffer.byte_at_units(offset));
        int line_start = text_buffer.line_units(line);
        int line_end = line_start + static_cast<int>(utf16_units(text_buffer.line_bytes(line)));
        int next_line =
            line + 1 < text_buffer.line_count() ? text_buffer.line_units(line + 1) : line_end;
        if (boundary == QAccessible::LineBoundary || boundary == QAccessible::ParagraphBoundary) {
            *start = line_start;
            *end = next_line;
            return text(*start, *end);
        }
        // Characters, words and sentences never cross a line: names are lines.
        if (offset >= line_end) {
            *start = line_end;
            *end = next_line;
            return text(*start, *end);
        }
        QString within = display_name(text_buffer.line_bytes(line));
        QTextBoundaryFinder::BoundaryType type = boundary == QAccessible::CharBoundary
            ? QTextBoundaryFinder::Grapheme
            : boundary == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                    : QTextBoundaryFinder::Sentence;
        QTextBoundaryFinder finder(type, within);
        finder.setPosition(offset - line_start);
        qsizetype before =
            finder.isAtBoundary() ? offset - line_start : finder.toPreviousBoundary();
        finder.setPosition(offset - line_start);
        qsizetype after = finder.toNextBoundary();
        *start = line_start + static_cast<int>(std::max<qsizetype>(before, 0));
        *end = line_start + static_cast<int>(after < 0 ? within.size() : after);
        return text(*start, *end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override
    {
        int at_start = 0, at_end = 0;
        textAtOffset(offset, boundary, &at_start, &at_end);
        if (at_start <= 0) {
            *start = *end = -1;
            return {};
        }
        return textAtOffset(at_start - 1, boundary, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override
    {
        int at_start = 0, at_end = 0;
        textAtOffset(offset, boundary, &at_start, &at_end);
        if (at_end < 0 || at_end >= characterCount()) {
            *start = *end = -1;
            return {};
        }
        return textAtOffset(at_end, boundary, start, end);
    }

    QRect characterRect(int offset) const override
    {
        QRect rect = m_view->character_rect(buffer().byte_at_units(offset));
        return QRect(m_view->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        QPoint inside = m_view->viewport()->mapFromGlobal(point);
        if (!m_view->viewport()->rect().contains(inside))
            return -1;
        return buffer().units_at(m_view->byte_at(inside));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override
    {
        std::string with = utf8_of(text);
        std::replace(with.begin(), with.end(), '\n', '\r');
        m_view->edit(buffer().byte_at_units(std::min(start, end)),
                     buffer().byte_at_units(std::max(start, end)), with);
    }

private:
    const TextBuffer& buffer() const { return m_view->buffer(); }

    TextView* m_view;
};

}  // namespace

QAccessibleInterface* make_text_view_accessible(TextView* view)
{
    return new TextViewAccessible(view);
}

QString TextView::text_between(int start, int end) const
{
    start = std::clamp(start, 0, m_buffer.unit_count());
    end = std::clamp(end, start, m_buffer.unit_count());
    return heard_between(m_buffer.byte_at_units(start), m_buffer.byte_at_units(end));
}

QString TextView::heard_between(std::size_t from, std::size_t to) const
{
    std::string_view bytes = std::string_view(m_buffer.bytes()).substr(from, to - from);
    // Nearly always: well-formed, and lines ended by a carriage return alone,
    // so a byte is a character and each break one line feed.
    if (bytes.find('\n') == std::string_view::npos && is_valid_utf8(bytes)) {
        QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        text.replace(QChar::CarriageReturn, QChar::LineFeed);
        return text;
    }
    QString text;
    for (std::size_t at = from; at < to;) {
        std::size_t line = m_buffer.line_of(at);
        std::size_t end = std::min(m_buffer.line_end(line), to);
        text.append(display_name(std::string_view(m_buffer.bytes()).substr(at, end - at)));
        if (line + 1 == m_buffer.line_count())
            break;
        at = m_buffer.line_start(line + 1);
        if (at <= to)
            text.append(QChar::LineFeed);
    }
    return text;
}

TextView::Told TextView::before_change(std::size_t from, std::size_t to)
{
    if (!QAccessible::isActive())
        return {};
    // The listener must have heard the whole text for this change to be true of it.
    m_announcer.finish();
    // A few bytes either side, within the lines around the change: a break
    // may join or part at its edges, and a character be read anew. Never
    // inside a character or between a carriage return and its line feed.
    constexpr std::size_t margin = 8;
    std::string_view bytes = m_buffer.bytes();
    std::size_t first = m_buffer.line_of(from);
    std::size_t last = std::min(m_buffer.line_of(to) + 1, m_buffer.line_count() - 1);
    std::size_t lowest = m_buffer.line_start(first > 0 ? first - 1 : 0);
    std::size_t highest = m_buffer.line_end(last);
    auto inside = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) & 0xC0) == 0x80 ||
            (bytes[at] == '\n' && bytes[at - 1] == '\r');
    };
    std::size_t start = from > lowest + margin ? from - margin : lowest;
    while (start > lowest && inside(start))
        --start;
    std::size_t end = to + margin < highest ? to + margin : highest;
    while (end < highest && inside(end))
        ++end;
    return {true, start, m_buffer.units_at(start), m_buffer.size() - end,
            heard_between(start, end)};
}

void TextView::tell_change(const Told& told)
{
    if (!told.listening || !QAccessible::isActive())
        return;
    QString after = heard_between(told.from, m_buffer.size() - told.tail);
    const QString& before = told.before;
    // Only what differs: typing a letter tells the letter, not its line.
    qsizetype same_start = 0;
    qsizetype shortest = std::min(before.size(), after.size());
    while (same_start < shortest && before[same_start] == after[same_start])
        ++same_start;
    if (same_start > 0 && before[same_start - 1].isHighSurrogate())
        --same_start;
    qsizetype same_end = 0;
    while (same_end < shortest - same_start &&
           before[before.size() - 1 - same_end] == after[after.size() - 1 - same_end])
        ++same_end;
    if (same_end > 0 && before[before.size() - same_end].isLowSurrogate())
        --same_end;
    QString removed = before.mid(same_start, before.size() - same_start - same_end);
    QString inserted = after.mid(same_start, after.size() - same_start - same_end);
    int position = told.at + static_cast<int>(same_start);
    if (removed.isEmpty() && inserted.isEmpty())
        return;
    if (removed.isEmpty()) {
        QAccessibleTextInsertEvent event(this, position, inserted);
        QAccessible::updateAccessibility(&event);
    } else if (inserted.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, position, removed);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(this, position, removed, inserted);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace toolkit

#include "toolkit/qt/controls/text_view.h"

#include "toolkit/qt/core/accessible_factory.h"
#include "toolkit/qt/core/utf8.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>

namespace toolkit {

namespace {

constexpr int margin_px = 4;  // As QPlainTextEdit's document margin.

bool is_break(char c) { return c == '\r' || c == '\n'; }

// Decodes as the offsets count: a code point past the basic plane is two
// units, a byte that starts no well-formed character is one U+FFFD.
QString decode(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for_each_code_point(bytes, [&](char32_t c, const unsigned char*, bool valid) {
        if (!valid)
            text.append(QChar::ReplacementCharacter);
        else if (c < 0x10000)
            text.append(QChar(static_cast<char16_t>(c)));
        else
            text.append(QChar::fromUcs4(c));
    });
    return text;
}

int utf16_length(std::string_view bytes)
{
    std::size_t units = 0;
    for_each_code_point(bytes, [&](char32_t c, const unsigned char*, bool valid) {
        units += valid && c >= 0x10000 ? 2 : 1;
    });
    return static_cast<int>(std::min<std::size_t>(units, INT_MAX));
}

// The column one character before or after another: an emoji or a letter
// with its accents is one step.
int grapheme_step(const QString& line, int column, int direction)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line);
    finder.setPosition(column);
    qsizetype next = direction < 0 ? finder.toPreviousBoundary() : finder.toNextBoundary();
    return next < 0 ? column + direction : static_cast<int>(next);
}

// The view to a screen reader: editable text (typing into it edits), its
// characters and lines, and the caret. The scroll bars and the viewport are
// left out, as a text's insides.
class TextViewAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextViewAccessible(TextView* view)
        : QAccessibleWidget(view, QAccessible::EditableText), m_view(view)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.multiLine = true;
        return state;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    int characterCount() const override { return m_view->character_count(); }
    QString text(int start, int end) const override { return m_view->text_between(start, end); }
    int cursorPosition() const override
    {
        return m_view->line_offset(m_view->caret_line()) + m_view->caret_column();
    }
    void setCursorPosition(int position) override
    {
        position = std::clamp(position, 0, characterCount());
        std::size_t line = m_view->line_at_offset(position);
        m_view->set_caret(line, position - m_view->line_offset(line));
    }

    // Nothing is selected in the drawn view; selecting starts with editing.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }

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
        std::size_t line = m_view->line_at_offset(offset);
        int line_start = m_view->line_offset(line);
        int line_end = line_start + m_view->line_length(line);
        int next_line = line + 1 < m_view->line_count() ? m_view->line_offset(line + 1) : line_end;
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
        QString within = m_view->line(line);
        QTextBoundaryFinder::BoundaryType type = boundary == QAccessible::CharBoundary
            ? QTextBoundaryFinder::Grapheme
            : boundary == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                    : QTextBoundaryFinder::Sentence;
        QTextBoundaryFinder finder(type, within);
        finder.setPosition(offset - line_start);
        int before = finder.isAtBoundary() ? offset - line_start : finder.toPreviousBoundary();
        finder.setPosition(offset - line_start);
        int after = finder.toNextBoundary();
        *start = line_start + std::max(before, 0);
        *end = line_start + (after < 0 ? static_cast<int>(within.size()) : after);
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
        std::size_t line = m_view->line_at_offset(offset);
        QRect rect = m_view->character_rect(line, offset - m_view->line_offset(line));
        return QRect(m_view->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        auto at = m_view->character_at(m_view->viewport()->mapFromGlobal(point));
        return at ? m_view->line_offset(at->first) + at->second : -1;
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    TextView* m_view;
};

QAccessibleInterface* text_view_accessible(const QString&, QObject* object)
{
    auto* view = dynamic_cast<TextView*>(object);
    return view ? new TextViewAccessible(view) : nullptr;
}

}  // namespace

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    install_accessible_factory<text_view_accessible>();
    setFocusPolicy(Qt::StrongFocus);
    // The viewport would otherwise stand for the view in the keyboard order
    // wherever the order left it, and Shift+Tab would land here out of turn.
    viewport()->setFocusProxy(nullptr);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    show_text(nullptr);
}

void TextView::show_text(const std::string* text)
{
    m_text = text;
    m_line_starts.assign(1, 0);
    m_line_offsets.clear();
    m_caret_line = 0;
    m_caret_column = 0;
    std::size_t longest_bytes = 0;
    std::size_t longest_line = 0;
    if (m_text) {
        const char* begin = m_text->data();
        const char* end = begin + m_text->size();
        const char* line_start = begin;
        auto line_ends = [&](const char* at) {
            auto bytes = static_cast<std::size_t>(at - line_start);
            if (bytes > longest_bytes) {
                longest_bytes = bytes;
                longest_line = m_line_starts.size() - 1;
            }
        };
        for (const char* at = begin; at != end; ++at) {
            if (!is_break(*at))
                continue;
            line_ends(at);
            if (*at == '\r' && at + 1 != end && at[1] == '\n')
                ++at;
            line_start = at + 1;
            m_line_starts.push_back(static_cast<std::size_t>(line_start - begin));
        }
        line_ends(end);
    }
    m_widest_px = fontMetrics().horizontalAdvance(line(longest_line));
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    update_scroll_ranges();
    viewport()->update();
}

int TextView::first_visible_line() const { return verticalScrollBar()->value(); }

std::string_view TextView::line_bytes(std::size_t number) const
{
    if (!m_text)
        return {};
    std::size_t start = m_line_starts[number];
    std::size_t end =
        number + 1 < m_line_starts.size() ? m_line_starts[number + 1] : m_text->size();
    while (end > start && is_break((*m_text)[end - 1]))
        --end;
    return std::string_view(*m_text).substr(start, end - start);
}

QString TextView::line(std::size_t number) const { return decode(line_bytes(number)); }

void TextView::ensure_offsets() const
{
    if (!m_line_offsets.empty())
        return;
    m_line_offsets.reserve(m_line_starts.size() + 1);
    long long offset = 0;
    for (std::size_t number = 0; number < m_line_starts.size(); ++number) {
        m_line_offsets.push_back(static_cast<int>(std::min<long long>(offset, INT_MAX)));
        offset += utf16_length(line_bytes(number)) + 1;  // The line feed after it.
    }
    m_line_offsets.push_back(static_cast<int>(std::min<long long>(offset - 1, INT_MAX)));
}

int TextView::character_count() const
{
    ensure_offsets();
    return m_line_offsets.back();
}

int TextView::line_offset(std::size_t line) const
{
    ensure_offsets();
    return m_line_offsets[std::min(line, m_line_starts.size())];
}

std::size_t TextView::line_at_offset(int offset) const
{
    ensure_offsets();
    auto after = std::upper_bound(m_line_offsets.begin(), m_line_offsets.end() - 1, offset);
    return static_cast<std::size_t>(
        std::max<std::ptrdiff_t>(after - m_line_offsets.begin() - 1, 0));
}

int TextView::line_length(std::size_t line) const
{
    ensure_offsets();
    int next = m_line_offsets[line + 1];
    return next - m_line_offsets[line] - (line + 1 < m_line_starts.size() ? 1 : 0);
}

QString TextView::text_between(int start, int end) const
{
    start = std::clamp(start, 0, character_count());
    end = std::clamp(end, start, character_count());
    QString text;
    for (std::size_t number = line_at_offset(start);
         number < m_line_starts.size() && line_offset(number) < end; ++number) {
        QString whole = line(number);
        if (number + 1 < m_line_starts.size())
            whole.append(QChar::LineFeed);
        int from = std::max(start - line_offset(number), 0);
        int to = std::min(end - line_offset(number), static_cast<int>(whole.size()));
        text.append(QStringView(whole).mid(from, to - from));
    }
    return text;
}

int TextView::visible_lines() const
{
    return std::max(1, (viewport()->height() - 2 * margin_px) / fontMetrics().lineSpacing());
}

void TextView::update_scroll_ranges()
{
    int lines = static_cast<int>(std::min<std::size_t>(m_line_starts.size(), INT32_MAX));
    verticalScrollBar()->setRange(0, std::max(0, lines - visible_lines()));
    verticalScrollBar()->setPageStep(visible_lines());
    horizontalScrollBar()->setRange(0,
                                    std::max(0, m_widest_px + 2 * margin_px - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

QRect TextView::character_rect(std::size_t line, int column) const
{
    QString text = this->line(line);
    int row = static_cast<int>(line) - first_visible_line();
    int x = margin_px - horizontalScrollBar()->value() +
        fontMetrics().horizontalAdvance(text.left(column));
    int width = column < text.size() ? fontMetrics().horizontalAdvance(text.mid(column, 1)) : 1;
    return QRect(x, margin_px + row * fontMetrics().lineSpacing(), width,
                 fontMetrics().lineSpacing());
}

std::optional<std::pair<std::size_t, int>> TextView::character_at(QPoint point) const
{
    int row = (point.y() - margin_px) / fontMetrics().lineSpacing();
    if (point.y() < margin_px || row >= visible_lines())
        return std::nullopt;
    std::size_t line = static_cast<std::size_t>(first_visible_line() + row);
    if (line >= m_line_starts.size())
        return std::nullopt;
    QString text = this->line(line);
    int x = point.x() - margin_px + horizontalScrollBar()->value();
    for (int column = 0; column < text.size(); ++column)
        if (fontMetrics().horizontalAdvance(text.left(column + 1)) > x)
            return std::pair(line, column);
    return std::nullopt;
}

void TextView::set_caret(std::size_t line, int column)
{
    m_caret_line = std::min(line, m_line_starts.size() - 1);
    m_caret_column = std::clamp(column, 0, static_cast<int>(this->line(m_caret_line).size()));

    int first = first_visible_line();
    int wanted = static_cast<int>(std::min<std::size_t>(m_caret_line, INT_MAX));
    if (wanted < first)
        verticalScrollBar()->setValue(wanted);
    else if (wanted >= first + visible_lines())
        verticalScrollBar()->setValue(wanted - visible_lines() + 1);
    QRect caret = character_rect(m_caret_line, m_caret_column);
    QScrollBar* horizontal = horizontalScrollBar();
    if (caret.left() < margin_px)
        horizontal->setValue(horizontal->value() + caret.left() - margin_px);
    else if (caret.left() > viewport()->width() - margin_px)
        horizontal->setValue(horizontal->value() + caret.left() - viewport()->width() + margin_px);
    viewport()->update();

    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, line_offset(m_caret_line) + m_caret_column);
        QAccessible::updateAccessibility(&moved);
    }
}

void TextView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    int line_px = fontMetrics().lineSpacing();
    int x = margin_px - horizontalScrollBar()->value();
    int widest_px = m_widest_px;
    std::size_t first = static_cast<std::size_t>(first_visible_line());
    for (int row = 0; margin_px + row * line_px < viewport()->height(); ++row) {
        std::size_t number = first + static_cast<std::size_t>(row);
        if (number >= m_line_starts.size())
            break;
        QString text = line(number);
        painter.drawText(x, margin_px + row * line_px + fontMetrics().ascent(), text);
        widest_px = std::max(widest_px, fontMetrics().horizontalAdvance(text));
    }
    if (hasFocus()) {
        QRect caret = character_rect(m_caret_line, m_caret_column);
        painter.fillRect(caret.left(), caret.top(), 1, caret.height(),
                         palette().color(QPalette::Text));
    }
    // Wide characters can make a shorter line the widest: learn as we draw.
    if (widest_px > m_widest_px) {
        m_widest_px = widest_px;
        update_scroll_ranges();
    }
}

void TextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    update_scroll_ranges();
}

void TextView::keyPressEvent(QKeyEvent* event)
{
    bool control = event->modifiers() & Qt::ControlModifier;
    bool shift = event->modifiers() & Qt::ShiftModifier;
    std::size_t last = m_line_starts.size() - 1;
    std::size_t line = m_caret_line;
    auto page = static_cast<std::size_t>(visible_lines());
    int length = static_cast<int>(this->line(line).size());
    // Moving the caret is the view's; with Shift it selects, which is editing.
    if (!shift) {
        switch (event->key()) {
        case Qt::Key_Up: set_caret(line == 0 ? 0 : line - 1, m_caret_column); return;
        case Qt::Key_Down: set_caret(std::min(line + 1, last), m_caret_column); return;
        case Qt::Key_PageUp: set_caret(line < page ? 0 : line - page, m_caret_column); return;
        case Qt::Key_PageDown: set_caret(std::min(line + page, last), m_caret_column); return;
        case Qt::Key_Left:
            if (m_caret_column > 0)
                set_caret(line, grapheme_step(this->line(line), m_caret_column, -1));
            else if (line > 0)
                set_caret(line - 1, INT_MAX);
            return;
        case Qt::Key_Right:
            if (m_caret_column < length)
                set_caret(line, grapheme_step(this->line(line), m_caret_column, +1));
            else if (line < last)
                set_caret(line + 1, 0);
            return;
        case Qt::Key_Home: control ? set_caret(0, 0) : set_caret(line, 0); return;
        case Qt::Key_End: control ? set_caret(last, INT_MAX) : set_caret(line, INT_MAX); return;
        default: break;
        }
    }
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_Escape: QAbstractScrollArea::keyPressEvent(event); return;
    default:
        if (on_edit)
            on_edit(event);
    }
}

void TextView::mousePressEvent(QMouseEvent* event)
{
    if (on_edit)
        on_edit(event);
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (on_edit)
        on_edit(event);
}

void TextView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

}  // namespace toolkit

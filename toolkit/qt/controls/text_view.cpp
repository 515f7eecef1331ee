#include "toolkit/qt/controls/text_view.h"

#include "toolkit/qt/controls/text_view_accessible.h"
#include "toolkit/qt/core/accessible_factory.h"
#include "toolkit/qt/core/utf8.h"

#include <QAccessible>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <climits>

namespace toolkit {

namespace {

constexpr int margin_px = 4;  // As QPlainTextEdit's document margin.
// Wide enough that no line wraps.
constexpr qreal unwrapped_px = 16'000'000;

QAccessibleInterface* text_view_accessible(const QString&, QObject* object)
{
    auto* view = dynamic_cast<TextView*>(object);
    return view ? make_text_view_accessible(view) : nullptr;
}

}  // namespace

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    install_accessible_factory<text_view_accessible>();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    // The viewport would otherwise stand for the view in the keyboard order
    // wherever the order left it, and Shift+Tab would land here out of turn.
    viewport()->setFocusProxy(nullptr);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    set_text({});
}

void TextView::set_text(std::string text)
{
    m_announcer.replaced(m_buffer.assign(std::move(text)));
    m_caret = m_anchor = 0;
    m_goal_x.reset();
    m_preedit.clear();
    QString longest = display_name(m_buffer.line_bytes(m_buffer.longest_line()));
    m_widest_px = fontMetrics().horizontalAdvance(longest);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    update_scroll_ranges();
    viewport()->update();
}

int TextView::first_visible_line() const { return verticalScrollBar()->value(); }

int TextView::line_px() const { return fontMetrics().lineSpacing(); }

int TextView::visible_lines() const
{
    return std::max(1, (viewport()->height() - 2 * margin_px) / line_px());
}

void TextView::update_scroll_ranges()
{
    int lines = static_cast<int>(std::min<std::size_t>(m_buffer.line_count(), INT32_MAX));
    verticalScrollBar()->setRange(0, std::max(0, lines - visible_lines()));
    verticalScrollBar()->setPageStep(visible_lines());
    horizontalScrollBar()->setRange(0,
                                    std::max(0, m_widest_px + 2 * margin_px - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

int TextView::column_of(std::size_t byte) const
{
    std::size_t line = m_buffer.line_of(byte);
    std::size_t within = std::min(byte, m_buffer.line_end(line)) - m_buffer.line_start(line);
    return static_cast<int>(utf16_units(m_buffer.line_bytes(line).substr(0, within)));
}

std::size_t TextView::byte_of(std::size_t line, int column) const
{
    return m_buffer.byte_in_line(line, column);
}

void TextView::lay_out(QTextLayout& layout, std::size_t line) const
{
    layout.setText(display_name(m_buffer.line_bytes(line)));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    if (!m_preedit.isEmpty() && line == m_buffer.line_of(m_caret))
        layout.setPreeditArea(column_of(m_caret), m_preedit);
    layout.beginLayout();
    layout.createLine().setLineWidth(unwrapped_px);
    layout.endLayout();
}

int TextView::x_of(std::size_t byte) const
{
    QTextLayout layout;
    lay_out(layout, m_buffer.line_of(byte));
    return margin_px - horizontalScrollBar()->value() +
        static_cast<int>(layout.lineAt(0).cursorToX(column_of(byte)));
}

QRect TextView::character_rect(std::size_t byte) const
{
    std::size_t line = m_buffer.line_of(byte);
    QTextLayout layout;
    lay_out(layout, line);
    int column = column_of(byte);
    qreal left = layout.lineAt(0).cursorToX(column);
    qreal right = column < layout.text().size() ? layout.lineAt(0).cursorToX(column + 1) : left + 1;
    int row = static_cast<int>(line) - first_visible_line();
    return QRect(margin_px - horizontalScrollBar()->value() + static_cast<int>(left),
                 margin_px + row * line_px(), std::max(1, static_cast<int>(right - left)),
                 line_px());
}

std::size_t TextView::byte_at_x(std::size_t line, int x) const
{
    QTextLayout layout;
    lay_out(layout, line);
    return byte_of(line,
                   layout.lineAt(0).xToCursor(x - margin_px + horizontalScrollBar()->value()));
}

std::size_t TextView::byte_at(QPoint point) const
{
    long long row = (point.y() - margin_px) / line_px() - (point.y() < margin_px ? 1 : 0);
    long long line = std::clamp<long long>(first_visible_line() + row, 0,
                                           static_cast<long long>(m_buffer.line_count()) - 1);
    return byte_at_x(static_cast<std::size_t>(line), point.x());
}

void TextView::set_selection(std::size_t anchor, std::size_t caret)
{
    auto snapped = [this](std::size_t byte) {
        byte = std::min(byte, m_buffer.size());
        std::size_t line = m_buffer.line_of(byte);
        return byte_of(line, column_of(byte));
    };
    std::size_t old_start = selection_start(), old_end = selection_end();
    bool moved = snapped(caret) != m_caret;
    m_anchor = snapped(anchor);
    m_caret = snapped(caret);
    scroll_to_caret();
    viewport()->update();
    if (!QAccessible::isActive())
        return;
    if (old_start != selection_start() || old_end != selection_end()) {
        QAccessibleTextSelectionEvent selected(this, m_buffer.units_at(selection_start()),
                                               m_buffer.units_at(selection_end()));
        QAccessible::updateAccessibility(&selected);
    }
    if (moved)
        announce_caret();
}

void TextView::announce_caret() const
{
    QAccessibleTextCursorEvent moved(const_cast<TextView*>(this), m_buffer.units_at(m_caret));
    QAccessible::updateAccessibility(&moved);
}

void TextView::scroll_to_caret()
{
    std::size_t line = m_buffer.line_of(m_caret);
    int first = first_visible_line();
    int wanted = static_cast<int>(std::min<std::size_t>(line, INT_MAX));
    if (wanted < first)
        verticalScrollBar()->setValue(wanted);
    else if (wanted >= first + visible_lines())
        verticalScrollBar()->setValue(wanted - visible_lines() + 1);
    int x = x_of(m_caret);
    QScrollBar* horizontal = horizontalScrollBar();
    if (x < margin_px)
        horizontal->setValue(horizontal->value() + x - margin_px);
    else if (x > viewport()->width() - margin_px)
        horizontal->setValue(horizontal->value() + x - viewport()->width() + margin_px);
}

void TextView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    int x = margin_px - horizontalScrollBar()->value();
    int widest_px = m_widest_px;
    std::size_t first = static_cast<std::size_t>(first_visible_line());
    std::size_t caret_line = m_buffer.line_of(m_caret);
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    for (int row = 0; margin_px + row * line_px() < viewport()->height(); ++row) {
        std::size_t line = first + static_cast<std::size_t>(row);
        if (line >= m_buffer.line_count())
            break;
        QTextLayout layout;
        lay_out(layout, line);
        QList<QTextLayout::FormatRange> formats;
        std::size_t start = m_buffer.line_start(line), end = m_buffer.line_end(line);
        std::size_t from = std::max(selection_start(), start);
        std::size_t to = std::min(selection_end(), end);
        if (selection_start() != selection_end() && from <= to && selection_start() <= end &&
            selection_end() >= start) {
            int first_column = column_of(from);
            formats.append({first_column, column_of(to) - first_column, selected});
        }
        if (line == caret_line && !m_preedit.isEmpty()) {
            QTextCharFormat composing;
            composing.setFontUnderline(true);
            formats.append({column_of(m_caret), static_cast<int>(m_preedit.size()), composing});
        }
        QPointF origin(x, margin_px + row * line_px());
        layout.draw(&painter, origin, formats);
        QTextLine shaped = layout.lineAt(0);
        // The selected line break shows as a space's width of highlight.
        if (selection_start() <= end && selection_end() > end && line + 1 < m_buffer.line_count())
            painter.fillRect(QRectF(origin.x() + shaped.naturalTextWidth(), origin.y(),
                                    fontMetrics().horizontalAdvance(QLatin1Char(' ')), line_px()),
                             palette().brush(QPalette::Highlight));
        if (line == caret_line && hasFocus()) {
            int column = column_of(m_caret) + (m_preedit.isEmpty() ? 0 : m_preedit_caret);
            painter.fillRect(
                QRectF(origin.x() + shaped.cursorToX(column), origin.y(), 1, line_px()),
                palette().color(QPalette::Text));
        }
        widest_px = std::max(widest_px, static_cast<int>(shaped.naturalTextWidth()));
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

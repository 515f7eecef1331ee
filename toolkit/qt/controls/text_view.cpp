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
#include <cmath>
#include <cstring>

namespace toolkit {

namespace {

constexpr int margin_px = 4;  // As QPlainTextEdit's document margin.
// Wide enough that no line wraps.
constexpr qreal unwrapped_px = 16'000'000;

// Long lines kept cut into pieces at once: those on screen and the caret's.
constexpr std::size_t kept_long_lines = 8;

int units_of(std::string_view bytes) { return static_cast<int>(utf16_units(bytes)); }

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
    m_long_lines.clear();
    m_widest_px = static_cast<int>(std::ceil(line_width_px(m_buffer.longest_line())));
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

Advances& TextView::advances() const
{
    if (!m_advances)
        m_advances = std::make_unique<Advances>(font());
    return *m_advances;
}

const LongLine* TextView::long_line(std::size_t line) const
{
    if (m_buffer.line_end(line) - m_buffer.line_start(line) <= LongLine::least_bytes)
        return nullptr;
    if (m_long_lines_count != m_buffer.line_count()) {
        m_long_lines.clear();
        m_long_lines_count = m_buffer.line_count();
    }
    auto kept = std::find_if(m_long_lines.begin(), m_long_lines.end(),
                             [line](const auto& each) { return each.first == line; });
    if (kept != m_long_lines.end()) {
        // The most recently asked for goes last, and the oldest first.
        std::rotate(kept, kept + 1, m_long_lines.end());
        return m_long_lines.back().second.get();
    }
    if (m_long_lines.size() == kept_long_lines)
        m_long_lines.erase(m_long_lines.begin());
    m_long_lines.emplace_back(line,
                              std::make_unique<LongLine>(m_buffer.line_bytes(line), advances()));
    return m_long_lines.back().second.get();
}

void TextView::long_lines_changed(const TextEdit& made, std::size_t lines_before)
{
    std::string_view inserted = std::string_view(m_buffer.bytes()).substr(made.at, made.inserted);
    bool breaks = made.removed_break || std::memchr(inserted.data(), '\r', inserted.size()) ||
        std::memchr(inserted.data(), '\n', inserted.size());
    if (lines_before != m_buffer.line_count() || breaks) {
        m_long_lines.clear();
        return;
    }
    std::size_t line = m_buffer.line_of(made.at);
    auto kept = std::find_if(m_long_lines.begin(), m_long_lines.end(),
                             [line](const auto& each) { return each.first == line; });
    if (kept == m_long_lines.end())
        return;
    std::string_view bytes = m_buffer.line_bytes(line);
    if (bytes.size() <= LongLine::least_bytes) {
        m_long_lines.erase(kept);
        return;
    }
    kept->second->replaced(bytes, made.at - m_buffer.line_start(line), made.removed,
                           made.inserted, advances());
}

double TextView::line_width_px(std::size_t line) const
{
    if (const LongLine* pieces = long_line(line))
        return pieces->width();
    QTextLayout layout;
    lay_out(layout, line);
    return layout.lineAt(0).naturalTextWidth();
}

int TextView::column_of(std::size_t byte) const
{
    std::size_t line = m_buffer.line_of(byte);
    std::size_t within = std::min(byte, m_buffer.line_end(line)) - m_buffer.line_start(line);
    std::string_view bytes = m_buffer.line_bytes(line);
    if (const LongLine* pieces = long_line(line)) {
        std::size_t piece = pieces->piece_of_byte(within);
        std::size_t start = pieces->byte(piece);
        return pieces->units(piece) + units_of(bytes.substr(start, within - start));
    }
    return units_of(bytes.substr(0, within));
}

std::size_t TextView::byte_of(std::size_t line, int column) const
{
    if (const LongLine* pieces = long_line(line)) {
        std::size_t piece = pieces->piece_of_units(column);
        std::size_t start = pieces->byte(piece);
        std::string_view bytes =
            m_buffer.line_bytes(line).substr(start, pieces->byte(piece + 1) - start);
        return m_buffer.line_start(line) + start +
            byte_at_utf16(bytes, column - pieces->units(piece));
    }
    return m_buffer.byte_in_line(line, column);
}

std::size_t TextView::Around::byte_at(int wanted) const
{
    return from + byte_at_utf16(bytes, wanted);
}

TextView::Around TextView::around(std::size_t byte, std::size_t radius) const
{
    std::size_t line = m_buffer.line_of(byte);
    std::size_t start = m_buffer.line_start(line), end = m_buffer.line_end(line);
    byte = std::min(byte, end);
    Around near;
    near.from = start;
    near.to = end;
    if (long_line(line)) {
        // Snapped to characters as the whole line reads them.
        near.from = byte_of(line, column_of(byte - std::min(byte - start, radius)));
        near.to = byte_of(line, column_of(std::min(end, byte + radius)));
    }
    near.starts_line = near.from == start;
    near.ends_line = near.to == end;
    near.bytes = std::string_view(m_buffer.bytes()).substr(near.from, near.to - near.from);
    near.text = display_name(near.bytes);
    near.column = units_of(near.bytes.substr(0, byte - near.from));
    return near;
}

void TextView::lay_out(QTextLayout& layout, std::size_t line) const
{
    lay_out(layout, line, LongLine::Segment{0, m_buffer.line_bytes(line).size(), 0});
}

void TextView::lay_out(QTextLayout& layout, std::size_t line,
                       const LongLine::Segment& segment) const
{
    std::string_view bytes = m_buffer.line_bytes(line);
    layout.setText(display_name(bytes.substr(segment.from, segment.to - segment.from)));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    std::size_t caret = m_caret - m_buffer.line_start(line);
    if (!m_preedit.isEmpty() && line == m_buffer.line_of(m_caret) && caret >= segment.from &&
        caret <= segment.to)
        layout.setPreeditArea(units_of(bytes.substr(segment.from, caret - segment.from)),
                              m_preedit);
    layout.beginLayout();
    layout.createLine().setLineWidth(unwrapped_px);
    layout.endLayout();
}

LongLine::Segment TextView::segment_holding(const LongLine& pieces, std::size_t line,
                                            std::size_t within) const
{
    LongLine::Segment found;
    pieces.segments(m_buffer.line_bytes(line), pieces.piece_of_byte(within), advances(),
                    [&](const LongLine::Segment& segment) {
                        found = segment;
                        return within > segment.to;
                    });
    return found;
}

std::pair<double, int> TextView::lay_out_at(QTextLayout& layout, std::size_t byte) const
{
    std::size_t line = m_buffer.line_of(byte);
    const LongLine* pieces = long_line(line);
    if (!pieces) {
        lay_out(layout, line);
        return {0, column_of(byte)};
    }
    std::size_t within = std::min(byte, m_buffer.line_end(line)) - m_buffer.line_start(line);
    LongLine::Segment segment = segment_holding(*pieces, line, within);
    lay_out(layout, line, segment);
    return {segment.x,
            units_of(m_buffer.line_bytes(line).substr(segment.from, within - segment.from))};
}

int TextView::x_of(std::size_t byte) const
{
    QTextLayout layout;
    auto [origin, column] = lay_out_at(layout, byte);
    return margin_px - horizontalScrollBar()->value() +
        static_cast<int>(origin + layout.lineAt(0).cursorToX(column));
}

QRect TextView::character_rect(std::size_t byte) const
{
    std::size_t line = m_buffer.line_of(byte);
    QTextLayout layout;
    auto [origin, column] = lay_out_at(layout, byte);
    qreal left = layout.lineAt(0).cursorToX(column);
    qreal right = column < layout.text().size() ? layout.lineAt(0).cursorToX(column + 1) : left + 1;
    int row = static_cast<int>(line) - first_visible_line();
    return QRect(margin_px - horizontalScrollBar()->value() + static_cast<int>(origin + left),
                 margin_px + row * line_px(), std::max(1, static_cast<int>(right - left)),
                 line_px());
}

std::size_t TextView::byte_at_x(std::size_t line, int x) const
{
    double wanted = x - margin_px + horizontalScrollBar()->value();
    const LongLine* pieces = long_line(line);
    if (!pieces) {
        QTextLayout layout;
        lay_out(layout, line);
        return byte_of(line, layout.lineAt(0).xToCursor(wanted));
    }
    // The last run that starts at or before the point, and the one after it.
    std::optional<LongLine::Segment> at, next;
    pieces->segments(m_buffer.line_bytes(line), pieces->piece_of_x(wanted), advances(),
                     [&](const LongLine::Segment& segment) {
                         if (at && segment.x > wanted) {
                             next = segment;
                             return false;
                         }
                         at = segment;
                         return true;
                     });
    QTextLayout layout;
    lay_out(layout, line, *at);
    std::string_view bytes = m_buffer.line_bytes(line);
    double drawn_end = at->x + layout.lineAt(0).naturalTextWidth();
    // In a tab's gap, the nearer of its two ends.
    if (next && wanted > drawn_end && next->x - wanted < wanted - drawn_end)
        return m_buffer.line_start(line) + next->from;
    int column = layout.lineAt(0).xToCursor(wanted - at->x);
    return m_buffer.line_start(line) + at->from +
        byte_at_utf16(bytes.substr(at->from, at->to - at->from), column);
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
        if (const LongLine* pieces = long_line(line)) {
            paint_long_line(painter, line, *pieces, QPointF(x, margin_px + row * line_px()));
            widest_px = std::max(widest_px, static_cast<int>(std::ceil(pieces->width())));
            continue;
        }
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
        QTextLine shaped = layout.lineAt(0);
        widest_px = std::max(widest_px, static_cast<int>(shaped.naturalTextWidth()));
        // Scrolled far along a long line, a short one is out of sight to the left.
        if (origin.x() + shaped.naturalTextWidth() + line_px() < 0)
            continue;
        layout.draw(&painter, origin, formats);
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
    }
    // Wide characters can make a shorter line the widest: learn as we draw.
    if (widest_px > m_widest_px) {
        m_widest_px = widest_px;
        update_scroll_ranges();
    }
}

void TextView::paint_long_line(QPainter& painter, std::size_t line, const LongLine& pieces,
                               QPointF origin) const
{
    std::size_t start = m_buffer.line_start(line), end = m_buffer.line_end(line);
    std::string_view bytes = m_buffer.line_bytes(line);
    // What of the selection and the caret falls in this line, in its bytes.
    std::size_t selected_from = std::clamp(selection_start(), start, end) - start;
    std::size_t selected_to = std::clamp(selection_end(), start, end) - start;
    bool caret_here = hasFocus() && m_buffer.line_of(m_caret) == line;
    std::size_t caret = m_caret - std::min(m_caret, start);
    bool caret_drawn = false;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    double left = horizontalScrollBar()->value() - margin_px;
    double right = left + viewport()->width() + margin_px;
    pieces.segments(bytes, pieces.piece_of_x(left), advances(), [&](const LongLine::Segment& run) {
        if (run.x > right)
            return false;
        QTextLayout layout;
        lay_out(layout, line, run);
        QList<QTextLayout::FormatRange> formats;
        auto column = [&](std::size_t byte) {
            return units_of(bytes.substr(run.from, byte - run.from));
        };
        std::size_t from = std::max(selected_from, run.from);
        std::size_t to = std::min(selected_to, run.to);
        if (from < to)
            formats.append({column(from), column(to) - column(from), selected});
        if (caret_here && !m_preedit.isEmpty() && caret >= run.from && caret <= run.to) {
            QTextCharFormat composing;
            composing.setFontUnderline(true);
            formats.append({column(caret), static_cast<int>(m_preedit.size()), composing});
        }
        QPointF at(origin.x() + run.x, origin.y());
        layout.draw(&painter, at, formats);
        QTextLine shaped = layout.lineAt(0);
        // A selected tab is highlighted up to the stop it reaches.
        if (run.to < bytes.size() && bytes[run.to] == '\t' && selected_from <= run.to &&
            selected_to > run.to) {
            double tab_end = after_tab(run.x + shaped.naturalTextWidth(), advances().tab_px());
            painter.fillRect(QRectF(at.x() + shaped.naturalTextWidth(), at.y(),
                                    tab_end - run.x - shaped.naturalTextWidth(), line_px()),
                             palette().brush(QPalette::Highlight));
        }
        if (caret_here && !caret_drawn && caret >= run.from && caret <= run.to) {
            int caret_column = column(caret) + (m_preedit.isEmpty() ? 0 : m_preedit_caret);
            painter.fillRect(QRectF(at.x() + shaped.cursorToX(caret_column), at.y(), 1, line_px()),
                             palette().color(QPalette::Text));
            caret_drawn = true;
        }
        return true;
    });
    if (selection_start() <= end && selection_end() > end && line + 1 < m_buffer.line_count())
        painter.fillRect(QRectF(origin.x() + pieces.width(), origin.y(),
                                fontMetrics().horizontalAdvance(QLatin1Char(' ')), line_px()),
                         palette().brush(QPalette::Highlight));
}

void TextView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Every piece was measured in the old font.
        m_long_lines.clear();
        m_advances.reset();
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

#include "text_view.h"

#include "utf8.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstring>

namespace toolkit {

namespace {
constexpr int margin_px = 4;  // As QPlainTextEdit's document margin.

bool is_break(char c) { return c == '\r' || c == '\n'; }
}  // namespace

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    show_text(nullptr);
}

void TextView::show_text(const std::string* text)
{
    m_text = text;
    m_line_starts.assign(1, 0);
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

QString TextView::line(std::size_t number) const
{
    if (!m_text)
        return {};
    std::size_t start = m_line_starts[number];
    std::size_t end = number + 1 < m_line_starts.size() ? m_line_starts[number + 1] : m_text->size();
    while (end > start && is_break((*m_text)[end - 1]))
        --end;
    return qt_text(std::string_view(*m_text).substr(start, end - start));
}

void TextView::update_scroll_ranges()
{
    int line_px = fontMetrics().lineSpacing();
    int visible_lines = std::max(1, (viewport()->height() - 2 * margin_px) / line_px);
    int lines = static_cast<int>(std::min<std::size_t>(m_line_starts.size(), INT32_MAX));
    verticalScrollBar()->setRange(0, std::max(0, lines - visible_lines));
    verticalScrollBar()->setPageStep(visible_lines);
    horizontalScrollBar()->setRange(0, std::max(0, m_widest_px + 2 * margin_px - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
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
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up: vertical->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Down: vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    case Qt::Key_PageUp: vertical->triggerAction(QAbstractSlider::SliderPageStepSub); return;
    case Qt::Key_PageDown: vertical->triggerAction(QAbstractSlider::SliderPageStepAdd); return;
    case Qt::Key_Left: horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Right: horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    case Qt::Key_Home:
        (control ? vertical : horizontal)->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    case Qt::Key_End:
        (control ? vertical : horizontal)->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_Escape:
        QAbstractScrollArea::keyPressEvent(event);
        return;
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

}  // namespace toolkit

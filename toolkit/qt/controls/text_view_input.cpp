// The clipboard, the primary selection, the pointer, the context menu and
// input methods.
#include "toolkit/qt/controls/text_view.h"

#include "toolkit/qt/core/turns.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/desktop/copied_text.h"
#include "toolkit/qt/desktop/pasted_text.h"
#include "toolkit/services.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace toolkit {

namespace {

// How much of a long line an input method is given around the caret.
constexpr std::size_t surrounding_bytes = 1024;

// Writes each line break as the box's own, a carriage return, in place: a
// pair of a carriage return and a line feed becomes one.
void to_box_breaks(std::string& text)
{
    std::size_t first = text.find('\n');
    if (first == std::string::npos)
        return;  // The scan's own text: nothing to change.
    // Bytes are written no further on than they are read.
    std::size_t kept = first;
    char previous = first > 0 ? text[first - 1] : '\0';
    for (std::size_t at = first; at < text.size(); ++at) {
        char c = text[at];
        bool pair = c == '\n' && previous == '\r';
        previous = c;
        if (!pair)
            text[kept++] = c == '\n' ? '\r' : c;
    }
    text.resize(kept);
}

std::string with_box_breaks(std::string_view bytes)
{
    std::string text(bytes);
    to_box_breaks(text);
    return text;
}

}  // namespace

void TextView::copy() const
{
    if (m_anchor == m_caret)
        return;
    std::string_view selected = std::string_view(m_buffer.bytes())
                                    .substr(selection_start(), selection_end() - selection_start());
    QGuiApplication::clipboard()->setMimeData(new CopiedText(with_box_breaks(selected)));
}

void TextView::cut()
{
    if (m_anchor == m_caret)
        return;
    copy();
    replace_selection({});
}

void TextView::paste() { paste_from(QClipboard::Clipboard, std::nullopt); }

void TextView::paste_from(QClipboard::Mode mode, std::optional<QPoint> at)
{
    // The clipboard's owner may be slow to answer: what the user types next
    // waits for the paste, in the order given.
    Errand errand = Turns::instance().begin();
    read_pasted_text(this, mode, to_box_breaks, [this, errand, at](Pasted& pasted) {
        Turns::instance().finish(errand, [&] {
            if (pasted.outcome == Pasted::Outcome::NoAnswer) {
                show_message("The program that holds the clipboard did not answer.");
                return;
            }
            if (pasted.outcome == Pasted::Outcome::TooLong) {
                show_message("The clipboard holds more text than the box can take.");
                return;
            }
            if (pasted.outcome != Pasted::Outcome::Read || pasted.bytes.empty())
                return;
            if (at)
                set_selection(byte_at(*at), byte_at(*at));
            replace_selection_taking(std::move(pasted.bytes));
        });
    });
}

void TextView::offer_primary() const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection() || m_anchor == m_caret)
        return;
    std::string_view selected = std::string_view(m_buffer.bytes())
                                    .substr(selection_start(), selection_end() - selection_start());
    clipboard->setMimeData(new CopiedText(with_box_breaks(selected)), QClipboard::Selection);
}
void TextView::mousePressEvent(QMouseEvent* event)
{
    QPoint at = event->position().toPoint();
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        paste_from(QClipboard::Selection, at);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_goal_x.reset();
    bool third = m_double_clicked.isValid() &&
        m_double_clicked.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
        (at - m_double_click_at).manhattanLength() < QApplication::startDragDistance();
    m_double_clicked.invalidate();
    if (third) {
        std::size_t line = m_buffer.line_of(byte_at(at));
        set_selection(m_buffer.line_start(line), m_buffer.line_end(line));
        offer_primary();
        return;
    }
    std::size_t byte = byte_at(at);
    set_selection(event->modifiers() & Qt::ShiftModifier ? m_anchor : byte, byte);
    m_dragging = true;
}

void TextView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        set_selection(m_anchor, byte_at(event->position().toPoint()));
}

void TextView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        offer_primary();
    }
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Around near = around(byte_at(event->position().toPoint()), 2048);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, near.text);
    finder.setPosition(near.column);
    qsizetype start = finder.isAtBoundary() ? near.column : finder.toPreviousBoundary();
    finder.setPosition(near.column);
    qsizetype end = finder.toNextBoundary();
    set_selection(near.byte_at(static_cast<int>(std::max<qsizetype>(start, 0))),
                  near.byte_at(static_cast<int>(end < 0 ? near.text.size() : end)));
    offer_primary();
    m_double_clicked.start();
    m_double_click_at = event->position().toPoint();
}

void TextView::contextMenuEvent(QContextMenuEvent* event)
{
    // Shown without a loop of its own: its actions run as the window's events.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    bool selected = m_anchor != m_caret;
    auto add = [&](const QString& text, QKeySequence keys, bool enabled, auto act) {
        QAction* action = menu->addAction(text, this, act);
        action->setShortcut(keys);
        action->setEnabled(enabled);
    };
    add(tr("&Undo"), QKeySequence::Undo, m_buffer.can_undo(), [this] { undo(); });
    add(tr("&Redo"), QKeySequence::Redo, m_buffer.can_redo(), [this] { redo(); });
    menu->addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, selected, [this] { cut(); });
    add(tr("&Copy"), QKeySequence::Copy, selected, [this] { copy(); });
    add(tr("&Paste"), QKeySequence::Paste, true, [this] { paste(); });
    add(tr("Delete"), QKeySequence::Delete, selected, [this] { replace_selection({}); });
    menu->addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, m_buffer.size() > 0, [this] { select_all(); });
    if (extend_menu) {
        menu->addSeparator();
        extend_menu(*menu);
    }
    if (event->reason() == QContextMenuEvent::Keyboard) {
        QRect caret = character_rect(m_caret);
        menu->popup(viewport()->mapToGlobal(caret.isValid() ? caret.bottomLeft() : QPoint()));
    } else {
        menu->popup(event->globalPos());
    }
}

void TextView::open_menu_at_caret()
{
    QContextMenuEvent asked(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    contextMenuEvent(&asked);
}

void TextView::inputMethodEvent(QInputMethodEvent* event)
{
    if (event->replacementLength() > 0 || event->replacementStart() != 0) {
        std::size_t line = m_buffer.line_of(m_caret);
        int column = column_of(m_caret);
        std::size_t from = byte_of(line, std::max(0, column + event->replacementStart()));
        std::size_t to = byte_of(
            line, std::max(0, column + event->replacementStart() + event->replacementLength()));
        m_anchor = from;
        m_caret = to;
    }
    if (!event->commitString().isEmpty() || m_anchor != m_caret)
        replace_selection(utf8_of(event->commitString()), Typing::Merge);
    m_preedit = event->preeditString();
    m_preedit_caret = static_cast<int>(m_preedit.size());
    for (const QInputMethodEvent::Attribute& attribute : event->attributes())
        if (attribute.type == QInputMethodEvent::Cursor)
            m_preedit_caret = attribute.start;
    viewport()->update();
    event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    std::size_t line = m_buffer.line_of(m_caret);
    switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImCursorRectangle: {
        QRect caret = character_rect(m_caret);
        caret.setWidth(1);
        return caret.translated(viewport()->pos());
    }
    case Qt::ImFont: return font();
    // The surrounding text is the caret's line, or its part near the caret
    // in a long one, and these positions are within it.
    case Qt::ImCursorPosition: return around(m_caret, surrounding_bytes).column;
    case Qt::ImAnchorPosition: {
        Around near = around(m_caret, surrounding_bytes);
        bool inside = m_anchor >= near.from && m_anchor <= near.to;
        return inside ? static_cast<int>(utf16_units(near.bytes.substr(0, m_anchor - near.from)))
                      : near.column;
    }
    case Qt::ImSurroundingText: return around(m_caret, surrounding_bytes).text;
    case Qt::ImCurrentSelection:
        return m_buffer.line_of(m_anchor) == line
            ? display_name(std::string_view(m_buffer.bytes())
                               .substr(selection_start(), selection_end() - selection_start()))
            : QString();
    case Qt::ImAbsolutePosition: return m_buffer.units_at(m_caret);
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

}  // namespace toolkit

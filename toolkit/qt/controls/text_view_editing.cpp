// The keys that move the caret and edit the text, and the edits themselves.
#include "toolkit/qt/controls/text_view.h"

#include "toolkit/qt/core/utf8.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace toolkit {

namespace {

std::optional<int> word_start_after(const QString& line, int column)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, line);
    finder.setPosition(column);
    for (qsizetype at = finder.toNextBoundary(); at >= 0 && at < line.size();
         at = finder.toNextBoundary())
        if (finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
            return static_cast<int>(at);
    return std::nullopt;
}

std::optional<int> word_start_before(const QString& line, int column)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, line);
    finder.setPosition(column);
    for (qsizetype at = finder.toPreviousBoundary(); at >= 0; at = finder.toPreviousBoundary())
        if (finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
            return static_cast<int>(at);
    return std::nullopt;
}

int grapheme_step(const QString& line, int column, int direction)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line);
    finder.setPosition(column);
    qsizetype next = direction < 0 ? finder.toPreviousBoundary() : finder.toNextBoundary();
    return next < 0 ? column + direction : static_cast<int>(next);
}

}  // namespace

std::size_t TextView::moved(Motion motion) const
{
    std::size_t line = m_buffer.line_of(m_caret);
    std::size_t last = m_buffer.line_count() - 1;
    auto to_line = [&](long long wanted) {
        std::size_t target = static_cast<std::size_t>(
            std::clamp<long long>(wanted, 0, static_cast<long long>(last)));
        return byte_at_x(target, m_goal_x.value_or(x_of(m_caret)));
    };
    // The characters and words around the caret, read from a part of a long
    // line that grows until the step lands inside it.
    auto step = [&](auto find, bool forward) {
        for (std::size_t radius = 2048;; radius *= 8) {
            Around near = around(m_caret, radius);
            bool at_edge = forward ? near.column == near.text.size() : near.column == 0;
            if (at_edge && (forward ? near.ends_line : near.starts_line)) {
                if (forward)
                    return line < last ? m_buffer.line_start(line + 1) : m_caret;
                return line > 0 ? m_buffer.line_end(line - 1) : m_caret;
            }
            std::optional<int> found = find(near);
            bool whole = forward ? near.ends_line : near.starts_line;
            if (found && (whole || (*found > 0 && *found < near.text.size())))
                return near.byte_at(*found);
            if (whole)
                return forward ? near.to : near.from;
        }
    };
    auto page = static_cast<long long>(visible_lines());
    switch (motion) {
    case Motion::PreviousCharacter:
        return step([](const Around& near) -> std::optional<int> {
            return grapheme_step(near.text, near.column, -1);
        }, false);
    case Motion::NextCharacter:
        return step([](const Around& near) -> std::optional<int> {
            return grapheme_step(near.text, near.column, +1);
        }, true);
    case Motion::PreviousWord:
        return step([](const Around& near) {
            return word_start_before(near.text, near.column);
        }, false);
    case Motion::NextWord:
        return step([](const Around& near) {
            return word_start_after(near.text, near.column);
        }, true);
    case Motion::PreviousLine: return line > 0 ? to_line(static_cast<long long>(line) - 1) : 0;
    case Motion::NextLine:
        return line < last ? to_line(static_cast<long long>(line) + 1) : m_buffer.size();
    case Motion::PreviousPage: return to_line(static_cast<long long>(line) - page);
    case Motion::NextPage: return to_line(static_cast<long long>(line) + page);
    case Motion::LineStart: return m_buffer.line_start(line);
    case Motion::LineEnd: return m_buffer.line_end(line);
    case Motion::TextStart: return 0;
    case Motion::TextEnd: return m_buffer.size();
    }
    return m_caret;
}

bool TextView::move_by_key(QKeyEvent* event)
{
    struct Binding {
        QKeySequence::StandardKey move, select;
        Motion motion;
    };
    static constexpr Binding bindings[] = {
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar,
         Motion::PreviousCharacter},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Motion::NextCharacter},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Motion::PreviousWord},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Motion::NextWord},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Motion::PreviousLine},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Motion::NextLine},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Motion::PreviousPage},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Motion::NextPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Motion::LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Motion::LineEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument,
         Motion::TextStart},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Motion::TextEnd},
    };
    for (const Binding& binding : bindings) {
        bool selecting = event->matches(binding.select);
        if (!selecting && !event->matches(binding.move))
            continue;
        bool vertical =
            binding.motion >= Motion::PreviousLine && binding.motion <= Motion::NextPage;
        std::size_t target = moved(binding.motion);
        // Left and Right first end a selection, at the end they point to.
        if (!selecting && m_anchor != m_caret && binding.motion <= Motion::NextCharacter)
            target =
                binding.motion == Motion::PreviousCharacter ? selection_start() : selection_end();
        if (vertical && !m_goal_x)
            m_goal_x = x_of(m_caret);
        else if (!vertical)
            m_goal_x.reset();
        std::optional<int> goal = m_goal_x;
        set_selection(selecting ? m_anchor : target, target);
        m_goal_x = goal;
        if (selecting)
            offer_primary();
        return true;
    }
    return false;
}

bool TextView::edit_by_key(QKeyEvent* event)
{
    bool control = event->modifiers() & Qt::ControlModifier;
    bool shift = event->modifiers() & Qt::ShiftModifier;
    auto delete_to = [this](Motion motion) {
        if (m_anchor == m_caret)
            m_caret = moved(motion);
        replace_selection({});
    };
    if (event->matches(QKeySequence::SelectAll))
        select_all();
    else if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::Cut))
        cut();
    else if (event->matches(QKeySequence::Paste))
        paste();
    else if (event->matches(QKeySequence::Undo))
        undo();
    else if (event->matches(QKeySequence::Redo) ||
             (control && event->key() == Qt::Key_Y && !shift) ||
             (control && shift && event->key() == Qt::Key_Z))
        redo();
    else if (event->matches(QKeySequence::DeleteStartOfWord))
        delete_to(Motion::PreviousWord);
    else if (event->matches(QKeySequence::DeleteEndOfWord))
        delete_to(Motion::NextWord);
    else if (event->key() == Qt::Key_Backspace && !control) {
        if (m_anchor == m_caret && m_caret > 0) {
            // One character, not a whole cluster: an accent typed last goes alone.
            Around near = around(m_caret, 16);
            int back = near.column >= 2 && near.text[near.column - 1].isLowSurrogate() ? 2 : 1;
            std::size_t line = m_buffer.line_of(m_caret);
            m_caret = near.column > 0 ? near.byte_at(near.column - back)
                                      : m_buffer.line_end(line - 1);
        }
        replace_selection({});
    } else if (event->matches(QKeySequence::Delete))
        delete_to(Motion::NextCharacter);
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        replace_selection("\r");
    else
        return false;
    m_goal_x.reset();
    return true;
}

void TextView::keyPressEvent(QKeyEvent* event)
{
    if (move_by_key(event) || edit_by_key(event))
        return;
    // Shift+F10 opens the context menu as the Menu key does.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        open_menu_at_caret();
        return;
    }
    QString typed = event->text();
    bool printable = !typed.isEmpty() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
        std::all_of(typed.begin(), typed.end(), [](QChar c) {
            return c.isPrint() || c.isSurrogate() || c == QChar::Tabulation;
        });
    // Tab moves on to the next control (the widget takes it before here).
    if (printable && typed != QStringLiteral("\t")) {
        replace_selection(utf8_of(typed), Typing::Merge);
        m_goal_x.reset();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TextView::replace_selection(std::string_view with, Typing typing)
{
    edit(selection_start(), selection_end(), with, typing);
}

void TextView::replace_selection_taking(std::string bytes)
{
    // A paste into an empty box, or over all of it, hands its bytes over whole.
    if (selection_start() > 0 || selection_end() < m_buffer.size() || bytes.empty()) {
        replace_selection(bytes);
        return;
    }
    std::size_t lines_before = m_buffer.line_count();
    TextEdit made = m_buffer.replace_all_taking(std::move(bytes));
    // Told as a text written anew is, a piece a turn: a listener is never
    // handed a paste of many megabytes in one event.
    if (QAccessible::isActive())
        m_announcer.replaced(m_buffer.undo_step()->removed);
    show_change({}, made, made.inserted, lines_before);
}

void TextView::select_all()
{
    set_selection(0, m_buffer.size());
    offer_primary();
}

void TextView::undo() { take_back(m_buffer.undo_step(), [this] { return m_buffer.undo(); }); }

void TextView::redo() { take_back(m_buffer.redo_step(), [this] { return m_buffer.redo(); }); }

void TextView::take_back(const TextChange* step, const std::function<std::optional<TextEdit>()>& take)
{
    if (!step)
        return;
    std::size_t at = step->at;
    Told told = before_change(at, at + step->inserted);
    std::size_t lines_before = m_buffer.line_count();
    TextEdit made = *take();
    show_change(told, made, at + made.inserted, lines_before);
}

void TextView::edit(std::size_t from, std::size_t to, std::string_view with, Typing typing)
{
    to = std::min(to, m_buffer.size());
    from = std::min(from, to);
    if (from == to && with.empty()) {
        set_selection(from, from);
        return;
    }
    Told told = before_change(from, to);
    std::size_t lines_before = m_buffer.line_count();
    TextEdit made = m_buffer.replace(from, to, with, typing);
    show_change(told, made, from + with.size(), lines_before);
}

void TextView::show_change(const Told& told, const TextEdit& made, std::size_t caret,
                           std::size_t lines_before)
{
    long_lines_changed(made, lines_before);
    m_anchor = m_caret = std::min(caret, m_buffer.size());
    m_goal_x.reset();
    std::size_t line = m_buffer.line_of(made.at);
    std::size_t last = m_buffer.line_of(made.at + made.inserted);
    for (std::size_t each = line; each <= last && each - line < 64; ++each)
        m_widest_px = std::max(m_widest_px, static_cast<int>(std::ceil(line_width_px(each))));
    update_scroll_ranges();
    scroll_to_caret();
    viewport()->update();
    tell_change(told);
}

}  // namespace toolkit

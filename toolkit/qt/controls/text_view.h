// The text box's editor: it draws its one buffer a screenful at a time, with
// no document and no layout of lines out of view, and edits that buffer in
// place, so a million lines cost no more to select or type into than ten.
//
// It does what a plain-text editor does: the caret placed by a click,
// selection by drag, double click (a word), triple click (a line) and Shift
// with every caret key, cut, copy, paste, undo and redo, typing through an
// input method, the context menu, and on X11 the primary selection. What it
// copies has a carriage return, the box's own line break, between lines, and
// what it pastes and Enter inserts are written with the same.
//
// To assistive technology the view is the text itself, one object with the
// buffer's offsets (see TextBuffer), told of each change as the change.
//
//   TextView view(parent);
//   view.set_text("\ra.txt\rb.txt");
//   view.set_selection(1, 6);  // "a.txt", in bytes.
#pragma once

#include "toolkit/qt/controls/long_line.h"
#include "toolkit/qt/controls/text_announcer.h"
#include "toolkit/qt/controls/text_buffer.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPoint>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QMenu;
class QPainter;
class QTextLayout;

namespace toolkit {

class TextView final : public QAbstractScrollArea {
public:
    explicit TextView(QWidget* parent);

    // Written from code: the caret goes to the start and the history is forgotten.
    void set_text(std::string text);
    const TextBuffer& buffer() const { return m_buffer; }
    int first_visible_line() const;

    // The caret and the selection's other end, in bytes of the buffer.
    std::size_t caret() const { return m_caret; }
    std::size_t anchor() const { return m_anchor; }
    // Clamped to the text and to character boundaries; the caret scrolled into view.
    void set_selection(std::size_t anchor, std::size_t caret);
    std::size_t selection_start() const { return std::min(m_anchor, m_caret); }
    std::size_t selection_end() const { return std::max(m_anchor, m_caret); }

    // Replaces [from, to) as the user's edit: undoable, and told to listeners.
    void edit(std::size_t from, std::size_t to, std::string_view with,
              Typing typing = Typing::Alone);

    // The text between two offsets of assistive technology.
    QString text_between(int start, int end) const;
    // Where the character at a byte is drawn, in the viewport's coordinates.
    QRect character_rect(std::size_t byte) const;
    // The character boundary nearest a point of the viewport.
    std::size_t byte_at(QPoint point) const;
    // The character boundary nearest x (in the viewport) on a line.
    std::size_t byte_at_x(std::size_t line, int x) const;

    // Adds the program's own commands after the editing ones.
    std::function<void(QMenu&)> extend_menu;
    // Opens the context menu at the caret, as the keyboard does.
    void open_menu_at_caret();

    void cut();
    void copy() const;
    void paste();
    void select_all();
    void undo();
    void redo();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Motion {
        PreviousCharacter,
        NextCharacter,
        PreviousWord,
        NextWord,
        PreviousLine,
        NextLine,
        PreviousPage,
        NextPage,
        LineStart,
        LineEnd,
        TextStart,
        TextEnd
    };
    std::size_t moved(Motion motion) const;
    bool move_by_key(QKeyEvent* event);
    bool edit_by_key(QKeyEvent* event);
    void replace_selection(std::string_view with, Typing typing = Typing::Alone);
    void replace_selection_taking(std::string bytes);
    void paste_from(QClipboard::Mode mode, std::optional<QPoint> at);
    void offer_primary() const;

    // What a listener must be told of a change: the text around it as it
    // was, from the byte `from` (at `at` in the listener's offsets), and how
    // many bytes after it the change leaves alone.
    struct Told {
        bool listening = false;
        std::size_t from = 0;
        int at = 0;
        std::size_t tail = 0;
        QString before;
    };
    // The bytes [from, to) as a listener reads them: each break one line feed.
    QString heard_between(std::size_t from, std::size_t to) const;
    Told before_change(std::size_t from, std::size_t to);
    // Tells the change as what went and what came, no more than changed.
    void tell_change(const Told& told);
    void show_change(const Told& told, const TextEdit& made, std::size_t caret,
                     std::size_t lines_before);

    // The line laid out as drawn, with the input method's pre-edit in it.
    void lay_out(QTextLayout& layout, std::size_t line) const;
    // The same for one run of the line (a long line is laid out a run at a time).
    void lay_out(QTextLayout& layout, std::size_t line, const LongLine::Segment& segment) const;
    // Lays out what holds a byte, its line or the run of a long line, and
    // gives where that starts and the byte's column in it.
    std::pair<double, int> lay_out_at(QTextLayout& layout, std::size_t byte) const;
    // A long line's pieces, or null for a line short enough to lay out whole.
    const LongLine* long_line(std::size_t line) const;
    Advances& advances() const;
    // The run of a long line that holds a byte of it (counted in the line).
    LongLine::Segment segment_holding(const LongLine& pieces, std::size_t line,
                                      std::size_t within) const;
    // Keeps the long lines' pieces true after a change, or forgets them.
    void long_lines_changed(const TextEdit& made, std::size_t lines_before);
    // Undoes or redoes a step of the history as an edit of the user's.
    void take_back(const TextChange* step, const std::function<std::optional<TextEdit>()>& take);
    void paint_long_line(QPainter& painter, std::size_t line, const LongLine& pieces,
                         QPointF origin) const;
    double line_width_px(std::size_t line) const;
    // The text of the line around a byte: all of it, or for a long line
    // the characters within about `radius` bytes either side.
    struct Around {
        QString text;
        std::size_t from = 0;  // Where the text starts in the buffer.
        std::size_t to = 0;
        int column = 0;  // Where the byte is in the text.
        bool starts_line = true;
        bool ends_line = true;
        std::size_t byte_at(int column) const;
        std::string_view bytes;
    };
    Around around(std::size_t byte, std::size_t radius) const;
    int column_of(std::size_t byte) const;
    std::size_t byte_of(std::size_t line, int column) const;
    int x_of(std::size_t byte) const;
    int visible_lines() const;
    int line_px() const;
    void update_scroll_ranges();
    void scroll_to_caret();
    void announce_caret() const;

    TextBuffer m_buffer;
    TextAnnouncer m_announcer{this, m_buffer};
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0;
    // The x the caret keeps through Up and Down, from where they started.
    std::optional<int> m_goal_x;
    QString m_preedit;
    int m_preedit_caret = 0;
    // The longest line by bytes gives a first guess; drawing corrects it.
    int m_widest_px = 0;
    bool m_dragging = false;
    // The long lines asked about lately, by line, valid while the text has
    // `m_long_lines_count` lines; a few are kept.
    mutable std::vector<std::pair<std::size_t, std::unique_ptr<LongLine>>> m_long_lines;
    mutable std::size_t m_long_lines_count = 0;
    mutable std::unique_ptr<Advances> m_advances;
    // A press soon after a double click, near it, selects the line.
    QElapsedTimer m_double_clicked;
    QPoint m_double_click_at;
};

}  // namespace toolkit

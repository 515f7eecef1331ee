// Draws a long text a screenful at a time, straight from the bytes it is
// given: no document, no layout of lines out of view. Each carriage return,
// line feed or pair of the two starts a new line.
//
// The view shows, scrolls and has a caret that the arrow keys move, as a
// read-only editor's. Whatever asks to change the text (a click, a key that
// is not for moving through it) goes to `on_edit`, which is expected to hand
// the text to an editor at the caret.
//
// To assistive technology the view is the text itself: its lines joined by
// line feeds, counted in UTF-16 units as Qt counts. Where each line starts
// in that count is worked out once per text, on the first question, so no
// question costs more than the lines it asks about.
#pragma once

#include <QAbstractScrollArea>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace toolkit {

class TextView final : public QAbstractScrollArea {
public:
    explicit TextView(QWidget* parent);

    // The view reads the text in place; it must outlive the next call.
    void show_text(const std::string* text);
    int first_visible_line() const;
    std::size_t line_count() const { return m_line_starts.size(); }
    QString line(std::size_t number) const;

    // The caret, as a line and a column in that line's UTF-16 units.
    std::size_t caret_line() const { return m_caret_line; }
    int caret_column() const { return m_caret_column; }
    // Clamped to the text, and scrolled into view.
    void set_caret(std::size_t line, int column);

    // The text in assistive technology's offsets.
    int character_count() const;
    int line_offset(std::size_t line) const;
    std::size_t line_at_offset(int offset) const;
    int line_length(std::size_t line) const;
    QString text_between(int start, int end) const;
    // Where a character is drawn, in the viewport's coordinates.
    QRect character_rect(std::size_t line, int column) const;
    // The line and column under a point of the viewport, if text is there.
    std::optional<std::pair<std::size_t, int>> character_at(QPoint point) const;

    std::function<void(QEvent* event)> on_edit;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::string_view line_bytes(std::size_t number) const;
    int visible_lines() const;
    void update_scroll_ranges();
    void ensure_offsets() const;

    const std::string* m_text = nullptr;
    std::vector<std::size_t> m_line_starts;
    // Each line's first UTF-16 offset, and one past the end; empty until asked.
    mutable std::vector<int> m_line_offsets;
    // The longest line by bytes gives a first guess; drawing corrects it.
    int m_widest_px = 0;
    std::size_t m_caret_line = 0;
    int m_caret_column = 0;
};

}  // namespace toolkit

// Draws a long text a screenful at a time, straight from the bytes it is
// given: no document, no layout of lines out of view. Each carriage return,
// line feed or pair of the two starts a new line.
//
// The view only shows and scrolls. Whatever asks to change the text (a
// click, a key that is not for moving through it) goes to `on_edit`, which
// is expected to hand the text to an editor.
#pragma once

#include <QAbstractScrollArea>

#include <functional>
#include <string>
#include <vector>

namespace toolkit {

class TextView final : public QAbstractScrollArea {
public:
    explicit TextView(QWidget* parent);

    // The view reads the text in place; it must outlive the next call.
    void show_text(const std::string* text);
    int first_visible_line() const;
    std::size_t line_count() const { return m_line_starts.size(); }

    std::function<void(QEvent* event)> on_edit;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString line(std::size_t number) const;
    void update_scroll_ranges();

    const std::string* m_text = nullptr;
    std::vector<std::size_t> m_line_starts;
    // The longest line by bytes gives a first guess; drawing corrects it.
    int m_widest_px = 0;
};

}  // namespace toolkit

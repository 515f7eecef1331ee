// The window's own client area: it reports size changes, pointer moves over
// its bare area (never over a control) and requests to close.
#pragma once

#include <QWidget>

#include <functional>

namespace toolkit {

class FormWidget final : public QWidget {
public:
    FormWidget();

    std::function<void()> on_resize;
    std::function<void()> on_move;
    // Asked to close (the window manager's close button, logging out): the
    // window stays until this ends the program.
    std::function<void()> on_close;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace toolkit

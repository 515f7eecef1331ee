// The window's own client area: it reports size changes and pointer moves
// over its bare area, never over a control.
#pragma once

#include <QWidget>

#include <functional>

namespace toolkit {

class FormWidget final : public QWidget {
public:
    FormWidget();

    std::function<void()> on_resize;
    std::function<void()> on_move;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace toolkit

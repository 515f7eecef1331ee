#include "toolkit/qt/window/form_widget.h"

#include <QMouseEvent>

namespace toolkit {

FormWidget::FormWidget() { setMouseTracking(true); }

void FormWidget::resizeEvent(QResizeEvent*)
{
    if (on_resize)
        on_resize();
}

void FormWidget::mouseMoveEvent(QMouseEvent* event)
{
    // Some controls let moves through to their window; those are not moves
    // over the bare area.
    if (!childAt(event->position().toPoint()) && on_move)
        on_move();
}

}  // namespace toolkit

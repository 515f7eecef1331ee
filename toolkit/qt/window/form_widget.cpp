#include "toolkit/qt/window/form_widget.h"

#include "toolkit/qt/core/accessible_factory.h"
#include "toolkit/qt/core/turns.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QMouseEvent>

namespace toolkit {

namespace {

// The window as Qt presents it, and busy while the pointer says so: a
// screen reader's user is told that what they asked for is still coming.
class FormAccessible final : public QAccessibleWidget {
public:
    explicit FormAccessible(FormWidget* form) : QAccessibleWidget(form, QAccessible::Client) { }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.busy = Turns::instance().looks_busy();
        return state;
    }
};

QAccessibleInterface* form_accessible(const QString&, QObject* object)
{
    auto* form = dynamic_cast<FormWidget*>(object);
    return form ? new FormAccessible(form) : nullptr;
}

}  // namespace

FormWidget::FormWidget()
{
    install_accessible_factory<form_accessible>();
    setMouseTracking(true);
}

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

void FormWidget::closeEvent(QCloseEvent* event)
{
    if (!on_close)
        return;
    event->ignore();
    on_close();
}

}  // namespace toolkit

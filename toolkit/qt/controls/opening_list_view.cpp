#include "toolkit/qt/controls/opening_list_view.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace toolkit {

OpeningListView::OpeningListView(QWidget* parent) : QListView(parent)
{
    // Every row is as high as the first: the view never measures a million.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListView::doubleClicked, this, [this] {
        if (on_open)
            on_open();
    });
}

void OpeningListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && on_open) {
        on_open();
        forget_typed();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void OpeningListView::forget_typed()
{
    // What the user types next looks for a name in what was just opened, not
    // for the end of the name that opened it. An empty search is the one way
    // to start afresh, and it steps to the next row; the highlight is put
    // back before anyone hears of the step.
    QModelIndex highlighted = currentIndex();
    {
        QSignalBlocker quiet(selectionModel());
        keyboardSearch(QString());
        selectionModel()->setCurrentIndex(highlighted, QItemSelectionModel::ClearAndSelect);
    }
    viewport()->update();
}

}  // namespace toolkit

#include "opening_list_view.h"

#include <QKeyEvent>

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
        // What the user types next looks for a name in what was just opened,
        // not for the end of the name that opened it.
        keyboardSearch(QString());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

}  // namespace toolkit

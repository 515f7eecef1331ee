#include "toolkit/qt/controls/opening_list_view.h"

#include "toolkit/qt/controls/folder_tree_accessible.h"
#include "toolkit/qt/core/accessible_factory.h"

#include <QAccessible>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>

namespace toolkit {

namespace {

// About 3 ms of layout here.
constexpr int rows_a_batch = 200000;

}  // namespace

OpeningListView::OpeningListView(QWidget* parent, Told told) : QListView(parent), m_told(told)
{
    if (told_as_tree())
        install_accessible_factory<folder_tree_accessible>();
    // Every row is as high as the first: the view never measures a million.
    setUniformItemSizes(true);
    // Scrolled by rows, Qt walks every row to set the scroll bar's range.
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setLayoutMode(QListView::Batched);
    setBatchSize(rows_a_batch);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListView::doubleClicked, this, [this] {
        if (on_open)
            on_open();
    });
}

void OpeningListView::doItemsLayout()
{
    if (!m_laying_out)
        m_kept_position = verticalScrollBar()->value();
    QListView::doItemsLayout();
    if (laid_out()) {
        if (m_laying_out)
            end_layout();
        return;
    }
    if (!m_laying_out) {
        // The first batch's scroll range would clip the place kept, and
        // the rows drawn meanwhile would be the wrong ones.
        m_laying_out = true;
        setUpdatesEnabled(false);
    }
}

void OpeningListView::timerEvent(QTimerEvent* event)
{
    QListView::timerEvent(event);
    if (m_laying_out && laid_out())
        end_layout();
}

bool OpeningListView::laid_out() const
{
    int rows = model() ? model()->rowCount(rootIndex()) : 0;
    return rows == 0 || rectForIndex(model()->index(rows - 1, 0, rootIndex())).isValid();
}

void OpeningListView::end_layout()
{
    m_laying_out = false;
    verticalScrollBar()->setValue(m_kept_position);
    setUpdatesEnabled(true);
    if (std::optional<Scroll> scroll = std::exchange(m_scroll_later, std::nullopt))
        if (scroll->index.isValid())
            QListView::scrollTo(scroll->index, scroll->hint);
}

void OpeningListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    // Done now, it would be undone when the kept place is put back.
    executeDelayedItemsLayout();
    if (m_laying_out && index.isValid()) {
        m_scroll_later = Scroll{index, hint};
        return;
    }
    m_scroll_later.reset();
    QListView::scrollTo(index, hint);
}

void OpeningListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Qt's list tells a screen reader that its new current row has the
    // focus, even when the keyboard is elsewhere: a scan walks the file
    // list's rows while the user stays where they are.
    if (!hasFocus() || told_as_tree())
        QAbstractItemView::currentChanged(current, previous);
    else
        QListView::currentChanged(current, previous);
    // Qt's list names the row by its place among the list's children,
    // which in a tree is another row.
    if (hasFocus() && told_as_tree() && QAccessible::isActive() && current.isValid())
        if (QAccessibleInterface* item = folder_tree_item(this, current.row())) {
            QAccessibleEvent focus(item, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
}

void OpeningListView::selectionChanged(const QItemSelection& selected,
                                       const QItemSelection& deselected)
{
    // The focus event above says which row is selected in a tree.
    if (told_as_tree())
        QAbstractItemView::selectionChanged(selected, deselected);
    else
        QListView::selectionChanged(selected, deselected);
}

// A list too short for a row and a scroll bar under it keeps the row: a
// long name is cut at the edge, and its tip shows it whole.
void OpeningListView::resizeEvent(QResizeEvent* event)
{
    int row_px = sizeHintForRow(0) > 0 ? sizeHintForRow(0) : fontMetrics().height();
    int bar_px = horizontalScrollBar()->sizeHint().height();
    bool room = event->size().height() - 2 * frameWidth() >= row_px + bar_px;
    setHorizontalScrollBarPolicy(room ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    QListView::resizeEvent(event);
}

void OpeningListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && on_open) {
        on_open();
        forget_typed();
        event->accept();
        return;
    }
    // Shift+F10 opens the context menu as the Menu key does.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier && on_context_menu) {
        on_context_menu(keyboard_menu_place());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void OpeningListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!on_context_menu)
        return QListView::contextMenuEvent(event);
    bool from_keys = event->reason() == QContextMenuEvent::Keyboard;
    on_context_menu(from_keys ? keyboard_menu_place() : event->globalPos());
    event->accept();
}

QPoint OpeningListView::keyboard_menu_place() const
{
    QRect row = visualRect(currentIndex());
    QRect shown = viewport()->rect();
    // Without a row to go under, under the list, keeping its rows in sight.
    QPoint place = row.isValid() && shown.intersects(row) ? row.bottomLeft() : shown.bottomLeft();
    return viewport()->mapToGlobal(place);
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

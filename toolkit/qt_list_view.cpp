#include "toolkit/qt_list_view.h"

#include "toolkit/qt_lists.h"

#include <QKeyEvent>

namespace toolkit {

namespace {
constexpr int indent_px = 12;
}

void EntryListModel::set_rows(std::vector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()))
        return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return row.text;
    case Qt::DecorationRole: return row.icon.isNull() ? QVariant() : QVariant(row.icon);
    case DepthRole: return row.depth;
    default: return {};
    }
}

void IndentingDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(option.rect.left() + indent_px * index.data(EntryListModel::DepthRole).toInt());
    QStyledItemDelegate::paint(painter, shifted, index);
}

QSize IndentingDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += indent_px * index.data(EntryListModel::DepthRole).toInt();
    return size;
}

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
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

QtRowList::QtRowList(QListView* view, std::string_view name, std::optional<std::int32_t> index)
    : QtControl(view, name, index), m_view(view), m_model(new EntryListModel(view))
{
    m_view->setModel(m_model);
}

void QtRowList::set_integral_height(bool integral)
{
    m_integral_height = integral;
    place();
}

QByteArray QtRowList::resolve(const std::string& path) const
{
    return clean_path(bytes_of(path), m_path.isEmpty() ? QByteArray("/") : m_path);
}

int QtRowList::drawn_height_px(int height_px) const
{
    return m_integral_height ? whole_rows_height_px(*m_view, height_px) : height_px;
}

int whole_rows_height_px(const QListView& view, int height_px)
{
    int frame_px = 2 * view.frameWidth();
    int row_px = view.sizeHintForRow(0);
    if (row_px <= 0)
        row_px = view.fontMetrics().height();
    int rows = (height_px - frame_px) / row_px;
    if (rows < 1)
        return height_px;  // Too short for one row: drawn as asked.
    return rows * row_px + frame_px;
}

}  // namespace toolkit

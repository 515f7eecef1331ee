#include "toolkit/qt/controls/file_list_model.h"

#include "toolkit/qt/core/utf8.h"

namespace toolkit {

void FileListModel::set_names(std::shared_ptr<const OrderedNames> names)
{
    beginResetModel();
    m_names = std::move(names);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(size());
}

QModelIndex FileListModel::index(int row, int column, const QModelIndex& parent) const
{
    // Asked for every row each time the view lays itself out, a million
    // times after a change: the same answer as Qt's, without its virtual
    // calls for the row and column counts.
    if (row < 0 || column != 0 || parent.isValid() || static_cast<std::size_t>(row) >= size())
        return {};
    return createIndex(row, 0);
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() ||
        static_cast<std::size_t>(index.row()) >= size())
        return {};
    return shown_name(raw(static_cast<std::size_t>(index.row())));
}

}  // namespace toolkit

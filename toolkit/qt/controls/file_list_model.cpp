#include "toolkit/qt/controls/file_list_model.h"

#include "toolkit/qt/core/utf8.h"

namespace toolkit {

void FileListModel::set_names(RawNames names, std::vector<std::uint32_t> order)
{
    beginResetModel();
    m_names = std::move(names);
    m_order = std::move(order);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() ||
        static_cast<std::size_t>(index.row()) >= m_order.size())
        return {};
    return display_name(raw(static_cast<std::size_t>(index.row())));
}

}  // namespace toolkit

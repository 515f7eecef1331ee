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

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() ||
        static_cast<std::size_t>(index.row()) >= size())
        return {};
    return display_name(raw(static_cast<std::size_t>(index.row())));
}

}  // namespace toolkit

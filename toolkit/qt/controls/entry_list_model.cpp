#include "toolkit/qt/controls/entry_list_model.h"

namespace toolkit {

void EntryListModel::set_rows(std::vector<Row> rows, int expanded)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_expanded = expanded;
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
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return row.text;
    case Qt::DecorationRole: return row.icon.isNull() ? QVariant() : QVariant(row.icon);
    case DepthRole: return row.depth;
    default: return {};
    }
}

}  // namespace toolkit

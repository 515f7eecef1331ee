// The file list's rows: the folder's names as raw bytes in one block, in
// their order, each made display text only when a row is drawn or read.
#pragma once

#include "toolkit/qt/folders/folder_reader.h"

#include <QAbstractListModel>

#include <cstdint>
#include <vector>

namespace toolkit {

class FileListModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void set_names(RawNames names, std::vector<std::uint32_t> order);
    std::size_t size() const { return m_order.size(); }
    // The raw name at a row of the list.
    std::string_view raw(std::size_t row) const { return m_names[m_order[row]]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    RawNames m_names;
    std::vector<std::uint32_t> m_order;
};

}  // namespace toolkit

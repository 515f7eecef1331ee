// The file list's rows: the folder's names as raw bytes in one block, in
// their order, each made display text only when a row is drawn or read.
#pragma once

#include "toolkit/qt/folders/name_order.h"

#include <QAbstractListModel>

#include <memory>

namespace toolkit {

class FileListModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void set_names(std::shared_ptr<const OrderedNames> names);
    std::size_t size() const { return m_names->size(); }
    // The raw name at a row of the list.
    std::string_view raw(std::size_t row) const { return m_names->at(row); }
    const OrderedNames& names() const { return *m_names; }
    std::shared_ptr<const OrderedNames> shared_names() const { return m_names; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::shared_ptr<const OrderedNames> m_names = std::make_shared<OrderedNames>();
};

}  // namespace toolkit

// The folder list's rows, each with its depth in the tree, held without an item per
// entry, so a list of a million names costs one vector.
#pragma once

#include <QAbstractListModel>
#include <QIcon>

#include <vector>

namespace toolkit {

class EntryListModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    struct Row {
        QString text;
        int depth = 0;  // Indentation steps; the file list keeps them at 0.
        QIcon icon;
    };

    // `expanded`: how many of the first rows have their children listed,
    // each the parent of the next, the last of the rows after them.
    void set_rows(std::vector<Row> rows, int expanded = 0);
    int expanded_rows() const { return m_expanded; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    static constexpr int DepthRole = Qt::UserRole + 1;

private:
    std::vector<Row> m_rows;
    int m_expanded = 0;
};

}  // namespace toolkit

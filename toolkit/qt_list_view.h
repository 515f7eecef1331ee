// The pieces the folder and file lists share: a model that holds names
// without an item object per entry, and a view that reports when the user
// opens an entry (double-click or Enter).
#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QListView>
#include <QStyledItemDelegate>

#include <functional>
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

    void set_rows(std::vector<Row> rows);
    const std::vector<Row>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    static constexpr int DepthRole = Qt::UserRole + 1;

private:
    std::vector<Row> m_rows;
};

// Shifts each row right by its depth, so the folder list shows a tree.
class IndentingDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class OpeningListView final : public QListView {
public:
    explicit OpeningListView(QWidget* parent);
    std::function<void()> on_open;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The height of `rows` whole rows of the view, frame included.
int whole_rows_height_px(const QListView& view, int height_px);

}  // namespace toolkit

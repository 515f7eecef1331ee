#include "toolkit/qt/controls/folder_tree_accessible.h"

#include "toolkit/qt/controls/entry_list_model.h"
#include "toolkit/qt/controls/opening_list_view.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <unordered_map>
#include <utility>

namespace toolkit {

namespace {

// Where each row hangs. The model lists its expanded rows first, each the
// child of the one before, and then the last one's children.
struct Shape {
    int rows = 0;
    int expanded = 0;

    static Shape of(const QAbstractItemView& view)
    {
        Shape shape;
        shape.rows = view.model() ? view.model()->rowCount() : 0;
        if (auto* model = dynamic_cast<const EntryListModel*>(view.model()))
            shape.expanded = std::min(model->expanded_rows(), shape.rows);
        return shape;
    }
    // The row `row` hangs from; -1 for the tree itself.
    int parent(int row) const
    {
        if (expanded == 0 || row == 0)
            return -1;
        return row < expanded ? row - 1 : expanded - 1;
    }
    // Its place among its parent's children.
    int place(int row) const
    {
        if (expanded == 0)
            return row;
        return row < expanded ? 0 : row - expanded;
    }
    // The first of the rows hanging from `row` (-1 for the tree) and how many.
    std::pair<int, int> children(int row) const
    {
        if (row < 0)
            return {0, expanded == 0 ? rows : std::min(rows, 1)};
        if (row < expanded - 1)
            return {row + 1, 1};
        if (row == expanded - 1)
            return {expanded, rows - expanded};
        return {0, 0};
    }
    int level(int row) const
    {
        if (expanded == 0)
            return 1;
        return row < expanded ? row + 1 : expanded + 1;
    }
};

class FolderTreeAccessible;

class FolderItemAccessible final : public QAccessibleInterface
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    ,
                                   public QAccessibleAttributesInterface
#endif
{
public:
    FolderItemAccessible(QAbstractItemView* view, int row) : m_view(view), m_row(row) { }

    int row() const { return m_row; }
    const QAbstractItemView* view() const { return m_view; }

    bool isValid() const override { return m_view && m_row < Shape::of(*m_view).rows; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override { return isValid() ? shape().children(m_row).second : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid())
            return {};
        return index().data(Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        QRect drawn = m_view->visualRect(index());
        if (!drawn.isValid())
            return {};
        return {m_view->viewport()->mapToGlobal(drawn.topLeft()), drawn.size()};
    }
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        QModelIndex at = index();
        state.selected = m_view->selectionModel() && m_view->selectionModel()->isSelected(at);
        state.focused = m_view->hasFocus() && m_view->currentIndex() == at;
        // A subfolder is collapsed: opening it lists its own.
        bool open = m_row < shape().expanded;
        state.expandable = true;
        state.expanded = open;
        state.collapsed = !open;
        if (!m_view->viewport()->rect().intersects(m_view->visualRect(at)))
            state.invisible = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        if (type == QAccessible::AttributesInterface)
            return static_cast<QAccessibleAttributesInterface*>(this);
#else
        (void)type;
#endif
        return nullptr;
    }

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QList<QAccessible::Attribute> attributeKeys() const override
    {
        return {QAccessible::Attribute::Level};
    }
    QVariant attributeValue(QAccessible::Attribute key) const override
    {
        if (key != QAccessible::Attribute::Level || !isValid())
            return {};
        return shape().level(m_row);
    }
#endif

private:
    Shape shape() const { return Shape::of(*m_view); }
    QModelIndex index() const { return m_view->model()->index(m_row, 0); }
    FolderTreeAccessible* tree() const;

    QPointer<QAbstractItemView> m_view;
    int m_row;
};

class FolderTreeAccessible final : public QAccessibleWidget {
public:
    explicit FolderTreeAccessible(QAbstractItemView* view)
        : QAccessibleWidget(view, QAccessible::Tree), m_view(view)
    {
    }
    ~FolderTreeAccessible() override
    {
        QObject::disconnect(m_refilled);
        forget_items();
    }

    QAccessibleInterface* item(int row) const
    {
        follow_model();
        if (row < 0 || row >= Shape::of(*m_view).rows)
            return nullptr;
        auto made = m_items.find(row);
        if (made != m_items.end())
            return QAccessible::accessibleInterface(made->second);
        auto* item = new FolderItemAccessible(m_view, row);
        m_items.emplace(row, QAccessible::registerAccessibleInterface(item));
        return item;
    }

    int childCount() const override { return Shape::of(*m_view).children(-1).second; }
    QAccessibleInterface* child(int index) const override
    {
        auto [first, count] = Shape::of(*m_view).children(-1);
        return index >= 0 && index < count ? item(first + index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        auto* item = dynamic_cast<const FolderItemAccessible*>(child);
        if (!item || item->view() != m_view)
            return -1;
        Shape shape = Shape::of(*m_view);
        return shape.parent(item->row()) == -1 ? shape.place(item->row()) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QModelIndex at = m_view->indexAt(m_view->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? item(at.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        QModelIndex current = m_view->currentIndex();
        return m_view->hasFocus() && current.isValid() ? item(current.row()) : nullptr;
    }

private:
    // When the list is filled again its rows are other folders: their old
    // items must not be met again.
    void follow_model() const
    {
        if (m_model == m_view->model())
            return;
        QObject::disconnect(m_refilled);
        forget_items();
        m_model = m_view->model();
        m_refilled = QObject::connect(m_model, &QAbstractItemModel::modelReset, m_view,
                                      [this] { forget_items(); });
    }
    void forget_items() const
    {
        for (auto [row, id] : std::exchange(m_items, {}))
            QAccessible::deleteAccessibleInterface(id);
    }

    QAbstractItemView* m_view;
    mutable QAbstractItemModel* m_model = nullptr;
    mutable std::unordered_map<int, QAccessible::Id> m_items;
    mutable QMetaObject::Connection m_refilled;
};

FolderTreeAccessible* FolderItemAccessible::tree() const
{
    return m_view
        ? dynamic_cast<FolderTreeAccessible*>(QAccessible::queryAccessibleInterface(m_view.data()))
        : nullptr;
}

QAccessibleInterface* FolderItemAccessible::parent() const
{
    FolderTreeAccessible* tree = this->tree();
    if (!tree || !isValid())
        return tree;
    int above = shape().parent(m_row);
    return above < 0 ? static_cast<QAccessibleInterface*>(tree) : tree->item(above);
}

QAccessibleInterface* FolderItemAccessible::child(int index) const
{
    FolderTreeAccessible* tree = this->tree();
    if (!tree || !isValid())
        return nullptr;
    auto [first, count] = shape().children(m_row);
    return index >= 0 && index < count ? tree->item(first + index) : nullptr;
}

int FolderItemAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    auto* item = dynamic_cast<const FolderItemAccessible*>(child);
    if (!item || item->view() != m_view || !isValid())
        return -1;
    Shape shape = this->shape();
    return shape.parent(item->row()) == m_row ? shape.place(item->row()) : -1;
}

}  // namespace

QAccessibleInterface* folder_tree_accessible(const QString&, QObject* object)
{
    auto* view = dynamic_cast<OpeningListView*>(object);
    return view && view->told_as_tree() ? new FolderTreeAccessible(view) : nullptr;
}

QAccessibleInterface* folder_tree_item(QAbstractItemView* view, int row)
{
    auto* tree = dynamic_cast<FolderTreeAccessible*>(QAccessible::queryAccessibleInterface(view));
    return tree ? tree->item(row) : nullptr;
}

}  // namespace toolkit

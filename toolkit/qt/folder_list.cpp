#include "folder_list.h"

#include "dispatch.h"
#include "entry_list_model.h"
#include "folder_reader.h"
#include "name_order.h"
#include "opening_list_view.h"
#include "raw_paths.h"
#include "utf8.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStyle>
#include <QStyledItemDelegate>

namespace toolkit {

namespace {

constexpr Property folder_list_properties[] = {
    {prop::Path, get_via<&QtRowList::path>, set_via<&QtFolderList::set_path>},
    {prop::IntegralHeight, get_via<&QtRowList::integral_height>,
     set_via<&QtRowList::set_integral_height>},
};

constexpr int indent_px = 12;

// Shifts each row right by its depth, so the list shows a tree.
class IndentingDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + indent_px * depth(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent_px * depth(index);
        return size;
    }

private:
    static int depth(const QModelIndex& index)
    {
        return index.data(EntryListModel::DepthRole).toInt();
    }
};

}  // namespace

QtFolderList::QtFolderList(QWidget* parent, std::string_view name,
                           std::optional<std::int32_t> index)
    : QtRowList(new OpeningListView(parent), name, index, {Event::Change}),
      m_model(new EntryListModel(m_view))
{
    m_view->setModel(m_model);
    m_view->setItemDelegate(new IndentingDelegate(m_view));
    static_cast<OpeningListView*>(m_view)->on_open = [this] {
        dispatch([this] { open_highlighted(); });
    };
    // The list starts where the process stands; an unreadable working folder
    // leaves it at the root.
    QByteArray start = QFile::encodeName(QDir::currentPath());
    try {
        set_path(string_of(start));
    } catch (const Error&) {
        set_path("/");
    }
}

void QtFolderList::set_path(std::string path)
{
    QByteArray target = resolve(path);
    FolderListing listing = read_folder(target);
    std::vector<std::uint32_t> order = name_order(listing.folders);

    QStyle* style = QApplication::style();
    QIcon open_icon = style->standardIcon(QStyle::SP_DirOpenIcon);
    QIcon closed_icon = style->standardIcon(QStyle::SP_DirClosedIcon);
    std::vector<EntryListModel::Row> rows;
    std::vector<QByteArray> paths;
    rows.push_back({QStringLiteral("/"), 0, open_icon});
    paths.push_back("/");
    QByteArray walked;
    for (const QByteArray& part : target.split('/')) {
        if (part.isEmpty())
            continue;
        walked += '/' + part;
        rows.push_back({display_path(part), static_cast<int>(rows.size()), open_icon});
        paths.push_back(walked);
    }
    int open_row = static_cast<int>(rows.size()) - 1;
    int child_depth = open_row + 1;
    for (std::uint32_t position : order) {
        std::string_view folder = listing.folders[position];
        rows.push_back({display_name(folder), child_depth, closed_icon});
        paths.push_back(join_path(target, bytes_of(folder)));
    }

    bool changed = target != m_path;
    m_path = target;
    m_entry_paths = std::move(paths);
    m_model->set_rows(std::move(rows));
    m_view->setCurrentIndex(m_model->index(open_row));
    place();
    offer_files(target, std::move(listing.files));
    if (changed)
        raise(handler(Event::Change));
}

void QtFolderList::open_highlighted()
{
    QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return;
    set_path(string_of(m_entry_paths[static_cast<std::size_t>(current.row())]));
}

std::span<const Property> QtFolderList::own_properties() const { return folder_list_properties; }

}  // namespace toolkit

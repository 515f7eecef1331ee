#include "toolkit/qt/controls/qt_folder_list.h"

#include "toolkit/qt/controls/entry_list_model.h"
#include "toolkit/qt/controls/opening_list_view.h"
#include "toolkit/qt/core/dispatch.h"
#include "toolkit/qt/core/turns.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/folder_reader.h"
#include "toolkit/qt/folders/name_order.h"
#include "toolkit/qt/folders/raw_paths.h"

#include "toolkit/services.h"

#include <QApplication>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

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

QtFolderList::QtFolderList(QWidget* parent, FolderHub& folders, std::string_view name,
                           std::optional<std::int32_t> index)
    : QtRowList(new OpeningListView(parent, OpeningListView::Told::AsTree), folders, name, index,
                {Event::Change}),
      m_model(new EntryListModel(m_view))
{
    m_view->setModel(m_model);
    m_view->setItemDelegate(new IndentingDelegate(m_view));
    static_cast<OpeningListView*>(m_view)->on_open = [this] {
        dispatch([this] { open_highlighted(); });
    };
    // The list shows nothing until it is pointed at a folder: reading one
    // here, such as the working folder, could hold the window up on a slow
    // disk, for a folder the program may never show.
}

void QtFolderList::set_path(std::string path)
{
    QByteArray target = resolve(path);
    if (is_current(target) || is_awaiting(target)) {
        m_view->setCurrentIndex(m_model->index(m_open_row));
        return;
    }
    std::optional<FolderRead> listed;
    try {
        listed = take_read(target);
    } catch (const Error&) {
        // What the user highlighted to open was refused: the highlight goes
        // back to where the tool is.
        m_view->setCurrentIndex(m_model->index(m_open_row));
        throw;
    }
    if (listed) {
        open(target, std::move(*listed));
        return;
    }
    // Nothing read: the list goes there now, and fills once it is read.
    show(target, OrderedNames{}, target);
    bool changed = target != m_path;
    await(target);
    if (changed)
        raise(handler(Event::Change));
}

void QtFolderList::open(const QByteArray& folder, FolderRead read)
{
    show(folder, *read.folders, folder);
    bool changed = folder != m_path;
    m_path = folder;
    follow(read);
    m_folders.offer(folder, std::move(read));
    if (changed)
        raise(handler(Event::Change));
}

void QtFolderList::show(const QByteArray& folder, const OrderedNames& subfolders,
                        const QByteArray& highlight)
{
    QStyle* style = QApplication::style();
    QIcon open_icon = style->standardIcon(QStyle::SP_DirOpenIcon);
    QIcon closed_icon = style->standardIcon(QStyle::SP_DirClosedIcon);
    std::vector<EntryListModel::Row> rows;
    std::vector<QByteArray> paths;
    rows.push_back({QStringLiteral("/"), 0, open_icon});
    paths.push_back("/");
    QByteArray walked;
    for (const QByteArray& part : folder.split('/')) {
        if (part.isEmpty())
            continue;
        walked += '/' + part;
        rows.push_back(
            {shown_name(std::string_view(part.constData(), static_cast<std::size_t>(part.size()))),
             static_cast<int>(rows.size()), open_icon});
        paths.push_back(walked);
    }
    int open_row = static_cast<int>(rows.size()) - 1;
    int child_depth = open_row + 1;
    for (std::size_t place = 0; place < subfolders.size(); ++place) {
        std::string_view subfolder = subfolders.at(place);
        rows.push_back({shown_name(subfolder), child_depth, closed_icon});
        paths.push_back(join_path(folder, bytes_of(subfolder)));
    }
    auto found = std::find(paths.begin(), paths.end(), highlight);
    int highlight_row = found == paths.end() ? open_row : static_cast<int>(found - paths.begin());

    m_open_row = open_row;
    m_entry_paths = std::move(paths);
    m_model->set_rows(std::move(rows), open_row + 1);
    m_view->setCurrentIndex(m_model->index(highlight_row));
    place();
}

QByteArray QtFolderList::highlighted_path() const
{
    QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return m_path;
    return m_entry_paths[static_cast<std::size_t>(current.row())];
}

void QtFolderList::show_change(const FolderRead& read)
{
    show(m_path, *read.folders, highlighted_path());
}

void QtFolderList::lose_folder(const std::string& error)
{
    // The nearest ancestor that can still be read is opened as if the user
    // had gone there, once the user has read why; the root always can.
    show_message(error, [this, lost = m_path] { move_above(lost, lost); });
}

void QtFolderList::move_above(const QByteArray& lost, const QByteArray& below)
{
    if (m_path != lost || below == "/")
        return;  // The user went elsewhere meanwhile.
    QByteArray ancestor = clean_path(below + "/..", "/");
    m_folders.read(ancestor, [this, lost, ancestor](FolderRead read) {
        Turns::instance().take([this, lost, ancestor, read = std::move(read)]() mutable {
            if (m_path == lost && read.error.empty()) {
                dispatch([&] { open(ancestor, std::move(read)); });
                return;
            }
            m_folders.release_unless_held(read.watch);
            move_above(lost, ancestor);
        });
    });
}

void QtFolderList::open_highlighted()
{
    QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return;
    QByteArray target = m_entry_paths[static_cast<std::size_t>(current.row())];
    if (is_current(target)) {
        m_view->setCurrentIndex(m_model->index(m_open_row));
        return;
    }
    // Read first, then commit: the list shows the folder it is in until the
    // new one is read. Esc, or another folder opened meanwhile, gives it up.
    Errand errand =
        Turns::instance().begin([this] { m_view->setCurrentIndex(m_model->index(m_open_row)); });
    m_folders.read(target, [this, errand, target](FolderRead read) {
        int watch = read.watch;
        Turns::instance().finish(errand, [&] {
            m_folders.offer(target, std::move(read));
            dispatch([&] { set_path(string_of(target)); });
        });
        m_folders.release_unless_held(watch);
    });
}

std::span<const Property> QtFolderList::own_properties() const { return folder_list_properties; }

}  // namespace toolkit

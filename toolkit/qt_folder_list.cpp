#include "toolkit/qt_dispatch.h"
#include "toolkit/qt_lists.h"
#include "toolkit/qt_list_view.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStyle>

namespace toolkit {

namespace {

constexpr Property folder_list_properties[] = {
    {prop::Path, get_via<&QtRowList::path>, set_via<&QtFolderList::set_path>},
    {prop::IntegralHeight, get_via<&QtRowList::integral_height>,
     set_via<&QtRowList::set_integral_height>},
};

}  // namespace

QByteArray clean_path(const QByteArray& path, const QByteArray& base)
{
    QByteArray absolute = path.startsWith('/') ? path : join_path(base, path);
    std::vector<QByteArray> parts;
    for (const QByteArray& part : absolute.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    QByteArray clean;
    for (const QByteArray& part : parts)
        clean += '/' + part;
    return clean.isEmpty() ? QByteArray("/") : clean;
}

QtFolderList::QtFolderList(QWidget* parent, std::string_view name,
                           std::optional<std::int32_t> index)
    : QtRowList(new OpeningListView(parent), name, index)
{
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
    std::vector<FolderEntry> subfolders = read_folder(target, EntryKind::Folder);
    sort_by_name(subfolders);

    // The ancestors, the folder itself and its subfolders, each a step deeper.
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
    for (FolderEntry& folder : subfolders) {
        rows.push_back({std::move(folder.display_name), child_depth, closed_icon});
        paths.push_back(join_path(target, folder.raw_name));
    }

    bool changed = target != m_path;
    m_path = target;
    m_entry_paths = std::move(paths);
    m_model->set_rows(std::move(rows));
    m_view->setCurrentIndex(m_model->index(open_row));
    place();
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

bool QtFolderList::raises(Event event) const { return event == Event::Change; }

}  // namespace toolkit

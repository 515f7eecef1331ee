#include "toolkit/qt/controls/qt_row_list.h"

#include "toolkit/qt/controls/opening_list_view.h"
#include "toolkit/qt/core/menus.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/raw_paths.h"

#include <QListView>
#include <QMenu>

namespace toolkit {

QtRowList::QtRowList(QListView* view, FolderHub& folders, std::string_view name,
                     std::optional<std::int32_t> index, std::initializer_list<Event> raised)
    : QtControl(view, name, index, raised), m_folders(folders), m_view(view)
{
    m_folders.join(*this);
}

QtRowList::~QtRowList() { m_folders.leave(*this); }

std::optional<FolderRead> QtRowList::take_read(const QByteArray& folder)
{
    std::optional<FolderRead> read = m_folders.take(folder);
    if (read && !read->error.empty()) {
        // The same folder gives the same watch, which a list may hold.
        m_folders.release_unless_held(read->watch);
        throw Error(read->error);
    }
    return read;
}

bool QtRowList::is_current(const QByteArray& folder) const
{
    return folder == m_path && m_watch >= 0 && m_reports_changes && !m_stale && m_shown;
}

void QtRowList::follow(const FolderRead& read)
{
    int previous = std::exchange(m_watch, read.watch);
    m_reports_changes = read.reports_changes;
    m_stale = false;
    m_shown = shown_part(read).fingerprint;
    if (previous != m_watch)
        m_folders.release_unless_held(previous);
}

void QtRowList::await(const QByteArray& folder)
{
    m_path = folder;
    m_folders.release_unless_held(std::exchange(m_watch, -1));
    m_reports_changes = false;
    m_shown.reset();
    m_folders.fill(folder);
}

void QtRowList::take_change(const FolderRead& read)
{
    // A read that found what is shown costs nothing more.
    bool same = m_shown && *m_shown == shown_part(read).fingerprint;
    follow(read);
    if (!same)
        show_change(read);
}

void QtRowList::set_context_menu(const Menu& menu)
{
    m_menu = menu;
    static_cast<OpeningListView*>(m_view)->on_context_menu = [this](QPoint at) { show_menu(at); };
}

void QtRowList::open_context_menu()
{
    if (!m_menu)
        QtControl::open_context_menu();
    show_menu(static_cast<OpeningListView*>(m_view)->keyboard_menu_place());
}

void QtRowList::show_menu(QPoint at)
{
    // Shown without a loop of its own: its entries run as the window's events.
    QMenu* menu = make_menu(*m_menu, m_view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(at);
}

std::string QtRowList::path() const { return string_of(m_path); }

void QtRowList::set_integral_height(bool integral)
{
    m_integral_height = integral;
    place();
}

QByteArray QtRowList::resolve(const std::string& path) const
{
    return clean_path(bytes_of(path), m_path.isEmpty() ? QByteArray("/") : m_path);
}

namespace {

int row_height_px(const QListView& view)
{
    int row_px = view.sizeHintForRow(0);
    return row_px > 0 ? row_px : view.fontMetrics().height();
}

}  // namespace

QSize QtRowList::smallest_usable_px() const
{
    return {0, row_height_px(*m_view) + 2 * m_view->frameWidth()};
}

int QtRowList::drawn_height_px(int height_px) const
{
    if (!m_integral_height)
        return height_px;
    int frame_px = 2 * m_view->frameWidth();
    int row_px = row_height_px(*m_view);
    int rows = (height_px - frame_px) / row_px;
    if (rows < 1)
        return height_px;  // Too short for one row: drawn as asked.
    return rows * row_px + frame_px;
}

}  // namespace toolkit

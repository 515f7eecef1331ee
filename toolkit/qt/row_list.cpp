#include "row_list.h"

#include "raw_paths.h"
#include "utf8.h"

#include <QGuiApplication>
#include <QListView>
#include <QTimer>

#include <algorithm>
#include <set>
#include <vector>

namespace toolkit {

namespace {

std::vector<QtRowList*>& live_lists()
{
    static std::vector<QtRowList*> lists;
    return lists;
}

struct OfferedFiles {
    QByteArray folder;
    FolderRead read;
};

std::optional<OfferedFiles>& offered_files()
{
    static std::optional<OfferedFiles> offered;
    return offered;
}

// A burst of changes (a copy of many files) becomes one read: reports are
// gathered for a moment before the folders are read again.
constexpr auto gathering_time = std::chrono::milliseconds(50);

std::set<QByteArray>& folders_to_read()
{
    static std::set<QByteArray> folders;
    return folders;
}

}  // namespace

QtRowList::QtRowList(QListView* view, std::string_view name, std::optional<std::int32_t> index,
                     std::initializer_list<Event> raised)
    : QtControl(view, name, index, raised), m_view(view)
{
    static bool listening = false;
    if (!listening) {
        listening = true;
        FolderWatch::instance().on_change = [](int watch) {
            for (QtRowList* list : live_lists())
                if (list->m_watch == watch) {
                    list->m_stale = true;
                    read_again_later(list->m_path);
                }
        };
        QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, qGuiApp,
                         [](Qt::ApplicationState state) {
                             if (state != Qt::ApplicationActive)
                                 return;
                             for (QtRowList* list : live_lists())
                                 if (!list->m_reports_changes && !list->m_path.isEmpty()) {
                                     list->m_stale = true;
                                     read_again_later(list->m_path);
                                 }
                         });
    }
    live_lists().push_back(this);
}

QtRowList::~QtRowList()
{
    std::erase(live_lists(), this);
    follow(FolderRead{});
}

FolderRead QtRowList::read(const QByteArray& folder) const
{
    FolderRead read = read_folder_waiting(folder);
    if (!read.error.empty()) {
        // The watch may be one a list holds: the same folder gives the same watch.
        bool held = std::any_of(live_lists().begin(), live_lists().end(),
                                [&](const QtRowList* list) { return list->m_watch == read.watch; });
        if (!held)
            FolderWatch::instance().release(read.watch);
        throw Error(read.error);
    }
    return read;
}

bool QtRowList::is_current(const QByteArray& folder) const
{
    return folder == m_path && m_watch >= 0 && m_reports_changes && !m_stale;
}

void QtRowList::follow(const FolderRead& read)
{
    int previous = std::exchange(m_watch, read.watch);
    m_reports_changes = read.reports_changes;
    m_stale = false;
    if (previous < 0 || previous == m_watch)
        return;
    for (const QtRowList* list : live_lists())
        if (list->m_watch == previous)
            return;
    FolderWatch::instance().release(previous);
}

void QtRowList::read_again_later(const QByteArray& folder)
{
    std::set<QByteArray>& folders = folders_to_read();
    bool first = folders.empty();
    folders.insert(folder);
    if (!first)
        return;
    QTimer::singleShot(gathering_time, qGuiApp, [] {
        for (const QByteArray& each : std::exchange(folders_to_read(), {}))
            read_folder_later(each, [each](FolderRead& read) { hand_out(each, read); });
    });
}

void QtRowList::hand_out(const QByteArray& folder, FolderRead& read)
{
    std::vector<QtRowList*> showing;
    for (QtRowList* list : live_lists())
        if (list->m_path == folder)
            showing.push_back(list);
    std::stable_partition(showing.begin(), showing.end(),
                          [](const QtRowList* list) { return list->shows_folders(); });
    for (QtRowList* list : showing) {
        // An earlier list's move may have taken this one elsewhere, or away.
        if (std::find(live_lists().begin(), live_lists().end(), list) == live_lists().end() ||
            list->m_path != folder)
            continue;
        if (read.error.empty()) {
            list->follow(read);
            list->take_change(read);
        } else {
            list->lose_folder(read.error);
        }
    }
}

void QtRowList::offer_files(const QByteArray& folder, FolderRead read)
{
    offered_files() = OfferedFiles{folder, std::move(read)};
    // Once the event loop turns, the folder may have changed: read it again.
    QTimer::singleShot(0, qGuiApp, [] { offered_files().reset(); });
}

std::optional<FolderRead> QtRowList::take_files(const QByteArray& folder)
{
    std::optional<OfferedFiles>& offered = offered_files();
    if (!offered || offered->folder != folder)
        return std::nullopt;
    std::optional<FolderRead> read = std::move(offered->read);
    offered.reset();
    return read;
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

int QtRowList::drawn_height_px(int height_px) const
{
    if (!m_integral_height)
        return height_px;
    int frame_px = 2 * m_view->frameWidth();
    int row_px = m_view->sizeHintForRow(0);
    if (row_px <= 0)
        row_px = m_view->fontMetrics().height();
    int rows = (height_px - frame_px) / row_px;
    if (rows < 1)
        return height_px;  // Too short for one row: drawn as asked.
    return rows * row_px + frame_px;
}

}  // namespace toolkit

#include "row_list.h"

#include "raw_paths.h"
#include "utf8.h"

#include <QCoreApplication>
#include <QListView>
#include <QTimer>

namespace toolkit {

QtRowList::QtRowList(QListView* view, std::string_view name, std::optional<std::int32_t> index,
                     std::initializer_list<Event> raised)
    : QtControl(view, name, index, raised), m_view(view)
{
}

namespace {

struct OfferedFiles {
    QByteArray folder;
    RawNames files;
};

std::optional<OfferedFiles>& offered_files()
{
    static std::optional<OfferedFiles> offered;
    return offered;
}

}  // namespace

void QtRowList::offer_files(const QByteArray& folder, RawNames files)
{
    offered_files() = OfferedFiles{folder, std::move(files)};
    // Once the event loop turns, the folder may have changed: read it again.
    QTimer::singleShot(0, QCoreApplication::instance(), [] { offered_files().reset(); });
}

std::optional<RawNames> QtRowList::take_files(const QByteArray& folder)
{
    std::optional<OfferedFiles>& offered = offered_files();
    if (!offered || offered->folder != folder)
        return std::nullopt;
    std::optional<RawNames> files = std::move(offered->files);
    offered.reset();
    return files;
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

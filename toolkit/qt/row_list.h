// What the folder and file lists share: a view of rows over a folder, which
// while IntegralHeight holds is drawn only as high as its whole rows.
//
// Paths cross this boundary as the file system's raw bytes, so a folder whose
// name is not valid UTF-8 can be shown and opened again.
#pragma once

#include "control.h"
#include "folder_reader.h"

#include <QByteArray>

#include <optional>

class QListView;

namespace toolkit {

class QtRowList : public QtControl {
public:
    QtRowList(QListView* view, std::string_view name, std::optional<std::int32_t> index,
              std::initializer_list<Event> raised);

    bool integral_height() const { return m_integral_height; }
    void set_integral_height(bool integral);
    // The folder listed, as raw bytes.
    std::string path() const;

protected:
    int drawn_height_px(int height_px) const override;
    // A path as given, made absolute from the one listed now and clean.
    QByteArray resolve(const std::string& path) const;

    // One read of a folder serves both lists: the folder list offers the
    // files it read, and the file list, pointed at the same folder before
    // the event loop turns again, takes them instead of reading once more.
    static void offer_files(const QByteArray& folder, RawNames files);
    static std::optional<RawNames> take_files(const QByteArray& folder);

    QListView* m_view;
    QByteArray m_path;

private:
    bool m_integral_height = true;
};

}  // namespace toolkit

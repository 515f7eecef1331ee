// What the folder and file lists share: a view of rows over a folder, which
// while IntegralHeight holds is drawn only as high as its whole rows, and
// which follows its folder live.
//
// Following: each read sets a kernel watch on the folder. When the folder
// reports a change, it is read again in the background, once for every list
// that shows it, and each list takes the new entries in one step, keeping
// its highlight; a change is not a folder change and raises no event. A
// folder that can no longer be read has vanished: the list says so its own
// way (the folder list moves to the nearest ancestor that still exists).
// Where the file system reports no changes, the folder is read again each
// time the application becomes active.
//
// Paths cross this boundary as the file system's raw bytes, so a folder whose
// name is not valid UTF-8 can be shown and opened again.
#pragma once

#include "control.h"
#include "folder_source.h"

#include <QByteArray>

#include <optional>

class QListView;

namespace toolkit {

class QtRowList : public QtControl {
public:
    QtRowList(QListView* view, std::string_view name, std::optional<std::int32_t> index,
              std::initializer_list<Event> raised);
    ~QtRowList() override;

    bool integral_height() const { return m_integral_height; }
    void set_integral_height(bool integral);
    // The folder listed, as raw bytes.
    std::string path() const;

protected:
    int drawn_height_px(int height_px) const override;
    // A path as given, made absolute from the one listed now and clean.
    QByteArray resolve(const std::string& path) const;

    // Reads a folder with the window live; throws `Error` when it cannot be
    // listed and `Cancelled` when the user gave up waiting.
    FolderRead read(const QByteArray& folder) const;
    // Whether `folder` is the one listed and the list is known to hold its
    // entries as they are now, so that reading it again would change nothing.
    bool is_current(const QByteArray& folder) const;
    // Takes the watch of a read of the folder now listed.
    void follow(const FolderRead& read);

    // One read of a folder serves both lists: the folder list offers the
    // files it read, and the file list, pointed at the same folder before
    // the event loop turns again, takes them instead of reading once more.
    static void offer_files(const QByteArray& folder, FolderRead read);
    static std::optional<FolderRead> take_files(const QByteArray& folder);

    // The folder listed changed; `read` holds its entries now.
    virtual void take_change(const FolderRead& read) = 0;
    // The folder listed can no longer be read, for the reason given.
    virtual void lose_folder(const std::string& error) = 0;
    // Lists that show folders hear of a change first, so that when the
    // folder has vanished, the lists that follow them have moved already.
    virtual bool shows_folders() const = 0;

    QListView* m_view;
    QByteArray m_path;

private:
    static void read_again_later(const QByteArray& folder);
    static void hand_out(const QByteArray& folder, FolderRead& read);

    bool m_integral_height = true;
    int m_watch = -1;
    bool m_reports_changes = false;
    bool m_stale = false;
};

}  // namespace toolkit

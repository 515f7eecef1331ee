// Opens a folder in one gesture: dropped on the window from a file manager,
// or pasted (Ctrl+V) as a path or a file:// address while one of the lists
// has the focus. A dropped file stands for the folder that holds it.
//
// The folder opens as if the user had gone there: the folder list's path is
// set, so its Change event runs as for any folder change, and the drive list
// shows the volume that holds it without a Change of its own. A folder that
// cannot be opened is refused with the usual message, and nothing moves.
#pragma once

#include <QByteArray>
#include <QObject>

#include <optional>
#include <vector>

class QMimeData;
class QWidget;

namespace toolkit {

class QtDriveList;
class QtFolderList;

// The local path a drag or the clipboard carries, raw bytes: the first
// file:// address on this machine, or else text that is an absolute path,
// ~ or ~/…. Nothing for anything else (plain words, web or remote addresses).
std::optional<QByteArray> carried_path(const QMimeData& data, bool text_too);

class FolderGestures final : public QObject {
public:
    // Watches every widget of the window; pastes count in the lists named.
    FolderGestures(QWidget* window, QtFolderList& folders, QtDriveList* drives,
                   std::vector<QWidget*> paste_targets);

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    void open(const QByteArray& path);

    QWidget* m_window;
    QtFolderList& m_folders;
    QtDriveList* m_drives;
    std::vector<QWidget*> m_paste_targets;
};

}  // namespace toolkit

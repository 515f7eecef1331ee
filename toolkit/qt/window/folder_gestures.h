// Opens a folder in one gesture: dropped on the window from a file manager,
// or pasted (Ctrl+V) as a path or a file:// address while one of the lists
// has the focus. A dropped file stands for the folder that holds it.
//
// The folder opens as if the user had gone there: read first, then the
// folder list's path is set, so its Change event runs as for any folder
// change, and the drive list shows the volume that holds it without a Change
// of its own. A folder that cannot be opened is refused with the usual
// message, and nothing moves. The clipboard is read without waiting on its
// owner; a text that cannot be a path is refused at once.
#pragma once

#include "toolkit/qt/core/turns.h"

#include <QByteArray>
#include <QObject>

#include <map>
#include <optional>
#include <vector>

class QMimeData;
class QWidget;

namespace toolkit {

class FolderHub;
class QtDriveList;
class QtFolderList;
struct Pasted;

// The local path a drag or the clipboard carries, raw bytes: the first
// file:// address on this machine, or else text that is an absolute path,
// ~ or ~/…. Nothing for anything else (plain words, web or remote addresses).
std::optional<QByteArray> carried_path(const QMimeData& data, bool text_too);
std::optional<QByteArray> pasted_path(const Pasted& pasted);

class FolderGestures final : public QObject {
public:
    // Watches every widget of the window; pastes count in the lists named.
    FolderGestures(QWidget* window, FolderHub& hub, QtFolderList& folders, QtDriveList* drives,
                   std::vector<QWidget*> paste_targets);

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    void paste();
    // Reads what `path` names (the folder, or the one that holds a file),
    // then commits it, unless the errand was given up meanwhile.
    void open(const QByteArray& path, Errand errand);
    void open_folder(const QByteArray& folder, Errand errand);

    QWidget* m_window;
    FolderHub& m_hub;
    QtFolderList& m_folders;
    QtDriveList* m_drives;
    std::vector<QWidget*> m_paste_targets;
    // The paths whose question (file or folder?) is out, with the errands
    // waiting for its answer.
    std::map<QByteArray, std::vector<Errand>> m_questions_out;
};

}  // namespace toolkit

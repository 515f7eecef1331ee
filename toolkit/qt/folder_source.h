// Folders read off the window's thread and followed from then on.
//
// Each read also asks the kernel to report changes to the folder (inotify):
// the watch is set before the entries are read, so no change slips between
// the two. Some file systems never report changes (FUSE, network shares);
// a read says so, and the lists read such folders again when the window is
// activated.
//
//   FolderRead read = read_folder_waiting("/tmp");  // The window stays live.
//   FolderWatch::instance().on_change = [](int watch) { ... };
#pragma once

#include "folder_reader.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace toolkit {

struct FolderRead {
    FolderListing listing;
    int watch = -1;  // -1 where the folder could not be watched.
    bool reports_changes = false;
    // Why the folder could not be listed; empty when it was.
    std::string error;
};

// Throws `Cancelled` when the user pressed Esc before the read was done.
FolderRead read_folder_waiting(const QByteArray& folder);

// Reads in the background, then calls `done` on the window's thread once no
// wait runs.
using ReadDone = std::function<void(FolderRead& read)>;
void read_folder_later(const QByteArray& folder, ReadDone done);

// The kernel's reports of changes to watched folders.
class FolderWatch {
public:
    static FolderWatch& instance();

    int descriptor() const { return m_fd; }
    // Called on the window's thread for each watch that reported a change.
    std::function<void(int watch)> on_change;
    void release(int watch);

private:
    FolderWatch();
    void read_reports();

    int m_fd;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace toolkit

// Folders read off the window's thread and followed from then on.
//
// Each read also asks the kernel to report changes to the folder (inotify):
// the watch is set before the entries are read, so no change slips between
// the two. Some file systems never report changes (FUSE, network shares);
// a read says so, and the lists read such folders again when the window is
// activated.
//
//   FolderRead read = read_folder_waiting("/tmp", watch.descriptor());  // The window stays live.
#pragma once

#include "toolkit/qt/folders/folder_reader.h"
#include "toolkit/qt/folders/folder_watch.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <string>

namespace toolkit {

struct FolderRead {
    FolderListing listing;
    int watch = -1;  // -1 where the folder could not be watched.
    bool reports_changes = false;
    // Why the folder could not be listed; empty when it was.
    std::string error;
};

// Whether a file system, by the type statfs gives, tells inotify of changes
// made to it: network shares and FUSE do not, for changes made elsewhere.
bool file_system_reports_changes(unsigned long type);

// Each read below adds its folder's watch to `watches` (none where it is
// null). This one throws `Cancelled` when the user pressed Esc before the
// read was done.
FolderRead read_folder_waiting(const QByteArray& folder,
                               std::shared_ptr<const WatchDescriptor> watches);

// Reads in the background, then calls `done` on the window's thread once no
// wait runs.
using ReadDone = std::function<void(FolderRead& read)>;
void read_folder_later(const QByteArray& folder, std::shared_ptr<const WatchDescriptor> watches,
                       ReadDone done);

}  // namespace toolkit

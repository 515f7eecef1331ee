// Folders read off the window's thread and followed from then on.
//
// Each read also asks the kernel to report changes to the folder (inotify):
// the watch is set before the entries are read, so no change slips between
// the two. Some file systems never report changes made elsewhere (FUSE,
// network shares); a read says so, from the mount table alone, so that a
// volume that never answers a question about itself cannot hold it up.
//
//   start_folder_read("/tmp", watches, list, [](FolderRead read) { ... });
#pragma once

#include "toolkit/qt/folders/folder_reader.h"
#include "toolkit/qt/folders/folder_watch.h"
#include "toolkit/qt/folders/name_order.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

class QObject;

namespace toolkit {

struct FolderRead {
    // In their order already; empty where the folder could not be listed.
    std::shared_ptr<const OrderedNames> files = std::make_shared<OrderedNames>();
    std::shared_ptr<const OrderedNames> folders = std::make_shared<OrderedNames>();
    int watch = -1;  // -1 where the folder could not be watched.
    bool reports_changes = false;
    // Why the folder could not be listed; empty when it was.
    std::string error;
};

// Whether a file system, by the type the mount table gives, tells inotify
// of changes made to it: network shares and FUSE do not, for changes made
// elsewhere.
bool file_system_reports_changes(std::string_view type);

// Reads a folder on a thread of its own, adding its watch to `watches`
// (none where it is null), then calls `done` on the window's thread unless
// `context` is gone by then.
using ReadDone = std::function<void(FolderRead read)>;
void start_folder_read(const QByteArray& folder, std::shared_ptr<const WatchDescriptor> watches,
                       QObject* context, ReadDone done);

// Brings `base`, a read of `folder`, up to date with the entries the
// kernel reported changed: each is asked about on a thread of its own and
// taken out of the lists or put in where it belongs, so that a change costs
// the change. Where the folder itself cannot be opened, it is read whole.
void start_folder_update(const QByteArray& folder, const FolderRead& base,
                         std::set<std::string, std::less<>> names,
                         std::shared_ptr<const WatchDescriptor> watches, QObject* context,
                         ReadDone done);

}  // namespace toolkit

// Where a window's lists meet over the folders they show. The window owns
// one hub and hands it to each list it makes; the lists join it and leave it
// as they come and go. Following a folder from the folder list's change to
// the file list's read goes through the calls below:
//
//   hub.offer_files(folder, read);       // The folder list read the folder...
//   auto read = hub.take_files(folder);  // ...and the file list takes the files.
//
// The hub also owns the kernel's change reports for these folders. A change
// reported in a followed folder, or the window becoming active while a
// folder on a file system without reports is shown, reads that folder again
// in the background, once for every list that shows it; each list takes the
// new entries in one step, the lists that show folders first.
#pragma once

#include "toolkit/qt/folders/folder_follower.h"
#include "toolkit/qt/folders/folder_watch.h"

#include <QObject>

#include <optional>
#include <set>
#include <vector>

namespace toolkit {

class FolderHub {
public:
    FolderHub();
    ~FolderHub();
    FolderHub(const FolderHub&) = delete;
    FolderHub& operator=(const FolderHub&) = delete;

    void join(FolderFollower& follower);
    void leave(FolderFollower& follower);

    // Where reads add the watch of their folder.
    std::shared_ptr<const WatchDescriptor> watches() const { return m_watch.descriptor(); }
    // Gives a watch back to the kernel, unless a follower still holds it.
    void release_unless_held(int watch);

    // One read of a folder serves both lists: the files a read found wait
    // here until the event loop turns, for a list pointed at the same
    // folder meanwhile to take instead of reading again.
    void offer_files(const QByteArray& folder, FolderRead read);
    std::optional<FolderRead> take_files(const QByteArray& folder);

private:
    void watch_changed(int watch);
    void window_activated();
    // A burst of changes (a copy of many files) becomes one read.
    void read_again_later(const QByteArray& folder);
    void hand_out(const QByteArray& folder, FolderRead& read);
    bool holds(int watch) const;
    bool has_joined(const FolderFollower* follower) const;

    std::vector<FolderFollower*> m_followers;
    struct OfferedFiles {
        QByteArray folder;
        FolderRead read;
    };
    std::optional<OfferedFiles> m_offered;
    std::set<QByteArray> m_to_read;
    FolderWatch m_watch;
    // The timers, connections and late results of this hub go with it.
    QObject m_context;
};

}  // namespace toolkit

// Where a window's lists meet over the folders they show. The window owns
// one hub and hands it to each list it makes; the lists join it and leave it
// as they come and go.
//
// Every read of a folder goes through the hub, and one read of a folder is
// out at a time: asking while one is out joins it, so that a slow folder
// asked for again and again costs one read. A gesture's read is offered
// once it is committed, for the lists pointed at that folder to take:
//
//   hub.read(folder, [&](FolderRead read) { hub.offer(folder, std::move(read)); ... });
//   auto read = hub.take(folder);  // The folder list, then the file list.
//
// The hub also follows the folders shown. A change the kernel reports costs
// the entries it names: they are asked about in the background and put in
// or taken out of the last read. The window becoming active, a mount or
// unmount anywhere, a report that names nothing, or every few seconds a
// folder on a file system without reports: each reads that folder again,
// whole, in the background. Each list showing it takes the new entries in
// one step, the lists that show folders first.
#pragma once

#include "toolkit/qt/folders/folder_follower.h"
#include "toolkit/qt/folders/folder_watch.h"

#include <QObject>
#include <QTimer>

#include <map>
#include <optional>
#include <set>
#include <vector>

class QSocketNotifier;

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

    // Reads a folder off the window's thread; `done` runs on the window's
    // thread with what was found.
    void read(const QByteArray& folder, ReadDone done);

    // A read kept until the event loop turns, for a list pointed at the same
    // folder meanwhile to take instead of reading again.
    void offer(const QByteArray& folder, FolderRead read);
    std::optional<FolderRead> take(const QByteArray& folder);

    // A list was pointed at a folder with nothing read yet: once the folder
    // is read, each list showing it takes its entries.
    void fill(const QByteArray& folder);

private:
    void watch_changed(int watch, FolderChange change);
    void read_shown_again(bool all);
    // A burst of changes (a copy of many files) becomes one read or update.
    void read_again_later(const QByteArray& folder,
                          FolderChange change = FolderChange::everything());
    // Brings the entries of a followed folder up to date, each list showing
    // it taking them.
    void refresh(const QByteArray& folder, FolderChange change);
    void read_done(const QByteArray& folder, FolderRead read);
    void hand_out(const QByteArray& folder, const FolderRead& read);
    bool holds(int watch) const;
    bool has_joined(const FolderFollower* follower) const;

    std::vector<FolderFollower*> m_followers;
    struct OfferedRead {
        QByteArray folder;
        FolderRead read;
    };
    std::optional<OfferedRead> m_offered;
    // The reads out, with who waits for each, and the folders that changed
    // while theirs was out, to be read once more when it is back.
    std::map<QByteArray, std::vector<ReadDone>> m_out;
    std::map<QByteArray, FolderChange> m_changed_while_out;
    std::map<QByteArray, FolderChange> m_to_read;
    // The last read of each folder followed, which reported changes update.
    std::map<QByteArray, FolderRead> m_known;
    FolderWatch m_watch;
    std::unique_ptr<QSocketNotifier> m_mounts;
    // The timers, connections and late results of this hub go with it.
    QObject m_context;
    QTimer m_poll;
};

}  // namespace toolkit

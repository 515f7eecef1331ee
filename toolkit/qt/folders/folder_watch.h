// The kernel's reports of changes to the folders a window shows (inotify).
//
// Each read adds a watch for its folder on this descriptor before it reads
// the entries, so no change slips between the two; the same folder always
// gives the same watch. Reports arrive on the window's thread.
//
//   FolderWatch watch([](int changed) { ... });
//   int wd = inotify_add_watch(watch.descriptor()->fd, "/tmp", ...);  // On a reading thread.
//   watch.release(wd);
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>

class QSocketNotifier;

namespace toolkit {

// The inotify descriptor, closed once neither the watch nor a reading thread
// that adds to it holds it any more; a descriptor closed under a reader could
// be reused for another file by the time the reader adds its watch.
struct WatchDescriptor {
    int fd;
    explicit WatchDescriptor(int descriptor) : fd(descriptor) { }
    ~WatchDescriptor();
    WatchDescriptor(const WatchDescriptor&) = delete;
    WatchDescriptor& operator=(const WatchDescriptor&) = delete;
};

// What a batch of reports says changed in one folder: the entries named,
// or, where a report names none (the folder itself went, or the kernel's
// queue overflowed), everything.
struct FolderChange {
    std::set<std::string, std::less<>> names;
    bool whole = false;

    static FolderChange everything() { return {.names = {}, .whole = true}; }
};

class FolderWatch {
public:
    // `on_change` runs on the window's thread, once a batch for each watch
    // that reported a change; the watch is -1 where the kernel lost reports
    // and any folder may have changed.
    using OnChange = std::function<void(int watch, FolderChange change)>;
    explicit FolderWatch(OnChange on_change);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Null where the kernel gave no descriptor: folders are then not followed.
    std::shared_ptr<const WatchDescriptor> descriptor() const { return m_descriptor; }
    void release(int watch);

private:
    void read_reports();

    std::shared_ptr<const WatchDescriptor> m_descriptor;
    OnChange m_on_change;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace toolkit

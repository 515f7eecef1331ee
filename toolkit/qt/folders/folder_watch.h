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

class FolderWatch {
public:
    // `on_change` runs on the window's thread, once a batch for each watch
    // that reported a change.
    explicit FolderWatch(std::function<void(int watch)> on_change);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Null where the kernel gave no descriptor: folders are then not followed.
    std::shared_ptr<const WatchDescriptor> descriptor() const { return m_descriptor; }
    void release(int watch);

private:
    void read_reports();

    std::shared_ptr<const WatchDescriptor> m_descriptor;
    std::function<void(int watch)> m_on_change;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace toolkit

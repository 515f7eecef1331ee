#include "toolkit/qt/folders/folder_watch.h"

#include <QSocketNotifier>

#include <algorithm>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace toolkit {

WatchDescriptor::~WatchDescriptor() { close(fd); }

FolderWatch::FolderWatch(OnChange on_change) : m_on_change(std::move(on_change))
{
    int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return;
    m_descriptor = std::make_shared<const WatchDescriptor>(fd);
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { read_reports(); });
}

FolderWatch::~FolderWatch() = default;

void FolderWatch::release(int watch)
{
    if (watch >= 0 && m_descriptor)
        inotify_rm_watch(m_descriptor->fd, watch);
}

void FolderWatch::read_reports()
{
    alignas(inotify_event) char buffer[64 * 1024];
    std::vector<std::pair<int, FolderChange>> changed;
    for (;;) {
        ssize_t length = read(m_descriptor->fd, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t offset = 0; offset < length;) {
            const auto* report = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + report->len);
            // A watch given back: by the hub, or after the folder went, which
            // was reported before.
            if (report->mask & IN_IGNORED)
                continue;
            int watch = report->mask & IN_Q_OVERFLOW ? -1 : report->wd;
            auto found = std::find_if(changed.begin(), changed.end(),
                                      [&](const auto& each) { return each.first == watch; });
            if (found == changed.end()) {
                changed.emplace_back(watch, FolderChange{});
                found = changed.end() - 1;
            }
            // The name is padded with zero bytes to its length.
            if (report->len > 0 && !(report->mask & IN_Q_OVERFLOW))
                found->second.names.emplace(report->name);
            else
                found->second.whole = true;
        }
    }
    for (auto& [watch, change] : changed)
        m_on_change(watch, std::move(change));
}

}  // namespace toolkit

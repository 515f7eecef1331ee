#include "toolkit/qt/folders/folder_source.h"

#include "toolkit/qt/core/replaceable.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/off_thread.h"

#include "toolkit/object.h"
#include "toolkit/testing.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <linux/magic.h>
#include <mutex>
#include <optional>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <thread>
#include <unistd.h>

namespace toolkit {

namespace {

void no_hook(const std::string&) { }

Replaceable<FolderReadHook> read_hook{no_hook};

constexpr std::uint32_t watched_changes = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
    IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_ONLYDIR;

bool reports_changes(const QByteArray& folder)
{
    struct statfs status { };
    return statfs(folder.constData(), &status) == 0 &&
        file_system_reports_changes(static_cast<unsigned long>(status.f_type));
}

// What the reading thread fills in; it lives as long as either side needs it.
struct ReadJob {
    QByteArray folder;
    FolderRead read;
};

void run(ReadJob& job, const FolderReadHook& hook, const WatchDescriptor* watches)
{
    hook(string_of(job.folder));
    job.read.watch =
        watches ? inotify_add_watch(watches->fd, job.folder.constData(), watched_changes) : -1;
    try {
        job.read.listing = read_folder(job.folder);
        job.read.reports_changes = job.read.watch >= 0 && reports_changes(job.folder);
    } catch (const Error& error) {
        job.read.error = error.what();
    }
}

}  // namespace

bool file_system_reports_changes(unsigned long type)
{
    switch (type) {
    case 0x65735546:  // FUSE
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case V9FS_MAGIC:
    case CODA_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case 0x00C36400:  // Ceph
        return false;
    default: return true;
    }
}

FolderReadHook replace_folder_read_hook(FolderReadHook hook)
{
    return read_hook.replace(std::move(hook));
}

FolderRead read_folder_waiting(const QByteArray& folder,
                               std::shared_ptr<const WatchDescriptor> watches)
{
    auto job = std::make_shared<ReadJob>();
    job->folder = folder;
    // The hook is taken now: a test may put the old one back while a read
    // it abandoned is still running.
    FolderReadHook hook = read_hook();
    Waited waited =
        wait_off_thread([job, hook, watches] { run(*job, hook, watches.get()); }, Abandon::ByEsc);
    if (waited != Waited::Done)
        throw Cancelled("Reading \"" + utf8_of(display_path(folder)) + "\" was abandoned.");
    return std::move(job->read);
}

void read_folder_later(const QByteArray& folder, std::shared_ptr<const WatchDescriptor> watches,
                       ReadDone done)
{
    auto job = std::make_shared<ReadJob>();
    job->folder = folder;
    FolderReadHook hook = read_hook();
    QPointer<QCoreApplication> app = QCoreApplication::instance();
    std::thread([job, hook, watches, app, done = std::move(done)] {
        run(*job, hook, watches.get());
        // The application outlives every window; once it is gone, so is the
        // wish for the result.
        QMetaObject::invokeMethod(
            app, [job, done] { when_not_waiting([job, done] { done(job->read); }); },
            Qt::QueuedConnection);
    }).detach();
}

}  // namespace toolkit

#include "toolkit/qt/folders/folder_source.h"

#include "toolkit/qt/core/replaceable.h"
#include "toolkit/qt/core/turns.h"
#include "toolkit/qt/core/utf8.h"
#include "toolkit/qt/folders/off_thread.h"

#include "toolkit/object.h"
#include "toolkit/testing.h"

#include <QCoreApplication>
#include <QPointer>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace toolkit {

namespace {

void no_hook(const std::string&) { }

Replaceable<FolderReadHook> read_hook{no_hook};

constexpr std::uint32_t watched_changes = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
    IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_ONLYDIR;

// The type of the file system a device holds, from the mount table: asking
// the file system itself (statfs) may never return on a hung one.
std::string type_of_device(dev_t device)
{
    std::string wanted = std::to_string(major(device)) + ':' + std::to_string(minor(device));
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        // id parent major:minor fs-root mount-point options [optional...] - type source ...
        std::istringstream fields(line);
        std::string id, parent, numbers, field, type;
        fields >> id >> parent >> numbers;
        if (numbers != wanted)
            continue;
        while (fields >> field && field != "-") { }
        fields >> type;
        return type;
    }
    return {};
}

void run(const QByteArray& folder, FolderRead& read, const WatchDescriptor* watches)
{
    read.watch = watches ? inotify_add_watch(watches->fd, folder.constData(), watched_changes) : -1;
    try {
        // Sorted here, so that a million names cost the window nothing.
        FolderListing listing = read_folder(folder);
        read.files = put_in_order(std::move(listing.files));
        read.folders = put_in_order(std::move(listing.folders));
        struct stat status { };
        read.reports_changes = read.watch >= 0 && ::stat(folder.constData(), &status) == 0 &&
            file_system_reports_changes(type_of_device(status.st_dev));
    } catch (const Error& error) {
        read.error = error.what();
    }
}

// The entries named, as they are now: each a file, a folder or neither.
void update(const QByteArray& folder, FolderRead& read,
            const std::set<std::string, std::less<>>& names, const WatchDescriptor* watches)
{
    int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        run(folder, read, watches);  // Which says why.
        return;
    }
    RawNames files, folders;
    for (const std::string& name : names) {
        if (name.empty() || name[0] == '.')
            continue;  // Hidden entries are never shown.
        struct stat status { };
        if (fstatat(dir, name.c_str(), &status, 0) != 0)
            continue;  // Gone, or a dangling link.
        if (S_ISREG(status.st_mode))
            files.push_back(name);
        else if (S_ISDIR(status.st_mode))
            folders.push_back(name);
    }
    ::close(dir);
    read.files = change_names(*read.files, names, files);
    read.folders = change_names(*read.folders, names, folders);
}

}  // namespace

bool file_system_reports_changes(std::string_view type)
{
    if (type.empty() || type.starts_with("fuse"))
        return false;
    for (std::string_view remote : {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "ceph", "afs",
                                    "coda", "glusterfs", "lustre"})
        if (type == remote)
            return false;
    return true;
}

FolderReadHook replace_folder_read_hook(FolderReadHook hook)
{
    return read_hook.replace(std::move(hook));
}

namespace {

// Counted on the window's thread only.
int reads_out = 0;

}  // namespace

bool folders_settled() { return reads_out == 0 && Turns::instance().idle(); }

namespace {

// Runs `work` on `read` off the window's thread, counted while it is out.
void start(const QByteArray& folder, std::shared_ptr<FolderRead> read,
           std::function<void(FolderRead&)> work, QObject* context, ReadDone done)
{
    // The hook is taken now: a test may put the old one back while a read
    // it abandoned is still running.
    FolderReadHook hook = read_hook();
    ++reads_out;
    run_off_thread(
        [read, folder, hook, work = std::move(work)] {
            hook(string_of(folder));
            work(*read);
        },
        // Counted even when the context is gone.
        QCoreApplication::instance(),
        [read, alive = QPointer<QObject>(context), done = std::move(done)] {
            --reads_out;
            if (alive)
                done(std::move(*read));
        });
}

}  // namespace

void start_folder_read(const QByteArray& folder, std::shared_ptr<const WatchDescriptor> watches,
                       QObject* context, ReadDone done)
{
    start(
        folder, std::make_shared<FolderRead>(),
        [folder, watches](FolderRead& read) { run(folder, read, watches.get()); }, context,
        std::move(done));
}

void start_folder_update(const QByteArray& folder, const FolderRead& base,
                         std::set<std::string, std::less<>> names,
                         std::shared_ptr<const WatchDescriptor> watches, QObject* context,
                         ReadDone done)
{
    start(
        folder, std::make_shared<FolderRead>(base),
        [folder, names = std::move(names), watches](FolderRead& read) {
            update(folder, read, names, watches.get());
        },
        context, std::move(done));
}

}  // namespace toolkit

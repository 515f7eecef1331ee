#include "replaceable.h"
#include "utf8.h"

#include "toolkit/services.h"
#include "toolkit/testing.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <set>

namespace toolkit {

namespace {

// File systems that hold no user's files: kernel interfaces and the like.
bool is_pseudo(const QByteArray& type)
{
    static const std::set<QByteArray> pseudo = {
        "autofs", "binfmt_misc", "bpf", "cgroup", "cgroup2", "configfs", "debugfs", "devpts",
        "devtmpfs", "efivarfs", "fusectl", "hugetlbfs", "mqueue", "nsfs", "proc", "pstore",
        "rpc_pipefs", "securityfs", "selinuxfs", "sysfs", "tracefs",
    };
    return pseudo.contains(type);
}

// Where the system keeps its own mounts; removable media under /run/media
// are the user's.
bool is_system_place(const QString& root)
{
    if (root.startsWith(QStringLiteral("/run/media/")))
        return false;
    for (const char* place : {"/proc", "/sys", "/dev", "/run", "/boot/efi"}) {
        QString prefix = QString::fromLatin1(place);
        if (root == prefix || root.startsWith(prefix + u'/'))
            return true;
    }
    return false;
}

// Each device once: one mounted in several places (bind mounts) counts at
// its shortest path. A file bind-mounted over another is no drive.
std::vector<Volume> read_mounted_volumes()
{
    QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    std::stable_sort(mounted.begin(), mounted.end(),
                     [](const QStorageInfo& a, const QStorageInfo& b) {
                         return a.rootPath().size() < b.rootPath().size();
                     });
    std::vector<Volume> volumes;
    std::set<QByteArray> devices;
    for (const QStorageInfo& info : mounted) {
        QString root = info.rootPath();
        if (is_pseudo(info.fileSystemType()) || is_system_place(root) || !QFileInfo(root).isDir())
            continue;
        if (!devices.insert(info.device()).second)
            continue;
        QString label = info.name().isEmpty() ? root : root + QStringLiteral(" [") + info.name() + u']';
        volumes.push_back({string_of(QFile::encodeName(root)), utf8_of(label)});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return volumes;
}

Replaceable<VolumeSource> volume_source{read_mounted_volumes};

}  // namespace

std::vector<Volume> mounted_volumes() { return volume_source()(); }

VolumeSource replace_volume_source(VolumeSource source)
{
    return volume_source.replace(std::move(source));
}

}  // namespace toolkit

#include "toolkit/qt/core/replaceable.h"
#include "toolkit/qt/core/utf8.h"

#include "toolkit/services.h"
#include "toolkit/testing.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace toolkit {

namespace {

// File systems that hold no user's files: kernel interfaces and the like.
bool is_pseudo(std::string_view type)
{
    static const std::set<std::string_view> pseudo = {
        "autofs", "binfmt_misc", "bpf",        "cgroup",     "cgroup2",   "configfs", "debugfs",
        "devpts", "devtmpfs",    "efivarfs",   "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
        "proc",   "pstore",      "rpc_pipefs", "securityfs", "selinuxfs", "sysfs",    "tracefs",
    };
    return pseudo.contains(type);
}

// Where the system keeps its own mounts; removable media under /run/media
// are the user's.
bool is_system_place(std::string_view root)
{
    if (root.starts_with("/run/media/"))
        return false;
    for (std::string_view place : {"/proc", "/sys", "/dev", "/run", "/boot/efi"}) {
        if (root == place || (root.starts_with(place) && root[place.size()] == '/'))
            return true;
    }
    return false;
}

bool lies_in(std::string_view path, std::string_view place)
{
    return path == place ||
        (path.starts_with(place) && path.size() > place.size() &&
         (place.ends_with('/') || path[place.size()] == '/'));
}

// Where a user's own volumes are mounted, as file managers show them: the
// root, removable media, /mnt, and anywhere in the user's home. Elsewhere
// (/boot, /var, /usr, /snap, containers' and images' places) only network
// shares count.
bool is_users_place(std::string_view root)
{
    if (root == "/")
        return true;
    for (std::string_view place : {"/media", "/run/media", "/mnt"})
        if (lies_in(root, place))
            return true;
    QByteArray home = QFile::encodeName(QDir::homePath());
    return home.size() > 1 && lies_in(root, std::string_view(home.constData(), home.size()));
}

bool is_network(std::string_view type)
{
    static const std::set<std::string_view> network = {
        "nfs",  "nfs4",      "cifs",  "smb3",       "smbfs",       "ncpfs",       "afs",
        "ceph", "glusterfs", "davfs", "fuse.sshfs", "fuse.rclone", "fuse.davfs2", "fuse.glusterfs",
    };
    return network.contains(type);
}

// The kernel writes a space, tab, newline or backslash in a mount point as
// three octal digits after a backslash.
std::string unescape(std::string_view field)
{
    std::string text;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] == '\\' && at + 3 < field.size()) {
            int code = 0;
            bool octal = true;
            for (std::size_t digit = 1; digit <= 3; ++digit) {
                char c = field[at + digit];
                octal = octal && c >= '0' && c <= '7';
                code = code * 8 + (c - '0');
            }
            if (octal) {
                text += static_cast<char>(code);
                at += 3;
                continue;
            }
        }
        text += field[at];
    }
    return text;
}

// The mount table as the kernel keeps it: read from /proc, so no volume is
// asked anything and a hung one cannot hold the list up. Each device once:
// one mounted in several places counts where it is mounted whole, at its
// shortest path; a bind mount of a folder on it is not another drive.
// Overlays are containers' and live systems' layers, never a drive. A mount
// that a later one covers (mounted on its folder or on one above it) cannot
// be reached, so it is no drive either.
std::vector<Volume> read_mount_table()
{
    struct Mount {
        std::string root;
        std::string device;
        bool whole;
        std::size_t line;
    };
    std::vector<Mount> mounts;
    // Every mount point, in the order they were mounted, listed or not.
    std::vector<std::string> points;
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        // id parent major:minor fs-root mount-point options [optional...] - type source ...
        std::istringstream fields(line);
        std::string id, parent, device, fs_root, mount_point, options, field, type;
        fields >> id >> parent >> device >> fs_root >> mount_point >> options;
        while (fields >> field && field != "-") { }
        fields >> type;
        std::string root = unescape(mount_point);
        points.push_back(root);
        if (root.empty() || is_pseudo(type) || type == "overlay" || is_system_place(root) ||
            !(is_users_place(root) || is_network(type)))
            continue;
        mounts.push_back({root, device, fs_root == "/", points.size() - 1});
    }
    std::erase_if(mounts, [&](const Mount& mount) {
        return std::any_of(points.begin() + static_cast<std::ptrdiff_t>(mount.line) + 1,
                           points.end(),
                           [&](const std::string& later) { return lies_in(mount.root, later); });
    });
    std::stable_sort(mounts.begin(), mounts.end(), [](const Mount& a, const Mount& b) {
        return a.whole != b.whole ? a.whole : a.root.size() < b.root.size();
    });
    std::vector<Volume> volumes;
    std::set<std::string> devices;
    for (const Mount& mount : mounts)
        if (devices.insert(mount.device).second)
            volumes.push_back({mount.root, utf8_of(display_path(bytes_of(mount.root)))});
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return volumes;
}

// Asks the volume itself, which may take as long as the volume takes.
std::optional<std::string> ask_volume(const Volume& volume)
{
    struct stat status { };
    if (stat(volume.root.c_str(), &status) == 0 && !S_ISDIR(status.st_mode))
        return std::nullopt;  // A file bind-mounted over another is no drive.
    QString root = QFile::decodeName(bytes_of(volume.root));
    QStorageInfo info(root);
    if (info.rootPath() != root || info.name().isEmpty())
        return volume.label;
    return volume.label + " [" + utf8_of(info.name()) + "]";
}

Replaceable<VolumeSource> volume_source{read_mount_table};
Replaceable<VolumeQuestion> volume_question{ask_volume};

}  // namespace

std::vector<Volume> mounted_volumes() { return volume_source()(); }

VolumeQuestion volume_label_question() { return volume_question(); }

VolumeSource replace_volume_source(VolumeSource source)
{
    return volume_source.replace(std::move(source));
}

VolumeQuestion replace_volume_question(VolumeQuestion question)
{
    return volume_question.replace(std::move(question));
}

}  // namespace toolkit

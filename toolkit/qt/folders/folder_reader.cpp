#include "toolkit/qt/folders/folder_reader.h"

#include "toolkit/qt/core/utf8.h"

#include "toolkit/object.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <optional>
#include <sys/stat.h>

namespace toolkit {

namespace {

[[noreturn]] void fail_folder(const QByteArray& folder, int error_number)
{
    throw Error("Cannot open the folder \"" + utf8_of(display_path(folder)) +
                "\": " + std::strerror(error_number) + ".");
}

// Owns an open directory stream.
class DirectoryStream {
public:
    explicit DirectoryStream(const QByteArray& folder) : m_dir(opendir(folder.constData()))
    {
        if (!m_dir)
            fail_folder(folder, errno);
    }
    ~DirectoryStream() { closedir(m_dir); }
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;

    DIR* get() const { return m_dir; }

private:
    DIR* m_dir;
};

enum class EntryKind { File, Folder };

std::optional<EntryKind> kind_of(int dir_fd, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return std::nullopt;  // Devices, pipes and sockets are not files.
    }
    struct stat status { };
    if (fstatat(dir_fd, entry.d_name, &status, 0) != 0)
        return std::nullopt;  // A dangling link points at nothing.
    if (S_ISREG(status.st_mode))
        return EntryKind::File;
    if (S_ISDIR(status.st_mode))
        return EntryKind::Folder;
    return std::nullopt;
}

}  // namespace

FolderListing read_folder(const QByteArray& folder)
{
    DirectoryStream stream(folder);
    int dir_fd = dirfd(stream.get());
    FolderListing listing;
    // Room for what the folder's size says it can hold, so a million names
    // are not copied again and again as the block grows. Untouched room
    // costs address space only, and the block is let go once the names are
    // put in order.
    struct stat status { };
    if (fstat(dir_fd, &status) == 0 && status.st_size > 0) {
        auto bytes = static_cast<std::size_t>(std::min<off_t>(status.st_size, off_t{1} << 28));
        try {
            listing.files.reserve(bytes / 16, bytes);
        } catch (const std::bad_alloc&) {
            // Only a hint: the block grows as it must.
        }
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(stream.get());
        if (!entry) {
            if (errno != 0)
                fail_folder(folder, errno);
            break;
        }
        if (entry->d_name[0] == '.')
            continue;  // Hidden, or the folder itself or its parent.
        std::optional<EntryKind> kind = kind_of(dir_fd, *entry);
        if (kind == EntryKind::File)
            listing.files.push_back(entry->d_name);
        else if (kind == EntryKind::Folder)
            listing.folders.push_back(entry->d_name);
    }
    return listing;
}

}  // namespace toolkit

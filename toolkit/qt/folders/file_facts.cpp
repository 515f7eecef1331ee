#include "toolkit/names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace toolkit {

std::vector<FileFacts> file_facts(const ListedNames& names, std::stop_token stop)
{
    std::vector<FileFacts> facts(names.size());
    std::string folder(names.folder());
    int at = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (at < 0)
        return facts;  // Each unknown: the folder went, or may no longer be read.
    std::string name;
    for (std::size_t place = 0; place < names.size(); ++place) {
        if (place % 1024 == 0 && stop.stop_requested())
            break;
        name.assign(names.raw(place));
        struct stat found { };
        // A link that leads nowhere is told as itself.
        if (::fstatat(at, name.c_str(), &found, 0) != 0 &&
            ::fstatat(at, name.c_str(), &found, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        facts[place] = {true, static_cast<std::uint64_t>(found.st_size),
                        static_cast<std::int64_t>(found.st_mtim.tv_sec)};
    }
    ::close(at);
    return facts;
}

}  // namespace toolkit

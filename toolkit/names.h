// A file list's names as the list held them when asked: raw bytes in the
// list's order, with the folder they are in, shared and never changed, so
// any thread may read them while the list moves on.
//
//   std::shared_ptr<const toolkit::ListedNames> names = toolkit::listed_names(filNames);
//   std::string scratch;
//   std::string_view first = names->name(0, scratch);  // As FileName gives it.
//   std::vector<toolkit::FileFacts> facts = toolkit::file_facts(*names);  // Off the window's
//   thread.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

class Object;

class ListedNames {
public:
    virtual ~ListedNames() = default;

    virtual std::size_t size() const = 0;
    // The folder they are in, as raw bytes.
    virtual std::string_view folder() const = 0;
    // A name's bytes on disk, to ask the file system about it.
    virtual std::string_view raw(std::size_t place) const = 0;
    // A name as the file list's FileName gives it: UTF-8, U+FFFD for each
    // byte that is not. Nearly always the raw bytes themselves; otherwise
    // written into `scratch`, which the view then points into.
    virtual std::string_view name(std::size_t place, std::string& scratch) const = 0;

    // For whoever goes through them all: whether every name is valid UTF-8
    // (so that each name is its raw bytes), and every name's raw bytes one
    // after another, with where each ends.
    virtual bool all_utf8() const = 0;
    virtual std::string_view all_raw() const = 0;
    virtual std::span<const std::uint32_t> raw_ends() const = 0;
};

// The names a file list shows now; throws `Error` for any other control.
std::shared_ptr<const ListedNames> listed_names(Object& file_list);

// Raw bytes as the user reads them: U+FFFD for each byte that is not UTF-8.
std::string display_text(std::string_view raw);

// What the file system says of a file (of its target, for a link that has one).
struct FileFacts {
    bool known = false;  // False when it could not be asked: gone, or not allowed.
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // Seconds since 1970-01-01 UTC.
};

// One for each name, in their order. It waits on the disk: never call it on
// the window's thread. Once `stop` is asked for it ends within a few
// thousand names, the rest left unknown.
std::vector<FileFacts> file_facts(const ListedNames& names, std::stop_token stop = {});

}  // namespace toolkit

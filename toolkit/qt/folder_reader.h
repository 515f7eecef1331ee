// Reading a folder's entries in one readdir pass, for both lists at once.
//
// The entry's type comes from the directory itself where the file system
// gives it, and a stat is made only for links and unknown types. Names keep
// their raw bytes, all of one kind in one block: a million names cost two
// allocations, not two million.
//
//   FolderListing listing = read_folder("/tmp");
//   std::string_view first = listing.files[0];  // Raw bytes, not always UTF-8.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

// Names as raw bytes, end to end in one block.
class RawNames {
public:
    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](std::size_t position) const
    {
        std::size_t begin = position == 0 ? 0 : m_ends[position - 1];
        return std::string_view(m_bytes).substr(begin, m_ends[position] - begin);
    }
    void push_back(std::string_view name)
    {
        m_bytes += name;
        m_ends.push_back(m_bytes.size());
    }

private:
    std::string m_bytes;
    std::vector<std::size_t> m_ends;
};

// A folder's visible files and subfolders: hidden names (a leading dot) are
// left out, links count as what they point to, dangling links as nothing,
// and devices, pipes and sockets as neither.
struct FolderListing {
    RawNames files;
    RawNames folders;
};

// Throws `Error` when the folder cannot be listed.
FolderListing read_folder(const QByteArray& folder);

}  // namespace toolkit

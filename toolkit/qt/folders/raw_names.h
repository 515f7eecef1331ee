// Names as raw bytes, end to end in one block: a million names cost two
// allocations, not two million, and keep their bytes exactly as the file
// system gave them (not always UTF-8).
//
//   RawNames names;
//   names.push_back("a.txt");
//   std::string_view first = names[0];
#pragma once

#include "toolkit/object.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

class RawNames {
public:
    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](std::size_t position) const
    {
        std::uint32_t begin = position == 0 ? 0 : m_ends[position - 1];
        return std::string_view(m_bytes).substr(begin, m_ends[position] - begin);
    }
    // Throws `Error` past 4 GiB of names, which no folder holds.
    void push_back(std::string_view name)
    {
        if (name.size() > std::numeric_limits<std::uint32_t>::max() - m_bytes.size())
            throw Error("The folder's names are too long to list.");
        m_bytes += name;
        m_ends.push_back(static_cast<std::uint32_t>(m_bytes.size()));
    }
    // The other's names after these.
    void append(const RawNames& other)
    {
        if (other.m_bytes.size() > std::numeric_limits<std::uint32_t>::max() - m_bytes.size())
            throw Error("The folder's names are too long to list.");
        auto shift = static_cast<std::uint32_t>(m_bytes.size());
        m_bytes += other.m_bytes;
        m_ends.reserve(m_ends.size() + other.m_ends.size());
        for (std::uint32_t end : other.m_ends)
            m_ends.push_back(end + shift);
    }
    void reserve(std::size_t names, std::size_t bytes)
    {
        m_ends.reserve(names);
        m_bytes.reserve(bytes);
    }

    // Every name's bytes, one after another, and where each ends.
    std::string_view bytes() const { return m_bytes; }
    std::span<const std::uint32_t> ends() const { return m_ends; }

private:
    std::string m_bytes;
    // Four bytes an end: a million names keep 4 MB less.
    std::vector<std::uint32_t> m_ends;
};

}  // namespace toolkit

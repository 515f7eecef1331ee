// Names as raw bytes, end to end in one block: a million names cost two
// allocations, not two million, and keep their bytes exactly as the file
// system gave them (not always UTF-8).
//
//   RawNames names;
//   names.push_back("a.txt");
//   std::string_view first = names[0];
#pragma once

#include <cstddef>
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

}  // namespace toolkit

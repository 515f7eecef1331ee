// The floor the tool is measured against: what a careful programmer would
// write in plain C++ to read a folder's file names, put them in file-manager
// order and join them, with no toolkit and no window.
//
// One getdents64 pass into one growing buffer; one natural-order key per
// name (letters folded to lower case, digit runs by value, bytes beyond
// ASCII as they are), all in one block; a sort of 16-byte items holding each
// key's first eight bytes, falling back to memcmp only where those tie; one
// join into a buffer sized beforehand.
//
//   bench_floor::Parts parts;
//   std::string text = bench_floor::names_text("/tmp/big", parts);
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace bench_floor {

struct Parts {
    double read_ms = 0;
    double sort_ms = 0;
    double join_ms = 0;
};

namespace detail {

struct LinuxDirent64 {
    std::uint64_t d_ino;
    std::int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];  // As long as the record says, ending in a zero byte.
};

inline double since(std::chrono::steady_clock::time_point& start)
{
    auto now = std::chrono::steady_clock::now();
    double ms = std::chrono::duration<double, std::milli>(now - start).count();
    start = now;
    return ms;
}

struct Item {
    std::uint64_t prefix;  // The key's first eight bytes, big-endian.
    std::uint32_t key;  // Where the key starts in the key block.
    std::uint32_t name;  // Which name.
};

}  // namespace detail

// The folder's regular files (entries of unknown type counted as files), not
// the hidden ones, joined with a carriage return before each.
inline std::string names_text(const char* folder, Parts& parts)
{
    using namespace detail;
    auto clock = std::chrono::steady_clock::now();

    int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        std::perror(folder);
        std::exit(1);
    }
    std::vector<char> entries(1 << 20);
    std::size_t used = 0;
    for (;;) {
        if (entries.size() - used < (1 << 16))
            entries.resize(entries.size() * 2);
        long got = syscall(SYS_getdents64, fd, entries.data() + used, entries.size() - used);
        if (got < 0) {
            std::perror(folder);
            std::exit(1);
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    ::close(fd);
    std::vector<std::string_view> names;
    names.reserve(used / 32);
    for (std::size_t at = 0; at < used;) {
        const auto* entry = reinterpret_cast<const LinuxDirent64*>(entries.data() + at);
        at += entry->d_reclen;
        if (entry->d_name[0] == '.' || (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN))
            continue;
        names.emplace_back(entry->d_name);
    }
    parts.read_ms = since(clock);

    std::string keys;
    keys.reserve(used);
    std::vector<std::uint32_t> key_starts(names.size() + 1);
    for (std::size_t n = 0; n < names.size(); ++n) {
        key_starts[n] = static_cast<std::uint32_t>(keys.size());
        std::string_view name = names[n];
        for (std::size_t i = 0; i < name.size();) {
            auto c = static_cast<unsigned char>(name[i]);
            if (c >= '0' && c <= '9') {
                std::size_t end = i;
                while (end < name.size() && name[end] >= '0' && name[end] <= '9')
                    ++end;
                while (i + 1 < end && name[i] == '0')
                    ++i;
                // A number's length before its digits: shorter numbers first.
                keys += static_cast<char>(0x01);
                keys += static_cast<char>(end - i);
                keys.append(name.substr(i, end - i));
                i = end;
                continue;
            }
            keys += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            ++i;
        }
    }
    key_starts[names.size()] = static_cast<std::uint32_t>(keys.size());
    std::vector<Item> items(names.size());
    for (std::size_t n = 0; n < names.size(); ++n) {
        std::uint64_t prefix = 0;
        std::uint32_t begin = key_starts[n], end = key_starts[n + 1];
        for (std::uint32_t b = 0; b < 8; ++b)
            prefix = (prefix << 8) |
                (begin + b < end ? static_cast<unsigned char>(keys[begin + b]) : 0u);
        items[n] = {prefix, begin, static_cast<std::uint32_t>(n)};
    }
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        std::string_view ka(keys.data() + a.key, key_starts[a.name + 1] - a.key);
        std::string_view kb(keys.data() + b.key, key_starts[b.name + 1] - b.key);
        if (int order = ka.compare(kb))
            return order < 0;
        return names[a.name] < names[b.name];
    });
    parts.sort_ms = since(clock);

    std::size_t bytes = names.size();
    for (std::string_view name : names)
        bytes += name.size();
    std::string text;
    text.resize(bytes);
    char* out = text.data();
    for (const Item& item : items) {
        *out++ = '\r';
        std::string_view name = names[item.name];
        std::memcpy(out, name.data(), name.size());
        out += name.size();
    }
    parts.join_ms = since(clock);
    return text;
}

}  // namespace bench_floor

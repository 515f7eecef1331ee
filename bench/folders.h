// Large folders for the benchmarks, with names like real ones.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

namespace bench_folders {

// Names like those of camera dumps, documents and build outputs, of mixed
// length and case, each made unique by its number.
inline std::string realistic_name(std::mt19937& random, int number)
{
    static const char* const words[] = {
        "Report",  "holiday", "IMG",    "draft", "Invoice", "notes",   "backup", "Scan", "photo",
        "Meeting", "budget",  "README", "été",   "final",   "Copy of", "module", "TEST", "data"};
    static const char* const endings[] = {".jpg", ".JPG",    ".txt", ".pdf", ".docx", ".o",
                                          ".md",  ".tar.gz", ".png", ".csv", "",      ".eml"};
    auto pick = [&](auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(random)];
    };
    std::string name = pick(words);
    std::string number_text = std::to_string(number);
    switch (random() % 4) {
    case 0: name.append("_").append(std::to_string(20240000 + number)); break;
    case 1: name.append(" ").append(pick(words)).append(" ").append(number_text); break;
    case 2: name.append("-").append(number_text).append("-").append(pick(words)); break;
    default: name = number_text.append(" ").append(name); break;
    }
    return name.append(pick(endings));
}

inline std::string make_folder(const std::filesystem::path& parent, int files)
{
    std::filesystem::path folder = parent / ("files-" + std::to_string(files));
    std::filesystem::create_directories(folder);
    std::mt19937 random(static_cast<unsigned>(files));
    for (int number = 0; number < files; ++number) {
        std::string path = (folder / realistic_name(random, number)).string();
        int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
    }
    return folder.string();
}

}  // namespace bench_folders

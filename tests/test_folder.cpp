#include "test_folder.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error("test folder: cannot " + what);
}

}  // namespace

TestFolder::TestFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tobrel-test-XXXXXX").string();
    check(mkdtemp(pattern.data()) != nullptr, "create " + pattern);
    m_path = pattern;
}

TestFolder::~TestFolder()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
    // Trees deeper than a path can name need rm, which walks them by handle.
    if (error && std::system(("rm -rf '" + m_path + "'").c_str()) != 0)
        std::fprintf(stderr, "test folder: cannot remove %s\n", m_path.c_str());
}

void TestFolder::file(const std::string& name) const
{
    int fd = ::open((*this / name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    check(fd >= 0, "create file " + name);
    ::close(fd);
}

void TestFolder::folder(const std::string& name) const
{
    check(::mkdir((*this / name).c_str(), 0755) == 0, "create folder " + name);
}

void TestFolder::link(const std::string& name, const std::string& target) const
{
    check(::symlink(target.c_str(), (*this / name).c_str()) == 0, "create link " + name);
}

void TestFolder::pipe(const std::string& name) const
{
    check(::mkfifo((*this / name).c_str(), 0644) == 0, "create pipe " + name);
}

void TestFolder::remove(const std::string& name) const
{
    std::filesystem::remove_all(*this / name);
}

// A folder of the test's own, removed with everything in it at the end.
//
//   TestFolder folder;
//   folder.file("a.txt");
//   folder.link("to-a", "a.txt");
#pragma once

#include <string>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder's path, raw bytes.
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    // Each takes a name relative to the folder, as raw bytes.
    void file(const std::string& name) const;
    void folder(const std::string& name) const;
    void link(const std::string& name, const std::string& target) const;
    void pipe(const std::string& name) const;
    void remove(const std::string& name) const;

private:
    std::string m_path;
};

// The window's folder hub, seen through real lists on real folders: one read
// serves both lists, and a change reported by the kernel reaches every list
// that shows the folder, in every window, without a folder change.
#include "settle.h"
#include "test_folder.h"
#include "toolkit/form.h"
#include "toolkit/qt/folders/folder_source.h"
#include "toolkit/testing.h"

#include <gtest/gtest.h>

#include <QTest>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {

namespace prop = toolkit::prop;

constexpr toolkit::ControlDesign lists[] = {
    {toolkit::ControlKind::FolderList, "dirNames", 0, 240, 1695, 2340, 0, ""},
    {toolkit::ControlKind::FileList, "filNames", 1680, 0, 3120, 2340, 1, ""},
};

// A window with a folder list and a file list, both pointed at one folder.
struct Window {
    explicit Window(const std::string& folder)
    {
        form.control("dirNames").on(toolkit::Event::Change, [this] { ++folder_changes; });
        form.control("dirNames").set(prop::Path, folder);
        form.control("filNames").set(prop::Path, folder);
        EXPECT_TRUE(settle());
        folder_changes = 0;
    }

    std::vector<std::string> files()
    {
        toolkit::Object& list = form.control("filNames");
        std::vector<std::string> names;
        for (std::int32_t i = 0; i < toolkit::get_int(list, prop::ListCount); ++i) {
            list.set_at(prop::Selected, i, true);
            names.push_back(toolkit::get_text(list, prop::FileName));
        }
        return names;
    }
    bool shows(const std::vector<std::string>& names)
    {
        return QTest::qWaitFor([&] { return files() == names; }, 5000);
    }

    toolkit::Form form{"frmHub", "Hub", 4800, 3270, lists};
    int folder_changes = 0;
};

TEST(FolderHub, OneReadOfAFolderServesBothLists)
{
    TestFolder folder;
    folder.file("a.txt");
    auto reads = std::make_shared<std::atomic<int>>(0);
    toolkit::ScopedFolderReadHook hook([reads, path = folder.path()](const std::string& read) {
        if (read == path)
            ++*reads;
    });
    Window window(folder.path());
    EXPECT_EQ(*reads, 1);
    EXPECT_EQ(window.files(), std::vector<std::string>{"a.txt"});
}

TEST(FolderHub, ChangesReachTheListsWithoutAFolderChange)
{
    TestFolder folder;
    TestFolder elsewhere;
    folder.file("b.txt");
    elsewhere.file("moved-in.txt");
    Window window(folder.path());

    const struct {
        const char* label;
        std::function<void()> change;
        std::vector<std::string> shown;
    } steps[] = {
        {"created", [&] { folder.file("a.txt"); }, {"a.txt", "b.txt"}},
        {"renamed",
         [&] { std::rename((folder / "a.txt").c_str(), (folder / "c.txt").c_str()); },
         {"b.txt", "c.txt"}},
        // Only the folder it lands in hears of it, as a move to.
        {"moved in from another folder",
         [&] { std::rename((elsewhere / "moved-in.txt").c_str(), (folder / "d.txt").c_str()); },
         {"b.txt", "c.txt", "d.txt"}},
        {"deleted", [&] { folder.remove("b.txt"); }, {"c.txt", "d.txt"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.label);
        step.change();
        EXPECT_TRUE(window.shows(step.shown));
    }
    EXPECT_EQ(window.folder_changes, 0);
}

TEST(FolderHub, EachWindowFollowsTheFolderOnItsOwn)
{
    TestFolder folder;
    folder.file("a.txt");
    auto first = std::make_unique<Window>(folder.path());
    Window second(folder.path());
    folder.file("b.txt");
    EXPECT_TRUE(first->shows({"a.txt", "b.txt"}));
    EXPECT_TRUE(second.shows({"a.txt", "b.txt"}));

    // One window gone takes nothing from the other.
    first.reset();
    folder.file("c.txt");
    EXPECT_TRUE(second.shows({"a.txt", "b.txt", "c.txt"}));
}

// Changes made elsewhere on these never reach the kernel's reports, so the
// lists must read them again themselves. The type is the mount table's.
TEST(FileSystemReportsChanges, NotForNetworkSharesOrFuse)
{
    const struct {
        const char* type;
        bool reports;
    } cases[] = {
        {"ext4", true},  {"tmpfs", true},      {"btrfs", true},     {"fuse", false},
        {"fuseblk", false}, {"fuse.sshfs", false}, {"nfs", false}, {"nfs4", false},
        {"cifs", false}, {"smb3", false},      {"9p", false},       {"ceph", false},
        {"", false},  // Not found in the table: read again to be safe.
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(toolkit::file_system_reports_changes(c.type), c.reports);
    }
}

}  // namespace

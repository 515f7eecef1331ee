#include "app/window_fixture.h"
#include "gate.h"
#include "test_folder.h"
#include "toolkit/testing.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using toolkit::Value;
namespace prop = toolkit::prop;

// Holds every read of one folder at a gate until the test opens it, and
// counts them.
struct HeldReads {
    explicit HeldReads(std::string folder)
        : hook([gate = gate, reads = reads, folder = std::move(folder)](const std::string& read) {
              if (read == folder) {
                  ++*reads;
                  gate->wait();
              }
          })
    {
    }
    std::shared_ptr<Gate> gate = std::make_shared<Gate>();
    std::shared_ptr<std::atomic<int>> reads = std::make_shared<std::atomic<int>>(0);
    toolkit::ScopedFolderReadHook hook;
};

class FileSystemEdges : public WindowTest {
protected:
    void scan() { click("cmdScan"); }
    void copy() { click("cmdClipboard"); }

    // The folder list's rows that show a name.
    QModelIndexList folder_rows(const QString& shown)
    {
        auto* folders = top()->findChild<QListView*>("dirNames");
        return folders->model()->match(folders->model()->index(0, 0), Qt::DisplayRole, shown, -1,
                                       Qt::MatchExactly);
    }

    // The user highlights a folder by its shown name and presses Enter;
    // the test waits for the read to land unless told not to.
    void open_shown(const QString& shown, bool wait = true)
    {
        QModelIndexList found = folder_rows(shown);
        ASSERT_FALSE(found.isEmpty()) << shown.toStdString();
        // Subfolders come after the ancestors, which may share the name.
        auto* folders = top()->findChild<QListView*>("dirNames");
        folders->setCurrentIndex(found.back());
        QTest::keyClick(folders, Qt::Key_Return);
        if (wait) {
            ASSERT_TRUE(settle());
        }
    }

    // Every entry of the file list, read as the scan reads them.
    std::vector<std::string> listed()
    {
        toolkit::Object& files = control("filNames");
        std::vector<std::string> names;
        for (std::int32_t i = 0; i < toolkit::get_int(files, prop::ListCount); ++i) {
            files.set_at(prop::Selected, i, true);
            names.push_back(toolkit::get_text(files, prop::FileName));
        }
        return names;
    }
};

TEST_F(FileSystemEdges, OddNamesAreListedCountedAndCopiedExactly)
{
    const std::string replacement = "\xEF\xBF\xBD";
    std::vector<std::pair<std::string, std::string>> files = {
        // On disk, then as shown and copied.
        {" leading space", " leading space"},
        {"trailing space ", "trailing space "},
        {"\"quoted\" and 'single'", "\"quoted\" and 'single'"},
        {"$HOME * ? \\ back", "$HOME * ? \\ back"},
        {"-rf", "-rf"},
        {"emoji \xF0\x9F\x98\x80 clef \xF0\x9D\x84\x9E",
         "emoji \xF0\x9F\x98\x80 clef \xF0\x9D\x84\x9E"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},  // Composed.
        {"cafe\xCC\x81", "cafe\xCC\x81"},  // Decomposed: another name.
        {std::string(255, 'n'), std::string(255, 'n')},
        {"line\nfeed", "line\nfeed"},
        {"carriage\rreturn", "carriage\rreturn"},
        {"bad\xFF\xFE.txt", "bad" + replacement + replacement + ".txt"},
    };
    TestFolder folder;
    for (const auto& file : files)
        folder.file(file.first);
    folder.link("to-quoted", "\"quoted\" and 'single'");
    folder.link("dangling", "nowhere");
    folder.folder("real-folder");
    folder.link("to-folder", "real-folder");
    files.push_back({"to-quoted", "to-quoted"});

    open(folder.path());
    std::vector<std::string> names = listed();
    std::vector<std::string> expected;
    for (const auto& file : files)
        expected.push_back(file.second);
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    scan();
    std::string joined;
    for (const std::string& name : listed())
        joined += "\r" + name;
    EXPECT_EQ(text(), joined);
    copy();
    EXPECT_EQ(toolkit::clipboard_text(), joined);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FileSystemEdges, AFolderWhoseNameIsNotUtf8CanBeOpened)
{
    TestFolder folder;
    folder.folder("odd\xFE");
    folder.file("odd\xFE/inside.txt");
    open(folder.path());
    open_shown(QString::fromUtf8("odd\xEF\xBF\xBD"));
    EXPECT_EQ(current_folder(), folder / "odd\xFE");
    EXPECT_EQ(listed(), std::vector<std::string>{"inside.txt"});
    EXPECT_TRUE(messages.empty());
}

TEST_F(FileSystemEdges, AFolderDeletedWhileShownIsReportedOnceAndLeftForItsParent)
{
    TestFolder folder;
    folder.file("beside");
    folder.folder("doomed");
    folder.file("doomed/a");
    open(folder / "doomed");
    scan();
    folder.remove("doomed/a");
    folder.remove("doomed");

    QTRY_COMPARE_WITH_TIMEOUT(current_folder(), folder.path(), 5000);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("No such file"), std::string::npos);
    EXPECT_EQ(text(), "");
    scan();
    EXPECT_EQ(text(), "\rbeside");
}

TEST_F(FileSystemEdges, TheShownFolderIsFollowedLiveWithoutAFolderChange)
{
    TestFolder folder;
    folder.file("a");
    folder.file("b");
    open(folder.path());
    scan();
    ASSERT_EQ(text(), "\ra\rb");

    auto* files = top()->findChild<QListView*>("filNames");
    files->setCurrentIndex(files->model()->index(1, 0));  // The user picks b.

    folder.file("c");
    folder.remove("a");
    folder.folder("sub");
    QTRY_COMPARE_WITH_TIMEOUT(files->model()->rowCount(), 2, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!folder_rows("sub").empty(), 5000);
    ASSERT_EQ(::rename((folder / "c").c_str(), (folder / "d").c_str()), 0);
    QTRY_COMPARE_WITH_TIMEOUT(files->model()->index(1, 0).data().toString(), "d", 5000);

    EXPECT_EQ(files->currentIndex().data().toString(), "b");  // Still the user's pick,
    EXPECT_EQ(text(), "\ra\rb");  // and no folder change: the text stays the user's.
    scan();
    EXPECT_EQ(text(), "\rb\rd");
    EXPECT_TRUE(messages.empty());
}

TEST_F(FileSystemEdges, APathThatBecameAFileIsRefused)
{
    TestFolder folder;
    folder.folder("shifty");
    open(folder.path());
    folder.remove("shifty");
    folder.file("shifty");
    open_shown("shifty");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Not a directory"), std::string::npos);
    EXPECT_EQ(current_folder(), folder.path());
}

TEST_F(FileSystemEdges, ALinkToItsOwnFolderIsFollowedOnlyAsFarAsTheUserGoes)
{
    TestFolder folder;
    folder.file("here.txt");
    folder.link("again", ".");
    open(folder.path());
    for (int depth = 0; depth < 3; ++depth)
        open_shown("again");
    EXPECT_EQ(current_folder(), folder.path() + "/again/again/again");
    EXPECT_EQ(listed(), std::vector<std::string>{"here.txt"});
}

// Folders nested past what a path may hold: the list goes as deep as the
// system lets it, then refuses with one message.
TEST_F(FileSystemEdges, AFolderNestedTooDeepIsRefusedWithOneMessage)
{
    TestFolder folder;
    const std::string level(200, 'd');
    std::string path = folder.path();
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    int depth = 0;
    for (; depth < 25; ++depth) {  // About 5,000 bytes of path.
        ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0);
        int inner = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = inner;
        ASSERT_GE(fd, 0);
    }
    ::close(fd);

    open(folder.path());
    for (int step = 0; step < depth && messages.empty(); ++step)
        open_shown(QString::fromStdString(level));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("File name too long"), std::string::npos);
    EXPECT_LT(current_folder().size(), 4096u);
}

TEST_F(FileSystemEdges, TheDriveListFollowsMountsAndIgnoresAVanishedOne)
{
    TestFolder mounts;
    mounts.folder("stick");
    mounts.file("stick/photo.jpg");
    std::vector<toolkit::Volume> volumes = {{"/", "/"}};
    toolkit::ScopedVolumeSource source([&] { return volumes; });
    auto* drives = top()->findChild<QComboBox*>("drvNames");

    volumes.push_back({mounts / "stick", "stick"});  // Plugged in.
    drives->showPopup();
    drives->hidePopup();
    ASSERT_GE(drives->findText("stick"), 0);
    drives->setCurrentIndex(drives->findText("stick"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(current_folder(), mounts / "stick");

    drives->setCurrentIndex(drives->findText("/"));
    ASSERT_TRUE(settle());
    volumes.pop_back();  // Pulled out while the list still shows it.
    mounts.remove("stick");
    drives->setCurrentIndex(drives->findText("stick"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(current_folder(), "/");
    EXPECT_TRUE(messages.empty());

    drives->setCurrentIndex(drives->findText("/"));
    ASSERT_TRUE(settle());
    drives->showPopup();  // Read again: gone.
    drives->hidePopup();
    EXPECT_LT(drives->findText("stick"), 0);
}

TEST_F(FileSystemEdges, AReadHeldBackLeavesTheWindowLiveAndIsAbandonedByEscOrAnotherFolder)
{
    TestFolder folder;
    folder.folder("slow");
    folder.file("slow/late");
    folder.folder("quick");
    folder.file("here");
    open(folder.path());
    scan();

    std::string slow = folder / "slow";
    HeldReads held(slow);
    auto* folders = top()->findChild<QListView*>("dirNames");
    auto busy = [] {
        QCursor* pointer = QGuiApplication::overrideCursor();
        return pointer && pointer->shape() == Qt::WaitCursor;
    };

    open_shown("slow", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *held.reads == 1; }, 5000));
    // The window serves the clipboard while the read is blocked,
    toolkit::put_clipboard_text("\rstill");
    EXPECT_EQ(toolkit::clipboard_text(), "\rstill");
    // and shows the folder it is in, with a busy pointer after a moment.
    EXPECT_TRUE(QTest::qWaitFor(busy, 5000));
    EXPECT_EQ(current_folder(), folder.path());
    EXPECT_EQ(text(), "\rhere");

    QTest::keyClick(folders, Qt::Key_Escape);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // Abandoned at once,
    held.gate->open();
    ASSERT_TRUE(settle());
    EXPECT_EQ(*held.reads, 1);
    EXPECT_EQ(current_folder(), folder.path());  // the tool stays where it was,
    EXPECT_EQ(text(), "\rhere");  // with the text the user had,
    EXPECT_TRUE(messages.empty());  // and no message.

    // Another folder opened while a read is out wins, and the earlier read,
    // landing last, is dropped.
    HeldReads again(slow);
    open_shown("slow", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *again.reads == 1; }, 5000));
    QModelIndex quick = folder_rows("quick").value(0);
    ASSERT_TRUE(quick.isValid());
    QPoint at = folders->visualRect(quick).center();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(QTest::qWaitFor([&] { return current_folder() == folder / "quick"; }, 5000));
    again.gate->open();
    ASSERT_TRUE(settle());
    EXPECT_EQ(current_folder(), folder / "quick");
}

TEST_F(FileSystemEdges, AButtonPressedByAScreenReaderDuringAReadWaitsItsTurnButExitDoesNot)
{
    TestFolder folder;
    folder.folder("slow");
    folder.file("slow/late");
    folder.folder("slow/deeper");
    folder.file("here");
    open(folder.path());

    std::string slow = folder / "slow";
    HeldReads held(slow);
    // A screen reader's Press is no input event: nothing holds it back but
    // the order the window gives every action. Qt clicks the button a moment
    // after the Press, as a user would see it go down and up.
    auto press = [&](const char* button) {
        auto* pressed = widget<QPushButton>(button);
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(pressed);
        ASSERT_TRUE(spoken && spoken->actionInterface());
        bool clicked = false;
        QMetaObject::Connection heard =
            QObject::connect(pressed, &QPushButton::clicked, [&] { clicked = true; });
        spoken->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(QTest::qWaitFor([&] { return clicked; }, 5000));
        QObject::disconnect(heard);
    };

    open_shown("slow", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *held.reads == 1; }, 5000));
    press("cmdScan");
    EXPECT_EQ(text(), "");  // Not the folder being left,
    held.gate->open();
    ASSERT_TRUE(settle());
    EXPECT_EQ(current_folder(), slow);
    EXPECT_EQ(text(), "\rlate");  // but the one the user asked for first.

    // Exit during a read that has not answered ends the program at once.
    int ends = 0;
    toolkit::ScopedProgramEnd end([&] { ++ends; });
    auto second_gate = std::make_shared<Gate>();
    toolkit::ScopedFolderReadHook again([second_gate](const std::string&) { second_gate->wait(); });
    open_shown("deeper", false);
    press("cmdExit");
    EXPECT_EQ(ends, 1);
    second_gate->open();
    ASSERT_TRUE(settle());
}

TEST_F(FileSystemEdges, AVolumeThatDoesNotAnswerIsListedByItsMountPointUntilItDoes)
{
    TestFolder mounts;
    mounts.folder("share");
    const std::string share = mounts / "share";
    toolkit::ScopedVolumeSource source([&] {
        return std::vector<toolkit::Volume>{{"/", "/"}, {share, share}};
    });
    auto gate = std::make_shared<Gate>();
    toolkit::ScopedVolumeQuestion question(
        [gate, share](const toolkit::Volume& volume) -> std::optional<std::string> {
            if (volume.root != share)
                return volume.label;
            gate->wait();
            return "Holiday photos";
        });
    auto* drives = top()->findChild<QComboBox*>("drvNames");

    drives->showPopup();  // Returns although the share has not answered.
    drives->hidePopup();
    EXPECT_GE(drives->findText(QString::fromStdString(share)), 0);
    EXPECT_LT(drives->findText("Holiday photos"), 0);
    int listed = drives->count();

    gate->open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return drives->findText("Holiday photos") >= 0; }, 5000));
    EXPECT_LT(drives->findText(QString::fromStdString(share)), 0);
    EXPECT_EQ(drives->count(), listed);

    // The share is still the drive that opens it.
    drives->setCurrentIndex(drives->findText("Holiday photos"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(current_folder(), share);
    EXPECT_TRUE(messages.empty());
}

}  // namespace

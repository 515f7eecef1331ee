// The "Copy names as" menu in the real window: opened from the keyboard
// and the mouse on the file list and the text box, and from anywhere with
// Ctrl+Shift+C; each entry's text on the clipboard, written off the
// window's thread.
#include "app/design.h"
#include "app/window_fixture.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

namespace prop = toolkit::prop;

class CopyNamesAs : public WindowTest {
protected:
    CopyNamesAs()
    {
        top()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(top()));
        for (const char* name : names)
            folder.file(name);
        open(folder.path());
    }
    ~CopyNamesAs() override
    {
        if (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
    }

    QMenu* open_menu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    // The clipboard's bytes once the copy asked for has landed.
    std::string copied()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.copying(); }, 10000));
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data ? data->text().toStdString() : std::string();
    }
    void press(QWidget* at, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(at, key, modifiers);
    }
    // Chooses an entry of the open menu by its access key.
    void choose(char key)
    {
        QMenu* menu = open_menu();
        ASSERT_NE(menu, nullptr);
        QTest::keyClick(menu, key);
    }

    // In the list's order.
    static constexpr const char* names[] = {"a,b.txt", "b \"q\".txt", "c d", "d.tar.gz",
                                            "f\xFF.bin"};
    TestFolder folder;
};

TEST_F(CopyNamesAs, EachEntryPutsItsFormOfTheListedNamesOnTheClipboard)
{
    std::vector<std::string> listed;
    toolkit::Object& files = control("filNames");
    for (std::int32_t at = 0; at < toolkit::get_int(files, prop::ListCount); ++at) {
        files.set_at(prop::Selected, at, true);
        listed.push_back(toolkit::get_text(files, prop::FileName));
    }
    ASSERT_EQ(listed,
              (std::vector<std::string>{"a,b.txt", "b \"q\".txt", "c d", "d.tar.gz",
                                        "f\xEF\xBF\xBD.bin"}));
    const std::string path = folder.path();
    const std::pair<char, std::string> forms[] = {
        {'l', "a,b.txt\nb \"q\".txt\nc d\nd.tar.gz\nf\xEF\xBF\xBD.bin"},
        {'w', "a,b.txt\r\nb \"q\".txt\r\nc d\r\nd.tar.gz\r\nf\xEF\xBF\xBD.bin"},
        {'t', "a,b.txt\t\"b \"\"q\"\".txt\"\tc d\td.tar.gz\tf\xEF\xBF\xBD.bin"},
        {'c', "name\r\n\"a,b.txt\"\r\n\"b \"\"q\"\".txt\"\r\nc d\r\nd.tar.gz\r\nf\xEF\xBF\xBD.bin"},
        {'e', "a,b\nb \"q\"\nc d\nd.tar\nf\xEF\xBF\xBD"},
        {'f',
         path + "/a,b.txt\n" + path + "/b \"q\".txt\n" + path + "/c d\n" + path + "/d.tar.gz\n" +
             path + "/f\xEF\xBF\xBD.bin"},
    };
    QWidget* list = widget("filNames");
    for (const auto& [key, text] : forms) {
        SCOPED_TRACE(key);
        list->setFocus();
        press(list, Qt::Key_F10, Qt::ShiftModifier);
        choose(key);
        EXPECT_EQ(copied(), text);
        EXPECT_EQ(open_menu(), nullptr);
    }
    // The text box and Copy are untouched by it.
    EXPECT_EQ(text(), "");
    click("cmdScan");
    click("cmdClipboard");
    EXPECT_EQ(copied(), "\ra,b.txt\rb \"q\".txt\rc d\rd.tar.gz\rf\xEF\xBF\xBD.bin");
}

TEST_F(CopyNamesAs, TheTableGivesEachFilesSizeAndModificationTime)
{
    setenv("TZ", "UTC0", 1);
    tzset();
    std::string sized = folder.path() + "/c d";
    int fd = ::open(sized.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "12345", 5), 5);
    ::close(fd);
    for (const char* name : names) {
        timespec times[2] = {{1796821387, 0}, {1796821387, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (folder.path() + "/" + name).c_str(), times, 0), 0);
    }
    widget("filNames")->setFocus();
    press(widget("filNames"), Qt::Key_F10, Qt::ShiftModifier);
    choose('a');
    std::string row = "\t2026-12-09T13:03:07+00:00";
    EXPECT_EQ(copied(),
              "name\tsize\tmodified\na,b.txt\t0" + row + "\n\"b \"\"q\"\".txt\"\t0" + row + "\nc d\t5" +
                  row + "\nd.tar.gz\t0" + row + "\nf\xEF\xBF\xBD.bin\t0" + row);
    unsetenv("TZ");
    tzset();
}

TEST_F(CopyNamesAs, OpensFromTheMouseTheMenuKeyAndCtrlShiftCAnywhere)
{
    auto* list = widget<QListView>("filNames");
    // What the window system sends for a right-click.
    QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5),
                            list->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list->viewport(), &right);
    QMenu* menu = open_menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->accessibleName(), "Copy names as");
    QStringList captions, keys;
    for (QAction* action : menu->actions()) {
        captions << action->text();
        keys << action->text().mid(action->text().indexOf('&') + 1, 1).toLower();
    }
    EXPECT_EQ(captions,
              (QStringList{"&Lines", "Lines for &Windows", "&Tab-separated", "&CSV",
                           "Without &extensions", "&Full paths", "T&able"}));
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    menu->close();

    // In the text box, a submenu after its editing commands.
    QWidget* box = widget("txtNames")->findChild<QAbstractScrollArea*>();
    ASSERT_NE(box, nullptr);
    box->setFocus();
    // What the window system sends for the Menu key.
    QContextMenuEvent menu_key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(box, &menu_key);
    QMenu* editing = open_menu();
    ASSERT_NE(editing, nullptr);
    QAction* copy_as = editing->actions().last();
    ASSERT_NE(copy_as->menu(), nullptr);
    EXPECT_EQ(copy_as->text(), "Copy &names as");
    editing->close();
    press(box, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_NE(open_menu(), nullptr);
    open_menu()->close();

    // Ctrl+Shift+C from a button opens the file list's menu at the list.
    QWidget* scan = widget("cmdScan");
    scan->setFocus();
    QTest::keyClick(scan, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    menu = open_menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->accessibleName(), "Copy names as");
    EXPECT_TRUE(QRect(list->mapToGlobal(QPoint()), list->size()).contains(menu->pos()));
    QTest::keyClick(menu, 'l');
    EXPECT_EQ(copied(), "a,b.txt\nb \"q\".txt\nc d\nd.tar.gz\nf\xEF\xBF\xBD.bin");
}

// Copy asked for while a copy from the menu is still being written wins:
// the later one lands, the earlier one never does.
TEST_F(CopyNamesAs, TheLastCopyAskedForIsTheOneThatLands)
{
    click("cmdScan");
    widget("filNames")->setFocus();
    press(widget("filNames"), Qt::Key_F10, Qt::ShiftModifier);
    choose('a');
    click("cmdClipboard");
    EXPECT_EQ(copied(), text());

    // Several asked for while the first is out: each stops the one before,
    // and only the last one's text lands.
    for (const app::CopyAsEntry* entry :
         {&app::CopyAsEntries[6], &app::CopyAsEntries[0], &app::CopyAsEntries[3]})
        window.mnuCopyNamesAs_Click(*entry);
    EXPECT_EQ(copied(), "name\r\n\"a,b.txt\"\r\n\"b \"\"q\"\".txt\"\r\nc d\r\nd.tar.gz\r\n"
                        "f\xEF\xBF\xBD.bin");
}

}  // namespace

#include "app/design.h"
#include "app/window_fixture.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <QWidget>

namespace {

namespace prop = toolkit::prop;

class Accessibility : public WindowTest {
protected:
    Accessibility()
    {
        top()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(top()));
    }

    // Where the keyboard lands is what a screen reader reads.
    QAccessibleInterface* spoken(const char* name)
    {
        QWidget* control = widget(name);
        QWidget* focused = control && control->focusProxy() ? control->focusProxy() : control;
        return focused ? QAccessible::queryAccessibleInterface(focused) : nullptr;
    }
    QAccessibleTextInterface* names_text() { return spoken("txtNames")->textInterface(); }

    // The control that holds the keyboard focus, by its name.
    std::string focused_control()
    {
        for (QWidget* at = QApplication::focusWidget(); at; at = at->parentWidget())
            if (at->parentWidget() == top())
                return at->objectName().toStdString();
        return {};
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void type(const char* keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
};

TEST_F(Accessibility, EveryControlSpeaksItsOwnNameAndRole)
{
    const std::tuple<const char*, const char*, QAccessible::Role> controls[] = {
        {"drvNames", "Drives", QAccessible::ComboBox},
        {"dirNames", "Folders", QAccessible::Tree},
        {"filNames", "Files", QAccessible::List},
        {"txtNames", "File names", QAccessible::EditableText},
        {"cmdScan", "Scan", QAccessible::Button},
        {"cmdClipboard", "Copy to clipboard", QAccessible::Button},
        {"cmdExit", "Exit", QAccessible::Button},
        {"lblWeb", app::MakerAddress.data(), QAccessible::Link},
    };
    for (auto [control, name, role] : controls) {
        SCOPED_TRACE(control);
        QAccessibleInterface* interface = spoken(control);
        ASSERT_NE(interface, nullptr);
        EXPECT_EQ(interface->text(QAccessible::Name), name);
        EXPECT_EQ(interface->role(), role);
    }
    // The drive list says which drive it is on as its value, not as its name.
    auto* drives = widget<QComboBox>("drvNames");
    EXPECT_EQ(spoken("drvNames")->text(QAccessible::Value), drives->currentText());
    EXPECT_EQ(top()->findChildren<QLabel*>().size(), 1);  // The link: no hidden helper label.
    EXPECT_TRUE(spoken("lblWeb")->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
}

TEST_F(Accessibility, TabFollowsTheDesignedOrderAndAlwaysLeavesTheTextBox)
{
    const std::vector<std::string> order = {"dirNames", "txtNames",     "filNames", "drvNames",
                                            "cmdScan",  "cmdClipboard", "cmdExit",  "lblWeb"};
    ASSERT_EQ(focused_control(), order[0]);
    for (std::size_t step = 1; step <= order.size(); ++step) {
        press(Qt::Key_Tab);
        EXPECT_EQ(focused_control(), order[step % order.size()]) << "after Tab " << step;
    }
    for (std::size_t step = order.size(); step-- > 0;) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focused_control(), order[step]);
    }

    // Once the user edits, Tab still moves on, and writes nothing.
    press(Qt::Key_Tab);
    ASSERT_EQ(focused_control(), "txtNames");
    type("x");
    press(Qt::Key_Tab);
    EXPECT_EQ(focused_control(), "filNames");
    EXPECT_EQ(text(), "x");
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused_control(), "txtNames");
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused_control(), "dirNames");
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused_control(), "lblWeb");
}

TEST_F(Accessibility, TheFirstKeyInTheTextBoxActsAsInAnEditor)
{
    TestFolder folder;
    folder.file("a");
    folder.file("b");
    open(folder.path());
    click("cmdScan");
    ASSERT_EQ(text(), "\ra\rb");

    widget("dirNames")->setFocus();
    press(Qt::Key_Tab);
    press(Qt::Key_End, Qt::ControlModifier);
    type("c");
    EXPECT_EQ(text(), "\ra\rbc");

    click("cmdScan");  // Drawn again, caret at the start.
    widget("dirNames")->setFocus();
    press(Qt::Key_Tab);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(text(), "\ra\r\rb");
}

TEST_F(Accessibility, TheTextBoxIsTheNamesAsText)
{
    TestFolder folder;
    folder.file("a é.txt");
    folder.file("b \xF0\x9F\x98\x80.png");  // An emoji: two UTF-16 units.
    open(folder.path());
    click("cmdScan");

    QAccessibleTextInterface* names = names_text();
    ASSERT_NE(names, nullptr);
    const QString expected = QString::fromUtf8("\na é.txt\nb \xF0\x9F\x98\x80.png");
    EXPECT_EQ(names->characterCount(), expected.size());
    EXPECT_EQ(names->text(0, names->characterCount()), expected);

    int start = -1, end = -1;
    EXPECT_EQ(names->textAtOffset(3, QAccessible::LineBoundary, &start, &end),
              QString::fromUtf8("a é.txt\n"));
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 9);
    EXPECT_EQ(names->textAfterOffset(3, QAccessible::LineBoundary, &start, &end),
              QString::fromUtf8("b \xF0\x9F\x98\x80.png"));
    EXPECT_EQ(names->textAtOffset(5, QAccessible::WordBoundary, &start, &end), "txt");
    EXPECT_EQ(names->textAtOffset(11, QAccessible::CharBoundary, &start, &end).size(), 2);

    // The caret is where the keys put it, and a reader can move it.
    widget("txtNames")->setFocus();
    EXPECT_EQ(names->cursorPosition(), 0);
    press(Qt::Key_Down);
    press(Qt::Key_End);
    EXPECT_EQ(names->cursorPosition(), 8);
    names->setCursorPosition(11);
    press(Qt::Key_Right);
    EXPECT_EQ(names->cursorPosition(), 13);  // Past the emoji, not into it.
}

// Each folder above the open one holds the next; the open one holds its
// subfolders, so a reader tells them apart by level and by state.
TEST_F(Accessibility, TheFolderListIsATreeOfThePathAndTheSubfolders)
{
    TestFolder folder;
    folder.folder("inner");
    folder.folder("other");
    folder.file("a.txt");
    open(folder.path());
    QAccessibleInterface* tree = spoken("dirNames");
    ASSERT_EQ(tree->childCount(), 1);

    std::vector<QString> path;
    QAccessibleInterface* open_folder = nullptr;
    for (QAccessibleInterface* at = tree->child(0); at; at = at->child(0)) {
        if (at->state().collapsed)
            break;
        EXPECT_TRUE(at->state().expanded);
        EXPECT_EQ(at->role(), QAccessible::TreeItem);
        path.push_back(at->text(QAccessible::Name));
        open_folder = at;
    }
    QStringList parts = QString::fromStdString(folder.path()).split('/', Qt::SkipEmptyParts);
    parts.prepend("/");
    EXPECT_EQ(std::vector<QString>(parts.begin(), parts.end()), path);

    ASSERT_NE(open_folder, nullptr);
    ASSERT_EQ(open_folder->childCount(), 2);
    for (int place = 0; place < 2; ++place) {
        QAccessibleInterface* subfolder = open_folder->child(place);
        SCOPED_TRACE(place);
        EXPECT_EQ(subfolder->text(QAccessible::Name), place == 0 ? "inner" : "other");
        EXPECT_TRUE(subfolder->state().expandable);
        EXPECT_TRUE(subfolder->state().collapsed);
        EXPECT_EQ(subfolder->childCount(), 0);
        EXPECT_EQ(subfolder->parent(), open_folder);
        EXPECT_EQ(open_folder->indexOfChild(subfolder), place);
        EXPECT_EQ(tree->indexOfChild(subfolder), -1);
    }
    EXPECT_EQ(tree->child(0)->parent(), tree);

    // The row with the keyboard is the one a reader is told has it.
    widget("dirNames")->setFocus();
    press(Qt::Key_Down);
    QAccessibleInterface* focused = tree->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->text(QAccessible::Name), "inner");
    EXPECT_TRUE(focused->state().focused);
    EXPECT_TRUE(focused->state().selected);

    // Opened, the subfolder holds nothing and is the expanded end of the path.
    press(Qt::Key_Return);
    ASSERT_TRUE(settle());
    ASSERT_EQ(current_folder(), folder.path() + "/inner");
    QAccessibleInterface* inner = tree->focusChild();
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->text(QAccessible::Name), "inner");
    EXPECT_TRUE(inner->state().expanded);
    EXPECT_EQ(inner->childCount(), 0);
    EXPECT_EQ(inner->parent()->text(QAccessible::Name), path.back());
}

TEST_F(Accessibility, AHundredThousandNamesReadInPieces)
{
    std::string written;
    QString expected;
    for (int line = 0; line < 100000; ++line) {
        std::string name = "file " + std::to_string(line) + (line % 7 ? ".txt" : " \xC3\xA9");
        written += "\r" + name;
        expected += "\n" + QString::fromStdString(name);
    }
    control("txtNames").set(prop::Text, written);

    QAccessibleTextInterface* names = names_text();
    ASSERT_EQ(names->characterCount(), expected.size());
    QString read;
    for (int at = 0; at < names->characterCount(); at += 4096)
        read += names->text(at, at + 4096);
    EXPECT_EQ(read, expected);
    int start = -1, end = -1;
    int middle = static_cast<int>(expected.indexOf("\nfile 49994 ")) + 3;
    ASSERT_GT(middle, 3);
    EXPECT_EQ(names->textAtOffset(middle, QAccessible::LineBoundary, &start, &end),
              QString::fromUtf8("file 49994 é\n"));
}

TEST_F(Accessibility, CopyingFromTheEditorKeepsCarriageReturns)
{
    control("txtNames").set(prop::Text, std::string("\ra\rb"));
    widget("txtNames")->setFocus();
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "\ra\rb");
}

TEST_F(Accessibility, TheLinkIsFollowedFromTheKeyboardAndShowsItHasFocus)
{
    std::vector<std::string> opened;
    toolkit::ScopedOpener opener([&](const std::string& address) {
        opened.push_back(address);
        return true;
    });
    QWidget* link = widget("lblWeb");
    QImage unfocused = link->grab().toImage();
    widget("cmdExit")->setFocus();
    press(Qt::Key_Tab);
    ASSERT_TRUE(link->hasFocus());
    EXPECT_NE(link->grab().toImage(), unfocused);  // A focus frame.

    press(Qt::Key_Return);
    press(Qt::Key_Space);
    spoken("lblWeb")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(opened, std::vector<std::string>(3, std::string(app::MakerAddress)));
}

}  // namespace

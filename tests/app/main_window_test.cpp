#include "app/icon.h"
#include "app/window_fixture.h"
#include "test_folder.h"
#include "text_box_input.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <QTest>

namespace {

using toolkit::Value;
namespace prop = toolkit::prop;

class MainWindow : public WindowTest {
protected:
    bool buttons_enabled()
    {
        return widget<QPushButton>("cmdScan")->isEnabled() &&
            widget<QPushButton>("cmdClipboard")->isEnabled() &&
            widget<QPushButton>("cmdExit")->isEnabled();
    }
};

TEST_F(MainWindow, StartsAtTheRootWithAnEmptyTextBox)
{
    EXPECT_EQ(current_folder(), "/");
    EXPECT_EQ(control("filNames").get(prop::Path), Value(std::string("/")));
    EXPECT_EQ(text(), "");
    EXPECT_TRUE(buttons_enabled());
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindow, ScanWritesEachFileNameAfterACarriageReturn)
{
    TestFolder folder;
    for (const char* name : {"b.txt", "A.txt", "a b.txt", "\xC3\xA9t\xC3\xA9.txt", "-dash",
                             "file10", "file9", ".hidden"})
        folder.file(name);
    folder.folder("sub");
    folder.pipe("pipe");
    folder.link("to-b", "b.txt");
    open(folder.path());

    click("cmdScan");
    const std::string expected =
        "\r-dash\ra b.txt\rA.txt\rb.txt\rfile9\rfile10\rto-b\r\xC3\xA9t\xC3\xA9.txt";
    EXPECT_EQ(text(), expected);
    EXPECT_EQ(window.name_list(), expected);
    EXPECT_EQ(control("filNames").get(prop::ListIndex), Value(std::int32_t{0}));
    EXPECT_TRUE(buttons_enabled());

    click("cmdScan");
    EXPECT_EQ(text(), expected);  // Not doubled.
}

TEST_F(MainWindow, ScanOfAFolderWithoutFilesLeavesTextAndSelectionAlone)
{
    TestFolder folder;
    folder.folder("only-a-folder");
    open(folder.path());
    click("cmdScan");
    EXPECT_EQ(text(), "");
    EXPECT_EQ(control("filNames").get(prop::ListIndex), Value(std::int32_t{-1}));
}

// Records each change of a button's Enabled, with the text box's text at
// that moment.
class EnabledWatcher : public QObject {
public:
    EnabledWatcher(QWidget* button, std::function<std::string()> text) : m_text(std::move(text))
    {
        button->installEventFilter(this);
    }
    std::vector<std::pair<bool, std::string>> changes;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange)
            changes.emplace_back(static_cast<QWidget*>(watched)->isEnabled(), m_text());
        return false;
    }

private:
    std::function<std::string()> m_text;
};

TEST_F(MainWindow, ButtonsAreDisabledForExactlyTheScan)
{
    TestFolder folder;
    folder.file("one");
    folder.file("two");
    open(folder.path());
    control("txtNames").set(prop::Text, std::string("before"));
    for (const char* button : {"cmdScan", "cmdClipboard", "cmdExit"}) {
        SCOPED_TRACE(button);
        EnabledWatcher watcher(widget<QPushButton>(button), [this] { return text(); });
        click("cmdScan");
        // Off before the text is cleared, on again once the names are in.
        using Change = std::pair<bool, std::string>;
        EXPECT_EQ(watcher.changes, (std::vector<Change>{{false, "before"}, {true, "\rone\rtwo"}}));
        control("txtNames").set(prop::Text, std::string("before"));
    }
}

TEST_F(MainWindow, AScanThatFailsIsShownOnceAndLeavesTheButtonsEnabled)
{
    TestFolder folder;
    folder.file("a.txt");
    open(folder.path());
    // The file list breaks halfway, as a device that went away would.
    control("txtNames").set(prop::Text, std::string("the user's own text"));
    toolkit::ScopedBrokenProperty broken(control("filNames"), prop::FileName, "The scan broke.");
    click("cmdScan");
    EXPECT_EQ(messages, std::vector<std::string>{"The scan broke."});
    EXPECT_TRUE(buttons_enabled());
    EXPECT_EQ(text(), "");  // The scan cleared the box before it broke.
}

TEST_F(MainWindow, ChangingFolderEmptiesTheTextAtOnce)
{
    TestFolder folder;
    folder.file("x");
    folder.folder("inner");
    open(folder.path());
    click("cmdScan");
    ASSERT_EQ(text(), "\rx");

    open(folder / "inner");
    EXPECT_EQ(text(), "");
    EXPECT_EQ(control("filNames").get(prop::ListCount), Value(std::int32_t{0}));
}

TEST_F(MainWindow, CopyPutsTheExactTextOnTheClipboard)
{
    TestFolder folder;
    folder.file("a.txt");
    folder.file("b.txt");
    open(folder.path());

    toolkit::put_clipboard_text("left over");
    click("cmdClipboard");
    EXPECT_EQ(toolkit::clipboard_text(), "");  // Empty text: cleared, then empty.

    // The clipboard is cleared first, and only then given the text: what it
    // held before never stands beside the names.
    click("cmdScan");
    toolkit::put_clipboard_text("left over");
    std::vector<std::string> held;
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, top(),
                     [&] { held.push_back(toolkit::clipboard_text()); });
    click("cmdClipboard");
    EXPECT_EQ(held, (std::vector<std::string>{"", "\ra.txt\rb.txt"}));
    EXPECT_EQ(toolkit::clipboard_text(), "\ra.txt\rb.txt");

    add_line(widget<QWidget>("txtNames"), "mine");
    click("cmdClipboard");
    EXPECT_EQ(toolkit::clipboard_text(), "\ra.txt\rb.txt\rmine");
}

TEST_F(MainWindow, ADriveThatCannotBeOpenedChangesNothingElse)
{
    TestFolder folder;
    folder.file("kept");
    open(folder.path());
    click("cmdScan");
    toolkit::ScopedVolumeSource volumes([] {
        return std::vector<toolkit::Volume>{{"/", "/"}, {"/no/such/volume", "/no/such/volume"}};
    });

    auto* drives = widget<QComboBox>("drvNames");
    drives->showPopup();  // Opening the list reads the volumes again.
    drives->hidePopup();
    drives->setCurrentIndex(drives->findText("/no/such/volume"));
    ASSERT_TRUE(settle());

    EXPECT_EQ(drives->currentText(), "/no/such/volume");
    EXPECT_EQ(current_folder(), folder.path());
    EXPECT_EQ(text(), "\rkept");
    EXPECT_TRUE(messages.empty());

    drives->setCurrentIndex(drives->findText("/"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(current_folder(), "/");
}

TEST_F(MainWindow, AFolderThatVanishedIsRefusedWithOneMessage)
{
    TestFolder folder;
    folder.file("kept");
    folder.folder("doomed");
    open(folder.path());
    click("cmdScan");
    folder.remove("doomed");

    auto* folders = widget<QListView>("dirNames");
    QModelIndex doomed =
        folders->model()
            ->match(folders->model()->index(0, 0), Qt::DisplayRole, "doomed", 1, Qt::MatchExactly)
            .value(0);
    ASSERT_TRUE(doomed.isValid());
    folders->setCurrentIndex(doomed);
    QTest::keyClick(folders, Qt::Key_Return);
    ASSERT_TRUE(settle());

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(folder / "doomed"), std::string::npos);
    EXPECT_NE(messages[0].find("No such file"), std::string::npos);
    EXPECT_EQ(current_folder(), folder.path());
    EXPECT_EQ(text(), "\rkept");
    // The highlight is back on the folder the tool is in.
    std::string shown = folder.path().substr(folder.path().rfind('/') + 1);
    EXPECT_EQ(folders->currentIndex().data().toString().toStdString(), shown);
}

TEST_F(MainWindow, TypingAfterOpeningAFolderLooksInTheOpenedFolder)
{
    TestFolder folder;
    folder.folder("alpha");
    folder.folder("alpha/beta");
    folder.folder("alpha/bx");
    open(folder.path());

    // Typed in one go: what follows Return looks in the folder it opens,
    // however long that takes to read.
    auto* folders = widget<QListView>("dirNames");
    QTest::keyClicks(folders, "al");
    QTest::keyClick(folders, Qt::Key_Return);
    QTest::keyClicks(folders, "b");
    QTest::keyClick(folders, Qt::Key_Return);
    ASSERT_TRUE(settle());
    EXPECT_EQ(current_folder(), folder / "alpha/beta");
}

TEST_F(MainWindow, ShowsItsOwnIcon)
{
    QImage shown =
        top()->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), QSize(32, 32));
    int drawn = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            char key =
                app::WindowIcon.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            QRgb expected = 0;  // Transparent where the palette has no such key.
            for (const toolkit::IconColor& color : app::WindowIcon.palette)
                if (color.key == key)
                    expected = 0xFF000000u | color.rgb;
            drawn += expected != 0;
            ASSERT_EQ(shown.pixel(x, y), expected) << x << "," << y;
        }
    EXPECT_GT(drawn, 500);

    // The other sizes a desktop asks for: the same drawing, pixel by pixel.
    for (int size : {16, 24, 48, 64, 128, 256}) {
        QImage sized =
            top()->windowIcon().pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(sized.size(), QSize(size, size));
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(sized.pixel(x, y), shown.pixel(x * 32 / size, y * 32 / size))
                    << size << " px at " << x << "," << y;
    }
}

// Alt+S scans before the key is even let go, and the button looks pressed
// for a moment after, not before.
TEST_F(MainWindow, AccessKeysClickAtOnceWithThePressedLook)
{
    TestFolder folder;
    folder.file("a.txt");
    open(folder.path());
    top()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(top()));
    auto* scan = widget<QPushButton>("cmdScan");

    QTest::keyPress(top()->windowHandle(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(text(), "\ra.txt");
    EXPECT_TRUE(scan->isDown());
    QTest::keyRelease(top()->windowHandle(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !scan->isDown(); }, 5000));

    // A disabled button's key does nothing.
    control("txtNames").set(prop::Text, std::string("kept"));
    scan->setEnabled(false);
    QTest::keyClick(top()->windowHandle(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(text(), "kept");
}

// Closing the window takes the same road as Exit, the one that hands the
// clipboard over; the window stays up until the program ends.
TEST_F(MainWindow, ExitAndClosingTheWindowEndTheProgramWithoutAScan)
{
    int ends = 0;
    toolkit::ScopedProgramEnd end([&] { ++ends; });
    // The access key Alt+X is driven in the end-to-end test, on a real X
    // server.
    click("cmdExit");
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(top()->close());
    EXPECT_EQ(ends, 2);
    EXPECT_TRUE(top()->isVisible());
}

}  // namespace

#include "settle.h"
#include "test_folder.h"
#include "toolkit/form.h"
#include "toolkit/testing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>

#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

namespace {

using toolkit::ControlKind;
using toolkit::Error;
using toolkit::Value;
namespace prop = toolkit::prop;

class Controls : public testing::Test {
protected:
    toolkit::Form form{"frmTest", "Test", 4800, 3270};

    toolkit::Object& add(ControlKind kind, std::string_view name,
                         std::optional<std::int32_t> index = {})
    {
        return form.add_control({kind, name, 1680, 240, 3120, 2340, 0, "", {}, {}, index});
    }

    template <class W> W* widget(const char* name)
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frmTest")
                return top->findChild<W*>(name);
        return nullptr;
    }
};

TEST_F(Controls, KeepTheTwipsTheyWereGivenAndDrawPixels)
{
    toolkit::Object& box = add(ControlKind::TextBox, "txtBox");
    box.set(prop::Width, 1600.0f);
    box.set(prop::Left, 7);  // A whole number is a length too.

    EXPECT_EQ(box.get(prop::Width), Value(1600.0f));
    EXPECT_EQ(box.get(prop::Left), Value(7.0f));
    EXPECT_EQ(widget<QWidget>("txtBox")->width(), 107);  // 1600 / 15, rounded.

    EXPECT_EQ(form.get(prop::ScaleWidth), Value(4800.0f));
    EXPECT_EQ(form.get(prop::ScaleHeight), Value(3270.0f));
}

TEST_F(Controls, MoveTakesTwoThreeOrFourArguments)
{
    toolkit::Object& box = add(ControlKind::TextBox, "txtBox");
    box.move(10, 20);
    EXPECT_EQ(box.get(prop::Width), Value(3120.0f));
    box.move(30, 40, 500);
    EXPECT_EQ(box.get(prop::Height), Value(2340.0f));
    box.move(50, 60, 700, 800);
    for (auto [name, twips] : {std::pair{prop::Left, 50.0f},
                               {prop::Top, 60.0f},
                               {prop::Width, 700.0f},
                               {prop::Height, 800.0f}}) {
        SCOPED_TRACE(std::string(name));
        EXPECT_EQ(box.get(name), Value(twips));
    }
}

TEST_F(Controls, RefuseWhatTheyLackOrCannotTake)
{
    toolkit::Object& button = add(ControlKind::CommandButton, "cmdGo");
    EXPECT_THROW(button.get(prop::Path), Error);
    EXPECT_THROW(button.set(prop::Name, std::string("other")), Error);
    EXPECT_THROW(button.set(prop::Width, -1.0f), Error);
    EXPECT_THROW(button.set(prop::Caption, 5), Error);
    EXPECT_THROW(button.move(0, 0, 100, -5), Error);
    // A refused move changes nothing.
    EXPECT_EQ(button.get(prop::Left), Value(1680.0f));

    try {
        button.get("Colour");
        FAIL() << "a missing property must throw";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("cmdGo"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("Colour"), std::string::npos);
    }
}

TEST_F(Controls, IndexExistsOnlyInControlArrays)
{
    toolkit::Object& single = add(ControlKind::Label, "lblOne");
    toolkit::Object& element = add(ControlKind::Label, "lblMany", 3);
    EXPECT_THROW(single.get(prop::Index), Error);
    EXPECT_EQ(element.get(prop::Index), Value(std::int32_t{3}));
}

TEST_F(Controls, FileListSelectsOneEntryAtATime)
{
    TestFolder folder;
    for (const char* name : {"b.txt", "a.txt", "c.txt"})
        folder.file(name);
    toolkit::Object& list = add(ControlKind::FileList, "filList");
    list.set(prop::Path, folder.path());
    EXPECT_EQ(list.get(prop::ListCount), Value(std::int32_t{0}));  // Not read yet.
    ASSERT_TRUE(settle());

    EXPECT_EQ(list.get(prop::ListCount), Value(std::int32_t{3}));
    EXPECT_EQ(list.get(prop::FileName), Value(std::string()));  // Nothing selected yet.
    list.set_at(prop::Selected, 2, true);
    list.set_at(prop::Selected, 1, true);
    EXPECT_EQ(list.get(prop::FileName), Value(std::string("b.txt")));
    EXPECT_EQ(list.get_at(prop::Selected, 2), Value(false));
    EXPECT_THROW(list.set_at(prop::Selected, 3, true), Error);
    EXPECT_THROW(list.set_at(prop::Selected, -1, true), Error);
}

// A name that would draw as another's is drawn as it is spelt, direction
// controls and line breaks as marks: pixel for pixel as a name that holds
// those marks as plain text. What the list reads back stays byte-exact.
TEST_F(Controls, ListsDrawANameAsItIsSpeltNotAsItWouldPassFor)
{
    auto drawn_alone = [this](const std::string& name, const char* control) {
        TestFolder folder;
        folder.file(name);
        toolkit::Object& list = add(ControlKind::FileList, control);
        list.set(prop::Path, folder.path());
        EXPECT_TRUE(settle());
        list.set_at(prop::Selected, 0, true);
        EXPECT_EQ(list.get(prop::FileName), Value(name));
        // The first row's ink, once it is laid out.
        auto* view = widget<QListView>(control);
        EXPECT_TRUE(QTest::qWaitFor(
            [view] { return view->visualRect(view->model()->index(0, 0)).isValid(); }, 10000));
        QImage row = view->viewport()->grab().toImage();
        QRect ink;
        for (int y = 0; y < row.height(); ++y)
            for (int x = 0; x < row.width(); ++x)
                if (row.pixel(x, y) != row.pixel(row.width() - 1, 0))
                    ink |= QRect(x, y, 1, 1);
        EXPECT_FALSE(ink.isEmpty()) << "nothing drawn";
        return row.copy(ink);
    };
    QImage spoof = drawn_alone("invoice\xe2\x80\xaetxt.exe", "filSpoof");
    EXPECT_EQ(spoof, drawn_alone("invoice\u2039U+202E\u203Atxt.exe", "filSpelt"));
    EXPECT_NE(spoof, drawn_alone("invoiceexe.txt", "filPassesFor"));
    EXPECT_EQ(drawn_alone("two\nlines", "filBroken"),
              drawn_alone("two\u2039LF\u203Alines", "filMarked"));
}

// A name too long for its list: a one-row list keeps its row in sight
// rather than hiding it under a scroll bar; a taller one scrolls to it.
TEST_F(Controls, AOneRowListKeepsItsRowAboveAScrollBar)
{
    TestFolder folder;
    folder.file(std::string(255, 'n'));
    toolkit::Object& one_row =
        form.add_control({ControlKind::FileList, "filOneRow", 1680, 0, 3120, 285, 0, ""});
    toolkit::Object& tall = add(ControlKind::FileList, "filTall");
    for (toolkit::Object* list : {&one_row, &tall})
        list->set(prop::Path, folder.path());
    ASSERT_TRUE(settle());

    auto* short_view = widget<QListView>("filOneRow");
    auto* tall_view = widget<QListView>("filTall");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(short_view->window()));
    QRect row = short_view->visualRect(short_view->model()->index(0, 0));
    EXPECT_TRUE(short_view->viewport()->rect().contains(QRect(0, row.top(), 1, row.height())));
    EXPECT_FALSE(short_view->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return tall_view->horizontalScrollBar()->isVisible(); }, 10000));
    EXPECT_EQ(short_view->model()->index(0, 0).data(Qt::ToolTipRole).toString().size(), 255);
}

// Pointed at a folder from code, the list goes there at once and fills as
// the read lands; one it then finds it cannot list is said so, and left for
// the nearest folder above that it can.
TEST_F(Controls, FolderListGoesWhereItIsPointedAndLeavesWhatItCannotList)
{
    std::vector<std::string> shown;
    toolkit::ScopedMessageBox recorder([&](const std::string& text) { shown.push_back(text); });
    TestFolder folder;
    folder.folder("inside");
    folder.file("not-a-folder");
    toolkit::Object& list = add(ControlKind::FolderList, "dirList");
    int changes = 0;
    list.on(toolkit::Event::Change, [&] { ++changes; });

    list.set(prop::Path, folder.path());
    EXPECT_EQ(changes, 1);
    list.set(prop::Path, std::string("inside/../inside/./"));  // Relative and untidy.
    EXPECT_EQ(list.get(prop::Path), Value(folder / "inside"));
    EXPECT_EQ(changes, 2);
    list.set(prop::Path, folder / "inside");
    EXPECT_EQ(changes, 2);  // The same path raises nothing.
    ASSERT_TRUE(settle());
    EXPECT_TRUE(shown.empty());

    for (const char* unlistable : {"not-a-folder", "missing/deeper"}) {
        SCOPED_TRACE(unlistable);
        shown.clear();
        list.set(prop::Path, folder / unlistable);
        EXPECT_EQ(list.get(prop::Path), Value(folder / unlistable));
        ASSERT_TRUE(settle());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find(folder / unlistable), std::string::npos);
        EXPECT_EQ(list.get(prop::Path), Value(folder.path()));
    }
}

// Made in a working folder whose read would never end, a window still
// appears at once: no list reads a folder before it is pointed at one.
TEST_F(Controls, ListsReadNoFolderUntilPointedAtOne)
{
    TestFolder folder;
    auto reads = std::make_shared<std::atomic<int>>(0);
    toolkit::ScopedFolderReadHook hook([reads](const std::string&) { ++*reads; });
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    toolkit::Object& folders = add(ControlKind::FolderList, "dirList");
    toolkit::Object& files = add(ControlKind::FileList, "filList");
    std::filesystem::current_path(before);
    EXPECT_EQ(*reads, 0);
    EXPECT_EQ(toolkit::get_int(files, prop::ListCount), 0);

    int changes = 0;
    folders.on(toolkit::Event::Change, [&] { ++changes; });
    folders.set(prop::Path, folder.path());
    ASSERT_TRUE(settle());
    EXPECT_EQ(*reads, 1);
    EXPECT_EQ(changes, 1);  // The first folder is a change too.
}

TEST_F(Controls, FolderListShowsAncestorsThenSubfoldersAndOpensOnEnter)
{
    TestFolder folder;
    folder.folder("beta");
    folder.folder("Alpha");
    toolkit::Object& list = add(ControlKind::FolderList, "dirList");
    list.set(prop::Path, folder.path());
    ASSERT_TRUE(settle());

    auto* view = widget<QListView>("dirList");
    QStringList shown;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        shown << view->model()->index(row, 0).data().toString();
    QString own = QString::fromStdString(folder.path()).section('/', -1);
    EXPECT_EQ(shown.mid(shown.size() - 3), (QStringList{own, "Alpha", "beta"}));
    EXPECT_EQ(shown.front(), "/");

    // The highlight starts on the open folder; Down then Enter opens Alpha.
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(settle());
    EXPECT_EQ(list.get(prop::Path), Value(folder / "Alpha"));
}

TEST_F(Controls, AnErrorInAHandlerIsShownAndTheToolCarriesOn)
{
    std::vector<std::string> shown;
    toolkit::ScopedMessageBox recorder([&](const std::string& text) { shown.push_back(text); });
    toolkit::Object& button = add(ControlKind::CommandButton, "cmdGo");
    int clicks = 0;
    button.on(toolkit::Event::Click, [&] {
        ++clicks;
        throw Error("Nothing to scan.");
    });
    form.show();

    QTest::mouseClick(widget<QWidget>("cmdGo"), Qt::LeftButton);
    QTest::mouseClick(widget<QWidget>("cmdGo"), Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(shown, (std::vector<std::string>{"Nothing to scan.", "Nothing to scan."}));
}

}  // namespace

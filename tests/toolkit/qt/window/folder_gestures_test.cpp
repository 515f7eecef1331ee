#include "settle.h"
#include "test_folder.h"
#include "toolkit/form.h"
#include "toolkit/testing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <atomic>
#include <cstdlib>
#include <memory>

namespace {

namespace prop = toolkit::prop;

// Drops and pastes as a file manager and the desktop deliver them, on a
// window with the three lists and a text box.
class FolderGestures : public testing::Test {
protected:
    FolderGestures()
    {
        photos.folder("photos");
        photos.file("photos/b.jpg");
        photos.file("photos/a.jpg");
        photos.folder("elsewhere");
        photos.file("elsewhere/here.txt");
        form.control("dirNames").on(toolkit::Event::Change, [this] { ++folder_changes; });
        form.show();
        open(photos / "elsewhere");
        folder_changes = 0;
    }

    toolkit::Form form{"frmGestures", "Gestures", 4800, 3270, designs};
    static constexpr toolkit::ControlDesign designs[] = {
        {toolkit::ControlKind::TextBox, "txtNames", 1680, 240, 3120, 2340, 1, ""},
        {toolkit::ControlKind::FolderList, "dirNames", 0, 240, 1695, 2340, 0, ""},
        {toolkit::ControlKind::DriveList, "drvNames", 0, 0, 1695, 315, 3, ""},
        {toolkit::ControlKind::FileList, "filNames", 1680, 0, 3120, 285, 2, ""},
    };
    TestFolder photos;
    int folder_changes = 0;
    std::vector<std::string> messages;
    toolkit::ScopedMessageBox recorder{
        [this](const std::string& text) { messages.push_back(text); }};

    QWidget* top()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == "frmGestures" && widget->isVisible())
                return widget;
        return nullptr;
    }
    template <class W = QWidget> W* widget(const char* name) { return top()->findChild<W*>(name); }
    std::string current_folder() { return toolkit::get_text(form.control("dirNames"), prop::Path); }
    std::string text() { return toolkit::get_text(form.control("txtNames"), prop::Text); }
    void open(const std::string& path)
    {
        form.control("dirNames").set(prop::Path, path);
        EXPECT_TRUE(settle());
    }

    static std::unique_ptr<QMimeData> addresses(const QList<QUrl>& urls)
    {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(urls);
        return data;
    }
    static QUrl address_of(const std::string& path)
    {
        return QUrl::fromEncoded("file://" +
                                 QByteArray::fromStdString(path).toPercentEncoding("/"));
    }

    // The drag as it enters the window: whether it would be taken, and how.
    // Shift makes a file manager propose a move.
    std::pair<bool, Qt::DropAction> drag_over(const QMimeData& data,
                                              Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &data,
                              Qt::LeftButton, keys);
        QApplication::sendEvent(top(), &enter);
        return {enter.isAccepted(), enter.dropAction()};
    }
    // As a platform delivers it: entered first, then dropped. Gives the
    // action the drop was taken as.
    Qt::DropAction drop(const QMimeData& data, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        drag_over(data, keys);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                           keys);
        QApplication::sendEvent(top(), &dropped);
        EXPECT_TRUE(settle());
        return dropped.dropAction();
    }
    void paste_into(const char* control, const QString& clipboard)
    {
        QGuiApplication::clipboard()->setText(clipboard);
        QWidget* target = widget(control);
        target->setFocus();
        QTest::keyClick(target->focusProxy() ? target->focusProxy() : target, Qt::Key_V,
                        Qt::ControlModifier);
        EXPECT_TRUE(settle());
    }
};

TEST_F(FolderGestures, ADroppedFolderOpensAsIfTheUserWentThere)
{
    toolkit::ScopedVolumeSource volumes([this] {
        return std::vector<toolkit::Volume>{{"/", "/"}, {photos.path(), "Camera"}};
    });
    auto* drives = widget<QComboBox>("drvNames");
    drives->showPopup();
    drives->hidePopup();
    ASSERT_EQ(drives->currentText(), "/");

    auto data = addresses({address_of(photos / "photos")});
    auto [taken, action] = drag_over(*data);
    EXPECT_TRUE(taken);
    EXPECT_EQ(action, Qt::CopyAction);  // Never a move: the source keeps its files.
    EXPECT_EQ(drop(*data), Qt::CopyAction);

    EXPECT_EQ(current_folder(), photos / "photos");
    EXPECT_EQ(folder_changes, 1);  // A folder change, as any other.
    // The volume that holds it is shown, without a change of the drive list
    // that would send the folder list back to the volume's root.
    EXPECT_EQ(drives->currentText(), "Camera");
    EXPECT_TRUE(messages.empty());
}

TEST_F(FolderGestures, ADragThatProposesAMoveIsTakenAsACopy)
{
    auto data = addresses({address_of(photos / "photos")});
    QDragEnterEvent proposed(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, data.get(),
                             Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(proposed.proposedAction(), Qt::MoveAction);  // As a file manager asks on Shift.
    auto [taken, action] = drag_over(*data, Qt::ShiftModifier);
    EXPECT_TRUE(taken);
    EXPECT_EQ(action, Qt::CopyAction);
    EXPECT_EQ(drop(*data, Qt::ShiftModifier), Qt::CopyAction);
    EXPECT_EQ(current_folder(), photos / "photos");
}

TEST_F(FolderGestures, ADroppedFileOpensItsFolderAndTheFirstUsableItemCounts)
{
    auto data = addresses({QUrl("https://example.com/photos/"), QUrl("smb://server/share/"),
                           address_of(photos / "photos/b.jpg"), address_of(photos / "elsewhere")});
    EXPECT_TRUE(drag_over(*data).first);
    drop(*data);
    EXPECT_EQ(current_folder(), photos / "photos");
}

TEST_F(FolderGestures, WhatIsNotALocalFolderIsRefusedAndLosesNothing)
{
    auto words = std::make_unique<QMimeData>();
    words->setText("/not/a/drop");
    QUrl other_host = address_of(photos / "photos");
    other_host.setHost("elsewhere.example");
    const std::unique_ptr<QMimeData> refused[] = {
        std::move(words),
        addresses({QUrl("https://example.com/")}),
        addresses({QUrl("smb://server/share/photos")}),
        addresses({QUrl("sftp://host/home/user")}),
        addresses({other_host}),  // The same path, on another machine.
    };
    for (const auto& data : refused) {
        EXPECT_FALSE(drag_over(*data).first) << data->text().toStdString();
        drop(*data);
    }
    EXPECT_EQ(current_folder(), photos / "elsewhere");
    EXPECT_EQ(folder_changes, 0);
    EXPECT_TRUE(messages.empty());

    // A folder gone since the drag began: the usual message, nothing moves.
    photos.folder("gone");
    auto gone = addresses({address_of(photos / "gone")});
    photos.remove("gone");
    drop(*gone);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(current_folder(), photos / "elsewhere");
    EXPECT_EQ(folder_changes, 0);
}

TEST_F(FolderGestures, ANameThatIsNotUtf8ArrivesExactly)
{
    photos.folder("caf\xE9");
    photos.file("caf\xE9/menu.txt");
    auto data = addresses({address_of(photos / "caf\xE9")});
    ASSERT_TRUE(data->urls().front().toEncoded().contains("%E9"));
    drop(*data);
    EXPECT_EQ(current_folder(), photos / "caf\xE9");
}

TEST_F(FolderGestures, APastedPathOpensFromAnyListButPastesAsTextInTheTextBox)
{
    paste_into("dirNames", QString::fromStdString(photos / "photos") + "\n");
    EXPECT_EQ(current_folder(), photos / "photos");

    paste_into("filNames", address_of(photos / "elsewhere").toString());
    EXPECT_EQ(current_folder(), photos / "elsewhere");

    paste_into("dirNames", "not a path at all");
    QUrl other_host = address_of(photos / "photos");
    other_host.setHost("elsewhere.example");
    paste_into("dirNames", other_host.toString());
    EXPECT_EQ(current_folder(), photos / "elsewhere");
    EXPECT_TRUE(messages.empty());

    paste_into("txtNames", QString::fromStdString(photos / "photos"));
    EXPECT_EQ(current_folder(), photos / "elsewhere");
    EXPECT_EQ(text(), photos / "photos");
}

// Text that cannot be a path is refused at once, without a message: a path
// longer than the system allows, or a long text that starts like one.
TEST_F(FolderGestures, APasteTooLongToBeAPathIsRefusedSilently)
{
    std::string too_long = "/";
    while (too_long.size() < 5000)
        too_long += "very-long-folder-name/";
    auto reads = std::make_shared<std::atomic<int>>(0);
    toolkit::ScopedFolderReadHook hook([reads](const std::string&) { ++*reads; });
    paste_into("dirNames", QString::fromStdString(too_long));
    paste_into("filNames", "file://" + QString::fromStdString(too_long));
    paste_into("dirNames", QString(1'000'000, QLatin1Char('/')));
    EXPECT_EQ(*reads, 0);
    EXPECT_EQ(current_folder(), photos / "elsewhere");
    EXPECT_TRUE(messages.empty());
}

// The home folder of whoever runs the tool: ~ alone, and ~/ followed by a
// path inside it.
TEST_F(FolderGestures, APastedTildeIsTheHomeFolder)
{
    const char* saved = std::getenv("HOME");
    std::string home_before = saved ? saved : "";
    TestFolder home;
    home.folder("Pictures");
    home.folder("Pictures/2026");
    setenv("HOME", home.path().c_str(), 1);

    paste_into("drvNames", "~");
    EXPECT_EQ(current_folder(), home.path());
    open(photos / "elsewhere");
    paste_into("dirNames", "~/Pictures/2026");
    EXPECT_EQ(current_folder(), home / "Pictures/2026");
    paste_into("filNames", "~Pictures");  // Another user's home: not a path here.
    EXPECT_EQ(current_folder(), home / "Pictures/2026");

    if (saved)
        setenv("HOME", home_before.c_str(), 1);
    else
        unsetenv("HOME");
    EXPECT_TRUE(messages.empty());
}

}  // namespace

#include "app/window_fixture.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

// Drops and pastes as a file manager and the desktop deliver them.
class FolderGestures : public WindowTest {
protected:
    FolderGestures()
    {
        photos.folder("photos");
        photos.file("photos/b.jpg");
        photos.file("photos/a.jpg");
        photos.folder("elsewhere");
        photos.file("elsewhere/here.txt");
        open(photos / "elsewhere");
        click("cmdScan");
    }

    TestFolder photos;

    static std::unique_ptr<QMimeData> addresses(const QList<QUrl>& urls)
    {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(urls);
        return data;
    }
    static QUrl address_of(const std::string& path)
    {
        return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
    }

    // The drag as it enters the window: whether it would be taken, and how.
    std::pair<bool, Qt::DropAction> drag_over(const QMimeData& data)
    {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &data,
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(top(), &enter);
        return {enter.isAccepted(), enter.dropAction()};
    }
    // As a platform delivers it: entered first, then dropped.
    void drop(const QMimeData& data)
    {
        drag_over(data);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &data,
                           Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(top(), &dropped);
        QCoreApplication::processEvents();
    }
    void paste_into(const char* control, const QString& clipboard)
    {
        QGuiApplication::clipboard()->setText(clipboard);
        QWidget* target = widget(control);
        target->setFocus();
        QTest::keyClick(target->focusProxy() ? target->focusProxy() : target, Qt::Key_V,
                        Qt::ControlModifier);
        QCoreApplication::processEvents();
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
    drop(*data);

    EXPECT_EQ(current_folder(), photos / "photos");
    EXPECT_EQ(text(), "");  // A folder change, as any other.
    click("cmdScan");
    EXPECT_EQ(text(), "\ra.jpg\rb.jpg");
    // The volume that holds it is shown, without its own change moving the
    // folder list back to the volume's root.
    EXPECT_EQ(drives->currentText(), "Camera");
    EXPECT_TRUE(messages.empty());
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
    const std::unique_ptr<QMimeData> refused[] = {
        std::move(words),
        addresses({QUrl("https://example.com/")}),
        addresses({QUrl("smb://server/share/photos")}),
        addresses({QUrl("sftp://host/home/user")}),
    };
    for (const auto& data : refused) {
        EXPECT_FALSE(drag_over(*data).first) << data->text().toStdString();
        drop(*data);
    }
    EXPECT_EQ(current_folder(), photos / "elsewhere");
    EXPECT_EQ(text(), "\rhere.txt");
    EXPECT_TRUE(messages.empty());

    // A folder gone since the drag began: the usual message, nothing moves.
    photos.folder("gone");
    auto gone = addresses({address_of(photos / "gone")});
    photos.remove("gone");
    drop(*gone);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(current_folder(), photos / "elsewhere");
    EXPECT_EQ(text(), "\rhere.txt");
}

TEST_F(FolderGestures, ANameThatIsNotUtf8ArrivesExactly)
{
    photos.folder("caf\xE9");
    photos.file("caf\xE9/menu.txt");
    auto data = addresses({address_of(photos / "caf\xE9")});
    ASSERT_TRUE(data->urls().front().toEncoded().contains("%E9"));
    drop(*data);
    EXPECT_EQ(current_folder(), photos / "caf\xE9");
    click("cmdScan");
    EXPECT_EQ(text(), "\rmenu.txt");
}

TEST_F(FolderGestures, APastedPathOpensFromAnyListButPastesAsTextInTheTextBox)
{
    paste_into("dirNames", QString::fromStdString(photos / "photos") + "\n");
    EXPECT_EQ(current_folder(), photos / "photos");

    paste_into("filNames", address_of(photos / "elsewhere").toString());
    EXPECT_EQ(current_folder(), photos / "elsewhere");

    paste_into("drvNames", "~");
    EXPECT_EQ(current_folder(), QDir::homePath().toStdString());

    paste_into("dirNames", "not a path at all");
    EXPECT_EQ(current_folder(), QDir::homePath().toStdString());
    EXPECT_TRUE(messages.empty());

    open(photos / "elsewhere");
    paste_into("txtNames", QString::fromStdString(photos / "photos"));
    EXPECT_EQ(current_folder(), photos / "elsewhere");
    EXPECT_EQ(text(), photos / "photos");
}

}  // namespace

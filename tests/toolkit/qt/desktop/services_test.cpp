#include "toolkit/services.h"
#include "toolkit/testing.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QTest>

namespace {

TEST(Clipboard, HoldsPlainTextByteForByte)
{
    const std::string text = "\ra b.txt\r\xF0\x9F\x93\x81 emoji\r\r";
    toolkit::clear_clipboard();
    toolkit::put_clipboard_text(text);
    EXPECT_EQ(toolkit::clipboard_text(), text);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toUtf8().toStdString(), text);
}

// Other programs ask for UTF-8 bytes: they get the text as it is, and a
// byte that is not UTF-8 as U+FFFD, never as a byte they cannot read.
TEST(Clipboard, GivesOtherProgramsUtf8)
{
    const std::string text = "\rname \xC3\xA9\r\xF0\x9F\x93\x81";
    toolkit::put_clipboard_text(text);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data("text/plain").toStdString(), text);

    toolkit::put_clipboard_text("\rodd\xFF");
    data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data("text/plain").toStdString(), "\rodd\xEF\xBF\xBD");
    EXPECT_EQ(toolkit::clipboard_text(), "\rodd\xEF\xBF\xBD");
}

TEST(Clipboard, ReadsEmptyOnceCleared)
{
    toolkit::put_clipboard_text("something");
    toolkit::clear_clipboard();
    EXPECT_EQ(toolkit::clipboard_text(), "");
}

QMessageBox* shown_box()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible())
            return box;
    return nullptr;
}

// Guards nest, and once the last is gone the real box is back: a message is
// shown, not swallowed, by whatever runs next in the process.
TEST(Hooks, ReplaceAndRestore)
{
    {
        std::vector<std::string> outer;
        toolkit::ScopedMessageBox outer_recorder(
            [&](const std::string& text) { outer.push_back(text); });
        {
            std::vector<std::string> inner;
            toolkit::ScopedMessageBox inner_recorder(
                [&](const std::string& text) { inner.push_back(text); });
            toolkit::show_message("first");
            EXPECT_EQ(inner, std::vector<std::string>{"first"});
        }
        toolkit::show_message("second");
        EXPECT_EQ(outer, std::vector<std::string>{"second"});

        std::string opened;
        toolkit::ScopedOpener opener([&](const std::string& address) {
            opened = address;
            return false;
        });
        EXPECT_FALSE(toolkit::open_address("http://example.org/a page"));
        EXPECT_EQ(opened, "http://example.org/a page");
    }
    bool answered = false;
    toolkit::show_message("real", [&] { answered = true; });
    EXPECT_FALSE(answered);
    ASSERT_TRUE(QTest::qWaitFor([] { return shown_box() != nullptr; }, 10000));
    shown_box()->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, 10000));
}

TEST(Counted, SaysACountAsASentenceWould)
{
    EXPECT_EQ(toolkit::counted(0, "name", "names"), "No names");
    EXPECT_EQ(toolkit::counted(1, "name", "names"), "1 name");
    EXPECT_EQ(toolkit::counted(1234, "file", "files"), "1,234 files");
    EXPECT_EQ(toolkit::counted(1000000, "name", "names"), "1,000,000 names");
}

// However long a message's path or name, its box fits the screen: the line
// loses its middle, and the whole text stays in the box to select and copy.
TEST(MessageBox, FitsTheScreenAndKeepsTheWholeText)
{
    std::string long_name(300, 'n');
    std::string deep_path;
    while (deep_path.size() < 5000)
        deep_path += "/folder" + std::to_string(deep_path.size());
    for (const std::string& text : {"Cannot open the folder \"" + long_name + "\".",
                                    "Cannot open the folder \"" + deep_path + "\".",
                                    std::string("Une erreur s'est produite")}) {
        SCOPED_TRACE(text.substr(0, 40));
        bool answered = false;
        toolkit::show_message(text, [&] { answered = true; });
        ASSERT_TRUE(QTest::qWaitFor([] { return shown_box() != nullptr; }, 10000));
        QMessageBox* box = shown_box();
        QRect screen = box->screen()->availableGeometry();
        EXPECT_LE(box->frameGeometry().width(), screen.width());
        EXPECT_LE(box->frameGeometry().height(), screen.height());
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        ASSERT_NE(label, nullptr);
        bool whole_in_box =
            label->text().toStdString() == text || box->detailedText().toStdString() == text;
        EXPECT_TRUE(whole_in_box);
        EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse);
        box->button(QMessageBox::Ok)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, 10000));
    }
}

}  // namespace

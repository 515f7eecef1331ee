#include "app/design.h"
#include "app/window_fixture.h"
#include "toolkit/testing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

namespace {

namespace prop = toolkit::prop;

class WebLink : public testing::Test {
protected:
    WebLink()
    {
        // A menu-text color of the desktop's that cannot pass for black.
        QPalette menu = QApplication::palette("QMenu");
        menu.setColor(QPalette::WindowText, QColor(0x12, 0x34, 0x56));
        QApplication::setPalette(menu, "QMenu");
        window = std::make_unique<app::frmMain>();
        window->show();
        label = top()->findChild<QLabel*>("lblWeb");
    }
    ~WebLink() override { QApplication::setPalette(QPalette(), "QMenu"); }

    QWidget* top() { return shown_main_window(); }

    // Offscreen, a move to where the pointer already is raises nothing, so
    // each move goes through a second point of the same widget.
    void hover(QWidget* widget, QPoint at)
    {
        QTest::mouseMove(widget, at + QPoint(1, 0));
        QTest::mouseMove(widget, at);
    }
    void hover_label() { hover(label, label->rect().center()); }
    // Between the folder list and the label: no control there.
    void hover_bare_area() { hover(top(), QPoint(100, 174)); }

    QColor color() { return label->palette().color(QPalette::WindowText); }
    bool underlined() { return label->font().underline(); }

    std::unique_ptr<app::frmMain> window;
    QLabel* label = nullptr;
    std::vector<std::string> messages;
    toolkit::ScopedMessageBox recorder{
        [this](const std::string& text) { messages.push_back(text); }};
};

TEST_F(WebLink, ShowsTheMakersAddressCentred)
{
    EXPECT_EQ(label->text(), QString::fromUtf8(app::MakerAddress));
    EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
}

TEST_F(WebLink, LooksLikeALinkUnderThePointerAndPlainOverTheBareWindow)
{
    ASSERT_EQ(top()->childAt(100, 174), nullptr);
    EXPECT_EQ(color(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(window->form().control("lblWeb").get(prop::ForeColor),
              toolkit::Value(toolkit::color::MenuText));
    EXPECT_FALSE(underlined());

    hover_label();
    EXPECT_EQ(color(), QColor(0, 0, 255));
    EXPECT_TRUE(underlined());

    // No event says the pointer left the label: the link look stays over
    // another control.
    for (const char* other : {"txtNames", "dirNames", "drvNames", "filNames", "cmdScan"}) {
        SCOPED_TRACE(other);
        hover(top()->findChild<QWidget*>(other), QPoint(8, 8));
        EXPECT_EQ(color(), QColor(0, 0, 255));
        EXPECT_TRUE(underlined());
    }

    // A control that tracks the pointer but lets its moves through hands
    // them to the window, over the control: still not the bare area.
    QWidget* text_box = top()->findChild<QWidget*>("txtNames");
    QPointF over_text_box = text_box->geometry().center();
    QMouseEvent passed_on(QEvent::MouseMove, over_text_box, top()->mapToGlobal(over_text_box),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(top(), &passed_on);
    EXPECT_EQ(color(), QColor(0, 0, 255));

    hover_bare_area();
    EXPECT_EQ(color(), QColor(0, 0, 0));
    EXPECT_FALSE(underlined());

    hover_label();
    hover_bare_area();
    EXPECT_EQ(color(), QColor(0, 0, 0));  // The first look never returns.
}

TEST_F(WebLink, AClickHandsTheAddressToTheDesktop)
{
    std::vector<std::string> opened;
    toolkit::ScopedOpener opener([&](const std::string& address) {
        opened.push_back(address);
        return true;
    });
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(opened, std::vector<std::string>{std::string(app::MakerAddress)});
    EXPECT_TRUE(messages.empty());
}

TEST_F(WebLink, ARefusedClickSaysSoOncePerClick)
{
    toolkit::ScopedOpener opener([](const std::string&) { return false; });
    QTest::mouseClick(label, Qt::LeftButton);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Une erreur s'est produite", "Une erreur s'est produite"}));
}

TEST_F(WebLink, PointsWithAHandOfItsOwn)
{
    QCursor cursor = label->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(13, 4));
    EXPECT_EQ(cursor.bitmap().size(), QSize(32, 32));
    EXPECT_EQ(cursor.mask().size(), QSize(32, 32));
    // The hot spot is on the drawn finger, not on a transparent pixel.
    EXPECT_EQ(cursor.mask().toImage().pixelIndex(13, 4), 1);
}

}  // namespace

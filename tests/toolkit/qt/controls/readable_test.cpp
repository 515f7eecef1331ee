#include "toolkit/form.h"
#include "toolkit/qt/controls/readable.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace {

using toolkit::ControlKind;
using toolkit::Value;
namespace prop = toolkit::prop;

// A theme put on the whole program for one test, and taken off after it.
class Themed : public testing::Test {
protected:
    ~Themed() override
    {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }

    static QPalette dark()
    {
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(0x32, 0x32, 0x32));
        palette.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
        palette.setColor(QPalette::Button, QColor(0x45, 0x45, 0x45));
        palette.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
        palette.setColor(QPalette::Base, QColor(0x2D, 0x2D, 0x2D));
        palette.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
        palette.setColor(QPalette::Link, QColor(0x8A, 0xB4, 0xF8));
        return palette;
    }

    // The window as drawn, and the part of it `name` covers.
    QImage drawn(std::string_view name)
    {
        QWidget* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frmTest")
                window = top;
        QWidget* control = window->findChild<QWidget*>(QString::fromUtf8(name));
        return window->grab().toImage().copy(control->geometry());
    }

    // The pixel of `image` that stands out most from `background`.
    static QColor inkiest(const QImage& image, const QColor& background)
    {
        QColor best = background;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                QColor pixel = image.pixelColor(x, y);
                if (toolkit::contrast_ratio(pixel, background) >
                    toolkit::contrast_ratio(best, background))
                    best = pixel;
            }
        return best;
    }

private:
    QPalette m_palette = QApplication::palette();
    QFont m_font = QApplication::font();
};

TEST(Contrast, RunsFromTheSameColourToBlackOnWhite)
{
    EXPECT_DOUBLE_EQ(toolkit::contrast_ratio(Qt::black, Qt::black), 1.0);
    EXPECT_NEAR(toolkit::contrast_ratio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(toolkit::contrast_ratio(Qt::white, Qt::black), 21.0, 1e-9);
    // Black on the dark grey of a common dark theme hardly shows.
    EXPECT_LT(toolkit::contrast_ratio(Qt::black, QColor(0x32, 0x32, 0x32)), 2.0);
}

TEST_F(Themed, ALinkStaysReadableOnADarkWindowAndExactOnALightOne)
{
    for (bool is_dark : {false, true}) {
        SCOPED_TRACE(is_dark ? "dark" : "light");
        QPalette palette = is_dark ? dark() : QPalette(Qt::white);
        QApplication::setPalette(palette);
        toolkit::Form form{"frmTest", "Test", 4800, 3270};
        toolkit::Object& link = form.add_control(
            {ControlKind::Label, "lblLink", 0, 0, 4800, 600, 0, "http://tobrel.example/"});
        QColor window = palette.color(QPalette::Window);

        for (std::int32_t color : {0x000000, 0xFF0000}) {
            link.set(prop::ForeColor, color);
            EXPECT_EQ(link.get(prop::ForeColor), Value(color));  // Read back as set.
            QColor ink = inkiest(drawn("lblLink"), window);
            EXPECT_GE(toolkit::contrast_ratio(ink, window), toolkit::readable_contrast) << color;
            if (!is_dark) {  // Where the asked colour reads, it is drawn as asked.
                EXPECT_EQ(ink, QColor(color & 0xFF, (color >> 8) & 0xFF, color >> 16));
            }
        }
    }
}

TEST_F(Themed, ALinkFollowsATurnToADarkTheme)
{
    toolkit::Form form{"frmTest", "Test", 4800, 3270};
    toolkit::Object& link = form.add_control(
        {ControlKind::Label, "lblLink", 0, 0, 4800, 600, 0, "http://tobrel.example/"});
    QApplication::setPalette(QPalette(Qt::white));
    link.set(prop::ForeColor, 0xFF0000);  // Blue, as under the pointer.
    QApplication::setPalette(dark());
    QCoreApplication::sendPostedEvents();  // The theme reaches each widget.

    QColor window = dark().color(QPalette::Window);
    QColor ink = inkiest(drawn("lblLink"), window);
    EXPECT_GE(toolkit::contrast_ratio(ink, window), toolkit::readable_contrast);
}

TEST_F(Themed, ACaptionFitsItsButtonInAWideFont)
{
    QFont wide = QApplication::font();
    wide.setPixelSize(20);
    QApplication::setFont(wide);
    toolkit::Form form{"frmTest", "Test", 4800, 3270};
    form.add_control(
        {ControlKind::CommandButton, "cmdCopy", 0, 0, 1600, 375, 0, "&Copy to clipboard"});
    QImage image = drawn("cmdCopy");
    QColor face = image.pixelColor(image.width() / 2, 3);

    // The caption's ink spans less than the button, clear of both ends:
    // drawn at the font's own size it would be cut at both.
    int first = image.width(), last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y)
            if (toolkit::contrast_ratio(image.pixelColor(x, y), face) > 3.0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    ASSERT_LE(first, last) << "no caption drawn";
    EXPECT_GT(first, 2);
    EXPECT_LT(last, image.width() - 3);
    EXPECT_GT(last - first, image.width() / 2);  // Still a caption, not a speck.
}

}  // namespace

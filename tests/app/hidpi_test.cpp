// Runs with QT_SCALE_FACTOR=2 (set by the test's registration): the window
// is drawn with twice the pixels, while every length in twips, and so the
// layout, is what it is at 96 DPI.
#include "app/design.h"
#include "app/window_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWindow>

namespace {

namespace prop = toolkit::prop;

class HighDpi : public WindowTest { };

TEST_F(HighDpi, DrawsTwiceThePixelsForTheSameTwips)
{
    ASSERT_EQ(top()->windowHandle()->devicePixelRatio(), 2.0);
    QPixmap drawn = top()->grab();
    EXPECT_EQ(drawn.size(), QSize(640, 436));

    EXPECT_EQ(window.form().get(prop::ScaleWidth), toolkit::Value(4800.0f));
    EXPECT_EQ(window.form().get(prop::ScaleHeight), toolkit::Value(3270.0f));
    for (const toolkit::ControlDesign& design : app::frmMainControls) {
        SCOPED_TRACE(std::string(design.name));
        EXPECT_EQ(twips(design.name),
                  (std::array<float, 4>{design.left_twips, design.top_twips, design.width_twips,
                                        design.height_twips}));
    }
}

TEST_F(HighDpi, ScalesFromTheSameRegisteredTwips)
{
    top()->resize(400, 327);
    QTRY_COMPARE(top()->size(), QSize(400, 327));
    EXPECT_EQ(twips("txtNames"), (std::array<float, 4>{2100, 360, 3900, 3510}));
    EXPECT_EQ(top()->findChild<QWidget*>("txtNames")->geometry(), QRect(140, 24, 260, 234));
    EXPECT_EQ(top()->grab().size(), QSize(800, 654));
}

}  // namespace

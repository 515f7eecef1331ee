#include "app/design.h"
#include "app/window_fixture.h"
#include "layout/resize.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QListView>
#include <QPushButton>
#include <QTest>

namespace {

namespace prop = toolkit::prop;

class MainWindowLayout : public WindowTest {
protected:
    // Sizes the client area in pixels, as a user dragging the border would.
    void resize_client(int width_px, int height_px)
    {
        top()->resize(width_px, height_px);
        QTRY_COMPARE(top()->size(), QSize(width_px, height_px));
    }
};

TEST_F(MainWindowLayout, RegistersTheDesignLayoutOnTheFirstSizeReport)
{
    Resize::Registry& registry = Resize::registry();
    std::int32_t form = registry.FindForm(window.form());
    ASSERT_GE(form, 0);
    // Every main window of this process shares the one set of records.
    EXPECT_EQ(registry.FormCount, 1);
    EXPECT_EQ(registry.ControlCount, 8);
    EXPECT_EQ(registry.FormRecords[static_cast<std::size_t>(form)].ScaleWidth, 4800);
    EXPECT_EQ(registry.FormRecords[static_cast<std::size_t>(form)].ScaleHeight, 3270);

    for (const toolkit::ControlDesign& design : app::frmMainControls) {
        SCOPED_TRACE(std::string(design.name));
        std::int32_t position = registry.FindControl(window.form().control(design.name), "frmMain");
        ASSERT_GE(position, 0);
        const Resize::LayoutRecord& record =
            registry.ControlRecords[static_cast<std::size_t>(position)];
        EXPECT_EQ(record.ParentName, "frmMain");
        EXPECT_EQ((std::array<float, 4>{
                      static_cast<float>(record.Left), static_cast<float>(record.Top),
                      static_cast<float>(record.Width), static_cast<float>(record.Height)}),
                  (std::array<float, 4>{design.left_twips, design.top_twips, design.width_twips,
                                        design.height_twips}));
        EXPECT_EQ(twips(design.name),
                  (std::array<float, 4>{design.left_twips, design.top_twips, design.width_twips,
                                        design.height_twips}));
    }
}

TEST_F(MainWindowLayout, ScalesEveryControlAndComesBackExactly)
{
    resize_client(400, 327);  // 6000 × 4905 twips: 125 and 150 percent.
    EXPECT_EQ(twips("txtNames"), (std::array<float, 4>{2100, 360, 3900, 3510}));
    QWidget* text = top()->findChild<QWidget*>("txtNames");
    EXPECT_EQ(text->geometry(), QRect(140, 24, 260, 234));
    EXPECT_EQ(twips("cmdExit"), (std::array<float, 4>{4000, 4320, 2000, 562}));

    // The drive list keeps its one height: moved and widened, never covering
    // the folder list below it.
    EXPECT_EQ(twips("drvNames"), (std::array<float, 4>{0, 0, 2118, 315}));
    EXPECT_LE(top()->findChild<QWidget*>("drvNames")->geometry().bottom(),
              top()->findChild<QWidget*>("dirNames")->geometry().top());

    resize_client(333, 218);  // 4995 twips wide: 104 percent.
    EXPECT_EQ(twips("txtNames"), (std::array<float, 4>{1747, 240, 3244, 2340}));

    resize_client(320, 218);
    for (const toolkit::ControlDesign& design : app::frmMainControls) {
        SCOPED_TRACE(std::string(design.name));
        EXPECT_EQ(twips(design.name),
                  (std::array<float, 4>{design.left_twips, design.top_twips, design.width_twips,
                                        design.height_twips}));
    }
    EXPECT_EQ(text->geometry(), QRect(112, 16, 208, 156));
}

TEST_F(MainWindowLayout, GoesNoSmallerThanItsControlsCanBeUsedAt)
{
    QSize smallest = top()->minimumSize();
    EXPECT_GT(smallest.width(), 320 / 2);
    EXPECT_GT(smallest.height(), 218 / 2);
    EXPECT_LE(smallest.width(), 320);  // The designed size stays usable.
    EXPECT_LE(smallest.height(), 218);

    // Asked for far less, the window stops at its smallest size, where the
    // one-row file list still shows a whole row and each caption fits.
    top()->resize(1, 1);
    QTRY_COMPARE(top()->size(), smallest);
    auto* files = top()->findChild<QListView*>("filNames");
    ASSERT_NE(files, nullptr);
    EXPECT_GE(files->viewport()->height(), files->sizeHintForRow(0));
    for (auto* button : top()->findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->text().toStdString());
        QFont smallest_caption = button->font();
        smallest_caption.setPixelSize(8);
        EXPECT_LE(QFontMetrics(smallest_caption).size(Qt::TextShowMnemonic, button->text()).width(),
                  button->width());
    }
}

}  // namespace

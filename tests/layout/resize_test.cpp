#include "layout/fake_object.h"
#include "layout/resize.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Resize::Registry;

struct Geometry {
    float left, top, width, height;
    bool operator==(const Geometry&) const = default;
};

void PrintTo(const Geometry& g, std::ostream* out)
{
    *out << "(" << g.left << ", " << g.top << ", " << g.width << ", " << g.height << ")";
}

Geometry geometry(const FakeObject& control)
{
    return {control.twips("Left"), control.twips("Top"), control.twips("Width"),
            control.twips("Height")};
}

// A window laid out like the main window's text box and buttons, with a
// fresh registry of its own.
class Resizing : public testing::Test {
protected:
    Resizing()
    {
        form.add(text);
        form.add(button);
    }

    void report_size(float client_width, float client_height)
    {
        form.with("ScaleWidth", client_width).with("ScaleHeight", client_height);
        for (toolkit::Object* control : form.controls())
            registry.ResizeControl(*control, form);
    }

    Registry registry;
    FakeObject form = FakeObject("frmMain",
                                 {{"Left", 0.0f},
                                  {"Top", 0.0f},
                                  {"Width", 4920.0f},
                                  {"Height", 3675.0f},
                                  {"ScaleWidth", 4800.0f},
                                  {"ScaleHeight", 3270.0f}});
    FakeObject text = FakeObject::box("txtNames", 1680, 240, 3120, 2340);
    FakeObject button = FakeObject::box("cmdScan", 0, 2880, 1600, 375);
};

TEST_F(Resizing, ScalesFromTheLayoutOfTheFirstSizeReport)
{
    struct Case {
        float client_width, client_height;
        Geometry text;
    };
    const Case cases[] = {
        {4800, 3270, {1680, 240, 3120, 2340}},  // The first report moves nothing.
        {6000, 4905, {2100, 360, 3900, 3510}},  // 125 and 150 percent.
        {5000, 3270, {1747, 240, 3244, 2340}},  // 104 percent, truncated.
        {2400, 1635, {840, 120, 1560, 1170}},
        {4800, 3270, {1680, 240, 3120, 2340}},  // Back to the registered size.
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.client_width << " x " << c.client_height);
        report_size(c.client_width, c.client_height);
        EXPECT_EQ(geometry(text), c.text);
    }
    form.with("ScaleWidth", 5000.0f);
    EXPECT_EQ(registry.WidthPercent(form), 104);
    form.with("ScaleWidth", 6000.0f).with("ScaleHeight", 4905.0f);
    EXPECT_EQ(registry.WidthPercent(form), 125);
    EXPECT_EQ(registry.HeightPercent(form), 150.0f);
}

TEST_F(Resizing, CollapsesAtZeroAndComesBackExactly)
{
    report_size(4800, 3270);
    button.with("Left", -74500.0f);  // Parked after registration.
    report_size(0, 0);
    EXPECT_EQ(geometry(text), (Geometry{0, 0, 0, 0}));
    EXPECT_EQ(geometry(button), (Geometry{-75000, 0, 0, 0}));

    report_size(4800, 3270);
    EXPECT_EQ(geometry(text), (Geometry{1680, 240, 3120, 2340}));
    EXPECT_EQ(geometry(button), (Geometry{-75000, 2880, 1600, 375}));
}

TEST_F(Resizing, ParkedControlsStayParkedAndVisibleOnesShow)
{
    FakeObject parked = FakeObject::box("cmdHidden", -74500, 0, 100, 100);
    form.add(parked);
    report_size(4800, 3270);
    EXPECT_EQ(registry.ControlRecords[2].Left, 500);

    report_size(6000, 3270);
    EXPECT_EQ(parked.twips("Left"), 625 - 75000);
    parked.with("Left", 10.0f);  // Shown again by the program.
    report_size(6000, 3270);
    EXPECT_EQ(parked.twips("Left"), 625);
}

TEST_F(Resizing, RefusedDimensionsDoNotStopTheOthers)
{
    report_size(4800, 3270);
    text.refuse("Height");
    button.refuse("Height").refuse("Width");
    report_size(6000, 4905);
    EXPECT_EQ(geometry(text), (Geometry{2100, 360, 3900, 2340}));
    EXPECT_EQ(geometry(button), (Geometry{0, 4320, 1600, 375}));
    EXPECT_EQ(text.moves, 3 + 3);  // All three attempts, every time.
}

TEST_F(Resizing, AProductBeyond32BitsSkipsOnlyItsStep)
{
    FakeObject wide = FakeObject::box("txtWide", 100, 200, 30000000, 400);
    form.add(wide);
    report_size(4800, 3270);
    report_size(9600, 6540);  // 30,000,000 × 200 does not fit.
    EXPECT_EQ(geometry(wide), (Geometry{200, 400, 0, 800}));
}

TEST_F(Resizing, AControlWithoutARecordEndsAtTheOrigin)
{
    report_size(4800, 3270);
    FakeObject late = FakeObject::box("cmdLate", 300, 300, 300, 300);
    registry.ResizeControl(late, form);
    EXPECT_EQ(geometry(late), (Geometry{0, 0, 0, 0}));
}

TEST_F(Resizing, ALineMovesByItsEnds)
{
    FakeObject line("linRule",
                    {{"X1", -74000.0f}, {"Y1", 100.0f}, {"X2", 4800.0f}, {"Y2", 100.0f}});
    line.make_line();
    form.add(line);
    report_size(4800, 3270);
    report_size(2400, 6540);
    EXPECT_EQ(line.twips("X1"), 500 - 75000);
    EXPECT_EQ(line.twips("Y1"), 200);
    EXPECT_EQ(line.twips("X2"), 2400);
    EXPECT_EQ(line.twips("Y2"), 200);
    EXPECT_EQ(line.moves, 0);
}

// A window first seen with an empty client area must not become the
// reference: every later ratio would divide by zero.
TEST_F(Resizing, WaitsForANonEmptyClientAreaBeforeRegistering)
{
    report_size(0, 3270);
    report_size(4800, 0);
    EXPECT_EQ(registry.FormCount, 0);
    EXPECT_EQ(geometry(text), (Geometry{1680, 240, 3120, 2340}));
    EXPECT_EQ(text.moves, 0);

    report_size(2400, 1635);  // The first real size becomes the reference.
    EXPECT_EQ(registry.FormRecords[0].ScaleWidth, 2400);
    EXPECT_EQ(geometry(text), (Geometry{1680, 240, 3120, 2340}));
    report_size(4800, 3270);
    EXPECT_EQ(geometry(text), (Geometry{3360, 480, 6240, 4680}));
}

TEST_F(Resizing, NothingEscapesFromAControlThatFailsEverywhere)
{
    report_size(4800, 3270);
    // Every step fails and is skipped (an escape would end the program).
    FakeObject broken("cmdBroken");
    broken.lack("Name").refuse("Move");
    registry.ResizeControl(broken, form);
    // A window it cannot name is one it cannot look up: its steps fail too.
    FakeObject nameless_window("x");
    nameless_window.lack("Name");
    registry.ResizeControl(text, nameless_window);
    // And what the registry knows still scales from its records as before.
    report_size(9600, 3270);
    EXPECT_EQ(geometry(text), (Geometry{3360, 240, 6240, 2340}));
}

}  // namespace

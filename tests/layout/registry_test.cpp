#include "layout/fake_object.h"
#include "layout/resize.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using Resize::LayoutRecord;
using Resize::Registry;
using toolkit::Error;

constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

FakeObject window(std::string name = "frmTest", float client_width = 4800,
                  float client_height = 3270)
{
    return FakeObject(std::move(name),
                      {{"Left", 900.0f},
                       {"Top", 600.0f},
                       {"Width", 4920.0f},
                       {"Height", 3675.0f},
                       {"ScaleWidth", client_width},
                       {"ScaleHeight", client_height}});
}

TEST(RoundTwips, HalvesGoToTheEvenNeighbour)
{
    const std::pair<float, std::int32_t> cases[] = {
        {2.5f, 2},    {3.5f, 4},    {-2.5f, -2}, {-3.5f, -4},     {0.5f, 0},           {1.5f, 2},
        {2.4999f, 2}, {2.5001f, 3}, {-0.4f, 0},  {1679.5f, 1680}, {-74500.0f, -74500},
    };
    for (auto [twips, whole] : cases) {
        SCOPED_TRACE(twips);
        EXPECT_EQ(Resize::RoundTwips(twips), whole);
    }
    EXPECT_THROW(Resize::RoundTwips(3e9f), Error);
    EXPECT_THROW(Resize::RoundTwips(std::numeric_limits<float>::quiet_NaN()), Error);
}

TEST(AddControl, RecordsVisibleLeftOfParkedControls)
{
    const std::pair<float, std::int32_t> cases[] = {{-74500, 500}, {-75000, 0}, {0, 0},
                                                    {1680, 1680},  {-1, 74999}, {2.5f, 2}};
    for (auto [left, recorded] : cases) {
        SCOPED_TRACE(left);
        Registry registry;
        FakeObject control = FakeObject::box("txtNames", left, 240, 3120, 2340);
        registry.AddControl(control, "frmMain");
        EXPECT_EQ(registry.ControlRecords[0].Left, recorded);
    }
}

TEST(AddControl, TakesWhatItCanFromAControlLackingProperties)
{
    Registry registry;
    FakeObject full = FakeObject::box("full", 10, 20, 30, 40);
    FakeObject sparse = FakeObject::box("sparse", 10, 20, 30, 40);
    sparse.lack("Top").lack("Width").lack("Name");

    EXPECT_EQ(registry.AddControl(full, "frmA"), 0);
    EXPECT_EQ(registry.AddControl(sparse, "frmA"), 1);
    EXPECT_EQ(registry.ControlCount, 2);
    const LayoutRecord& record = registry.ControlRecords[1];
    EXPECT_EQ(record.Name, "");
    EXPECT_EQ(record.ParentName, "frmA");
    EXPECT_EQ(record.Left, 10);
    EXPECT_EQ(record.Top, 0);
    EXPECT_EQ(record.Height, 40);
    EXPECT_EQ(record.Width, 0);
    EXPECT_EQ(record.Index, 0);
}

TEST(AddControl, TurnsOffIntegralHeightWhereAccepted)
{
    Registry registry;
    FakeObject list = FakeObject::box("filNames", 0, 0, 100, 100).with("IntegralHeight", true);
    FakeObject stubborn = FakeObject::box("dirNames", 0, 0, 100, 100).with("IntegralHeight", true);
    stubborn.refuse("IntegralHeight");
    FakeObject button = FakeObject::box("cmdScan", 0, 0, 100, 100);

    registry.AddControl(list, "frmA");
    registry.AddControl(stubborn, "frmA");
    registry.AddControl(button, "frmA");
    EXPECT_EQ(list.get("IntegralHeight"), toolkit::Value(false));
    EXPECT_EQ(stubborn.get("IntegralHeight"), toolkit::Value(true));
    EXPECT_EQ(registry.ControlCount, 3);
}

TEST(AddControl, RecordsALineByItsEnds)
{
    Registry registry;
    FakeObject line("linSplit", {{"X1", -74000.0f}, {"Y1", 20.0f}, {"X2", 3000.0f}, {"Y2", 40.0f}});
    line.make_line();
    registry.AddControl(line, "frmA");
    const LayoutRecord& record = registry.ControlRecords[0];
    EXPECT_EQ(record.Top, 20);
    EXPECT_EQ(record.Left, 1000);
    EXPECT_EQ(record.Height, 40);
    EXPECT_EQ(record.Width, 3000);
}

TEST(Counts, OverflowIsAnErrorNotAWrap)
{
    Registry registry;
    registry.ControlCount = int32_max;
    FakeObject control = FakeObject::box("txtNames", 0, 0, 1, 1);
    EXPECT_THROW(registry.AddControl(control, "frmA"), Error);
    EXPECT_EQ(registry.ControlCount, int32_max);

    registry.FormCount = int32_max;
    FakeObject form = window();
    EXPECT_THROW(registry.AddForm(form), Error);
    EXPECT_EQ(registry.FormCount, int32_max);
}

TEST(FindControl, MatchesByWindowNameAndIndex)
{
    Registry registry;
    FakeObject first = FakeObject::box("cmdDigit", 0, 0, 1, 1).with("Index", std::int32_t{1});
    FakeObject second = FakeObject::box("cmdDigit", 0, 0, 1, 1).with("Index", std::int32_t{2});
    FakeObject other_window =
        FakeObject::box("cmdDigit", 0, 0, 1, 1).with("Index", std::int32_t{2});
    registry.AddControl(first, "frmA");
    registry.AddControl(second, "frmA");

    EXPECT_EQ(registry.FindControl(first, "frmA"), 0);
    EXPECT_EQ(registry.FindControl(second, "frmA"), 1);
    EXPECT_EQ(registry.FindControl(other_window, "frmB"), -1);
    FakeObject third = FakeObject::box("cmdDigit", 0, 0, 1, 1).with("Index", std::int32_t{3});
    EXPECT_EQ(registry.FindControl(third, "frmA"), -1);
}

TEST(FindControl, MatchesOutsideArrayWhateverIndex)
{
    Registry registry;
    FakeObject element = FakeObject::box("txtNames", 0, 0, 1, 1).with("Index", std::int32_t{7});
    registry.AddControl(element, "frmA");
    FakeObject single = FakeObject::box("txtNames", 0, 0, 1, 1);  // Reading Index fails.
    EXPECT_EQ(registry.FindControl(single, "frmA"), 0);
}

TEST(FindControl, ComparesNamesCaseSensitively)
{
    Registry registry;
    FakeObject text1 = FakeObject::box("Text1", 0, 0, 1, 1);
    registry.AddControl(text1, "frmA");
    FakeObject upper = FakeObject::box("TEXT1", 0, 0, 1, 1);
    EXPECT_EQ(registry.FindControl(upper, "frmA"), -1);
    EXPECT_EQ(registry.FindControl(text1, "FRMA"), -1);
}

TEST(FindControl, OtherFailuresReachTheCaller)
{
    Registry registry;
    FakeObject named = FakeObject::box("txtNames", 0, 0, 1, 1);
    registry.AddControl(named, "frmA");
    FakeObject nameless = FakeObject::box("x", 0, 0, 1, 1);
    nameless.lack("Name");
    EXPECT_THROW(registry.FindControl(nameless, "frmA"), Error);
    // A record of another window is passed before the name is read.
    EXPECT_EQ(registry.FindControl(nameless, "frmB"), -1);
}

TEST(AddForm, RegistersTheWindowAndEachOfItsControlsOnce)
{
    Registry registry;
    FakeObject form = window();
    FakeObject text = FakeObject::box("txtNames", 1680, 240, 3120, 2340);
    FakeObject list = FakeObject::box("dirNames", 0, 240, 1695, 2340);
    form.add(text);
    form.add(list);

    EXPECT_EQ(registry.FindForm(form), -1);
    EXPECT_EQ(registry.AddForm(form), 0);
    EXPECT_EQ(registry.FindForm(form), 0);
    const LayoutRecord& record = registry.FormRecords[0];
    EXPECT_EQ(record.Name, "frmTest");
    EXPECT_EQ(std::vector<std::int32_t>({record.Top, record.Left, record.Height, record.Width,
                                         record.ScaleHeight, record.ScaleWidth}),
              std::vector<std::int32_t>({600, 900, 3675, 4920, 3270, 4800}));
    ASSERT_EQ(registry.ControlCount, 2);
    EXPECT_EQ(registry.ControlRecords[1].Name, "dirNames");
    EXPECT_EQ(registry.ControlRecords[1].ParentName, "frmTest");

    // A second window of the same name shares the records.
    FakeObject twin = window();
    FakeObject twin_text = FakeObject::box("txtNames", 1, 1, 1, 1);
    twin.add(twin_text);
    EXPECT_EQ(registry.FindForm(twin), 0);
    EXPECT_EQ(registry.FindControl(twin_text, "frmTest"), 0);
    FakeObject other = window("FRMTEST");
    EXPECT_EQ(registry.FindForm(other), -1);
}

TEST(AddForm, FailsOnAWindowThatCannotGiveItsSize)
{
    Registry registry;
    FakeObject form = window();
    form.lack("ScaleHeight");
    EXPECT_THROW(registry.AddForm(form), Error);
    EXPECT_EQ(registry.FormCount, 0);
}

}  // namespace

#include "layout/resize.h"

#include "toolkit/checked.h"

#include <cmath>
#include <limits>

namespace Resize {

namespace {

namespace prop = toolkit::prop;
using toolkit::Error;

// Runs one step of a routine whose steps are guarded one by one: a step that
// fails is skipped, and whatever it would have set keeps its value.
template <class Step> void guarded(Step&& step) noexcept
{
    try {
        step();
    } catch (const Error&) {
    }
}

std::int32_t read_twips(const toolkit::Object& object, std::string_view property)
{
    return RoundTwips(toolkit::get_twips(object, property));
}

// Whole numbers come as they are; lengths are rounded like any twips.
std::int32_t read_whole(const toolkit::Object& object, std::string_view property)
{
    toolkit::Value value = object.get(property);
    if (auto* whole = std::get_if<std::int32_t>(&value))
        return *whole;
    return read_twips(object, property);
}

// v × p / 100, truncated toward zero. The product is formed wide, and one
// that does not fit 32 bits fails the step that needs it.
std::int32_t scaled(std::int32_t value, std::int64_t percent)
{
    std::int64_t product = static_cast<std::int64_t>(value) * percent;
    if (product < std::numeric_limits<std::int32_t>::min() ||
        product > std::numeric_limits<std::int32_t>::max())
        throw Error("Overflow.");
    return static_cast<std::int32_t>(product / 100);
}

// The current client length × 100, rounded, over the registered one.
std::int32_t percent_of(float current_twips, std::int32_t registered_twips)
{
    std::int32_t current = RoundTwips(current_twips * 100.0f);
    if (registered_twips == 0)
        throw Error("Division by zero.");
    if (registered_twips == -1 && current == std::numeric_limits<std::int32_t>::min())
        throw Error("Overflow.");
    return current / registered_twips;
}

// A window whose client area is empty in either direction gives no ratio to
// scale from; it is registered once it has one.
bool has_empty_client(const toolkit::Object& window)
{
    return read_twips(window, prop::ScaleWidth) == 0 || read_twips(window, prop::ScaleHeight) == 0;
}

}  // namespace

std::int32_t VisibleLeft(std::int32_t x) { return x >= 0 ? x : x + ParkOffset; }

std::int32_t RoundTwips(float twips)
{
    // Halves go to the even neighbour: 2.5 to 2, 3.5 to 4, -2.5 to -2.
    double value = twips;
    double whole = std::floor(value);
    double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max()))
        throw Error("Overflow.");
    return static_cast<std::int32_t>(whole);
}

std::int32_t Registry::FindForm(const toolkit::Object& window) const
{
    std::string name = toolkit::get_text(window, prop::Name);
    for (std::int32_t position = 0; position < FormCount; ++position)
        if (FormRecords[static_cast<std::size_t>(position)].Name == name)
            return position;
    return -1;
}

std::int32_t Registry::AddForm(toolkit::Window& window)
{
    // The window's name, outer geometry and client size, read in this order
    // and unguarded: a window that cannot say them is not registered.
    LayoutRecord record;
    record.Name = toolkit::get_text(window, prop::Name);
    record.Top = read_twips(window, prop::Top);
    record.Left = read_twips(window, prop::Left);
    record.Height = read_twips(window, prop::Height);
    record.Width = read_twips(window, prop::Width);
    record.ScaleHeight = read_twips(window, prop::ScaleHeight);
    record.ScaleWidth = read_twips(window, prop::ScaleWidth);

    // The record takes the next position once the count has grown, so a
    // count that would overflow leaves no half-made record behind.
    std::int32_t position = FormCount;
    FormCount = toolkit::checked_add(FormCount, 1);
    FormRecords.resize(static_cast<std::size_t>(FormCount));
    FormRecords[static_cast<std::size_t>(position)] = std::move(record);

    // Then every control not registered yet, in the window's order.
    std::string parent_name = FormRecords[static_cast<std::size_t>(position)].Name;
    for (toolkit::Object* control : window.controls())
        if (FindControl(*control, parent_name) < 0)
            AddControl(*control, parent_name);
    return position;
}

std::int32_t Registry::FindControl(const toolkit::Object& control,
                                   const std::string& parent_name) const
{
    for (std::int32_t position = 0; position < ControlCount; ++position) {
        const LayoutRecord& record = ControlRecords[static_cast<std::size_t>(position)];
        if (record.ParentName != parent_name)
            continue;
        if (toolkit::get_text(control, prop::Name) != record.Name)
            continue;
        // Only this read is guarded: a control outside a control array has
        // no Index, and its window and name alone identify it.
        std::int32_t index = 0;
        try {
            index = read_whole(control, prop::Index);
        } catch (const Error&) {
            return position;
        }
        if (index == record.Index)
            return position;
    }
    return -1;
}

std::int32_t Registry::AddControl(toolkit::Object& control, const std::string& parent_name)
{
    // Every read is guarded on its own: a control lacking a property is still
    // registered, with 0 or empty where the property would go.
    LayoutRecord record;
    guarded([&] { record.Name = toolkit::get_text(control, prop::Name); });
    guarded([&] { record.Index = read_whole(control, prop::Index); });
    guarded([&] { record.ParentName = parent_name; });
    if (control.is_line()) {
        guarded([&] { record.Top = read_twips(control, prop::Y1); });
        guarded([&] { record.Left = VisibleLeft(read_twips(control, prop::X1)); });
        guarded([&] { record.Height = read_twips(control, prop::Y2); });
        guarded([&] { record.Width = VisibleLeft(read_twips(control, prop::X2)); });
    } else {
        guarded([&] { record.Top = read_twips(control, prop::Top); });
        guarded([&] { record.Left = VisibleLeft(read_twips(control, prop::Left)); });
        guarded([&] { record.Height = read_twips(control, prop::Height); });
        guarded([&] { record.Width = read_twips(control, prop::Width); });
    }
    // Lists that snap their height to whole rows would not scale smoothly.
    guarded([&] { control.set(prop::IntegralHeight, false); });

    std::int32_t position = ControlCount;
    ControlCount = toolkit::checked_add(ControlCount, 1);
    ControlRecords.resize(static_cast<std::size_t>(ControlCount));
    ControlRecords[static_cast<std::size_t>(position)] = std::move(record);
    return position;
}

std::int32_t Registry::RegisteredForm(toolkit::Window& window)
{
    std::int32_t position = FindForm(window);
    if (position >= 0)
        return position;
    if (has_empty_client(window))
        throw Error(toolkit::get_text(window, prop::Name) +
                    " cannot be registered while its client area is empty.");
    return AddForm(window);
}

std::int32_t Registry::WidthPercent(toolkit::Window& window)
{
    std::int32_t position = RegisteredForm(window);
    return percent_of(toolkit::get_twips(window, prop::ScaleWidth),
                      FormRecords[static_cast<std::size_t>(position)].ScaleWidth);
}

float Registry::HeightPercent(toolkit::Window& window)
{
    std::int32_t position = RegisteredForm(window);
    return static_cast<float>(
        percent_of(toolkit::get_twips(window, prop::ScaleHeight),
                   FormRecords[static_cast<std::size_t>(position)].ScaleHeight));
}

const LayoutRecord& Registry::ControlRecord(std::int32_t position) const
{
    if (position < 0 || position >= ControlCount)
        throw Error("No layout record at position " + std::to_string(position) + ".");
    return ControlRecords[static_cast<std::size_t>(position)];
}

void Registry::ResizeControl(toolkit::Object& control, toolkit::Window& window) noexcept
{
    // A window first seen with an empty client area has no size to scale
    // from: its controls stay as they are until it reports a real one, which
    // then becomes its registered size.
    bool waiting = false;
    guarded([&] { waiting = FindForm(window) < 0 && has_empty_client(window); });
    if (waiting)
        return;

    // Working values start empty and read as 0 until a step sets them.
    float h = 0;
    std::int32_t w = 0;
    std::int32_t new_left = 0;
    std::int32_t new_top = 0;
    std::int32_t new_width = 0;
    std::int32_t new_height = 0;
    std::int32_t i = 0;
    auto parked = [&](std::string_view property) {
        // A left edge that cannot be read counts as parked.
        try {
            return toolkit::get_twips(control, property) < 0;
        } catch (const Error&) {
            return true;
        }
    };
    auto vertical = [&](std::int32_t value) { return scaled(value, static_cast<std::int64_t>(h)); };
    auto horizontal = [&](std::int32_t value) { return scaled(value, w); };
    auto placed = [&](std::string_view property, std::int32_t visible) {
        return parked(property) ? toolkit::checked_sub(visible, ParkOffset) : visible;
    };

    // Every step below is guarded on its own: a step that fails (a missing
    // property, a refused value, no record, an overflow) is skipped, whatever
    // it would have set keeps its value, and the next step runs.
    //
    // The percents, then the control's record.
    guarded([&] { h = HeightPercent(window); });
    guarded([&] { w = WidthPercent(window); });
    guarded([&] { i = FindControl(control, toolkit::get_text(window, prop::Name)); });

    // The new geometry, scaled from the record; a parked control stays parked.
    guarded([&] { new_left = placed(prop::Left, horizontal(ControlRecord(i).Left)); });
    guarded([&] { new_top = vertical(ControlRecord(i).Top); });
    guarded([&] { new_width = horizontal(ControlRecord(i).Width); });
    guarded([&] { new_height = vertical(ControlRecord(i).Height); });

    // A line is placed by its ends, and by nothing else.
    if (control.is_line()) {
        guarded(
            [&] { control.set(prop::X1, placed(prop::X1, horizontal(ControlRecord(i).Left))); });
        guarded([&] { control.set(prop::Y1, vertical(ControlRecord(i).Top)); });
        guarded(
            [&] { control.set(prop::X2, placed(prop::X2, horizontal(ControlRecord(i).Width))); });
        guarded([&] { control.set(prop::Y2, vertical(ControlRecord(i).Height)); });
        return;
    }

    // Any other control gets three moves, all always made: one that refuses a
    // height still moves and widens, one that also refuses a width still
    // moves, and repeating a move that succeeded changes nothing.
    auto twips = [](std::int32_t value) { return static_cast<float>(value); };
    guarded([&] {
        control.move(twips(new_left), twips(new_top), twips(new_width), twips(new_height));
    });
    guarded([&] { control.move(twips(new_left), twips(new_top), twips(new_width)); });
    guarded([&] { control.move(twips(new_left), twips(new_top)); });
}

Registry& registry()
{
    static Registry instance;
    return instance;
}

std::int32_t FindForm(const toolkit::Object& window) { return registry().FindForm(window); }
std::int32_t AddForm(toolkit::Window& window) { return registry().AddForm(window); }

std::int32_t FindControl(const toolkit::Object& control, const std::string& parent_name)
{
    return registry().FindControl(control, parent_name);
}

std::int32_t AddControl(toolkit::Object& control, const std::string& parent_name)
{
    return registry().AddControl(control, parent_name);
}

std::int32_t WidthPercent(toolkit::Window& window) { return registry().WidthPercent(window); }
float HeightPercent(toolkit::Window& window) { return registry().HeightPercent(window); }

void ResizeControl(toolkit::Object& control, toolkit::Window& window) noexcept
{
    registry().ResizeControl(control, window);
}

}  // namespace Resize

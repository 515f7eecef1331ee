// The module Resize: proportional layout for any window and its controls.
//
// The first time a window reports its size, the registry remembers the
// window's client size and every control's geometry (in whole twips). From
// then on `ResizeControl` gives each control its remembered geometry scaled
// by the ratio of the current client size to the remembered one, in whole
// percent, horizontally and vertically apart. Returning to the remembered
// size brings back the remembered layout exactly.
//
// The module sees windows and controls only through the toolkit's named
// properties, so it works on any of them.
//
//   void frmMain::Form_Resize()
//   {
//       for (toolkit::Object* control : controls_in_order)
//           Resize::ResizeControl(*control, window);
//   }
#pragma once

#include "toolkit/object.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Resize {

// One geometry record, for a window or a control; lengths in twips.
struct LayoutRecord {
    std::string Name;
    std::int32_t Index = 0;  // 0 outside a control array; unused for windows.
    std::string ParentName;  // The owning window's Name; empty for windows.
    std::int32_t Top = 0;  // Outer top for a window; Y1 for a line.
    std::int32_t Left = 0;  // Visible left (see ParkOffset); X1 for a line.
    std::int32_t Height = 0;  // Y2 for a line.
    std::int32_t Width = 0;  // Visible X2 for a line.
    std::int32_t ScaleHeight = 0;  // Client height; windows only.
    std::int32_t ScaleWidth = 0;  // Client width; windows only.
};

// A control hidden by moving it far to the left sits at its visible left
// minus this many twips. Records keep the visible position.
inline constexpr std::int32_t ParkOffset = 75000;

// Returns x when x is 0 or more, else x + ParkOffset.
std::int32_t VisibleLeft(std::int32_t x);

// Rounds a toolkit length to whole twips, halves to the even neighbour;
// throws toolkit::Error("Overflow.") when it does not fit 32 bits.
std::int32_t RoundTwips(float twips);

// The registry's tables. They only ever grow; positions 0 to count - 1 are
// the records. The program uses the one process-wide instance; tests make
// their own.
class Registry {
public:
    std::vector<LayoutRecord> FormRecords;
    std::int32_t FormCount = 0;
    std::vector<LayoutRecord> ControlRecords;
    std::int32_t ControlCount = 0;

    // Position of the window's record, or -1.
    std::int32_t FindForm(const toolkit::Object& window) const;
    // Registers the window and those of its controls not yet registered.
    std::int32_t AddForm(toolkit::Window& window);
    // Position of the control's record, or -1.
    std::int32_t FindControl(const toolkit::Object& control, const std::string& parent_name) const;
    // Registers one control, taking whatever of its geometry it can give.
    std::int32_t AddControl(toolkit::Object& control, const std::string& parent_name);

    // The current client size as a whole percent of the registered one.
    std::int32_t WidthPercent(toolkit::Window& window);
    float HeightPercent(toolkit::Window& window);
    // Places one control of the window from its record; never throws.
    void ResizeControl(toolkit::Object& control, toolkit::Window& window) noexcept;

private:
    // The window's record position, registering it first if need be.
    std::int32_t RegisteredForm(toolkit::Window& window);
    const LayoutRecord& ControlRecord(std::int32_t position) const;
};

// The process-wide registry.
Registry& registry();

std::int32_t FindForm(const toolkit::Object& window);
std::int32_t AddForm(toolkit::Window& window);
std::int32_t FindControl(const toolkit::Object& control, const std::string& parent_name);
std::int32_t AddControl(toolkit::Object& control, const std::string& parent_name);
std::int32_t WidthPercent(toolkit::Window& window);
float HeightPercent(toolkit::Window& window);
void ResizeControl(toolkit::Object& control, toolkit::Window& window) noexcept;

}  // namespace Resize

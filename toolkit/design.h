// A window's controls as plain data: what kind each is, where it stands in
// twips, and what it says. A program describes its window as a table of
// these, and `Form` builds it.
//
//   constexpr toolkit::ControlDesign scan{toolkit::ControlKind::CommandButton, "cmdScan",
//                                         0, 2880, 1600, 375, 4, "&Scan"};
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace toolkit {

enum class ControlKind { TextBox, FolderList, DriveList, FileList, CommandButton, Label };

struct ControlDesign {
    ControlKind kind;
    std::string_view name;
    float left_twips;
    float top_twips;
    float width_twips;
    float height_twips;
    int tab_index;
    std::string_view caption;
    // What a screen reader calls the control; buttons and labels are called
    // by their captions.
    std::string_view spoken_name = {};
    // What a screen reader says the control is for.
    std::string_view description = {};
    // Set for an element of a control array.
    std::optional<std::int32_t> index = {};
    // The text color, where it is not the kind's own (see toolkit::color).
    std::optional<std::int32_t> fore_color = {};
};

}  // namespace toolkit

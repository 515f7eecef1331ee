// The window's icon: a sheet of listed names standing in an open folder,
// 32 by 32 pixels in sixteen-color style. A dot is transparent.
#pragma once

#include "toolkit/pictures.h"

#include <array>

namespace app {

// clang-format off
inline constexpr std::array<std::string_view, 32> IconRows = {
    "................................",
    "................................",
    "........kkkkkkkkkkkkkkkkkk......",
    "........kwwwwwwwwwwwwwwwwk......",
    "........kwwwwwwwwwwwwwwwwk......",
    "........kwbbbbbbbbbbbbbwwk......",
    "..kkkkkkkwwwwwwwwwwwwwwwwk......",
    "..koooookwwwwwwwwwwwwwwwwk......",
    "..koooookwbbbbbbbbbwwwwwwkkkkk..",
    "..koooookwwwwwwwwwwwwwwwwkoook..",
    "..koooookwwwwwwwwwwwwwwwwkoook..",
    "..koooookwbbbbbbbbbbbbbwwkoook..",
    "..koooookwwwwwwwwwwwwwwwwkoook..",
    "..koooookwwwwwwwwwwwwwwwwkoook..",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    ".kyllllllllllllllllllllllllllyk.",
    ".kyyyyyyyyyyyyyyyyyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyyyyyyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyyyyyyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyyoyyyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyyooyyyyyyyyyyyyyk.",
    ".kyyyyyyyyooooooooyyyyyyyyyyyyk.",
    ".kyyyyyyyyoooooooooyyyyyyyyyyyk.",
    ".kyyyyyyyyooooooooyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyyooyyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyyoyyyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyyyyyyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyyyyyyyyyyyyyyyyyk.",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    "................................",
    "................................",
    "................................",
};

inline constexpr std::array<toolkit::IconColor, 6> IconPalette = {{
    {'k', 0x000000}, {'w', 0xFFFFFF}, {'b', 0x0000FF}, {'o', 0x808000},
    {'y', 0xFFFF00}, {'l', 0xFFFFFF},
}};
// clang-format on

inline constexpr toolkit::Icon WindowIcon = {IconRows, IconPalette};

}  // namespace app

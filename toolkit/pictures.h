// Pictures drawn as rows of characters: the window's icon and the mouse
// pointers. They are plain data, so a program, its tests and its packaging
// can all draw from the same rows.
//
//   constexpr toolkit::IconColor palette[] = {{'k', 0x000000}, {'w', 0xFFFFFF}};
//   toolkit::Icon icon{rows, palette};
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace toolkit {

struct IconColor {
    char key;
    std::uint32_t rgb;  // 0xRRGGBB
};

// A square picture drawn as rows of palette keys; a key missing from the
// palette is transparent.
struct Icon {
    std::span<const std::string_view> rows;
    std::span<const IconColor> palette;
};

// A mouse pointer drawn as rows of 'k' (black), 'w' (white) and anything
// else (transparent), with the pixel that points.
struct Pointer {
    std::span<const std::string_view> rows;
    int hot_x;
    int hot_y;
};

}  // namespace toolkit

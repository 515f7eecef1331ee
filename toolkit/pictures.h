// Pictures drawn as rows of characters: the window's icon and the mouse
// pointers. They are plain data, so a program, its tests and its packaging
// can all draw from the same rows.
//
//   constexpr toolkit::IconColor palette[] = {{'k', 0x000000}, {'w', 0xFFFFFF}};
//   toolkit::Icon icon{rows, palette};
#pragma once

#include <cstddef>
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

// The icon's pixel at (x, y) when it is drawn `size` pixels square, taken
// from the nearest one of its rows so that the drawing stays crisp at any
// size: 0xAARRGGBB, 0 where it is transparent.
inline std::uint32_t pixel_at(const Icon& icon, int size, int x, int y)
{
    std::size_t source = icon.rows.size();
    auto scaled = [&](int at) {
        return static_cast<std::size_t>(at) * source / static_cast<std::size_t>(size);
    };
    std::string_view row = icon.rows[scaled(y)];
    std::size_t from = scaled(x);
    if (from >= row.size())
        return 0;
    for (const IconColor& color : icon.palette)
        if (color.key == row[from])
            return 0xFF000000u | color.rgb;
    return 0;
}

// A mouse pointer drawn as rows of 'k' (black), 'w' (white) and anything
// else (transparent), with the pixel that points.
struct Pointer {
    std::span<const std::string_view> rows;
    int hot_x;
    int hot_y;
};

}  // namespace toolkit

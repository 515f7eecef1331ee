// Writes pictures as PNG files without any imaging library: the packaging
// draws its icon files from the same rows as the window's icon, at every size
// a desktop asks for.
//
//   std::vector<std::uint32_t> pixels = draw_scaled(app::WindowIcon, 48);  // 0xAARRGGBB
//   write_png("tobrel-48.png", 48, 48, pixels);
#pragma once

#include "toolkit/pictures.h"

#include <cstdint>
#include <string>
#include <vector>

namespace packaging {

// The icon drawn `size` pixels square, each pixel taken from the nearest one
// of its rows, so that the drawing stays crisp; row by row, 0xAARRGGBB.
std::vector<std::uint32_t> draw_scaled(const toolkit::Icon& icon, int size);

// Throws `toolkit::Error` when the file cannot be written.
void write_png(const std::string& path, int width, int height,
               const std::vector<std::uint32_t>& argb);

}  // namespace packaging

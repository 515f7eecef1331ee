// Writes the window's icon as the files a desktop installs: PNGs from 16 to
// 256 pixels square and an SVG of the same drawing, pixel for pixel.
//
//   make_icons OUTPUT_FOLDER   # writes tobrel-16.png ... tobrel-256.png and tobrel.svg
#include "png_file.h"

#include "app/icon.h"
#include "toolkit/object.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

void write_svg(const toolkit::Icon& icon, const std::string& path)
{
    std::size_t size = icon.rows.size();
    std::ofstream svg(path);
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << size << "\" height=\"" << size
        << "\" viewBox=\"0 0 " << size << ' ' << size << "\" shape-rendering=\"crispEdges\">\n";
    // A run of pixels of one color is one rectangle, so that no seam shows
    // between them when the drawing is scaled.
    for (std::size_t y = 0; y < size; ++y) {
        std::string_view row = icon.rows[y];
        for (std::size_t x = 0; x < row.size();) {
            std::size_t end = x;
            while (end < row.size() && row[end] == row[x])
                ++end;
            for (const toolkit::IconColor& color : icon.palette) {
                if (color.key != row[x])
                    continue;
                char fill[8];
                std::snprintf(fill, sizeof fill, "#%06X", static_cast<unsigned>(color.rgb));
                svg << "  <rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << end - x
                    << "\" height=\"1\" fill=\"" << fill << "\"/>\n";
            }
            x = end;
        }
    }
    svg << "</svg>\n";
    if (!svg)
        throw toolkit::Error("Cannot write " + path + ".");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTPUT_FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    try {
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            packaging::write_png(folder + "/tobrel-" + std::to_string(size) + ".png", size, size,
                                 packaging::draw_scaled(app::WindowIcon, size));
        write_svg(app::WindowIcon, folder + "/tobrel.svg");
    } catch (const toolkit::Error& error) {
        std::fprintf(stderr, "make_icons: %s\n", error.what());
        return 1;
    }
    return 0;
}

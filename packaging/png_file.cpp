#include "png_file.h"

#include "toolkit/object.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace packaging {

namespace {

std::uint32_t crc32(const std::string& bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char byte : bytes)
        c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put_u32(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void put_chunk(std::string& out, const char* type, const std::string& data)
{
    put_u32(out, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    out += typed;
    put_u32(out, crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks: an icon is small,
// and the package that carries it is compressed as a whole.
std::string zlib_stored(const std::string& raw)
{
    std::string out = "\x78\x01";
    constexpr std::size_t block = 65535;
    std::size_t at = 0;
    do {
        std::size_t length = std::min(block, raw.size() - at);
        bool last = at + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>((~length >> 8) & 0xFF);
        out.append(raw, at, length);
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put_u32(out, (b << 16) | a);
    return out;
}

}  // namespace

std::vector<std::uint32_t> draw_scaled(const toolkit::Icon& icon, int size)
{
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels.push_back(toolkit::pixel_at(icon, size, x, y));
    return pixels;
}

void write_png(const std::string& path, int width, int height,
               const std::vector<std::uint32_t>& argb)
{
    std::string header;
    put_u32(header, static_cast<std::uint32_t>(width));
    put_u32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, no interlace.
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // No filter.
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = argb[static_cast<std::size_t>(y * width + x)];
            raw += static_cast<char>((pixel >> 16) & 0xFF);
            raw += static_cast<char>((pixel >> 8) & 0xFF);
            raw += static_cast<char>(pixel & 0xFF);
            raw += static_cast<char>(pixel >> 24);
        }
    }
    std::string png = "\x89PNG\r\n\x1a\n";
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", zlib_stored(raw));
    put_chunk(png, "IEND", "");
    std::ofstream file(path, std::ios::binary);
    file.write(png.data(), static_cast<std::streamsize>(png.size()));
    if (!file)
        throw toolkit::Error("Cannot write " + path + ".");
}

}  // namespace packaging

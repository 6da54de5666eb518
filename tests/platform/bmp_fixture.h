// Small BMP files made in memory, in the layouts the reader must accept.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace BmpFixture {
struct Layout {
    Layout(int w = 2, int h = 2, int depth = 24) : width(w), height(h), bpp(depth) {}
    int width, height;
    int bpp;
    bool topDown = false;
    bool coreHeader = false;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks;    // written after a 40-byte header when given
};

// rows top to bottom, each value a palette index or 0x00RRGGBB (16 bits: the raw word)
inline std::vector<std::uint8_t> Make(const Layout& s, const std::vector<std::vector<std::uint32_t>>& rows)
{
    const int header = s.coreHeader ? 12 : 40;
    const int entry = s.coreHeader ? 3 : 4;
    const int stride = ((s.width * s.bpp + 31) / 32) * 4;
    const int offset = 14 + header + int(s.masks.size()) * 4 + int(s.palette.size()) * entry;
    std::vector<std::uint8_t> out(std::size_t(offset) + std::size_t(stride) * s.height, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out[at + i] = std::uint8_t(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put(2, std::uint32_t(out.size()), 4);
    put(10, std::uint32_t(offset), 4);
    put(14, std::uint32_t(header), 4);
    if (s.coreHeader) {
        put(18, std::uint32_t(s.width), 2);
        put(20, std::uint32_t(s.height), 2);
        put(22, 1, 2);
        put(24, std::uint32_t(s.bpp), 2);
    } else {
        put(18, std::uint32_t(s.width), 4);
        put(22, std::uint32_t(s.topDown ? -s.height : s.height), 4);
        put(26, 1, 2);
        put(28, std::uint32_t(s.bpp), 2);
        put(30, s.compression, 4);
        put(46, std::uint32_t(s.palette.size()), 4);
    }
    std::size_t at = 14 + std::size_t(header);
    for (std::uint32_t m : s.masks) put(at, m, 4), at += 4;
    for (std::uint32_t c : s.palette) put(at, c, entry), at += entry;
    for (int y = 0; y < s.height; ++y) {
        const int fileRow = s.topDown ? y : s.height - 1 - y;
        const std::size_t row = std::size_t(offset) + std::size_t(fileRow) * stride;
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t v = rows[y][x];
            switch (s.bpp) {
            case 1: out[row + x / 8] |= std::uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: out[row + x / 2] |= std::uint8_t((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: out[row + x] = std::uint8_t(v); break;
            case 16: put(row + 2 * x, v, 2); break;
            case 24: put(row + 3 * x, v, 3); break;
            default: put(row + 4 * x, v, 4); break;
            }
        }
    }
    return out;
}
}  // namespace BmpFixture

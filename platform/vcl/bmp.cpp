// Windows BMP files: uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel (BITFIELDS masks too),
// core and info headers, bottom-up and top-down. Every size is checked before it is trusted.
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/vcl/graphics.h"

namespace {
constexpr std::int64_t MaxPixels = 64 * 1024 * 1024;
constexpr std::int64_t MaxSide = 32768;

[[noreturn]] void Fail(const char* reason)
{
    throw Exception(AnsiString("Bitmap image is not valid: ") + reason);
}

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint32_t U16(std::size_t at) const
    {
        if (at + 2 > size) Fail("the file is too short");
        return data[at] | (data[at + 1] << 8);
    }
    std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
};

// One channel of a BITFIELDS mask scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0, bits = 0;
    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
        if (bits < 32 && (m >> shift) != (std::uint32_t(1) << bits) - 1) Fail("the colour masks are not contiguous");
    }
    std::uint32_t Get(std::uint32_t v) const
    {
        if (bits == 0) return 0;
        const std::uint64_t c = (v & mask) >> shift;
        const std::uint64_t max = (std::uint64_t(1) << bits) - 1;
        return std::uint32_t((c * 255 + max / 2) / max);
    }
};
}  // namespace

TPixelBuffer Platform::ParseBmp(const std::uint8_t* data, std::size_t size)
{
    const Reader in{data, size};
    if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') Fail("no BMP signature");
    const std::uint32_t pixelOffset = in.U32(10);
    const std::uint32_t headerSize = in.U32(14);
    std::int64_t width, height;
    std::uint32_t bpp, compression = 0, colorsUsed = 0;
    int paletteEntrySize = 4;
    if (headerSize == 12) {
        width = in.U16(18);
        height = in.U16(20);
        bpp = in.U16(24);
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && headerSize <= 1024) {
        width = in.I32(18);
        height = in.I32(22);
        bpp = in.U16(28);
        compression = in.U32(30);
        colorsUsed = in.U32(46);
    } else {
        Fail("unknown header size");
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide || width * height > MaxPixels)
        Fail("bad picture size");
    if (compression != 0 && compression != 3) Fail("compressed pictures are not supported");
    if (compression == 3 && bpp != 16 && bpp != 32) Fail("colour masks need 16 or 32 bits per pixel");

    std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    if (bpp == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (compression == 3) {
        // Masks follow a 40-byte header; larger headers hold them inside.
        for (int i = 0; i < 3; ++i) masks[i] = in.U32(14 + 40 + 4 * i);
    }

    std::vector<std::uint32_t> palette;
    if (bpp == 1 || bpp == 4 || bpp == 8) {
        const std::uint32_t maxColors = 1u << bpp;
        std::uint32_t count = (colorsUsed == 0 || colorsUsed > maxColors) ? maxColors : colorsUsed;
        const std::size_t at = 14 + std::size_t(headerSize);
        // Writers often store fewer entries than the depth allows: take what lies before the pixels.
        if (pixelOffset > at) count = std::min<std::uint32_t>(count, std::uint32_t((pixelOffset - at) / paletteEntrySize));
        else count = 0;
        if (count == 0) Fail("the palette is missing");
        if (at + std::size_t(count) * paletteEntrySize > size) Fail("the palette is cut short");
        palette.resize(maxColors, 0);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* e = data + at + std::size_t(i) * paletteEntrySize;
            palette[i] = e[2] | (e[1] << 8) | (e[0] << 16);
        }
    } else if (bpp != 16 && bpp != 24 && bpp != 32) {
        Fail("unsupported bits per pixel");
    }

    const std::int64_t stride = ((width * bpp + 31) / 32) * 4;
    if (pixelOffset > size || std::int64_t(size - pixelOffset) < stride * height) Fail("the pixel data is cut short");
    const Channel r(masks[0]), g(masks[1]), b(masks[2]);

    TPixelBuffer out;
    out.Width = int(width);
    out.Height = int(height);
    out.Pixels.resize(std::size_t(width * height));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* row = data + pixelOffset + std::size_t(stride * (topDown ? y : height - 1 - y));
        std::uint32_t* dst = &out.Pixels[std::size_t(y * width)];
        for (std::int64_t x = 0; x < width; ++x) {
            switch (bpp) {
            case 1: dst[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: dst[x] = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]; break;
            case 8: dst[x] = palette[row[x]]; break;
            case 24: dst[x] = row[3 * x + 2] | (row[3 * x + 1] << 8) | (row[3 * x] << 16); break;
            default: {
                std::uint32_t v = 0;
                if (bpp == 16) v = row[2 * x] | (row[2 * x + 1] << 8);
                else std::memcpy(&v, row + 4 * x, 4);
                dst[x] = r.Get(v) | (g.Get(v) << 8) | (b.Get(v) << 16);
            }
            }
        }
    }
    return out;
}

std::vector<std::uint8_t> Platform::EncodeBmp24(const TPixelBuffer& picture)
{
    const std::size_t stride = (std::size_t(picture.Width) * 3 + 3) & ~std::size_t(3);
    const std::size_t imageSize = stride * picture.Height;
    std::vector<std::uint8_t> out(54 + imageSize, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out[at + i] = std::uint8_t(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put(2, std::uint32_t(out.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, std::uint32_t(picture.Width), 4);
    put(22, std::uint32_t(picture.Height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, std::uint32_t(imageSize), 4);
    for (int y = 0; y < picture.Height; ++y) {
        std::uint8_t* row = &out[54 + stride * (picture.Height - 1 - y)];
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint32_t p = picture.Pixels[std::size_t(y) * picture.Width + x];
            row[3 * x] = std::uint8_t(p >> 16);
            row[3 * x + 1] = std::uint8_t(p >> 8);
            row[3 * x + 2] = std::uint8_t(p);
        }
    }
    return out;
}

TBitmap::TBitmap() = default;

void TBitmap::LoadFromFile(const AnsiString& fileName)
{
    std::ifstream file(Platform::NativeFileName(fileName), std::ios::binary);
    if (!file) throw Exception("Cannot open file \"" + fileName + "\". No such file or directory");
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    try {
        TPixelBuffer loaded = Platform::ParseBmp(bytes.data(), bytes.size());
        loaded.Touch();
        FBuffer = std::move(loaded);
    } catch (Exception& e) {
        throw Exception(e.Message + " (\"" + fileName + "\")");
    }
}

void TBitmap::SaveToFile(const AnsiString& fileName) const
{
    const std::vector<std::uint8_t> bytes = Platform::EncodeBmp24(FBuffer);
    std::ofstream file(Platform::NativeFileName(fileName), std::ios::binary | std::ios::trunc);
    if (!file || !file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
        throw Exception("Cannot create file \"" + fileName + "\"");
}

#include "platform/vcl/imglist.h"

#include <algorithm>
#include <cstring>

TImageList::TImageList(TComponent* owner, int width, int height) : TComponent(owner)
{
    SetSize(width, height);
}

void TImageList::SetSize(int width, int height)
{
    // Row and column positions are kept in 16 bits.
    FWidth = std::clamp(width, 1, 65535);
    FHeight = std::clamp(height, 1, 65535);
    FImages.clear();
}

void TImageList::AddFromPixels(const TPixelBuffer& src, int left, const std::vector<bool>& opaque)
{
    TImageEntry entry;
    entry.Pixels.assign(std::size_t(FWidth) * FHeight, 0);
    entry.RowStart.reserve(FHeight + 1);
    for (int y = 0; y < FHeight; ++y) {
        entry.RowStart.push_back(static_cast<std::uint32_t>(entry.Spans.size()));
        int runStart = -1;
        for (int x = 0; x <= FWidth; ++x) {
            const int sx = left + x;
            const bool inside = x < FWidth && sx < src.Width && y < src.Height;
            const std::size_t at = std::size_t(y) * src.Width + sx;
            const bool solid = inside && opaque[at];
            if (solid) entry.Pixels[std::size_t(y) * FWidth + x] = src.Pixels[at];
            if (solid && runStart < 0) runStart = x;
            if (!solid && runStart >= 0) {
                entry.Spans.push_back({std::uint16_t(runStart), std::uint16_t(x - runStart)});
                runStart = -1;
            }
        }
    }
    entry.RowStart.push_back(static_cast<std::uint32_t>(entry.Spans.size()));
    FImages.push_back(std::move(entry));
}

namespace {
int ImagesAcross(int bitmapWidth, int imageWidth)
{
    return std::max(1, bitmapWidth / imageWidth);
}
}  // namespace

int TImageList::AddMasked(TBitmap* image, TColor transparent)
{
    if (!image) return -1;
    const TPixelBuffer& src = image->Buffer();
    const std::uint32_t key = std::uint32_t(transparent) & 0xFFFFFF;
    std::vector<bool> opaque(src.Pixels.size());
    for (std::size_t i = 0; i < src.Pixels.size(); ++i) opaque[i] = src.Pixels[i] != key;
    const int first = Count;
    for (int i = 0; i < ImagesAcross(src.Width, FWidth); ++i) AddFromPixels(src, i * FWidth, opaque);
    return first;
}

int TImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (!image) return -1;
    const TPixelBuffer& src = image->Buffer();
    std::vector<bool> opaque(src.Pixels.size(), true);
    if (mask) {
        const TCanvas* m = mask->Canvas;
        for (int y = 0; y < src.Height; ++y)
            for (int x = 0; x < src.Width; ++x)
                opaque[std::size_t(y) * src.Width + x] = m->GetPixel(x, y) != clWhite;
    }
    const int first = Count;
    for (int i = 0; i < ImagesAcross(src.Width, FWidth); ++i) AddFromPixels(src, i * FWidth, opaque);
    return first;
}

bool TImageList::FileLoad(TResType, const AnsiString& fileName, TColor transparent)
{
    TBitmap strip;
    strip.LoadFromFile(fileName);
    std::vector<TImageEntry> kept;
    kept.swap(FImages);
    try {
        AddMasked(&strip, transparent);
    } catch (...) {
        FImages.swap(kept);
        throw;
    }
    return true;
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index)
{
    if (!canvas || index < 0 || index >= Count) return;
    TPixelBuffer& dst = canvas->Buffer();
    const TImageEntry& image = FImages[index];
    const int y0 = std::max(0, -y), y1 = std::min(FHeight, dst.Height - y);
    const int x0 = std::max(0, -x), x1 = std::min(FWidth, dst.Width - x);
    if (y0 >= y1 || x0 >= x1) return;
    dst.Touch();
    const bool blend = DrawingStyle == dsSelected;
    const std::uint32_t tint = (std::uint32_t(BlendColor == clDefault ? clHighlight : BlendColor) & 0xFEFEFE) >> 1;
    for (int row = y0; row < y1; ++row) {
        const std::uint32_t* src = &image.Pixels[std::size_t(row) * FWidth];
        std::uint32_t* out = &dst.Pixels[std::size_t(y + row) * dst.Width + x];
        for (std::uint32_t s = image.RowStart[row]; s < image.RowStart[row + 1]; ++s) {
            const int a = std::max<int>(image.Spans[s].Start, x0);
            const int b = std::min<int>(image.Spans[s].Start + image.Spans[s].Length, x1);
            if (a >= b) continue;
            if (!blend) {
                std::memcpy(out + a, src + a, std::size_t(b - a) * 4);
                continue;
            }
            for (int i = a; i < b; ++i) out[i] = ((src[i] & 0xFEFEFE) >> 1) + tint;
        }
    }
}

void TImageList::GetBitmap(int index, TBitmap* image) const
{
    if (!image || index < 0 || index >= static_cast<int>(FImages.size())) return;
    image->SetSize(FWidth, FHeight);
    image->Buffer().Pixels = FImages[index].Pixels;
    image->Buffer().Touch();
}

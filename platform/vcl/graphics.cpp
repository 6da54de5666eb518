#include "platform/vcl/graphics.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

void TPixelBuffer::Touch()
{
    static std::atomic<std::uint64_t> stamps{0};
    Changes = stamps.fetch_add(1, std::memory_order_relaxed) + 1;
}

void TPixelBuffer::Resize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width && height == Height) return;
    std::vector<std::uint32_t> resized(std::size_t(width) * height, 0);
    const int w = std::min(width, Width), h = std::min(height, Height);
    for (int y = 0; y < h; ++y)
        std::memcpy(&resized[std::size_t(y) * width], &Pixels[std::size_t(y) * Width], std::size_t(w) * 4);
    Pixels = std::move(resized);
    Width = width;
    Height = height;
    Touch();
}

TCanvas::TCanvas(TPixelBuffer& buffer) : FBuffer(buffer) {}

TColor TCanvas::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= FBuffer.Width || y >= FBuffer.Height) return -1;
    return static_cast<TColor>(FBuffer.Pixels[std::size_t(y) * FBuffer.Width + x]);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (x < 0 || y < 0 || x >= FBuffer.Width || y >= FBuffer.Height) return;
    FBuffer.Pixels[std::size_t(y) * FBuffer.Width + x] = std::uint32_t(color) & 0xFFFFFF;
    FBuffer.Touch();
}

namespace {
// The part [lo, hi) of 0..n for which both a + i and b + i fall inside their pictures.
void ClipPair(int n, int a, int aSize, int b, int bSize, int& lo, int& hi)
{
    lo = std::max({0, -a, -b});
    hi = std::min({n, aSize - a, bSize - b});
}
}  // namespace

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src)
{
    if (!source) return;
    const TPixelBuffer& from = source->FBuffer;
    const int dw = dest.Width(), dh = dest.Height(), sw = src.Width(), sh = src.Height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    FBuffer.Touch();
    if (dw == sw && dh == sh) {
        int x0, x1, y0, y1;
        ClipPair(dw, dest.Left, FBuffer.Width, src.Left, from.Width, x0, x1);
        ClipPair(dh, dest.Top, FBuffer.Height, src.Top, from.Height, y0, y1);
        if (x0 >= x1 || y0 >= y1) return;
        const std::size_t bytes = std::size_t(x1 - x0) * 4;
        auto row = [&](int y) {
            std::memmove(&FBuffer.Pixels[std::size_t(dest.Top + y) * FBuffer.Width + dest.Left + x0],
                         &from.Pixels[std::size_t(src.Top + y) * from.Width + src.Left + x0], bytes);
        };
        // Within one picture a downward copy must start from the bottom row.
        if (&from == &FBuffer && dest.Top > src.Top) {
            for (int y = y1 - 1; y >= y0; --y) row(y);
        } else {
            for (int y = y0; y < y1; ++y) row(y);
        }
        return;
    }
    // Stretching: nearest source pixel; a copy of the source guards against overlap.
    const std::vector<std::uint32_t> copy = (&from == &FBuffer) ? from.Pixels : std::vector<std::uint32_t>();
    const std::uint32_t* pixels = (&from == &FBuffer) ? copy.data() : from.Pixels.data();
    for (int y = std::max(0, -dest.Top); y < dh && dest.Top + y < FBuffer.Height; ++y) {
        const int sy = src.Top + int(std::int64_t(y) * sh / dh);
        if (sy < 0 || sy >= from.Height) continue;
        std::uint32_t* out = &FBuffer.Pixels[std::size_t(dest.Top + y) * FBuffer.Width];
        for (int x = std::max(0, -dest.Left); x < dw && dest.Left + x < FBuffer.Width; ++x) {
            const int sx = src.Left + int(std::int64_t(x) * sw / dw);
            if (sx >= 0 && sx < from.Width) out[dest.Left + x] = pixels[std::size_t(sy) * from.Width + sx];
        }
    }
}

void TCanvas::FillSpan(int y, int x1, int x2, std::uint32_t color)
{
    if (y < 0 || y >= FBuffer.Height) return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, FBuffer.Width);
    if (x1 >= x2) return;
    std::uint32_t* row = &FBuffer.Pixels[std::size_t(y) * FBuffer.Width];
    std::fill(row + x1, row + x2, color);
}

void TCanvas::FillRect(const TRect& rect)
{
    if (FBrush.Style != bsSolid) return;
    FBuffer.Touch();
    const std::uint32_t color = std::uint32_t(FBrush.Color) & 0xFFFFFF;
    for (int y = std::max(rect.Top, 0); y < std::min(rect.Bottom, FBuffer.Height); ++y)
        FillSpan(y, rect.Left, rect.Right, color);
}

void TCanvas::PlotPen(int x, int y)
{
    const std::uint32_t color = std::uint32_t(FPen.Color) & 0xFFFFFF;
    const int w = std::max(FPen.Width, 1);
    const int x0 = x - (w - 1) / 2, y0 = y - (w - 1) / 2;
    for (int py = std::max(y0, 0); py < std::min(y0 + w, FBuffer.Height); ++py) {
        std::uint32_t* row = &FBuffer.Pixels[std::size_t(py) * FBuffer.Width];
        for (int px = std::max(x0, 0); px < std::min(x0 + w, FBuffer.Width); ++px) {
            std::uint32_t& p = row[px];
            switch (FPen.Mode) {
            case pmCopy: p = color; break;
            case pmMerge: p |= color; break;
            case pmXor: p ^= color; break;
            case pmMask: p &= color; break;
            }
        }
    }
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    // The bounding box excludes its right and bottom edges; corners may come in any order.
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    --x2;
    --y2;
    if (x2 < x1 || y2 < y1) return;
    FBuffer.Touch();
    const int rows = y2 - y1 + 1;
    std::vector<int>& left = FEllipseLeft;
    std::vector<int>& right = FEllipseRight;
    std::vector<TPoint>& outline = FEllipseOutline;
    left.assign(rows, x2 + 1);
    right.assign(rows, x1 - 1);
    outline.clear();
    auto plot = [&](std::int64_t x, std::int64_t y) {
        const int xi = int(x), yi = int(y);
        outline.push_back({xi, yi});
        if (yi >= y1 && yi <= y2) {
            left[yi - y1] = std::min(left[yi - y1], xi);
            right[yi - y1] = std::max(right[yi - y1], xi);
        }
    };
    // Integer ellipse in a rectangle (error-term stepping that handles even sizes exactly).
    std::int64_t a = x2 - x1, b = y2 - y1, b1 = b & 1;
    std::int64_t dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
    std::int64_t err = dx + dy + b1 * a * a;
    std::int64_t ax0 = x1, ax1 = x2, ay0 = y1 + (b + 1) / 2, ay1 = ay0 - b1;
    a *= 8 * a;
    b1 = 8 * b * b;
    do {
        plot(ax1, ay0);
        plot(ax0, ay0);
        plot(ax0, ay1);
        plot(ax1, ay1);
        const std::int64_t e2 = 2 * err;
        if (e2 <= dy) { ++ay0; --ay1; err += dy += a; }
        if (e2 >= dx || 2 * err > dy) { ++ax0; --ax1; err += dx += b1; }
    } while (ax0 <= ax1);
    while (ay0 - ay1 <= b) {
        plot(ax0 - 1, ay0);
        plot(ax1 + 1, ay0++);
        plot(ax0 - 1, ay1);
        plot(ax1 + 1, ay1--);
    }
    if (FBrush.Style == bsSolid) {
        const std::uint32_t color = std::uint32_t(FBrush.Color) & 0xFFFFFF;
        for (int r = 0; r < rows; ++r)
            if (left[r] < right[r]) FillSpan(y1 + r, left[r] + 1, right[r], color);
    }
    if (FPen.Style == psClear) return;
    // Copy, merge and mask are idempotent; xor must not hit a pixel twice.
    if (FPen.Mode == pmXor) {
        std::sort(outline.begin(), outline.end(),
                  [](const TPoint& p, const TPoint& q) { return p.y != q.y ? p.y < q.y : p.x < q.x; });
        outline.erase(std::unique(outline.begin(), outline.end()), outline.end());
    }
    for (const TPoint& p : outline) PlotPen(p.x, p.y);
}

void TCanvas::MoveTo(int x, int y)
{
    FPenPos = {x, y};
}

void TCanvas::LineTo(int x, int y)
{
    FBuffer.Touch();
    int cx = FPenPos.x, cy = FPenPos.y;
    const int dx = std::abs(x - cx), sx = cx < x ? 1 : -1;
    const int dy = -std::abs(y - cy), sy = cy < y ? 1 : -1;
    int err = dx + dy;
    while (!(cx == x && cy == y)) {
        if (FPen.Style != psClear) PlotPen(cx, cy);
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; cx += sx; }
        if (e2 <= dx) { err += dx; cy += sy; }
    }
    FPenPos = {x, y};
}

// Pictures in plain 32-bit memory and the canvas that draws on them: colours, pens, brushes,
// fonts, rectangles, TCanvas and TBitmap with its Windows BMP reader.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/core/classes.h"
#include "platform/vcl/property.h"

// 0x00BBGGRR, like the Windows colour reference; the high byte is never stored in a picture.
using TColor = std::int32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clHighlight = 0xD77800;  // the selection colour of the default desktop scheme

constexpr TColor RGB(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

struct TPoint {
    int x = 0, y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};
inline TPoint Point(int x, int y) { return {x, y}; }

// Right and Bottom are exclusive, as on Windows.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

enum TPenStyle { psSolid, psClear };
// pmMerge ORs the pen colour onto the picture.
enum TPenMode { pmCopy, pmMerge, pmXor, pmMask };
enum TBrushStyle { bsSolid, bsClear };
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A small set of font styles: `Font->Style = TFontStyles() << fsBold;`
class TFontStyles {
public:
    TFontStyles& operator<<(TFontStyle s) { FBits |= 1u << s; return *this; }
    TFontStyles& operator>>(TFontStyle s) { FBits &= ~(1u << s); return *this; }
    bool Contains(TFontStyle s) const { return (FBits >> s) & 1u; }
    friend bool operator==(const TFontStyles&, const TFontStyles&) = default;
    unsigned Bits() const { return FBits; }
private:
    unsigned FBits = 0;
};

class TPen : public TObject {
public:
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

class TBrush : public TObject {
public:
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Size in points (96 dots per inch); the canvas text is drawn with a font found on the system.
class TFont : public TObject {
public:
    int Size = 9;
    TColor Color = clBlack;
    TFontStyles Style;
    AnsiString Name = "Tahoma";
};

// The memory behind a picture: Width × Height pixels, row after row, each 0x00BBGGRR.
struct TPixelBuffer {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels;
    // A stamp unique among all pictures, renewed by every operation that draws, so the window
    // can tell whether a picture changed since it was last shown.
    std::uint64_t Changes = 0;
    void Touch();
    void Resize(int width, int height);  // keeps the overlapping part, new pixels black
};

class TCanvas : public TObject {
public:
    explicit TCanvas(TPixelBuffer& buffer);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen* const Pen = &FPen;
    TBrush* const Brush = &FBrush;
    TFont* const Font = &FFont;

    // `Canvas->Pixels[x][y] = clYellow;` Outside the picture a write is ignored and a read gives -1.
    class TPixelRef {
    public:
        TPixelRef(TCanvas& c, int x, int y) : FCanvas(c), FX(x), FY(y) {}
        operator TColor() const { return FCanvas.GetPixel(FX, FY); }
        TPixelRef& operator=(TColor c) { FCanvas.SetPixel(FX, FY, c); return *this; }
        TPixelRef& operator=(const TPixelRef& other) { return *this = TColor(other); }
    private:
        TCanvas& FCanvas;
        int FX, FY;
    };
    class TPixelColumn {
    public:
        TPixelColumn(TCanvas& c, int x) : FCanvas(c), FX(x) {}
        TPixelRef operator[](int y) const { return {FCanvas, FX, y}; }
    private:
        TCanvas& FCanvas;
        int FX;
    };
    class TPixelsProperty {
    public:
        explicit TPixelsProperty(TCanvas& c) : FCanvas(c) {}
        TPixelColumn operator[](int x) const { return {FCanvas, x}; }
    private:
        TCanvas& FCanvas;
    };
    TPixelsProperty Pixels{*this};

    // The whole picture: (0, 0)-(Width, Height).
    TReadProperty<TRect> ClipRect{[this] { return TRect{0, 0, FBuffer.Width, FBuffer.Height}; }};

    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Copies src of the source onto dest, stretching when the sizes differ; clipped on both sides.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);
    void FillRect(const TRect& rect);  // with the brush; a clear brush fills nothing
    // Outline with the pen (its mode applies), filled with the brush when it is solid.
    void Ellipse(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);  // the end point itself is not drawn
    // Text with its top-left corner at (x, y) in the canvas font; a solid brush fills behind it.
    void TextOut(int x, int y, const AnsiString& text);
    int TextWidth(const AnsiString& text);
    int TextHeight(const AnsiString& text);

    TPixelBuffer& Buffer() { return FBuffer; }
    const TPixelBuffer& Buffer() const { return FBuffer; }

private:
    void PlotPen(int x, int y);
    void FillSpan(int y, int x1, int x2, std::uint32_t color);

    TPixelBuffer& FBuffer;
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    TPoint FPenPos;
    std::vector<int> FEllipseLeft, FEllipseRight;  // kept to draw without allocating
    std::vector<TPoint> FEllipseOutline;
};

class TBitmap : public TObject {
public:
    TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    TProperty<int> Width{[this] { return FBuffer.Width; },
                         [this](const int& w) { FBuffer.Resize(w, FBuffer.Height); }};
    TProperty<int> Height{[this] { return FBuffer.Height; },
                          [this](const int& h) { FBuffer.Resize(FBuffer.Width, h); }};
    TCanvas* const Canvas = &FCanvas;

    void SetSize(int width, int height) { FBuffer.Resize(width, height); }
    // Reads a Windows BMP (1, 4, 8, 24 or 32 bits, uncompressed); `\` in the name reads as `/`.
    // A missing, short or malformed file raises Exception naming the file; the picture is kept.
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName) const;  // 24-bit BMP; raises Exception on failure
    std::uint32_t* ScanLine(int y) { return FBuffer.Pixels.data() + std::size_t(y) * FBuffer.Width; }

    TPixelBuffer& Buffer() { return FBuffer; }
    const TPixelBuffer& Buffer() const { return FBuffer; }

private:
    TPixelBuffer FBuffer;
    TCanvas FCanvas{FBuffer};
};

namespace Platform {
// Parses a Windows BMP held in memory into pixels; raises Exception with the reason on bad data.
TPixelBuffer ParseBmp(const std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> EncodeBmp24(const TPixelBuffer& picture);
}  // namespace Platform

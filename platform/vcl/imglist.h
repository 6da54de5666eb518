// Image lists: images of one fixed size, drawn masked (the transparent colour shows what lies
// beneath). Masks are worked out when an image is added so that drawing copies opaque runs only.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/core/classes.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/property.h"

// dsSelected draws each image blended half and half with BlendColor, as a selected item looks.
enum TDrawingStyle { dsNormal, dsSelected };
enum TResType { rtBitmap };

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner) : TComponent(owner) {}
    TImageList(TComponent* owner, int width, int height);

    // Changing the image size empties the list.
    TProperty<int> Width{[this] { return FWidth; }, [this](const int& w) { SetSize(w, FHeight); }};
    TProperty<int> Height{[this] { return FHeight; }, [this](const int& h) { SetSize(FWidth, h); }};
    TReadProperty<int> Count{[this] { return static_cast<int>(FImages.size()); }};
    TDrawingStyle DrawingStyle = dsNormal;
    TColor BlendColor = clDefault;  // clDefault blends with clHighlight

    void SetSize(int width, int height);
    void Clear() { FImages.clear(); }
    // A bitmap wider than the image size is cut into as many images as fit side by side (at
    // least one); parts outside the bitmap are transparent. Returns the index of the first one.
    int AddMasked(TBitmap* image, TColor transparent);
    // Without a mask the images are opaque; with one, white mask pixels are transparent.
    int Add(TBitmap* image, TBitmap* mask);
    // Replaces the content with the images of a horizontal-strip BMP file. A bad file raises
    // Exception (from TBitmap::LoadFromFile) and leaves the list as it was.
    bool FileLoad(TResType type, const AnsiString& fileName, TColor transparent);

    // An index outside the list draws nothing.
    void Draw(TCanvas* canvas, int x, int y, int index);
    // The image's pixels, black where transparent.
    void GetBitmap(int index, TBitmap* image) const;

private:
    struct TSpan {
        std::uint16_t Start, Length;
    };
    struct TImageEntry {
        std::vector<std::uint32_t> Pixels;    // FWidth × FHeight, black where transparent
        std::vector<TSpan> Spans;             // opaque runs, row by row
        std::vector<std::uint32_t> RowStart;  // first span of each row, then the total
    };
    void AddFromPixels(const TPixelBuffer& src, int left, const std::vector<bool>& opaque);

    int FWidth = 16;
    int FHeight = 16;
    std::vector<TImageEntry> FImages;
};

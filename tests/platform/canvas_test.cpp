#include <gtest/gtest.h>

#include "platform/vcl/graphics.h"

namespace {
int CountColor(const TBitmap& b, TColor c)
{
    int n = 0;
    for (std::uint32_t p : b.Buffer().Pixels) n += p == std::uint32_t(c);
    return n;
}

void Fill(TBitmap& b, TColor c)
{
    b.Canvas->Brush->Style = bsSolid;
    b.Canvas->Brush->Color = c;
    b.Canvas->FillRect(b.Canvas->ClipRect);
}
}  // namespace

TEST(Canvas, PixelsReadBackAndIgnoreOutside)
{
    TBitmap b;
    b.SetSize(4, 3);
    b.Canvas->Pixels[3][2] = clYellow;
    b.Canvas->Pixels[-1][0] = clRed;
    b.Canvas->Pixels[4][0] = clRed;
    b.Canvas->Pixels[0][3] = clRed;
    EXPECT_EQ(TColor(b.Canvas->Pixels[3][2]), clYellow);
    EXPECT_EQ(TColor(b.Canvas->Pixels[-1][0]), -1);
    EXPECT_EQ(TColor(b.Canvas->Pixels[0][3]), -1);
    EXPECT_EQ(CountColor(b, clBlack), 11);
    EXPECT_EQ(RGB(0, 128, 128), clTeal);
}

TEST(Canvas, CopyRectClipsAgainstBothPictures)
{
    struct Case {
        const char* name;
        TRect dest, src;
        int copied;  // pixels of the source's colour that arrive
    };
    const Case cases[] = {
        {"whole", Rect(0, 0, 8, 6), Rect(0, 0, 8, 6), 48},
        {"source partly outside", Rect(0, 0, 8, 6), Rect(4, 0, 12, 6), 24},
        {"destination partly outside", Rect(-2, -1, 6, 5), Rect(0, 0, 8, 6), 30},
        {"entirely outside", Rect(20, 20, 28, 26), Rect(0, 0, 8, 6), 0},
        {"empty rectangle", Rect(0, 0, 0, 6), Rect(0, 0, 0, 6), 0},
        {"stretched twice as wide", Rect(0, 0, 8, 3), Rect(0, 0, 4, 3), 24},
    };
    for (const Case& c : cases) {
        TBitmap from, to;
        from.SetSize(8, 6);
        to.SetSize(8, 6);
        Fill(from, clLime);
        to.Canvas->CopyRect(c.dest, from.Canvas, c.src);
        EXPECT_EQ(CountColor(to, clLime), c.copied) << c.name;
    }
}

TEST(Canvas, CopyRectWithinOnePictureScrollsWithoutSmearing)
{
    TBitmap b;
    b.SetSize(3, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) b.Canvas->Pixels[x][y] = RGB(0, 0, y + 1);
    b.Canvas->CopyRect(Rect(0, 1, 3, 4), b.Canvas, Rect(0, 0, 3, 3));
    for (int y = 1; y < 4; ++y) EXPECT_EQ(TColor(b.Canvas->Pixels[1][y]), RGB(0, 0, y)) << "row " << y;
}

TEST(Canvas, FillRectNeedsASolidBrush)
{
    TBitmap b;
    b.SetSize(10, 10);
    b.Canvas->Brush->Color = clWhite;
    b.Canvas->Brush->Style = bsClear;
    b.Canvas->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(CountColor(b, clWhite), 0);
    b.Canvas->Brush->Style = bsSolid;
    b.Canvas->FillRect(Rect(-5, 8, 3, 20));
    EXPECT_EQ(CountColor(b, clWhite), 6);
}

TEST(Canvas, EllipseOutlineFitsItsBoxWithCornersInAnyOrder)
{
    TBitmap a, b;
    a.SetSize(40, 40);
    b.SetSize(40, 40);
    for (TBitmap* p : {&a, &b}) {
        p->Canvas->Pen->Color = clYellow;
        p->Canvas->Brush->Style = bsClear;
    }
    a.Canvas->Ellipse(10, 5, 30, 35);
    b.Canvas->Ellipse(30, 35, 10, 5);
    EXPECT_EQ(a.Buffer().Pixels, b.Buffer().Pixels);
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (TColor(a.Canvas->Pixels[x][y]) == clYellow) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    EXPECT_EQ(minX, 10);
    EXPECT_EQ(maxX, 29);
    EXPECT_EQ(minY, 5);
    EXPECT_EQ(maxY, 34);
    // A clear brush leaves the inside alone; the outline is closed along each row's ends.
    EXPECT_EQ(TColor(a.Canvas->Pixels[20][20]), clBlack);
    for (int y = 6; y < 34; ++y) {
        int ends = 0;
        for (int x = 0; x < 40; ++x) ends += TColor(a.Canvas->Pixels[x][y]) == clYellow;
        EXPECT_GE(ends, 2) << "row " << y;
    }
}

TEST(Canvas, EllipseMergePenOrsOntoThePicture)
{
    TBitmap b;
    b.SetSize(50, 50);
    Fill(b, clBlue);
    b.Canvas->Pen->Color = clYellow;
    b.Canvas->Pen->Mode = pmMerge;
    b.Canvas->Brush->Style = bsClear;
    b.Canvas->Ellipse(5, 5, 45, 45);
    EXPECT_GT(CountColor(b, clWhite), 100);  // blue | yellow
    EXPECT_EQ(CountColor(b, clYellow), 0);
    EXPECT_EQ(TColor(b.Canvas->Pixels[25][25]), clBlue);
}

TEST(Canvas, HugeRingIsClippedToThePicture)
{
    TBitmap b;
    b.SetSize(400, 300);
    b.Canvas->Pen->Color = clYellow;
    b.Canvas->Brush->Style = bsClear;
    const int d = 39 * 30;
    b.Canvas->Ellipse(200 + d, 150 + d, 200 - d, 150 - d);
    EXPECT_EQ(CountColor(b, clYellow), 0);  // the whole ring lies outside
    const int r = 117;
    b.Canvas->Ellipse(200 + r, 150 + r, 200 - r, 150 - r);
    EXPECT_EQ(TColor(b.Canvas->Pixels[200 - r][150]), clYellow);
    EXPECT_EQ(TColor(b.Canvas->Pixels[200][150 - r]), clYellow);
}

TEST(Canvas, SolidBrushFillsTheEllipse)
{
    TBitmap b;
    b.SetSize(20, 20);
    b.Canvas->Brush->Color = clRed;
    b.Canvas->Pen->Color = clWhite;
    b.Canvas->Ellipse(0, 0, 20, 20);
    EXPECT_EQ(TColor(b.Canvas->Pixels[10][10]), clRed);
    EXPECT_EQ(TColor(b.Canvas->Pixels[0][10]), clWhite);
    EXPECT_EQ(TColor(b.Canvas->Pixels[0][0]), clBlack);
}

TEST(Canvas, LineToStopsBeforeItsEnd)
{
    TBitmap b;
    b.SetSize(10, 10);
    b.Canvas->Pen->Color = clLime;
    b.Canvas->MoveTo(1, 1);
    b.Canvas->LineTo(6, 1);
    EXPECT_EQ(CountColor(b, clLime), 5);
    EXPECT_EQ(TColor(b.Canvas->Pixels[6][1]), clBlack);
}

TEST(Canvas, TextOutDrawsOnlyTheLettersOverAClearBrush)
{
    TBitmap b;
    b.SetSize(120, 30);
    Fill(b, clNavy);
    TCanvas& c = *b.Canvas;
    c.Font->Size = 9;
    c.Font->Style = TFontStyles() << fsBold;
    c.Font->Color = clYellow;
    c.Brush->Style = bsClear;
    if (c.TextWidth("1000") == 0) GTEST_SKIP() << "no font on this system";
    EXPECT_EQ(c.TextHeight("1000"), c.TextHeight("100"));
    EXPECT_GT(c.TextHeight("1000"), 10);
    c.TextOut(10, 5, "1000");
    const int letters = CountColor(b, clYellow);
    EXPECT_GT(letters, 20);
    EXPECT_EQ(TColor(c.Pixels[10 + c.TextWidth("1000") + 2][5]), clNavy);
    EXPECT_EQ(TColor(c.Pixels[5][5]), clNavy);
    // Drawn again from the cache: the same pixels.
    const auto first = b.Buffer().Pixels;
    Fill(b, clNavy);
    c.Brush->Style = bsClear;
    c.TextOut(10, 5, "1000");
    EXPECT_EQ(b.Buffer().Pixels, first);
    // Partly outside the picture: clipped, no fault.
    c.TextOut(-8, 25, "1000");
    c.TextOut(115, -6, "1000");
}

TEST(Canvas, TextOutOverASolidBrushFillsBehind)
{
    TBitmap b;
    b.SetSize(80, 30);
    TCanvas& c = *b.Canvas;
    c.Font->Color = clYellow;
    c.Brush->Style = bsSolid;
    c.Brush->Color = clGray;
    if (c.TextWidth("100") == 0) GTEST_SKIP() << "no font on this system";
    c.TextOut(0, 0, "100");
    EXPECT_EQ(TColor(c.Pixels[0][0]), clGray);
    EXPECT_EQ(TColor(c.Pixels[c.TextWidth("100")][0]), clBlack);
}

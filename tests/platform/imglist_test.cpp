#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "platform/vcl/imglist.h"

namespace {
// A strip of images w × h side by side; image i is filled with colours[i] except a black
// (transparent) left column.
void MakeStrip(TBitmap& strip, int w, int h, const std::vector<TColor>& colours, int extraWidth = 0)
{
    strip.SetSize(w * int(colours.size()) + extraWidth, h);
    strip.Canvas->Brush->Style = bsSolid;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        strip.Canvas->Brush->Color = colours[i];
        strip.Canvas->FillRect(Rect(int(i) * w + 1, 0, int(i + 1) * w, h));
    }
}

void Paint(TBitmap& b, TColor c)
{
    b.Canvas->Brush->Style = bsSolid;
    b.Canvas->Brush->Color = c;
    b.Canvas->FillRect(b.Canvas->ClipRect);
}
}  // namespace

TEST(ImageList, WideBitmapIsCutIntoImagesAndBlackStaysTransparent)
{
    TImageList list(nullptr, 4, 4);
    TBitmap strip;
    MakeStrip(strip, 4, 4, {clRed, clLime, clBlue}, 3);  // the 3 extra columns make no image
    EXPECT_EQ(list.AddMasked(&strip, clBlack), 0);
    EXPECT_EQ(int(list.Count), 3);

    TBitmap target;
    target.SetSize(6, 6);
    Paint(target, clGray);
    list.Draw(target.Canvas, 1, 1, 1);
    EXPECT_EQ(TColor(target.Canvas->Pixels[1][1]), clGray) << "black column shows what lies beneath";
    EXPECT_EQ(TColor(target.Canvas->Pixels[2][1]), clLime);
    EXPECT_EQ(TColor(target.Canvas->Pixels[4][4]), clLime);
    EXPECT_EQ(TColor(target.Canvas->Pixels[5][5]), clGray);
}

TEST(ImageList, NarrowOrShortBitmapMakesOneImageTransparentBeyondIt)
{
    TImageList list(nullptr, 8, 8);
    TBitmap small;
    small.SetSize(3, 2);
    Paint(small, clYellow);
    list.AddMasked(&small, clBlack);
    ASSERT_EQ(int(list.Count), 1);
    TBitmap target;
    target.SetSize(8, 8);
    Paint(target, clNavy);
    list.Draw(target.Canvas, 0, 0, 0);
    EXPECT_EQ(TColor(target.Canvas->Pixels[2][1]), clYellow);
    EXPECT_EQ(TColor(target.Canvas->Pixels[3][1]), clNavy);
    EXPECT_EQ(TColor(target.Canvas->Pixels[0][2]), clNavy);
}

TEST(ImageList, IndexOutsideTheListDrawsNothing)
{
    TImageList list(nullptr, 2, 2);
    TBitmap one;
    one.SetSize(2, 2);
    Paint(one, clWhite);
    list.AddMasked(&one, clBlack);
    TBitmap target;
    target.SetSize(4, 4);
    for (int index : {-16, -1, 1, 5, 1000}) {
        list.Draw(target.Canvas, 0, 0, index);
        EXPECT_EQ(target.Buffer().Pixels, std::vector<std::uint32_t>(16, 0)) << "index " << index;
    }
    list.Draw(nullptr, 0, 0, 0);
}

TEST(ImageList, DrawIsClippedAtEveryEdge)
{
    TImageList list(nullptr, 4, 4);
    TBitmap img;
    img.SetSize(4, 4);
    Paint(img, clAqua);
    list.AddMasked(&img, clBlack);
    struct Case {
        int x, y, visible;
    };
    for (const Case c : {Case{-2, -2, 4}, Case{4, 4, 4}, Case{-4, 0, 0}, Case{6, 6, 0}, Case{1, -3, 4}}) {
        TBitmap target;
        target.SetSize(6, 6);
        list.Draw(target.Canvas, c.x, c.y, 0);
        int n = 0;
        for (std::uint32_t p : target.Buffer().Pixels) n += p == std::uint32_t(clAqua);
        EXPECT_EQ(n, c.visible) << "at " << c.x << "," << c.y;
    }
}

TEST(ImageList, SelectedStyleBlendsHalfWithTheBlendColour)
{
    TImageList list(nullptr, 2, 1);
    TBitmap img;
    img.SetSize(2, 1);
    img.Canvas->Pixels[0][0] = RGB(0, 200, 0);
    list.AddMasked(&img, clBlack);
    TBitmap target;
    target.SetSize(2, 1);
    target.Canvas->Pixels[1][0] = clBlue;
    list.BlendColor = clYellow;
    list.DrawingStyle = dsSelected;
    list.Draw(target.Canvas, 0, 0, 0);
    EXPECT_EQ(TColor(target.Canvas->Pixels[0][0]), RGB(127, 227, 0));
    EXPECT_EQ(TColor(target.Canvas->Pixels[1][0]), clBlue) << "the transparent part stays untouched";
    list.DrawingStyle = dsNormal;
    list.Draw(target.Canvas, 0, 0, 0);
    EXPECT_EQ(TColor(target.Canvas->Pixels[0][0]), RGB(0, 200, 0));
}

TEST(ImageList, AddWithAMaskAndResizingEmptiesTheList)
{
    TImageList list(nullptr, 2, 1);
    TBitmap img, mask;
    img.SetSize(2, 1);
    Paint(img, clBlack);
    mask.SetSize(2, 1);
    mask.Canvas->Pixels[1][0] = clWhite;
    list.Add(&img, nullptr);
    list.Add(&img, &mask);
    TBitmap target;
    target.SetSize(2, 2);
    Paint(target, clRed);
    list.Draw(target.Canvas, 0, 0, 0);  // opaque black
    list.Draw(target.Canvas, 0, 1, 1);  // black, its second pixel masked out
    EXPECT_EQ(TColor(target.Canvas->Pixels[1][0]), clBlack);
    EXPECT_EQ(TColor(target.Canvas->Pixels[0][1]), clBlack);
    EXPECT_EQ(TColor(target.Canvas->Pixels[1][1]), clRed);
    list.Width = 3;
    EXPECT_EQ(int(list.Count), 0);
}

TEST(ImageList, FileLoadReplacesTheImagesAndABadFileKeepsThem)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("zq_il_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    TBitmap strip;
    MakeStrip(strip, 2, 2, {clRed, clLime, clBlue, clWhite});
    strip.SaveToFile((dir / "strip.bmp").string());

    TImageList list(nullptr, 2, 2);
    list.AddMasked(&strip, clBlack);
    EXPECT_TRUE(list.FileLoad(rtBitmap, (dir / "strip.bmp").string(), clBlack));
    EXPECT_EQ(int(list.Count), 4);
    EXPECT_THROW(list.FileLoad(rtBitmap, (dir / "none.bmp").string(), clBlack), Exception);
    EXPECT_EQ(int(list.Count), 4);
    TBitmap out;
    list.GetBitmap(3, &out);
    EXPECT_EQ(TColor(out.Canvas->Pixels[1][1]), clWhite);
    EXPECT_EQ(TColor(out.Canvas->Pixels[0][1]), clBlack);
    std::filesystem::remove_all(dir);
}

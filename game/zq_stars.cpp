// The two star pictures, their scrolling, and the bullet direction tables.
#include <cmath>

#include "game/zq_main.h"

namespace {
void FillBlack(TCanvas* canvas)
{
    canvas->Brush->Color = clBlack;
    canvas->Brush->Style = bsSolid;
    canvas->FillRect(canvas->ClipRect);
}

// One star at a random place; x is drawn before y.
void RandomStar(TCanvas* canvas, TColor color)
{
    const int x = GameRandom() % 400;
    const int y = GameRandom() % 300;
    canvas->Pixels[x][y] = color;
}
}  // namespace

void TForm1::MakeForegroundLayer()
{
    FillBlack(I0->Canvas);
    for (int i = 0; i < 40; ++i) {
        RandomStar(I0->Canvas, clYellow);
        RandomStar(I0->Canvas, clAqua);
    }
    Scratch->SetSize(400, 300);
    const TRect layer = Rect(0, 0, 400, 300);
    Scratch->Canvas->CopyRect(layer, I0->Canvas, layer);
    IL400->AddMasked(Scratch, clBlack);
    delete Scratch;
    Scratch = nullptr;
}

void TForm1::MakeBackgroundStars()
{
    FillBlack(I0->Canvas);
    const TColor colours[3] = {clTeal, clGray, clLime};
    for (int i = 0; i < 40; ++i) {
        for (TColor colour : colours) {
            const int x = GameRandom() % 400;
            const int y = GameRandom() % 300;
            I0->Canvas->Pixels[x][y] = colour;
            I0->Canvas->Pixels[x][y + 300] = colour;
        }
    }
}

void TForm1::FillDirectionTables()
{
    // 6.28318 falls just short of two pi, which is why the quarter turns come out as 15.
    for (int i = 0; i < 16; ++i) {
        const double angle = i * 6.28318 * 0.0625;
        CosTable[i] = static_cast<int>(std::cos(angle) * 16);
        SinTable[i] = static_cast<int>(std::sin(angle) * 16);
    }
}

void TForm1::ScrollStars()
{
    if (++ScrollDivider > 1) {
        --StarScroll;
        ScrollDivider = 0;
    }
    if (StarScroll < 0) {
        StarScroll = 300;
    }
    I1->Canvas->CopyRect(Rect(0, 0, 400, 300), I0->Canvas, Rect(0, StarScroll, 400, StarScroll + 300));

    if (++LayerScroll > 300) {
        LayerScroll = 0;
    }
    IL400->Draw(I1->Canvas, 0, LayerScroll, 0);
    IL400->Draw(I1->Canvas, 0, LayerScroll - 300, 0);
}

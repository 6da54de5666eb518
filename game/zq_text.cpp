// Bitmap-font text, decimal numbers and the HUD.
#include <cstdio>

#include "game/zq_main.h"

void TForm1::DrawGlyphText(int X, int Y, int Style, int Length, const char* Text)
{
    TImageList* list = Style == gsDigits ? Font2 : Font0;
    const int advance = Style == gsDigits ? 10 : 12;
    if (Style == gsNormal) {
        Font0->DrawingStyle = dsNormal;
    } else if (Style == gsHighlight) {
        Font0->BlendColor = clYellow;
        Font0->DrawingStyle = dsSelected;
    }
    for (int i = 0; i < Length; ++i) {
        // Plain character arithmetic; anything outside the font lands outside the list and is
        // skipped by the list itself, leaving a gap.
        const int c = static_cast<signed char>(Text[i]);
        const int index = c < ':' ? c - '0' : c - 55;
        list->Draw(I1->Canvas, X + advance * i, Y, index);
    }
    if (Style == gsHighlight) {
        Font0->DrawingStyle = dsNormal;
    }
}

int TForm1::NumberToText(int Value)
{
    return std::snprintf(NumberText, sizeof NumberText, "%d", Value);
}

void TForm1::DrawNumber(int X, int Y, int Style, int Value)
{
    DrawGlyphText(X, Y, Style, NumberToText(Value), NumberText);
}

void TForm1::DrawHud()
{
    DrawGlyphText(150, 2, gsNormal, 5, "COUNT");
    DrawNumber(220, 2, gsDigits, Count);
    ISC->Draw(I1->Canvas, 20, 281, 0);
    ISC->Draw(I1->Canvas, 220, 281, 1);
    DrawNumber(85, 281, gsDigits, Score);
    DrawNumber(315, 281, gsDigits, Score > HighScores[0] ? Score : HighScores[0]);
}

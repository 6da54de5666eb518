// The high-score table: insertion of a finished game's score and the ranking screen.
#include "game/zq_main.h"

namespace {
constexpr int TableRows = 7;  // entry 7 is the best score at the start of the last game
constexpr int NoMark = 10;
const char* const RowLabels[TableRows] = {"1ST", "2ND", "3RD", "4TH", "5TH", "6TH", "7TH"};

// Numbers of 4 to 6 digits end at x = 286; shorter ones start at 210.
int RowNumberX(int Length)
{
    if (Length == 5)
        return 222;
    if (Length == 4)
        return 234;
    return 210;
}

void DrawRow(TForm1& F, int Row, int Style)
{
    const int Y = 75 + 26 * Row;
    const int Length = F.NumberToText(F.HighScores[Row]);
    F.DrawGlyphText(RowNumberX(Length), Y, Style, Length, F.NumberText);
    F.DrawGlyphText(120, Y, Style, 3, RowLabels[Row]);
}

// The score goes in front of the first row it beats; a tie goes below the equal row.
void InsertScore(TForm1& F)
{
    F.RankDone = 1;
    F.RankMark = NoMark;
    for (int I = 0; I < TableRows; I++) {
        if (F.Score <= F.HighScores[I] || F.RankMark != NoMark)
            continue;
        for (int J = TableRows - 2; J >= I; J--)
            F.HighScores[J + 1] = F.HighScores[J];
        F.HighScores[I] = F.Score;
        F.RankMark = I;
        F.RankBlink = 0;
    }
}
}  // namespace

void TForm1::RunRanking()
{
    if (RankDone == 0)
        InsertScore(*this);
    ISC->Draw(I1->Canvas, 163, 40, 3);
    for (int I = 0; I < TableRows; I++)
        DrawRow(*this, I, gsNormal);
    if (RankMark < NoMark) {
        DrawRow(*this, RankMark, RankBlink == 1 ? gsHighlight : gsNormal);
        RankBlink = RankBlink == 0 ? 1 : 0;
    }
}

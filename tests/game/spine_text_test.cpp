// Glyph text and the HUD, read back from the drawing surface. Every generated glyph is a solid
// square of its own colour (MarkColour), so a pixel names the glyph drawn there.
#include "tests/game/spine_fixture.h"

namespace spine {
namespace {

constexpr int Font0Id = 0;
constexpr int IscId = 1;
constexpr int Font2Id = 3;

class SpineText : public SpineTest {
protected:
    void SetUp() override
    {
        SpineTest::SetUp();
        WriteAllAssets();
        StartUp();
        ClearSurface();
    }
    TColor At(int x, int y) { return Form->I1->Canvas->Pixels[x][y]; }
    // The part of a glyph cell that the next glyph does not overlap.
    TColor Cell(int x, int y) { return At(x + 6, y + 8); }
    bool Blank(int left, int top, int right, int bottom)
    {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) != clBlack) {
                    return false;
                }
            }
        }
        return true;
    }
};

TEST_F(SpineText, GameOverMapsLettersToImagesAndLeavesAGapForTheSpace)
{
    Form->DrawGlyphText(147, 150, gsNormal, 9, "GAME OVER");
    const int images[9] = {16, 10, 22, 14, -1, 24, 31, 14, 27};
    for (int i = 0; i < 9; ++i) {
        const int x = 147 + 12 * i;
        if (images[i] < 0) {
            EXPECT_TRUE(Blank(x + 4, 150, x + 12, 166)) << "the space at x " << x;
        } else {
            EXPECT_EQ(Cell(x, 150), MarkColour(Font0Id, images[i])) << "glyph " << i;
        }
    }
    EXPECT_TRUE(Blank(0, 0, 147, 300));
    EXPECT_TRUE(Blank(147 + 12 * 8 + 16, 0, 400, 300));
    EXPECT_TRUE(Blank(147, 0, 400, 150));
    EXPECT_TRUE(Blank(147, 166, 400, 300));
}

TEST_F(SpineText, CharactersOutsideTheFontDrawNothingButKeepTheirPlace)
{
    struct Case {
        const char* Text;
        int Style;
        std::vector<int> Images;  // -1: nothing drawn in that cell
    } const cases[] = {
        {"-50", gsDigits, {-1, 5, 0}},
        {"A1", gsDigits, {-1, 1}},
        {"a[Z", gsNormal, {-1, 36, 35}},
        {"9:", gsNormal, {9, 3}},
    };
    for (const Case& c : cases) {
        ClearSurface();
        const int n = static_cast<int>(c.Images.size());
        Form->DrawGlyphText(100, 50, c.Style, n, c.Text);
        const int advance = c.Style == gsDigits ? 10 : 12;
        const int list = c.Style == gsDigits ? Font2Id : Font0Id;
        for (int i = 0; i < n; ++i) {
            const int x = 100 + advance * i;
            const TColor expected = c.Images[i] < 0 ? clBlack : MarkColour(list, c.Images[i]);
            EXPECT_EQ(At(x + 4, 58), expected) << c.Text << " cell " << i;
        }
    }
}

TEST_F(SpineText, NoCharactersForZeroOrNegativeLength)
{
    for (int length : {0, -1, -100}) {
        Form->DrawGlyphText(10, 10, gsNormal, length, "COUNT");
        Form->DrawGlyphText(10, 40, gsDigits, length, "123");
        EXPECT_TRUE(Blank(0, 0, 400, 300)) << "length " << length;
    }
}

TEST_F(SpineText, HighlightBlendsAndTheNextNormalCallIsPlainAgain)
{
    Form->DrawGlyphText(120, 75, gsHighlight, 3, "1ST");
    const TColor highlighted = Cell(120, 75);
    EXPECT_NE(highlighted, MarkColour(Font0Id, 1));
    EXPECT_NE(highlighted, clBlack);
    // Blended toward yellow: more red and green than the plain glyph.
    EXPECT_GT(GetRValue(highlighted), GetRValue(MarkColour(Font0Id, 1)));
    EXPECT_GT(GetGValue(highlighted), GetGValue(MarkColour(Font0Id, 1)));
    EXPECT_EQ(Form->Font0->DrawingStyle, dsNormal);

    Form->DrawGlyphText(120, 75, gsNormal, 3, "1ST");
    EXPECT_EQ(Cell(120, 75), MarkColour(Font0Id, 1));
    EXPECT_EQ(Cell(132, 75), MarkColour(Font0Id, 28));
}

TEST_F(SpineText, NumbersBecomeDecimalText)
{
    const struct { int Value; const char* Text; } cases[] = {
        {0, "0"}, {1500, "1500"}, {-50, "-50"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
    for (const auto& c : cases) {
        const int n = Form->NumberToText(c.Value);
        EXPECT_EQ(AnsiString(Form->NumberText, n), c.Text);
        EXPECT_EQ(Form->NumberText[n], '\0');
    }
}

TEST_F(SpineText, HudPlacesEveryItemAndShowsTheBetterOfScoreAndBest)
{
    const struct { int Score, Best, Shown; } cases[] = {{0, 7000, 7000}, {9000, 7000, 9000}, {7000, 7000, 7000}};
    for (const auto& c : cases) {
        ClearSurface();
        Form->Count = -50;
        Form->Score = c.Score;
        Form->HighScores[0] = c.Best;
        Form->DrawHud();
        const char* count = "COUNT";
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(Cell(150 + 12 * i, 2), MarkColour(Font0Id, count[i] - 55)) << count[i];
        }
        EXPECT_EQ(At(224, 10), clBlack) << "minus sign of the count";
        EXPECT_EQ(At(234, 10), MarkColour(Font2Id, 5));
        EXPECT_EQ(At(244, 10), MarkColour(Font2Id, 0));
        EXPECT_EQ(At(20, 281), MarkColour(IscId, 0));
        EXPECT_EQ(At(94, 297), MarkColour(IscId, 0));
        EXPECT_EQ(At(220, 281), MarkColour(IscId, 1));
        Form->NumberToText(c.Score);
        EXPECT_EQ(At(89, 289), MarkColour(Font2Id, Form->NumberText[0] - '0')) << c.Score;
        Form->NumberToText(c.Shown);
        for (int i = 0; Form->NumberText[i]; ++i) {
            EXPECT_EQ(At(319 + 10 * i, 289), MarkColour(Font2Id, Form->NumberText[i] - '0')) << c.Shown;
        }
        EXPECT_EQ(Form->HighScores[0], c.Best) << "the HUD only reads the table";
    }
}

}  // namespace
}  // namespace spine

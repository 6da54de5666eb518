// The high-score table: where a finished game's score goes, which row blinks, and where the
// rows are drawn.
#include "tests/game/case_names.h"
#include "tests/game/play_fixture.h"

namespace {

using Table = std::vector<int>;  // entries 0..7

struct InsertCase {
    const char* Name;
    Table Before;
    int Score;
    Table After;
    int Mark;
};

const Table Defaults = {7000, 6000, 5000, 4000, 3000, 2000, 1000, 0};

const std::vector<InsertCase>& InsertCases()
{
    static const std::vector<InsertCase> cases = {
        {"between rows", Defaults, 4500, {7000, 6000, 5000, 4500, 4000, 3000, 2000, 0}, 3},
        {"a tie goes below", Defaults, 5000, {7000, 6000, 5000, 5000, 4000, 3000, 2000, 0}, 3},
        {"equal to the last row", Defaults, 1000, Defaults, 10},
        {"just above the last row", Defaults, 1001, {7000, 6000, 5000, 4000, 3000, 2000, 1001, 0}, 6},
        {"new best", Defaults, 9000, {9000, 7000, 6000, 5000, 4000, 3000, 2000, 0}, 0},
        {"a zero score enters nothing", {0, 0, 0, 0, 0, 0, 0, 0}, 0, {0, 0, 0, 0, 0, 0, 0, 0}, 10},
        {"out of order rows: first row beaten", {5000, 100, 9000, 50, 7000, 10, 0, 123}, 4000,
         {5000, 4000, 100, 9000, 50, 7000, 10, 123}, 1},
        {"entry 7 never moves", {10, 9, 8, 7, 6, 5, 4, 99999}, 8, {10, 9, 8, 8, 7, 6, 5, 99999}, 3},
        {"a negative row takes a zero score", {5, 4, 3, 2, 1, -7, -8, 0}, 0,
         {5, 4, 3, 2, 1, 0, -7, 0}, 5},
    };
    return cases;
}

class RankingInsertTest : public GameTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(RankingInsertTest, ScoreGoesInFrontOfTheFirstRowItBeats)
{
    const InsertCase& c = GetParam();
    SCOPED_TRACE(c.Name);
    std::copy(c.Before.begin(), c.Before.end(), Form->HighScores);
    Form->Score = c.Score;
    Form->RankDone = 0;
    Form->RankMark = 0;
    Form->RankBlink = 1;
    Form->RunRanking();
    EXPECT_EQ(Table(Form->HighScores, Form->HighScores + 8), c.After);
    EXPECT_EQ(Form->RankMark, c.Mark);
    EXPECT_EQ(Form->RankDone, 1);

    // Offered once per visit: the next frames insert nothing more.
    Form->RunRanking();
    Form->RunRanking();
    EXPECT_EQ(Table(Form->HighScores, Form->HighScores + 8), c.After);
}

INSTANTIATE_TEST_SUITE_P(Cases, RankingInsertTest, ::testing::ValuesIn(InsertCases()), CaseName());

class RankingDrawTest : public GameTest {
protected:
    // The glyph drawn with its top-left corner at (x, y): a Font0 index, or -1.
    int GlyphAt(int x, int y) const
    {
        const TDrawnImage d = ImageAt(x, y);
        return d.Tag == tagFont0 ? d.Index : -1;
    }
    static int Digit(char c) { return c - '0'; }
    static int Letter(char c) { return c - 'A' + 10; }
};

TEST_F(RankingDrawTest, NumbersAlignByLengthAndLabelsStayAt120)
{
    const Table table = {123456, 12000, 5000, 900, 45, 7, -3, 0};
    std::copy(table.begin(), table.end(), Form->HighScores);
    Form->RankDone = 1;
    Form->RankMark = 10;
    ClearSurface();
    Form->RunRanking();
    struct {
        int Row;
        int X;
        char First;
    } const rows[] = {{0, 210, '1'}, {1, 222, '1'}, {2, 234, '5'}, {3, 210, '9'},
                      {4, 210, '4'}, {5, 210, '7'}};
    for (const auto& r : rows) {
        const int y = 75 + 26 * r.Row;
        SCOPED_TRACE(r.Row);
        EXPECT_EQ(GlyphAt(r.X, y), Digit(r.First));
        EXPECT_EQ(GlyphAt(r.X - 1, y), -1) << "nothing left of the number";
        EXPECT_EQ(GlyphAt(120, y), Digit(static_cast<char>('1' + r.Row)));
        EXPECT_EQ(GlyphAt(132, y), r.Row == 0 ? Letter('S') : r.Row == 1 ? Letter('N')
                                   : r.Row == 2 ? Letter('R') : Letter('T'));
        EXPECT_EQ(GlyphAt(144, y), r.Row == 0 ? Letter('T') : r.Row < 3 ? Letter('D') : Letter('H'));
    }
    // 4, 5 and 6 digits end together at x = 286.
    EXPECT_EQ(GlyphAt(285, 75), Digit('6'));
    EXPECT_EQ(GlyphAt(285, 101), Digit('0'));
    EXPECT_EQ(GlyphAt(285, 127), Digit('0'));
    EXPECT_EQ(GlyphAt(286, 127), -1);
    // A minus sign leaves a gap one advance wide.
    EXPECT_EQ(GlyphAt(210, 231), -1);
    EXPECT_EQ(GlyphAt(222, 231), Digit('3'));
    EXPECT_EQ(ImageAt(163, 40), (TDrawnImage{tagISC, 3}));
}

TEST_F(RankingDrawTest, NewRowBlinksFromTheSecondFrame)
{
    std::copy(Defaults.begin(), Defaults.end(), Form->HighScores);
    Form->Score = 4500;
    Form->RankDone = 0;
    const int row3 = 75 + 26 * 3;
    ClearSurface();
    Form->RunRanking();
    const TColor plain = Pixel(234 + 3, row3 + 3);
    const TColor otherRow = Pixel(234 + 3, row3 + 26 + 3);
    ASSERT_EQ(GlyphAt(234, row3), Digit('4'));
    std::vector<bool> lit;
    for (int frame = 2; frame <= 5; frame++) {
        ClearSurface();
        Form->RunRanking();
        lit.push_back(Pixel(237, row3 + 3) != plain);
        EXPECT_EQ(Pixel(237, row3 + 26 + 3), otherRow) << "other rows stay plain";
    }
    EXPECT_EQ(lit, (std::vector<bool>{true, false, true, false}));
}

TEST_F(RankingDrawTest, NothingBlinksWithoutANewRow)
{
    std::copy(Defaults.begin(), Defaults.end(), Form->HighScores);
    Form->Score = 0;
    Form->RankDone = 0;
    Form->RankBlink = 0;
    Form->RunRanking();
    Form->RunRanking();
    EXPECT_EQ(Form->RankMark, 10);
    EXPECT_EQ(Form->RankBlink, 0);
}

}  // namespace

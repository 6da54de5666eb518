// The screens around play, run through whole frames: the title and the ranking screen taking
// turns, a game starting from the title, the game-over screen, and the firework.
#include "tests/game/play_fixture.h"

namespace {

class PhaseTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        Platform::SetClockSource(&Clock);
        std::copy(std::begin(Table), std::end(Table), Form->HighScores);
        Form->Phase = gpTitle;
        Form->PhaseTimer = 0;
    }
    void TearDown() override
    {
        Platform::SetClockSource(nullptr);
        GameTest::TearDown();
    }

    void Frame()
    {
        bool done = true;
        Form->RunFrame(nullptr, done);
        EXPECT_FALSE(done);
    }

    // Frames until the phase changes (at most limit); the count includes the frame of the change.
    int FramesInPhase(int limit = 2000)
    {
        const int phase = Form->Phase;
        int n = 0;
        while (Form->Phase == phase && n < limit) {
            Frame();
            n++;
        }
        return n;
    }

    static constexpr int Table[8] = {7000, 6000, 5000, 4000, 3000, 2000, 1000, 0};
    SteppingClock Clock;
};

TEST_F(PhaseTest, TitleAndRankingTakeTurnsForEver)
{
    Form->Score = 900;
    EXPECT_EQ(FramesInPhase(), 151);
    EXPECT_EQ(Form->Phase, gpRanking);
    EXPECT_EQ(Form->Score, 0) << "the attract cycle's ranking enters nothing";
    EXPECT_EQ(FramesInPhase(), 151);
    EXPECT_EQ(Form->Phase, gpTitle);
    EXPECT_EQ(Form->PhaseTimer, 0);
    EXPECT_EQ(FramesInPhase(), 151);
    EXPECT_EQ(Form->Phase, gpRanking);
    EXPECT_EQ(std::vector<int>(Form->HighScores, Form->HighScores + 8),
              std::vector<int>(std::begin(Table), std::end(Table)));
}

TEST_F(PhaseTest, PressOnTheTitlesLastFrameLeadsToTheRanking)
{
    for (int i = 0; i < 150; i++)
        Frame();
    ASSERT_EQ(Form->Phase, gpTitle);
    Form->KeyFire = 1;
    Frame();
    EXPECT_EQ(Form->Phase, gpRanking);
    EXPECT_EQ(Form->FireLatch, 1);
}

TEST_F(PhaseTest, PressOnTheRankingReturnsToAShorterTitle)
{
    FramesInPhase();
    ASSERT_EQ(Form->Phase, gpRanking);
    Frame();
    Form->KeyFire = 1;
    Frame();
    EXPECT_EQ(Form->Phase, gpTitle);
    EXPECT_EQ(Form->PhaseTimer, 1);
    Form->KeyFire = 0;
    EXPECT_EQ(FramesInPhase(), 150);
    EXPECT_EQ(Form->Phase, gpRanking);
}

TEST_F(PhaseTest, PressHeldFromTheRankingIntoTheTitleNeedsARelease)
{
    FramesInPhase();
    Frame();
    Form->KeyFire = 1;
    Frame();
    ASSERT_EQ(Form->Phase, gpTitle);
    for (int i = 0; i < 20; i++)
        Frame();
    EXPECT_EQ(Form->Phase, gpTitle) << "the held press does not start a game";
    Form->KeyFire = 0;
    Frame();
    Form->KeyFire = 1;
    Frame();
    EXPECT_EQ(Form->Phase, gpStart);
}

TEST_F(PhaseTest, GameStartsFromTheTitleWithAFreshShip)
{
    // A firework leaves its centre in the ship's record.
    FramesInPhase();
    Frame();
    ASSERT_NE(Form->Player.X, 200);
    Form->KeyFire = 1;
    Frame();
    Form->KeyFire = 0;
    Frame();
    Form->KeyFire = 1;
    Frame();
    ASSERT_EQ(Form->Phase, gpStart);
    const int before = Form->Count;
    Frame();
    EXPECT_EQ(Form->Phase, gpPlay);
    EXPECT_EQ(Form->Count, 1500);
    EXPECT_NE(before, 1500);
    EXPECT_EQ(Form->HighScores[7], 7000);
    Frame();
    EXPECT_EQ(Form->Count, 1499);
    EXPECT_EQ(Form->Player.X, 200);
    EXPECT_EQ(Form->Player.Y, 253);
    EXPECT_EQ(Form->Player.Bank, 3);
    EXPECT_EQ(Form->Shot.State, ssReady) << "the starting press does not fire";
    EXPECT_EQ(Form->Shot.Y, 245);
}

TEST_F(PhaseTest, GameOverLastsAHundredAndOneFramesUnlessPressed)
{
    struct {
        bool HeldFromGame;
        int PressAt;  // frame of a new press, 0 for none
        int Frames;
    } const cases[] = {{false, 0, 101}, {true, 0, 101}, {false, 10, 10}, {true, 1, 101}};
    for (const auto& c : cases) {
        Form->Phase = gpGameOver;
        Form->PhaseTimer = 0;
        Form->FireLatch = 1;
        Form->Score = 4500;
        Form->KeyFire = c.HeldFromGame ? 1 : 0;
        int n = 0;
        while (Form->Phase == gpGameOver && n < 200) {
            n++;
            if (c.PressAt)
                Form->KeyFire = n == c.PressAt || (c.HeldFromGame && n < c.PressAt) ? 1 : 0;
            Frame();
        }
        EXPECT_EQ(n, c.Frames) << "press at " << c.PressAt << (c.HeldFromGame ? ", held" : "");
        EXPECT_EQ(Form->Phase, gpRanking);
        EXPECT_EQ(Form->Score, 4500) << "the finished score is kept for the table";
        Frame();
        EXPECT_EQ(Form->HighScores[3], 4500);
        EXPECT_EQ(Form->RankMark, 3);
        std::copy(std::begin(Table), std::end(Table), Form->HighScores);
    }
}

TEST_F(PhaseTest, FireworkRunsATwentyTwoFrameCycle)
{
    Form->Player.FireworkOn = 0;
    std::vector<int> starts;
    for (int frame = 1; frame <= 67; frame++) {
        ClearSurface();
        const int wasOn = Form->Player.FireworkOn;
        const int draws = Random.Draws;
        if (frame == 1 || frame == 23)
            Random.Queue = {frame == 1 ? 299 : 0, frame == 1 ? 199 : 400};
        Form->RunFirework();
        if (wasOn == 0) {
            starts.push_back(frame);
            EXPECT_EQ(Random.Draws - draws, 2 + 20 * 4) << "centre and a burst of 20";
            EXPECT_EQ(ImageAt(Form->Player.X, Form->Player.Y).Tag, 0) << "no picture yet";
            EXPECT_GE(Form->Player.X, 50);
            EXPECT_LE(Form->Player.X, 349);
            EXPECT_GE(Form->Player.Y, 50);
            EXPECT_LE(Form->Player.Y, 249);
            continue;
        }
        const int image = (frame - 2) % 22;
        const TDrawnImage shown = ImageAt(Form->Player.X, Form->Player.Y);
        if (image < 16)
            EXPECT_EQ(shown, (TDrawnImage{tagIL96, image})) << "frame " << frame;
        else
            EXPECT_EQ(shown.Tag, 0) << "frame " << frame;
        if (frame == 2) {
            EXPECT_EQ(Form->Player.X, 349);
            EXPECT_EQ(Form->Player.Y, 249);
        }
        if (frame == 24) {
            EXPECT_EQ(Form->Player.X, 50);
            EXPECT_EQ(Form->Player.Y, 50);
        }
    }
    EXPECT_EQ(starts, (std::vector<int>{1, 23, 45, 67}));
}

TEST_F(PhaseTest, TitleDrawsItsTextsAndCreditLine)
{
    ClearSurface();
    Form->RunTitle();
    EXPECT_EQ(ImageAt(85, 62), (TDrawnImage{tagILT, 0}));
    EXPECT_EQ(ImageAt(75, 215), (TDrawnImage{tagFont0, 'H' - 55}));
    EXPECT_EQ(ImageAt(75 + 12 * 20, 215), (TDrawnImage{tagFont0, 'T' - 55}));
    // A space leaves a gap: the columns its glyph would cover beyond the previous one's.
    EXPECT_EQ(ImageAt(75 + 12 * 3 + 4, 215).Tag, 0);
    EXPECT_EQ(ImageAt(135, 240), (TDrawnImage{tagFont0, 'E' - 55}));
    EXPECT_EQ(Form->I1->Canvas->Font->Color, clYellow);
    // Yellow letters over an olive copy one pixel right and down: the olive shows only along
    // the lower right of the strokes.
    int yellow = 0, olive = 0, oliveBelowRight = 0;
    for (int y = 185; y < 210; y++)
        for (int x = 130; x < 280; x++) {
            if (Pixel(x, y) == clYellow)
                yellow++;
            if (Pixel(x, y) == RGB(128, 128, 0)) {
                olive++;
                oliveBelowRight += Pixel(x - 1, y - 1) == clYellow;
            }
        }
    EXPECT_GT(yellow, 20);
    EXPECT_GT(olive, 5);
    EXPECT_GT(oliveBelowRight, olive / 2);
}

TEST_F(PhaseTest, GameOverText)
{
    ClearSurface();
    Form->DrawGameOver();
    const int expect[] = {'G' - 55, 'A' - 55, 'M' - 55, 'E' - 55, -1, 'O' - 55, 'V' - 55, 'E' - 55,
                          'R' - 55};
    for (int i = 0; i < 9; i++) {
        const TDrawnImage d = ImageAt(147 + 12 * i + 4, 150);
        EXPECT_EQ(d.Tag == 0 ? -1 : d.Index, expect[i]) << "glyph " << i;
    }
}

}  // namespace

// One whole game, frame by frame, with the game's own generator on a fixed seed: from the title
// through play and "GAME OVER" to the ranking screen, driven by key events as a player would.
#include "tests/game/play_fixture.h"

namespace {

class WholeGameTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        Platform::SetClockSource(&Clock);
        ZqRandom::SetRandomSource(nullptr);
        SeedGameRandom(3);
        const int table[8] = {5000, 2000, 1500, 1200, 800, 500, 300, 0};
        std::copy(std::begin(table), std::end(table), Form->HighScores);
        Form->Phase = gpTitle;
    }
    void TearDown() override
    {
        Platform::SetClockSource(nullptr);
        GameTest::TearDown();
    }

    void Key(bool down, WORD key)
    {
        WORD k = key;
        if (down)
            Form->FormKeyDown(nullptr, k, TShiftState());
        else
            Form->FormKeyUp(nullptr, k, TShiftState());
    }

    void Frame()
    {
        bool done = true;
        Form->RunFrame(nullptr, done);
        Frames++;
    }

    SteppingClock Clock;
    int Frames = 0;
};

TEST_F(WholeGameTest, PlaysFromTheTitleToTheRankingTable)
{
    for (int i = 0; i < 20; i++)
        Frame();
    Key(true, VK_SPACE);
    Frame();
    ASSERT_EQ(Form->Phase, gpStart);
    Frame();
    ASSERT_EQ(Form->Phase, gpPlay);
    Key(false, VK_SPACE);

    // Sweep the field, Right first, holding Space four frames in eight.
    int playFrames = 0, scoreSteps = 0;
    while (Form->Phase == gpPlay && playFrames < 5000) {
        const int sweep = playFrames % 120;
        Key(sweep < 60, VK_RIGHT);
        Key(sweep >= 60, VK_LEFT);
        Key(playFrames % 8 < 4, VK_SPACE);
        const int scoreBefore = Form->Score;
        Frame();
        playFrames++;
        scoreSteps += Form->Score != scoreBefore;
        ASSERT_GE(Form->Player.X, 25);
        ASSERT_LE(Form->Player.X, 375);
    }
    Key(false, VK_SPACE);
    Key(false, VK_LEFT);
    Key(false, VK_RIGHT);
    ASSERT_EQ(Form->Phase, gpGameOver);
    EXPECT_EQ(Form->Count, 0);
    const int score = Form->Score;

    int gameOverFrames = 0;
    while (Form->Phase == gpGameOver && gameOverFrames < 200) {
        Frame();
        gameOverFrames++;
    }
    EXPECT_EQ(gameOverFrames, 101);
    ASSERT_EQ(Form->Phase, gpRanking);
    Frame();

    // The effects heard, by buffer: fire, ship hit or death, shooter hit, bonus hit.
    int heard[5] = {};
    for (const auto& play : Waves.Plays)
        for (int k = 1; k <= 4; k++)
            heard[k] += play.first == (k == 1   ? Form->WaveBuffer1
                                       : k == 2 ? Form->WaveBuffer2
                                       : k == 3 ? Form->WaveBuffer3
                                                : Form->WaveBuffer4);

    // The game as this seed and these keys play it.
    EXPECT_EQ(playFrames, 599);
    EXPECT_EQ(score, 1100);
    EXPECT_EQ(heard[4], scoreSteps) << "every score step is a bonus hit";
    EXPECT_EQ(std::vector<int>(heard + 1, heard + 5), (std::vector<int>{19, 7, 16, 2}));
    EXPECT_EQ(std::vector<int>(Form->HighScores, Form->HighScores + 8),
              (std::vector<int>{5000, 2000, 1500, 1200, 1100, 800, 500, 5000}));
    EXPECT_EQ(Form->RankMark, 4);
    EXPECT_EQ(Form->HighScores[7], 5000) << "the best score when the game began";
}

}  // namespace

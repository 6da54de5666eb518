// The frame routine: scrolling, presenting and the phase machine with its timers and latch.
#include "tests/game/spine_fixture.h"

namespace spine {
namespace {

class SpineFrame : public SpineTest {
protected:
    void SetUp() override
    {
        SpineTest::SetUp();
        WriteAllAssets();
        StartUp();
    }
    // Runs frames until the phase changes, at most limit; returns how many ran.
    int FramesUntilPhaseLeaves(int phase, int limit)
    {
        for (int n = 1; n <= limit; ++n) {
            RunFrames(1);
            if (Form->Phase != phase) {
                return n;
            }
        }
        return -1;
    }
    void Press() { Form->KeyFire = 1; }
    void Release() { Form->KeyFire = 0; }
};

TEST_F(SpineFrame, StarFieldAndLayerScrollInTheirOwnRhythms)
{
    for (int frame = 1; frame <= 1300; ++frame) {
        RunFrames(1);
        const int moves = frame / 2;
        ASSERT_EQ(Form->StarScroll, (301 - moves % 301) % 301) << "frame " << frame;
        ASSERT_EQ(Form->LayerScroll, frame % 301) << "frame " << frame;
    }
}

TEST_F(SpineFrame, FrameShowsTheBackgroundWindowAndPresentsTheWholePicture)
{
    RunFrames(3);  // StarScroll is now 300
    ASSERT_EQ(Form->StarScroll, 300);
    const auto& shown = Form->I2->Picture->Buffer().Pixels;
    EXPECT_EQ(shown, Form->I1->Picture->Buffer().Pixels);
    // Rows between the HUD lines with no foreground star show the background from row 300 on.
    TBitmap layer;
    Form->IL400->GetBitmap(0, &layer);
    const auto& field = Form->I0->Picture->Buffer().Pixels;
    int compared = 0;
    for (int y = 70; y < 180; ++y) {
        for (int x = 0; x < 400; ++x) {
            const int layerY = (y - Form->LayerScroll + 300) % 300;
            if (layer.Canvas->Pixels[x][layerY] != clBlack) {
                continue;
            }
            // Only where the title draws nothing of its own.
            if (x >= 85 && x < 315) {
                continue;
            }
            ++compared;
            ASSERT_EQ(shown[y * 400 + x], field[(y + 300) * 400 + x]) << x << "," << y;
        }
    }
    EXPECT_GT(compared, 10000);
}

TEST_F(SpineFrame, TitleGivesWayToRankingAfter151FramesAndZeroesTheScore)
{
    Form->Score = 4321;
    EXPECT_EQ(FramesUntilPhaseLeaves(gpTitle, 400), 151);
    EXPECT_EQ(Form->Phase, gpRanking);
    EXPECT_EQ(Form->PhaseTimer, 0);
    EXPECT_EQ(Form->Score, 0);
    EXPECT_EQ(Form->RankDone, 0);
    EXPECT_EQ(Form->Player.FireworkOn, 0);
    EXPECT_EQ(Form->FireLatch, 1);
    // Left alone the ranking screen lasts 151 frames and the title starts again from 0.
    EXPECT_EQ(FramesUntilPhaseLeaves(gpRanking, 400), 151);
    EXPECT_EQ(Form->Phase, gpTitle);
    EXPECT_EQ(Form->PhaseTimer, 0);
    EXPECT_EQ(FramesUntilPhaseLeaves(gpTitle, 400), 151);
}

TEST_F(SpineFrame, PressOnTitleStartsAGameThroughOneSetUpFrame)
{
    RunFrames(10);
    Press();
    RunFrames(1);
    EXPECT_EQ(Form->Phase, gpStart);
    Form->Count = 77;
    RunFrames(1);
    EXPECT_EQ(Form->Phase, gpPlay);
    EXPECT_EQ(Form->Count, 1500);
    EXPECT_EQ(Form->FireLatch, 1) << "the starting press does not fire";
    RunFrames(1);
    EXPECT_EQ(Form->Phase, gpPlay);
    EXPECT_EQ(Form->Count, 1499);
}

TEST_F(SpineFrame, PressOnTheFrameTheTitleTimesOutLeadsToRanking)
{
    RunFrames(150);
    ASSERT_EQ(Form->Phase, gpTitle);
    ASSERT_EQ(Form->PhaseTimer, 150);
    Press();
    RunFrames(1);
    EXPECT_EQ(Form->Phase, gpRanking);
}

TEST_F(SpineFrame, PressOnRankingReturnsToATitleOf150Frames)
{
    RunFrames(151);
    ASSERT_EQ(Form->Phase, gpRanking);
    RunFrames(5);
    Press();
    RunFrames(1);
    EXPECT_EQ(Form->Phase, gpTitle);
    EXPECT_EQ(Form->PhaseTimer, 1);
    EXPECT_EQ(Form->FireLatch, 1);
    // Held on, the press does not start a game: it must be released first.
    RunFrames(20);
    EXPECT_EQ(Form->Phase, gpTitle);
    Release();
    EXPECT_EQ(FramesUntilPhaseLeaves(gpTitle, 400), 151 - 21);
    EXPECT_EQ(Form->Phase, gpRanking);
}

TEST_F(SpineFrame, GameOverLasts101FramesOrUntilAFreshPress)
{
    struct Case {
        const char* Name;
        bool HeldFromPlay;
        int PressAfter;  // frames into the game-over screen; -1: no press
        int Frames;      // frames until the ranking screen
    } const cases[] = {
        {"left alone", false, -1, 101},
        {"fire held from play", true, -1, 101},
        {"fresh press", false, 20, 21},
        {"held, released, pressed", true, 30, 31},
    };
    for (const Case& c : cases) {
        Form->Phase = gpGameOver;
        Form->PhaseTimer = 0;
        Form->FireLatch = 1;  // as the end of the death sequence leaves it
        Form->Score = 2500;
        Form->KeyFire = c.HeldFromPlay ? 1 : 0;
        int frames = 0;
        while (Form->Phase == gpGameOver && frames < 400) {
            if (frames == c.PressAfter - 1) {
                Release();
            }
            if (frames == c.PressAfter) {
                Press();
            }
            RunFrames(1);
            ++frames;
        }
        EXPECT_EQ(frames, c.Frames) << c.Name;
        EXPECT_EQ(Form->Phase, gpRanking) << c.Name;
        EXPECT_EQ(Form->Score, 2500) << c.Name << ": the finished score goes to the table";
        EXPECT_EQ(Form->RankDone, 0) << c.Name;
        EXPECT_EQ(Form->PhaseTimer, 0) << c.Name;
        if (Form->KeyFire == 1) {
            EXPECT_EQ(Form->FireLatch, 1) << c.Name << ": fire still held must not act on the ranking";
        }
        EXPECT_EQ(Form->Player.FireworkOn, 0) << c.Name;
        Release();
    }
}

}  // namespace
}  // namespace spine

// The frame routine: pacing, the star field, the HUD, the phase machine and presenting.
#include "game/zq_main.h"

DWORD LastFrameTime = 0;

namespace {
// Below this many milliseconds the wait polls the timer instead of sleeping, so a late wake-up
// cannot make a frame start late. The poll does not yield: on a busy machine a yield can cost
// a whole time slice.
constexpr DWORD SpinMargin = 2;
}  // namespace

DWORD FrameTimeRemaining(DWORD Now, DWORD Last)
{
    const DWORD elapsed = Now - Last;
    return elapsed >= FrameInterval ? 0 : FrameInterval - elapsed;
}

void TForm1::WaitForFrame()
{
    for (;;) {
        const DWORD remaining = FrameTimeRemaining(timeGetTime(), LastFrameTime);
        if (remaining == 0) {
            break;
        }
        if (remaining > SpinMargin) {
            Sleep(remaining - SpinMargin);
        }
    }
    LastFrameTime = timeGetTime();
}

void TForm1::EnterRankingFromTitle()
{
    PhaseTimer = 0;
    Phase = gpRanking;
    Score = 0;
    RankDone = 0;
    Player.FireworkOn = 0;
    FireLatch = 1;
}

void TForm1::EnterRankingAfterGame()
{
    Phase = gpRanking;
    FireLatch = 1;
    RankDone = 0;
    PhaseTimer = 0;
    Player.FireworkOn = 0;
}

void TForm1::RunPhase()
{
    switch (Phase) {
    case gpTitle:
        RunTitle();
        // After the title's own work: the time-out wins over a press in the same frame.
        if (++PhaseTimer > 150) {
            EnterRankingFromTitle();
        }
        break;
    case gpStart:
        NewGame();
        Phase = gpPlay;
        break;
    case gpPlay:
        RunPlay();
        break;
    case gpRanking:
        PollFireButton();
        if (FirePressed()) {
            Phase = gpTitle;
            FireLatch = 1;
            PhaseTimer = 0;
        }
        if (++PhaseTimer > 150) {
            PhaseTimer = 0;
            Phase = gpTitle;
        }
        RunFirework();
        RunRanking();
        break;
    case gpGameOver:
        DrawGameOver();
        if (++PhaseTimer > 100) {
            EnterRankingAfterGame();
        }
        PollFireButton();
        if (FirePressed()) {
            EnterRankingAfterGame();
        }
        break;
    default:
        break;
    }
}

void TForm1::RunFrame(TObject*, bool& Done)
{
    WaitForFrame();
    ScrollStars();
    DrawHud();
    UpdateTrails();
    RunPhase();
    UpdateParticles();
    const TRect whole = I2->Canvas->ClipRect;
    I2->Canvas->CopyRect(whole, I1->Canvas, whole);
    Done = false;
}

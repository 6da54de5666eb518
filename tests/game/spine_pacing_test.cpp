// Direction tables and frame pacing.
#include "tests/game/spine_fixture.h"

namespace spine {
namespace {

TEST(SpineTables, DirectionTablesHoldTheShortTurnValues)
{
    auto form = std::make_unique<TForm1>(nullptr);
    form->FillDirectionTables();
    const int cosines[16] = {16, 14, 11, 6, 0, -6, -11, -14, -15, -14, -11, -6, 0, 6, 11, 14};
    const int sines[16] = {0, 6, 11, 14, 15, 14, 11, 6, 0, -6, -11, -14, -15, -14, -11, -6};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(form->CosTable[i], cosines[i]) << "direction " << i;
        EXPECT_EQ(form->SinTable[i], sines[i]) << "direction " << i;
    }
}

TEST(SpinePacing, RemainingTimeIsTakenModuloTheTimerWrap)
{
    struct Case {
        DWORD Now, Last, Remaining;
    } const cases[] = {
        {36, 0, 1},
        {37, 0, 0},
        {100, 0, 0},
        {1000, 1000, 37},
        {0x00000010u, 0xFFFFFFF0u, 5},   // 32 ms across the wrap
        {0x00000015u, 0xFFFFFFF0u, 0},   // 37 ms across the wrap
        {0xFFFFFFF0u, 0x00000010u, 0},   // a reading "before" the last one is a long wait, not a stall
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FrameTimeRemaining(c.Now, c.Last), c.Remaining) << c.Now << " after " << c.Last;
    }
}

class SpinePacingWait : public SpineTest {};

TEST_F(SpinePacingWait, ShortWaitSpinsLongWaitSleepsLateFrameStartsAtOnce)
{
    Form = std::make_unique<TForm1>(nullptr);

    // 36 ms gone: one more millisecond, by polling, no sleep.
    LastFrameTime = 5000;
    Clock.Time = 5036;
    Form->WaitForFrame();
    EXPECT_TRUE(Clock.Sleeps.empty());
    EXPECT_GE(LastFrameTime, 5037u);
    EXPECT_LE(LastFrameTime, 5039u);

    // 100 ms gone: no wait at all; the fresh reading is the new frame start.
    LastFrameTime = 6000;
    Clock.Time = 6100;
    Form->WaitForFrame();
    EXPECT_TRUE(Clock.Sleeps.empty());
    EXPECT_EQ(LastFrameTime, 6101u);

    // The next frame is 37 ms after that reading, and most of the wait is slept.
    const DWORD start = LastFrameTime;
    Form->WaitForFrame();
    ASSERT_EQ(Clock.Sleeps.size(), 1u);
    EXPECT_GE(Clock.Sleeps[0], 30u);
    EXPECT_GE(LastFrameTime - start, FrameInterval);
    EXPECT_LE(LastFrameTime - start, FrameInterval + 2);
}

TEST_F(SpinePacingWait, WaitRunsAcrossTheTimerWrap)
{
    Form = std::make_unique<TForm1>(nullptr);
    LastFrameTime = 0xFFFFFFF0u;
    Clock.Time = 0xFFFFFFF8u;  // 8 ms gone
    Form->WaitForFrame();
    EXPECT_GE(LastFrameTime - 0xFFFFFFF0u, FrameInterval);
    EXPECT_LE(LastFrameTime - 0xFFFFFFF0u, FrameInterval + 2);
    EXPECT_LT(LastFrameTime, 0x100u);
}

}  // namespace
}  // namespace spine

// The play frame: steering and banking, the fire latch, the shot's flight, the COUNT clock, the
// death sequence, the flash and the frame's sound effect.
#include "tests/game/case_names.h"
#include "tests/game/play_fixture.h"

namespace {

struct MoveCase {
    const char* Name;
    int StartX, StartBank;
    int Left, Right;
    int FramesHeld;
    int ExpectX, ExpectBank;
};

const MoveCase MoveCases[] = {
    {"left one frame", 200, 3, 1, 0, 1, 194, 2},
    {"left stops at 25", 29, 3, 1, 0, 1, 25, 2},
    {"left bank floor after three frames", 29, 3, 1, 0, 3, 25, 0},
    {"left held stays at 25 and bank 0", 29, 3, 1, 0, 6, 25, 0},
    {"right stops at 375", 371, 3, 0, 1, 2, 375, 5},
    {"right bank ceiling", 200, 3, 0, 1, 5, 230, 6},
    {"both: no move, bank 0 becomes 1", 200, 0, 1, 1, 1, 200, 1},
    {"both: bank 5 does not level", 200, 5, 1, 1, 4, 200, 5},
    {"both at the left limit", 25, 3, 1, 1, 1, 31, 3},
    {"nothing held levels bank 0", 200, 0, 0, 0, 1, 200, 1},
    {"nothing held levels bank 6", 200, 6, 0, 0, 3, 200, 3},
};

class ShipMoveTest : public GameTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(ShipMoveTest, MovesAndBanks)
{
    const MoveCase& c = GetParam();
    SCOPED_TRACE(c.Name);
    StartGame();
    Form->Player.X = c.StartX;
    Form->Player.Bank = c.StartBank;
    Form->KeyLeft = c.Left;
    Form->KeyRight = c.Right;
    Frames(c.FramesHeld);
    EXPECT_EQ(Form->Player.X, c.ExpectX);
    EXPECT_EQ(Form->Player.Bank, c.ExpectBank);
    EXPECT_EQ(Form->Player.Y, 253);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShipMoveTest, ::testing::ValuesIn(MoveCases), CaseName());

TEST_F(GameTest, ReleasedShipLevelsOneStepPerFrame)
{
    StartGame();
    Form->Player.X = 29;
    Form->KeyLeft = 1;
    Frames(3);
    ASSERT_EQ(Form->Player.Bank, 0);
    Form->KeyLeft = 0;
    std::vector<int> banks;
    for (int i = 0; i < 4; i++) {
        Form->RunPlay();
        banks.push_back(Form->Player.Bank);
    }
    EXPECT_EQ(banks, (std::vector<int>{1, 2, 3, 3}));
}

TEST_F(GameTest, JoystickAndKeysAddUp)
{
    Joystick.Plugged = true;
    Form->CalibrateJoystick();
    StartGame();
    Joystick.Pos.wXpos = 0;
    Form->KeyLeft = 1;
    Form->RunPlay();
    EXPECT_EQ(Form->Player.X, 188);
    EXPECT_EQ(Form->Player.Bank, 1);
}

TEST_F(GameTest, JoystickThresholdsAreStrict)
{
    Joystick.Plugged = true;
    Form->CalibrateJoystick();
    struct {
        UINT X;
        int ExpectX;
    } const cases[] = {{21844, 194}, {21845, 200}, {43690, 200}, {43691, 206}, {65535, 206}};
    for (const auto& c : cases) {
        StartGame();
        Joystick.Pos.wXpos = c.X;
        Form->RunPlay();
        EXPECT_EQ(Form->Player.X, c.ExpectX) << "x position " << c.X;
    }
}

// Count the shots by the fire effect they request.
int ShotsFired(const RecordingWavePlayer& waves, const TForm1& form)
{
    return static_cast<int>(std::count_if(waves.Plays.begin(), waves.Plays.end(),
                                          [&](const auto& p) { return p.first == form.WaveBuffer1; }));
}

struct FireCase {
    const char* Name;
    const char* Script;  // one character per frame: 'x' fire held, '.' released
    int ExpectShots;
};

// The shot flies 33 frames; a press while it flies is used up.
const FireCase FireCases[] = {
    {"held from the start of the game fires nothing", "xxxxxxxx", 0},
    {"a new press fires", "xx..x", 1},
    {"held fire fires once", ".xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", 1},
    {"press while flying is lost", ".x.x..................................", 1},
    {"press after the shot is lost fires again", ".x................................x", 2},
    {"press in the frame the shot is lost is lost too", ".x...............................x", 1},
};

class FireLatchTest : public GameTest, public ::testing::WithParamInterface<FireCase> {};

TEST_P(FireLatchTest, OnePressFiresAtMostOnce)
{
    const FireCase& c = GetParam();
    SCOPED_TRACE(c.Name);
    StartGame();
    for (const char* s = c.Script; *s; s++) {
        Form->KeyFire = *s == 'x' ? 1 : 0;
        Form->RunPlay();
    }
    EXPECT_EQ(ShotsFired(Waves, *Form), c.ExpectShots);
}

INSTANTIATE_TEST_SUITE_P(Cases, FireLatchTest, ::testing::ValuesIn(FireCases), CaseName());

TEST_F(GameTest, JoystickButtonFiresOnlyAlone)
{
    Joystick.Plugged = true;
    Form->CalibrateJoystick();
    StartGame();
    Form->RunPlay();  // releases the latch the new game set
    Joystick.Pos.wButtons = JOY_BUTTON1 | JOY_BUTTON2;
    Form->RunPlay();
    EXPECT_EQ(Form->Shot.State, ssReady);
    Joystick.Pos.wButtons = JOY_BUTTON2;
    Form->RunPlay();
    EXPECT_EQ(Form->Shot.State, ssReady);
    Joystick.Pos.wButtons = 0;
    Form->RunPlay();
    Joystick.Pos.wButtons = JOY_BUTTON1;
    Form->RunPlay();
    EXPECT_EQ(Form->Shot.State, ssFlying);
    EXPECT_EQ(Form->PadFire, 1);
}

TEST_F(GameTest, ShotFliesThirtyThreeFrames)
{
    StartGame();
    Form->RunPlay();
    EXPECT_EQ(Form->Shot.State, ssReady);
    EXPECT_EQ(Form->Shot.Y, 245);
    Form->KeyFire = 1;
    Form->RunPlay();
    Form->KeyFire = 0;
    ASSERT_EQ(Form->Shot.State, ssFlying);
    EXPECT_EQ(Form->Shot.Y, 236);
    EXPECT_EQ(ImageAt(Form->Shot.X, 236 - 39).Tag, tagIL80) << "shot sprite drawn at y 236";
    int flying = 1;
    while (Form->Shot.State == ssFlying && flying < 40) {
        const int y = Form->Shot.Y;
        Form->RunPlay();
        flying++;
        if (Form->Shot.State == ssFlying) {
            EXPECT_EQ(Form->Shot.Y, y - 9);
        }
    }
    EXPECT_EQ(flying, 33);
    EXPECT_EQ(Form->Shot.State, ssReady);
    EXPECT_EQ(Form->Shot.Y, 245);
}

TEST_F(GameTest, FlyingShotLeavesPuffsEverySecondFrameAndSparksEveryFrame)
{
    StartGame();
    Form->RunPlay();
    Form->TrailTick = 0;
    Form->KeyFire = 1;
    Form->RunPlay();
    Form->RunPlay();
    int puffs = 0, sparks = 0;
    for (const TParticle& p : Form->Particles) {
        if (p.Active != 1)
            continue;
        puffs += p.Type == ptPuff;
        sparks += p.Type == ptTwinkleGreen;
        if (p.Type == ptTwinkleGreen) {
            EXPECT_GE(p.Life, 10);
            EXPECT_LE(p.Life, 48);
            EXPECT_GE(p.VX, -5);
            EXPECT_LE(p.VX, 4);
            EXPECT_GE(p.VY, 0);
            EXPECT_LE(p.VY, 5);
        }
    }
    EXPECT_EQ(puffs, 1);
    EXPECT_EQ(sparks, 2);
    EXPECT_EQ(Random.Draws, 5 + 6) << "five enemy starts, three draws per spark";
}

TEST_F(GameTest, ShotSparkDrawsNothingWithoutAFreeSlot)
{
    StartGame();
    Form->RunPlay();
    for (TParticle& p : Form->Particles) {
        p.Active = 1;
        p.Life = 1000;
    }
    const int draws = Random.Draws;
    Form->KeyFire = 1;
    Form->RunPlay();
    ASSERT_EQ(Form->Shot.State, ssFlying);
    EXPECT_EQ(Random.Draws, draws);
}

TEST_F(GameTest, CountRunsDownAndClampsAtZero)
{
    struct {
        int Start;
        int Expect;
        int Dying;
    } const cases[] = {{1500, 1499, 0}, {2, 1, 0}, {1, 0, 1}, {-50, 0, 1}};
    for (const auto& c : cases) {
        StartGame();
        Form->Count = c.Start;
        Form->RunPlay();
        EXPECT_EQ(Form->Count, c.Expect) << "from " << c.Start;
        EXPECT_EQ(Form->Dying, c.Dying) << "from " << c.Start;
    }
}

TEST_F(GameTest, DeathStartsWhiteAndEndsInGameOver)
{
    StartGame();
    Form->Count = 1;
    Form->KeyFire = 0;
    Form->RunPlay();
    EXPECT_EQ(Form->Shot.State, ssParked);
    EXPECT_EQ(Form->Shot.Y, 400);
    EXPECT_EQ(Pixel(5, 5), clWhite) << "the death start is white in its own frame";
    ASSERT_EQ(Waves.Plays.size(), 1u);
    EXPECT_EQ(Waves.Plays[0].first, Form->WaveBuffer2);
    int burst = 0;
    for (const TParticle& p : Form->Particles)
        burst += p.Active;
    EXPECT_EQ(burst, 40);

    EXPECT_EQ(ImageAt(Form->Player.X, Form->Player.Y), (TDrawnImage{tagIL96, 1}));

    // Steering moves the explosion; fire presses do nothing while the shot is parked.
    Form->KeyRight = 1;
    Form->KeyFire = 1;
    for (int frame = 2; frame <= 15; frame++) {
        ClearSurface();
        Form->RunPlay();
        EXPECT_EQ(Form->DeathFrame, frame);
        EXPECT_EQ(ImageAt(Form->Player.X, Form->Player.Y), (TDrawnImage{tagIL96, frame}))
            << "death frame " << frame;
    }
    EXPECT_EQ(Form->Player.X, 200 + 6 * 14);
    EXPECT_EQ(Form->Phase, gpPlay);
    ClearSurface();
    Form->RunPlay();
    EXPECT_EQ(Form->Phase, gpGameOver);
    EXPECT_EQ(Form->Player.X, 200 + 6 * 15);
    EXPECT_EQ(Form->FireLatch, 1);
    EXPECT_EQ(Form->PhaseTimer, 0);
    EXPECT_EQ(ImageAt(Form->Player.X, Form->Player.Y).Tag, 0) << "the ship is gone";
    EXPECT_EQ(Form->Shot.State, ssParked);
    EXPECT_EQ(ShotsFired(Waves, *Form), 0);
}

TEST_F(GameTest, FlashIsWhiteTwiceThenARingGrows)
{
    StartGame();
    Form->FlashTimer = 30;  // as a bullet hit leaves it: counted down from the next frame
    for (int frame = 1; frame <= 30; frame++) {
        ClearSurface();
        Form->RunPlay();
        const bool white = Pixel(5, 5) == clWhite;
        EXPECT_EQ(white, frame <= 2) << "frame " << frame;
        if (frame == 3) {
            // Radius 117 around (200, 253): the ring crosses the row of the ship's centre.
            bool ring = false;
            for (int x = 310; x <= 320; x++)
                ring = ring || Pixel(x, 253) == clYellow;
            EXPECT_TRUE(ring);
            EXPECT_EQ(Pixel(250, 253) == clYellow, false) << "inside the ring stays dark";
        }
    }
    EXPECT_EQ(Form->FlashTimer, 0);
}

TEST_F(GameTest, SoundRequestPlaysItsBufferOnceAndClears)
{
    struct {
        int Request;
        const unsigned char* Buffer;
    } const cases[] = {
        {1, Form->WaveBuffer1}, {2, Form->WaveBuffer2}, {3, Form->WaveBuffer3},
        {4, Form->WaveBuffer4}, {5, nullptr},           {0, nullptr},
    };
    for (const auto& c : cases) {
        Waves.Plays.clear();
        Form->SoundRequest = c.Request;
        Form->PlaySoundRequest();
        EXPECT_EQ(Form->SoundRequest, 0);
        if (c.Buffer) {
            ASSERT_EQ(Waves.Plays.size(), 1u) << "request " << c.Request;
            EXPECT_EQ(Waves.Plays[0].first, c.Buffer);
            EXPECT_EQ(Waves.Plays[0].second, SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
        } else {
            EXPECT_TRUE(Waves.Plays.empty()) << "request " << c.Request;
        }
    }
}

}  // namespace

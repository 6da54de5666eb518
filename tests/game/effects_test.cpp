// Particles and score pop-ups: spawning into a full or nearly full pool, the random draws a
// spawn makes, lifetimes and images per type, damping, twinkle pixels and the pop-up's run.
#include "tests/game/case_names.h"
#include "tests/game/play_fixture.h"

namespace {

class EffectsTest : public GameTest {
protected:
    int ActiveParticles() const
    {
        int n = 0;
        for (const TParticle& p : Form->Particles)
            n += p.Active;
        return n;
    }

    // One frame of the particle passes around the phase work, on a cleared surface.
    void ParticleFrame()
    {
        ClearSurface();
        Form->UpdateTrails();
        Form->UpdateParticles();
    }
};

TEST_F(EffectsTest, BurstTakesFourDrawsPerParticleInOrder)
{
    Form->Particles[0].Frame = 4;
    Form->Particles[0].Age = 3;
    Random.Queue = {13, 45, 0, 17};
    Form->SpawnBurst(120, 80, 1, 8, 10);
    const TParticle& p = Form->Particles[0];
    EXPECT_EQ(p.Active, 1);
    EXPECT_EQ(p.X, 120);
    EXPECT_EQ(p.Y, 80);
    EXPECT_EQ(p.Type, 13 % 8);
    EXPECT_EQ(p.Life, 45 % 30 + 10);
    EXPECT_EQ(p.VX, -9);
    EXPECT_EQ(p.VY, 8);
    EXPECT_EQ(p.Frame, 4) << "a burst keeps the slot's frame";
    EXPECT_EQ(p.Age, 3) << "and its damping counter";
    EXPECT_EQ(Random.Draws, 4);
}

TEST_F(EffectsTest, BurstIntoNearlyFullPoolFillsOnlyTheFreeSlots)
{
    const std::vector<int> free = {3, 17, 18, 40, 77, 99, 120, 121, 149, 150};
    for (TParticle& p : Form->Particles) {
        p.Active = 1;
        p.Life = 1000;
        p.X = -1;
    }
    for (int slot : free)
        Form->Particles[slot].Active = 0;
    Form->SpawnBurst(10, 20, 40, 8, 40);
    EXPECT_EQ(ActiveParticles(), ParticleCount);
    for (int slot : free)
        EXPECT_EQ(Form->Particles[slot].X, 10) << "slot " << slot;
    EXPECT_EQ(Random.Draws, 10 * 4) << "no draws for the 30 that found no slot";
}

TEST_F(EffectsTest, RequestsOnAFullPoolLeaveTheLaterDrawsUnchanged)
{
    ScriptedRandom reference;
    const int expected[] = {reference.Next(), reference.Next(), reference.Next()};
    for (TParticle& p : Form->Particles) {
        p.Active = 1;
        p.Life = 1000;
    }
    const TParticle before = Form->Particles[7];
    Form->SpawnBurst(10, 20, 40, 8, 40);
    Form->SpawnTrail(10, 20, ptDot, 30, 0, 0);
    EXPECT_EQ(Form->Particles[7].X, before.X);
    EXPECT_EQ(Random.Draws, 0);
    EXPECT_EQ(GameRandom(), expected[0]);
    EXPECT_EQ(GameRandom(), expected[1]);
    EXPECT_EQ(GameRandom(), expected[2]);
}

TEST_F(EffectsTest, TrailResetsTheFrameButKeepsTheAge)
{
    Form->Particles[0] = {0, 0, 0, ptSparkDown, 9, 0, 0, 0, 4};
    Form->SpawnTrail(30, 40, ptPuff, 30, 2, -3);
    const TParticle& p = Form->Particles[0];
    EXPECT_EQ(p.Active, 1);
    EXPECT_EQ(p.Type, ptPuff);
    EXPECT_EQ(p.Frame, 0);
    EXPECT_EQ(p.Age, 4);
    EXPECT_EQ(p.Life, 30);
    EXPECT_EQ(p.VX, 2);
    EXPECT_EQ(p.VY, -3);
    EXPECT_EQ(Random.Draws, 0);
}

// What a particle shows frame by frame, from its spawn frame until its slot is free. A spawn
// happens during the phase work, so its first frame runs only the second pass.
struct LifeCase {
    const char* Name;
    int Type;
    int Life;
    int StartFrame;
    std::vector<TDrawnImage> Shown;  // at the particle's centre, one entry per frame drawn
};

const std::vector<LifeCase>& LifeCases()
{
    static const std::vector<LifeCase> cases = {
        {"spark up", ptSparkUp, 10, 0,
         {{tagSpa8, 1}, {tagSpa8, 2}, {tagSpa8, 3}, {tagSpa8, 4}, {tagSpa8, 5}, {tagSpa8, 0}}},
        {"spark down", ptSparkDown, 6, 1, {{tagSpa8, 0}, {tagSpa8, 5}, {tagSpa8, 4}, {tagSpa8, 3}}},
        {"puff", ptPuff, 30, 0,
         {{}, {tagIL24, 4}, {tagIL24, 4}, {tagIL24, 5}, {tagIL24, 5}, {tagIL24, 6}, {tagIL24, 6},
          {tagIL24, 7}, {tagIL24, 7}, {tagIL24, 8}, {tagIL24, 8}, {tagIL24, 9}, {tagIL24, 9},
          {tagIL24, 10}}},
        {"dot", ptDot, 30, 0, {{}, {tagFont0, 36}, {tagFont0, 37}, {tagFont0, 38}}},
        {"puff shortened by its life", ptPuff, 3, 0, {{}, {tagIL24, 4}, {tagIL24, 4}}},
        // A burst puff taking a slot whose last puff ended at frame 13: one picture, then gone.
        {"puff from a worn slot", ptPuff, 30, 13, {{}, {tagIL24, 10}}},
        // A spark down counting from 13 shows nothing until its frame is back within 0..5.
        {"spark down from a worn slot", ptSparkDown, 20, 13,
         {{}, {}, {}, {}, {}, {}, {}, {tagSpa8, 5}, {tagSpa8, 4}, {tagSpa8, 3}, {tagSpa8, 2}}},
    };
    return cases;
}

class ParticleLifeTest : public EffectsTest, public ::testing::WithParamInterface<LifeCase> {};

TEST_P(ParticleLifeTest, ShowsItsImagesThenFreesItsSlot)
{
    const LifeCase& c = GetParam();
    SCOPED_TRACE(c.Name);
    Form->Particles[0].Frame = c.StartFrame;
    Form->SpawnTrail(200, 150, c.Type, c.Life, 0, 0);
    Form->Particles[0].Frame = c.StartFrame;  // as a burst would leave it
    std::vector<TDrawnImage> shown;
    ClearSurface();
    Form->UpdateParticles();
    shown.push_back(ImageAt(200, 150));
    while (Form->Particles[0].Active == 1 && shown.size() < 40) {
        ParticleFrame();
        shown.push_back(ImageAt(200, 150));
    }
    EXPECT_EQ(shown, c.Shown);
    EXPECT_EQ(Form->Particles[0].Active, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParticleLifeTest, ::testing::ValuesIn(LifeCases()), CaseName());

TEST_F(EffectsTest, TwinkleFlickersBetweenBarsAndSpendsThreeLifePerFrame)
{
    struct {
        int Type;
        TColor Centre, Edge;
    } const cases[] = {
        {ptTwinkleYellow, RGB(255, 255, 0), RGB(128, 128, 0)},
        {ptTwinkleCyan, RGB(0, 255, 255), RGB(0, 0, 255)},
        {ptTwinkleMagenta, RGB(255, 0, 255), RGB(128, 0, 128)},
        {ptTwinkleGreen, RGB(0, 255, 0), RGB(0, 128, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Type);
        Form->ResetParticles();
        Form->SpawnTrail(100, 100, c.Type, 10, 0, 0);
        int frames = 0;
        bool first = true;
        while (Form->Particles[0].Active == 1) {
            ClearSurface();
            if (!first)
                Form->UpdateTrails();
            first = false;
            const int frame = Form->Particles[0].Frame;
            Form->UpdateParticles();
            EXPECT_EQ(Pixel(100, 100), c.Centre);
            const bool across = frame == 0;
            EXPECT_EQ(Pixel(101, 100), across ? c.Edge : clBlack);
            EXPECT_EQ(Pixel(99, 100), across ? c.Edge : clBlack);
            EXPECT_EQ(Pixel(100, 101), across ? clBlack : c.Edge);
            EXPECT_EQ(Pixel(100, 99), across ? clBlack : c.Edge);
            frames++;
        }
        EXPECT_EQ(frames, 4) << "the spawn frame and three more";
    }
}

TEST_F(EffectsTest, DampingStrikesEverySixthUpdate)
{
    struct {
        int Age, VX, VY, Updates;
        int ExpectVX, ExpectVY, ExpectX;
    } const cases[] = {
        // Five updates at -9, then six at each of -8 .. -1.
        {0, -9, 0, 53, -1, 0, 100 - (9 * 5 + (8 + 7 + 6 + 5 + 4 + 3 + 2 + 1) * 6)},
        {0, -9, 0, 54, 0, 0, 100 - (9 * 5 + (8 + 7 + 6 + 5 + 4 + 3 + 2 + 1) * 6)},
        {0, 8, -3, 6, 7, -2, 100 + 5 * 8 + 7},
        {5, 8, 0, 1, 7, 0, 107},  // a worn slot's counter damps at the first update
        {0, 0, 0, 60, 0, 0, 100},
    };
    for (const auto& c : cases) {
        TParticle& p = Form->Particles[0];
        p = {100, 100, 1, ptPuff, 0, 10000, c.VX, c.VY, c.Age};
        for (int i = 0; i < c.Updates; i++)
            Form->UpdateParticles();
        EXPECT_EQ(p.VX, c.ExpectVX) << c.VX << " after " << c.Updates;
        EXPECT_EQ(p.VY, c.ExpectVY) << c.VY << " after " << c.Updates;
        EXPECT_EQ(p.X, c.ExpectX) << c.VX << " after " << c.Updates;
    }
}

TEST_F(EffectsTest, ParticleEndedByTheFirstPassIsNotMovedByTheSecond)
{
    Form->Particles[0] = {50, 50, 1, ptDot, 2, 30, 3, 3, 0};
    Form->UpdateTrails();
    ASSERT_EQ(Form->Particles[0].Active, 0);
    Form->UpdateParticles();
    EXPECT_EQ(Form->Particles[0].X, 50);
}

// Any bright pixel in the band where a pop-up's text lies.
bool TextAt(const TForm1& form, int x, int y)
{
    for (int yy = y; yy < y + 14; yy++)
        for (int xx = x; xx < x + 30; xx++)
            if (form.I1->Canvas->GetPixel(xx, yy) == clYellow)
                return true;
    return false;
}

TEST_F(EffectsTest, PopupSinksForEightyFramesInTheCanvasFont)
{
    Form->NewGame();
    Form->SpawnPopup(150, 100, 1);
    for (int frame = 0; frame < 80; frame++) {
        ClearSurface();
        Form->UpdatePopups();
        EXPECT_TRUE(TextAt(*Form, 150, 100 + frame)) << "frame " << frame;
        EXPECT_EQ(Form->Popups[0].Y, 101 + frame);
    }
    EXPECT_EQ(Form->Popups[0].Timer, 0);
    ClearSurface();
    Form->UpdatePopups();
    EXPECT_FALSE(TextAt(*Form, 150, 180));
    EXPECT_EQ(Form->Popups[0].Y, 180);
}

TEST_F(EffectsTest, PopupPoolOfElevenDropsTheTwelfth)
{
    for (int i = 0; i < PopupCount; i++)
        Form->SpawnPopup(10 * i, 5, 0);
    Form->Popups[4].Timer = 1;  // about to end: still showing, so not free
    Form->SpawnPopup(300, 300, 1);
    for (int i = 0; i < PopupCount; i++) {
        EXPECT_EQ(Form->Popups[i].X, 10 * i);
        EXPECT_EQ(Form->Popups[i].Kind, 0);
    }
    Form->Popups[6].Timer = 0;
    Form->SpawnPopup(300, 300, 1);
    EXPECT_EQ(Form->Popups[6].X, 300);
    EXPECT_EQ(Form->Popups[6].Timer, 80);
}

TEST_F(EffectsTest, NewGameShowsNothingOfTheLastOne)
{
    Form->SpawnBurst(200, 150, 100, 8, 50);
    Form->SpawnPopup(200, 150, 0);
    Form->NewGame();
    ParkEnemies();
    EXPECT_EQ(ActiveParticles(), 0);
    ClearSurface();
    Form->UpdateTrails();
    Form->RunPlay();
    Form->UpdateParticles();
    EXPECT_FALSE(TextAt(*Form, 200, 150));
    for (int i = 0; i < 100; i++)
        EXPECT_EQ(Form->Particles[i].X, 200) << "slot " << i << " of the last game moved";
}

}  // namespace

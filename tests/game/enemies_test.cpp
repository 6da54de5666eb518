// Enemies and their bullets: the starting line-up, the patrol, both collision windows, the
// bullet field, the bonus enemy's reaction and a shooter's sweep of bullets.
#include "tests/game/play_fixture.h"

namespace {

class EnemyTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        StartGame();
        Form->Shot.State = ssReady;
        Form->Player.X = 200;
        Form->Player.Y = 253;
    }

    // One enemy in play at (x, y), standing still, the others parked.
    TEnemy& Place(int index, int kind, int x, int y)
    {
        TEnemy& e = Form->Enemies[index];
        e.Kind = kind;
        e.X = x;
        e.Y = y;
        return e;
    }

    void FlyShotAt(int x, int y)
    {
        Form->Shot.State = ssFlying;
        Form->Shot.X = x;
        Form->Shot.Y = y;
    }

    // A bullet that stays where it is put.
    TEnemyBullet& StillBullet(int slot, int x, int y)
    {
        TEnemyBullet& b = Form->EnemyBullets[slot];
        b = {1, x, y, 0, 0, 0};
        return b;
    }

    int ActiveBullets() const
    {
        int n = 0;
        for (const TEnemyBullet& b : Form->EnemyBullets)
            n += b.Active;
        return n;
    }
};

TEST_F(EnemyTest, ResetLinesUpFiveEnemiesFromOneDrawEach)
{
    for (TEnemyBullet& b : Form->EnemyBullets)
        b.Active = 1;
    Random.Queue = {399, 200, 199, 0, 1000};
    const int draws = Random.Draws;
    Form->ResetEnemies();
    EXPECT_EQ(Random.Draws - draws, 5);
    struct {
        int X, Y, Heading, Speed, Kind, Spin, Reverse;
    } const expect[] = {
        {399, 24, 1, 4, ekBonus, 4, 0},     {200, 62, 1, 6, ekShooter, 5, 1},
        {199, 100, 0, 8, ekShooter, 5, 0},  {0, 138, 0, 10, ekShooter, 5, 1},
        {200, 176, 1, 12, ekShooter, 5, 0},
    };
    for (int k = 0; k < EnemyCount; k++) {
        const TEnemy& e = Form->Enemies[k];
        SCOPED_TRACE(k);
        EXPECT_EQ(e.X, expect[k].X);
        EXPECT_EQ(e.Y, expect[k].Y);
        EXPECT_EQ(e.Heading, expect[k].Heading);
        EXPECT_EQ(e.Speed, expect[k].Speed);
        EXPECT_EQ(e.Kind, expect[k].Kind);
        EXPECT_EQ(e.Spin, expect[k].Spin);
        EXPECT_EQ(e.Reverse, expect[k].Reverse);
        EXPECT_EQ(e.Timer, 0);
    }
    EXPECT_EQ(ActiveBullets(), 0);
}

TEST_F(EnemyTest, PatrolTurnsBeyondTheEdges)
{
    struct {
        int X, Speed, Heading;
        std::vector<int> Path;
    } const cases[] = {
        {378, 12, 0, {390, 378, 366}},
        {22, 4, 1, {18, 22, 26}},
        {380, 4, 0, {384, 380, 376}},
        {-50, 4, 1, {-54, -50, -46}},  // a start outside the span runs on until it turns
    };
    for (const auto& c : cases) {
        TEnemy& e = Place(4, ekShooter, c.X, 176);
        e.Speed = c.Speed;
        e.Heading = c.Heading;
        std::vector<int> path;
        for (size_t i = 0; i < c.Path.size(); i++) {
            Form->UpdateEnemies();
            path.push_back(e.X);
        }
        EXPECT_EQ(path, c.Path) << "from " << c.X;
    }
}

TEST_F(EnemyTest, ShotHitWindowIsInclusive)
{
    struct {
        int DX, DY;
        bool Hit;
    } const cases[] = {
        {44, 0, true},   {-44, 0, true},  {0, 29, true},   {0, -29, true}, {44, 29, true},
        {-44, -29, true}, {45, 0, false}, {-45, 0, false}, {0, 30, false}, {0, -30, false},
    };
    for (const auto& c : cases) {
        Place(2, ekShooter, 200, 100).Timer = 0;
        FlyShotAt(200 - c.DX, 100 - c.DY);
        Form->UpdateEnemies();
        EXPECT_EQ(Form->Shot.State == ssBursting, c.Hit) << c.DX << ", " << c.DY;
        EXPECT_EQ(Form->Enemies[2].Timer, c.Hit ? 16 : 0) << c.DX << ", " << c.DY;
    }
}

TEST_F(EnemyTest, OneShotHitsOnlyTheLowestNumberedEnemy)
{
    Place(1, ekShooter, 200, 100);
    Place(2, ekShooter, 210, 110);
    FlyShotAt(205, 105);
    Form->UpdateEnemies();
    EXPECT_EQ(Form->Enemies[1].Timer, 16);
    EXPECT_EQ(Form->Enemies[2].Timer, 0);
    EXPECT_EQ(Form->Shot.Frame, 0);
    EXPECT_EQ(Form->SoundRequest, 3);
}

TEST_F(EnemyTest, OnlyAFlyingShotHits)
{
    for (int state : {ssReady, ssBursting, ssParked}) {
        Place(1, ekShooter, 200, 100);
        Form->Shot = {state, 200, 100, 0};
        Form->UpdateEnemies();
        EXPECT_EQ(Form->Enemies[1].Timer, 0) << "shot state " << state;
    }
}

TEST_F(EnemyTest, BulletHitWindowAndFlashProtection)
{
    struct {
        int DX, DY, Flash;
        bool Hit;
    } const cases[] = {
        {18, 18, 0, true},   {-18, -18, 0, true}, {0, 0, 0, true},    {19, 0, 0, false},
        {0, 19, 0, false},   {-19, 0, 0, false},  {0, -19, 0, false}, {0, 0, 1, false},
        {0, 0, 30, false},
    };
    for (const auto& c : cases) {
        Form->Count = 1000;
        Form->SoundRequest = 0;
        Form->FlashTimer = c.Flash;
        Form->ResetParticles();
        TEnemyBullet& b = StillBullet(0, 200 + c.DX, 253 + c.DY);
        Form->UpdateEnemies();
        SCOPED_TRACE(::testing::Message() << c.DX << ", " << c.DY << " flash " << c.Flash);
        EXPECT_EQ(Form->Count, c.Hit ? 800 : 1000);
        EXPECT_EQ(Form->SoundRequest, c.Hit ? 2 : 0);
        EXPECT_EQ(Form->FlashTimer, c.Hit ? 30 : c.Flash);
        EXPECT_EQ(b.Active, 1) << "a bullet stays in flight after a hit";
        int burst = 0;
        for (const TParticle& p : Form->Particles) {
            burst += p.Active;
            if (p.Active) {
                EXPECT_LT(p.Type, 6);
            }
        }
        EXPECT_EQ(burst, c.Hit ? 30 : 0);
        b.Active = 0;
    }
}

TEST_F(EnemyTest, BulletLeavesTheFieldPastItsLimits)
{
    struct {
        int X, Y;
        bool Stays;
    } const cases[] = {
        {460, 100, true}, {461, 100, false}, {-20, 100, true}, {-21, 100, false},
        {100, 320, true}, {100, 321, false}, {100, -20, true}, {100, -21, false},
    };
    for (const auto& c : cases) {
        TEnemyBullet& b = StillBullet(5, c.X, c.Y);
        Form->UpdateEnemies();
        EXPECT_EQ(b.Active == 1, c.Stays) << c.X << ", " << c.Y;
        b.Active = 0;
    }
}

TEST_F(EnemyTest, MovingBulletStepsByItsDirectionAndLeavesADot)
{
    struct {
        int Direction, DX, DY;
    } const cases[] = {
        {0, -14, 0}, {4, 0, -13}, {8, 13, 0}, {12, 0, 13}, {2, -9, -9}, {10, 9, 9}, {1, -12, -5},
    };
    for (const auto& c : cases) {
        Form->ResetParticles();
        TEnemyBullet& b = Form->EnemyBullets[0];
        b = {1, 100, 100, 3, 1, c.Direction};
        Form->UpdateEnemies();
        EXPECT_EQ(b.X, 100 + c.DX) << "direction " << c.Direction;
        EXPECT_EQ(b.Y, 100 + c.DY) << "direction " << c.Direction;
        EXPECT_EQ(b.Frame, 0);
        const TParticle& dot = Form->Particles[0];
        EXPECT_EQ(dot.Active, 1);
        EXPECT_EQ(dot.Type, ptDot);
        EXPECT_EQ(dot.X, b.X);
        EXPECT_EQ(dot.Y, b.Y);
        b.Active = 0;
    }
}

// The score of a second hit on the bonus enemy, framesAfter frames after the first.
int SecondHitScore(TForm1& form, int framesAfter)
{
    form.Score = 0;
    form.Count = 1000;
    form.Enemies[0].Timer = 0;
    form.ResetParticles();
    auto hit = [&] {
        form.Shot = {ssFlying, form.Enemies[0].X, form.Enemies[0].Y, 0};
        form.UpdateEnemies();
    };
    hit();
    for (int i = 1; i < framesAfter; i++)
        form.UpdateEnemies();
    const int before = form.Score;
    hit();
    return form.Score - before;
}

TEST_F(EnemyTest, BonusSecondHitIsWorthMoreWhileItReacts)
{
    TEnemy& bonus = Place(0, ekBonus, 200, 24);
    bonus.Speed = 0;
    struct {
        int FramesAfter;
        int Second;
    } const cases[] = {{1, 1000}, {127, 1000}, {128, 100}, {200, 100}};
    for (const auto& c : cases) {
        EXPECT_EQ(SecondHitScore(*Form, c.FramesAfter), c.Second) << c.FramesAfter << " frames after";
        EXPECT_EQ(Form->Count, 1200) << "each hit adds 100 to COUNT";
        EXPECT_EQ(Form->SoundRequest, 4);
        EXPECT_EQ(Form->Popups[0].Kind, 0);
        EXPECT_EQ(Form->Popups[1].Kind, c.Second == 1000 ? 1 : 0);
        EXPECT_EQ(Form->Popups[1].Timer, 80);
        Form->ResetParticles();
    }
}

TEST_F(EnemyTest, BonusKeepsPatrollingAndItsRingGrowsToItsLimit)
{
    TEnemy& bonus = Place(0, ekBonus, 200, 150);
    bonus.Speed = 4;
    bonus.Heading = 0;
    FlyShotAt(200, 150);
    Form->UpdateEnemies();  // moves to 204, then the hit
    ASSERT_EQ(bonus.Timer, 128);
    std::vector<int> rings;
    for (int i = 0; i < 15; i++) {
        Form->UpdateEnemies();
        rings.push_back(bonus.Ring);
    }
    EXPECT_EQ(rings, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 13, 13}));
    EXPECT_EQ(bonus.X, 204 + 4 * 15);
    EXPECT_EQ(bonus.Spin, (4 + 15) % 16);
    EXPECT_EQ(ActiveBullets(), 0) << "the bonus enemy never fires";
}

TEST_F(EnemyTest, ShooterSweepsSixteenDirectionsStandingStill)
{
    for (int reverse : {0, 1}) {
        for (TEnemyBullet& b : Form->EnemyBullets)
            b.Active = 0;
        TEnemy& e = Place(3, ekShooter, 200, 150);
        e.Speed = 10;
        e.Heading = 0;
        e.Spin = 5;
        e.Reverse = reverse;
        e.Timer = 0;
        FlyShotAt(210, 150);
        Form->UpdateEnemies();  // patrols to 210, then the hit stops it
        ASSERT_EQ(e.Timer, 16);
        std::vector<int> directions;
        for (int frame = 1; frame <= 17; frame++) {
            Form->UpdateEnemies();
            EXPECT_EQ(e.X, frame <= 16 ? 210 : 220) << "frame " << frame;
            // The bullet fired this frame is the one a single step away from the enemy.
            for (const TEnemyBullet& b : Form->EnemyBullets) {
                const int d = b.Direction;
                if (b.Active && b.X == 210 - Form->CosTable[d] * 14 / 16 &&
                    b.Y == 150 - Form->SinTable[d] * 14 / 16)
                    directions.push_back(d);
            }
        }
        std::vector<int> expect;
        for (int i = 1; i <= 16; i++)
            expect.push_back(((reverse ? 5 - i : 5 + i) + 8 + 32) % 16);
        EXPECT_EQ(directions, expect) << "reverse " << reverse;
        EXPECT_EQ(e.Timer, 0);
    }
}

TEST_F(EnemyTest, FullBulletPoolFiresNothingButTheSpinRunsOn)
{
    for (int i = 0; i < EnemyBulletCount; i++)
        StillBullet(i, 100, 100);
    TEnemy& e = Place(1, ekShooter, 200, 150);
    e.Timer = 3;
    e.Spin = 0;
    e.Reverse = 1;
    Form->UpdateEnemies();
    EXPECT_EQ(ActiveBullets(), EnemyBulletCount);
    EXPECT_EQ(e.Timer, 2);
    EXPECT_EQ(e.Spin, 15);
    for (const TEnemyBullet& b : Form->EnemyBullets)
        EXPECT_EQ(b.X, 100);
}

TEST_F(EnemyTest, ShipHitOverridesAnEnemyHitInTheSameFrame)
{
    Form->Count = 150;
    Place(1, ekShooter, 200, 100);
    FlyShotAt(200, 100);
    StillBullet(0, 200, 253);
    Form->UpdateEnemies();
    EXPECT_EQ(Form->SoundRequest, 2);
    EXPECT_EQ(Form->Count, -50);
    Form->PlaySoundRequest();
    ASSERT_EQ(Waves.Plays.size(), 1u);
    EXPECT_EQ(Waves.Plays[0].first, Form->WaveBuffer2);
}

TEST_F(EnemyTest, SpritesFollowKindAndSpin)
{
    Place(0, ekBonus, 100, 60).Spin = 13;
    Place(2, ekShooter, 300, 160).Spin = 2;
    ClearSurface();
    Form->UpdateEnemies();
    EXPECT_EQ(ImageAt(100, 60), (TDrawnImage{tagIL80, 10 + 5}));
    EXPECT_EQ(ImageAt(300, 160), (TDrawnImage{tagIL80, 18 + 2}));
}

}  // namespace

// Enemies, enemy bullets and their collisions with the shot and the ship.
#include "game/zq_main.h"

namespace {
constexpr int PatrolRight = 380;
constexpr int PatrolLeft = 20;
constexpr int RingStep = 39;
constexpr int RingMax = 13;
constexpr int ShotReachX = 44;
constexpr int ShotReachY = 29;
constexpr int ShipReach = 18;
constexpr int BonusReaction = 128;
constexpr int ShooterReaction = 16;
constexpr int BulletStep = 14;  // of 16: a bullet's speed against the table's unit length

bool Within(int Delta, int Reach) { return Delta >= -Reach && Delta <= Reach; }

void Patrol(TEnemy& E)
{
    if (E.Heading == 0) {
        E.X += E.Speed;
        if (E.X > PatrolRight)
            E.Heading = 1;
    } else {
        E.X -= E.Speed;
        if (E.X < PatrolLeft)
            E.Heading = 0;
    }
}

// The bullet leaves opposite the spin step: direction (Spin + 8) mod 16.
void FireBullet(TForm1& F, const TEnemy& E)
{
    for (TEnemyBullet& B : F.EnemyBullets) {
        if (B.Active != 0)
            continue;
        B.Active = 1;
        B.X = E.X;
        B.Y = E.Y;
        B.Frame = 0;
        B.Moving = 1;
        B.Direction = (E.Spin + 8) % 16;
        return;
    }
}

void React(TForm1& F, TEnemy& E)
{
    E.Timer -= 1;
    if (E.Reverse == 0)
        E.Spin = E.Spin == 15 ? 0 : E.Spin + 1;
    else
        E.Spin = E.Spin == 0 ? 15 : E.Spin - 1;
    if (E.Kind == ekShooter) {
        FireBullet(F, E);
        return;
    }
    if (E.Ring < RingMax)
        E.Ring += 1;
    TCanvas* Canvas = F.I1->Canvas;
    Canvas->Brush->Style = bsClear;
    Canvas->Pen->Color = clYellow;
    const int R = RingStep * E.Ring;
    Canvas->Ellipse(E.X + R, E.Y + R, E.X - R, E.Y - R);
}

void HitEnemy(TForm1& F, TEnemy& E)
{
    if (E.Kind == ekBonus) {
        F.SoundRequest = 4;
        F.Count += 100;
        // A hit while the enemy still reacts to the last one is worth ten times as much.
        if (E.Timer == 0) {
            F.Score += 100;
            F.SpawnPopup(E.X, E.Y, 0);
        } else {
            F.Score += 1000;
            F.SpawnPopup(E.X, E.Y, 1);
        }
        E.Timer += BonusReaction;
    } else {
        E.Timer += ShooterReaction;
        F.SoundRequest = 3;
    }
    F.Shot.State = ssBursting;
    F.Shot.Frame = 0;
    E.Ring = 0;
    F.SpawnBurst(F.Shot.X, F.Shot.Y, 20, 8, 10);
}

void MoveBullet(TForm1& F, TEnemyBullet& B)
{
    B.Frame = B.Frame == 3 ? 0 : B.Frame + 1;
    if (B.Moving == 1) {
        B.X -= F.CosTable[B.Direction] * BulletStep / 16;
        B.Y -= F.SinTable[B.Direction] * BulletStep / 16;
        F.IL24->Draw(F.I1->Canvas, B.X - 10, B.Y - 10, B.Frame);
        F.SpawnTrail(B.X, B.Y, ptDot, 30, 0, 0);
    }
    // The right-hand margin is 60 pixels, the other three 20.
    if (B.X < -20 || B.X > 460 || B.Y < -20 || B.Y > 320)
        B.Active = 0;
}

// A hit leaves the bullet in flight; the flash that follows lets the rest pass harmlessly.
void TestShipHit(TForm1& F, const TEnemyBullet& B)
{
    if (!Within(B.X - F.Player.X, ShipReach) || !Within(B.Y - F.Player.Y, ShipReach) ||
        F.FlashTimer >= 1)
        return;
    F.SoundRequest = 2;
    F.FlashTimer = 30;
    F.Count -= 200;
    F.SpawnBurst(F.Player.X, F.Player.Y, 30, 6, 40);
}
}  // namespace

void TForm1::ResetEnemies()
{
    for (int K = 0; K < EnemyCount; K++) {
        TEnemy& E = Enemies[K];
        E.X = GameRandom() % 400;
        E.Y = 24 + 38 * K;
        E.Heading = E.X >= 200 ? 1 : 0;
        E.Speed = 4 + 2 * K;
        E.Kind = ekShooter;
        E.Spin = 5;
        E.Reverse = K % 2;
        E.Timer = 0;
    }
    Enemies[0].Kind = ekBonus;
    Enemies[0].Spin = 4;
    for (TEnemyBullet& B : EnemyBullets)
        B.Active = 0;
}

void TForm1::UpdateEnemies()
{
    TCanvas* Canvas = I1->Canvas;
    for (TEnemy& E : Enemies) {
        if (E.Kind == ekBonus || E.Timer < 1)
            Patrol(E);
        if (E.Timer > 0)
            React(*this, E);
        const int Image = (E.Kind == ekBonus ? 10 : 18) + E.Spin % 8;
        IL80->Draw(Canvas, E.X - 40, E.Y - 40, Image);
        if (Shot.State == ssFlying && Within(E.X - Shot.X, ShotReachX) &&
            Within(E.Y - Shot.Y, ShotReachY))
            HitEnemy(*this, E);
    }
    for (TEnemyBullet& B : EnemyBullets) {
        if (B.Active != 1)
            continue;
        MoveBullet(*this, B);
        if (B.Active == 1)
            TestShipHit(*this, B);
    }
}

// The play phase: ship, shot, flash, death sequence and the frame's sound effect.
#include "game/zq_main.h"

#include "platform/audio/sound.h"

namespace {
constexpr int ShipSpeed = 6;
constexpr int ShipLeftLimit = 25;
constexpr int ShipRightLimit = 375;
constexpr int BankLevel = 3;
constexpr int BankMax = 6;
constexpr int ShotSpeed = 9;
constexpr int ShotNose = 8;     // the ready shot sits this far above the ship's centre
constexpr int ShotLostY = -50;
constexpr int FlashFrames = 30;
constexpr int FlashWhiteAbove = 27;  // flash frames above this fill the screen
constexpr int RingStep = 39;

void MoveShipLeft(TForm1& F)
{
    F.Player.X -= ShipSpeed;
    if (F.Player.X < ShipLeftLimit)
        F.Player.X = ShipLeftLimit;
    F.Player.Bank -= 1;
    if (F.Player.Bank < 0)
        F.Player.Bank = 0;
    F.ShipMoved = 1;
}

void MoveShipRight(TForm1& F)
{
    F.Player.X += ShipSpeed;
    if (F.Player.X > ShipRightLimit)
        F.Player.X = ShipRightLimit;
    F.Player.Bank += 1;
    if (F.Player.Bank > BankMax)
        F.Player.Bank = BankMax;
    F.ShipMoved = 1;
}

void ReadyShot(TForm1& F)
{
    F.Shot.State = ssReady;
    F.Shot.X = F.Player.X;
    F.Shot.Y = F.Player.Y - ShotNose;
}

bool HasFreeParticle(const TForm1& F)
{
    for (const TParticle& P : F.Particles)
        if (P.Active == 0)
            return true;
    return false;
}
}  // namespace

void TForm1::RunPlay()
{
    TCanvas* Canvas = I1->Canvas;

    Count -= 1;
    if (Count < 0)
        Count = 0;
    if (Count == 0 && Dying == 0) {
        Dying = 1;
        FlashTimer = FlashFrames;
        DeathFrame = 0;
        Shot.State = ssParked;
        Shot.X = 0;
        Shot.Y = 400;
        SoundRequest = 2;
        SpawnBurst(Player.X, Player.Y, 40, 8, 40);
    }

    ShipMoved = 0;
    PadFire = 0;
    JOYINFO Pad{};
    if (PollJoystick(Pad)) {
        if (Pad.wXpos < PadLeft)
            MoveShipLeft(*this);
        if (Pad.wXpos > PadRight)
            MoveShipRight(*this);
        if (Pad.wButtons == JOY_BUTTON1)
            PadFire = 1;
    }
    if (KeyLeft == 1)
        MoveShipLeft(*this);
    if (KeyRight == 1)
        MoveShipRight(*this);
    if (ShipMoved == 0 && Player.Bank != BankLevel)
        Player.Bank += Player.Bank < BankLevel ? 1 : -1;

    // A press while the shot is away is used up: it fires nothing later.
    if (FirePressed()) {
        FireLatch = 1;
        if (Shot.State == ssReady) {
            Shot.State = ssFlying;
            SoundRequest = 1;
        }
    }
    if (KeyFire == 0 && PadFire == 0)
        FireLatch = 0;

    if (FlashTimer > 0) {
        FlashTimer -= 1;
        if (FlashTimer > FlashWhiteAbove) {
            Canvas->Brush->Style = bsSolid;
            Canvas->FillRect(Rect(0, 0, 400, 300));
        } else {
            const int D = RingStep * (FlashFrames - FlashTimer);
            Canvas->Brush->Style = bsClear;
            Canvas->Pen->Color = clYellow;
            Canvas->Ellipse(Player.X + D, Player.Y + D, Player.X - D, Player.Y - D);
        }
    }

    switch (Shot.State) {
    case ssReady:
        ReadyShot(*this);
        break;
    case ssFlying:
        Shot.Y -= ShotSpeed;
        TrailTick += 1;
        if (TrailTick > 1) {
            TrailTick = 0;
            SpawnTrail(Shot.X, Shot.Y + 25, ptPuff, 30, 0, 0);
        }
        // The spark's values are drawn only when it will find a slot.
        if (HasFreeParticle(*this)) {
            const int Life = GameRandom() % 39 + 10;
            const int VX = GameRandom() % 10 - 5;
            const int VY = GameRandom() % 6;
            SpawnTrail(Shot.X, Shot.Y + 30, ptTwinkleGreen, Life, VX, VY);
        }
        if (Shot.Y < ShotLostY)
            ReadyShot(*this);
        break;
    case ssBursting:
        IL96->Draw(Canvas, Shot.X - 48, Shot.Y - 48, Shot.Frame);
        Shot.Frame += 1;
        if (Shot.Frame > 15)
            ReadyShot(*this);
        break;
    default:
        break;
    }

    if (Shot.State == ssReady || Shot.State == ssFlying) {
        Shot.Frame += 1;
        if (Shot.Frame > 2)
            Shot.Frame = 0;
        IL80->Draw(Canvas, Shot.X - 40, Shot.Y - 40, Shot.Frame);
    }

    if (Dying == 0) {
        IL80->Draw(Canvas, Player.X - 40, Player.Y - 40, Player.Bank + 3);
    } else {
        DeathFrame += 1;
        if (DeathFrame > 15) {
            Phase = gpGameOver;
            FireLatch = 1;
            PhaseTimer = 0;
        } else {
            IL96->Draw(Canvas, Player.X - 48, Player.Y - 48, DeathFrame);
        }
    }

    UpdateEnemies();
    UpdatePopups();
    PlaySoundRequest();
}

// The last request written in the frame is the one heard; the next effect cuts this one off.
void TForm1::PlaySoundRequest()
{
    if (SoundRequest <= 0)
        return;
    const unsigned char* const Buffers[] = {WaveBuffer1, WaveBuffer2, WaveBuffer3, WaveBuffer4};
    if (SoundRequest <= 4)
        sndPlaySound(Buffers[SoundRequest - 1], SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
    SoundRequest = 0;
}

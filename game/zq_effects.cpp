// Particles and score pop-ups.
#include "game/zq_main.h"

namespace {
constexpr int PopupFrames = 80;
constexpr int PuffLastFrame = 12;
constexpr int DotLastFrame = 2;
constexpr int DampingPeriod = 5;  // Age runs 0..5: one damping step every sixth update

// Index of the first free particle slot, or -1 when the pool is full.
int FirstFreeParticle(const TForm1& F)
{
    for (int I = 0; I < ParticleCount; I++)
        if (F.Particles[I].Active == 0)
            return I;
    return -1;
}

int TowardZero(int V) { return V > 0 ? V - 1 : V < 0 ? V + 1 : 0; }

struct TTwinkleColours {
    TColor Centre;
    TColor Edge;
};
constexpr TTwinkleColours TwinkleColours[] = {
    {RGB(255, 255, 0), RGB(128, 128, 0)},  // ptTwinkleYellow
    {RGB(0, 255, 255), RGB(0, 0, 255)},    // ptTwinkleCyan
    {RGB(255, 0, 255), RGB(128, 0, 128)},  // ptTwinkleMagenta
    {RGB(0, 255, 0), RGB(0, 128, 0)},      // ptTwinkleGreen
};

// A short horizontal bar on frame 0, a vertical one on frame 1.
void DrawTwinkle(TCanvas* Canvas, TParticle& P)
{
    const TTwinkleColours& C = TwinkleColours[P.Type - ptTwinkleYellow];
    Canvas->Pixels[P.X][P.Y] = C.Centre;
    if (P.Frame == 0) {
        Canvas->Pixels[P.X + 1][P.Y] = C.Edge;
        Canvas->Pixels[P.X - 1][P.Y] = C.Edge;
    } else {
        Canvas->Pixels[P.X][P.Y + 1] = C.Edge;
        Canvas->Pixels[P.X][P.Y - 1] = C.Edge;
    }
    P.Frame += 1;
    if (P.Frame > 1)
        P.Frame = 0;
    P.Life -= 1;
}
}  // namespace

// Frame and Age are left as the slot had them. No draw is made for a repetition without a slot.
void TForm1::SpawnBurst(int X, int Y, int Amount, int TypeCount, int LifeBase)
{
    for (int N = 0; N < Amount; N++) {
        const int Slot = FirstFreeParticle(*this);
        if (Slot < 0)
            continue;
        TParticle& P = Particles[Slot];
        P.Active = 1;
        P.X = X;
        P.Y = Y;
        P.Type = GameRandom() % TypeCount;
        P.Life = GameRandom() % 30 + LifeBase;
        P.VX = GameRandom() % 18 - 9;
        P.VY = GameRandom() % 18 - 9;
    }
}

void TForm1::SpawnTrail(int X, int Y, int Type, int Life, int VX, int VY)
{
    const int Slot = FirstFreeParticle(*this);
    if (Slot < 0)
        return;
    TParticle& P = Particles[Slot];
    P.Active = 1;
    P.X = X;
    P.Y = Y;
    P.Type = Type;
    P.Life = Life;
    P.VX = VX;
    P.VY = VY;
    P.Frame = 0;
}

void TForm1::SpawnPopup(int X, int Y, int Kind)
{
    for (TScorePopup& P : Popups) {
        if (P.Timer != 0)
            continue;
        P.Timer = PopupFrames;
        P.X = X;
        P.Y = Y;
        P.Kind = Kind;
        return;
    }
}

// Puffs and dots are drawn here, under the ship and the enemies; every particle ages here too.
void TForm1::UpdateTrails()
{
    TCanvas* Canvas = I1->Canvas;
    for (TParticle& P : Particles) {
        if (P.Active != 1)
            continue;
        if (P.Type == ptPuff) {
            IL24->Draw(Canvas, P.X - 12, P.Y - 12, P.Frame / 2 + 4);
            P.Frame += 1;
            if (P.Frame > PuffLastFrame)
                P.Active = 0;
        } else if (P.Type == ptDot) {
            Font0->Draw(Canvas, P.X - 8, P.Y - 8, P.Frame + 36);
            P.Frame += 1;
            if (P.Frame > DotLastFrame)
                P.Active = 0;
        }
        P.Life -= 1;
        if (P.Life < 0)
            P.Active = 0;
    }
}

void TForm1::UpdateParticles()
{
    TCanvas* Canvas = I1->Canvas;
    for (TParticle& P : Particles) {
        if (P.Active != 1)
            continue;
        P.Age += 1;
        if (P.Age > DampingPeriod) {
            P.Age = 0;
            P.VX = TowardZero(P.VX);
            P.VY = TowardZero(P.VY);
        }
        P.X += P.VX;
        P.Y += P.VY;
        switch (P.Type) {
        case ptSparkUp:
            P.Frame += 1;
            if (P.Frame > 5)
                P.Frame = 0;
            Spa8->Draw(Canvas, P.X - 5, P.Y - 5, P.Frame);
            break;
        case ptSparkDown:
            P.Frame -= 1;
            if (P.Frame < 0)
                P.Frame = 5;
            Spa8->Draw(Canvas, P.X - 5, P.Y - 5, P.Frame);
            break;
        case ptTwinkleYellow:
        case ptTwinkleCyan:
        case ptTwinkleMagenta:
        case ptTwinkleGreen:
            DrawTwinkle(Canvas, P);
            break;
        default:
            break;
        }
        P.Life -= 1;
        if (P.Life < 0)
            P.Active = 0;
    }
}

// The text sinks one pixel per frame; it is written in the canvas font as it stands.
void TForm1::UpdatePopups()
{
    TCanvas* Canvas = I1->Canvas;
    static const AnsiString Texts[] = {"100", "1000"};
    for (TScorePopup& P : Popups) {
        if (P.Timer <= 0)
            continue;
        P.Timer -= 1;
        Canvas->Font->Size = 9;
        Canvas->TextOut(P.X, P.Y, Texts[P.Kind == 1 ? 1 : 0]);
        P.Y += 1;
    }
}

void TForm1::ResetParticles()
{
    for (TParticle& P : Particles)
        P.Active = 0;
    for (TScorePopup& P : Popups)
        P.Timer = 0;
}

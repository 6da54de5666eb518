// Title screen, new-game set-up, the ranking screen's firework and the game-over text.
#include "game/zq_main.h"

namespace {
constexpr int FireworkLastFrame = 20;  // images 16..20 do not exist: a pause before the next one
const AnsiString CreditLine = "Mivo ( September 2001 )";
}  // namespace

void TForm1::RunTitle()
{
    TCanvas* Canvas = I1->Canvas;
    Canvas->Font->Size = 9;
    Canvas->Brush->Style = bsClear;
    Canvas->Font->Color = RGB(128, 128, 0);
    Canvas->TextOut(140, 191, CreditLine);
    Canvas->Font->Color = RGB(255, 255, 0);
    Canvas->TextOut(139, 190, CreditLine);
    ILT->Draw(Canvas, 85, 62, 0);
    DrawGlyphText(75, 215, gsNormal, 21, "HIT SPACEBAR TO START");
    DrawGlyphText(135, 240, gsNormal, 11, "ESC TO EXIT");
    // The latch is left set: the new-game set-up sets it, so the starting press does not fire.
    PollFireButton();
    if (FirePressed())
        Phase = gpStart;
}

void TForm1::NewGame()
{
    TCanvas* Canvas = I1->Canvas;
    Score = 0;
    HighScores[7] = HighScores[0];
    Canvas->Brush->Style = bsClear;
    Canvas->Font->Color = RGB(255, 255, 0);
    Player.X = 200;
    Player.Y = 253;
    Player.Bank = 3;
    Shot.State = ssReady;
    Shot.X = -40;
    Shot.Y = -40;
    ResetEnemies();
    ResetParticles();
    SoundRequest = 0;
    Dying = 0;
    FlashTimer = 0;
    DeathFrame = 0;
    Count = 1500;
    FireLatch = 1;
    Phase = gpPlay;
}

// The firework lives in the Player record while the ranking screen shows.
void TForm1::RunFirework()
{
    if (Player.FireworkOn == 0) {
        Player.X = GameRandom() % 300 + 50;
        Player.Y = GameRandom() % 200 + 50;
        Player.Bank = 0;
        Player.FireworkOn = 1;
        SpawnBurst(Player.X, Player.Y, 20, 8, 20);
        return;
    }
    IL96->Draw(I1->Canvas, Player.X - 48, Player.Y - 48, Player.Bank);
    Player.Bank += 1;
    if (Player.Bank > FireworkLastFrame)
        Player.FireworkOn = 0;
}

void TForm1::DrawGameOver()
{
    DrawGlyphText(147, 150, gsNormal, 9, "GAME OVER");
}

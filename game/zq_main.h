// The main window of ZQ-2: its components, the whole game state as plain fields, and every game
// routine. One class; its member functions live in the game/zq_*.cpp files, one file per subject.
#pragma once
#include <cstdint>

#include "game/zq_random.h"
#include "library/midi/vtmidi.h"
#include "platform/core/clock.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/display.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/imglist.h"
#include "platform/vcl/joystick.h"

static_assert(sizeof(int) == 4, "game fields are signed 32-bit integers");

// Phases.
constexpr int gpTitle = 0;
constexpr int gpStart = 1;
constexpr int gpPlay = 2;
constexpr int gpRanking = 3;
constexpr int gpGameOver = 4;

// Shot states.
constexpr int ssReady = 0;
constexpr int ssFlying = 1;
constexpr int ssBursting = 2;
constexpr int ssParked = 3;

// Enemy kinds.
constexpr int ekBonus = 0;
constexpr int ekShooter = 1;

// Particle types.
constexpr int ptSparkUp = 0;
constexpr int ptSparkDown = 1;
constexpr int ptTwinkleYellow = 2;
constexpr int ptTwinkleCyan = 3;
constexpr int ptTwinkleMagenta = 4;
constexpr int ptTwinkleGreen = 5;
constexpr int ptPuff = 6;
constexpr int ptDot = 7;

// Glyph text styles.
constexpr int gsNormal = 0;
constexpr int gsHighlight = 1;
constexpr int gsDigits = 2;

// Pool sizes.
constexpr int EnemyCount = 5;
constexpr int EnemyBulletCount = 40;
constexpr int PopupCount = 11;
constexpr int ParticleCount = 151;
constexpr int HighScoreCount = 8;

// Sound effect sizes: the bytes read from each wave file.
constexpr int WaveSize1 = 11144;
constexpr int WaveSize2 = 37104;
constexpr int WaveSize3 = 52268;
constexpr int WaveSize4 = 21048;

// Milliseconds per frame.
constexpr DWORD FrameInterval = 37;

struct TPlayer {
    int X;
    int Y;
    int Bank;
    int FireworkOn;
};

struct TShot {
    int State;
    int X;
    int Y;
    int Frame;
};

struct TEnemy {
    int X;
    int Y;
    int Spin;
    int Reverse;
    int Heading;
    int Speed;
    int Kind;
    int Timer;
    int Ring;
};

struct TEnemyBullet {
    int Active;
    int X;
    int Y;
    int Frame;
    int Moving;
    int Direction;
};

struct TParticle {
    int X;
    int Y;
    int Active;
    int Type;
    int Frame;
    int Life;
    int VX;
    int VY;
    int Age;
};

struct TScorePopup {
    int X;
    int Y;
    int Timer;
    int Kind;
};

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* Owner);
    ~TForm1() override;

    // Components, in the order they sit on the window; owned by the window.
    TImage* I0;
    TImage* I1;
    TImage* I2;
    TImageList* IL80;
    TImageList* Font0;
    TImageList* ISC;
    TImageList* Spa8;
    TImageList* Font2;
    TImageList* IL400;
    TImageList* IL24;
    TImageList* IL96;
    TImageList* ILT;
    VantrelMidiSystem::TVantrelMidi* Vtmid;

    // Window-level fields.
    int Phase = 0;
    int RankDone = 0;
    int RankBlink = 0;
    int RankMark = 0;
    char NumberText[20] = {};

    // Bullet direction tables.
    int CosTable[16] = {};
    int SinTable[16] = {};

    // Running values.
    int Score = 0;
    int PhaseTimer = 0;
    int Count = 0;
    int ScrollDivider = 0;
    int LayerScroll = 0;
    int StarScroll = 0;
    int KeyLeft = 0;
    int KeyRight = 0;
    int KeyFire = 0;
    int FireLatch = 0;
    int SoundRequest = 0;
    int Dying = 0;
    int FlashTimer = 0;
    int DeathFrame = 0;
    int TrailTick = 0;
    int ShipMoved = 0;
    int PadFire = 0;
    // Each buffer keeps one trailing zero byte beyond the bytes read.
    unsigned char WaveBuffer1[WaveSize1 + 1] = {};
    unsigned char WaveBuffer2[WaveSize2 + 1] = {};
    unsigned char WaveBuffer3[WaveSize3 + 1] = {};
    unsigned char WaveBuffer4[WaveSize4 + 1] = {};

    // Game objects.
    TPlayer Player = {};
    TShot Shot = {};
    TEnemy Enemies[EnemyCount] = {};
    TEnemyBullet EnemyBullets[EnemyBulletCount] = {};
    TScorePopup Popups[PopupCount] = {};
    TParticle Particles[ParticleCount] = {};
    int HighScores[HighScoreCount] = {};
    std::uint32_t PadLeft = 0;
    std::uint32_t PadUp = 0;
    std::uint32_t PadRight = 0;
    std::uint32_t PadDown = 0;
    LPDIRECTDRAW DirectDrawObject = nullptr;

    // Window handlers.
    void FormCreate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void RunFrame(TObject* Sender, bool& Done);

    // Play: ship, shot, enemies, bullets.
    void RunPlay();
    void PlaySoundRequest();
    void UpdateEnemies();
    void ResetEnemies();

    // Particles and score pop-ups.
    void SpawnBurst(int X, int Y, int Amount, int TypeCount, int LifeBase);
    void SpawnTrail(int X, int Y, int Type, int Life, int VX, int VY);
    void SpawnPopup(int X, int Y, int Kind);
    void UpdateTrails();
    void UpdateParticles();
    void UpdatePopups();
    void ResetParticles();

    // Title, new game, firework, game over, ranking.
    void RunTitle();
    void NewGame();
    void RunFirework();
    void DrawGameOver();
    void RunRanking();

    // Joystick: the start-up's calibration, a poll of joystick 1, and the fire poll-and-release
    // step of the title, ranking and game-over frames.
    void CalibrateJoystick();
    bool PollJoystick(JOYINFO& Info);
    void PollFireButton();
    // A fire press: fire held and the latch clear.
    bool FirePressed() const { return (KeyFire == 1 || PadFire == 1) && FireLatch == 0; }

    // Glyph text and HUD.
    void DrawGlyphText(int X, int Y, int Style, int Length, const char* Text);
    int NumberToText(int Value);  // fills NumberText, returns its length
    void DrawNumber(int X, int Y, int Style, int Value);
    void DrawHud();

    // Start-up pieces and the frame's own steps.
    void LoadScores();
    bool SaveScores();
    void AskDisplayMode();
    void LoadStoredLists();
    void LoadSpriteLists();
    void MakeForegroundLayer();
    void MakeBackgroundStars();
    void FillDirectionTables();
    void LoadSoundEffects();
    void SetUpCanvas();
    void WaitForFrame();
    void ScrollStars();
    void RunPhase();
    void EnterRankingFromTitle();
    void EnterRankingAfterGame();

private:
    void ReportPictureFault(const AnsiString& FileName);
    void LoadSpriteList(TImageList* List, int Size, const char* Prefix, int Files);
    bool LoadWave(const char* FileName, unsigned char* Buffer, int Size);
    int AssetFault = 0;  // a picture file could not be loaded: close once the start-up is done
    TBitmap* Scratch = nullptr;
};

extern TForm1* Form1;
// Timer reading at which the last frame began; 0 at program start.
extern DWORD LastFrameTime;

// Frame pacing: milliseconds still to wait before a frame may start (0: start now). The difference
// of the two readings is taken modulo 2^32 so the timer's wrap-around is harmless.
DWORD FrameTimeRemaining(DWORD Now, DWORD Last);

// A headless main window for gameplay tests: scripted random draws, joystick and wave player,
// and image lists whose images are solid squares coloured by list and index, so a pixel of the
// drawing surface tells which image was drawn there.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "game/zq_main.h"
#include "platform/audio/sound.h"
#include "platform/core/clock.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/joystick.h"

// Queued values first, then a fixed pseudo-random sequence; every draw is counted.
class ScriptedRandom : public ZqRandom::RandomSource {
public:
    void Seed(std::uint32_t seed) override { FState = seed; }
    int Next() override
    {
        ++Draws;
        if (!Queue.empty()) {
            const int v = Queue.front();
            Queue.pop_front();
            return v;
        }
        FState = FState * 1103515245u + 12345u;
        return static_cast<int>((FState >> 1) & 0x7FFFFFFF);
    }
    std::deque<int> Queue;
    int Draws = 0;

private:
    std::uint32_t FState = 1;
};

// Unplugged unless a test plugs it in.
class ScriptedJoystick : public Platform::JoystickSource {
public:
    MMRESULT GetDevCaps(UINT, JOYCAPS* caps) override
    {
        if (!Plugged)
            return JOYERR_UNPLUGGED;
        *caps = Caps;
        return JOYERR_NOERROR;
    }
    MMRESULT GetPos(UINT, JOYINFO* info) override
    {
        ++Polls;
        if (!Plugged)
            return JOYERR_UNPLUGGED;
        *info = Pos;
        return JOYERR_NOERROR;
    }
    bool Plugged = false;
    JOYCAPS Caps{0, 65535, 0, 65535, 4};
    JOYINFO Pos{32768, 32768, 0, 0};
    int Polls = 0;
};

// Every reading is one frame later than the last, so frames run without waiting.
class SteppingClock : public Platform::ClockSource {
public:
    DWORD Now() override { return FNow += FrameInterval; }
    void SleepFor(DWORD ms) override { FNow += ms; }
private:
    DWORD FNow = 0;
};

class RecordingWavePlayer : public Platform::WavePlayer {
public:
    BOOL Play(const void* sound, UINT flags) override
    {
        Plays.emplace_back(sound, flags);
        return 1;
    }
    std::vector<std::pair<const void*, UINT>> Plays;
};

// Tags that tell the image lists apart in a pixel's green byte.
enum TListTag { tagFont0 = 1, tagIL24, tagIL80, tagIL96, tagSpa8, tagISC, tagFont2, tagILT };

struct TDrawnImage {
    int Tag = 0;
    int Index = -1;
    friend bool operator==(const TDrawnImage&, const TDrawnImage&) = default;
};

inline TColor CodedColour(int tag, int index) { return RGB(index + 1, tag * 16, 0xC8); }

class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::UseHeadless();
        ZqRandom::SetRandomSource(&Random);
        Platform::SetJoystickSource(&Joystick);
        Platform::SetWavePlayer(&Waves);
        // No playback thread: it would move the test clocks with its sleeps.
        VantrelMidiSystem::TVantrelMidiPlayThread::SetManualCycles(true);
        Form = new TForm1(nullptr);
        Form->FillDirectionTables();
        Form->SetUpCanvas();
        Code(Form->Font0, tagFont0, 39);
        Code(Form->IL24, tagIL24, 11);
        Code(Form->IL80, tagIL80, 26);
        Code(Form->IL96, tagIL96, 16);
        Code(Form->Spa8, tagSpa8, 6);
        Code(Form->ISC, tagISC, 4);
        Code(Form->Font2, tagFont2, 10);
        Code(Form->ILT, tagILT, 1);
        ClearSurface();
    }

    void TearDown() override
    {
        delete Form;
        VantrelMidiSystem::TVantrelMidiPlayThread::SetManualCycles(false);
        Platform::SetWavePlayer(nullptr);
        Platform::SetJoystickSource(nullptr);
        ZqRandom::SetRandomSource(nullptr);
    }

    static void Code(TImageList* list, int tag, int count)
    {
        list->Clear();
        TBitmap picture;
        picture.SetSize(list->Width, list->Height);
        for (int i = 0; i < count; i++) {
            std::fill(picture.Buffer().Pixels.begin(), picture.Buffer().Pixels.end(),
                      static_cast<std::uint32_t>(CodedColour(tag, i)));
            list->AddMasked(&picture, clBlack);
        }
    }

    void ClearSurface()
    {
        auto& pixels = Form->I1->Canvas->Buffer().Pixels;
        std::fill(pixels.begin(), pixels.end(), 0u);
    }

    TColor Pixel(int x, int y) const { return Form->I1->Canvas->GetPixel(x, y); }

    // Which coded image covers (x, y) of the drawing surface; Tag 0 when none does.
    TDrawnImage ImageAt(int x, int y) const
    {
        const TColor c = Pixel(x, y);
        if (c < 0 || GetBValue(c) != 0xC8 || GetGValue(c) % 16 != 0)
            return {};
        return {GetGValue(c) / 16, GetRValue(c) - 1};
    }

    // A game in its first play frame, the enemies parked far off the field so nothing collides.
    void StartGame()
    {
        Form->NewGame();
        ParkEnemies();
    }

    void ParkEnemies()
    {
        for (TEnemy& e : Form->Enemies) {
            e.X = -1000;
            e.Speed = 0;
            e.Heading = 0;
            e.Timer = 0;
        }
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; i++)
            Form->RunPlay();
    }

    TForm1* Form = nullptr;
    ScriptedRandom Random;
    ScriptedJoystick Joystick;
    RecordingWavePlayer Waves;
};

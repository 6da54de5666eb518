// The busiest play frame, unpaced: every particle slot in use, all 40 enemy bullets in flight,
// all five enemies reacting (rings and bullets), the shot flying and pop-ups showing, drawn with
// the generated sprites of the run folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "game/zq_main.h"
#include "platform/audio/sound.h"
#include "platform/vcl/forms.h"

namespace {

class FastClock : public Platform::ClockSource {
public:
    DWORD Now() override { return FNow += FrameInterval; }
    void SleepFor(DWORD ms) override { FNow += ms; }
private:
    DWORD FNow = 0;
};

class SilentPlayer : public Platform::WavePlayer {
public:
    BOOL Play(const void*, UINT) override { return 1; }
};

void LoadSprites(TImageList* list, int size, const char* prefix, int files)
{
    TBitmap picture;
    for (int n = 0; n < files; n++) {
        char name[32];
        std::snprintf(name, sizeof name, "bmp\\%s_%02d.bmp", prefix, n);
        picture.LoadFromFile(name);
        picture.SetSize(size, size);
        list->AddMasked(&picture, clBlack);
    }
}

// Puts the game in its heaviest state; the frame's own spawns then keep the pools full.
void FillPlay(TForm1& form)
{
    form.NewGame();
    form.Phase = gpPlay;
    form.Count = 1000000;
    for (int k = 0; k < EnemyCount; k++) {
        form.Enemies[k].Timer = 1000000;
        form.Enemies[k].Ring = 13;
    }
    for (int i = 0; i < EnemyBulletCount; i++)
        form.EnemyBullets[i] = {1, 20 + 9 * i, 40 + 5 * i, i % 4, 1, i % 16};
    for (int i = 0; i < ParticleCount; i++)
        form.Particles[i] = {(i * 37) % 400, (i * 53) % 300, 1, i % 8, i % 6, 1000, 0, 0, 0};
    for (int i = 0; i < PopupCount; i++)
        form.Popups[i] = {30 * i, 100 + 5 * i, 80, i % 2};
    form.Shot = {ssFlying, 200, 150, 0};
}

void BM_PlayFrame(benchmark::State& state)
{
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(ZQ_RUN_DIR);
    Platform::UseHeadless();
    FastClock clock;
    SilentPlayer player;
    Platform::SetClockSource(&clock);
    Platform::SetWavePlayer(&player);
    {
        TForm1 form(nullptr);
        LoadSprites(form.IL96, 96, "96", 16);
        LoadSprites(form.IL80, 80, "80", 26);
        LoadSprites(form.IL24, 24, "24", 11);
        TBitmap layer;
        layer.SetSize(400, 300);
        for (int i = 0; i < 80; i++)
            layer.Canvas->Pixels[(i * 97) % 400][(i * 61) % 300] = i % 2 ? clYellow : clAqua;
        form.IL400->AddMasked(&layer, clBlack);
        form.FillDirectionTables();
        form.MakeBackgroundStars();
        form.SetUpCanvas();
        FillPlay(form);
        int frames = 0;
        for (auto _ : state) {
            // Refill now and then, outside the timing, so the pools stay at their worst.
            if (++frames % 16 == 0) {
                state.PauseTiming();
                FillPlay(form);
                state.ResumeTiming();
            }
            bool done = true;
            form.RunFrame(nullptr, done);
            benchmark::DoNotOptimize(form.I2->Canvas->Buffer().Pixels.data());
        }
    }
    Platform::SetWavePlayer(nullptr);
    Platform::SetClockSource(nullptr);
    std::filesystem::current_path(old);
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// Cost of one frame without pacing, and a paced run: frame interval and processor use.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <numeric>
#include <vector>

#include "game/zq_main.h"
#include "platform/audio/sound.h"
#include "platform/vcl/forms.h"

namespace {
namespace fs = std::filesystem;

// Every reading is a whole frame later, so the wait never waits.
class RacingClock : public Platform::ClockSource {
public:
    DWORD Now() override { return FNow += FrameInterval; }
    void SleepFor(DWORD) override {}
private:
    DWORD FNow = 0;
};

class SilentWaves : public Platform::WavePlayer {
public:
    BOOL Play(const void*, UINT) override { return 1; }
};

// The game started headless in a scratch folder that links the generated pictures and sounds.
class GameInFolder {
public:
    GameInFolder()
    {
        FOld = fs::current_path();
        FFolder = fs::temp_directory_path() / "zq_bench_frame";
        fs::remove_all(FFolder);
        fs::create_directories(FFolder);
        fs::create_directory_symlink(fs::path(ZQ_RUN_DIR) / "bmp", FFolder / "bmp");
        fs::create_directory_symlink(fs::path(ZQ_RUN_DIR) / "wav", FFolder / "wav");
        fs::current_path(FFolder);
        Platform::UseHeadless();
        Platform::SetWavePlayer(&FWaves);
        Form = std::make_unique<TForm1>(nullptr);
        Form->FormCreate(Form.get());
    }
    ~GameInFolder()
    {
        Form.reset();
        Platform::SetWavePlayer(nullptr);
        fs::current_path(FOld);
        fs::remove_all(FFolder);
    }
    std::unique_ptr<TForm1> Form;
private:
    fs::path FOld, FFolder;
    SilentWaves FWaves;
};

void TitleFrame(benchmark::State& state)
{
    RacingClock clock;
    Platform::SetClockSource(&clock);
    GameInFolder game;
    // A ranking visit first, so sparks of its fireworks are in flight as in the attract cycle.
    game.Form->Phase = gpRanking;
    bool done = false;
    for (int i = 0; i < 30; ++i) {
        game.Form->RunFrame(nullptr, done);
    }
    game.Form->Phase = gpTitle;
    for (auto _ : state) {
        game.Form->PhaseTimer = 0;
        game.Form->RunFrame(nullptr, done);
    }
    Platform::SetClockSource(nullptr);
}
BENCHMARK(TitleFrame)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void PacedFrames(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    GameInFolder game;
    constexpr int Frames = 300;
    std::vector<double> intervals;
    intervals.reserve(Frames);
    double cpuShare = 0;
    for (auto _ : state) {
        bool done = false;
        game.Form->RunFrame(nullptr, done);
        const double cpuStart = ProcessorSeconds();
        const auto wallStart = Clock::now();
        auto last = wallStart;
        for (int i = 0; i < Frames; ++i) {
            game.Form->RunFrame(nullptr, done);
            const auto now = Clock::now();
            intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        }
        const double wall = std::chrono::duration<double>(last - wallStart).count();
        cpuShare = (ProcessorSeconds() - cpuStart) / wall;
    }
    std::sort(intervals.begin(), intervals.end());
    state.counters["interval_mean_ms"] =
        std::accumulate(intervals.begin(), intervals.end(), 0.0) / intervals.size();
    state.counters["interval_median_ms"] = intervals[intervals.size() / 2];
    state.counters["interval_p99_ms"] = intervals[intervals.size() * 99 / 100];
    state.counters["interval_max_ms"] = intervals.back();
    state.counters["cpu_percent"] = 100 * cpuShare;
}
BENCHMARK(PacedFrames)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();

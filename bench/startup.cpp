// Time from creating the window (constructor and creation handler) to the end of the first frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "game/zq_main.h"
#include "platform/audio/sound.h"
#include "platform/vcl/forms.h"

namespace {
namespace fs = std::filesystem;

class SilentWaves : public Platform::WavePlayer {
public:
    BOOL Play(const void*, UINT) override { return 1; }
};

void StartUpToFirstFrame(benchmark::State& state)
{
    const fs::path old = fs::current_path();
    const fs::path folder = fs::temp_directory_path() / "zq_bench_startup";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::create_directory_symlink(fs::path(ZQ_RUN_DIR) / "bmp", folder / "bmp");
    fs::create_directory_symlink(fs::path(ZQ_RUN_DIR) / "wav", folder / "wav");
    fs::current_path(folder);
    Platform::UseHeadless();
    SilentWaves waves;
    Platform::SetWavePlayer(&waves);
    // The constructor counts too: it loads the lists stored with the window.
    for (auto _ : state) {
        LastFrameTime = 0;
        auto form = std::make_unique<TForm1>(nullptr);
        form->FormCreate(form.get());
        bool done = false;
        form->RunFrame(nullptr, done);
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
    Platform::SetWavePlayer(nullptr);
    fs::current_path(old);
    fs::remove_all(folder);
}
BENCHMARK(StartUpToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);
}  // namespace

BENCHMARK_MAIN();

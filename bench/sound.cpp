// sndPlaySound must return at once: the cost of one request on game-sized waves, repeated (the
// decoded wave is cached) and for new content each time (decoded and converted in the call).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/audio/sound.h"

namespace {
// An 8-bit mono 22050 Hz wave of exactly bytes bytes, like the game's effects.
std::vector<std::uint8_t> GameWave(std::size_t bytes, double pitch)
{
    std::vector<std::uint8_t> w(bytes + 1, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) w[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    std::memcpy(&w[0], "RIFF", 4);
    put(4, static_cast<std::uint32_t>(bytes - 8), 4);
    std::memcpy(&w[8], "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, 1, 2);
    put(22, 1, 2);
    put(24, 22050, 4);
    put(28, 22050, 4);
    put(32, 1, 2);
    put(34, 8, 2);
    std::memcpy(&w[36], "data", 4);
    put(40, static_cast<std::uint32_t>(bytes - 44), 4);
    for (std::size_t i = 44; i < bytes; ++i)
        w[i] = static_cast<std::uint8_t>(128 + 100 * std::sin(static_cast<double>(i) * pitch) * (1.0 - static_cast<double>(i) / bytes));
    return w;
}

struct Effects {
    Effects()
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);  // a device that runs its callback without a sound card
        const std::size_t sizes[] = {11144, 37104, 52268, 21048};
        for (int i = 0; i < 4; ++i) {
            Waves.push_back(GameWave(sizes[i], 0.05 * (i + 1)));
            Platform::SetSoundBufferSize(Waves.back().data(), Waves.back().size());
        }
    }
    std::vector<std::vector<std::uint8_t>> Waves;
};

Effects& Game()
{
    static Effects effects;
    return effects;
}

void BM_RepeatedEffect(benchmark::State& state)
{
    Effects& game = Game();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(sndPlaySound(game.Waves[i++ % 4].data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY));
}
BENCHMARK(BM_RepeatedEffect)->Unit(benchmark::kMicrosecond);

void BM_NewEffectContent(benchmark::State& state)
{
    std::vector<std::uint8_t> wave = GameWave(52268, 0.07);
    Platform::SetSoundBufferSize(wave.data(), wave.size());
    Game();
    std::uint8_t n = 0;
    for (auto _ : state) {
        wave[100] = ++n;  // same buffer, new content: decoded again
        benchmark::DoNotOptimize(sndPlaySound(wave.data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY));
    }
    Platform::SetSoundBufferSize(wave.data(), 0);
}
BENCHMARK(BM_NewEffectContent)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();

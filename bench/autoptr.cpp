// Costs of the library support on the game's path: copying a counted pointer whose address is
// already listed, and a guarded call while diagnostics are off (the program's normal state).
#include <benchmark/benchmark.h>

#include <vector>

#include "library/debug/vtdebug.h"
#include "library/support/vtautoptr.h"

using VantrelSystem::TVantrelAutoPtr;

namespace {

struct Song {
    int Tracks = 16;
};

void CopyListedPointer(benchmark::State& state) {
    // A table with other entries, as a registry of songs would have.
    std::vector<TVantrelAutoPtr<Song>> others;
    for (int i = 0; i < 64; ++i) others.emplace_back(new Song);
    TVantrelAutoPtr<Song> held(new Song);
    for (auto _ : state) {
        TVantrelAutoPtr<Song> copy(held);
        benchmark::DoNotOptimize(copy.Get());
    }
}
BENCHMARK(CopyListedPointer);

[[gnu::noinline]] int GuardedOperation(int value) {
    return VantrelSystem::VantrelGuard("Bench::GuardedOperation", [&] { return value + 1; });
}

[[gnu::noinline]] int PlainOperation(int value) { return value + 1; }

void GuardedCallDiagnosticsOff(benchmark::State& state) {
    int value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(value = GuardedOperation(value));
}
BENCHMARK(GuardedCallDiagnosticsOff);

void UnguardedCall(benchmark::State& state) {
    int value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(value = PlainOperation(value));
}
BENCHMARK(UnguardedCall);

}  // namespace

BENCHMARK_MAIN();

// Cycles one profiled scope adds to the operation it measures (Start and End with their
// bookkeeping), read from the same time-stamp counter the profiler uses.
#include <benchmark/benchmark.h>

#include <sstream>

#include "library/debug/vtdebug.h"

using namespace VantrelSystem;

namespace {

constexpr int Batch = 1000;

// Cycles of Batch back-to-back counter readings around an empty body or a profiled one.
template <bool Profiled>
void ScopeCycles(benchmark::State& state) {
    std::ostringstream sink;
    TVantrelProfiler profiler(&sink);
    double cycles = 0;
    for (auto _ : state) {
        const std::uint64_t begin = ReadCycleCounter();
        for (int i = 0; i < Batch; ++i) {
            if constexpr (Profiled) {
                TVantrelFunctionProfile scope(&profiler, "Bench::Scope");
                benchmark::ClobberMemory();
            } else {
                benchmark::ClobberMemory();
            }
        }
        cycles += double(ReadCycleCounter() - begin) / Batch;
    }
    state.counters["cycles/scope"] = cycles / double(state.iterations());
}
BENCHMARK(ScopeCycles<false>)->Name("EmptyBody");
BENCHMARK(ScopeCycles<true>)->Name("ProfiledScope");

}  // namespace

BENCHMARK_MAIN();

// Loading a large format-1 song: throughput of the loader and the memory a loaded song holds.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "library/midi/vtmidi_data.h"
#include "tests/midi/smf_builder.h"

namespace {
std::atomic<long long> LiveBytes{0};
std::atomic<long long> PeakBytes{0};

void Count(void* p)
{
    long long now = LiveBytes += static_cast<long long>(malloc_usable_size(p));
    long long peak = PeakBytes.load();
    while (now > peak && !PeakBytes.compare_exchange_weak(peak, now)) {
    }
}
}  // namespace

[[gnu::noinline]] void* operator new(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    Count(p);
    return p;
}
[[gnu::noinline]] void operator delete(void* p) noexcept
{
    if (!p) return;
    LiveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
// The song's node pool asks for aligned blocks.
[[gnu::noinline]] void* operator new(std::size_t size, std::align_val_t align)
{
    const std::size_t a = static_cast<std::size_t>(align);
    void* p = std::aligned_alloc(a, (size + a - 1) / a * a);
    if (!p) throw std::bad_alloc();
    Count(p);
    return p;
}
[[gnu::noinline]] void operator delete(void* p, std::align_val_t) noexcept { operator delete(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t, std::align_val_t) noexcept { operator delete(p); }

namespace {

using namespace SmfBuilder;

constexpr int Tracks = 16;
constexpr int EventsPerTrack = 18750;  // 300,000 channel messages in all

// Notes, controllers and program changes as a sequencer would write them: running status
// where it applies, deltas of one and two bytes.
Bytes MakeSong()
{
    Bytes file = Header(1, static_cast<std::uint16_t>(Tracks), 480);
    for (int t = 0; t < Tracks; ++t) {
        Track track;
        track.Text(0, 0x03, "Track " + std::to_string(t)).Tempo(0, 500000);
        const std::uint8_t channel = static_cast<std::uint8_t>(t);
        for (int i = 0; i < EventsPerTrack; ++i) {
            const std::uint32_t delta = (i % 7 == 0) ? 200 : (i % 3);
            const std::uint8_t note = static_cast<std::uint8_t>(36 + (i * 5 + t) % 60);
            if (i % 64 == 0) track.Event(delta, {static_cast<std::uint8_t>(0xB0 | channel), 7, 100});
            else if (i % 64 == 1) track.Event(delta, {static_cast<std::uint8_t>(0x90 | channel), note, 90});
            else track.Event(delta, {note, static_cast<std::uint8_t>(i % 2 ? 0 : 80)});
        }
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        track.End();
        Append(file, BigEndian(static_cast<std::uint32_t>(track.Data().size()), 4));
        Append(file, track.Data());
    }
    return file;
}

const Bytes& Song()
{
    static const Bytes song = MakeSong();
    return song;
}

void BM_LoadFromMemory(benchmark::State& state)
{
    const Bytes& song = Song();
    std::size_t events = 0;
    long long held = 0, peak = 0;
    for (auto _ : state) {
        const long long before = LiveBytes.load();
        PeakBytes = before;
        auto* data = new VantrelMidiSystem::TVantrelMidiData;
        data->LoadFromMemory(song.data(), song.size(), "bench.mid");
        held = LiveBytes.load() - before;
        peak = PeakBytes.load() - before;
        events = data->ShortMessages.size() + data->MetaEvents.size();
        state.PauseTiming();
        delete data;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * song.size()));
    state.counters["file_bytes"] = static_cast<double>(song.size());
    state.counters["events"] = static_cast<double>(events);
    state.counters["held_bytes_per_event"] = static_cast<double>(held) / static_cast<double>(events);
    state.counters["peak_bytes_per_event"] = static_cast<double>(peak) / static_cast<double>(events);
}
BENCHMARK(BM_LoadFromMemory)->Unit(benchmark::kMillisecond);

void BM_LoadFile(benchmark::State& state)
{
    TempFile file(Song());
    for (auto _ : state) {
        auto* data = new VantrelMidiSystem::TVantrelMidiData;
        data->LoadFile(file.Path());
        state.PauseTiming();
        delete data;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Song().size()));
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

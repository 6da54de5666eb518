// Playback timing: how late the real playback thread sends a song's events, whether the
// sequencer's clock drifts over a long run, what a cycle costs and what the idle thread uses.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "library/midi/vtmidi.h"
#include "platform/audio/midiout.h"
#include "platform/core/clock.h"

using namespace VantrelMidiSystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put(Bytes& out, std::uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutDelta(Bytes& out, std::uint32_t value)
{
    Bytes v{static_cast<std::uint8_t>(value & 0x7F)};
    while (value >>= 7) v.insert(v.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    out.insert(out.end(), v.begin(), v.end());
}

// A format-0 song at 480 ticks per quarter and the default tempo: a note-on every step ticks
// on rotating channels, until the given tick.
Bytes Song(std::uint32_t step, std::uint32_t length)
{
    Bytes track;
    for (std::uint32_t tick = 0; tick < length; tick += step) {
        PutDelta(track, tick == 0 ? 0 : step);
        const auto channel = static_cast<std::uint8_t>((tick / step) % 16);
        track.insert(track.end(), {static_cast<std::uint8_t>(0x90 | channel), 60, 100});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes file{'M', 'T', 'h', 'd'};
    Put(file, 6, 4);
    Put(file, 0, 2);
    Put(file, 1, 2);
    Put(file, 480, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    Put(file, static_cast<std::uint32_t>(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

// Writes the song to a temporary file and registers it as "01".
void Register(TVantrelMidi& midi, const Bytes& song)
{
    const auto path = std::filesystem::temp_directory_path() / "zq-bench-midi-timing.mid";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(song.data()),
                                                static_cast<std::streamsize>(song.size()));
    midi.CreateData("01", path.string());
    std::filesystem::remove(path);
}

// A port that takes every message and keeps none, for runs of millions of cycles.
class SinkDevice : public Platform::MidiOutDevice {
public:
    bool Open() override { return true; }
    void Close() override {}
    void ShortMsg(DWORD) override {}
    MMRESULT LongMsg(const std::uint8_t*, std::size_t) override { return MMSYSERR_NOERROR; }
    void Reset() override {}
};

// A component with no playback thread, cycled by hand on a manual clock into a sink. Without
// the thread nobody would answer Stop, so a 1 ms fade ends a song still playing at the end.
struct ManualRig {
    ManualRig()
    {
        Platform::SetClockSource(&Clock);
        TVantrelMidiPlayThread::SetManualCycles(true);
        Platform::SetMidiOutDevice(std::make_shared<SinkDevice>());
        Midi = std::make_unique<TVantrelMidi>(nullptr);
        Midi->Init();
    }
    ~ManualRig()
    {
        Midi->SetFadeOut(1);
        Cycle(10);
        Midi.reset();
        TVantrelMidiPlayThread::SetManualCycles(false);
        Platform::SetMidiOutDevice(nullptr);
        Platform::SetClockSource(nullptr);
    }
    void Cycle(DWORD ms)
    {
        Clock.Advance(ms);
        Midi->PlayThread()->Cycle();
    }
    Platform::ManualClock Clock{0};
    std::unique_ptr<TVantrelMidi> Midi;
};

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t at = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

// A 60-second song played by the real thread: each note-on's send time against its ideal time
// (tick x 500 / 480 ms after Play's reset message).
void BM_EventLateness(benchmark::State& state)
{
    const std::uint32_t step = 48;  // 50 ms
    const std::uint32_t length = 60 * 960;
    for (auto _ : state) {
        auto device = std::make_shared<Platform::CaptureMidiDevice>();
        Platform::SetMidiOutDevice(device);
        std::vector<double> lateness;
        {
            TVantrelMidi midi(nullptr);
            midi.Init();
            Register(midi, Song(step, length));
            midi.Play("01", false);
            while (midi.Playing()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const auto entries = device->Entries();
            DWORD start = 0;
            size_t note = 0;
            for (const auto& e : entries) {
                if (e.What == Platform::CaptureMidiDevice::Entry::Kind::Long && start == 0) start = e.Time;
                if (e.What != Platform::CaptureMidiDevice::Entry::Kind::Short) continue;
                const double ideal = static_cast<double>(note++ * step) * 500.0 / 480.0;
                lateness.push_back(static_cast<double>(static_cast<std::int32_t>(e.Time - start)) - ideal);
            }
        }
        Platform::SetMidiOutDevice(nullptr);
        state.counters["events"] = static_cast<double>(lateness.size());
        state.counters["late_min_ms"] = Percentile(lateness, 0.0);
        state.counters["late_p50_ms"] = Percentile(lateness, 0.5);
        state.counters["late_p99_ms"] = Percentile(lateness, 0.99);
        state.counters["late_max_ms"] = Percentile(lateness, 1.0);
    }
}
BENCHMARK(BM_EventLateness)->Iterations(1)->Unit(benchmark::kSecond);

// Ten simulated minutes of cycles of uneven length on a manual clock: the song position
// against the ideal 480 ticks per 500 ms.
void BM_DriftTenMinutes(benchmark::State& state)
{
    for (auto _ : state) {
        ManualRig rig;
        Register(*rig.Midi, Song(100000, 2000000));
        rig.Midi->Play("01", false);
        std::uint32_t seed = 12345, total = 0;
        while (total < 600000) {
            seed = seed * 1103515245u + 12345u;
            const DWORD ms = std::min<DWORD>(10 + (seed >> 16) % 7, 600000 - total);  // 10..16 ms
            rig.Cycle(ms);
            total += ms;
        }
        const auto drift = static_cast<std::int64_t>(rig.Midi->GetDeltaTime()) - 576000;
        state.counters["drift_ticks"] = static_cast<double>(drift);
    }
}
BENCHMARK(BM_DriftTenMinutes)->Iterations(1)->Unit(benchmark::kMillisecond);

// The cost of one sequencer cycle of 10 ms in a song with a note every 12 ticks (plus the queue).
void BM_SequencerCycle(benchmark::State& state)
{
    ManualRig rig;
    Register(*rig.Midi, Song(12, 1 << 20));
    rig.Midi->Play("01", true);
    for (auto _ : state) rig.Cycle(10);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SequencerCycle);

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU used by the playback thread of a component that plays nothing, over 5 s of wall time
// while the main thread sleeps.
void BM_IdleThreadCpu(benchmark::State& state)
{
    for (auto _ : state) {
        TVantrelMidi midi(nullptr);
        const double before = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const double cpu = ProcessCpuSeconds() - before;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        state.counters["idle_cpu_percent"] = 100.0 * cpu / wall;
    }
}
BENCHMARK(BM_IdleThreadCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();

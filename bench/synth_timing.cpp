// Musical timing of the embedded synthesizer: 200 short hi-hat hits sent at irregular real times
// while a paced output pulls blocks like a sound card; each onset is found in the rendered audio.
// Every hit should sound a fixed time after it was sent: the spread of (onset - send) is the
// figure, and it should stay within 1 ms (a block-snapped synthesizer spreads over a whole block).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "platform/audio/midiout.h"
#include "platform/audio/mixer.h"
#include "platform/audio/synth_engine.h"
#include "platform/core/threads.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kHits = 200;
constexpr int kHiHat = 42;  // closed hi-hat: short, with a sharp attack
constexpr float kThreshold = 1e-3f;
constexpr DWORD kHit = 0x99 | kHiHat << 8 | 120 << 16;
constexpr DWORD kAllSoundOff = 0xB9 | 120 << 8;  // ends the hit: silence before the next onset

// A sound card on the steady clock: block k is pulled at start + k block lengths, and frame f
// of the recording sounds at start + f / rate plus the card's constant delay.
class PacedOutput : public Platform::AudioOutput {
public:
    bool Start(int& blockFrames) override
    {
        blockFrames = Platform::kAudioBlockFrames;
        FRecording.reserve(static_cast<std::size_t>(Platform::kAudioRate) * 60 * Platform::kAudioChannels);
        FRunning = true;
        FThread = std::thread([this] { Run(); });
        return true;
    }
    void Stop() override
    {
        FRunning = false;
        if (FThread.joinable()) FThread.join();
    }
    std::vector<float> FRecording;
    Clock::time_point FStart;

private:
    void Run()
    {
        SetCurrentThreadPriority(tpTimeCritical);
        float block[Platform::kAudioBlockFrames * Platform::kAudioChannels];
        FStart = Clock::now();
        const auto period = std::chrono::nanoseconds(1000000000LL * Platform::kAudioBlockFrames / Platform::kAudioRate);
        for (long k = 0; FRunning; ++k) {
            std::this_thread::sleep_until(FStart + k * period);
            Platform::MixAudio(block, Platform::kAudioBlockFrames);
            FRecording.insert(FRecording.end(), std::begin(block), std::end(block));
        }
    }
    std::atomic<bool> FRunning{false};
    std::thread FThread;
};

double SecondsSince(Clock::time_point start, Clock::time_point t) { return std::chrono::duration<double>(t - start).count(); }

void BM_OnsetSpread(benchmark::State& state)
{
    for (auto _ : state) {
        PacedOutput output;
        Platform::SetAudioOutput(&output);
        Platform::SetSynthEffectsEnabled(false);  // no reverb tail over the next onset
        Platform::SetMidiOutDevice(nullptr);
        HMIDIOUT port = nullptr;
        if (midiOutOpen(&port, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            state.SkipWithError("no synthesizer");
            return;
        }
        std::mt19937 random(12345);
        std::uniform_int_distribution<int> gap(60000, 160000);  // microseconds between hits
        const auto cut = std::chrono::milliseconds(30);
        std::vector<Clock::time_point> sent;
        auto next = Clock::now() + std::chrono::milliseconds(100);
        for (int i = 0; i < kHits; ++i) {
            std::this_thread::sleep_until(next);
            sent.push_back(Clock::now());
            midiOutShortMsg(port, kHit);
            std::this_thread::sleep_until(next + cut);
            midiOutShortMsg(port, kAllSoundOff);
            next += std::chrono::microseconds(gap(random));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        midiOutClose(port);
        Platform::SetAudioOutput(nullptr);
        Platform::SetSynthEffectsEnabled(true);

        // Each onset: the first frame over the threshold from 3 ms before the expected moment,
        // after a quiet stretch (every hit is the same sound, so the crossing is the same point
        // of it each time).
        const std::vector<float>& rec = output.FRecording;
        const long frames = static_cast<long>(rec.size() / 2);
        const double latency = static_cast<double>(Platform::AudioLatencyNs()) / 1e9;
        auto loud = [&](long f) { return std::fabs(rec[2 * f]) >= kThreshold || std::fabs(rec[2 * f + 1]) >= kThreshold; };
        std::vector<double> lag;
        for (const Clock::time_point& s : sent) {
            long f = static_cast<long>((SecondsSince(output.FStart, s) + latency - 0.003) * Platform::kAudioRate);
            const long limit = f + Platform::kAudioRate / 50;
            if (f < 0 || limit >= frames || loud(f)) continue;
            while (f < limit && !loud(f)) ++f;
            if (f < limit) lag.push_back(static_cast<double>(f) / Platform::kAudioRate - SecondsSince(output.FStart, s));
        }
        const auto [lo, hi] = std::minmax_element(lag.begin(), lag.end());
        double mean = 0.0;
        for (double l : lag) mean += l;
        mean /= static_cast<double>(lag.size());
        state.counters["hits_found"] = static_cast<double>(lag.size());
        state.counters["lag_mean_ms"] = mean * 1e3;
        state.counters["lag_min_ms"] = *lo * 1e3;
        state.counters["lag_max_ms"] = *hi * 1e3;
        state.counters["spread_ms"] = (*hi - *lo) * 1e3;
        state.counters["latency_ms"] = static_cast<double>(Platform::AudioLatencyNs()) / 1e6;
    }
}
BENCHMARK(BM_OnsetSpread)->Iterations(1)->Unit(benchmark::kSecond);
}  // namespace

BENCHMARK_MAIN();

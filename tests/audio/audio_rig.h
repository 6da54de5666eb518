// Offline audio for tests: a fake clock and an output that the test pulls block by block, so
// what the device callback would render can be read back sample by sample.
#pragma once
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/audio/mixer.h"

namespace AudioTest {
class FakeClock : public Platform::AudioClock {
public:
    std::int64_t NowNs() override { return FNow.load(); }
    void Set(std::int64_t ns) { FNow.store(ns); }
private:
    std::atomic<std::int64_t> FNow{0};
};

inline std::int64_t FramesToNs(std::int64_t frames) { return frames * 1000000000 / Platform::kAudioRate; }
inline std::int64_t MsToNs(double ms) { return static_cast<std::int64_t>(ms * 1e6); }

// Installs itself as the clock and the output; the stream starts at StartNs. Every pull sets
// the clock to the moment a steady device would ask for that block.
class OfflineRig {
public:
    static constexpr std::int64_t StartNs = 1000000000;
    static constexpr int Block = Platform::kAudioBlockFrames;

    OfflineRig()
    {
        FClock.Set(StartNs);
        Platform::SetAudioClock(&FClock);
        Platform::SetAudioOutput(&FOutput);
    }
    ~OfflineRig()
    {
        Platform::SetAudioOutput(nullptr);
        Platform::SetAudioClock(nullptr);
    }

    // Renders frames in device blocks and appends them to Out (interleaved stereo).
    void Render(std::int64_t frames)
    {
        float block[Block * Platform::kAudioChannels];
        for (std::int64_t done = 0; done < frames; done += Block) {
            FClock.Set(StartNs + FramesToNs(Rendered()));
            Platform::MixAudio(block, Block);
            Out.insert(Out.end(), block, block + Block * Platform::kAudioChannels);
        }
    }
    void RenderMs(double ms) { Render(static_cast<std::int64_t>(ms * Platform::kAudioRate / 1000.0)); }
    // Sets the clock for what is sent next: ns after the stream's start.
    void At(std::int64_t ns) { FClock.Set(StartNs + ns); }
    std::int64_t Rendered() const { return static_cast<std::int64_t>(Out.size()) / Platform::kAudioChannels; }

    // The frame a message stamped ns after the start is meant to sound at.
    static std::int64_t ExpectedFrame(std::int64_t ns)
    {
        const double seconds = static_cast<double>(ns + Platform::AudioLatencyNs()) / 1e9;
        return std::llround(seconds * Platform::kAudioRate);
    }

    // The first frame from `from` on whose level passes threshold, or -1.
    std::int64_t Onset(std::int64_t from = 0, float threshold = 1e-4f) const
    {
        for (std::int64_t i = from; i < Rendered(); ++i)
            if (std::fabs(Out[2 * i]) > threshold || std::fabs(Out[2 * i + 1]) > threshold) return i;
        return -1;
    }
    // Mean absolute level of one channel (0 left, 1 right, -1 both) over [from, to).
    double Level(std::int64_t from, std::int64_t to, int channel = -1) const
    {
        double sum = 0.0;
        for (std::int64_t i = from; i < to && i < Rendered(); ++i) {
            if (channel != 1) sum += std::fabs(Out[2 * i]);
            if (channel != 0) sum += std::fabs(Out[2 * i + 1]);
        }
        return to > from ? sum / static_cast<double>(to - from) : 0.0;
    }

    std::vector<float> Out;

private:
    FakeClock FClock;
    Platform::OfflineAudioOutput FOutput;
};

// A RIFF wave: PCM of the given shape, frames produced by sample(frame, channel) in -1..1.
template <class F>
std::vector<std::uint8_t> MakeWave(int rate, int channels, int bits, int frames, F sample)
{
    std::vector<std::uint8_t> data;
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) {
            const double v = sample(f, c);
            if (bits == 8) {
                data.push_back(static_cast<std::uint8_t>(std::lround(128 + v * 127)));
            } else {
                const auto s = static_cast<std::int16_t>(std::lround(v * 32767));
                data.push_back(static_cast<std::uint8_t>(s & 0xFF));
                data.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
            }
        }
    std::vector<std::uint8_t> w(44 + data.size());
    auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) w[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    std::memcpy(&w[0], "RIFF", 4);
    put(4, static_cast<std::uint32_t>(36 + data.size()), 4);
    std::memcpy(&w[8], "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, 1, 2);  // PCM
    put(22, static_cast<std::uint32_t>(channels), 2);
    put(24, static_cast<std::uint32_t>(rate), 4);
    put(28, static_cast<std::uint32_t>(rate * channels * bits / 8), 4);
    put(32, static_cast<std::uint32_t>(channels * bits / 8), 2);
    put(34, static_cast<std::uint32_t>(bits), 2);
    std::memcpy(&w[36], "data", 4);
    put(40, static_cast<std::uint32_t>(data.size()), 4);
    if (!data.empty()) std::memcpy(&w[44], data.data(), data.size());
    return w;
}

// A constant level: easy to tell two effects apart in the mix.
inline std::vector<std::uint8_t> LevelWave(double level, int frames)
{
    return MakeWave(Platform::kAudioRate, 2, 16, frames, [level](int, int) { return level; });
}
}  // namespace AudioTest

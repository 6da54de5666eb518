#include "platform/audio/mixer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>

namespace {
using Platform::AudioSource;
using Platform::DeviceWave;

std::atomic<Platform::AudioClock*> gClock{nullptr};

constexpr std::int64_t kNsPerSecond = 1000000000;
constexpr std::int64_t kLatencyMarginNs = 1500000;  // scheduling jitter of the device thread
constexpr int kCutFadeFrames = 64;                  // a cut-off effect ramps down instead of clicking

// Stream frames to nanoseconds without overflowing on long runs.
std::int64_t FramesToNs(std::int64_t frames)
{
    return frames / Platform::kAudioRate * kNsPerSecond + frames % Platform::kAudioRate * kNsPerSecond / Platform::kAudioRate;
}

struct Voice {
    std::shared_ptr<const DeviceWave> Wave;
    std::size_t Position = 0;

    // Adds up to frames of the wave, scaled from gain0 towards gain1; false once it has ended.
    bool Mix(float* out, int frames, float gain0, float gain1)
    {
        if (!Wave) return false;
        const std::size_t left = Wave->Frames() - std::min(Position, Wave->Frames());
        const int n = static_cast<int>(std::min<std::size_t>(left, static_cast<std::size_t>(frames)));
        const float* src = Wave->Samples.data() + Position * Platform::kAudioChannels;
        for (int i = 0; i < n; ++i) {
            const float g = gain0 + (gain1 - gain0) * static_cast<float>(i) / static_cast<float>(frames);
            out[2 * i] += src[2 * i] * g;
            out[2 * i + 1] += src[2 * i + 1] * g;
        }
        Position += static_cast<std::size_t>(n);
        return n == frames;
    }
};

class Mixer {
public:
    ~Mixer() { StopOutput(); }

    void Install(Platform::AudioOutput* output)
    {
        std::lock_guard<std::mutex> lock(FOutputLock);
        StopRunning();
        ResetStream();
        FInstalled = output;
        FTried = false;
    }

    bool Ensure()
    {
        std::lock_guard<std::mutex> lock(FOutputLock);
        if (FTried) return FRunning != nullptr;
        FTried = true;
        Platform::AudioOutput* output = FInstalled ? FInstalled : &Platform::SdlAudioOutput();
        ResetStream();
        int block = Platform::kAudioBlockFrames;
        if (!output->Start(block)) return false;
        FLatencyNs.store(FramesToNs(std::max(block, 1)) + kLatencyMarginNs);
        FRunning = output;
        return true;
    }

    void StopOutput()
    {
        std::lock_guard<std::mutex> lock(FOutputLock);
        StopRunning();
    }

    void Play(std::shared_ptr<const DeviceWave> wave)
    {
        std::lock_guard<std::mutex> lock(FVoiceLock);
        FPending = std::move(wave);
        FHasPending = true;
    }

    void Attach(AudioSource* source)
    {
        std::lock_guard<std::mutex> lock(FSourceLock);
        if (std::find(FSources.begin(), FSources.end(), source) == FSources.end()) FSources.push_back(source);
    }

    void Detach(AudioSource* source)
    {
        std::lock_guard<std::mutex> lock(FSourceLock);
        FSources.erase(std::remove(FSources.begin(), FSources.end(), source), FSources.end());
    }

    std::int64_t LatencyNs() const { return FLatencyNs.load(); }

    void Mix(float* out, int frames)
    {
        std::fill(out, out + static_cast<std::ptrdiff_t>(frames) * Platform::kAudioChannels, 0.0f);
        const Platform::BlockTiming timing = PlaceBlock();
        MixEffect(out, frames);
        {
            std::lock_guard<std::mutex> lock(FSourceLock);
            for (AudioSource* s : FSources) s->Render(out, frames, timing);
        }
        for (int i = 0; i < frames * Platform::kAudioChannels; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
        FFrame += frames;
    }

private:
    void StopRunning()
    {
        if (FRunning) FRunning->Stop();
        FRunning = nullptr;
    }

    void ResetStream()
    {
        FFrame = 0;
        FBaseSet = false;
        std::lock_guard<std::mutex> lock(FVoiceLock);
        FVoice = {};
        FPending.reset();
        FHasPending = false;
    }

    // The device pulls a block some fixed time before it sounds; the earliest pull seen says
    // best where the stream stands, later ones are only late. The base creeps up slowly so a
    // device clock that runs a little slow is still followed.
    Platform::BlockTiming PlaceBlock()
    {
        const std::int64_t now = Platform::AudioNowNs();
        const std::int64_t estimate = now - FramesToNs(FFrame);
        if (!FBaseSet || estimate < FBase) {
            FBase = estimate;
            FBaseSet = true;
        } else {
            FBase += (estimate - FBase) / 64;
        }
        return {FFrame, FBase + FramesToNs(FFrame), FLatencyNs.load()};
    }

    void MixEffect(float* out, int frames)
    {
        Voice cut;
        {
            std::lock_guard<std::mutex> lock(FVoiceLock);
            if (FHasPending) {
                cut = std::move(FVoice);
                FVoice = Voice{std::move(FPending), 0};
                FHasPending = false;
            }
        }
        cut.Mix(out, std::min(frames, kCutFadeFrames), 1.0f, 0.0f);
        if (!FVoice.Mix(out, frames, 1.0f, 1.0f)) FVoice = {};
    }

    std::mutex FOutputLock;
    Platform::AudioOutput* FInstalled = nullptr;
    Platform::AudioOutput* FRunning = nullptr;
    bool FTried = false;
    std::atomic<std::int64_t> FLatencyNs{0};

    std::mutex FVoiceLock;
    std::shared_ptr<const DeviceWave> FPending;
    bool FHasPending = false;
    Voice FVoice;  // the device thread's own

    std::mutex FSourceLock;
    std::vector<AudioSource*> FSources;

    std::int64_t FFrame = 0;
    std::int64_t FBase = 0;
    bool FBaseSet = false;
};

Mixer& TheMixer()
{
    static Mixer mixer;
    return mixer;
}
}  // namespace

namespace Platform {
void SetAudioClock(AudioClock* clock) { gClock.store(clock, std::memory_order_release); }

std::int64_t AudioNowNs()
{
    AudioClock* c = gClock.load(std::memory_order_acquire);
    if (c) return c->NowNs();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool OfflineAudioOutput::Start(int& blockFrames)
{
    blockFrames = FBlockFrames;
    return true;
}

void SetAudioOutput(AudioOutput* output) { TheMixer().Install(output); }
bool EnsureAudioOutput() { return TheMixer().Ensure(); }
void MixAudio(float* out, int frames) { TheMixer().Mix(out, frames); }
void PlayEffect(std::shared_ptr<const DeviceWave> wave) { TheMixer().Play(std::move(wave)); }
void AttachAudioSource(AudioSource* source) { TheMixer().Attach(source); }
void DetachAudioSource(AudioSource* source) { TheMixer().Detach(source); }
std::int64_t AudioLatencyNs() { return TheMixer().LatencyNs(); }

std::int64_t BlockTiming::FrameAt(std::int64_t ns, int scale) const
{
    const double delta = static_cast<double>(ns + LatencyNs - FirstTimeNs);
    return FirstFrame * scale + std::llround(delta * kAudioRate * scale / kNsPerSecond);
}
}  // namespace Platform

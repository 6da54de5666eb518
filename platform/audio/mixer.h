// The one audio output of the process: 44100 Hz stereo float, shared by the sound-effect voice and
// the embedded synthesizer and mixed block by block. The output behind it (the SDL device by
// default) and the high-resolution clock are replaceable, so tests can pull blocks themselves.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Platform {
constexpr int kAudioRate = 44100;
constexpr int kAudioChannels = 2;
constexpr int kAudioBlockFrames = 256;  // asked of the device; about 5.8 ms

// Monotonic time in nanoseconds; messages are stamped with it and blocks are placed on it.
struct AudioClock {
    virtual ~AudioClock() = default;
    virtual std::int64_t NowNs() = 0;
};
void SetAudioClock(AudioClock* clock);  // null restores the steady clock
std::int64_t AudioNowNs();

// Where the mixed stream goes. Start begins pulling MixAudio from a thread of its own and tells
// the frames per pull; false means no output (everything stays silent).
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    virtual bool Start(int& blockFrames) = 0;
    virtual void Stop() = 0;
};
// Installs the output the next start uses; stops the running one and starts a new stream.
// Null restores the SDL device.
void SetAudioOutput(AudioOutput* output);
AudioOutput& SdlAudioOutput();

// An output that never pulls by itself: the caller renders with MixAudio (tests, benchmarks).
class OfflineAudioOutput : public AudioOutput {
public:
    explicit OfflineAudioOutput(int blockFrames = kAudioBlockFrames) : FBlockFrames(blockFrames) {}
    bool Start(int& blockFrames) override;
    void Stop() override {}
private:
    int FBlockFrames;
};

// Starts the output on first use; true while one is running.
bool EnsureAudioOutput();
// Renders the next frames of interleaved stereo into out, as the device callback does, placing
// them at the clock's present time.
void MixAudio(float* out, int frames);

// A wave in the device format, ready for the effect voice.
struct DeviceWave {
    std::vector<float> Samples;  // interleaved stereo
    std::size_t Frames() const { return Samples.size() / kAudioChannels; }
};
// Starts a wave on the effect voice at the next block, cutting off the one sounding; null stops it.
void PlayEffect(std::shared_ptr<const DeviceWave> wave);

// Maps stamped times to frames of the stream for one block.
struct BlockTiming {
    std::int64_t FirstFrame;   // stream position of the block's first frame
    std::int64_t FirstTimeNs;  // the time that frame is taken to sound, before latency
    std::int64_t LatencyNs;    // fixed delay between a message's stamp and its sound
    // Stream position (in 1/scale frames) at which a message stamped at ns sounds.
    std::int64_t FrameAt(std::int64_t ns, int scale = 1) const;
};

// Something mixed into every block after the effect voice; Render adds into out.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual void Render(float* out, int frames, const BlockTiming& timing) = 0;
};
// A source is not rendered once Detach has returned.
void AttachAudioSource(AudioSource* source);
void DetachAudioSource(AudioSource* source);
// The fixed latency of the running output (one device block plus a margin), for timing checks.
std::int64_t AudioLatencyNs();
}  // namespace Platform

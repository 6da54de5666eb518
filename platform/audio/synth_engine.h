// The embedded General MIDI synthesizer: FluidSynth with a soundfont, fed with time-stamped
// messages and rendered as a source of the shared audio output. Messages are queued by the
// sending threads; every FluidSynth call runs on the thread that renders.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/gs_effects.h"
#include "platform/audio/mixer.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace Platform {
struct SynthEvent {
    enum class Kind { Short, Long, Reset };
    std::int64_t TimeNs;  // when it was sent, on the audio clock
    Kind What;
    std::uint32_t Word;               // a short message as packed by midiOutShortMsg
    std::vector<std::uint8_t> Bytes;  // a system-exclusive block, F0 to F7
};

class SynthEngine : public AudioSource {
public:
    // Loads the soundfont; null when it cannot be read.
    static std::unique_ptr<SynthEngine> Create(const std::string& soundFont);
    ~SynthEngine() override;

    // From any thread; dropped when the queue is already full (no output is rendering it).
    void Post(SynthEvent event);
    // Only while no output renders the engine: clears the queue and resets the synthesizer.
    void Restart();
    void Render(float* out, int frames, const BlockTiming& timing) override;

    // FluidSynth renders at twice the output rate: it starts notes only on its 64-frame block
    // grid, and at this rate that grid is 32 output frames (0.73 ms) apart.
    static constexpr int kOversample = 2;
    static constexpr int kGridFrames = 64;           // in synthesizer frames
    static constexpr std::size_t kQueueLimit = 65536;

private:
    SynthEngine() = default;
    void Apply(const SynthEvent& event);
    void ApplyShort(std::uint32_t word);
    void ApplySysEx(const std::vector<std::uint8_t>& bytes);
    void ApplyEffects(int reverbMacro, int chorusMacro);
    void SilenceAll();
    void ResetSynth();
    // Renders frames of synthesizer time into out (interleaved output frames), decimating.
    void RenderSynth(float* out, std::int64_t synthFrames);
    std::int64_t SynthFrameOf(std::int64_t ns, const BlockTiming& timing) const;

    _fluid_hashtable_t* FSettings = nullptr;
    _fluid_synth_t* FSynth = nullptr;

    std::mutex FQueueLock;
    std::vector<SynthEvent> FQueue;  // posted, not yet taken by the renderer

    // The renderer's own.
    std::vector<SynthEvent> FTaken;
    std::vector<SynthEvent> FDue;
    std::int64_t FSynthFrames = 0;      // synthesizer frames rendered so far
    std::int64_t FBlockSynthStart = 0;  // at the start of the block being rendered
    std::vector<float> FWork;           // filter history, then fresh synthesizer frames
    std::uint8_t FRunningStatus = 0;
};
}  // namespace Platform

namespace Platform {
// The soundfonts the embedded synthesizer tries, first found first: the system's default General
// MIDI soundfont, then the Debian ones by name. An empty list restores these; takes effect at
// the next open while no port is open.
std::vector<std::string> DefaultSoundFonts();
void SetSoundFontCandidates(std::vector<std::string> paths);
// Reverb and chorus units on (the default) or off, from the next open on; tests that measure the
// notes themselves switch them off so no tail rings on.
void SetSynthEffectsEnabled(bool enabled);
}  // namespace Platform

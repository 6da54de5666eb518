#include "platform/audio/synth_engine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>

namespace {
constexpr int kChannels = 16;
constexpr int kChunkFrames = 1024;  // synthesizer frames per FluidSynth call

// The decimating low-pass: a half-band filter, every second tap zero but the centre one.
constexpr int kTaps = 63;
constexpr int kHistory = kTaps - 1;
constexpr int kFilterDelay = kTaps / 2;  // synthesizer frames a sound comes out late
// Every SoundFont voice waits at least about 1 ms (its shortest envelope delay) before it sounds;
// FluidSynth counts that in blocks, one whole block at this rate.
constexpr int kVoiceDelay = Platform::SynthEngine::kGridFrames;

struct Tap {
    int Offset;
    float Gain;
};
struct TapList {
    std::array<Tap, kTaps> Taps;
    int Count;
};

TapList MakeHalfBand()
{
    TapList taps{};
    double sum = 0.0;
    std::array<double, kTaps> h{};
    for (int k = 0; k < kTaps; ++k) {
        const int m = k - kFilterDelay;
        const double ideal = m == 0 ? 0.5 : std::sin(M_PI * m / 2.0) / (M_PI * m);
        const double window = 0.42 - 0.5 * std::cos(2.0 * M_PI * k / (kTaps - 1)) + 0.08 * std::cos(4.0 * M_PI * k / (kTaps - 1));
        h[k] = ideal * window;
        sum += h[k];
    }
    for (int k = 0; k < kTaps; ++k)
        if (std::fabs(h[k]) > 1e-12) taps.Taps[taps.Count++] = {k, static_cast<float>(h[k] / sum)};
    return taps;
}

const TapList& HalfBand()
{
    static const TapList taps = MakeHalfBand();
    return taps;
}

std::atomic<bool> gEffectsEnabled{true};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

void QuietLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}
}  // namespace

namespace Platform {
void SetSynthEffectsEnabled(bool enabled) { gEffectsEnabled.store(enabled); }

std::unique_ptr<SynthEngine> SynthEngine::Create(const std::string& soundFont)
{
    QuietLog();
    std::unique_ptr<SynthEngine> engine(new SynthEngine);
    engine->FSettings = new_fluid_settings();
    if (!engine->FSettings) return nullptr;
    fluid_settings_setnum(engine->FSettings, "synth.sample-rate", static_cast<double>(kAudioRate * kOversample));
    fluid_settings_setint(engine->FSettings, "synth.threadsafe-api", 0);  // one thread at a time uses it
    fluid_settings_setint(engine->FSettings, "synth.cpu-cores", 1);
    fluid_settings_setint(engine->FSettings, "synth.lock-memory", 0);
    engine->FSynth = new_fluid_synth(engine->FSettings);
    if (!engine->FSynth || fluid_synth_sfload(engine->FSynth, soundFont.c_str(), 1) == FLUID_FAILED) return nullptr;
    engine->FWork.assign(static_cast<std::size_t>(kHistory + kChunkFrames) * kAudioChannels, 0.0f);
    engine->FQueue.reserve(1024);
    engine->FTaken.reserve(1024);
    engine->FDue.reserve(1024);
    engine->Restart();
    return engine;
}

SynthEngine::~SynthEngine()
{
    if (FSynth) delete_fluid_synth(FSynth);
    if (FSettings) delete_fluid_settings(FSettings);
}

void SynthEngine::Post(SynthEvent event)
{
    std::lock_guard<std::mutex> lock(FQueueLock);
    if (FQueue.size() < kQueueLimit) FQueue.push_back(std::move(event));
}

void SynthEngine::Restart()
{
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        FQueue.clear();
    }
    FDue.clear();
    ResetSynth();
    // What FluidSynth rendered ahead to the end of its block, and the filter's history, still
    // hold the sound from before: both are dropped.
    const int ahead = static_cast<int>((kGridFrames - FSynthFrames % kGridFrames) % kGridFrames);
    if (ahead > 0) fluid_synth_write_float(FSynth, ahead, FWork.data(), 0, 2, FWork.data(), 1, 2);
    FSynthFrames += ahead;
    std::fill(FWork.begin(), FWork.end(), 0.0f);
    const int effects = gEffectsEnabled.load() ? 1 : 0;
    fluid_synth_reverb_on(FSynth, -1, effects);
    fluid_synth_chorus_on(FSynth, -1, effects);
}

// A module reset puts channels and effects in their power-on state and cuts every sound;
// FluidSynth's own reset lets the notes ring out, and cuts made before it are undone by it.
void SynthEngine::ResetSynth()
{
    FRunningStatus = 0;
    fluid_synth_system_reset(FSynth);
    SilenceAll();
    ApplyEffects(kGSDefaultReverb, kGSDefaultChorus);
}

// A message sounds at its stamp plus the output's latency. FluidSynth starts it at the next
// boundary of its block grid, so the nearest boundary is taken, early by the filter's and the
// voice's own delay.
std::int64_t SynthEngine::SynthFrameOf(std::int64_t ns, const BlockTiming& timing) const
{
    const std::int64_t target = FBlockSynthStart + timing.FrameAt(ns, kOversample) - timing.FirstFrame * kOversample - kFilterDelay - kVoiceDelay;
    return FloorDiv(target + kGridFrames / 2, kGridFrames) * kGridFrames;
}

void SynthEngine::Render(float* out, int frames, const BlockTiming& timing)
{
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        FTaken.swap(FQueue);
    }
    for (SynthEvent& e : FTaken) FDue.push_back(std::move(e));
    FTaken.clear();
    // Two sending threads may interleave stamps by a hair; call order breaks ties.
    const auto earlier = [](const SynthEvent& a, const SynthEvent& b) { return a.TimeNs < b.TimeNs; };
    if (!std::is_sorted(FDue.begin(), FDue.end(), earlier)) std::stable_sort(FDue.begin(), FDue.end(), earlier);

    FBlockSynthStart = FSynthFrames;
    const std::int64_t end = FSynthFrames + static_cast<std::int64_t>(frames) * kOversample;
    std::size_t applied = 0;
    for (; applied < FDue.size(); ++applied) {
        const std::int64_t at = SynthFrameOf(FDue[applied].TimeNs, timing);
        if (at >= end) break;
        if (at > FSynthFrames) RenderSynth(out, at);
        Apply(FDue[applied]);
    }
    FDue.erase(FDue.begin(), FDue.begin() + static_cast<std::ptrdiff_t>(applied));
    RenderSynth(out, end);
}

void SynthEngine::RenderSynth(float* out, std::int64_t until)
{
    const TapList& taps = HalfBand();
    while (FSynthFrames < until) {
        const int n = static_cast<int>(std::min<std::int64_t>(until - FSynthFrames, kChunkFrames));
        float* work = FWork.data();
        fluid_synth_write_float(FSynth, n, work, kHistory * 2, 2, work, kHistory * 2 + 1, 2);
        float* dst = out + (FSynthFrames - FBlockSynthStart) / kOversample * kAudioChannels;
        for (int j = 0; j < n / kOversample; ++j) {
            float left = 0.0f, right = 0.0f;
            const float* x = work + static_cast<std::ptrdiff_t>(j) * kOversample * 2;
            for (int k = 0; k < taps.Count; ++k) {
                const Tap& t = taps.Taps[k];
                left += t.Gain * x[2 * t.Offset];
                right += t.Gain * x[2 * t.Offset + 1];
            }
            dst[2 * j] += left;
            dst[2 * j + 1] += right;
        }
        std::memmove(work, work + static_cast<std::ptrdiff_t>(n) * 2, sizeof(float) * kHistory * 2);
        FSynthFrames += n;
    }
}

void SynthEngine::Apply(const SynthEvent& event)
{
    switch (event.What) {
    case SynthEvent::Kind::Short: ApplyShort(event.Word); break;
    case SynthEvent::Kind::Long: ApplySysEx(event.Bytes); break;
    case SynthEvent::Kind::Reset: SilenceAll(); break;
    }
}

// The word holds status, data 1, data 2 from the low byte up; a word starting with a data byte
// runs on the last channel status, its two data bytes one place lower.
void SynthEngine::ApplyShort(std::uint32_t word)
{
    std::uint8_t status = word & 0xFF;
    int d1 = (word >> 8) & 0x7F;
    int d2 = (word >> 16) & 0x7F;
    if (status < 0x80) {
        if (!FRunningStatus) return;
        d2 = d1;
        d1 = status;
        status = FRunningStatus;
    }
    if (status >= 0xF0) {
        if (status < 0xF8) FRunningStatus = 0;  // system common ends running status; real time does not
        return;
    }
    FRunningStatus = status;
    const int ch = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(FSynth, ch, d1); break;
    case 0x90: fluid_synth_noteon(FSynth, ch, d1, d2); break;  // velocity 0 is a note-off
    case 0xA0: fluid_synth_key_pressure(FSynth, ch, d1, d2); break;
    case 0xB0: fluid_synth_cc(FSynth, ch, d1, d2); break;
    case 0xC0: fluid_synth_program_change(FSynth, ch, d1); break;
    case 0xD0: fluid_synth_channel_pressure(FSynth, ch, d1); break;
    case 0xE0: fluid_synth_pitch_bend(FSynth, ch, d1 | d2 << 7); break;
    }
}

void SynthEngine::ApplySysEx(const std::vector<std::uint8_t>& bytes)
{
    const SysExMeaning meaning = ClassifySysEx(bytes.data(), bytes.size());
    switch (meaning.What) {
    case SysExMeaning::Kind::GMSystemOn:
    case SysExMeaning::Kind::GSReset: ResetSynth(); break;
    case SysExMeaning::Kind::GSReverb: ApplyEffects(meaning.Macro, -1); break;
    case SysExMeaning::Kind::GSChorus: ApplyEffects(-1, meaning.Macro); break;
    case SysExMeaning::Kind::GSDelay:
    case SysExMeaning::Kind::Dropped: break;
    case SysExMeaning::Kind::Other:
        // FluidSynth takes the block without its F0 and F7 (tuning and its other messages).
        if (bytes.size() >= 3 && bytes.front() == 0xF0 && bytes.back() == 0xF7)
            fluid_synth_sysex(FSynth, reinterpret_cast<const char*>(bytes.data() + 1), static_cast<int>(bytes.size() - 2), nullptr, nullptr, nullptr, 0);
        break;
    }
}

void SynthEngine::ApplyEffects(int reverbMacro, int chorusMacro)
{
    if (reverbMacro >= 0) {
        const ReverbSettings r = GSReverbSettings(reverbMacro);
        fluid_synth_set_reverb_group_roomsize(FSynth, -1, r.RoomSize);
        fluid_synth_set_reverb_group_damp(FSynth, -1, r.Damp);
        fluid_synth_set_reverb_group_width(FSynth, -1, r.Width);
        fluid_synth_set_reverb_group_level(FSynth, -1, r.Level);
    }
    if (chorusMacro >= 0) {
        const ChorusSettings c = GSChorusSettings(chorusMacro);
        fluid_synth_set_chorus_group_nr(FSynth, -1, c.Voices);
        fluid_synth_set_chorus_group_level(FSynth, -1, c.Level);
        fluid_synth_set_chorus_group_speed(FSynth, -1, c.SpeedHz);
        fluid_synth_set_chorus_group_depth(FSynth, -1, c.DepthMs);
        fluid_synth_set_chorus_group_type(FSynth, -1, c.Triangle ? FLUID_CHORUS_MOD_TRIANGLE : FLUID_CHORUS_MOD_SINE);
    }
}

// Every note stops at once, held ones too: the pedals are let go as the notes are cut.
void SynthEngine::SilenceAll()
{
    for (int ch = 0; ch < kChannels; ++ch) {
        fluid_synth_cc(FSynth, ch, 64, 0);
        fluid_synth_all_sounds_off(FSynth, ch);
    }
}
}  // namespace Platform

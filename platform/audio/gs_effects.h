// What the embedded synthesizer makes of a system-exclusive block: the General MIDI and GS
// resets and the GS reverb, chorus and delay macros, with the reverb and chorus settings each
// macro stands for.
#pragma once
#include <cstddef>
#include <cstdint>

namespace Platform {
struct ReverbSettings {
    double RoomSize;  // 0..1
    double Damp;      // 0..1
    double Width;     // 0..100
    double Level;     // 0..1
};
struct ChorusSettings {
    int Voices;       // 0..99
    double Level;     // 0..10
    double SpeedHz;   // 0.1..5
    double DepthMs;   // 0..256
    int Triangle;     // 0 sine, 1 triangle
};

constexpr int kGSReverbMacros = 8;  // Room 1-3, Hall 1-2, Plate, Delay, Panning Delay
constexpr int kGSChorusMacros = 8;  // Chorus 1-4, Feedback Chorus, Flanger, Short Delay, Short Delay (FB)
constexpr int kGSDelayMacros = 10;
constexpr int kGSDefaultReverb = 4;  // Hall 2, what a GS reset selects
constexpr int kGSDefaultChorus = 2;  // Chorus 3

ReverbSettings GSReverbSettings(int macro);  // macro within 0..kGSReverbMacros-1
ChorusSettings GSChorusSettings(int macro);  // macro within 0..kGSChorusMacros-1

struct SysExMeaning {
    enum class Kind {
        Other,       // not one of ours: handed to the synthesizer as it is
        Dropped,     // a GS data set with a wrong checksum or a macro out of range: ignored, as a module does
        GMSystemOn,
        GSReset,
        GSReverb,
        GSChorus,
        GSDelay,     // accepted; the synthesizer has no delay unit
    };
    Kind What;
    int Macro;  // for the three macro kinds
};
// data holds the whole block, F0 to F7.
SysExMeaning ClassifySysEx(const std::uint8_t* data, std::size_t size);
}  // namespace Platform

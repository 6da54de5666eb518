#include "platform/audio/gs_effects.h"

namespace {
using Platform::ChorusSettings;
using Platform::ReverbSettings;
using Kind = Platform::SysExMeaning::Kind;

// Rooms grow and brighten towards the halls; the plate is bright and dense; the two delay
// macros are long, dark and sparse, the panning one as wide as it goes.
constexpr ReverbSettings kReverb[Platform::kGSReverbMacros] = {
    {0.25, 0.55, 40.0, 0.45},  // Room 1
    {0.35, 0.50, 50.0, 0.50},  // Room 2
    {0.45, 0.45, 60.0, 0.55},  // Room 3
    {0.60, 0.35, 80.0, 0.60},  // Hall 1
    {0.70, 0.30, 90.0, 0.60},  // Hall 2
    {0.55, 0.10, 100.0, 0.60}, // Plate
    {0.75, 0.70, 30.0, 0.40},  // Delay
    {0.75, 0.70, 100.0, 0.40}, // Panning Delay
};

constexpr ChorusSettings kChorus[Platform::kGSChorusMacros] = {
    {3, 1.2, 0.30, 4.0, 0},   // Chorus 1
    {3, 1.5, 0.45, 6.0, 0},   // Chorus 2
    {3, 2.0, 0.40, 8.0, 0},   // Chorus 3
    {4, 2.0, 0.25, 12.0, 0},  // Chorus 4
    {5, 2.5, 0.40, 10.0, 1},  // Feedback Chorus
    {2, 3.0, 0.15, 3.0, 1},   // Flanger
    {1, 2.0, 0.10, 20.0, 0},  // Short Delay
    {2, 3.0, 0.10, 24.0, 0},  // Short Delay (FB)
};

constexpr std::uint8_t kSysEx = 0xF0;
constexpr std::uint8_t kEndOfExclusive = 0xF7;
constexpr std::uint8_t kUniversalNonRealTime = 0x7E;
constexpr std::uint8_t kRoland = 0x41;
constexpr std::uint8_t kModelGS = 0x42;
constexpr std::uint8_t kDataSet = 0x12;

Platform::SysExMeaning Macro(Kind kind, int value, int count)
{
    if (value >= count) return {Kind::Dropped, 0};
    return {kind, value};
}

// F0 41 dev 42 12 a1 a2 a3 data.. sum F7: one address and one data byte are all we act on.
Platform::SysExMeaning ClassifyGSDataSet(const std::uint8_t* d, std::size_t size)
{
    unsigned sum = 0;
    for (std::size_t i = 5; i + 1 < size; ++i) sum += d[i];
    if (sum % 128 != 0) return {Kind::Dropped, 0};
    if (size != 11) return {Kind::Other, 0};
    const int a1 = d[5], a2 = d[6], a3 = d[7], value = d[8];
    if (a1 == 0x40 && a2 == 0x00 && a3 == 0x7F) return value == 0 ? Platform::SysExMeaning{Kind::GSReset, 0} : Platform::SysExMeaning{Kind::Other, 0};
    if (a1 != 0x40 || a2 != 0x01) return {Kind::Other, 0};
    switch (a3) {
    case 0x30: return Macro(Kind::GSReverb, value, Platform::kGSReverbMacros);
    case 0x38: return Macro(Kind::GSChorus, value, Platform::kGSChorusMacros);
    case 0x50: return Macro(Kind::GSDelay, value, Platform::kGSDelayMacros);
    default: return {Kind::Other, 0};
    }
}
}  // namespace

namespace Platform {
ReverbSettings GSReverbSettings(int macro) { return kReverb[macro]; }
ChorusSettings GSChorusSettings(int macro) { return kChorus[macro]; }

SysExMeaning ClassifySysEx(const std::uint8_t* d, std::size_t size)
{
    if (size < 4 || d[0] != kSysEx || d[size - 1] != kEndOfExclusive) return {Kind::Other, 0};
    // General MIDI System On (sub-IDs 09 01), and GM2's (09 03) that resets the same way.
    if (size == 6 && d[1] == kUniversalNonRealTime && d[3] == 0x09 && (d[4] == 0x01 || d[4] == 0x03))
        return {Kind::GMSystemOn, 0};
    if (size >= 10 && d[1] == kRoland && d[3] == kModelGS && d[4] == kDataSet) return ClassifyGSDataSet(d, size);
    return {Kind::Other, 0};
}
}  // namespace Platform

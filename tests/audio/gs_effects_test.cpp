#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/gs_effects.h"

namespace {
using Kind = Platform::SysExMeaning::Kind;

// The blocks the MIDI component sends, and some it never does, as the synthesizer reads them.
TEST(GSEffects, SystemExclusiveBlocksAreReadAsTheModuleReadsThem)
{
    const struct Case {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
        Kind What;
        int Macro;
    } cases[] = {
        {"GM System On", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, Kind::GMSystemOn, 0},
        {"GM2 System On", {0xF0, 0x7E, 0x7F, 0x09, 0x03, 0xF7}, Kind::GMSystemOn, 0},
        {"GM System Off", {0xF0, 0x7E, 0x7F, 0x09, 0x02, 0xF7}, Kind::Other, 0},
        {"GS Reset", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}, Kind::GSReset, 0},
        {"reverb macro 4", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x04, 0x0B, 0xF7}, Kind::GSReverb, 4},
        {"chorus macro 0", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x38, 0x00, 0x07, 0xF7}, Kind::GSChorus, 0},
        {"chorus macro 7, checksum 00", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x38, 0x07, 0x00, 0xF7}, Kind::GSChorus, 7},
        {"delay macro 9", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x50, 0x09, 0x66, 0xF7}, Kind::GSDelay, 9},
        {"reverb macro 8: none such", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x08, 0x07, 0xF7}, Kind::Dropped, 0},
        {"reverb macro, wrong checksum", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x04, 0x0C, 0xF7}, Kind::Dropped, 0},
        {"GS Reset, wrong checksum", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x40, 0xF7}, Kind::Dropped, 0},
        {"another GS parameter", {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x11, 0x15, 0x02, 0x18, 0xF7}, Kind::Other, 0},
        {"XG System On", {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}, Kind::Other, 0},
        {"no end of exclusive", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0x00}, Kind::Other, 0},
        {"cut short", {0xF0, 0x41, 0xF7}, Kind::Other, 0},
    };
    for (const Case& c : cases) {
        const Platform::SysExMeaning m = Platform::ClassifySysEx(c.Bytes.data(), c.Bytes.size());
        EXPECT_EQ(m.What, c.What) << c.Name;
        EXPECT_EQ(m.Macro, c.Macro) << c.Name;
    }
}

// Every macro stands for settings within FluidSynth's ranges, and the halls outgrow the rooms.
TEST(GSEffects, MacroSettingsStayInRange)
{
    for (int m = 0; m < Platform::kGSReverbMacros; ++m) {
        const Platform::ReverbSettings r = Platform::GSReverbSettings(m);
        EXPECT_TRUE(r.RoomSize >= 0 && r.RoomSize <= 1 && r.Damp >= 0 && r.Damp <= 1 && r.Width >= 0 && r.Width <= 100 && r.Level >= 0 && r.Level <= 1) << "reverb " << m;
    }
    for (int m = 0; m < Platform::kGSChorusMacros; ++m) {
        const Platform::ChorusSettings c = Platform::GSChorusSettings(m);
        EXPECT_TRUE(c.Voices >= 0 && c.Voices <= 99 && c.Level >= 0 && c.Level <= 10 && c.SpeedHz >= 0.1 && c.SpeedHz <= 5 && c.DepthMs >= 0 && c.DepthMs <= 256) << "chorus " << m;
    }
    EXPECT_GT(Platform::GSReverbSettings(4).RoomSize, Platform::GSReverbSettings(0).RoomSize);
}
}  // namespace

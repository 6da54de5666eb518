// vtplay's command line, its formatting, and its screen driven by a real component on the
// capture device with a manual clock.
#include <gtest/gtest.h>


#include "tests/midi/sequencer_fixture.h"
#include "tools/vtplay/vtplay_view.h"

namespace {
using namespace VantrelMidiSystem;
using SmfBuilder::Track;

struct OptionCase {
    std::vector<const char*> Args;
    std::string File;
    bool Loop;
    int FadeMs;
    bool Help;
    std::string Error;
};

TEST(VtPlayOptions, ParsesTheCommandLine)
{
    const OptionCase cases[] = {
        {{"vtplay", "a.mid"}, "a.mid", false, 3000, false, ""},
        {{"vtplay", "--loop", "a.mid", "--fade", "1500"}, "a.mid", true, 1500, false, ""},
        {{"vtplay", "--help"}, "", false, 3000, true, ""},
        {{"vtplay"}, "", false, 3000, false, "no MIDI file given"},
        {{"vtplay", "a.mid", "--fade"}, "a.mid", false, 3000, false, "--fade needs a length in milliseconds"},
        {{"vtplay", "a.mid", "--fade", "-5"}, "a.mid", false, 3000, false,
         "--fade takes milliseconds from 0 to 600000, not '-5'"},
        {{"vtplay", "a.mid", "--fade", "12x"}, "a.mid", false, 3000, false,
         "--fade takes milliseconds from 0 to 600000, not '12x'"},
        {{"vtplay", "a.mid", "b.mid"}, "a.mid", false, 3000, false, "only one file can be played"},
        {{"vtplay", "--fast", "a.mid"}, "", false, 3000, false, "unknown option '--fast'"},
    };
    for (const auto& c : cases) {
        const auto o = VtPlay::ParseOptions(static_cast<int>(c.Args.size()), c.Args.data());
        SCOPED_TRACE(c.Args.size() > 1 ? c.Args[1] : "(none)");
        EXPECT_EQ(o.File, c.File);
        EXPECT_EQ(o.Loop, c.Loop);
        EXPECT_EQ(o.FadeMs, c.FadeMs);
        EXPECT_EQ(o.Help, c.Help);
        EXPECT_EQ(o.Error, c.Error);
    }
}

TEST(VtPlayFormat, PositionAndTempo)
{
    EXPECT_EQ(VtPlay::FormatPosition(0, 480, 4), "1:1:000");
    EXPECT_EQ(VtPlay::FormatPosition(480 * 5 + 7, 480, 4), "2:2:007");
    EXPECT_EQ(VtPlay::FormatPosition(96 * 3, 96, 3), "2:1:000");
    EXPECT_EQ(VtPlay::FormatPosition(100, 0, 0), "1:1:100");  // a zero division never divides
    EXPECT_EQ(VtPlay::FormatTempo(500000), "120.0 BPM");
    EXPECT_EQ(VtPlay::FormatTempo(400000), "150.0 BPM");
    EXPECT_EQ(VtPlay::FormatTempo(0), "--- BPM");
}

// The playback tests' fixture: a component whose cycles this test runs on a manual clock.
using VtPlayScreen = PlaybackTest::Playback;

TEST_F(VtPlayScreen, ShowsPositionTempoAndChannelsOfAKnownSong)
{
    // 96 ticks per quarter at 150 BPM (400 ms a quarter); channel 3 gets program 33, volume 90,
    // pan 20, reverb 70, chorus 10 and a note of velocity 120 after one quarter.
    Track t;
    t.Tempo(0, 400000)
        .Event(0, {0xC2, 33})
        .Event(0, {0xB2, 7, 90})
        .Event(0, {0xB2, 10, 20})
        .Event(0, {0xB2, 91, 70})
        .Event(0, {0xB2, 93, 10})
        .Event(96, {0x92, 60, 120})
        .Event(960, {0x82, 60, 0})
        .End();
    Load({t}, "song", 96);
    Start(false, "song");
    for (int ms = 0; ms < 420; ms += 10) Cycle(10);  // just past one quarter: the note has been sent

    VtPlay::Status s;
    s.Division = 96;
    VtPlay::ReadStatus(*Midi, s);
    EXPECT_EQ(s.Tempo, 400000u);
    const std::string position = VtPlay::FormatPosition(s.Ticks, 96, 4);
    EXPECT_EQ(position.substr(0, 4), "1:2:") << position;
    const TVantrelMidiChannel& c = s.Channels[2];
    EXPECT_EQ(c.Program, 33);
    EXPECT_EQ(c.Volume, 90);
    EXPECT_EQ(c.Pan, 20);
    EXPECT_EQ(c.Reverb, 70);
    EXPECT_EQ(c.Chorus, 10);
    EXPECT_GT(c.Level, 100);  // 120 less a few cycles of decay
    EXPECT_LE(c.Level, 120);

    const std::string screen = VtPlay::RenderStatus(s);
    EXPECT_NE(screen.find("position " + position), std::string::npos) << screen;
    EXPECT_NE(screen.find("tempo 150.0 BPM"), std::string::npos) << screen;
    EXPECT_NE(screen.find("    33   90   20  127   70   10"), std::string::npos) << screen;
}
}  // namespace

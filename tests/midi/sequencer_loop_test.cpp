// Loop points, the order of events at one tick, and the end of a song.
#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using SequencerLoop = Playback;

constexpr std::uint8_t Lyric = 0x05, Marker = 0x06, Cue = 0x07;

struct LoopCase {
    std::uint8_t StartType;
    const char* StartText;
    std::uint8_t EndType;
    const char* EndText;
    std::vector<int> Notes;  // note-ons in the first 1.8 s
};

// Notes 60, 61, 62 at ticks 0, 480, 960 (0, 500, 1000 ms); the start text at 480, the end at 960.
TEST_F(SequencerLoop, LoopTextsAreComparedWholeAndWithoutCase)
{
    const std::vector<int> backTo480{60, 61, 61, 61}, backTo0{60, 61, 60, 61};
    const std::vector<int> endIgnored{60, 61, 62, 61, 62, 61}, bothIgnored{60, 61, 62, 60, 61};
    const LoopCase cases[] = {
        {Marker, "RepeatStart", Marker, "RepeatEnd", backTo480},
        {Marker, "repeatstart", Marker, "REPEATEND", backTo480},
        {Cue, "repeat", Cue, "end", backTo480},
        {Cue, "Repeat", Cue, "END", backTo480},
        {Marker, "RepeatStart", Cue, "end", backTo480},
        {Marker, "RepeatStart ", Marker, "RepeatEnd", backTo0},
        {Marker, "repeat", Marker, "RepeatEnd", backTo0},
        {Cue, "RepeatStart", Cue, "end", backTo0},
        {Marker, "RepeatStart", Marker, "RepeatEnd ", endIgnored},
        {Marker, "RepeatStart", Marker, "end", endIgnored},
        {Lyric, "RepeatStart", Lyric, "RepeatEnd", bothIgnored},
    };
    for (const LoopCase& c : cases) {
        Midi->DeleteAllData();
        Load({Track()
                  .Event(0, NoteOnBytes(60))
                  .Text(480, c.StartType, c.StartText)
                  .Event(0, NoteOnBytes(61))
                  .Text(480, c.EndType, c.EndText)
                  .Event(0, NoteOnBytes(62))
                  .End()});
        Start(true);
        for (int i = 0; i < 180; ++i) Cycle(10);
        EXPECT_EQ(NotesOn(), c.Notes) << "start \"" << c.StartText << "\" (" << int(c.StartType)
                                      << "), end \"" << c.EndText << "\" (" << int(c.EndType) << ")";
        EXPECT_TRUE(Midi->Playing());
        StopWhileCycling();
    }
}

TEST_F(SequencerLoop, EventsOfOneTickGoMetasThenSysExThenChannelMessages)
{
    const Bytes sysex{0x41, 0x10, 0x42, 0x12, 0xF7};
    Load({Track().Event(480, NoteOnBytes(61)).SysEx(0, 0xF0, sysex).Tempo(0, 1000000).End()});
    Start(false);
    for (int i = 0; i < 49; ++i) Cycle(10);
    EXPECT_TRUE(Device->Entries().empty());
    Cycle(10);  // tick 480
    const auto entries = Device->Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].What, Kind::Long);
    EXPECT_EQ(entries[0].Bytes.size(), sysex.size() + 1);
    EXPECT_EQ(entries[1].Word, Word(0x90, 61, 100));
    EXPECT_EQ(Midi->GetMusicTempo(), 1000000u);
}

// At tick 1920: a tempo, the end marker, another tempo, a SysEx block and a note.
Track EndAt1920()
{
    return Track()
        .Event(0, NoteOnBytes(60))
        .Tempo(1920, 1000000)
        .Text(0, Marker, "RepeatEnd")
        .Tempo(0, 250000)
        .SysEx(0, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7})
        .Event(0, NoteOnBytes(62))
        .End();
}

TEST_F(SequencerLoop, LoopingEndMarkerCutsItsTickShort)
{
    Load({EndAt1920()});
    Start(true);
    for (int i = 0; i < 199; ++i) Cycle(10);
    EXPECT_EQ(Midi->GetDeltaTime(), 1910u);
    Device->Clear();
    Cycle(10);  // reaches 1920
    EXPECT_TRUE(Device->Entries().empty()) << "no SysEx or channel message of tick 1920 is sent";
    EXPECT_EQ(Midi->GetMusicTempo(), 1000000u) << "only the tempo listed before the marker counts";
    EXPECT_EQ(Midi->GetDeltaTime(), 0u) << "no loop start: back to tick 0";
    Cycle(10);
    EXPECT_EQ(NotesOn(), std::vector<int>{60});
    EXPECT_EQ(Midi->GetDeltaTime(), 4u) << "the tempo from the end stays in force";
    EXPECT_EQ(DispatchEnds(), 0);
    EXPECT_TRUE(Midi->Playing());
}

TEST_F(SequencerLoop, WithoutLoopEndMarkersAreIgnoredAndTheSongEndsOnce)
{
    Load({EndAt1920()});
    Start(false);
    for (int i = 0; i < 200; ++i) Cycle(10);
    EXPECT_EQ(NotesOn(), (std::vector<int>{60, 62}));
    EXPECT_EQ(Longs().size(), 1u);
    EXPECT_EQ(Midi->GetMusicTempo(), 250000u);
    EXPECT_FALSE(Midi->Playing());
    for (int i = 0; i < 20; ++i) Cycle(10);
    EXPECT_EQ(DispatchEnds(), 1);
    EXPECT_EQ(Midi->GetMusicTempo(), 500000u) << "WM_MIDIEND resets the idle component";
}

TEST_F(SequencerLoop, RepeatStepsOverWhatLiesBeforeTheLoopStart)
{
    Load({Track()
              .Tempo(0, 250000)
              .Event(0, NoteOnBytes(60))
              .Text(240, Marker, "RepeatStart")
              .Event(0, NoteOnBytes(61))
              .Tempo(240, 1000000)
              .Event(0, NoteOnBytes(62))
              .Text(480, Marker, "RepeatEnd")
              .End()});
    Start(true);
    int cycles = 0;
    while (NotesOn().size() < 3 && ++cycles < 1000) Cycle(10);
    while (Midi->GetDeltaTime() != 240 && ++cycles < 1000) Cycle(10);
    ASSERT_LT(cycles, 1000) << "the song never went back to its loop start";
    EXPECT_EQ(Midi->GetMusicTempo(), 250000u) << "the tempo passed on the way to the loop start";
    Cycle(10);
    EXPECT_EQ(NotesOn(), (std::vector<int>{60, 61, 62, 61})) << "events at the loop start play again";
}

TEST_F(SequencerLoop, SongWithoutEvents)
{
    Load({Track().End()});
    Start(false);
    Cycle(10);
    EXPECT_FALSE(Midi->Playing());
    EXPECT_EQ(DispatchEnds(), 1);

    Start(true);
    for (int i = 0; i < 50; ++i) {
        Cycle(10);
        ASSERT_EQ(Midi->GetDeltaTime(), 0u);
    }
    EXPECT_TRUE(Midi->Playing());
    EXPECT_EQ(DispatchEnds(), 1);
    EXPECT_TRUE(Device->Entries().empty());
}

}  // namespace
}  // namespace PlaybackTest

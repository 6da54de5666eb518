// The sequencer's clock: milliseconds to ticks at the current tempo, the remainder carried.
#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using SequencerTiming = Playback;

// A song whose only event lies far ahead, so that it plays on without ending.
Track Silence() { return Track().Event(100000, NoteOnBytes(60)).End(); }

TEST_F(SequencerTiming, TenMillisecondCyclesAtTheDefaultTempo)
{
    Load({Silence()});
    Start(false);
    // q = 500 ms per quarter note, 480 ticks per quarter: 4800 tick-milliseconds per cycle.
    const struct { DWORD Ticks, Remainder; } expected[] = {{9, 300}, {19, 100}, {28, 400}, {38, 200}, {48, 0}};
    for (const auto& step : expected) {
        Cycle(10);
        EXPECT_EQ(Midi->GetDeltaTime(), step.Ticks);
        EXPECT_EQ(Probe::Remainder(*Midi), step.Remainder) << "at tick " << step.Ticks;
    }
}

TEST_F(SequencerTiming, IrregularCyclesLoseNothing)
{
    Load({Silence()});
    Start(false);
    const DWORD lengths[] = {7, 13, 10, 31, 1, 0, 38};  // 100 ms in all
    for (int round = 0; round < 600; ++round)
        for (DWORD ms : lengths) Cycle(ms);
    EXPECT_EQ(Midi->GetDeltaTime(), 600u * 96u);  // one minute: 96 ticks per 100 ms
    EXPECT_EQ(Probe::Remainder(*Midi), 0u);
}

TEST_F(SequencerTiming, TempoChangeCountsFromTheNextCycle)
{
    const struct { DWORD Tempo, TicksAfterTwoCycles; } cases[] = {
        {1000000, 9 + 5100 / 1000},
        {250000, 9 + 5100 / 250},
        {1500, 9 + 5100},  // q = 1
        {999, 9 + 5100},   // below 1 ms per quarter note: played as 1 ms, never divided by 0
        {0, 9 + 5100},
    };
    for (const auto& c : cases) {
        Midi->DeleteAllData();
        Load({Track().Tempo(0, c.Tempo).Event(100000, NoteOnBytes(60)).End()});
        Start(false);
        Cycle(10);  // ticks at 500000 (remainder 300); the tempo event at tick 0 is met here
        EXPECT_EQ(Midi->GetDeltaTime(), 9u) << "tempo " << c.Tempo;
        EXPECT_EQ(Midi->GetMusicTempo(), c.Tempo);
        Cycle(10);
        EXPECT_EQ(Midi->GetDeltaTime(), c.TicksAfterTwoCycles) << "tempo " << c.Tempo;
        StopWhileCycling();
    }
}

}  // namespace
}  // namespace PlaybackTest

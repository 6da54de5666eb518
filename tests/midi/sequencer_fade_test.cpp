// Fade-out: the volume messages every 32nd cycle, the end of the fade, lengths that start none.
#include <climits>
#include <cstdlib>

#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using SequencerFade = Playback;

Track Silence() { return Track().Event(100000, NoteOnBytes(60)).End(); }

std::vector<DWORD> VolumeMessages(const std::vector<DWORD>& words)
{
    std::vector<DWORD> volumes;
    for (DWORD w : words)
        if ((w & 0xF0) == 0xB0 && ((w >> 8) & 0xFF) == 7) volumes.push_back(w);
    return volumes;
}

TEST_F(SequencerFade, FadeEndsWhenItsTimeRunsOut)
{
    const struct { int Length; int Cycles; } cases[] = {{100, 10}, {95, 10}, {101, 11}};
    for (const auto& c : cases) {
        Midi->DeleteAllData();
        Load({Silence()});
        Start(false);
        Midi->SetFadeOut(c.Length);
        for (int i = 1; i < c.Cycles; ++i) Cycle(10);
        EXPECT_TRUE(Midi->Playing()) << "fade of " << c.Length << " ms";
        Device->Clear();
        Cycle(10);
        EXPECT_FALSE(Midi->Playing()) << "fade of " << c.Length << " ms";
        EXPECT_TRUE(Device->Entries().empty()) << "the end of a fade sends nothing";
        Ends = 0;
        EXPECT_EQ(DispatchEnds(), 1) << "fade of " << c.Length << " ms";
    }
}

TEST_F(SequencerFade, FadeAndSongEndingInOneCycleAreOneEnd)
{
    Load({Track().Event(96, NoteOnBytes(60)).End()});  // the last event falls due at 100 ms
    Start(false);
    Midi->SetFadeOut(100);
    for (int i = 0; i < 10; ++i) Cycle(10);
    EXPECT_EQ(NotesOn(), std::vector<int>{60});
    EXPECT_FALSE(Midi->Playing());
    EXPECT_EQ(DispatchEnds(), 1);
}

TEST_F(SequencerFade, VolumesGoOutEvery32ndCycleScaledFromTheVolumesBeforeTheFade)
{
    // Channel 2 at volume 80; the song's own volume change at 500 ms comes during the fade.
    Load({Track().Event(0, {0xB2, 7, 80}).Event(480, {0xB2, 7, 30}).Event(100000, NoteOnBytes(60)).End()});
    Start(false);
    Cycle(10);
    Midi->SetFadeOut(1000);
    Device->Clear();
    std::vector<std::vector<DWORD>> perCycle;
    for (int i = 0; i < 70; ++i) {
        const size_t before = Shorts().size();
        Cycle(10);
        const std::vector<DWORD> all = Shorts();
        perCycle.push_back(VolumeMessages(std::vector<DWORD>(all.begin() + before, all.end())));
    }
    for (int i = 0; i < 70; ++i) {
        const bool volumeCycle = i == 0 || i == 32 || i == 64;
        if (i == 48) {  // at 500 ms: the song's own message only
            EXPECT_EQ(perCycle[i], std::vector<DWORD>{Word(0xB2, 7, 30)});
            continue;
        }
        ASSERT_EQ(perCycle[i].size(), volumeCycle ? 16u : 0u) << "fade cycle " << i;
        if (!volumeCycle) continue;
        const float factor = 1.0f - 0.01f * (i + 1);
        for (int channel = 0; channel < 16; ++channel) {
            const DWORD w = perCycle[i][channel];
            EXPECT_EQ(w & 0xFFFF, Word(0xB0 + channel, 7)) << "fade cycle " << i;
            const int base = channel == 2 ? 80 : 100;
            EXPECT_LE(std::abs(int(w >> 16) - int(base * factor)), 1) << "channel " << channel << ", fade cycle " << i;
        }
    }
    EXPECT_EQ(Probe::Channel(*Midi, 2).Volume, 80);
    EXPECT_EQ(Snapshot(2).Volume, 80);
}

TEST_F(SequencerFade, LengthsThatStartNoFade)
{
    Load({Silence()});
    const struct { const char* What; int Length; bool SetWhileIdle; } cases[] = {
        {"zero", 0, false}, {"negative", -5, false}, {"most negative", INT_MIN, false}, {"set while idle", 50, true}};
    for (const auto& c : cases) {
        if (c.SetWhileIdle) Midi->SetFadeOut(c.Length);
        Start(false);
        if (!c.SetWhileIdle) Midi->SetFadeOut(c.Length);
        for (int i = 0; i < 100; ++i) Cycle(10);
        EXPECT_TRUE(Midi->Playing()) << c.What;
        EXPECT_TRUE(VolumeMessages(Shorts()).empty()) << c.What;
        StopWhileCycling();
    }
}

TEST_F(SequencerFade, SecondFadeWhileOneRunsChangesNothing)
{
    Load({Silence()});
    Start(false);
    Midi->SetFadeOut(200);
    Cycle(10);
    Midi->SetFadeOut(20);
    for (int i = 1; i < 19; ++i) Cycle(10);
    EXPECT_TRUE(Midi->Playing()) << "the first fade of 200 ms still runs";
    Cycle(10);
    EXPECT_FALSE(Midi->Playing());
}

TEST_F(SequencerFade, StopCancelsTheFade)
{
    Load({Silence()});
    Start(false);
    Midi->SetFadeOut(100);
    StopWhileCycling();
    Midi->SetFadeOut(1000);  // accepted: no fade is running any more
    Start(false);
    Midi->SetFadeOut(50);
    for (int i = 0; i < 5; ++i) Cycle(10);
    EXPECT_FALSE(Midi->Playing());
}

}  // namespace
}  // namespace PlaybackTest

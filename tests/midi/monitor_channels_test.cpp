// The channel monitor: what ShortMsg records, the level meter's decay, the snapshot.
#include <cstring>

#include "library/support/vterrors.h"
#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using VantrelSystem::EVtMidi;
using MonitorChannels = Playback;

bool Same(const TVantrelMidiChannel& a, const TVantrelMidiChannel& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(MonitorChannels, ShortMsgRecordsWhatReportAsks)
{
    using Field = std::uint8_t TVantrelMidiChannel::*;
    const struct {
        const char* What;
        TShortMessage Message;
        Field Changed;  // null: nothing recorded
        std::uint8_t Value;
        bool EvenUnreported;
    } cases[] = {
        {"pan", {0xB3, 10, 20}, &TVantrelMidiChannel::Pan, 20, false},
        {"expression", {0xB3, 11, 21}, &TVantrelMidiChannel::Expression, 21, false},
        {"reverb", {0xB3, 91, 22}, &TVantrelMidiChannel::Reverb, 22, false},
        {"chorus", {0xB3, 93, 23}, &TVantrelMidiChannel::Chorus, 23, false},
        {"delay", {0xB3, 94, 24}, &TVantrelMidiChannel::Delay, 24, false},
        {"volume", {0xB3, 7, 25}, &TVantrelMidiChannel::Volume, 25, true},
        {"modulation", {0xB3, 1, 26}, nullptr, 0, false},
        {"program", {0xC3, 27, 0}, &TVantrelMidiChannel::Program, 27, false},
        {"note-on", {0x93, 60, 100}, &TVantrelMidiChannel::Level, 100, false},
        {"note-on, velocity 0", {0x93, 60, 0}, nullptr, 0, false},
        {"note-off", {0x83, 60, 90}, nullptr, 0, false},
        {"pitch bend", {0xE3, 28, 0}, nullptr, 0, false},
    };
    for (bool report : {true, false}) {
        Midi->SetReport(report);
        for (const auto& c : cases) {
            Midi->Reset();
            TVantrelMidiChannel expected = Probe::Channel(*Midi, 3);
            if (c.Changed && (report || c.EvenUnreported)) expected.*c.Changed = c.Value;
            Device->Clear();
            Midi->ShortMsg(c.Message);
            EXPECT_TRUE(Same(Probe::Channel(*Midi, 3), expected)) << c.What << (report ? "" : ", Report false");
            EXPECT_EQ(Shorts(), std::vector<DWORD>{Word(c.Message.Status, c.Message.Data1, c.Message.Data2)}) << c.What;
        }
    }
}

TEST_F(MonitorChannels, LevelRisesToTheVelocityAndFallsByFourPerCycle)
{
    const struct {
        const char* What;
        std::vector<std::pair<DWORD, std::uint8_t>> Notes;  // tick, velocity
        std::vector<int> Levels;                              // snapshot after each cycle
    } cases[] = {
        {"velocity 100", {{0, 100}}, {100, 96, 92, 88, 84, 80, 76, 72, 68, 64, 60, 56, 52, 48, 44, 40, 36, 32, 28, 24, 20, 16, 12, 8, 4, 0, 0}},
        {"velocity 3", {{0, 3}}, {3, 0, 0}},
        {"quieter note during the decay", {{0, 100}, {20, 50}}, {100, 96, 92, 88}},
        {"louder note during the decay", {{0, 50}, {20, 100}}, {50, 46, 100, 96}},
    };
    for (const auto& c : cases) {
        Track track;
        DWORD last = 0;
        for (const auto& [tick, velocity] : c.Notes) {
            track.Event(tick - last, NoteOnBytes(60, velocity, 5));
            last = tick;
        }
        Midi->DeleteAllData();
        Load({track.Event(100000, NoteOnBytes(61)).End()});
        Start(false);
        std::vector<int> levels;
        for (size_t i = 0; i < c.Levels.size(); ++i) {
            Cycle(10);
            levels.push_back(Snapshot(5).Level);
        }
        EXPECT_EQ(levels, c.Levels) << c.What;
        StopWhileCycling();
    }
}

TEST_F(MonitorChannels, QueuedNoteOnShowsFromTheNextCycle)
{
    Load({Track().Event(100000, NoteOnBytes(61)).End()});
    Start(false);
    Midi->NoteOn(1, 60, 100, 0xFFFFFFFF);
    Cycle(10);  // the queue is served after the cycle's snapshot
    EXPECT_EQ(Snapshot(1).Level, 0);
    Cycle(10);
    EXPECT_EQ(Snapshot(1).Level, 96);
}

TEST_F(MonitorChannels, PlayResetsEveryChannelButItsProgram)
{
    Midi->ProgramChange(4, 33);
    Midi->ControlChange(4, 10, 5);
    Cycle(10);
    Load({Track().Event(100000, NoteOnBytes(61)).End()});
    Midi->Play("01", false);
    for (int channel = 0; channel < 16; ++channel) {
        const TVantrelMidiChannel expected{0, static_cast<std::uint8_t>(channel == 4 ? 33 : 0), 100, 64, 127, 40, 0, 0};
        EXPECT_TRUE(Same(Snapshot(channel), expected)) << "channel " << channel;
    }
    EXPECT_EQ(Midi->GetDeltaTime(), 0u);
    EXPECT_EQ(Midi->GetMusicTempo(), 500000u);
}

TEST_F(MonitorChannels, WithReportFalseTheSnapshotIsRefusedAndFrozen)
{
    Load({Track().Event(0, NoteOnBytes(60, 100, 2)).Event(480, {0xB2, 7, 90}).Event(100000, NoteOnBytes(61)).End()});
    Start(false);
    Cycle(10);
    Midi->SetReport(false);
    for (int i = 0; i < 60; ++i) Cycle(10);
    TVantrelMidiChannel untouched[16];
    std::memset(untouched, 0xAB, sizeof untouched);
    try {
        Midi->GetChannelData(untouched);
        FAIL() << "GetChannelData ran with Report false";
    } catch (const EVtMidi& e) {
        EXPECT_EQ(e.Message, "TVantrelMidi エラー\n\nReportプロパティは、falseになっています。");
    }
    for (const TVantrelMidiChannel& c : untouched) EXPECT_EQ(c.Level, 0xAB);
    EXPECT_EQ(Probe::Channel(*Midi, 2).Volume, 90) << "the volume is kept all the same";
    EXPECT_EQ(Probe::Channel(*Midi, 2).Level, 100) << "no decay while Report is false";

    Midi->SetReport(true);
    EXPECT_EQ(Snapshot(2).Level, 100) << "the snapshot of the last reported cycle";
    EXPECT_EQ(Snapshot(2).Volume, 100);
    Cycle(10);
    EXPECT_EQ(Snapshot(2).Level, 96);
    EXPECT_EQ(Snapshot(2).Volume, 90);
}

}  // namespace
}  // namespace PlaybackTest

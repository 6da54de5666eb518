// Immediate channel messages: the queue's order, note-off timing, what reaches the device.
#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using ImmediateQueue = Playback;

TEST_F(ImmediateQueue, BurstGoesOutLastQueuedFirst)
{
    Midi->ControlChange(3, 10, 20);
    Midi->ProgramChange(3, 5);
    Midi->NoteOn(3, 60, 100, 0xFFFFFFFF);
    Midi->ChannelPressure(4, 70);
    Midi->PitchBend(4, 33);
    Midi->NoteOff(4, 61);
    Cycle(0);
    EXPECT_TRUE(Shorts().empty()) << "a cycle with no elapsed time sends nothing";
    Cycle(1);
    EXPECT_EQ(Shorts(), (std::vector<DWORD>{Word(0x84, 61), Word(0xE4, 33), Word(0xD4, 70), Word(0x93, 60, 100),
                                            Word(0xC3, 5), Word(0xB3, 10, 20)}));
}

TEST_F(ImmediateQueue, NoteOffFollowsAfterItsDuration)
{
    const struct { DWORD Duration; int Gap; } cases[] = {
        {500, 500},  // in the first cycle more than 500 ms after the cycle before the call
        {10, 10},
        {5, 0},      // shorter than the cycle: just after the note-on, in the same cycle
        {0, 0},      // zero: right behind the note-on, never before it
    };
    for (const auto& c : cases) {
        Device->Clear();
        Midi->NoteOn(0, 60, 100, c.Duration);
        std::vector<Platform::CaptureMidiDevice::Entry> sent;
        for (int i = 0; i < 60 && sent.size() < 2; ++i) {
            Cycle(10);
            sent = Device->Entries();
        }
        ASSERT_EQ(sent.size(), 2u) << "duration " << c.Duration;
        EXPECT_EQ(sent[0].Word, Word(0x90, 60, 100)) << "duration " << c.Duration;
        EXPECT_EQ(sent[1].Word, Word(0x80, 60, 0)) << "duration " << c.Duration;
        EXPECT_EQ(static_cast<int>(sent[1].Time - sent[0].Time), c.Gap) << "duration " << c.Duration;
    }
}

TEST_F(ImmediateQueue, EndlessNoteHasNoNoteOff)
{
    Midi->NoteOn(0, 60, 100, 0xFFFFFFFF);
    for (int i = 0; i < 100; ++i) Cycle(10);
    EXPECT_EQ(Shorts(), std::vector<DWORD>{Word(0x90, 60, 100)});
}

TEST_F(ImmediateQueue, NoteOffsDueTogetherGoLastQueuedFirst)
{
    Midi->NoteOn(0, 60, 100, 100);
    Midi->NoteOn(0, 62, 100, 100);
    for (int i = 0; i < 12; ++i) Cycle(10);
    EXPECT_EQ(Shorts(), (std::vector<DWORD>{Word(0x90, 62, 100), Word(0x90, 60, 100), Word(0x80, 62), Word(0x80, 60)}));
}

TEST_F(ImmediateQueue, QueuedMessagesSurviveStopAndReset)
{
    Midi->NoteOn(5, 70, 64, 0xFFFFFFFF);
    Midi->Stop();
    Midi->Reset();
    Device->Clear();
    Cycle(10);
    EXPECT_EQ(Shorts(), std::vector<DWORD>{Word(0x95, 70, 64)});
}

TEST_F(ImmediateQueue, BeforeInitMessagesAreQueuedAndLostSilently)
{
    Midi->CleanUp();
    Device->Clear();
    EXPECT_NO_THROW(Midi->NoteOn(0, 60, 100, 20));
    EXPECT_NO_THROW(Midi->ControlChange(0, 7, 90));
    for (int i = 0; i < 5; ++i) Cycle(10);
    Midi->Init();
    for (int i = 0; i < 5; ++i) Cycle(10);
    EXPECT_TRUE(Shorts().empty());
    EXPECT_EQ(Probe::Channel(*Midi, 0).Volume, 90) << "the message went through the component";
}

TEST_F(ImmediateQueue, ChannelAndDataAreNotMasked)
{
    Midi->NoteOn(0x1F, 0xC0, 0xFF, 0xFFFFFFFF);
    Cycle(10);
    EXPECT_EQ(Shorts(), std::vector<DWORD>{Word(0x9F, 0xC0, 0xFF)});
}

TEST_F(ImmediateQueue, LongMessageRetriesWhileThePortIsBusy)
{
    const Bytes gm{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    // After 199 busy answers the 200th call still sends the block; after 200 it is dropped, and
    // the next block goes through at once: exactly 200 calls, no more, no fewer.
    const struct { int Busy; size_t Sent; } cases[] = {{1, 2}, {199, 2}, {200, 1}};
    for (const auto& c : cases) {
        Device->Clear();
        Device->FailLongMessages(c.Busy);
        Midi->MidiReset(mrGMSystemOn);
        Midi->MidiReset(mrGMSystemOn);
        EXPECT_EQ(Longs(), std::vector<Bytes>(c.Sent, gm)) << c.Busy << " busy answers";
    }
}

}  // namespace
}  // namespace PlaybackTest

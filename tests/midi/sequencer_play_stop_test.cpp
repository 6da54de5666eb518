// Play and Stop: the device reset before a song, refusals, the stop hand-shake, the notices.
#include "library/support/vterrors.h"
#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using VantrelSystem::EVtMidi;
using SequencerPlayStop = Playback;

const Bytes GMSystemOn{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};

Track TwoNotes() { return Track().Event(0, NoteOnBytes(60)).Event(960, NoteOnBytes(61)).End(); }

TEST_F(SequencerPlayStop, PlaySendsGMSystemOnThenTheSongFromTickZero)
{
    Load({TwoNotes()});
    Midi->Play("01", false);
    EXPECT_EQ(Longs(), std::vector<Bytes>{GMSystemOn});
    EXPECT_TRUE(Midi->Playing());
    Cycle(10);
    EXPECT_EQ(NotesOn(), std::vector<int>{60});
}

TEST_F(SequencerPlayStop, PlayWhilePlayingDoesNothingWhateverTheName)
{
    Load({TwoNotes()});
    Load({Track().Event(0, NoteOnBytes(70)).End()}, "02");
    Start(false);
    for (int i = 0; i < 20; ++i) Cycle(10);
    for (const char* name : {"01", "02", "not registered"}) {
        EXPECT_NO_THROW(Midi->Play(name, true)) << name;
        EXPECT_EQ(Midi->GetDeltaTime(), 192u) << name;
    }
    for (int i = 0; i < 90; ++i) Cycle(10);
    EXPECT_EQ(NotesOn(), (std::vector<int>{60, 61}));
    EXPECT_TRUE(Longs().empty());
    EXPECT_FALSE(Midi->Playing()) << "the first song, not looping, has ended";
}

TEST_F(SequencerPlayStop, PlayOfAnUnknownNameRaisesAndChangesNothing)
{
    try {
        Midi->Play("BGM", false);
        FAIL() << "Play of an unregistered name succeeded";
    } catch (const EVtMidi& e) {
        EXPECT_EQ(e.Message, "TVantrelMidi エラー\n\nデータが存在しません。\nデータ名：BGM");
    }
    EXPECT_FALSE(Midi->Playing());
    EXPECT_TRUE(Longs().empty());
}

TEST_F(SequencerPlayStop, StopWaitsForTheThreadThenResetsTheDevice)
{
    Load({TwoNotes()});
    Start(false);
    Cycle(10);
    StopWhileCycling();
    EXPECT_FALSE(Midi->Playing());
    EXPECT_FALSE(Probe::StopRequested(*Midi));
    EXPECT_EQ(Device->Entries().back().What, Kind::Reset);
    EXPECT_EQ(DispatchEnds(), 1);

    Midi->Play("01", false);  // idle again at once
    EXPECT_TRUE(Midi->Playing());
    Cycle(10);
    EXPECT_EQ(NotesOn(), (std::vector<int>{60, 60}));
}

TEST_F(SequencerPlayStop, StopWhileIdleOnlyResetsTheDevice)
{
    Midi->Stop();
    ASSERT_EQ(Device->Entries().size(), 2u);
    EXPECT_EQ(Device->Entries()[1].What, Kind::Reset);
    EXPECT_EQ(DispatchEnds(), 0);
}

TEST_F(SequencerPlayStop, LateAnswerToAnEarlierStopDoesNotEndTheNextWait)
{
    Load({TwoNotes()});
    Start(true);
    // As if a Stop had given up waiting: the thread answers with nobody waiting for it.
    Probe::RequestStop(*Midi);
    Cycle(10);
    EXPECT_FALSE(Midi->Playing());

    Start(true);
    StopWhileCycling();
    EXPECT_FALSE(Midi->Playing()) << "Stop returned before the thread answered it";
}

TEST_F(SequencerPlayStop, PlayPostsTheStartNotice)
{
    int starts = 0;
    Midi->SetOnMidiStart([&](TObject* sender) {
        EXPECT_EQ(sender, Midi.get());
        ++starts;
    });
    Load({TwoNotes()});
    Midi->Play("01", true);
    Midi->Play("01", true);  // refused: no second notice
    Platform::DispatchPostedMessages();
    EXPECT_EQ(starts, 1);
}

TEST_F(SequencerPlayStop, StaleEndNoticeDoesNotRewindASongStartedSince)
{
    Load({Track().Event(0, NoteOnBytes(60)).End()});
    Load({TwoNotes()}, "02");
    Start(false);
    Cycle(10);  // the one-note song ends and posts WM_MIDIEND
    ASSERT_FALSE(Midi->Playing());
    Start(false, "02");
    for (int i = 0; i < 10; ++i) Cycle(10);
    EXPECT_EQ(DispatchEnds(), 1);
    EXPECT_EQ(Midi->GetDeltaTime(), 96u) << "the second song kept its position";
    EXPECT_TRUE(Midi->Playing());
}

}  // namespace
}  // namespace PlaybackTest

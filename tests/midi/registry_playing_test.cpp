// Deleting the song that is playing: playback stops first, and a song the playback thread has
// not let go of stays alive until the thread is idle.
#include <future>

#include "library/support/vtautoptr.h"
#include "library/support/vterrors.h"
#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using VantrelSystem::EVtMidi;
using VantrelSystem::ReferenceCountTable;

class RegistryWhilePlaying : public Playback {
protected:
    void SetUp() override
    {
        Playback::SetUp();
        Track t;
        for (int i = 0; i < 50; ++i) t.Event(48, NoteOnBytes(static_cast<std::uint8_t>(40 + i)));
        Load({t.End()});
        Song = Midi->GetSMFData("01");
        Start(false);
        Cycle(10);
    }

    // Runs a registry operation on another thread while cycles answer the stop it asks for.
    void WhileCycling(std::function<void()> operation)
    {
        auto done = std::async(std::launch::async, std::move(operation));
        while (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            if (Probe::StopRequested(*Midi)) Cycle(10);
            else std::this_thread::yield();
        }
        done.get();
    }

    TVantrelMidiData* Song = nullptr;
};

TEST_F(RegistryWhilePlaying, DeleteDataStopsPlaybackThenDeletesTheSong)
{
    WhileCycling([this] { Midi->DeleteData("01"); });
    EXPECT_FALSE(Midi->Playing());
    EXPECT_EQ(ReferenceCountTable.RefCount(Song), 0);
    EXPECT_THROW(Midi->GetSMFData("01"), EVtMidi);
    EXPECT_EQ(DispatchEnds(), 1);
    Device->Clear();
    for (int i = 0; i < 5; ++i) Cycle(10);
    EXPECT_TRUE(Shorts().empty()) << "nothing of the deleted song is sent";
}

TEST_F(RegistryWhilePlaying, DeleteAllDataStopsPlaybackToo)
{
    WhileCycling([this] { Midi->DeleteAllData(); });
    EXPECT_FALSE(Midi->Playing());
    EXPECT_EQ(ReferenceCountTable.RefCount(Song), 0);
}

TEST_F(RegistryWhilePlaying, ASongTheThreadStillHoldsOutlivesItsName)
{
    Midi->DeleteData("01");  // no cycle answers: Stop gives up after its wait
    ASSERT_TRUE(Midi->Playing());
    EXPECT_THROW(Midi->GetSMFData("01"), EVtMidi);
    EXPECT_EQ(ReferenceCountTable.RefCount(Song), 1) << "kept for the thread";

    Device->Clear();
    Cycle(100);  // plays on from the live song, then answers the pending stop
    EXPECT_FALSE(Shorts().empty());
    EXPECT_FALSE(Midi->Playing());
    EXPECT_EQ(DispatchEnds(), 1);
    EXPECT_EQ(ReferenceCountTable.RefCount(Song), 0) << "released once the thread was idle";
}

TEST_F(RegistryWhilePlaying, OtherSongsGoWithoutDisturbingPlayback)
{
    SmfBuilder::TempFile other(SmfBuilder::File(0, 96, {Track().Event(0, NoteOnBytes(1)).End()}));
    Midi->CreateData("02", other.Path());
    Midi->DeleteData("02");
    EXPECT_TRUE(Midi->Playing());
    EXPECT_EQ(Midi->GetSMFData("01"), Song);
}

}  // namespace
}  // namespace PlaybackTest

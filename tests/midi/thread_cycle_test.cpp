// The playback thread: one cycle's order, the clock's wrap, the real thread's hand-shakes and end.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tests/midi/sequencer_fixture.h"

namespace PlaybackTest {
namespace {

using ThreadCycle = Playback;

TEST_F(ThreadCycle, StopRequestAndSongEndInOneCycleAreBothAnswered)
{
    Load({Track().Event(0, NoteOnBytes(60)).End()});
    Start(false);
    Probe::RequestStop(*Midi);
    Cycle(10);  // the song's last event goes out and ends it; then the request is answered
    EXPECT_EQ(NotesOn(), std::vector<int>{60});
    EXPECT_FALSE(Midi->Playing());
    EXPECT_FALSE(Probe::StopRequested(*Midi));
    EXPECT_TRUE(Probe::StopSignalled(*Midi));
    EXPECT_EQ(DispatchEnds(), 2);
}

TEST_F(ThreadCycle, ElapsedTimeIsRightAcrossTheTimersWrap)
{
    Load({Track().Event(100000, NoteOnBytes(60)).End()});
    Clock.Set(0xFFFFFFF6u);
    Cycle(0);
    Start(false);
    Cycle(20);  // the clock reads 10 now
    EXPECT_EQ(Clock.Now(), 10u);
    EXPECT_EQ(Midi->GetDeltaTime(), 19u);
}

TEST_F(ThreadCycle, QueueIsServedWhetherOrNotASongPlays)
{
    Midi->NoteOn(1, 64, 90, 0xFFFFFFFF);
    Cycle(10);
    EXPECT_EQ(Shorts(), std::vector<DWORD>{Word(0x91, 64, 90)});
}

// A clock whose sleep holds the playback thread until the test lets it go on.
class GateClock : public Platform::ClockSource {
public:
    DWORD Now() override
    {
        Note();
        return FNow.fetch_add(1);
    }
    void SleepFor(DWORD) override
    {
        Note();
        std::unique_lock<std::mutex> lock(FMutex);
        ++FSleeps;
        FChanged.notify_all();
        FChanged.wait(lock, [this] { return FOpen; });
    }
    void WaitUntilAsleep()
    {
        std::unique_lock<std::mutex> lock(FMutex);
        FChanged.wait(lock, [this] { return FSleeps > 0; });
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FOpen = true;
        FChanged.notify_all();
    }
    std::atomic<bool> Destroyed{false};
    std::atomic<int> CallsAfterDestruction{0};

private:
    void Note()
    {
        if (Destroyed.load()) ++CallsAfterDestruction;
    }
    std::atomic<DWORD> FNow{0};
    std::mutex FMutex;
    std::condition_variable FChanged;
    int FSleeps = 0;
    bool FOpen = false;
};

TEST(PlaybackThread, DestructionReturnsOnlyAfterTheThreadHasEnded)
{
    GateClock gate;
    Platform::SetClockSource(&gate);
    auto midi = std::make_unique<TVantrelMidi>(nullptr);
    gate.WaitUntilAsleep();  // the real thread has run a cycle and sleeps
    TVantrelMidiPlayThread* thread = midi->PlayThread();
    std::thread destroyer([&] {
        midi.reset();
        gate.Destroyed = true;
    });
    while (!thread->Terminated()) std::this_thread::yield();
    EXPECT_FALSE(gate.Destroyed) << "the destructor returned while the thread was still in its cycle";
    EXPECT_FALSE(thread->Finished());
    gate.Open();
    destroyer.join();
    EXPECT_TRUE(gate.Destroyed);
    EXPECT_EQ(gate.CallsAfterDestruction, 0);
    Platform::SetClockSource(nullptr);
}

TEST(PlaybackThread, RealThreadAnswersStop)
{
    auto device = std::make_shared<Platform::CaptureMidiDevice>();
    Platform::SetMidiOutDevice(device);
    {
        TVantrelMidi midi(nullptr);
        int ends = 0;
        midi.SetOnMidiEnd([&](TObject*) { ++ends; });
        midi.Init();
        SmfBuilder::TempFile file(SmfBuilder::File(0, 480, {Track().Event(0, NoteOnBytes(60)).Event(100000, NoteOnBytes(61)).End()}));
        midi.CreateData("01", file.Path());
        midi.Play("01", true);
        midi.NoteOn(2, 50, 80, 0);
        midi.Stop();
        EXPECT_FALSE(midi.Playing()) << "Stop gave up waiting for the thread";
        Platform::DispatchPostedMessages();
        EXPECT_EQ(ends, 1);
        midi.Play("01", true);
        EXPECT_TRUE(midi.Playing());
    }
    EXPECT_EQ(device->Entries().back().What, Kind::Close);
    Platform::SetMidiOutDevice(nullptr);
}

TEST(PlaybackThread, PortOpensAndClosesWhileTheQueueIsServed)
{
    auto device = std::make_shared<Platform::CaptureMidiDevice>();
    Platform::SetMidiOutDevice(device);
    {
        TVantrelMidi midi(nullptr);
        // Each round closes the port as soon as the thread has begun to send the queued notes.
        for (int round = 0; round < 50; ++round) {
            const size_t before = device->Entries().size();
            midi.Init();
            for (std::uint8_t note = 0; note < 100; ++note) midi.NoteOn(0, note, 100, 0);
            while (device->Entries().size() < before + 2) std::this_thread::yield();
            midi.CleanUp();
        }
    }
    Platform::SetMidiOutDevice(nullptr);
    int opens = 0, closes = 0;
    for (const auto& e : device->Entries()) {
        opens += e.What == Kind::Open;
        closes += e.What == Kind::Close;
        EXPECT_EQ(opens - closes, e.What == Kind::Close ? 0 : 1) << "a message outside an open port";
    }
    EXPECT_EQ(closes, 50);
}

}  // namespace
}  // namespace PlaybackTest

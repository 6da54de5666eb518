// A component whose playback thread is never started: the test runs each cycle itself on a
// manual clock, and a capture device records what reaches the port.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

#include "library/midi/vtmidi.h"
#include "platform/audio/midiout.h"
#include "platform/core/clock.h"
#include "tests/midi/smf_builder.h"

namespace VantrelMidiSystem {
// What the component keeps to itself, for tests.
struct TVantrelMidiProbe {
    static DWORD Remainder(const TVantrelMidi& midi) { return midi.FTimeRemainder; }
    static const TVantrelMidiChannel& Channel(const TVantrelMidi& midi, int channel) { return midi.FChannels[channel]; }
    static void RequestStop(TVantrelMidi& midi) { midi.FStopRequest.store(true, std::memory_order_release); }
    static bool StopRequested(const TVantrelMidi& midi) { return midi.FStopRequest.load(std::memory_order_acquire); }
    static bool StopSignalled(TVantrelMidi& midi) { return midi.FStopEvent->WaitFor(0) == wrSignaled; }
};
}  // namespace VantrelMidiSystem

namespace PlaybackTest {

using namespace VantrelMidiSystem;
using SmfBuilder::Bytes;
using SmfBuilder::Track;
using Kind = Platform::CaptureMidiDevice::Entry::Kind;
using Probe = TVantrelMidiProbe;

inline DWORD Word(std::uint8_t status, std::uint8_t data1, std::uint8_t data2 = 0)
{
    return DWORD{status} | DWORD{data1} << 8 | DWORD{data2} << 16;
}

inline Bytes NoteOnBytes(std::uint8_t note, std::uint8_t velocity = 100, std::uint8_t channel = 0)
{
    return {static_cast<std::uint8_t>(0x90 | channel), note, velocity};
}

class Playback : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::SetClockSource(&Clock);
        Platform::SetMidiOutDevice(Device);
        TVantrelMidiPlayThread::SetManualCycles(true);
        Midi = std::make_unique<TVantrelMidi>(nullptr);
        Midi->SetOnMidiEnd([this](TObject*) { ++Ends; });
        Midi->Init();
    }

    void TearDown() override
    {
        if (Midi->Playing()) StopWhileCycling();
        Midi.reset();
        TVantrelMidiPlayThread::SetManualCycles(false);
        Platform::SetMidiOutDevice(nullptr);
        Platform::SetClockSource(nullptr);
    }

    // Registers a song of the given tracks under a name (format 1 for more than one track).
    void Load(std::initializer_list<Track> tracks, const AnsiString& name = "01", std::uint16_t division = 480)
    {
        const std::uint16_t format = tracks.size() > 1 ? 1 : 0;
        SmfBuilder::TempFile file(SmfBuilder::File(format, division, tracks));
        Midi->CreateData(name, file.Path());
    }

    // Plays the song and forgets what Play itself sent.
    void Start(bool loop, const AnsiString& name = "01")
    {
        Midi->Play(name, loop);
        Device->Clear();
    }

    // One cycle of the playback thread, elapsed ms after the previous one.
    void Cycle(DWORD elapsed)
    {
        Clock.Advance(elapsed);
        Midi->PlayThread()->Cycle();
    }

    // Stop waits for the thread's answer: it runs elsewhere, and the one cycle that answers
    // runs here once the request is out.
    void StopWhileCycling()
    {
        auto stopped = std::async(std::launch::async, [this] { Midi->Stop(); });
        while (stopped.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            if (Probe::StopRequested(*Midi))
                Cycle(10);
            else
                std::this_thread::yield();
        }
        stopped.get();
    }

    // Runs posted messages (OnMidiEnd counts into Ends); returns Ends.
    int DispatchEnds()
    {
        Platform::DispatchPostedMessages();
        return Ends;
    }

    std::vector<DWORD> Shorts() const
    {
        std::vector<DWORD> words;
        for (const auto& e : Device->Entries())
            if (e.What == Kind::Short) words.push_back(e.Word);
        return words;
    }

    std::vector<Bytes> Longs() const
    {
        std::vector<Bytes> blocks;
        for (const auto& e : Device->Entries())
            if (e.What == Kind::Long) blocks.push_back(e.Bytes);
        return blocks;
    }

    // The note numbers of the note-ons sent so far.
    std::vector<int> NotesOn() const
    {
        std::vector<int> notes;
        for (DWORD w : Shorts())
            if ((w & 0xF0) == 0x90) notes.push_back(static_cast<int>((w >> 8) & 0x7F));
        return notes;
    }

    TVantrelMidiChannel Snapshot(int channel)
    {
        TVantrelMidiChannel channels[16];
        Midi->GetChannelData(channels);
        return channels[channel];
    }

    Platform::ManualClock Clock{0};
    std::shared_ptr<Platform::CaptureMidiDevice> Device = std::make_shared<Platform::CaptureMidiDevice>();
    std::unique_ptr<TVantrelMidi> Midi;
    int Ends = 0;
};

}  // namespace PlaybackTest

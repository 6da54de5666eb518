#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/audio/midiout.h"
#include "platform/audio/synth_engine.h"
#include "tests/audio/audio_rig.h"

namespace {
using AudioTest::MsToNs;
using AudioTest::OfflineRig;
using Bytes = std::vector<std::uint8_t>;

const Bytes kGMSystemOn = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
const Bytes kGSReset = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

constexpr int kClaves = 75;  // a short, sharp drum on channel 10

DWORD Short(int status, int d1, int d2 = 0) { return static_cast<DWORD>(status | d1 << 8 | d2 << 16); }
Bytes GSEffect(int address, int macro)
{
    return {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(macro),
            static_cast<std::uint8_t>((128 - (0x41 + address + macro) % 128) % 128), 0xF7};
}

// The embedded synthesizer behind the MIDI port, rendered offline; dry, so that only the notes
// themselves are heard.
class Synth : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::SetMidiOutDevice(nullptr);
        Platform::SetSynthEffectsEnabled(Effects);
        ASSERT_EQ(midiOutOpen(&FPort, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    }
    void TearDown() override
    {
        midiOutClose(FPort);
        Platform::SetSynthEffectsEnabled(true);
    }

    void Send(DWORD word) { midiOutShortMsg(FPort, word); }
    void SendLong(Bytes bytes)
    {
        MIDIHDR header{};
        header.lpData = reinterpret_cast<char*>(bytes.data());
        header.dwBufferLength = static_cast<DWORD>(bytes.size());
        midiOutPrepareHeader(FPort, &header, sizeof header);
        midiOutLongMsg(FPort, &header, sizeof header);
        midiOutUnprepareHeader(FPort, &header, sizeof header);
    }
    // Plays middle C on channel 0 for ms and returns the frame range it sounded in.
    std::pair<std::int64_t, std::int64_t> Note(double ms, int channel = 0)
    {
        const std::int64_t from = Rig.Rendered();
        Rig.At(AudioTest::FramesToNs(from));
        Send(Short(0x90 | channel, 60, 110));
        Rig.RenderMs(ms);
        Rig.At(AudioTest::FramesToNs(Rig.Rendered()));
        Send(Short(0x80 | channel, 60));
        return {from, Rig.Rendered()};
    }
    double NoteLevel(int channel = -1)
    {
        const auto [from, to] = Note(150);
        return Rig.Level(from, to, channel);
    }
    // The level of what rings on 150 to 600 ms after a short clave hit: reverb.
    double Tail()
    {
        Rig.At(AudioTest::FramesToNs(Rig.Rendered()));
        Send(Short(0x99, kClaves, 127));
        const std::int64_t hit = Rig.Rendered();
        Rig.RenderMs(800);
        return Rig.Level(hit + 150 * 441 / 10, hit + 600 * 441 / 10);
    }

    OfflineRig Rig;
    HMIDIOUT FPort = nullptr;
    bool Effects = false;
};

class SynthWithEffects : public Synth {
protected:
    SynthWithEffects() { Effects = true; }
};

TEST_F(Synth, ANoteOnSoundsAndItsNoteOffEndsIt)
{
    Rig.RenderMs(50);
    EXPECT_LT(Rig.Level(0, Rig.Rendered()), 1e-7) << "silence before any note";
    const auto [from, to] = Note(200);
    EXPECT_GT(Rig.Level(from, to), 1e-3);
    Rig.RenderMs(2000);
    EXPECT_LT(Rig.Level(Rig.Rendered() - 4410, Rig.Rendered()), 1e-5) << "released and decayed";
}

TEST_F(Synth, ResetSilencesEverySoundingNoteAtOnce)
{
    for (int ch = 0; ch < 16; ch += 5) {
        Send(Short(0xB0 | ch, 64, 127));  // held by the pedal too
        Send(Short(0x90 | ch, 48 + ch, 100));
    }
    Rig.RenderMs(300);
    ASSERT_GT(Rig.Level(Rig.Rendered() - 4410, Rig.Rendered()), 1e-3);
    Rig.At(AudioTest::FramesToNs(Rig.Rendered()));
    const std::int64_t due = OfflineRig::ExpectedFrame(AudioTest::FramesToNs(Rig.Rendered()));
    midiOutReset(FPort);
    Rig.RenderMs(100);
    EXPECT_LT(Rig.Level(due + 128, Rig.Rendered()), 1e-6) << "silent from the reset on";
    Rig.At(AudioTest::FramesToNs(Rig.Rendered()));
    Send(Short(0x90, 60, 100));
    Rig.RenderMs(100);
    EXPECT_GT(Rig.Level(Rig.Rendered() - 2205, Rig.Rendered()), 1e-3) << "and plays again after it";
}

// A channel muted by its volume sounds again once a reset restores the defaults; a GS reset with
// a wrong checksum is ignored, as a GS module ignores it.
TEST_F(Synth, GeneralMidiAndGSResetsRestoreTheChannels)
{
    Bytes badReset = kGSReset;
    badReset[9] = 0x42;
    const struct Case {
        const char* Name;
        const Bytes* Reset;
        bool Restores;
    } cases[] = {{"GM System On", &kGMSystemOn, true}, {"GS Reset", &kGSReset, true}, {"GS Reset, bad checksum", &badReset, false}};
    for (const Case& c : cases) {
        Send(Short(0xB0, 7, 0));
        EXPECT_LT(NoteLevel(), 1e-5) << c.Name << ": muted before";
        SendLong(*c.Reset);
        EXPECT_EQ(NoteLevel() > 1e-3, c.Restores) << c.Name;
        Rig.RenderMs(1500);
    }
}

TEST_F(Synth, ChannelVolumeAndExpressionScaleTheNote)
{
    const double full = NoteLevel();
    ASSERT_GT(full, 1e-3);
    const struct Case {
        const char* Name;
        int Controller, Value;
        double MinShare, MaxShare;
    } cases[] = {
        {"volume 0", 7, 0, 0.0, 1e-3},
        {"volume 64", 7, 64, 0.1, 0.6},
        {"expression 0", 11, 0, 0.0, 1e-3},
        {"expression 64", 11, 64, 0.1, 0.6},
    };
    for (const Case& c : cases) {
        Rig.RenderMs(1500);
        SendLong(kGMSystemOn);
        Send(Short(0xB0, c.Controller, c.Value));
        const double level = NoteLevel();
        EXPECT_GE(level, full * c.MinShare) << c.Name;
        EXPECT_LE(level, full * c.MaxShare) << c.Name;
    }
}

// Soundfont pianos are often stereo samples, so a hard pan moves the balance rather than
// silencing one side: compared with the centre, the far side loses against the near one.
TEST_F(Synth, PanMovesTheBalance)
{
    auto balance = [this](int pan) {
        Rig.RenderMs(1500);
        Send(Short(0xB0, 10, pan));
        const auto [from, to] = Note(150);
        return Rig.Level(from, to, 1) / Rig.Level(from, to, 0);  // right over left
    };
    const double centre = balance(64);
    EXPECT_LT(balance(0), centre * 0.8) << "hard left";
    EXPECT_GT(balance(127), centre * 1.25) << "hard right";
}

TEST_F(SynthWithEffects, ReverbSendAndTheGSReverbMacroShapeTheTail)
{
    Send(Short(0xB9, 93, 0));
    SendLong(GSEffect(0x30, 0));  // Room 1
    Send(Short(0xB9, 91, 0));
    const double roomDry = Tail();
    Send(Short(0xB9, 91, 127));
    const double room = Tail();
    SendLong(GSEffect(0x30, 4));  // Hall 2
    const double hall = Tail();
    Bytes badMacro = GSEffect(0x30, 0);
    badMacro[9] ^= 1;
    SendLong(badMacro);  // a wrong checksum: the hall stays
    const double stillHall = Tail();
    EXPECT_LT(roomDry, room * 0.5) << "the send feeds the reverb";
    EXPECT_GT(hall, room * 1.5) << "a hall rings longer than a room";
    EXPECT_NEAR(stillHall, hall, hall * 0.25);
}

TEST_F(SynthWithEffects, TheChorusSendAndMacroChangeTheSound)
{
    Send(Short(0xB0, 91, 0));
    Send(Short(0xB0, 93, 0));
    const double dry = NoteLevel();
    Rig.RenderMs(1500);
    Send(Short(0xB0, 93, 127));
    SendLong(GSEffect(0x38, 5));  // Flanger
    const double flanged = NoteLevel();
    EXPECT_GT(std::fabs(flanged - dry), dry * 0.05);
}

// A note sent between two device blocks sounds at its send time plus the fixed latency, not at
// the next block. FluidSynth starts notes on its block grid, here 32 output frames apart, and
// the instrument takes a moment to rise: the lag is the same, within the grid, wherever in the
// block the note was sent.
TEST_F(Synth, ANoteSentMidBlockStartsAtItsOwnSample)
{
    constexpr int kGrid = Platform::SynthEngine::kGridFrames / Platform::SynthEngine::kOversample;
    constexpr int kRise = 24;  // frames before the clave passes the threshold, at most
    std::int64_t firstLag = 0;
    for (int offset : {0, 17, 64, 100, 131, 200, 255}) {
        Rig.RenderMs(500);  // the last hit has died away
        const std::int64_t blockStart = Rig.Rendered();
        Rig.Render(OfflineRig::Block);
        const std::int64_t sent = AudioTest::FramesToNs(blockStart + offset);
        Rig.At(sent);
        Send(Short(0x99, kClaves, 127));
        Rig.RenderMs(30);
        const std::int64_t lag = Rig.Onset(blockStart, 1e-5f) - OfflineRig::ExpectedFrame(sent);
        if (offset == 0) {
            firstLag = lag;
            EXPECT_GE(lag, -kGrid / 2 - 2) << "never before its time";
            EXPECT_LE(lag, kGrid / 2 + kRise) << "sent at a block start";
        }
        EXPECT_NEAR(static_cast<double>(lag), static_cast<double>(firstLag), kGrid + 2) << "sent " << offset << " frames into a block";
    }
}

TEST_F(Synth, TwoThreadsSendingAtOnceLoseNothingThatMatters)
{
    auto play = [this](int channel) {
        for (int i = 0; i < 60; ++i) {
            Send(Short(0x90 | channel, 40 + i % 40, 90));
            Send(Short(0x80 | channel, 40 + i % 40));
        }
    };
    std::thread a(play, 0), b(play, 1);
    for (int i = 0; i < 20; ++i) Rig.Render(OfflineRig::Block);
    a.join();
    b.join();
    Rig.At(AudioTest::FramesToNs(Rig.Rendered()));
    Send(Short(0x90, 60, 100));
    midiOutReset(FPort);
    Rig.RenderMs(100);
    EXPECT_LT(Rig.Level(Rig.Rendered() - 1000, Rig.Rendered()), 1e-6);
}

TEST(SynthSoundFont, WithoutASoundFontThePortDoesNotOpen)
{
    OfflineRig rig;
    Platform::SetMidiOutDevice(nullptr);
    Platform::SetSoundFontCandidates({"/nonexistent/none.sf2"});
    HMIDIOUT port = nullptr;
    EXPECT_EQ(midiOutOpen(&port, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_ERROR);
    EXPECT_EQ(port, nullptr);
    Platform::SetSoundFontCandidates({});
    ASSERT_EQ(midiOutOpen(&port, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    midiOutClose(port);
}
}  // namespace

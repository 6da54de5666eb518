// The SDL device behind the mixer, headless: SDL's disk driver writes what the callback mixes to
// a file; a driver that does not exist stands for a machine without a sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/midiout.h"
#include "platform/audio/mixer.h"
#include "platform/audio/sound.h"
#include "tests/audio/audio_rig.h"

namespace {
class SdlDriver {
public:
    explicit SdlDriver(const char* driver)
    {
        setenv("SDL_AUDIODRIVER", driver, 1);
        Platform::SetAudioOutput(nullptr);  // the SDL device, opened on first use
    }
    ~SdlDriver()
    {
        Platform::SetAudioOutput(nullptr);  // closes it
        unsetenv("SDL_AUDIODRIVER");
    }
};

TEST(SdlOutput, TheDiskDriverRecordsTheMixedEffect)
{
    const std::string file = testing::TempDir() + "zq_audio_disk.raw";
    std::remove(file.c_str());
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    {
        SdlDriver disk("disk");
        ASSERT_TRUE(Platform::EnsureAudioOutput());
        const auto wave = AudioTest::LevelWave(0.5, 4410);
        EXPECT_EQ(sndPlaySound(wave.data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY), 1);
        Platform::WaitForSoundRequests();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    unsetenv("SDL_DISKAUDIOFILE");
    std::ifstream in(file, std::ios::binary);
    std::vector<float> samples;
    float v;
    while (in.read(reinterpret_cast<char*>(&v), sizeof v)) samples.push_back(v);
    std::remove(file.c_str());
    std::size_t atLevel = 0;
    for (float s : samples) atLevel += std::fabs(s - 0.5f) < 1e-3f;
    EXPECT_EQ(atLevel, 2u * 4410) << "every frame of the effect, both channels, as float stereo at 44100 Hz";
}

TEST(SdlOutput, WithoutASoundCardEverythingStaysSilentAndNothingFails)
{
    SdlDriver none("no-such-driver");
    EXPECT_FALSE(Platform::EnsureAudioOutput());
    const auto wave = AudioTest::LevelWave(0.5, 100);
    EXPECT_EQ(sndPlaySound(wave.data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY), 1);
    Platform::SetMidiOutDevice(nullptr);
    HMIDIOUT port = nullptr;
    ASSERT_EQ(midiOutOpen(&port, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR) << "the synthesizer opens, silent";
    EXPECT_EQ(midiOutShortMsg(port, 0x7F3C90), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutReset(port), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutClose(port), MMSYSERR_NOERROR);
}
}  // namespace

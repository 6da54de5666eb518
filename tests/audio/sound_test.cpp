#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/audio/sound.h"
#include "platform/audio/wave.h"
#include "tests/audio/audio_rig.h"

namespace {
using AudioTest::LevelWave;
using AudioTest::MakeWave;
using AudioTest::OfflineRig;

constexpr UINT kGameFlags = SND_ASYNC | SND_NODEFAULT | SND_MEMORY;
constexpr int kBlock = OfflineRig::Block;

float LeftAt(const OfflineRig& rig, std::int64_t i) { return rig.Out[2 * i]; }

// A request as the game makes it, then waiting until it has reached the voice (a wave heard
// for the first time is decoded off the caller's thread).
BOOL Request(const void* sound)
{
    const BOOL result = sndPlaySound(sound, kGameFlags);
    Platform::WaitForSoundRequests();
    return result;
}

TEST(SoundEffect, PlaysTheWaveFromTheNextBlockUntilItEnds)
{
    OfflineRig rig;
    const auto wave = LevelWave(0.5, 1000);
    rig.Render(kBlock);
    EXPECT_EQ(Request(wave.data()), 1);
    rig.Render(2000);
    EXPECT_FLOAT_EQ(LeftAt(rig, kBlock - 1), 0.0f) << "nothing before the request";
    EXPECT_NEAR(LeftAt(rig, kBlock), 0.5f, 1e-3);
    EXPECT_NEAR(rig.Out[2 * (kBlock + 999) + 1], 0.5f, 1e-3);
    EXPECT_FLOAT_EQ(LeftAt(rig, kBlock + 1000), 0.0f) << "the effect ends with its wave";
}

TEST(SoundEffect, ConvertsTheGamesWaveFormatsToTheDevice)
{
    struct Case {
        const char* Name;
        int Rate, Channels, Bits;
    } cases[] = {{"8-bit mono 22050", 22050, 1, 8}, {"16-bit mono 11025", 11025, 1, 16}, {"16-bit stereo 44100", 44100, 2, 16}};
    for (const Case& c : cases) {
        const auto wave = MakeWave(c.Rate, c.Channels, c.Bits, c.Rate / 10, [](int, int) { return 0.5; });
        const auto decoded = Platform::DecodeWave(wave.data(), wave.size());
        ASSERT_TRUE(decoded) << c.Name;
        EXPECT_NEAR(static_cast<double>(decoded->Frames()), Platform::kAudioRate / 10.0, 64.0) << c.Name << ": a tenth of a second";
        EXPECT_NEAR(decoded->Samples[decoded->Samples.size() / 2], 0.5f, 0.02f) << c.Name;
    }
}

TEST(SoundEffect, TheNextRequestCutsOffTheOneStillSounding)
{
    OfflineRig rig;
    const auto first = LevelWave(0.25, 44100);
    const auto second = LevelWave(-0.5, 44100);
    Request(first.data());
    rig.Render(4 * kBlock);
    Request(second.data());
    rig.Render(4 * kBlock);
    EXPECT_NEAR(LeftAt(rig, 4 * kBlock - 1), 0.25f, 1e-3);
    // After a short ramp-down of the first, only the second sounds.
    for (std::int64_t i = 5 * kBlock; i < 8 * kBlock; ++i) ASSERT_NEAR(LeftAt(rig, i), -0.5f, 1e-3) << "frame " << i;
}

// The first wave is still being decoded when the second, heard before, is asked for: the second
// plays and the first never starts late over it.
TEST(SoundEffect, ALaterRequestWinsOverAWaveStillBeingDecoded)
{
    OfflineRig rig;
    const auto heard = LevelWave(-0.5, 44100);
    Request(heard.data());
    const auto fresh = LevelWave(0.125, 44100);
    sndPlaySound(fresh.data(), kGameFlags);
    sndPlaySound(heard.data(), kGameFlags);
    Platform::WaitForSoundRequests();
    rig.Render(4 * kBlock);
    for (std::int64_t i = 0; i < 4 * kBlock; ++i) ASSERT_NEAR(LeftAt(rig, i), -0.5f, 1e-3) << "frame " << i;
}

// What a buffer without a playable wave gives: silence, TRUE, and an effect still sounding stops.
TEST(SoundEffect, ABufferWithoutAPlayableWaveIsSilence)
{
    auto truncatedHeader = LevelWave(0.5, 100);
    truncatedHeader.resize(30);
    auto notWave = LevelWave(0.5, 100);
    std::memcpy(notWave.data() + 8, "AVI ", 4);
    auto noData = LevelWave(0.5, 100);
    std::memcpy(noData.data() + 36, "junk", 4);
    auto badFormat = LevelWave(0.5, 100);
    badFormat[20] = 0x77;  // an unknown coding
    std::vector<std::uint8_t> zeros(1000, 0);
    std::vector<std::uint8_t> text(1000, 'x');
    const struct Case {
        const char* Name;
        const std::vector<std::uint8_t>* Bytes;
    } cases[] = {{"zeros", &zeros}, {"text", &text}, {"header cut short", &truncatedHeader},
                 {"RIFF but not WAVE", &notWave}, {"no data chunk", &noData}, {"unknown coding", &badFormat}};
    for (const Case& c : cases) {
        OfflineRig rig;
        std::vector<std::uint8_t> buffer = *c.Bytes;
        buffer.push_back(0);  // the game's trailing zero byte
        Platform::SetSoundBufferSize(buffer.data(), buffer.size());
        const auto playing = LevelWave(0.5, 44100);
        Request(playing.data());
        rig.Render(kBlock);
        EXPECT_EQ(Request(buffer.data()), 1) << c.Name;
        rig.Render(4 * kBlock);
        EXPECT_EQ(rig.Level(2 * kBlock, 5 * kBlock), 0.0) << c.Name << ": silence, and no substitute sound";
        Platform::SetSoundBufferSize(buffer.data(), 0);
    }
    OfflineRig rig;
    EXPECT_EQ(Request(nullptr), 1);
}

TEST(SoundEffect, OnlyWavesInMemoryArePlayed)
{
    OfflineRig rig;
    EXPECT_EQ(sndPlaySound("wav/01.wav", SND_ASYNC | SND_NODEFAULT), 0);
}

// A fixed buffer holding the start of a longer file: its RIFF and data sizes claim more than it
// holds. Kept on the heap at its exact size so a sanitizer build catches any read past it.
TEST(SoundEffect, AWaveClaimingMoreThanItsBufferIsReadOnlyToTheBuffersEnd)
{
    const auto whole = LevelWave(0.5, 8000);
    const std::size_t kept = 44 + 4 * 3000 + 1;  // 3000 frames and a bit of the next
    std::vector<std::uint8_t> buffer(whole.begin(), whole.begin() + kept);
    Platform::SetSoundBufferSize(buffer.data(), buffer.size());
    EXPECT_EQ(Platform::WaveExtent(buffer.data()), kept);
    OfflineRig rig;
    Request(buffer.data());
    rig.Render(16 * kBlock);
    EXPECT_NEAR(LeftAt(rig, 2999), 0.5f, 1e-3) << "the frames the buffer holds play";
    EXPECT_FLOAT_EQ(LeftAt(rig, 3000), 0.0f) << "and nothing past them";
    Platform::SetSoundBufferSize(buffer.data(), 0);
}

TEST(SoundEffect, TheExtentOfAWaveIsItsRiffSizeBoundedByItsBuffer)
{
    auto wave = LevelWave(0.5, 100);  // 44 + 400 bytes
    wave.resize(wave.size() + 100, 0);
    struct Case {
        const char* Name;
        std::size_t Registered;  // 0: not registered
        std::size_t Offset;      // where the pointer points into the buffer
        std::size_t Expected;
    } cases[] = {
        {"unregistered: the RIFF size", 0, 0, 444},
        {"registered larger: the RIFF size", 544, 0, 444},
        {"registered smaller: the buffer", 300, 0, 300},
        {"registered too small for a header", 11, 0, 0},
        {"pointer into a registered buffer, not at a RIFF", 544, 4, 0},
    };
    for (const Case& c : cases) {
        if (c.Registered) Platform::SetSoundBufferSize(wave.data(), c.Registered);
        EXPECT_EQ(Platform::WaveExtent(wave.data() + c.Offset), c.Expected) << c.Name;
        Platform::SetSoundBufferSize(wave.data(), 0);
    }
    EXPECT_EQ(Platform::WaveExtent(nullptr), 0u);
}

// Memory of a freed buffer reused by a new one at another address: the new length counts.
TEST(SoundEffect, ANewBufferOverlappingAnOldOneReplacesIt)
{
    auto wave = LevelWave(0.5, 100);  // 444 bytes
    Platform::SetSoundBufferSize(wave.data(), 444);
    std::memmove(wave.data() + 4, wave.data(), 400);
    Platform::SetSoundBufferSize(wave.data() + 4, 200);
    EXPECT_EQ(Platform::WaveExtent(wave.data() + 4), 200u);
    Platform::SetSoundBufferSize(wave.data() + 4, 0);
    EXPECT_EQ(Platform::WaveExtent(wave.data() + 4), 444u) << "the old one went with it: the RIFF size";
}

TEST(SoundEffect, ARepeatedEffectIsDecodedOnceButAChangedBufferAgain)
{
    auto wave = LevelWave(0.5, 100);
    const auto a = Platform::CachedWave(wave.data(), wave.size());
    EXPECT_EQ(Platform::CachedWave(wave.data(), wave.size()), a) << "the same bytes: the same decoded wave";
    wave[44] ^= 0x40;  // same address, new content
    const auto b = Platform::CachedWave(wave.data(), wave.size());
    ASSERT_TRUE(b);
    EXPECT_NE(b, a);
    EXPECT_NE(b->Samples[0], a->Samples[0]);
}

// No sound card: the output cannot start; effects and the synthesizer stay silent, nothing fails.
class NoDevice : public Platform::AudioOutput {
public:
    bool Start(int&) override { return false; }
    void Stop() override {}
};

TEST(SoundEffect, WithoutAnAudioDeviceRequestsSucceedSilently)
{
    NoDevice none;
    Platform::SetAudioOutput(&none);
    const auto wave = LevelWave(0.5, 100);
    EXPECT_EQ(Request(wave.data()), 1);
    EXPECT_FALSE(Platform::EnsureAudioOutput());
    Platform::SetAudioOutput(nullptr);
}
}  // namespace

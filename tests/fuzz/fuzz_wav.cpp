// fuzz-libs: zq_platform_audio
// The sound-effect path on arbitrary bytes, as the game hands them over: a fixed buffer with one
// trailing zero byte, registered with its length. sndPlaySound must never read past the buffer,
// always answer TRUE for a wave in memory, and what it queues must mix without fault.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/audio/sound.h"
#include "platform/audio/wave.h"

namespace {
Platform::OfflineAudioOutput gOutput;
float gBlock[Platform::kAudioBlockFrames * Platform::kAudioChannels];
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Platform::SetAudioOutput(&gOutput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Its own heap block of the exact size, so any read past it is caught.
    std::vector<std::uint8_t> buffer(data, data + size);
    buffer.push_back(0);
    Platform::SetSoundBufferSize(buffer.data(), buffer.size());
    if (Platform::WaveExtent(buffer.data()) > buffer.size()) __builtin_trap();
    if (sndPlaySound(buffer.data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY) != 1) __builtin_trap();
    Platform::WaitForSoundRequests();
    Platform::SetSoundBufferSize(buffer.data(), 0);
    Platform::MixAudio(gBlock, Platform::kAudioBlockFrames);
    for (float v : gBlock)
        if (!(v >= -1.0f && v <= 1.0f)) __builtin_trap();
    return 0;
}

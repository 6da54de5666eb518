// One sound-effect voice: sndPlaySound from memory, asynchronous, the next request cuts the last.
#pragma once
#include <cstddef>

#include "platform/core/messages.h"

constexpr UINT SND_SYNC = 0x0000;
constexpr UINT SND_ASYNC = 0x0001;
constexpr UINT SND_NODEFAULT = 0x0002;
constexpr UINT SND_MEMORY = 0x0004;

// sound points at a whole RIFF wave in memory (SND_MEMORY). A buffer that holds no playable wave
// plays silence and still returns true. Returns at once.
BOOL sndPlaySound(const void* sound, UINT flags);

namespace Platform {
// The player behind sndPlaySound; tests install a recorder. Null restores the audio device.
struct WavePlayer {
    virtual ~WavePlayer() = default;
    virtual BOOL Play(const void* sound, UINT flags) = 0;
};
void SetWavePlayer(WavePlayer* player);
// Waits until every request made so far has reached the effect voice: a wave not played before
// is decoded off the caller's thread and starts a moment later. For tests and tools.
void WaitForSoundRequests();

// sndPlaySound gets only a pointer, so it trusts the RIFF header's size up to the end of a
// buffer registered here (or up to a fixed bound for other pointers). A buffer whose wave may
// claim more than it holds, like a fixed buffer holding the start of a longer file, is
// registered once with its length; size 0 forgets it.
void SetSoundBufferSize(const void* buffer, std::size_t size);
}  // namespace Platform

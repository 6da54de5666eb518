#include "platform/audio/sound.h"

#include <atomic>

#include "platform/audio/wave.h"

namespace {
constexpr BOOL kTrue = 1;
constexpr BOOL kFalse = 0;

// The real player: the wave goes to the effect voice of the shared output; a buffer without a
// playable wave stops the voice, so the request is silence rather than the last effect.
class DevicePlayer : public Platform::WavePlayer {
public:
    BOOL Play(const void* sound, UINT flags) override
    {
        if (!(flags & SND_MEMORY)) return kFalse;  // only waves in memory are played here
        if (!Platform::EnsureAudioOutput()) return kTrue;
        Platform::PlayEffect(Platform::CachedWave(sound, Platform::WaveExtent(sound)));
        return kTrue;
    }
};

DevicePlayer gDevicePlayer;
std::atomic<Platform::WavePlayer*> gPlayer{nullptr};
}  // namespace

BOOL sndPlaySound(const void* sound, UINT flags)
{
    Platform::WavePlayer* player = gPlayer.load(std::memory_order_acquire);
    return (player ? player : &gDevicePlayer)->Play(sound, flags);
}

namespace Platform {
void SetWavePlayer(WavePlayer* player) { gPlayer.store(player, std::memory_order_release); }
}  // namespace Platform

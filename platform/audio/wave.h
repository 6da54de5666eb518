// Waves played from memory: how far a buffer may be read, decoding with SDL's WAV reader into
// the device format, and a cache so a repeated effect costs one hash.
#pragma once
#include <cstddef>
#include <memory>

#include "platform/audio/mixer.h"
#include "platform/audio/sound.h"

namespace Platform {
// sndPlaySound reads the RIFF header's declared size (8 + the size field) and cuts it at the end
// of the buffer registered with SetSoundBufferSize (sound.h) that holds the pointer, or at
// kMaxWaveBytes for a pointer into no registered buffer.
constexpr std::size_t kMaxWaveBytes = 16u << 20;
// An effect longer than this, or at a rate outside these, plays silence: a sound effect it is
// not, and converting it would take the caller's memory and the decoder's time.
constexpr double kMaxWaveSeconds = 30.0;
constexpr int kMinWaveRate = 4000;
constexpr int kMaxWaveRate = 192000;

// The bytes of the wave at sound that may be read: 0 when it does not start with a RIFF header.
std::size_t WaveExtent(const void* sound);
// The wave of size bytes converted to the device format; null when they hold no playable wave.
std::shared_ptr<const DeviceWave> DecodeWave(const void* data, std::size_t size);
// DecodeWave through a cache keyed by the bytes' length and content.
std::shared_ptr<const DeviceWave> CachedWave(const void* data, std::size_t size);
// The cached wave of these bytes without decoding; false when they are not in the cache.
bool LookUpWave(const void* data, std::size_t size, std::shared_ptr<const DeviceWave>& wave);
}  // namespace Platform

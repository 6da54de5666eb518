#include "platform/audio/wave.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

namespace {
struct Region {
    const std::uint8_t* Start;
    std::size_t Size;
};

std::mutex gRegionLock;
std::vector<Region> gRegions;

struct CacheEntry {
    std::size_t Size;
    std::uint64_t Hash;
    std::shared_ptr<const Platform::DeviceWave> Wave;
};
constexpr std::size_t kCacheEntries = 32;
constexpr std::size_t kCacheBytes = 32u << 20;  // of decoded samples; the newest entry always stays
std::mutex gCacheLock;
std::deque<CacheEntry> gCache;

std::uint32_t ReadLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The registered buffer holding p: the bytes left from p to its end, or 0 when none holds it.
std::size_t RegisteredRoom(const std::uint8_t* p, bool& found)
{
    std::lock_guard<std::mutex> lock(gRegionLock);
    for (const Region& r : gRegions) {
        if (std::less_equal<const std::uint8_t*>()(r.Start, p) && std::less<const std::uint8_t*>()(p, r.Start + r.Size)) {
            found = true;
            return static_cast<std::size_t>(r.Start + r.Size - p);
        }
    }
    found = false;
    return 0;
}

std::uint64_t Hash(const std::uint8_t* p, std::size_t n)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        h = (h ^ w) * 0x100000001b3ull;
        h ^= h >> 29;
    }
    for (; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
    return h;
}

// SDL reads the RIFF size as declared, never past the memory stream, and keeps the whole blocks
// of a data chunk that was cut short (a longer file read into a fixed buffer). Its "dropframe"
// mode reports more ADPCM bytes than it decoded; "dropblock" is the same for PCM and sound.
void SetWaveHints()
{
    static std::once_flag once;
    std::call_once(once, [] {
        SDL_SetHint(SDL_HINT_WAVE_RIFF_CHUNK_SIZE, "force");
        SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "dropblock");
    });
}

void WriteLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// SDL's reader allocates a chunk at the size it declares before reading what is there, so a
// chunk cut short (or claiming gigabytes) is first trimmed to the bytes present, in a copy.
std::vector<std::uint8_t> TrimmedCopy(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> w(data, data + size);
    WriteLe32(&w[4], static_cast<std::uint32_t>(size - 8));
    std::size_t at = 12;
    while (at + 8 <= size) {
        const std::size_t room = size - at - 8;
        const std::uint32_t length = ReadLe32(&w[at + 4]);
        if (length > room) {
            WriteLe32(&w[at + 4], static_cast<std::uint32_t>(room));
            break;
        }
        at += 8 + length + (length & 1);  // chunks are padded to even sizes
    }
    return w;
}

std::shared_ptr<const Platform::DeviceWave> Convert(const SDL_AudioSpec& source, Uint8* data, Uint32 length)
{
    const int frameBytes = SDL_AUDIO_BITSIZE(source.format) / 8 * source.channels;
    if (frameBytes <= 0 || source.freq < Platform::kMinWaveRate || source.freq > Platform::kMaxWaveRate) return nullptr;
    const std::size_t frames = length / static_cast<Uint32>(frameBytes);
    if (frames == 0 || static_cast<double>(frames) / source.freq > Platform::kMaxWaveSeconds) return nullptr;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, source.format, source.channels, source.freq, AUDIO_F32SYS, Platform::kAudioChannels, Platform::kAudioRate) < 0)
        return nullptr;
    const std::size_t usable = frames * static_cast<std::size_t>(frameBytes);
    std::vector<Uint8> work(usable * static_cast<std::size_t>(std::max(cvt.len_mult, 1)));
    std::memcpy(work.data(), data, usable);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(usable);
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return nullptr;
    const int converted = cvt.needed ? cvt.len_cvt : cvt.len;
    auto wave = std::make_shared<Platform::DeviceWave>();
    wave->Samples.resize(static_cast<std::size_t>(converted) / sizeof(float) / Platform::kAudioChannels * Platform::kAudioChannels);
    if (wave->Samples.empty()) return nullptr;
    std::memcpy(wave->Samples.data(), work.data(), wave->Samples.size() * sizeof(float));
    for (float& v : wave->Samples)
        if (!std::isfinite(v)) v = 0.0f;  // a float wave may hold any bit pattern
    return wave;
}
}  // namespace

namespace Platform {
void SetSoundBufferSize(const void* buffer, std::size_t size)
{
    const auto* start = static_cast<const std::uint8_t*>(buffer);
    const std::uint8_t* end = start + size;
    std::lock_guard<std::mutex> lock(gRegionLock);
    // A buffer registered again, or memory reused by a new one: what it overlaps is stale.
    const std::less<const std::uint8_t*> before;
    gRegions.erase(std::remove_if(gRegions.begin(), gRegions.end(),
                                  [&](const Region& r) { return r.Start == start || (before(r.Start, end) && before(start, r.Start + r.Size)); }),
                   gRegions.end());
    if (start && size > 0) gRegions.push_back({start, size});
}

std::size_t WaveExtent(const void* sound)
{
    const auto* p = static_cast<const std::uint8_t*>(sound);
    if (!p) return 0;
    bool registered = false;
    const std::size_t room = RegisteredRoom(p, registered);
    const std::size_t limit = registered ? room : kMaxWaveBytes;
    // Read the header byte by byte so an unregistered garbage buffer is left at its first odd byte.
    static constexpr char kRiff[4] = {'R', 'I', 'F', 'F'};
    if (limit < 12) return 0;
    for (int i = 0; i < 4; ++i)
        if (p[i] != static_cast<std::uint8_t>(kRiff[i])) return 0;
    const std::uint64_t declared = 8ull + ReadLe32(p + 4);
    return static_cast<std::size_t>(std::min<std::uint64_t>(declared, limit));
}

std::shared_ptr<const DeviceWave> DecodeWave(const void* data, std::size_t size)
{
    if (!data || size < 12 || size > kMaxWaveBytes) return nullptr;
    SetWaveHints();
    const std::vector<std::uint8_t> bytes = TrimmedCopy(static_cast<const std::uint8_t*>(data), size);
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!rw) return nullptr;
    SDL_AudioSpec source{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &source, &buffer, &length)) return nullptr;
    std::shared_ptr<const DeviceWave> wave = Convert(source, buffer, length);
    SDL_FreeWAV(buffer);
    return wave;
}

bool LookUpWave(const void* data, std::size_t size, std::shared_ptr<const DeviceWave>& wave)
{
    wave.reset();
    if (!data || size == 0) return true;
    const std::uint64_t hash = Hash(static_cast<const std::uint8_t*>(data), size);
    std::lock_guard<std::mutex> lock(gCacheLock);
    for (const CacheEntry& e : gCache)
        if (e.Size == size && e.Hash == hash) {
            wave = e.Wave;
            return true;
        }
    return false;
}

std::shared_ptr<const DeviceWave> CachedWave(const void* data, std::size_t size)
{
    std::shared_ptr<const DeviceWave> wave;
    if (LookUpWave(data, size, wave)) return wave;
    wave = DecodeWave(data, size);
    const std::uint64_t hash = Hash(static_cast<const std::uint8_t*>(data), size);
    std::lock_guard<std::mutex> lock(gCacheLock);
    gCache.push_front({size, hash, wave});
    std::size_t bytes = 0;
    for (const CacheEntry& e : gCache) bytes += e.Wave ? e.Wave->Samples.size() * sizeof(float) : 0;
    while (gCache.size() > 1 && (gCache.size() > kCacheEntries || bytes > kCacheBytes)) {
        if (gCache.back().Wave) bytes -= gCache.back().Wave->Samples.size() * sizeof(float);
        gCache.pop_back();
    }
    return wave;
}
}  // namespace Platform

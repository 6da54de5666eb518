#include "platform/audio/sound.h"

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/wave.h"

namespace {
constexpr BOOL kTrue = 1;
constexpr BOOL kFalse = 0;

// The real player: the wave goes to the effect voice of the shared output. A wave heard before
// comes from the cache at once; a new one cuts the sounding effect at once and starts when a
// thread of the player's own has decoded it (resampling takes milliseconds), unless a later
// request came first. A buffer without a playable wave is silence rather than the last effect.
class DevicePlayer : public Platform::WavePlayer {
public:
    DevicePlayer() { Platform::AudioLatencyNs(); }  // the mixer outlives the player
    ~DevicePlayer() override
    {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FStop = true;
        }
        FWake.notify_all();
        if (FThread.joinable()) FThread.join();
    }

    BOOL Play(const void* sound, UINT flags) override
    {
        if (!(flags & SND_MEMORY)) return kFalse;  // only waves in memory are played here
        if (!Platform::EnsureAudioOutput()) return kTrue;
        const std::size_t extent = Platform::WaveExtent(sound);
        std::shared_ptr<const Platform::DeviceWave> wave;
        std::lock_guard<std::mutex> lock(FLock);
        ++FTicket;
        if (Platform::LookUpWave(sound, extent, wave)) {
            Platform::PlayEffect(std::move(wave));
            return kTrue;
        }
        Platform::PlayEffect(nullptr);
        const auto* bytes = static_cast<const std::uint8_t*>(sound);
        FJobs.clear();  // waiting ones could only be overtaken by this one
        FJobs.push_back({FTicket, std::vector<std::uint8_t>(bytes, bytes + extent)});
        if (!FThread.joinable()) FThread = std::thread([this] { Run(); });
        FWake.notify_all();
        return kTrue;
    }

    void WaitIdle()
    {
        std::unique_lock<std::mutex> lock(FLock);
        FIdle.wait(lock, [this] { return FJobs.empty() && !FBusy; });
    }

private:
    struct Job {
        std::uint64_t Ticket;
        std::vector<std::uint8_t> Bytes;
    };

    void Run()
    {
        std::unique_lock<std::mutex> lock(FLock);
        for (;;) {
            FWake.wait(lock, [this] { return FStop || !FJobs.empty(); });
            if (FStop) break;
            Job job = std::move(FJobs.front());
            FJobs.pop_front();
            FBusy = true;
            lock.unlock();
            std::shared_ptr<const Platform::DeviceWave> wave = Platform::CachedWave(job.Bytes.data(), job.Bytes.size());
            lock.lock();
            if (job.Ticket == FTicket) Platform::PlayEffect(std::move(wave));
            FBusy = false;
            FIdle.notify_all();
        }
        SDL_TLSCleanup();  // SDL keeps its error text per thread and frees it only when told
    }

    std::mutex FLock;
    std::condition_variable FWake;
    std::condition_variable FIdle;
    std::deque<Job> FJobs;
    std::uint64_t FTicket = 0;
    bool FBusy = false;
    bool FStop = false;
    std::thread FThread;
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
void WaitForSoundRequests() { gDevicePlayer.WaitIdle(); }
}  // namespace Platform

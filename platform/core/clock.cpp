#include "platform/core/clock.h"

#include <atomic>
#include <ctime>
#include <thread>

namespace {
std::atomic<Platform::ClockSource*> gSource{nullptr};

DWORD MonotonicMilliseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);  // wraps like the system timer
}
}  // namespace

DWORD timeGetTime()
{
    Platform::ClockSource* s = gSource.load(std::memory_order_acquire);
    return s ? s->Now() : MonotonicMilliseconds();
}

void Sleep(DWORD milliseconds)
{
    Platform::ClockSource* s = gSource.load(std::memory_order_acquire);
    if (s) {
        s->SleepFor(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace Platform {
void SetClockSource(ClockSource* source) { gSource.store(source, std::memory_order_release); }

DWORD ManualClock::Now() { return FNow.load(std::memory_order_acquire); }
void ManualClock::SleepFor(DWORD milliseconds) { Advance(milliseconds); }
void ManualClock::Set(DWORD now) { FNow.store(now, std::memory_order_release); }
void ManualClock::Advance(DWORD milliseconds) { FNow.fetch_add(milliseconds, std::memory_order_acq_rel); }
}  // namespace Platform

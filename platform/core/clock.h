// The millisecond clock (unsigned 32-bit, wraps) and sleeping, replaceable for tests.
#pragma once
#include <atomic>
#include <cstdint>

using DWORD = std::uint32_t;

DWORD timeGetTime();
void Sleep(DWORD milliseconds);

namespace Platform {
// A clock source for tests: now() in milliseconds, sleep() advancing it. Null restores the real one.
struct ClockSource {
    virtual ~ClockSource() = default;
    virtual DWORD Now() = 0;
    virtual void SleepFor(DWORD milliseconds) = 0;
};
void SetClockSource(ClockSource* source);

// A manual clock: Now() returns what the test set; SleepFor advances it.
class ManualClock : public ClockSource {
public:
    explicit ManualClock(DWORD start = 0) : FNow(start) {}
    DWORD Now() override;
    void SleepFor(DWORD milliseconds) override;
    void Set(DWORD now);
    void Advance(DWORD milliseconds);
private:
    std::atomic<DWORD> FNow;
};
}  // namespace Platform

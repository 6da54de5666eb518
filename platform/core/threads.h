// Threads, locks and auto/manual-reset events in the shape the library expects.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A thread running Execute(); created suspended or started at once. The owner destroys it
// after Terminate() and WaitFor(). Raising the priority is tried and silently dropped when
// the system refuses it.
class TThread {
public:
    explicit TThread(bool createSuspended);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();             // starts a thread created suspended
    void Terminate();         // asks Execute to end
    void WaitFor();           // returns once Execute has ended
    bool Terminated() const { return FTerminated.load(std::memory_order_acquire); }
    bool Finished() const { return FFinished.load(std::memory_order_acquire); }
    void SetPriority(TThreadPriority priority);  // from any thread; applies to this thread
    TThreadPriority Priority() const { return FPriority; }
    bool FreeOnTerminate = false;  // only false is supported: the owner frees

protected:
    virtual void Execute() = 0;

private:
    void Run();
    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FStarted{false};
    TThreadPriority FPriority = tpNormal;
};

// Raises the calling thread's priority as far as allowed without privileges; false if refused.
bool SetCurrentThreadPriority(TThreadPriority priority);

class TCriticalSection {
public:
    void Acquire() { FMutex.lock(); }
    void Release() { FMutex.unlock(); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }
private:
    std::recursive_mutex FMutex;
};

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TEvent {
public:
    TEvent(bool manualReset, bool initialState) : FManual(manualReset), FSignaled(initialState) {}
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(std::uint32_t timeoutMs);  // an auto-reset event clears on a successful wait
private:
    std::mutex FMutex;
    std::condition_variable FCond;
    bool FManual;
    bool FSignaled;
};

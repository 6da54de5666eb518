#include "platform/core/threads.h"

#include <chrono>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

TThread::TThread(bool createSuspended)
{
    if (!createSuspended) Start();
}

TThread::~TThread()
{
    if (FThread.joinable()) {
        Terminate();
        FThread.join();
    }
}

void TThread::Start()
{
    if (FStarted.exchange(true)) return;
    FThread = std::thread([this] { Run(); });
}

void TThread::Run()
{
    Execute();
    FFinished.store(true, std::memory_order_release);
}

void TThread::Terminate() { FTerminated.store(true, std::memory_order_release); }

void TThread::WaitFor()
{
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) FThread.join();
}

void TThread::SetPriority(TThreadPriority priority)
{
    FPriority = priority;
    if (std::this_thread::get_id() == FThread.get_id()) SetCurrentThreadPriority(priority);
}

bool SetCurrentThreadPriority(TThreadPriority priority)
{
    if (priority >= tpHighest) {
        // Real-time scheduling needs privileges on most systems; try it, then fall back to nice.
        sched_param param{};
        param.sched_priority = sched_get_priority_max(SCHED_FIFO) / (priority == tpTimeCritical ? 1 : 2);
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) return true;
    }
    static const int niceness[] = {19, 10, 5, 0, -5, -10, -20};
    return setpriority(PRIO_PROCESS, 0, niceness[priority]) == 0;
}

void TEvent::SetEvent()
{
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FSignaled = true;
    }
    FCond.notify_all();
}

void TEvent::ResetEvent()
{
    std::lock_guard<std::mutex> lock(FMutex);
    FSignaled = false;
}

TWaitResult TEvent::WaitFor(std::uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(FMutex);
    if (!FCond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return FSignaled; }))
        return wrTimeout;
    if (!FManual) FSignaled = false;
    return wrSignaled;
}

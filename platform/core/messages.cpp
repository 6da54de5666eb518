#include "platform/core/messages.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>

struct THiddenWindow {
    TWndMethod Method;
};

namespace {
struct Posted {
    HWND Window;
    TMessage Message;
};

struct Queue {
    std::mutex Mutex;
    std::condition_variable Arrived;
    std::deque<Posted> Items;
    std::set<HWND> Live;
};

Queue& TheQueue()
{
    static Queue q;  // function-local: usable from any static constructor
    return q;
}
}  // namespace

HWND AllocateHWnd(TWndMethod method)
{
    Queue& q = TheQueue();
    HWND w = new THiddenWindow{std::move(method)};
    std::lock_guard<std::mutex> lock(q.Mutex);
    q.Live.insert(w);
    return w;
}

void DeallocateHWnd(HWND window)
{
    if (!window) return;
    Queue& q = TheQueue();
    {
        std::lock_guard<std::mutex> lock(q.Mutex);
        q.Live.erase(window);
        std::erase_if(q.Items, [window](const Posted& p) { return p.Window == window; });
    }
    delete window;
}

BOOL PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Queue& q = TheQueue();
    {
        std::lock_guard<std::mutex> lock(q.Mutex);
        if (!window || !q.Live.count(window)) return 0;
        q.Items.push_back(Posted{window, TMessage{msg, wParam, lParam, 0}});
    }
    q.Arrived.notify_all();
    return 1;
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

namespace Platform {
int DispatchPostedMessages()
{
    Queue& q = TheQueue();
    size_t pending;
    {
        std::lock_guard<std::mutex> lock(q.Mutex);
        pending = q.Items.size();
    }
    int ran = 0;
    // Only what was queued on entry, so a handler that posts again cannot keep us here.
    for (; pending > 0; --pending) {
        Posted p;
        {
            std::lock_guard<std::mutex> lock(q.Mutex);
            if (q.Items.empty()) break;
            p = q.Items.front();
            q.Items.pop_front();
            if (!q.Live.count(p.Window)) continue;
        }
        p.Window->Method(p.Message);
        ++ran;
    }
    return ran;
}

bool WaitForPostedMessage(std::uint32_t timeoutMs)
{
    Queue& q = TheQueue();
    std::unique_lock<std::mutex> lock(q.Mutex);
    return q.Arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&q] { return !q.Items.empty(); });
}
}  // namespace Platform

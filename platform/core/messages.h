// Hidden windows: a thread-safe queue of posted messages, dispatched on the main thread by the
// application's loop (or by a program's own loop calling DispatchPostedMessages).
#pragma once
#include <cstdint>
#include <functional>

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using BOOL = int;

struct THiddenWindow;
using HWND = THiddenWindow*;

constexpr UINT WM_USER = 0x0400;

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};
using TWndMethod = std::function<void(TMessage&)>;

HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);  // messages still queued for it are dropped
// Queues a message for the window; safe from any thread. False for a null or freed window.
BOOL PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

namespace Platform {
// Runs every message queued so far on the calling thread; returns how many ran.
int DispatchPostedMessages();
// Waits up to timeoutMs for a posted message to arrive; true if one is queued.
bool WaitForPostedMessage(std::uint32_t timeoutMs);
}  // namespace Platform

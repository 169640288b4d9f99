#pragma once
// The wait pump: how a user-interface thread keeps serving while it waits.
//
// A window thread must go on handling messages that other threads send it (and block on)
// while it sits in a wait of its own; otherwise a worker that sends to the window while the
// window waits for that worker would deadlock both. The UI framework therefore installs a
// pump on its thread:
//
//     sys::SetThreadWaitPump([] { /* handle pending cross-thread sent messages */ });
//
// From then on every blocking wait of this layer made on that thread (Event::Wait and
// WaitAny, Clock::SleepMs, Clock::WaitUntil, Thread::Join with a time-out) waits in short
// slices of real time (kWaitPumpSliceMs) and calls the pump between slices. The pump runs
// with no lock of this layer held, so it may itself send, post, sleep or wait (nested
// waits call the pump again, as nested message loops do). Waits on threads without a pump
// are unaffected. An empty function removes the pump.
#include <cstdint>
#include <functional>

namespace sys {

inline constexpr int64_t kWaitPumpSliceMs = 2;

// Installs (or with an empty function removes) the pump of the calling thread.
void SetThreadWaitPump(std::function<void()> pump);

// True when the calling thread has a pump.
bool HasThreadWaitPump();

// Calls the calling thread's pump, if any. Returns whether there was one.
bool RunThreadWaitPump();

}  // namespace sys

#pragma once
// One clock for the whole program. In production it follows the machine's clocks; tests
// switch it to manual and drive it by hand, so a two-minute time-out passes in microseconds.
//
// Every sleep, timed wait and window timer in the program goes through this clock.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/sys/wait_pump.h"

namespace sys {

// Local calendar time, as the screens show and store it.
struct LocalTime {
  int year = 1970, month = 1, day = 1;    // month 1..12, day 1..31
  int hour = 0, minute = 0, second = 0;   // 24-hour
  int millisecond = 0;
  int dayOfWeek = 4;                      // 0 Sunday .. 6 Saturday
};

class Clock {
 public:
  // Milliseconds on a steady clock (like a tick count); never goes backwards.
  static int64_t TickMs();
  // Local calendar time now.
  static LocalTime Now();
  // Seconds since 1970-01-01 UTC now (manual mode: the manual wall time).
  static int64_t UnixSeconds();

  // Manual mode: time stands still until Advance is called. The wall clock starts at `start`.
  static void UseManual(const LocalTime& start = LocalTime{2026, 1, 5, 8, 0, 0, 0, 1});
  static void UseReal();
  static bool IsManual();
  // Moves manual time forward (no effect in real mode) and wakes every waiter.
  static void Advance(int64_t ms);
  // Sets the manual wall clock without moving the tick count (a test's "next day").
  static void SetManualLocalTime(const LocalTime& t);

  // Sleeps `ms` on the program clock. In manual mode it returns once the clock was advanced
  // far enough. On a thread with a wait pump (wait_pump.h) the pump is called meanwhile.
  static void SleepMs(int64_t ms);

  // Waits on `cv` until `pred()` holds or the program clock reaches `deadlineTickMs`.
  // Returns pred() at the end. In manual mode the deadline is reached only by Advance.
  // On a thread with a wait pump the wait is cut into short slices; between them the lock is
  // released and the pump called.
  template <class Lock, class Pred>
  static bool WaitUntil(std::condition_variable_any& cv, Lock& lock, int64_t deadlineTickMs, Pred pred) {
    while (!pred()) {
      const int64_t now = TickMs();
      if (now >= deadlineTickMs) return pred();
      const bool pump = HasThreadWaitPump();
      if (IsManual()) {
        // Manual time only moves by Advance, which notifies; a short real wait keeps us
        // from depending on that notification reaching this particular condition variable.
        cv.wait_for(lock, std::chrono::milliseconds(1));
      } else {
        int64_t wait = deadlineTickMs - now;
        if (pump && wait > kWaitPumpSliceMs) wait = kWaitPumpSliceMs;
        cv.wait_for(lock, std::chrono::milliseconds(wait));
      }
      if (pump && !pred()) {
        lock.unlock();
        RunThreadWaitPump();
        lock.lock();
      }
    }
    return true;
  }
  template <class Lock, class Pred>
  static bool WaitForMs(std::condition_variable_any& cv, Lock& lock, int64_t ms, Pred pred) {
    return WaitUntil(cv, lock, TickMs() + ms, pred);
  }

  // Called (from the thread that advanced it) after every manual Advance. The UI framework
  // uses it to wake its loops; returns a token for RemoveAdvanceListener.
  static int AddAdvanceListener(std::function<void()> fn);
  static void RemoveAdvanceListener(int token);
};

// Converts between calendar time and seconds since 1970 in the local time zone.
int64_t ToUnixSeconds(const LocalTime& t);
LocalTime FromUnixSeconds(int64_t seconds);

}  // namespace sys

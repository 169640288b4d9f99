#pragma once
// Events a thread can wait for, with manual or automatic reset, and timed waits that run on
// the program clock (so a test with the manual clock decides when a time-out happens).
//
//  * A manual-reset event stays set, releasing every waiter, until Reset.
//  * An auto-reset event releases one waiter and is reset by that release.
// On a thread with a wait pump (wait_pump.h) every wait here calls the pump meanwhile.
#include <cstdint>
#include <memory>
#include <vector>

namespace sys {

inline constexpr int64_t kWaitForever = -1;

class Event {
 public:
  explicit Event(bool manualReset, bool initiallySet = false);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  bool IsManualReset() const { return manual_; }

  // Waits until the event is set or `timeoutMs` of program time pass (kWaitForever: no
  // limit; 0: just test). True when the event was set (an auto-reset event is then reset).
  bool Wait(int64_t timeoutMs = kWaitForever);

  // Waits for the first of several events. Returns the index of the event that released
  // the wait (the lowest index when several are set), or -1 on time-out or an empty list.
  static int WaitAny(const std::vector<Event*>& events, int64_t timeoutMs = kWaitForever);

 private:
  const bool manual_;
  bool set_;
};

}  // namespace sys

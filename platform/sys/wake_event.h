#pragma once
// A wake-up a worker thread waits on beside a device: Signal, from any thread, makes the wait
// return at once. The system calls (eventfd, poll) stay here, out of the subsystems.
#include <cstdint>

namespace sys {

class WakeEvent {
 public:
  WakeEvent();
  ~WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;

  // Makes the current or the next wait return (signals do not pile up beyond one wake-up).
  void Signal();

  // What a wait saw.
  static constexpr int kTimedOut = 0;
  static constexpr int kDeviceReady = 1;  // the device has input, hung up or failed
  static constexpr int kWoken = 2;        // Signal was called (the event is cleared again)
  static constexpr int kInterrupted = -1; // a signal handler ran; wait again
  // Waits for input on the descriptor `fd` (or its hang-up or error) or for Signal, at most
  // `timeoutMs` (-1: no limit). Returns kTimedOut, kInterrupted, or kDeviceReady | kWoken bits.
  int WaitWith(int fd, int timeoutMs);
  // Waits for Signal only.
  int Wait(int timeoutMs) { return WaitWith(-1, timeoutMs); }

 private:
  int fd_ = -1;
};

}  // namespace sys

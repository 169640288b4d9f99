#pragma once
// Deadlines of the waits on devices and sockets. These wait on the system (poll), which the
// program clock does not drive, so they run on the real steady clock.
#include <chrono>
#include <cstdint>

namespace sys {

// Milliseconds on the real steady clock; never goes backwards.
inline int64_t SteadyNowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Milliseconds left until `deadline` (on SteadyNowMs; -1: none) as a poll time-out: -1 when
// there is no deadline, 0 once it has passed.
inline int IoRemainingMs(int64_t deadline) {
  if (deadline < 0) return -1;
  const int64_t left = deadline - SteadyNowMs();
  return left <= 0 ? 0 : static_cast<int>(left > 0x7fffffff ? 0x7fffffff : left);
}

}  // namespace sys

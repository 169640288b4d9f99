#include "platform/sys/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/sys/clock.h"
#include "platform/sys/wait_pump.h"

namespace sys {
namespace {

// All events share one lock and one condition: waits on several events at once stay
// simple, and the program has few events and little contention on them. Both are never
// destroyed: a thread may still wait while `exit` runs the static destructors.
std::mutex& Mu() {
  static auto* m = new std::mutex;
  return *m;
}
std::condition_variable_any& Cv() {
  static auto& cv = *new std::condition_variable_any;
  // Manual time moves only by Advance: wake the waiters then, so they look at their
  // deadlines. Notifying under the lock means a waiter between reading the time and
  // starting to wait cannot miss it.
  static const int token = Clock::AddAdvanceListener([] {
    std::lock_guard<std::mutex> g(Mu());
    cv.notify_all();
  });
  (void)token;
  return cv;
}

// The longest real wait between checks: bounds how late a switch of the clock between real
// and manual mode is noticed.
constexpr int64_t kMaxRealWaitMs = 100;

}  // namespace

Event::Event(bool manualReset, bool initiallySet) : manual_(manualReset), set_(initiallySet) {}

Event::~Event() = default;

void Event::Set() {
  {
    std::lock_guard<std::mutex> g(Mu());
    set_ = true;
  }
  Cv().notify_all();
}

void Event::Reset() {
  std::lock_guard<std::mutex> g(Mu());
  set_ = false;
}

bool Event::IsSet() const {
  std::lock_guard<std::mutex> g(Mu());
  return set_;
}

bool Event::Wait(int64_t timeoutMs) { return WaitAny({this}, timeoutMs) == 0; }

int Event::WaitAny(const std::vector<Event*>& events, int64_t timeoutMs) {
  if (events.empty()) return -1;
  const bool forever = timeoutMs < 0;
  const int64_t deadline = forever ? 0 : Clock::TickMs() + timeoutMs;
  std::unique_lock<std::mutex> lk(Mu());
  for (;;) {
    for (size_t i = 0; i < events.size(); ++i) {
      Event* e = events[i];
      if (e && e->set_) {
        if (!e->manual_) e->set_ = false;
        return static_cast<int>(i);
      }
    }
    const int64_t now = Clock::TickMs();
    if (!forever && now >= deadline) return -1;
    const bool pump = HasThreadWaitPump();
    // In manual mode an Advance wakes us (see Cv), so the real wait only bounds how late a
    // switch between the modes is noticed.
    int64_t wait = forever || Clock::IsManual() ? kMaxRealWaitMs : deadline - now;
    if (wait > kMaxRealWaitMs) wait = kMaxRealWaitMs;
    if (pump && wait > kWaitPumpSliceMs) wait = kWaitPumpSliceMs;
    Cv().wait_for(lk, std::chrono::milliseconds(wait));
    if (pump) {
      lk.unlock();
      RunThreadWaitPump();
      lk.lock();
    }
  }
}

}  // namespace sys

#include "platform/sys/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/sys/clock.h"
#include "platform/sys/wait_pump.h"

namespace sys {
namespace {

// All events share one lock and one condition: waits on several events at once stay
// simple, and the program has few events and little contention on them.
std::mutex& Mu() {
  static std::mutex m;
  return m;
}
std::condition_variable_any& Cv() {
  static std::condition_variable_any cv;
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
    int64_t wait;
    if (Clock::IsManual()) {
      wait = 1;  // manual time moves only by Advance; look again shortly
    } else {
      wait = forever ? kMaxRealWaitMs : deadline - now;
      if (wait > kMaxRealWaitMs) wait = kMaxRealWaitMs;
      if (pump && wait > kWaitPumpSliceMs) wait = kWaitPumpSliceMs;
    }
    Cv().wait_for(lk, std::chrono::milliseconds(wait));
    if (pump) {
      lk.unlock();
      RunThreadWaitPump();
      lk.lock();
    }
  }
}

}  // namespace sys

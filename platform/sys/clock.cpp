#include "platform/sys/clock.h"

#include <atomic>
#include <ctime>
#include <map>
#include <thread>

namespace sys {
namespace {

struct ClockState {
  std::mutex mu;
  std::atomic<bool> manual{false};
  std::atomic<int64_t> manualTick{0};
  int64_t manualWallMs = 0;  // manual wall clock, ms since 1970 (local interpretation)
  std::condition_variable_any advanced;
  std::map<int, std::function<void()>> listeners;
  int nextToken = 1;
};

ClockState& S() {
  static ClockState s;
  return s;
}

int64_t RealTick() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t RealWallMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

int64_t ToUnixSeconds(const LocalTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

LocalTime FromUnixSeconds(int64_t seconds) {
  std::time_t tt = static_cast<std::time_t>(seconds);
  std::tm tm{};
  localtime_r(&tt, &tm);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.dayOfWeek = tm.tm_wday;
  return t;
}

int64_t Clock::TickMs() {
  auto& s = S();
  return s.manual.load() ? s.manualTick.load() : RealTick();
}

int64_t Clock::UnixSeconds() {
  auto& s = S();
  if (s.manual.load()) {
    std::lock_guard<std::mutex> g(s.mu);
    return s.manualWallMs / 1000;
  }
  return RealWallMs() / 1000;
}

LocalTime Clock::Now() {
  auto& s = S();
  int64_t ms;
  if (s.manual.load()) {
    std::lock_guard<std::mutex> g(s.mu);
    ms = s.manualWallMs;
  } else {
    ms = RealWallMs();
  }
  LocalTime t = FromUnixSeconds(ms / 1000);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

void Clock::UseManual(const LocalTime& start) {
  auto& s = S();
  {
    std::lock_guard<std::mutex> g(s.mu);
    s.manualWallMs = ToUnixSeconds(start) * 1000 + start.millisecond;
    s.manualTick.store(1000000);  // far from zero so "tick - period" never goes negative
    s.manual.store(true);
  }
  s.advanced.notify_all();
}

void Clock::UseReal() {
  auto& s = S();
  s.manual.store(false);
  s.advanced.notify_all();
}

bool Clock::IsManual() { return S().manual.load(); }

void Clock::SetManualLocalTime(const LocalTime& t) {
  auto& s = S();
  std::lock_guard<std::mutex> g(s.mu);
  s.manualWallMs = ToUnixSeconds(t) * 1000 + t.millisecond;
}

void Clock::Advance(int64_t ms) {
  auto& s = S();
  if (!s.manual.load() || ms <= 0) return;
  std::map<int, std::function<void()>> listeners;
  {
    std::lock_guard<std::mutex> g(s.mu);
    s.manualTick.fetch_add(ms);
    s.manualWallMs += ms;
    listeners = s.listeners;
  }
  s.advanced.notify_all();
  for (auto& [token, fn] : listeners) fn();
}

void Clock::SleepMs(int64_t ms) {
  const bool pump = HasThreadWaitPump();
  if (ms <= 0) {
    if (pump) RunThreadWaitPump();
    std::this_thread::yield();
    return;
  }
  auto& s = S();
  if (!s.manual.load()) {
    if (!pump) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      return;
    }
    const int64_t deadline = RealTick() + ms;
    for (;;) {
      RunThreadWaitPump();
      const int64_t left = deadline - RealTick();
      if (left <= 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(left < kWaitPumpSliceMs ? left : kWaitPumpSliceMs));
    }
  }
  const int64_t deadline = TickMs() + ms;
  std::unique_lock<std::mutex> lk(s.mu);
  WaitUntil(s.advanced, lk, deadline, [] { return false; });
}

int Clock::AddAdvanceListener(std::function<void()> fn) {
  auto& s = S();
  std::lock_guard<std::mutex> g(s.mu);
  int token = s.nextToken++;
  s.listeners[token] = std::move(fn);
  return token;
}

void Clock::RemoveAdvanceListener(int token) {
  auto& s = S();
  std::lock_guard<std::mutex> g(s.mu);
  s.listeners.erase(token);
}

}  // namespace sys

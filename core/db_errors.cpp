#include "core/db_errors.h"

#include <deque>
#include <mutex>
#include <thread>

namespace {

struct State {
  std::mutex mutex;
  DbErrorSink sink;
  std::function<void()> wake;
  std::thread::id uiThread;
  std::deque<std::string> pending;
  std::deque<std::string> recent;
};

State& S() {
  static State s;
  return s;
}

thread_local DbErrorDiversion* t_diversion = nullptr;

}  // namespace

DbErrorDiversion::DbErrorDiversion(std::function<void(const std::string&)> divert)
    : divert_(std::move(divert)), outer_(t_diversion) {
  t_diversion = this;
}

DbErrorDiversion::~DbErrorDiversion() { t_diversion = outer_; }

void SetDbErrorSink(DbErrorSink sink) {
  State& s = S();
  std::lock_guard<std::mutex> g(s.mutex);
  s.sink = std::move(sink);
  s.uiThread = std::this_thread::get_id();
}

void SetDbErrorWake(std::function<void()> wake) {
  State& s = S();
  std::lock_guard<std::mutex> g(s.mutex);
  s.wake = std::move(wake);
}

void ReportDbError(const std::string& text) {
  State& s = S();
  DbErrorSink sink;
  std::function<void()> wake;
  DbErrorDiversion* diverted = nullptr;
  {
    std::lock_guard<std::mutex> g(s.mutex);
    s.recent.push_back(text);
    if (s.recent.size() > 100) s.recent.pop_front();
    if (t_diversion != nullptr) {
      diverted = t_diversion;
    } else if (!s.sink) {
      return;
    } else if (std::this_thread::get_id() == s.uiThread) {
      sink = s.sink;
    } else {
      s.pending.push_back(text);
      wake = s.wake;
    }
  }
  // Outside the mutex: the sink runs a modal box, and a wake-up may post to a window.
  if (diverted != nullptr) {
    // The diversion's owner runs it on this thread; it may not block on the operator.
    diverted->divert_(text);
    return;
  }
  if (sink) sink(text);
  if (wake) wake();
}

int DeliverPendingDbErrors() {
  State& s = S();
  int n = 0;
  for (;;) {
    std::string text;
    DbErrorSink sink;
    {
      std::lock_guard<std::mutex> g(s.mutex);
      if (s.pending.empty() || !s.sink) return n;
      text = std::move(s.pending.front());
      s.pending.pop_front();
      sink = s.sink;
    }
    sink(text);
    ++n;
  }
}

std::vector<std::string> RecentDbErrors() {
  State& s = S();
  std::lock_guard<std::mutex> g(s.mutex);
  return std::vector<std::string>(s.recent.begin(), s.recent.end());
}

void ClearRecentDbErrors() {
  State& s = S();
  std::lock_guard<std::mutex> g(s.mutex);
  s.recent.clear();
}

#include "platform/sys/thread.h"

#include <system_error>

#include "platform/sys/crash_handler.h"

namespace sys {

struct Thread::State {
  Event done{true, false};
};

Thread::Thread() = default;

Thread::~Thread() {
  if (!thread_.joinable()) return;
  if (state_ && state_->done.IsSet())
    thread_.join();
  else
    thread_.detach();  // the thread keeps its State alive through its own reference
}

bool Thread::Start(std::function<void()> fn, std::string* error) {
  if (thread_.joinable()) {
    if (IsRunning()) {
      if (error) *error = "thread already running";
      return false;
    }
    thread_.join();
  }
  auto state = std::make_shared<State>();
  try {
    thread_ = std::thread([state, fn = std::move(fn)] {
      {
        ThreadCrashStack crashStack;
        if (fn) fn();
      }
      state->done.Set();
    });
  } catch (const std::system_error& e) {
    if (error) *error = e.what();
    return false;
  }
  state_ = std::move(state);
  return true;
}

bool Thread::Join(int64_t timeoutMs) {
  if (!thread_.joinable()) return true;
  if (thread_.get_id() == std::this_thread::get_id()) return false;  // would wait for itself
  if (!state_->done.Wait(timeoutMs)) return false;
  thread_.join();
  return true;
}

bool Thread::IsRunning() const { return thread_.joinable() && state_ && !state_->done.IsSet(); }

}  // namespace sys

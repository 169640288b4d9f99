#pragma once
// A worker thread. Dropping the object without joining lets a still-running thread finish
// on its own (as closing a thread handle does); its function must then not use objects
// that die with the owner.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/sys/event.h"

namespace sys {

class Thread {
 public:
  Thread();
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts `fn` on a new thread. False (with the reason in *error) when a thread is already
  // running in this object or the system refuses a new one.
  bool Start(std::function<void()> fn, std::string* error = nullptr);

  // Waits for the thread to end: kWaitForever, or a limit in program-clock milliseconds.
  // True when the thread has ended (or none was started). On a thread with a wait pump the
  // pump is called meanwhile.
  bool Join(int64_t timeoutMs = kWaitForever);

  // True from Start until the function returns.
  bool IsRunning() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace sys

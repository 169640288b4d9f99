#include "platform/sys/wait_pump.h"

namespace sys {
namespace {
thread_local std::function<void()> t_pump;
}

void SetThreadWaitPump(std::function<void()> pump) { t_pump = std::move(pump); }

bool HasThreadWaitPump() { return static_cast<bool>(t_pump); }

bool RunThreadWaitPump() {
  if (!t_pump) return false;
  // A copy, so a pump that replaces itself does not destroy the running function.
  std::function<void()> pump = t_pump;
  pump();
  return true;
}

}  // namespace sys

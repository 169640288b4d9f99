#include "platform/sys/termination.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

namespace sys {

bool InstallTerminationHandler(std::function<void(int signal)> handler) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return false;
  try {
    std::thread([set, handler = std::move(handler)] {
      for (;;) {
        int sig = 0;
        if (sigwait(&set, &sig) != 0) continue;
        handler(sig);
      }
    }).detach();
  } catch (...) {
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    return false;
  }
  return true;
}

}  // namespace sys

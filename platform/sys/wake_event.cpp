#include "platform/sys/wake_event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace sys {

WakeEvent::WakeEvent() { fd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

WakeEvent::~WakeEvent() {
  if (fd_ >= 0) ::close(fd_);
}

void WakeEvent::Signal() {
  if (fd_ < 0) return;
  const uint64_t one = 1;
  // A full counter (never in practice) still leaves the event readable: nothing is lost.
  [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
}

int WakeEvent::WaitWith(int fd, int timeoutMs) {
  pollfd fds[2] = {{fd_, POLLIN, 0}, {fd, POLLIN, 0}};
  const nfds_t count = fd >= 0 ? 2 : 1;
  const int n = ::poll(fds, count, timeoutMs);
  if (n < 0) return errno == EINTR ? kInterrupted : kTimedOut;
  int seen = kTimedOut;
  if (fds[0].revents & POLLIN) {
    uint64_t v;
    while (::read(fd_, &v, sizeof v) > 0) {
    }
    seen |= kWoken;
  }
  if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL))) seen |= kDeviceReady;
  return seen;
}

}  // namespace sys

#include "platform/net/tcp_listener.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "platform/net/socket_text.h"

namespace net {

TcpListener::TcpListener() { wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

TcpListener::~TcpListener() {
  Close();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

Status TcpListener::Listen(const std::string& host, uint16_t port, int backlog) {
  Close();
  stop_ = false;
  uint64_t v;
  while (::read(wakeFd_, &v, sizeof v) > 0) {
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
  char service[8];
  std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
  addrinfo* list = nullptr;
  const int rc = ::getaddrinfo(host.c_str(), service, &hints, &list);
  if (rc != 0) return {Error::HostUnknown, "\"" + host + "\" is not an address to listen on"};
  const int s = ::socket(list->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
  if (s < 0) {
    ::freeaddrinfo(list);
    return {Error::Io, ErrnoText("cannot create a socket", errno)};
  }
  const int one = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  const std::string where = AddressText(list->ai_addr);
  if (::bind(s, list->ai_addr, list->ai_addrlen) != 0 || ::listen(s, backlog) != 0) {
    const int err = errno;
    ::freeaddrinfo(list);
    ::close(s);
    return {Error::Io, ErrnoText("cannot listen on " + where, err)};
  }
  ::freeaddrinfo(list);
  sockaddr_storage ss{};
  socklen_t len = sizeof ss;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&ss), &len);
  port_ = ss.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port)
                                   : ntohs(reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
  fd_ = s;
  return {};
}

Status TcpListener::Accept(TcpClient* client, int timeoutMs) {
  if (fd_ < 0) return {Error::NotConnected, "not listening"};
  using namespace std::chrono;
  const auto deadline = steady_clock::now() + milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    if (stop_) return {Error::Stopped, "the listener was shut down"};
    const int c = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (c >= 0) {
      Status s = client->Adopt(c);
      if (!s) ::close(c);
      return s;
    }
    if (errno == EINTR || errno == ECONNABORTED) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return {Error::Io, ErrnoText("accept failed", errno)};
    int wait = -1;
    if (timeoutMs >= 0) {
      const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
      if (left <= 0) return {Error::TimedOut, "no connection came in time"};
      wait = static_cast<int>(left);
    }
    pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(p, 2, wait) < 0 && errno != EINTR) return {Error::Io, ErrnoText("waiting to accept failed", errno)};
  }
}

void TcpListener::Shutdown() {
  stop_ = true;
  const uint64_t one = 1;
  ssize_t r = ::write(wakeFd_, &one, sizeof one);
  (void)r;
}

void TcpListener::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  port_ = 0;
}

}  // namespace net

#include "platform/net/tcp_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/net/socket_send.h"
#include "platform/net/socket_text.h"
#include "platform/sys/io_deadline.h"

namespace net {

namespace {

// Host names are letters, digits, '-', '.', '_'; addresses add ':' and an IPv6 zone '%'.
// Anything else is refused before a lookup goes out.
bool PlausibleHost(const std::string& h) {
  if (h.empty() || h.size() > 253) return false;
  for (unsigned char c : h)
    if (!std::isalnum(c) && c != '-' && c != '.' && c != '_' && c != ':' && c != '%') return false;
  return true;
}

}  // namespace

TcpClient::TcpClient() { wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

TcpClient::~TcpClient() {
  Close();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool TcpClient::Enter(bool needConnected) {
  std::lock_guard<std::mutex> g(mutex_);
  if (fd_ < 0 || closing_ || (needConnected && !connected_)) return false;
  ++active_;
  return true;
}

void TcpClient::Leave() {
  std::lock_guard<std::mutex> g(mutex_);
  if (--active_ == 0) idle_.notify_all();
}

void TcpClient::Wake() {
  const uint64_t one = 1;
  ssize_t r = ::write(wakeFd_, &one, sizeof one);
  (void)r;
}

void TcpClient::DrainWake() {
  uint64_t v;
  while (::read(wakeFd_, &v, sizeof v) > 0) {
  }
}

int TcpClient::WaitFor(int fd, short events, int timeoutMs, int* err) {
  pollfd p[2];
  p[0] = {fd, events, 0};
  p[1] = {wakeFd_, POLLIN, 0};
  for (;;) {
    if (stop_ || closing_) return -1;
    const int n = ::poll(p, 2, timeoutMs);
    if (n < 0) {
      if (errno == EINTR) continue;
      *err = errno;
      return -2;
    }
    if ((p[1].revents & POLLIN) || stop_ || closing_) return -1;
    return n == 0 ? 0 : 1;
  }
}

void TcpClient::MarkBroken() { connected_ = false; }

Status TcpClient::ConnectOne(const void* addr, unsigned addrLen, int64_t deadline, const std::string& where) {
  const int family = static_cast<const sockaddr*>(addr)->sa_family;
  const int s = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
  if (s < 0) return {Error::Io, ErrnoText("cannot create a socket", errno)};
  {
    std::lock_guard<std::mutex> g(mutex_);
    if (stop_ || closing_) {
      ::close(s);
      return {Error::Stopped, "connecting to " + where + " was stopped"};
    }
    fd_ = s;
    ++active_;
  }
  int err = 0;
  bool stopped = false, timedOut = false;
  if (::connect(s, static_cast<const sockaddr*>(addr), addrLen) != 0) {
    err = errno;
    if (err == EINPROGRESS || err == EINTR) {
      err = 0;
      const int w = WaitFor(s, POLLOUT, sys::IoRemainingMs(deadline), &err);
      if (w == -1) {
        stopped = true;
      } else if (w == 0) {
        timedOut = true;
      } else if (w == 1) {
        socklen_t len = sizeof err;
        if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        if (stop_ || closing_) stopped = true;
      }
    }
  }
  Status result;
  if (stopped) result = {Error::Stopped, "connecting to " + where + " was stopped"};
  else if (timedOut) result = {Error::TimedOut, "no answer from " + where + " in time"};
  else if (err != 0) result = FromErrno(err, where);
  std::lock_guard<std::mutex> g(mutex_);
  if (!result.ok()) {
    fd_ = -1;
    ::close(s);
  } else {
    const int one = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    peer_ = where;
    connected_ = true;
  }
  if (--active_ == 0) idle_.notify_all();
  return result;
}

Status TcpClient::Connect(const std::string& host, uint16_t port, int timeoutMs) {
  Close();
  {
    std::lock_guard<std::mutex> g(mutex_);
    stop_ = false;
    DrainWake();
  }
  if (!PlausibleHost(host)) return {Error::HostUnknown, "\"" + host + "\" is not a host name or address"};
  const int64_t deadline = timeoutMs < 0 ? -1 : sys::SteadyNowMs() + timeoutMs;

  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_NUMERICSERV;
  char service[8];
  std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
  addrinfo* list = nullptr;
  const int rc = ::getaddrinfo(host.c_str(), service, &hints, &list);
  if (rc != 0) {
    if (rc == EAI_SYSTEM) return {Error::Io, ErrnoText("looking up " + host + " failed", errno)};
    return {Error::HostUnknown, "host " + host + " is unknown (" + ::gai_strerror(rc) + ")"};
  }
  Status last{Error::HostUnknown, "host " + host + " has no address"};
  for (addrinfo* a = list; a; a = a->ai_next) {
    const std::string where = AddressText(a->ai_addr);
    last = ConnectOne(a->ai_addr, a->ai_addrlen, deadline, where);
    if (last.ok() || last.error == Error::Stopped || last.error == Error::TimedOut) break;
  }
  ::freeaddrinfo(list);
  return last;
}

Status TcpClient::Adopt(int fd) {
  Close();
  if (fd < 0) return {Error::NotConnected, "no socket to adopt"};
  sockaddr_storage ss{};
  socklen_t len = sizeof ss;
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&ss), &len) != 0)
    return {Error::NotConnected, ErrnoText("the socket is not connected", errno)};
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  std::lock_guard<std::mutex> g(mutex_);
  fd_ = fd;
  stop_ = false;
  DrainWake();
  peer_ = AddressText(reinterpret_cast<sockaddr*>(&ss));
  connected_ = true;
  return {};
}

IoResult TcpClient::Send(const void* data, size_t len, int timeoutMs) {
  if (!Enter(true)) {
    if (stop_) return {0, Error::Stopped, "the connection was shut down"};
    return {0, Error::NotConnected, "not connected"};
  }
  IoResult r;
  const int64_t deadline = timeoutMs < 0 ? -1 : sys::SteadyNowMs() + timeoutMs;
  {
    std::lock_guard<std::mutex> one(sendMutex_);
    const auto* p = static_cast<const unsigned char*>(data);
    while (r.count < len) {
      if (stop_ || closing_) {
        r.error = Error::Stopped;
        r.text = "the connection was shut down";
        break;
      }
      const long n = SendSome(fd_, p + r.count, len - r.count, MSG_DONTWAIT);
      if (n > 0) {
        r.count += static_cast<size_t>(n);
        continue;
      }
      const int err = n < 0 ? errno : EAGAIN;
      if (err == EINTR) continue;
      if (err != EAGAIN && err != EWOULDBLOCK) {
        if (stop_ || closing_) {
          r.error = Error::Stopped;
          r.text = "the connection was shut down";
        } else {
          const Status s = FromErrno(err, peer_);
          r.error = s.error;
          r.text = s.text;
          MarkBroken();
        }
        break;
      }
      if (deadline >= 0 && sys::SteadyNowMs() >= deadline) {
        r.error = Error::TimedOut;
        break;
      }
      int werr = 0;
      const int w = WaitFor(fd_, POLLOUT, sys::IoRemainingMs(deadline), &werr);
      if (w == -1) {
        r.error = Error::Stopped;
        r.text = "the connection was shut down";
        break;
      }
      if (w == -2) {
        r.error = Error::Io;
        r.text = ErrnoText("waiting to send failed", werr);
        break;
      }
      if (w == 0) {
        r.error = Error::TimedOut;
        break;
      }
    }
  }
  if (r.error == Error::TimedOut) {
    char t[200];
    std::snprintf(t, sizeof t, "sending to %s timed out after %zu of %zu bytes", peer_.c_str(), r.count, len);
    r.text = t;
  }
  Leave();
  return r;
}

IoResult TcpClient::Receive(void* buf, size_t max, int timeoutMs) {
  if (!Enter(true)) {
    if (stop_) return {0, Error::Stopped, "the connection was shut down"};
    return {0, Error::NotConnected, "not connected"};
  }
  IoResult r;
  const int64_t deadline = timeoutMs < 0 ? -1 : sys::SteadyNowMs() + timeoutMs;
  for (;;) {
    if (stop_ || closing_) {
      r = {0, Error::Stopped, "the connection was shut down"};
      break;
    }
    if (max == 0) break;
    const ssize_t n = ::recv(fd_, buf, max, MSG_DONTWAIT);
    if (n > 0) {
      r.count = static_cast<size_t>(n);
      break;
    }
    const int err = n < 0 ? errno : 0;
    if (err == EINTR) continue;
    // A shutdown of our own also makes recv report the end of the stream.
    if ((n == 0 || (err != EAGAIN && err != EWOULDBLOCK)) && (stop_ || closing_)) {
      r = {0, Error::Stopped, "the connection was shut down"};
      break;
    }
    if (n == 0) {
      r = {0, Error::Closed, "the connection was closed by " + peer_};
      MarkBroken();
      break;
    }
    if (err != EAGAIN && err != EWOULDBLOCK) {
      const Status s = FromErrno(err, peer_);
      r = {0, s.error, s.text};
      MarkBroken();
      break;
    }
    int werr = 0;
    const int w = WaitFor(fd_, POLLIN, sys::IoRemainingMs(deadline), &werr);
    if (w == -1) {
      r = {0, Error::Stopped, "the connection was shut down"};
      break;
    }
    if (w == -2) {
      r = {0, Error::Io, ErrnoText("waiting to receive failed", werr)};
      break;
    }
    if (w == 0) {
      r = {0, Error::TimedOut, "nothing received from " + peer_ + " in time"};
      break;
    }
  }
  Leave();
  return r;
}

void TcpClient::Shutdown() {
  std::lock_guard<std::mutex> g(mutex_);
  stop_ = true;
  connected_ = false;
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
  Wake();
}

void TcpClient::Release(bool reset) {
  std::unique_lock<std::mutex> g(mutex_);
  if (fd_ < 0) return;
  closing_ = true;
  Wake();
  idle_.wait(g, [this] { return active_ == 0; });
  if (fd_ >= 0) {
    if (reset) {
      const linger l{1, 0};
      ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    }
    ::close(fd_);
  }
  fd_ = -1;
  connected_ = false;
  peer_.clear();
  closing_ = false;
  DrainWake();
  if (stop_) Wake();
}

void TcpClient::Close() { Release(false); }
void TcpClient::Abort() { Release(true); }

bool TcpClient::IsConnected() const {
  std::lock_guard<std::mutex> g(mutex_);
  return fd_ >= 0 && connected_ && !stop_;
}

std::string TcpClient::PeerText() const {
  std::lock_guard<std::mutex> g(mutex_);
  return connected_ ? peer_ : std::string();
}

int TcpClient::Fd() const {
  std::lock_guard<std::mutex> g(mutex_);
  return fd_;
}

}  // namespace net

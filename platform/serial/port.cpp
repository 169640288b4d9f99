#include "platform/serial/port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/serial/line_settings.h"
#include "platform/sys/io_deadline.h"

namespace serial {

namespace {

std::string SysText(const std::string& what, int err) {
  return what + ": " + std::strerror(err);
}

Status OpenError(const std::string& path, int err) {
  switch (err) {
    case ENOENT: case ENXIO: case ENODEV:
      return {Error::NotFound, "serial device " + path + " does not exist"};
    case EBUSY:
      return {Error::Busy, "serial device " + path + " is in use by another program"};
    case EACCES: case EPERM:
      return {Error::Permission, "no permission to open serial device " + path};
    default:
      return {Error::Io, SysText("cannot open serial device " + path, err)};
  }
}

// Unix98 pseudo-terminal slaves use majors 136 to 143.
bool IsPtySlave(int fd) {
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const unsigned m = major(st.st_rdev);
  return m >= 136 && m <= 143;
}

bool NoModemLines(int err) { return err == EINVAL || err == ENOTTY || err == ENOTSUP || err == EIO; }

}  // namespace

Port::Port() {}

Port::~Port() {
  Close();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool Port::Enter() {
  std::lock_guard<std::mutex> g(mutex_);
  if (fd_ < 0 || closing_) return false;
  ++active_;
  return true;
}

void Port::Leave() {
  std::lock_guard<std::mutex> g(mutex_);
  if (--active_ == 0) idle_.notify_all();
}

void Port::Wake() {
  if (wakeFd_ < 0) return;
  const uint64_t one = 1;
  // The counter cannot overflow in practice; a failed write only means it is readable already.
  ssize_t r = ::write(wakeFd_, &one, sizeof one);
  (void)r;
}

void Port::DrainWake() {
  if (wakeFd_ < 0) return;
  uint64_t v;
  while (::read(wakeFd_, &v, sizeof v) > 0) {
  }
}

void Port::RequestStop() {
  stop_.store(true);
  Wake();
}

void Port::ClearStop() {
  std::lock_guard<std::mutex> g(mutex_);
  stop_.store(false);
  if (!closing_) DrainWake();
}

Status Port::Open(const std::string& name, const Settings& settings) {
  Close();
  std::string path, why;
  if (!DevicePathFor(name, &path, &why)) return {Error::BadSetting, why};
  Status v = ValidateSettings(settings);
  if (!v) return v;

  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return OpenError(path, errno);
  // flock guards against a second open by any process, privileged or not; TIOCEXCL keeps
  // unprivileged programs that do not use flock away as well.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return {Error::Busy, "serial device " + path + " is already open"};
    return {Error::Io, SysText("cannot lock serial device " + path, err)};
  }
  termios t{};
  if (::tcgetattr(fd, &t) != 0) {
    const int err = errno;
    ::close(fd);
    if (err == ENOTTY) return {Error::NotSerial, path + " is not a serial device"};
    return {Error::Io, SysText("cannot read the settings of " + path, err)};
  }
  ::ioctl(fd, TIOCEXCL);

  {
    std::lock_guard<std::mutex> g(mutex_);
    if (wakeFd_ < 0) wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    fd_ = fd;
    path_ = path;
    locked_ = true;
    pty_ = IsPtySlave(fd);
    stop_.store(false);
    DrainWake();
  }
  Status c = Configure(settings);
  if (!c) {
    Close();
    return c;
  }
  if (settings.rts) {
    const int bits = TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIS, &bits) != 0 && !NoModemLines(errno)) {
      const int err = errno;
      Close();
      return {Error::Io, SysText("cannot raise RTS on " + path, err)};
    }
  } else {
    const int bits = TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &bits);
  }
  Purge(PurgeWhat::Both);
  return {};
}

Status Port::Adopt(int fd, const std::string& name) {
  Close();
  if (fd < 0) return {Error::NotOpen, "no descriptor to adopt"};
  termios t{};
  if (::tcgetattr(fd, &t) != 0) return {Error::NotSerial, name + " is not a terminal"};
  cfmakeraw(&t);
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  ::tcsetattr(fd, TCSANOW, &t);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  std::lock_guard<std::mutex> g(mutex_);
  if (wakeFd_ < 0) wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  fd_ = fd;
  path_ = name;
  locked_ = false;
  pty_ = false;
  stop_.store(false);
  DrainWake();
  return {};
}

Status Port::Configure(const Settings& settings) {
  Status v = ValidateSettings(settings);
  if (!v) return v;
  if (!Enter()) return {Error::NotOpen, "the serial port is not open"};
  termios t{};
  Status result;
  if (::tcgetattr(fd_, &t) != 0) {
    result = {Error::Io, SysText("cannot read the settings of " + path_, errno)};
  } else {
    // The pseudo-terminal driver always runs 8 bits without parity, and asking it again for
    // parity is refused once it has forced that; so a pseudo-terminal gets only what it can do.
    Settings wanted = settings;
    if (pty_) {
      wanted.dataBits = 8;
      wanted.parity = Parity::None;
    }
    MakeRawTermios(wanted, &t);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
      result = {Error::BadSetting, SysText("the settings were refused by " + path_, errno)};
    } else {
      // tcsetattr succeeds when any part was applied, so compare what the device now holds.
      termios back{};
      Settings got;
      if (::tcgetattr(fd_, &back) != 0) {
        result = {Error::Io, SysText("cannot read back the settings of " + path_, errno)};
      } else {
        SettingsFromTermios(back, &got);
        if (pty_) {
          // The pseudo-terminal driver forces 8 bits without parity; nothing to compare there.
          got.dataBits = settings.dataBits;
          got.parity = settings.parity;
        }
        char buf[200];
        if (got.baud != settings.baud || got.dataBits != settings.dataBits || got.parity != settings.parity ||
            got.stopBits != settings.stopBits || got.xonXoff != settings.xonXoff) {
          std::snprintf(buf, sizeof buf,
                        "%s did not accept %d %d%c%d%s (it reports %d %d%c%d%s)", path_.c_str(), settings.baud,
                        settings.dataBits, ParityLetter(settings.parity), settings.stopBits,
                        settings.xonXoff ? " XON/XOFF" : "", got.baud, got.dataBits, ParityLetter(got.parity),
                        got.stopBits, got.xonXoff ? " XON/XOFF" : "");
          result = {Error::BadSetting, buf};
        } else {
          std::lock_guard<std::mutex> g(mutex_);
          applied_ = settings;
        }
      }
    }
  }
  Leave();
  return result;
}

Status Port::GetSettings(Settings* out) const {
  std::lock_guard<std::mutex> g(mutex_);
  if (fd_ < 0) return {Error::NotOpen, "the serial port is not open"};
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) return {Error::Io, SysText("cannot read the settings of " + path_, errno)};
  SettingsFromTermios(t, out);
  if (pty_) {
    out->dataBits = applied_.dataBits;
    out->parity = applied_.parity;
  }
  int bits = 0;
  out->rts = ::ioctl(fd_, TIOCMGET, &bits) == 0 ? (bits & TIOCM_RTS) != 0 : false;
  return {};
}

Status Port::SetRts(bool on) {
  if (!Enter()) return {Error::NotOpen, "the serial port is not open"};
  const int bits = TIOCM_RTS;
  Status result;
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
    const int err = errno;
    result = NoModemLines(err) ? Status{Error::BadSetting, path_ + " has no RTS line"}
                               : Status{Error::Io, SysText("cannot set RTS on " + path_, err)};
  }
  Leave();
  return result;
}

Status Port::Purge(PurgeWhat what) {
  if (!Enter()) return {Error::NotOpen, "the serial port is not open"};
  const int q = what == PurgeWhat::Input ? TCIFLUSH : what == PurgeWhat::Output ? TCOFLUSH : TCIOFLUSH;
  Status result;
  if (::tcflush(fd_, q) != 0) result = {Error::Io, SysText("cannot purge " + path_, errno)};
  Leave();
  return result;
}

int Port::WaitFor(short events, int timeoutMs, short* revents, int* err) {
  pollfd p[2];
  p[0] = {fd_, events, 0};
  p[1] = {wakeFd_, POLLIN, 0};
  for (;;) {
    if (stop_.load() || closing_) return -1;
    const int n = ::poll(p, 2, timeoutMs);
    if (n < 0) {
      if (errno == EINTR) continue;  // the caller recomputes its time-out on the next pass
      *err = errno;
      return -2;
    }
    if (p[1].revents & POLLIN) return -1;
    if (n == 0) return 0;
    *revents = p[0].revents;
    return 1;
  }
}

IoResult Port::Read(void* buf, size_t max, int timeoutMs) {
  IoResult r;
  if (!Enter()) return {0, Error::NotOpen, "the serial port is not open"};
  const int64_t deadline = timeoutMs < 0 ? -1 : sys::SteadyNowMs() + timeoutMs;
  for (;;) {
    if (stop_.load() || closing_) {
      r.error = Error::Stopped;
      break;
    }
    const ssize_t n = max == 0 ? 0 : ::read(fd_, buf, max);
    if (n > 0) {
      r.count = static_cast<size_t>(n);
      break;
    }
    if (max == 0) break;
    if (n == 0) {
      r = {0, Error::Closed, "the other end of " + path_ + " hung up"};
      break;
    }
    if (errno == EINTR) continue;
    if (errno == EIO) {
      // A pseudo-terminal whose other side has gone, or a device that was unplugged.
      r = {0, Error::Closed, "the other end of " + path_ + " hung up"};
      break;
    }
    if (errno != EAGAIN) {
      r = {0, Error::Io, SysText("read from " + path_ + " failed", errno)};
      break;
    }
    short rev = 0;
    int err = 0;
    const int w = WaitFor(POLLIN, sys::IoRemainingMs(deadline), &rev, &err);
    if (w == -1) {
      r.error = Error::Stopped;
      break;
    }
    if (w == -2) {
      r = {0, Error::Io, SysText("waiting on " + path_ + " failed", err)};
      break;
    }
    if (w == 0) {
      r.error = Error::TimedOut;
      break;
    }
    if ((rev & (POLLHUP | POLLERR | POLLNVAL)) && !(rev & POLLIN)) {
      r = {0, Error::Closed, "the other end of " + path_ + " hung up"};
      break;
    }
  }
  Leave();
  return r;
}

IoResult Port::Write(const void* buf, size_t len, int timeoutMs) {
  IoResult r;
  if (!Enter()) return {0, Error::NotOpen, "the serial port is not open"};
  const int64_t deadline = timeoutMs < 0 ? -1 : sys::SteadyNowMs() + timeoutMs;
  {
    std::unique_lock<std::mutex> w(writeMutex_);
    const auto* p = static_cast<const unsigned char*>(buf);
    while (r.count < len) {
      if (stop_.load() || closing_) {
        r.error = Error::Stopped;
        break;
      }
      const ssize_t n = ::write(fd_, p + r.count, len - r.count);
      if (n > 0) {
        r.count += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EIO) {
        r.error = Error::Closed;
        r.text = "the other end of " + path_ + " hung up";
        break;
      }
      if (n < 0 && errno != EAGAIN) {
        r.error = Error::Io;
        r.text = SysText("write to " + path_ + " failed", errno);
        break;
      }
      if (deadline >= 0 && sys::SteadyNowMs() >= deadline) {
        r.error = Error::TimedOut;
        break;
      }
      short rev = 0;
      int err = 0;
      const int wr = WaitFor(POLLOUT, sys::IoRemainingMs(deadline), &rev, &err);
      if (wr == -1) {
        r.error = Error::Stopped;
        break;
      }
      if (wr == -2) {
        r.error = Error::Io;
        r.text = SysText("waiting on " + path_ + " failed", err);
        break;
      }
      if (wr == 0) {
        r.error = Error::TimedOut;
        break;
      }
      if ((rev & (POLLHUP | POLLERR | POLLNVAL)) && !(rev & POLLOUT)) {
        r.error = Error::Closed;
        r.text = "the other end of " + path_ + " hung up";
        break;
      }
    }
  }
  if (r.error == Error::TimedOut) {
    char t[160];
    std::snprintf(t, sizeof t, "writing to %s timed out after %zu of %zu bytes", path_.c_str(), r.count, len);
    r.text = t;
  }
  Leave();
  return r;
}

Status Port::Drain(int timeoutMs) {
  if (!Enter()) return {Error::NotOpen, "the serial port is not open"};
  // tcdrain cannot be bounded, so watch the output queue instead.
  const int64_t deadline = timeoutMs < 0 ? -1 : sys::SteadyNowMs() + timeoutMs;
  Status result;
  for (;;) {
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
    if (stop_.load() || closing_) {
      result = {Error::Stopped, "stopped"};
      break;
    }
    if (deadline >= 0 && sys::SteadyNowMs() >= deadline) {
      result = {Error::TimedOut, "output of " + path_ + " did not drain in time"};
      break;
    }
    pollfd p{wakeFd_, POLLIN, 0};
    ::poll(&p, 1, 2);
  }
  Leave();
  return result;
}

void Port::Close() {
  std::unique_lock<std::mutex> g(mutex_);
  if (fd_ < 0) return;
  closing_ = true;
  Wake();
  idle_.wait(g, [this] { return active_ == 0; });
  if (locked_) {
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
  }
  ::close(fd_);
  fd_ = -1;
  locked_ = false;
  pty_ = false;
  path_.clear();
  closing_ = false;
  DrainWake();
  // A stop request made for this session stays visible until the next Open or ClearStop.
  if (stop_.load()) Wake();
}

bool Port::IsOpen() const {
  std::lock_guard<std::mutex> g(mutex_);
  return fd_ >= 0;
}

bool Port::IsPseudoTerminal() const {
  std::lock_guard<std::mutex> g(mutex_);
  return fd_ >= 0 && pty_;
}

std::string Port::DevicePath() const {
  std::lock_guard<std::mutex> g(mutex_);
  return path_;
}

int Port::Fd() const {
  std::lock_guard<std::mutex> g(mutex_);
  return fd_;
}

}  // namespace serial

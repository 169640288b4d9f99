#include "platform/serial/pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/serial/line_settings.h"

namespace serial {

Status OpenPtyMaster(int* masterFd, std::string* slavePath) {
  const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {Error::Io, std::string("cannot create a pseudo-terminal: ") + std::strerror(errno)};
  char name[128];
  if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0) {
    const int err = errno;
    ::close(fd);
    return {Error::Io, std::string("cannot prepare the pseudo-terminal: ") + std::strerror(err)};
  }
  const int flags = ::fcntl(fd, F_GETFL);
  ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  *masterFd = fd;
  *slavePath = name;
  return {};
}

PtyPair::~PtyPair() { Close(); }

Status PtyPair::Create() {
  Close();
  int fd = -1;
  std::string path;
  Status s = OpenPtyMaster(&fd, &path);
  if (!s) return s;
  const int keep = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (keep < 0) {
    const int err = errno;
    ::close(fd);
    return {Error::Io, "cannot open " + path + ": " + std::strerror(err)};
  }
  // Raw and silent until the program sets its own line: a cooked slave would echo what the
  // master writes back to the master.
  termios t{};
  ::tcgetattr(keep, &t);
  MakeRawTermios(Settings{}, &t);
  ::tcsetattr(keep, TCSANOW, &t);
  s = master_.Adopt(fd, "pseudo-terminal master of " + path);
  if (!s) {
    ::close(fd);
    ::close(keep);
    return s;
  }
  slaveKeep_ = keep;
  slavePath_ = path;
  return {};
}

Status PtyPair::SlaveSettings(Settings* out) const {
  if (slaveKeep_ < 0) return {Error::NotOpen, "the pseudo-terminal is not open"};
  termios t{};
  if (::tcgetattr(slaveKeep_, &t) != 0)
    return {Error::Io, std::string("cannot read the slave's settings: ") + std::strerror(errno)};
  SettingsFromTermios(t, out);
  out->rts = false;
  return {};
}

Status PtyPair::LinkSlave(const std::string& linkPath) {
  if (slaveKeep_ < 0) return {Error::NotOpen, "the pseudo-terminal is not open"};
  struct stat st{};
  if (::lstat(linkPath.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) return {Error::Busy, linkPath + " exists and is not a link"};
    ::unlink(linkPath.c_str());
  }
  if (::symlink(slavePath_.c_str(), linkPath.c_str()) != 0)
    return {Error::Io, "cannot create the link " + linkPath + ": " + std::strerror(errno)};
  if (!link_.empty() && link_ != linkPath) ::unlink(link_.c_str());
  link_ = linkPath;
  return {};
}

void PtyPair::Close() {
  if (!link_.empty()) {
    // Remove the link only while it still points at our slave.
    char target[256];
    const ssize_t n = ::readlink(link_.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<size_t>(n)) == slavePath_) ::unlink(link_.c_str());
    link_.clear();
  }
  master_.Close();
  if (slaveKeep_ >= 0) ::close(slaveKeep_);
  slaveKeep_ = -1;
  slavePath_.clear();
}

}  // namespace serial

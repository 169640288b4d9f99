#include "platform/sys/single_instance.h"

#include "platform/sys/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sys {

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::Result SingleInstance::Acquire(const std::string& name, const std::string& folder) {
  if (fd_ >= 0) return Result::kFirst;
  std::string dir = folder;
  if (dir.empty()) {
    const char* run = std::getenv("XDG_RUNTIME_DIR");
    dir = run && *run ? run : "/tmp";
  }
  if (dir.back() != '/') dir += '/';
  std::string file = name.empty() ? std::string("quorvex") : name;
  for (char& c : file)
    if (c == '/' || c == '\\') c = '_';  // a name, not a path
  path_ = dir + file + ".lock";
  // Close-on-exec: programs we start must not inherit (and so keep) the lock.
  int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    error_ = "cannot open " + path_ + ": " + std::strerror(errno);
    return Result::kError;
  }
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int err = errno;
    close(fd);
    if (err == EWOULDBLOCK) return Result::kNotFirst;
    error_ = "cannot lock " + path_ + ": " + std::strerror(err);
    return Result::kError;
  }
  // The holder's process id, for whoever looks at the file.
  // Only informative: a failed write leaves the lock, which is what counts.
  File lockFile;
  lockFile.Adopt(fd, path_);
  const std::string pid = std::to_string(getpid()) + "\n";
  if (lockFile.Truncate(0)) lockFile.WriteAll(pid.data(), pid.size());
  fd_ = lockFile.Release();
  return Result::kFirst;
}

void SingleInstance::Release() {
  if (fd_ < 0) return;
  flock(fd_, LOCK_UN);
  close(fd_);
  fd_ = -1;
}

}  // namespace sys

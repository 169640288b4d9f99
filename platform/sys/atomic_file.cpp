#include "platform/sys/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace sys {
namespace {

void SetError(std::string* error, const std::string& what, const std::string& path, int err) {
  if (error) *error = what + " " + path + ": " + std::strerror(err);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* content, std::string* error) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetError(error, "cannot open", path, errno);
    return false;
  }
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof(buf));
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, "cannot read", path, errno);
      close(fd);
      return false;
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  if (content) *content = std::move(out);
  return true;
}

bool WriteFileAtomic(const std::string& given, const std::string& content, std::string* error) {
  // Replace the file a symbolic link points to, not the link.
  std::string path = given;
  struct stat lst;
  for (int hops = 0; hops < 8 && lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode); ++hops) {
    char target[PATH_MAX];
    ssize_t n = readlink(path.c_str(), target, sizeof(target) - 1);
    if (n <= 0) break;
    std::string t(target, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    path = t[0] == '/' || slash == std::string::npos ? t : path.substr(0, slash + 1) + t;
  }
  std::string dir = ".";
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) dir = slash == 0 ? "/" : path.substr(0, slash);
  static std::atomic<unsigned> counter{0};
  std::string tmp = path + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++);

  // Keep the permissions of the file being replaced.
  mode_t mode = 0644;
  struct stat st;
  if (stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;

  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) {
    SetError(error, "cannot create", tmp, errno);
    return false;
  }
  const char* p = content.data();
  size_t left = content.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, "cannot write", tmp, errno);
      close(fd);
      unlink(tmp.c_str());
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) {
    SetError(error, "cannot flush", tmp, errno);
    close(fd);
    unlink(tmp.c_str());
    return false;
  }
  if (close(fd) != 0) {
    SetError(error, "cannot close", tmp, errno);
    unlink(tmp.c_str());
    return false;
  }
  if (rename(tmp.c_str(), path.c_str()) != 0) {
    SetError(error, "cannot replace", path, errno);
    unlink(tmp.c_str());
    return false;
  }
  // Make the rename itself durable.
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

}  // namespace sys

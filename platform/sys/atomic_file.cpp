#include "platform/sys/atomic_file.h"

#include "platform/sys/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error) {
  return ReplaceFile(
      path, [&](File& out, std::string*) { return out.WriteAll(content.data(), content.size()); }, error);
}

}  // namespace sys

// File and memory helpers of the raw-data and pulse functions.
#include "algorithm/RawdataIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zentil {

namespace {
std::atomic<long> g_allocationsLeft{-1};

std::string WithSlash(std::string s) {
  if (s.empty() || s.back() != '/') s.push_back('/');
  return s;
}

const char* Env(const char* name) {
  const char* v = std::getenv(name);
  return (v != nullptr && *v != '\0') ? v : nullptr;
}
}  // namespace

void* Allocate(std::size_t bytes) {
  long left = g_allocationsLeft.load();
  while (left >= 0) {
    if (left == 0) return nullptr;
    if (g_allocationsLeft.compare_exchange_weak(left, left - 1)) break;
  }
  return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

void FailAllocationsAfter(long successes) { g_allocationsLeft.store(successes < 0 ? -1 : successes); }

SizeStatus FileSize(const char* path, std::size_t& size) {
  size = 0;
  if (path == nullptr) return SizeStatus::kCannotOpen;
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return SizeStatus::kCannotOpen;
  // A folder opens for reading here but holds no bytes to read.
  struct stat st;
  if (::fstat(::fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(f);
    return SizeStatus::kCannotOpen;
  }
  SizeStatus status = SizeStatus::kCannotSeek;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long end = std::ftell(f);
    if (end >= 0) {
      size = static_cast<std::size_t>(end);
      status = SizeStatus::kOk;
    }
  }
  std::fclose(f);
  return status;
}

bool ReadFile(const char* path, std::uint8_t* buffer, std::size_t size) {
  if (path == nullptr) return false;
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  struct stat st;
  if (::fstat(::fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(f);
    return false;
  }
  const std::size_t got = size == 0 ? 0 : std::fread(buffer, 1, size, f);
  std::fclose(f);
  return got == size;
}

bool WriteFileReplacing(const char* path, const std::uint8_t* data, std::size_t size) {
  if (path == nullptr || *path == '\0') return false;
  // Replace the file a symbolic link points at, not the link.
  std::string target = path;
  if (char* real = ::realpath(path, nullptr); real != nullptr) {
    target = real;
    std::free(real);
  }
  mode_t mode = 0644;
  struct stat st;
  const bool existed = ::stat(target.c_str(), &st) == 0;
  if (existed) {
    if (!S_ISREG(st.st_mode)) return false;
    mode = st.st_mode & 07777;
  }
  std::string temp = target + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0 || !existed;
  std::size_t done = 0;
  while (ok && done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // The new name lasts a power cut only once its folder is flushed; a folder that cannot be
  // flushed is a failed write, not a success.
  const std::size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash == 0 ? 1 : slash);
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return false;
  const bool flushed = ::fsync(dir) == 0;
  ::close(dir);
  return flushed;
}

bool FileExists(const char* path) {
  if (path == nullptr) return false;
  struct stat st;
  return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

std::string DriveFolder(char letter) {
  if (!std::isalpha(static_cast<unsigned char>(letter))) return {};
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  const std::string drive = std::string("drive_") + lower + "/";
  const std::string var = std::string("QUORVEX_DRIVE_") + upper;
  if (const char* v = Env(var.c_str())) return WithSlash(v);
  if (const char* v = Env("QUORVEX_DRIVE_ROOT")) return WithSlash(v) + drive;
  if (const char* v = Env("XDG_DATA_HOME")) return WithSlash(v) + "quorvex/" + drive;
  if (const char* v = Env("HOME")) return WithSlash(v) + ".local/share/quorvex/" + drive;
  return "/tmp/quorvex/" + drive;
}

bool MakeFolders(const std::string& folder) {
  std::string path;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    path.push_back(folder[i]);
    if ((folder[i] == '/' && i > 0) || i + 1 == folder.size()) {
      if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat st;
  return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace zentil

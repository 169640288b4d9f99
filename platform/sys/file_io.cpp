#include "platform/sys/file_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>

namespace sys {
namespace {

std::mutex g_hookLock;
std::shared_ptr<const IoFaultHook> g_hook;
std::atomic<bool> g_hookSet{false};

std::string Reason(const std::string& what, const std::string& path, int err) {
  return what + " " + path + ": " + std::strerror(err);
}

bool SetError(std::string* error, const std::string& what, const std::string& path, int err) {
  if (error) *error = Reason(what, path, err);
  return false;
}

// The file a chain of symbolic links ends at (at most 8 hops), so a replacement lands there.
std::string LinkTarget(const std::string& given) {
  std::string path = given;
  struct stat lst;
  for (int hops = 0; hops < 8 && ::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode); ++hops) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof(target) - 1);
    if (n <= 0) break;
    const std::string t(target, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    path = t[0] == '/' || slash == std::string::npos ? t : path.substr(0, slash + 1) + t;
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void SetIoFaultHook(IoFaultHook hook) {
  std::lock_guard<std::mutex> g(g_hookLock);
  g_hook = hook ? std::make_shared<const IoFaultHook>(std::move(hook)) : nullptr;
  g_hookSet = g_hook != nullptr;
}

IoFault CheckIo(IoOp op, const std::string& path) {
  if (!g_hookSet.load(std::memory_order_relaxed)) return {};
  std::shared_ptr<const IoFaultHook> hook;
  {
    std::lock_guard<std::mutex> g(g_hookLock);
    hook = g_hook;
  }
  return hook ? (*hook)(op, path) : IoFault{};
}

File::~File() {
  if (fd_ >= 0) ::close(fd_);
}

File::File(File&& other) noexcept { *this = std::move(other); }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    error_ = other.error_;
    errorText_ = std::move(other.errorText_);
    other.fd_ = -1;
  }
  return *this;
}

bool File::Fail(const char* what, int err) {
  error_ = err;
  errorText_ = Reason(what, path_, err);
  return false;
}

bool File::Open(const std::string& path, int flags, mode_t mode) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_ = path;
  if ((flags & O_ACCMODE) != O_RDONLY) {
    const IoFault f = CheckIo(IoOp::Open, path);
    if (f.error != 0) return Fail("cannot open", f.error);
  }
  fd_ = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  if (fd_ < 0) return Fail("cannot open", errno);
  return true;
}

void File::Adopt(int fd, const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
  path_ = path;
}

int File::Release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

bool File::WriteAll(const void* data, size_t size) { return WriteAllAt(data, size, -1); }

bool File::WriteAllAt(const void* data, size_t size, off_t at) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const IoFault f = CheckIo(IoOp::Write, path_);
    if (f.error != 0) return Fail("cannot write", f.error);
    const size_t piece = size < f.limit ? size : f.limit;
    const ssize_t n = at < 0 ? ::write(fd_, p, piece) : ::pwrite(fd_, p, piece, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail("cannot write", errno);
    if (n == 0) return Fail("cannot write", ENOSPC);
    p += n;
    size -= static_cast<size_t>(n);
    if (at >= 0) at += n;
  }
  return true;
}

bool File::AppendWhole(const void* data, size_t size) {
  off_t before = 0;
  if (!Size(&before)) return false;
  if (WriteAll(data, size)) return true;
  const int err = error_;
  const std::string text = errorText_;
  ::ftruncate(fd_, before);  // best effort: the write's failure is what is reported
  error_ = err;
  errorText_ = text;
  return false;
}

bool File::ReadAt(void* data, size_t size, off_t at) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::pread(fd_, p, size, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail("cannot read", errno);
    if (n == 0) return Fail("cannot read", EIO);  // the file ends before the record does
    p += n;
    size -= static_cast<size_t>(n);
    at += n;
  }
  return true;
}

long File::CopyFrom(File& src, off_t srcAt, size_t size) {
  size_t copied = 0;
  bool inKernel = true;
  std::unique_ptr<char[]> buffer;
  constexpr size_t kBuffer = 1u << 20;
  constexpr size_t kPiece = 8u << 20;
  while (copied < size) {
    const IoFault f = CheckIo(IoOp::Write, path_);
    if (f.error != 0) {
      Fail("cannot write", f.error);
      return -1;
    }
    size_t piece = size - copied < f.limit ? size - copied : f.limit;
    if (piece > kPiece) piece = kPiece;
    const off_t written = ::lseek(fd_, 0, SEEK_CUR);
    ssize_t n = -1;
    if (inKernel) {
      off_t from = srcAt + static_cast<off_t>(copied);
      n = ::copy_file_range(src.fd_, &from, fd_, nullptr, piece, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
        inKernel = false;  // this pair of files cannot: through a buffer from here on
        continue;
      }
      if (n < 0) {
        Fail("cannot write", errno);
        return -1;
      }
    } else {
      if (!buffer) buffer = std::make_unique<char[]>(kBuffer);
      if (piece > kBuffer) piece = kBuffer;
      const ssize_t r = ::pread(src.fd_, buffer.get(), piece, srcAt + static_cast<off_t>(copied));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) {
        Fail("cannot read", errno);
        return -1;
      }
      n = r;
      if (r > 0 && !WriteAll(buffer.get(), static_cast<size_t>(r))) return -1;
    }
    if (n == 0) break;  // the source ends here
    copied += static_cast<size_t>(n);
    // The disk writes of this piece start now, so that a later Sync has less left to wait for.
    if (written >= 0) ::sync_file_range(fd_, written, n, SYNC_FILE_RANGE_WRITE);
  }
  return static_cast<long>(copied);
}

long File::Read(void* data, size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Fail("cannot read", errno);
      return -1;
    }
    return static_cast<long>(n);
  }
}

bool File::Size(off_t* size) {
  struct stat st{};
  if (::fstat(fd_, &st) != 0) return Fail("cannot read the size of", errno);
  *size = st.st_size;
  return true;
}

bool File::Truncate(off_t size) {
  const IoFault f = CheckIo(IoOp::Truncate, path_);
  if (f.error != 0) return Fail("cannot size", f.error);
  if (::ftruncate(fd_, size) != 0) return Fail("cannot size", errno);
  return true;
}

namespace {
std::atomic<uint64_t> g_flushWaitNs{0};

// fsync, with the time it waited added to the process's flush wait.
int TimedFsync(int fd) {
  const auto t0 = std::chrono::steady_clock::now();
  const int r = ::fsync(fd);
  const int err = errno;
  AddFlushWaitNs(static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - t0).count()));
  errno = err;
  return r;
}
}  // namespace

uint64_t FlushWaitNs() { return g_flushWaitNs.load(); }
void AddFlushWaitNs(uint64_t ns) { g_flushWaitNs.fetch_add(ns); }

bool File::Sync() {
  const IoFault f = CheckIo(IoOp::Sync, path_);
  if (f.error != 0) return Fail("cannot flush", f.error);
  if (TimedFsync(fd_) != 0) return Fail("cannot flush", errno);
  return true;
}

bool File::Close() {
  const int fd = fd_;
  fd_ = -1;
  if (fd >= 0 && ::close(fd) != 0) return Fail("cannot close", errno);
  return true;
}

bool RenameFile(const std::string& from, const std::string& to, std::string* error) {
  const IoFault f = CheckIo(IoOp::Rename, from);
  if (f.error != 0) return SetError(error, "cannot rename " + from + " to", to, f.error);
  if (::rename(from.c_str(), to.c_str()) != 0) return SetError(error, "cannot rename " + from + " to", to, errno);
  return true;
}

bool SyncFolder(const std::string& folder, std::string* error) {
  const IoFault f = CheckIo(IoOp::Sync, folder);
  if (f.error != 0) return SetError(error, "cannot flush the folder", folder, f.error);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return SetError(error, "cannot open the folder", folder, errno);
  const bool ok = TimedFsync(fd) == 0;
  const int err = errno;
  ::close(fd);
  return ok || SetError(error, "cannot flush the folder", folder, err);
}

bool AppendToFile(const std::string& path, const std::string& bytes, std::string* error) {
  File f;
  bool ok = f.Open(path, O_WRONLY | O_CREAT | O_APPEND) && f.AppendWhole(bytes.data(), bytes.size()) && f.Close();
  if (!ok && error) *error = f.ErrorText();
  return ok;
}

bool ReplaceFile(const std::string& given, const std::function<bool(File& out, std::string* error)>& write,
                 std::string* error, mode_t mode, bool keepMode) {
  const std::string path = LinkTarget(given);
  static std::atomic<unsigned> counter{0};
  const std::string temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
  // Keep the permissions of the file being replaced.
  struct stat st;
  if (keepMode && ::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;

  File out;
  std::string failure;
  bool ok = out.Open(temp, O_WRONLY | O_CREAT | O_TRUNC, mode);
  if (!ok) failure = out.ErrorText();
  if (ok && !write(out, &failure)) {
    ok = false;
    if (failure.empty()) failure = out.ErrorText();
  }
  if (ok && !(out.Sync() && out.Close())) {
    ok = false;
    failure = out.ErrorText();
  }
  if (ok && !RenameFile(temp, path, &failure)) ok = false;
  if (!ok) {
    out.Close();
    ::unlink(temp.c_str());
    if (error) *error = failure.empty() ? Reason("cannot write", temp, EIO) : failure;
    return false;
  }
  // The rename is in place; only flushing the folder makes it survive a power cut, so a flush
  // that fails is a failed replacement (the new file is seen now but may be lost with the power).
  return SyncFolder(FolderOf(path), error);
}

bool MappedFile::Create(const std::string& path, size_t size, Step* failed, std::string* error) {
  Unmap();
  File f;
  auto fail = [&](Step step, const std::string& why) {
    if (failed) *failed = step;
    if (error) *error = why;
    return false;
  };
  if (!f.Open(path, O_RDWR | O_CREAT | O_TRUNC, 0600)) return fail(Step::Open, f.ErrorText());
  if (!f.Truncate(static_cast<off_t>(size))) return fail(Step::Size, f.ErrorText());
  const IoFault fault = CheckIo(IoOp::Map, path);
  if (fault.error != 0) return fail(Step::Map, Reason("cannot map", path, fault.error));
  void* view = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, f.fd(), 0);
  if (view == MAP_FAILED) return fail(Step::Map, Reason("cannot map", path, errno));
  if (failed) *failed = Step::None;
  data_ = static_cast<char*>(view);
  size_ = size;
  return true;
}

void MappedFile::Unmap() {
  if (data_) ::munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace sys

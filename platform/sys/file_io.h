#pragma once
// The durable file operations. Every write, flush to the disk, rename, truncation and mapping
// the program makes goes through here (sockets through platform/net/socket_send.h), so that one
// seam can make any of them fail in a test: a full disk, an I/O error, a short write, a flush
// or a rename that fails. Paths are used as given: a caller with a Windows-style path maps it
// first (MapPath).
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>

namespace sys {

enum class IoOp {
  Open,      // opening or creating a file for writing
  Write,     // one write(2)/pwrite(2) call
  Sync,      // fsync of a file or a folder
  Rename,    // rename(2), the source path is given
  Truncate,  // ftruncate(2)
  Map,       // mmap(2)
  Send,      // one send(2) on a socket (the path is "socket")
};

// The seam's answer before one operation: error != 0 makes it fail with that errno without
// touching the disk; a write or send is cut to `limit` bytes (a short write the caller has to
// continue, as a real disk or socket may give).
struct IoFault {
  int error = 0;
  size_t limit = static_cast<size_t>(-1);
};
using IoFaultHook = std::function<IoFault(IoOp op, const std::string& path)>;

// Installs the fault hook (tests); an empty hook removes it. Thread-safe.
void SetIoFaultHook(IoFaultHook hook);
// Asks the hook about one operation. Nothing installed: no fault.
IoFault CheckIo(IoOp op, const std::string& path);

// One open file. The destructor closes it without reporting; Close() reports.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // open(2) with these flags (O_CLOEXEC is added). A read-only open does not pass the seam.
  bool Open(const std::string& path, int flags, mode_t mode = 0644);
  // Takes over a descriptor opened elsewhere (a lock file), and gives it back without closing.
  void Adopt(int fd, const std::string& path);
  int Release();
  bool IsOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  // Every byte at the file position (or at `at`), continuing after short writes.
  bool WriteAll(const void* data, size_t size);
  bool WriteAllAt(const void* data, size_t size, off_t at);
  // Appends every byte (a file opened with O_APPEND); when that fails the file is cut back to
  // its length before, so a log never keeps half a line.
  bool AppendWhole(const void* data, size_t size);
  // Copies `size` bytes of `src` starting at `srcAt` to this file's position, in the kernel
  // where the file system allows it (no pass through the program's memory). Each piece passes
  // the seam as a write. The bytes copied (fewer when `src` ends first), or -1 on a failure of
  // either file (reported by this one).
  long CopyFrom(File& src, off_t srcAt, size_t size);
  // Exactly `size` bytes at `at`; false at the end of the file or on an error.
  bool ReadAt(void* data, size_t size, off_t at);
  // Up to `size` bytes at the file position: the count, 0 at the end, -1 on an error.
  long Read(void* data, size_t size);
  bool Size(off_t* size);
  bool Truncate(off_t size);
  bool Sync();
  // Closes and reports a failure of the close itself (a delayed write error can show there).
  bool Close();

  // errno of the last failure and a text naming the operation and the file.
  int LastError() const { return error_; }
  const std::string& ErrorText() const { return errorText_; }

 private:
  bool Fail(const char* what, int err);
  int fd_ = -1;
  std::string path_;
  int error_ = 0;
  std::string errorText_;
};

// rename(2) through the seam. False with the reason in *error.
bool RenameFile(const std::string& from, const std::string& to, std::string* error = nullptr);
// Makes the entries of a folder (a rename, a new file) durable. False when it cannot.
bool SyncFolder(const std::string& folder, std::string* error = nullptr);

// How long this process has waited for the disk in flushes (File::Sync, SyncFolder and the data
// store's), in nanoseconds: a benchmark tells the program's own time from the disk's with it.
uint64_t FlushWaitNs();
void AddFlushWaitNs(uint64_t ns);
// Appends bytes to a file, creating it. False when it fails; the file then keeps none of them.
bool AppendToFile(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// Replaces `path` so that a crash or power cut leaves either the old or the new file, never half
// of one: `write` fills a temporary file in the same folder, which is flushed to the disk and
// renamed over the target; the folder is flushed last. The new file gets `mode`, or with
// keepMode the permissions of the file it replaces; a symbolic link's target is replaced, not the
// link. On a failure before the rename the temporary file is removed, the target is as it was,
// and the reason is in *error. When the folder cannot be flushed after the rename the new file
// stands but may not survive a power cut: that is a failure too.
bool ReplaceFile(const std::string& path, const std::function<bool(File& out, std::string* error)>& write,
                 std::string* error = nullptr, mode_t mode = 0644, bool keepMode = true);

// A file of a fixed size mapped into memory for reading and writing (the grid's record cache).
class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile() { Unmap(); }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  enum class Step { None, Open, Size, Map };
  // Creates (or empties) the file, sizes it and maps it. False with the step that failed in
  // *failed and the reason in *error.
  bool Create(const std::string& path, size_t size, Step* failed = nullptr, std::string* error = nullptr);
  void Unmap();
  char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace sys

#pragma once
// Lets only one copy of the program run. The first copy takes an exclusive lock on a lock
// file and holds it for the life of the process (the system drops it when the process ends,
// however it ends, so a crash never leaves a stale lock). A second copy learns that it is
// not the first and can quit.
//
// The lock file is <folder>/<name>.lock, where the folder is, unless given:
// $XDG_RUNTIME_DIR when set, else /tmp — one per user session, like a named mutex.
#include <string>

namespace sys {

class SingleInstance {
 public:
  SingleInstance() = default;
  ~SingleInstance();  // releases the lock
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  enum class Result {
    kFirst,     // this process holds the lock
    kNotFirst,  // another process holds it
    kError,     // the lock file could not be opened (see Error())
  };
  Result Acquire(const std::string& name, const std::string& folder = std::string());
  void Release();
  bool Held() const { return fd_ >= 0; }
  const std::string& Error() const { return error_; }
  const std::string& LockPath() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
  std::string error_;
};

}  // namespace sys

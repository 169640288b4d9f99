#pragma once
// A lock the same thread may take again while it holds it (a critical section), e.g. the
// database lock held across a call that calls back into the database layer.
#include <mutex>

namespace sys {

class RecursiveLock {
 public:
  void Lock() { mu_.lock(); }
  bool TryLock() { return mu_.try_lock(); }
  void Unlock() { mu_.unlock(); }
  // For std::lock_guard / std::unique_lock.
  void lock() { Lock(); }
  bool try_lock() { return TryLock(); }
  void unlock() { Unlock(); }

 private:
  std::recursive_mutex mu_;
};

// Holds a RecursiveLock for the life of a scope.
class ScopedLock {
 public:
  explicit ScopedLock(RecursiveLock& l) : l_(l) { l_.Lock(); }
  ~ScopedLock() { l_.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  RecursiveLock& l_;
};

}  // namespace sys

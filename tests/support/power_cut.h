#pragma once
// A power cut through the platform's fault seam (platform/sys/file_io.h). While it lives it
// keeps, for the folders it watches, what a power cut would leave of them: each file's bytes as
// at its last flush to the disk (fsync), and each folder's entries as at its last folder flush
// (a file created, renamed or deleted since then is not, or still is, there). From a chosen
// operation on every durable operation fails, as if the machine had stopped there; Restore()
// then puts the watched folders back the way the disk would show them at the next start.
//
// Folder entries are followed for regular files only. A file whose entry became durable without
// its bytes ever being flushed comes back empty.
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sys/file_io.h"
#include "tests/support/io_faults.h"

namespace support {

class PowerCut {
 public:
  // What is in `folders` now counts as durable. Installs the seam's hook.
  explicit PowerCut(const std::vector<std::string>& folders);
  ~PowerCut();
  PowerCut(const PowerCut&) = delete;
  PowerCut& operator=(const PowerCut&) = delete;

  // The k-th operation (from 0) of all that pass the seam and every one after it fail with EIO
  // without touching the disk. No call: nothing fails.
  void CutAt(size_t k);
  // Whether the cut was reached.
  bool Reached() const;
  // Every operation that passed the seam, the failed ones included.
  std::vector<IoStep> Steps() const;

  // Rewrites the watched folders as the disk holds them after the cut (or after the last
  // operation when no cut was reached). Nothing may hold the files open for writing.
  void Restore();

 private:
  sys::IoFault Answer(sys::IoOp op, const std::string& path);
  void TakeFolder(const std::string& folder);  // under mu_
  void TakeFile(const std::string& path);      // under mu_
  int WatchedIndex(const std::string& folder) const;

  mutable std::mutex mu_;
  std::vector<std::string> folders_;                      // canonical
  std::vector<std::map<std::string, ino_t>> entries_;     // per folder: name -> file
  std::map<ino_t, std::string> bytes_;                    // durable bytes of a file
  std::vector<IoStep> steps_;
  size_t cutAt_ = static_cast<size_t>(-1);
  bool reached_ = false;
};

// Runs `action` once to list the operations it makes, then once per operation with the power
// cut there, and once more with the cut after its last operation. Before each run `reset` puts
// the files back; after it the watched folders are restored as the disk holds them (the action
// must have closed its files) and `check` gets where the cut was and whether the action said it
// succeeded. With QUORVEX_POWER_CUT_STEPS set the listed operations are printed.
void EachPowerCut(const std::vector<std::string>& folders, const std::function<void()>& reset,
                  const std::function<bool()>& action,
                  const std::function<void(const std::string& where, bool saidOk)>& check);

}  // namespace support

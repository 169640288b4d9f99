#pragma once
// Makes chosen durable operations (platform/sys/file_io.h) fail while it lives, and records every
// operation that passes the seam, so a test can first list the writes an action makes and then
// fail each one of them in turn.
#include <cerrno>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sys/file_io.h"

namespace support {

struct IoStep {
  sys::IoOp op;
  std::string path;
};

// The label of an operation for messages.
inline const char* IoOpName(sys::IoOp op) {
  switch (op) {
    case sys::IoOp::Open: return "open";
    case sys::IoOp::Write: return "write";
    case sys::IoOp::Sync: return "fsync";
    case sys::IoOp::Rename: return "rename";
    case sys::IoOp::Truncate: return "truncate";
    case sys::IoOp::Map: return "mmap";
    case sys::IoOp::Send: return "send";
  }
  return "?";
}

class IoFaults {
 public:
  // The fault given at the n-th (from 1) operation of kind `op` on a path containing `pathPart`
  // (empty: any path), and at the `times - 1` matching operations after it (times < 0: all).
  struct Rule {
    sys::IoOp op;
    std::string pathPart;
    int nth = 1;
    sys::IoFault fault;
    int times = 1;
  };

  IoFaults() {
    sys::SetIoFaultHook([this](sys::IoOp op, const std::string& path) { return Answer(op, path); });
  }
  ~IoFaults() { sys::SetIoFaultHook(nullptr); }
  IoFaults(const IoFaults&) = delete;
  IoFaults& operator=(const IoFaults&) = delete;

  void Add(Rule r) {
    std::lock_guard<std::mutex> g(mu_);
    rules_.push_back({std::move(r), 0, 0});
  }
  // The k-th (from 0) operation of all that pass the seam gets faults[0], the next faults[1] ...
  void FailFrom(size_t k, std::vector<sys::IoFault> faults) {
    std::lock_guard<std::mutex> g(mu_);
    stepToFail_ = k;
    stepFaults_ = std::move(faults);
  }
  void Clear() {
    std::lock_guard<std::mutex> g(mu_);
    rules_.clear();
    steps_.clear();
    stepToFail_ = static_cast<size_t>(-1);
    fired_ = 0;
    errors_ = 0;
  }
  std::vector<IoStep> Steps() const {
    std::lock_guard<std::mutex> g(mu_);
    return steps_;
  }
  // How many faults were given, and how many of them were errors (not short writes).
  int Fired() const {
    std::lock_guard<std::mutex> g(mu_);
    return fired_;
  }
  int ErrorsGiven() const {
    std::lock_guard<std::mutex> g(mu_);
    return errors_;
  }

  static sys::IoFault Error(int err) { return sys::IoFault{err, static_cast<size_t>(-1)}; }
  static sys::IoFault Short(size_t bytes) { return sys::IoFault{0, bytes}; }

 private:
  struct Live {
    Rule rule;
    int seen;
    int given;
  };
  sys::IoFault Answer(sys::IoOp op, const std::string& path) {
    std::lock_guard<std::mutex> g(mu_);
    const size_t index = steps_.size();
    steps_.push_back({op, path});
    if (index >= stepToFail_ && index - stepToFail_ < stepFaults_.size()) return Give(stepFaults_[index - stepToFail_]);
    Live* firing = nullptr;
    for (Live& l : rules_) {
      if (l.rule.op != op || path.find(l.rule.pathPart) == std::string::npos) continue;
      ++l.seen;  // every matching rule counts the operation, also when another one fires
      if (!firing && l.seen >= l.rule.nth && (l.rule.times < 0 || l.given < l.rule.times)) firing = &l;
    }
    if (!firing) return {};
    ++firing->given;
    return Give(firing->rule.fault);
  }

  sys::IoFault Give(const sys::IoFault& f) {
    ++fired_;
    if (f.error != 0) ++errors_;
    return f;
  }

  mutable std::mutex mu_;
  std::vector<Live> rules_;
  std::vector<IoStep> steps_;
  size_t stepToFail_ = static_cast<size_t>(-1);
  std::vector<sys::IoFault> stepFaults_;
  int fired_ = 0;
  int errors_ = 0;
};

// The faults every durable step is tried with: a full disk, an I/O error, and a short write
// followed by a full disk (at a step that is not a write only the full disk after it counts).
struct DiskFault {
  const char* name;
  std::vector<sys::IoFault> faults;  // for the failing step and the ones after it
};
inline std::vector<DiskFault> DiskFaults() {
  return {{"ENOSPC", {IoFaults::Error(ENOSPC)}},
          {"EIO", {IoFaults::Error(EIO)}},
          {"short write, then ENOSPC", {IoFaults::Short(7), IoFaults::Error(ENOSPC)}}};
}

// Runs `action` once to list the operations it makes, then once per operation and fault with
// that operation failing, after `reset` has put the files back. `check` gets the outcome (with
// the faults removed again); a run in which no error was given (a short write that was continued
// at the last step) has to succeed instead.
inline void EachStepFailing(const std::function<void()>& reset, const std::function<bool(std::string*)>& action,
                     const std::function<void(const std::string& where, bool ok, const std::string& error)>& check) {
  std::vector<support::IoStep> steps;
  {
    reset();
    IoFaults listing;
    std::string error;
    ASSERT_TRUE(action(&error)) << "without faults: " << error;
    steps = listing.Steps();
  }
  ASSERT_FALSE(steps.empty());
  for (size_t k = 0; k < steps.size(); ++k) {
    for (const support::DiskFault& f : support::DiskFaults()) {
      reset();
      const std::string where = std::string(f.name) + " at " + IoOpName(steps[k].op) + " of " + steps[k].path;
      std::string error;
      bool ok = false;
      int errors = 0;
      {
        IoFaults faults;
        faults.FailFrom(k, f.faults);
        ok = action(&error);
        errors = faults.ErrorsGiven();
      }
      if (errors == 0) {
        EXPECT_TRUE(ok) << where << ": " << error;
      } else {
        check(where, ok, error);
      }
    }
  }
}

}  // namespace support

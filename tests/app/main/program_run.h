#pragma once
// Runs the built program from a copy of its folder, as a laboratory would start it.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_folder.h"

namespace program_run {

// A copy of the built program folder without its data store, trace files or raw data.
class ProgramCopy {
 public:
  ProgramCopy();
  std::string exe() const { return folder_.file("Quorvex"); }
  std::string store() const { return folder_.file("Vantorium.mdb"); }
  std::string file(const std::string& name) const { return folder_.file(name); }
  std::string folder() const { return folder_.path().string(); }

 private:
  support::ScratchProgramFolder folder_;
};

// Output of an sqlite3 command on the store (trailing newline removed; "" on failure).
std::string Sqlite(const std::string& db, const std::string& sql);

// A simulator of the build folder (boardsim, printersim) on a pseudo-terminal, started with the
// given flags; ended with the object.
class Simulator {
 public:
  Simulator(const std::string& program, const std::vector<std::string>& flags);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;
  const std::string& device() const { return device_; }

 protected:
  pid_t pid_ = -1;

 private:
  std::string device_;
};

// The board simulator, started with the given flags (e.g. --silent).
class BoardSim : public Simulator {
 public:
  explicit BoardSim(const std::vector<std::string>& flags) : Simulator("boardsim", flags) {}
  // Presses the analyzer's count key once (the simulator's SIGUSR1).
  void PressCountKey() const;
};

// The thermal-printer simulator.
class PrinterSim : public Simulator {
 public:
  PrinterSim() : Simulator("printersim", {}) {}
};

// Starts the program with its own single-instance lock, the board on `board` and the printer on
// `printer` (empty: /dev/null); `display` empty runs it offscreen. Returns its pid.
pid_t Start(const ProgramCopy& program, const std::vector<std::string>& args, const std::string& display = "",
            const std::string& board = "", const std::string& printer = "");

// Waits for the process to end and returns its exit code (128 + signal when killed); -1 when it
// has not ended within `seconds` (it is then killed).
int WaitEnd(pid_t pid, int seconds);

}  // namespace program_run

#pragma once
// Writes a crash report when the program dies of a fault (SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT): the file cc_<n>.dmp in the dump folder (the program folder unless given), where
// <n> is the process id, holding the signal, the faulting address and a backtrace of the
// crashing thread. The signal is then raised again with its default action, so the process
// still ends as it would have (core file, exit status).
//
// The handler uses only async-signal-safe calls (open, write, backtrace_symbols_fd on a
// back-trace machinery loaded in advance) and runs on its own stack, so a stack overflow is
// reported too.
#include <string>

namespace sys {

// Installs the handler. The dump folder is fixed now (no allocation in the handler).
// False with the reason in *error when a signal handler could not be set.
bool InstallCrashHandler(const std::string& dumpFolder = std::string(), std::string* error = nullptr);

// Removes the handler (restores the default actions).
void RemoveCrashHandler();

// Gives the calling thread its own signal stack for the life of the object, so a stack
// overflow on that thread is reported too (the main thread gets one from
// InstallCrashHandler; sys::Thread sets one up for each thread it starts).
class ThreadCrashStack {
 public:
  ThreadCrashStack();
  ~ThreadCrashStack();
  ThreadCrashStack(const ThreadCrashStack&) = delete;
  ThreadCrashStack& operator=(const ThreadCrashStack&) = delete;

 private:
  void* memory_ = nullptr;
};

}  // namespace sys

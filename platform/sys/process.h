#pragma once
// Starting other programs.
#include <functional>
#include <string>
#include <vector>

namespace sys {

// The full path of `program` found in PATH (or the program itself when it holds a '/' and
// is executable); empty when there is none.
std::string FindProgram(const std::string& program);

// Starts argv[0] (searched in PATH) with the given arguments in its own session, not
// waiting for it; the child is reaped in the background. False with the reason when the
// program is missing or cannot be started. `onEnd`, when given, runs on the reaping thread
// once the program has ended.
bool StartDetached(const std::vector<std::string>& argv, std::string* error = nullptr, int* pid = nullptr,
                   std::function<void()> onEnd = {});

// Ends a program StartDetached started, with the programs it started in its session (a wrapper
// script and what it runs): SIGTERM, or SIGKILL when `force`. False when there is no such
// process (any more).
bool EndDetached(int pid, bool force = false);

// The words of a command line given as text (an override variable, ShellExecute parameters):
// split at spaces and tabs, empty words dropped; no quoting.
std::vector<std::string> SplitWords(const std::string& text);

// Runs a program and waits for it. Returns its exit status (0..255), or -1 with the reason
// when it could not be started or died of a signal.
int RunAndWait(const std::vector<std::string>& argv, std::string* error = nullptr);

// As RunAndWait, and collects what the program writes to its standard output.
int RunAndCapture(const std::vector<std::string>& argv, std::string* output, std::string* error = nullptr);

}  // namespace sys

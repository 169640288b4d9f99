#pragma once
// The debug output: where the program's time-stamped log lines go (in place of a debugger
// output window). Each line goes to
//   * standard error, unless switched off (SetDebugOutputToStderr(false), or the environment
//     variable QUORVEX_DEBUG_STDERR=0);
//   * a log file, when one is set (SetDebugOutputFile, or QUORVEX_DEBUG_LOG naming the file),
//     appended and flushed line by line so a crash loses nothing already written;
//   * a capture function, when one is set (tests read the lines there).
// Safe to call from any thread; lines never interleave.
#include <functional>
#include <string>

namespace sys {

// Writes one line (a line end is added when the text has none). Returns false when the log
// file is set but the line could not be written to it.
bool DebugOutput(const std::string& line);

// Sets the log file (empty: none). False with the reason when it cannot be opened.
bool SetDebugOutputFile(const std::string& path, std::string* error = nullptr);
void SetDebugOutputToStderr(bool on);
// Receives every line (without its line end); an empty function removes it.
void SetDebugOutputCapture(std::function<void(const std::string&)> capture);

}  // namespace sys

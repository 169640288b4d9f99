#include "platform/sys/debug_output.h"

#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/sys/file_io.h"
#include "platform/sys/path_map.h"

namespace sys {
namespace {

struct State {
  std::mutex mu;
  bool initialised = false;
  bool toStderr = true;
  File file;  // appended through the platform's file layer, so a test can make it fail
  std::function<void(const std::string&)> capture;
};

State& S() {
  static State s;
  return s;
}

bool OpenFile(State& s, const std::string& path, std::string* error) {
  s.file.Close();
  if (path.empty()) return true;
  if (!s.file.Open(MapPath(path), O_WRONLY | O_CREAT | O_APPEND)) {
    if (error) *error = s.file.ErrorText();
    s.file.Close();
    return false;
  }
  return true;
}

// Environment settings are read once, on first use, under the lock.
void Init(State& s) {
  if (s.initialised) return;
  s.initialised = true;
  if (const char* e = std::getenv("QUORVEX_DEBUG_STDERR"); e && std::strcmp(e, "0") == 0) s.toStderr = false;
  if (const char* f = std::getenv("QUORVEX_DEBUG_LOG"); f && *f) OpenFile(s, f, nullptr);
}

}  // namespace

bool DebugOutput(const std::string& line) {
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  auto& s = S();
  std::function<void(const std::string&)> capture;
  bool ok = true;
  {
    std::lock_guard<std::mutex> g(s.mu);
    Init(s);
    if (s.toStderr) {
      std::fprintf(stderr, "%s\n", text.c_str());
      std::fflush(stderr);
    }
    if (s.file.IsOpen()) {
      const std::string withEnd = text + "\n";
      ok = s.file.AppendWhole(withEnd.data(), withEnd.size());
    }
    capture = s.capture;
  }
  if (capture) capture(text);
  return ok;
}

bool SetDebugOutputFile(const std::string& path, std::string* error) {
  auto& s = S();
  std::lock_guard<std::mutex> g(s.mu);
  Init(s);
  return OpenFile(s, path, error);
}

void SetDebugOutputToStderr(bool on) {
  auto& s = S();
  std::lock_guard<std::mutex> g(s.mu);
  Init(s);
  s.toStderr = on;
}

void SetDebugOutputCapture(std::function<void(const std::string&)> capture) {
  auto& s = S();
  std::lock_guard<std::mutex> g(s.mu);
  Init(s);
  s.capture = std::move(capture);
}

}  // namespace sys

#pragma once
// An X server of a test's own (Xvfb) on a free display number, ended with the object. Tests
// that need one skip when Xvfb is not installed (HaveXvfb).
#include <sys/types.h>

#include <string>

namespace support {

bool HaveXvfb();
// Whether a program is found in PATH (a tool a test drives the display with).
bool HaveProgram(const std::string& name);

class Xvfb {
 public:
  // A screen of w x h pixels, 24 bits deep. display() is empty when the server did not start.
  Xvfb(int w, int h);
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;
  // ":N", for DISPLAY.
  const std::string& display() const { return display_; }
  // Stops the server now (the programs on it lose their display).
  void Stop();

 private:
  std::string display_;
  pid_t pid_ = -1;
};

}  // namespace support

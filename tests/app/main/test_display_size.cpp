// The program takes the display's size: its screen is the display (a 640x480 display as well as
// 800x600 and 1024x768), the screens are laid out for 640x480 and scaled by 1.25 on any other
// size, and the first screen lies wholly on the display. Runs under Xvfb (skipped without it).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/ui/draw/bitmap.h"
#include "program_run.h"

namespace {

bool HaveXvfb() { return std::system("command -v Xvfb >/dev/null 2>&1") == 0; }

class Xvfb {
 public:
  Xvfb(int number, int w, int h) : display_(":" + std::to_string(number)) {
    pid_ = fork();
    if (pid_ == 0) {
      const std::string screen = std::to_string(w) + "x" + std::to_string(h) + "x24";
      execlp("Xvfb", "Xvfb", display_.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    // Ready when its socket exists.
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~Xvfb() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& display() const { return display_; }

 private:
  std::string display_;
  pid_t pid_ = -1;
};

TEST(DisplaySize, TheProgramFillsDisplaysOfEachSize) {
  if (!HaveXvfb()) GTEST_SKIP() << "Xvfb not installed";
  const draw::Color frame = draw::RGB(0, 76, 120);  // the screens' outer frame
  struct Case {
    int w, h;
    int screenW, screenH;  // the start-up screen: 640x480 laid out, x1.25 on other displays
  };
  const Case cases[] = {{640, 480, 640, 480}, {800, 600, 800, 600}, {1024, 768, 800, 600}};
  int number = 90 + static_cast<int>(getpid() % 50);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    Xvfb x(number++, c.w, c.h);
    program_run::ProgramCopy program;
    // A board that never answers keeps the start-up screen up while the screen is taken.
    program_run::BoardSim board({"--silent", "--quiet"});
    ASSERT_FALSE(board.device().empty());
    const std::string shot = program.file("screen.png");
    const pid_t pid = program_run::Start(program, {"--screenshot", shot, "--after", "3", "--seconds", "5"}, x.display(), board.device());
    ASSERT_EQ(program_run::WaitEnd(pid, 40), 0);
    std::string error;
    const draw::Bitmap b = draw::Bitmap::LoadFile(shot, &error);
    ASSERT_FALSE(b.IsNull()) << error;
    EXPECT_EQ(b.GetSize(), draw::Size(c.w, c.h)) << "the screen is the display";
    // The start-up screen, centred, with its frame at its four corners: all of it is on the display.
    const int left = (c.w - c.screenW) / 2, top = (c.h - c.screenH) / 2;
    const int right = left + c.screenW - 1, bottom = top + c.screenH - 1;
    for (auto [px, py] : {std::pair{left + 1, top + 1}, std::pair{right - 1, top + 1}, std::pair{left + 1, bottom - 1},
                          std::pair{right - 1, bottom - 1}})
      EXPECT_EQ(b.GetPixel(px, py), frame) << "frame corner at " << px << "," << py;
  }
}

}  // namespace

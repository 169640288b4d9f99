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
#include "tests/support/xvfb.h"

namespace {

TEST(DisplaySize, TheProgramFillsDisplaysOfEachSize) {
  if (!support::HaveXvfb()) GTEST_SKIP() << "Xvfb not installed";
  const draw::Color frame = draw::RGB(0, 76, 120);  // the screens' outer frame
  struct Case {
    int w, h;
    int screenW, screenH;  // the start-up screen: 640x480 laid out, x1.25 on other displays
  };
  const Case cases[] = {{640, 480, 640, 480}, {800, 600, 800, 600}, {1024, 768, 800, 600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    support::Xvfb x(c.w, c.h);
    ASSERT_FALSE(x.display().empty()) << "Xvfb did not start";
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

// Choosing the backend, and the SDL backend on SDL's display-less video driver.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "tools/gallery/demo_dialog.h"
#include "platform/ui/foreign_window.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"
#include "tests/support/xvfb.h"

using namespace ui;

TEST(Backends, TheChoiceFollowsTheOptionThenTheEnvironment) {
  struct Case {
    const char* env;
    const char* arg;
    BackendKind expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, BackendKind::Auto},
      {"offscreen", nullptr, BackendKind::Offscreen},
      {"sdl", nullptr, BackendKind::Sdl},
      {"sdl", "--offscreen", BackendKind::Offscreen},
      {nullptr, "--sdl", BackendKind::Sdl},
  };
  for (const Case& c : cases) {
    if (c.env) setenv("QUORVEX_UI_BACKEND", c.env, 1); else unsetenv("QUORVEX_UI_BACKEND");
    char prog[] = "prog";
    char arg[16] = {};
    char* argv[] = {prog, arg, nullptr};
    int argc = 1;
    if (c.arg) {
      std::snprintf(arg, sizeof arg, "%s", c.arg);
      argc = 2;
    }
    EXPECT_EQ(BackendFromEnvironment(argc, argv), c.expected) << (c.env ? c.env : "-") << " " << (c.arg ? c.arg : "-");
  }
  unsetenv("QUORVEX_UI_BACKEND");
}

TEST(Backends, WithoutADisplayAutoDrawsOffscreen) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  ASSERT_TRUE(Init());
  EXPECT_EQ(ActiveBackend(), BackendKind::Offscreen);
  EXPECT_EQ(GetScreenSize(), Size(800, 600));
  Shutdown();
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
}

TEST(Backends, TheSdlWindowShowsAndTakesInput) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  sys::Clock::UseManual();
  InitOptions o;
  o.backend = BackendKind::Sdl;
  o.width = 640;
  o.height = 480;
  ASSERT_TRUE(Init(o));
  if (ActiveBackend() != BackendKind::Sdl) {
    Shutdown();
    GTEST_SKIP() << "SDL has no display-less driver here";
  }
  {
    TestDriver d;
    demo::DemoDialog dlg(1);
    ASSERT_TRUE(dlg.CreateModeless());
    dlg.ShowWindow(SW_SHOW);
    d.Settle();
    EXPECT_EQ(dlg.GetWindowRect(), Rect(0, 0, 640, 480));
    d.Press(demo::kIdPush);
    EXPECT_EQ(dlg.Clicks(), 1);
    ShowCursor(false);
    ShowCursor(true);
    SetClipboardText("x");
  }
  Shutdown();
  unsetenv("SDL_VIDEODRIVER");
}

TEST(Backends, ForeignWindowsAreFoundOnlyWithADisplay) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  EXPECT_FALSE(FindForeignWindow("On-Screen Keyboard"));
  EXPECT_FALSE(ActivateForeignWindow("On-Screen Keyboard"));
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
}

// The loop waits on the display itself rather than polling it: another thread's post and a due
// timer must still end that wait. Were either missed, the loop would sleep for ever (the watchdog
// then ends the test program).
TEST(Backends, AnSdlLoopWaitingForInputWakesForAPostFromAnotherThreadAndForItsTimer) {
  if (!support::HaveXvfb()) GTEST_SKIP() << "Xvfb not installed";
  support::Xvfb x(640, 480);
  ASSERT_FALSE(x.display().empty());
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  setenv("DISPLAY", x.display().c_str(), 1);
  unsetenv("SDL_VIDEODRIVER");
  sys::Clock::UseReal();
  InitOptions o;
  o.backend = BackendKind::Sdl;
  o.width = 640;
  o.height = 480;
  ASSERT_TRUE(Init(o));
  ASSERT_EQ(ActiveBackend(), BackendKind::Sdl);

  std::mutex m;
  std::condition_variable cv;
  bool finished = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> l(m);
    if (!cv.wait_for(l, std::chrono::seconds(60), [&] { return finished; })) {
      std::fprintf(stderr, "the user-interface loop never woke up\n");
      std::_Exit(3);
    }
  });
  {
    demo::DemoDialog dlg(1);
    ASSERT_TRUE(dlg.CreateModeless());
    dlg.ShowWindow(SW_SHOW);
    dlg.KillTimer(1);  // the demo's clock: nothing may be due while the loop sleeps
    std::atomic<bool> posted{false};
    int timerTicks = 0;
    // The post comes once the loop has gone to sleep with nothing due.
    std::thread poster([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      PostToUiThread([&] {
        posted = true;
        dlg.SetTimer(7, 200);
      });
    });
    Message msg;
    while (GetMessage(msg)) {
      if (msg.message == WM_TIMER && msg.hwnd == dlg.Handle() && msg.wParam == 7) {
        ++timerTicks;
        PostQuitMessage(0);
        continue;
      }
      DispatchMessage(msg);
    }
    poster.join();
    EXPECT_TRUE(posted.load());
    EXPECT_EQ(timerTicks, 1);
  }
  {
    std::lock_guard<std::mutex> l(m);
    finished = true;
  }
  cv.notify_all();
  watchdog.join();
  Shutdown();
  sys::Clock::UseManual();
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1); else unsetenv("DISPLAY");
}

// Quorvex: the workstation program of the analyzer. One window (full screen on the
// instrument); the board on COM4 and the thermal printer on COM3 (QUORVEX_COM4 and
// QUORVEX_COM3 name other devices, such as the simulators' pseudo-terminals).
//
//   Quorvex [--offscreen|--sdl] [--fullscreen] [--size WxH] [--screenshot file.png [--after S]] [--seconds S]
//
// The screen is the display's size (800x600 offscreen) unless --size names one; the screens are
// laid out for 640x480 and scaled by 1.25 on any other size.
// --screenshot saves the screen S seconds (default 3) after start; --seconds ends the program
// after S seconds (for scripted runs); both count in real time.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "core/onscreen_keyboard.h"
#include "core/screen_registry.h"
#include "app/screens/vantorium_app.h"
#include "measurement/screen/sample_globals.h"
#include "platform/sys/program_dir.h"
#include "platform/sys/termination.h"
#include "platform/ui/app.h"
#include "platform/ui/test_driver.h"

namespace {

CVantoriumApp* RunningApp = nullptr;  // UI thread only

// Timed actions of a scripted run, carried out on the user-interface thread.
void StartTimedActions(const std::string& shot, int shotAfter, int seconds, std::atomic<bool>* done) {
  std::thread([=] {
    const auto start = std::chrono::steady_clock::now();
    bool shotTaken = shot.empty();
    while (!done->load()) {
      // Sleeps until the next action is due (an idle program must not wake for nothing); once
      // the quit is due it is posted again every 100 ms.
      const auto before = std::chrono::steady_clock::now() - start;
      std::chrono::steady_clock::duration wait = std::chrono::milliseconds(100);
      if (seconds <= 0) wait = std::chrono::hours(1);
      else if (before < std::chrono::seconds(seconds)) wait = std::chrono::seconds(seconds) - before;
      if (!shotTaken && std::chrono::seconds(shotAfter) - before < wait)
        wait = std::max<std::chrono::steady_clock::duration>(std::chrono::seconds(shotAfter) - before, {});
      std::this_thread::sleep_for(wait);
      const auto elapsed = std::chrono::steady_clock::now() - start;
      if (!shotTaken && elapsed >= std::chrono::seconds(shotAfter)) {
        shotTaken = true;
        ui::PostToUiThread([shot] {
          ui::TestDriver d;
          if (d.SaveScreenshot(shot)) std::printf("Quorvex: screen saved to %s\n", shot.c_str());
          else std::fprintf(stderr, "Quorvex: could not save %s\n", shot.c_str());
          std::fflush(stdout);
        });
      }
      // Every screen still to come in the start-up sees the quit too.
      // The end is a clean one: saved and booked in the system log as the Exit path does.
      if (seconds > 0 && elapsed >= std::chrono::seconds(seconds))
        ui::PostToUiThread([] {
          if (RunningApp != nullptr) RunningApp->EndOnTimedRun();
          ui::PostQuitMessage(0);
        });
    }
  }).detach();
}

}  // namespace

void RegisterProgramScreens();

namespace {
std::atomic<bool> ProgramDone{false};  // outlives the helper threads

// Posts the end (`end` of the app, then the quit) to the UI thread every 100 ms until the
// program is done: a loop that clears the quit must not keep a later screen open. False when
// there is no window system (yet, or any more) to post to.
bool PostEndUntilDone(void (CVantoriumApp::*end)()) {
  while (!ProgramDone.load()) {
    const bool posted = ui::PostToUiThread([end] {
      if (RunningApp != nullptr) (RunningApp->*end)();
      ui::PostQuitMessage(0);
    });
    if (!posted) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  // SIGTERM and SIGINT end the program as its Exit path does (installed before any thread is
  // started, so that every thread leaves them to the handler's thread). The quit is posted
  // again until the program is done: a loop that clears it must not keep a later screen open.
  sys::InstallTerminationHandler([](int signal) {
    static std::atomic<bool> once{false};
    if (once.exchange(true)) return;
    // No window system yet (or any more): nothing to save.
    if (!PostEndUntilDone(&CVantoriumApp::EndOnSignal)) std::_Exit(128 + signal);
  });
  std::string shot;
  int shotAfter = 3, seconds = 0;
  bool fullScreen = false;
  int width = 0, height = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--screenshot") && i + 1 < argc) shot = argv[++i];
    else if (!std::strcmp(argv[i], "--after") && i + 1 < argc) shotAfter = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) seconds = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--fullscreen")) fullScreen = true;
    else if (!std::strcmp(argv[i], "--size") && i + 1 < argc &&
             std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2 && width > 0 && height > 0) ++i;
    else if (!std::strcmp(argv[i], "--size")) width = height = 0;
  }
  InstallCrashDumpFilter();

  ui::InitOptions o;
  o.backend = ui::BackendFromEnvironment(argc, argv);
  o.width = width;
  o.height = height;
  o.fullScreen = fullScreen;
  o.title = "Quorvex";
  if (!ui::Init(o)) {
    std::fprintf(stderr, "Quorvex: cannot start the window system\n");
    return 1;
  }
  if (!shot.empty() || seconds > 0) StartTimedActions(shot, shotAfter, seconds, &ProgramDone);
  // The display gone for good (its X server stopped, as at a system shutdown): the program saves
  // and ends as on a termination signal, drawing nothing any more.
  ui::SetDisplayLostHandler([] { std::thread([] { PostEndUntilDone(&CVantoriumApp::EndOnDisplayLost); }).detach(); });

  int code = 0;
  {
    RegisterProgramScreens();
    CVantoriumApp app;
    RunningApp = &app;
    app.InitInstance();
    code = app.ExitInstance();
    RunningApp = nullptr;
  }
  // Whatever port a screen left open is closed and its thread joined while the event layer
  // still stands: nothing is left to the static destructors.
  measurement::CloseLisSerialPort();
  // The on-screen keyboard this program started does not outlive it.
  EndOnScreenKeyboard();
  ProgramDone = true;
  ui::Shutdown();
  return code;
}

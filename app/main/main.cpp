// Quorvex: the workstation program of the analyzer. One window (full screen on the
// instrument); the board on COM4 and the thermal printer on COM3 (QUORVEX_COM4 and
// QUORVEX_COM3 name other devices, such as the simulators' pseudo-terminals).
//
//   Quorvex [--offscreen|--sdl] [--fullscreen] [--screenshot file.png [--after S]] [--seconds S]
//
// --screenshot saves the screen S seconds (default 3) after start; --seconds ends the program
// after S seconds (for scripted runs); both count in real time.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "core/screen_registry.h"
#include "app/screens/vantorium_app.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/app.h"
#include "platform/ui/test_driver.h"

namespace {

// Timed actions of a scripted run, carried out on the user-interface thread.
void StartTimedActions(const std::string& shot, int shotAfter, int seconds, std::atomic<bool>* done) {
  std::thread([=] {
    const auto start = std::chrono::steady_clock::now();
    bool shotTaken = shot.empty();
    while (!done->load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
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
      if (seconds > 0 && elapsed >= std::chrono::seconds(seconds))
        ui::PostToUiThread([] { ui::PostQuitMessage(0); });
    }
  }).detach();
}

}  // namespace

void RegisterProgramScreens();

int main(int argc, char** argv) {
  std::string shot;
  int shotAfter = 3, seconds = 0;
  bool fullScreen = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--screenshot") && i + 1 < argc) shot = argv[++i];
    else if (!std::strcmp(argv[i], "--after") && i + 1 < argc) shotAfter = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) seconds = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--fullscreen")) fullScreen = true;
  }
  InstallCrashDumpFilter();

  ui::InitOptions o;
  o.backend = ui::BackendFromEnvironment(argc, argv);
  o.width = 800;
  o.height = 600;
  o.fullScreen = fullScreen;
  o.title = "Quorvex";
  if (!ui::Init(o)) {
    std::fprintf(stderr, "Quorvex: cannot start the window system\n");
    return 1;
  }
  static std::atomic<bool> done{false};  // outlives the timed-action thread
  if (!shot.empty() || seconds > 0) StartTimedActions(shot, shotAfter, seconds, &done);

  int code = 0;
  {
    RegisterProgramScreens();
    CVantoriumApp app;
    app.InitInstance();
    code = app.ExitInstance();
  }
  done = true;
  ui::Shutdown();
  return code;
}

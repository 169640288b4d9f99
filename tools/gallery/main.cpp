// The gallery: shows the demonstration dialog with every standard control in a real window
// (SDL; under Xvfb on a machine without a display), so the controls can be seen and tried.
//
//   gallery [--lang N] [--offscreen] [--screenshot file.png] [--seconds S]
//
// --lang picks the language (0 Chinese, 1 English, 2 Spanish, 3 French, 4 Ukrainian);
// --screenshot saves the screen once it has been drawn; --seconds closes the gallery after
// S seconds (for scripted runs). OK and Cancel close it too. On a machine without a display
// the gallery starts its own Xvfb (when installed) and shows its window there.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/ui/app.h"
#include "tools/gallery/demo_dialog.h"
#include "platform/ui/test_driver.h"

namespace {

class GalleryDialog : public ui::demo::DemoDialog {
 public:
  GalleryDialog(int lang, std::string shot, int seconds) : DemoDialog(lang), shot_(std::move(shot)), seconds_(seconds) {}

 protected:
  bool OnInitDialog() override {
    DemoDialog::OnInitDialog();
    if (!shot_.empty()) SetTimer(101, 500);
    if (seconds_ > 0) SetTimer(102, static_cast<unsigned>(seconds_) * 1000u);
    return true;
  }
  void OnTimer(uintptr_t id) override {
    if (id == 101) {
      KillTimer(101);
      ui::TestDriver d;
      if (d.SaveScreenshot(shot_)) std::printf("gallery: screen saved to %s\n", shot_.c_str());
      else std::fprintf(stderr, "gallery: could not save %s\n", shot_.c_str());
      return;
    }
    if (id == 102) {
      EndDialog(ui::IDCANCEL);
      return;
    }
    DemoDialog::OnTimer(id);
  }

 private:
  std::string shot_;
  int seconds_;
};

// Starts "Xvfb -displayfd" and points DISPLAY at it. Returns its process id, or 0.
pid_t StartXvfb() {
  int fds[2];
  if (pipe(fds) != 0) return 0;
  const std::string fd = std::to_string(fds[1]);
  const char* args[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp", nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "Xvfb", nullptr, nullptr, const_cast<char* const*>(args), environ) != 0) {
    close(fds[0]);
    close(fds[1]);
    return 0;
  }
  close(fds[1]);
  char buf[32] = {};
  size_t n = 0;
  while (n < sizeof buf - 1) {
    const ssize_t r = read(fds[0], buf + n, sizeof buf - 1 - n);
    if (r <= 0) break;
    n += static_cast<size_t>(r);
    if (std::memchr(buf, '\n', n)) break;
  }
  close(fds[0]);
  const int display = std::atoi(buf);
  if (n == 0) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return 0;
  }
  const std::string name = ":" + std::to_string(display);
  setenv("DISPLAY", name.c_str(), 1);
  std::printf("gallery: no display here; started Xvfb on %s\n", name.c_str());
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  int lang = 1;
  int seconds = 0;
  std::string shot;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--lang") && i + 1 < argc) lang = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--screenshot") && i + 1 < argc) shot = argv[++i];
    else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) seconds = std::atoi(argv[++i]);
  }
  ui::InitOptions o;
  o.backend = ui::BackendFromEnvironment(argc, argv);
  pid_t xvfb = 0;
  const char* display = std::getenv("DISPLAY");
  if (o.backend != ui::BackendKind::Offscreen && (!display || !*display) && !std::getenv("WAYLAND_DISPLAY")) {
    xvfb = StartXvfb();
  }
  o.width = 800;
  o.height = 600;
  o.title = "Quorvex gallery";
  if (!ui::Init(o)) {
    std::fprintf(stderr, "gallery: cannot start the window system\n");
    return 1;
  }
  std::printf("gallery: %s backend\n", ui::ActiveBackend() == ui::BackendKind::Sdl ? "SDL" : "offscreen");
  if (ui::ActiveBackend() == ui::BackendKind::Offscreen && seconds == 0 && !shot.empty()) seconds = 1;
  GalleryDialog dlg(lang, shot, seconds);
  const int r = dlg.DoModal();
  ui::Shutdown();
  if (xvfb > 0) {
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
  }
  return r == ui::kModalQuit ? 0 : (r == ui::IDOK || r == ui::IDCANCEL ? 0 : 1);
}

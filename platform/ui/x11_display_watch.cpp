#include "platform/ui/detail/x11_display_watch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <cstdio>

namespace ui::detail {
namespace {

using IoErrorHandler = int (*)(Display*);
using IoExitHandler = void (*)(Display*, void*);

Display* g_display = nullptr;
void (*g_onLost)() = nullptr;
IoErrorHandler g_previous = nullptr;

// Xlib's own handler ends the process for a broken connection; for the watched display the
// loss is only told here, and Xlib then calls ConnectionLost in place of its exit.
int IoError(Display* d) {
  if (d != g_display) return g_previous != nullptr ? g_previous(d) : 0;
  std::fprintf(stderr, "ui: the connection to the X display is lost\n");
  return 0;
}

void ConnectionLost(Display*, void*) {
  if (g_onLost) g_onLost();
}

}  // namespace

int WatchX11Connection(SDL_Window* window, void (*onLost)()) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return -1;
  Display* display = info.info.x11.display;
  void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);  // the copy SDL loaded
  if (lib == nullptr) return -1;
  using SetErrorHandler = IoErrorHandler (*)(IoErrorHandler);
  using SetExitHandler = void (*)(Display*, IoExitHandler, void*);
  auto setError = reinterpret_cast<SetErrorHandler>(dlsym(lib, "XSetIOErrorHandler"));
  auto setExit = reinterpret_cast<SetExitHandler>(dlsym(lib, "XSetIOErrorExitHandler"));
  if (setError != nullptr && setExit != nullptr) {
    g_display = display;
    g_onLost = onLost;
    setExit(display, &ConnectionLost, nullptr);
    g_previous = setError(&IoError);
  } else {
    std::fprintf(stderr, "ui: this libX11 ends the program itself when the display goes away\n");
  }
  dlclose(lib);
  return ConnectionNumber(display);
}

}  // namespace ui::detail

#pragma once
// Xlib ends the process with `exit` from inside whatever call finds the X server's connection
// lost, which runs the static destructors under threads that still use them. Watching the
// window's X display replaces that exit: `onLost` is called instead (on the thread of that call)
// and Xlib makes every later call on the display do nothing.
struct SDL_Window;

namespace ui::detail {

// Returns the X connection's descriptor (to wait on for input), or -1 for a window that is not
// on X. A libX11 that cannot be told keeps its own exit (a line on stderr says so).
int WatchX11Connection(SDL_Window* window, void (*onLost)());

}  // namespace ui::detail

#include "platform/ui/foreign_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace ui {
namespace {

// libX11 is loaded when first needed, so the program runs where it is missing.
struct X11 {
  void* lib = nullptr;
  Display* (*OpenDisplay)(const char*) = nullptr;
  int (*CloseDisplay)(Display*) = nullptr;
  ::Window (*RootOf)(Display*) = nullptr;
  Status (*QueryTree)(Display*, Window, Window*, Window*, Window**, unsigned*) = nullptr;
  Status (*FetchName)(Display*, Window, char**) = nullptr;
  int (*Free)(void*) = nullptr;
  Atom (*InternAtom)(Display*, const char*, Bool) = nullptr;
  int (*GetWindowProperty)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*, unsigned long*, unsigned long*,
                           unsigned char**) = nullptr;
  int (*MapRaised)(Display*, Window) = nullptr;
  Status (*SendEvent)(Display*, Window, Bool, long, XEvent*) = nullptr;
  int (*Flush)(Display*) = nullptr;
  Status (*GetWindowAttributes)(Display*, Window, XWindowAttributes*) = nullptr;
  Bool (*TranslateCoordinates)(Display*, Window, Window, int, int, int*, int*, Window*) = nullptr;
  int (*MoveWindow)(Display*, Window, int, int) = nullptr;
  Status (*WithdrawWindow)(Display*, Window, int) = nullptr;
  int (*ScreenNumber)(Display*) = nullptr;
  int (*Sync)(Display*, Bool) = nullptr;

  bool Load() {
    if (lib) return true;
    lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (!lib) return false;
    bool ok = true;
    auto get = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
      ok = ok && fn;
    };
    get(OpenDisplay, "XOpenDisplay");
    get(CloseDisplay, "XCloseDisplay");
    get(RootOf, "XDefaultRootWindow");
    get(QueryTree, "XQueryTree");
    get(FetchName, "XFetchName");
    get(Free, "XFree");
    get(InternAtom, "XInternAtom");
    get(GetWindowProperty, "XGetWindowProperty");
    get(MapRaised, "XMapRaised");
    get(SendEvent, "XSendEvent");
    get(Flush, "XFlush");
    get(GetWindowAttributes, "XGetWindowAttributes");
    get(TranslateCoordinates, "XTranslateCoordinates");
    get(MoveWindow, "XMoveWindow");
    get(WithdrawWindow, "XWithdrawWindow");
    get(ScreenNumber, "XDefaultScreen");
    get(Sync, "XSync");
    if (!ok) {
      dlclose(lib);
      lib = nullptr;
    }
    return ok;
  }
};

X11& Lib() {
  static X11 x;
  return x;
}

std::string TitleOf(X11& x, Display* d, Window w) {
  // The UTF-8 title first, then the old one.
  Atom netName = x.InternAtom(d, "_NET_WM_NAME", False);
  Atom utf8 = x.InternAtom(d, "UTF8_STRING", False);
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (x.GetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &n, &after, &data) == Success && data) {
    title.assign(reinterpret_cast<char*>(data), n);
    x.Free(data);
    if (!title.empty()) return title;
  }
  char* name = nullptr;
  if (x.FetchName(d, w, &name) && name) {
    title = name;
    x.Free(name);
  }
  return title;
}

Window FindIn(X11& x, Display* d, Window w, const std::string& title, int depth) {
  if (depth > 0 && TitleOf(x, d, w) == title) return w;
  if (depth > 3) return 0;
  Window root, parent;
  Window* kids = nullptr;
  unsigned n = 0;
  if (!x.QueryTree(d, w, &root, &parent, &kids, &n)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < n && !found; ++i) found = FindIn(x, d, kids[i], title, depth + 1);
  if (kids) x.Free(kids);
  return found;
}

template <class Fn>
bool WithWindow(const std::string& title, Fn fn) {
  const char* disp = std::getenv("DISPLAY");
  if (!disp || !*disp || title.empty()) return false;
  X11& x = Lib();
  if (!x.Load()) return false;
  Display* d = x.OpenDisplay(nullptr);
  if (!d) return false;
  const Window w = FindIn(x, d, x.RootOf(d), title, 0);
  if (w) fn(x, d, w);
  x.CloseDisplay(d);
  return w != 0;
}

}  // namespace

bool FindForeignWindow(const std::string& title) {
  return WithWindow(title, [](X11&, Display*, Window) {});
}

bool ActivateForeignWindow(const std::string& title) {
  return WithWindow(title, [](X11& x, Display* d, Window w) {
    x.MapRaised(d, w);
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = x.InternAtom(d, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2;  // from a pager-like source: honoured by window managers
    x.SendEvent(d, x.RootOf(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    x.Flush(d);
  });
}

bool ForeignWindowGeometry(const std::string& title, Rect* where, bool* shown) {
  return WithWindow(title, [&](X11& x, Display* d, Window w) {
    XWindowAttributes a;
    std::memset(&a, 0, sizeof a);
    if (!x.GetWindowAttributes(d, w, &a)) return;
    int rx = 0, ry = 0;
    Window child = 0;
    x.TranslateCoordinates(d, w, x.RootOf(d), 0, 0, &rx, &ry, &child);
    if (where) *where = Rect(rx, ry, rx + a.width, ry + a.height);
    if (shown) *shown = a.map_state == IsViewable;
  });
}

bool MoveForeignWindow(const std::string& title, int left, int top) {
  return WithWindow(title, [&](X11& x, Display* d, Window w) {
    x.MoveWindow(d, w, left, top);
    x.Sync(d, False);
  });
}

bool HideForeignWindow(const std::string& title) {
  return WithWindow(title, [](X11& x, Display* d, Window w) {
    // Withdrawn rather than only unmapped, so that a window manager lets it go as well.
    x.WithdrawWindow(d, w, x.ScreenNumber(d));
    x.Sync(d, False);
  });
}

}  // namespace ui

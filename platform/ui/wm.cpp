// The window manager: top-level windows in z-order composited into the one screen, the
// paint cycle, and the routing of raw input to windows.
#include <algorithm>

#include "platform/sys/clock.h"
#include "platform/ui/detail/context.h"
#include "platform/ui/detail/window_access.h"
#include "platform/ui/keys.h"
#include "platform/ui/scroll_parts.h"
#include "platform/ui/window.h"

namespace ui {

using namespace detail;

namespace {

// Offset of a window's client area inside its top-level window's back buffer.
Point BackingOrigin(Window* w) {
  Window* top = w->GetTopLevel();
  const Point o = w->ClientOrigin();
  const Rect tr = top->GetWindowRect();
  return Point(o.x - tr.left, o.y - tr.top);
}

// Notes that part of a top-level window's back buffer changed.
void DamageBacking(Window* top, const Rect& inBacking) {
  const Rect tr = top->GetWindowRect();
  ScreenChangedIn(inBacking.Offset(tr.left, tr.top));
}

void ClearInvalid(Window* w) {
  w->ValidateRect(nullptr);
  for (Window* ch : w->Children()) ClearInvalid(ch);
}

ScrollGeometry BarGeometry(Window* w, int bar, Point clientOrigin) {
  ScrollGeometry g;
  const Rect cr = w->GetClientRect().Offset(clientOrigin.x, clientOrigin.y);
  g.vertical = bar == SB_VERT;
  g.bar = g.vertical ? Rect(cr.right, cr.top, cr.right + kScrollBarSize, cr.bottom)
                     : Rect(cr.left, cr.bottom, cr.right, cr.bottom + kScrollBarSize);
  int* track = nullptr;
  WindowAccess::BarState(w, bar, g.min, g.max, g.page, g.pos, track);
  return g;
}

void PaintBars(Window* w, Point o, const Rect& clip, const draw::Bitmap& backing) {
  const bool dirty = WindowAccess::TakeBarsDirty(w);
  if (!dirty) return;
  for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
    if (!w->HasScrollBar(bar)) continue;
    const ScrollGeometry g = BarGeometry(w, bar, o);
    const Rect vis = g.bar.Intersect(clip);
    if (vis.IsEmpty()) continue;
    draw::DC dc(backing);
    dc.SetDeviceClip({vis});
    PaintScrollBar(dc, g, w->IsWindowEnabled());
    DamageBacking(w->GetTopLevel(), vis);
  }
  if (w->HasScrollBar(SB_HORZ) && w->HasScrollBar(SB_VERT)) {
    const Rect cr = w->GetClientRect().Offset(o.x, o.y);
    const Rect corner = Rect(cr.right, cr.bottom, cr.right + kScrollBarSize, cr.bottom + kScrollBarSize).Intersect(clip);
    if (!corner.IsEmpty()) {
      draw::DC dc(backing);
      dc.FillSolidRect(corner, SysColor(COLOR_BTNFACE));
      DamageBacking(w->GetTopLevel(), corner);
    }
  }
}

void PaintTree(Window* w, const Rect& clip, const draw::Bitmap& backing) {
  if (!(w->GetStyle() & WS_VISIBLE)) {
    ClearInvalid(w);
    return;
  }
  const Point o = BackingOrigin(w);
  if (w->HasScrollBar(SB_HORZ) || w->HasScrollBar(SB_VERT)) PaintBars(w, o, clip, backing);
  const Rect client = w->GetClientRect().Offset(o.x, o.y).Intersect(clip);
  if (client.IsEmpty()) {
    ClearInvalid(w);
    return;
  }
  Rect inv;
  if (w->GetUpdateRect(&inv)) {
    const WindowHandle h = w->Handle();
    const bool erase = WindowAccess::TakeErase(w);
    w->ValidateRect(nullptr);
    const Rect invB = inv.Offset(o.x, o.y).Intersect(client);
    if (!invB.IsEmpty()) {
      DamageBacking(w->GetTopLevel(), invB);
      draw::DC dc(backing);
      dc.SetDeviceOrigin(o.x, o.y);
      dc.SetDeviceClip({invB});
      if (erase) SafeCall(w, WM_ERASEBKGND, reinterpret_cast<WParam>(&dc), 0);
      if (Window::FromHandle(h) != w) return;
      SafeCall(w, WM_PAINT, reinterpret_cast<WParam>(&dc), 0);
      if (Window::FromHandle(h) != w) return;
    }
  }
  const std::vector<Window*> kids = w->Children();
  for (Window* ch : kids) {
    if (ch->IsWindow() && ch->GetParent() == w) PaintTree(ch, client, backing);
  }
}

bool TopLevelUsable(Window* w) { return w && w->IsWindow() && w->IsWindowVisible(); }

Window* TopLevelAt(Point p) {
  auto& tl = Ctx().topLevels;
  for (auto it = tl.rbegin(); it != tl.rend(); ++it) {
    if (TopLevelUsable(*it) && (*it)->GetWindowRect().Contains(p)) return *it;
  }
  return nullptr;
}

Window* ChildAt(Window* w, Point screen) {
  const auto& kids = w->Children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    Window* ch = *it;
    if (!(ch->GetStyle() & WS_VISIBLE) || ch->IsHitTransparent()) continue;
    if (ch->GetWindowRect().Contains(screen)) return ChildAt(ch, screen);
  }
  return w;
}

void Post(Window* w, uint32_t msg, WParam wp, LParam lp) {
  auto& c = Ctx();
  QueueItem q;
  q.msg.hwnd = w->Handle();
  q.msg.message = msg;
  q.msg.wParam = wp;
  q.msg.lParam = lp;
  q.msg.time = sys::Clock::TickMs();
  q.msg.pt = c.cursor;
  std::lock_guard<std::mutex> g(c.mu);
  c.posted.push_back(std::move(q));
}

// Input reaches a window only when it and its top-level window are enabled (a modal
// dialog's owner is disabled).
bool Accepts(Window* w) {
  if (!w || !w->IsWindow()) return false;
  for (Window* p = w; p; p = p->GetParent()) {
    if (!p->IsWindowEnabled()) return false;
  }
  return true;
}

unsigned MouseFlags() {
  auto& c = Ctx();
  return c.buttons | (c.shift ? unsigned{MK_SHIFT} : 0u) | (c.ctrl ? unsigned{MK_CONTROL} : 0u);
}

void SetMouseOver(Window* target) {
  auto& c = Ctx();
  const WindowHandle h = target ? target->Handle() : 0;
  if (c.mouseOver == h) {
    if (target && (WindowAccess::TrackFlags(target) & TME_HOVER)) c.hoverStart = sys::Clock::TickMs();
    return;
  }
  if (Window* old = Window::FromHandle(c.mouseOver)) {
    unsigned& f = WindowAccess::TrackFlags(old);
    if (f & TME_LEAVE) Post(old, WM_MOUSELEAVE, 0, 0);
    f = 0;
  }
  c.mouseOver = h;
  c.hoverStart = sys::Clock::TickMs();
}

// Mouse input on a window's own scroll bars becomes WM_HSCROLL / WM_VSCROLL to the window.
bool HandleScrollBarInput(Window* target, const InputEvent& ev, Point cp) {
  auto& c = Ctx();
  using K = InputEvent::Kind;
  if (c.ncTrackWnd) {
    if (target->Handle() != c.ncTrackWnd) return false;
    const int bar = c.ncTrackBar;
    ScrollGeometry g = BarGeometry(target, bar, Point(0, 0));
    const int lead = (bar == SB_VERT ? cp.y - g.bar.top : cp.x - g.bar.left) - c.ncTrackOffset;
    const int pos = ScrollPosFromThumb(g, lead);
    int mn, mx, pg, ps;
    int* track = nullptr;
    WindowAccess::BarState(target, bar, mn, mx, pg, ps, track);
    *track = pos;
    const uint32_t msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    if (ev.kind == K::MouseMove) {
      Post(target, msg, MakeWParam(SB_THUMBTRACK, static_cast<unsigned>(pos) & 0xFFFF), 0);
    } else if (ev.kind == K::MouseUp) {
      Post(target, msg, MakeWParam(SB_THUMBPOSITION, static_cast<unsigned>(pos) & 0xFFFF), 0);
      Post(target, msg, MakeWParam(SB_ENDSCROLL, 0), 0);
      c.ncTrackWnd = 0;
      if (c.capture == target->Handle()) Window::ReleaseCapture();
    }
    return true;
  }
  if (!target->HasScrollBar(SB_HORZ) && !target->HasScrollBar(SB_VERT)) return false;
  const Rect cr = target->GetClientRect();
  const Rect in = target->NonClientInsets();
  // Only the bars' own area; points elsewhere (a captured drag outside) go on as usual.
  if (cr.Contains(cp) || !Rect(cr.left, cr.top, cr.right + in.right, cr.bottom + in.bottom).Contains(cp)) return false;
  if (ev.kind != K::MouseDown) return ev.kind != K::MouseMove;
  for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
    if (!target->HasScrollBar(bar)) continue;
    const ScrollGeometry g = BarGeometry(target, bar, Point(0, 0));
    if (!g.bar.Contains(cp)) continue;
    const uint32_t msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    const int part = ScrollHitTest(g, cp);
    if (part == SB_THUMBTRACK) {
      const Rect t = ScrollThumbRect(g);
      c.ncTrackWnd = target->Handle();
      c.ncTrackBar = bar;
      c.ncTrackOffset = bar == SB_VERT ? cp.y - t.top : cp.x - t.left;
      target->SetCapture();
    } else {
      Post(target, msg, MakeWParam(static_cast<unsigned>(part), static_cast<unsigned>(g.pos) & 0xFFFF), 0);
      Post(target, msg, MakeWParam(SB_ENDSCROLL, 0), 0);
    }
    return true;
  }
  return true;
}

}  // namespace

void WindowAccess::MarkBarsDirty(Window* w) {
  w->barsDirty_ = true;
  Ctx().paintPending = true;
  Wake();
}

void WindowAccess::Invalidate(Window* w, const Rect& r, bool erase) {
  if (!w->IsWindow()) return;
  if (r.IsEmpty()) {
    // Only the non-client part may need painting.
    Ctx().paintPending = true;
    return;
  }
  w->invalid_ = w->invalid_.Union(r);
  if (erase) w->eraseNeeded_ = true;
  // The window repaints (and erases) its whole invalid rectangle, which is the union of every
  // area invalidated so far; so every child overlapping that union is painted over it again,
  // not only the children under `r`.
  const Rect area = w->invalid_;
  for (Window* ch : w->children_) {
    const Rect cr = ch->rect_;
    const Rect part = area.Intersect(cr);
    if (part.IsEmpty()) continue;
    const Rect inChild = part.Offset(-cr.left, -cr.top);
    if (inChild.Intersect(ch->GetClientRect()) != inChild) ch->barsDirty_ = true;
    Invalidate(ch, inChild.Intersect(ch->GetClientRect()), erase);
  }
  Ctx().paintPending = true;
  Wake();
}

std::unique_ptr<draw::DC> WindowAccess::ClientDC(Window* w) {
  Window* top = w->GetTopLevel();
  if (top->backing_.IsNull()) PaintTopLevel(top);
  if (top->backing_.IsNull()) return nullptr;
  auto dc = std::make_unique<draw::DC>(top->backing_);
  const Point o = BackingOrigin(w);
  dc->SetDeviceOrigin(o.x, o.y);
  dc->SetDeviceClip({w->GetClientRect().Offset(o.x, o.y)});
  DamageBacking(top, w->GetClientRect().Offset(o.x, o.y));
  return dc;
}

void WindowAccess::PaintTopLevel(Window* top) {
  const Rect r = top->rect_;
  if (r.IsEmpty()) return;
  if (top->backing_.IsNull() || top->backing_.Width() != r.Width() || top->backing_.Height() != r.Height()) {
    top->backing_ = draw::Bitmap::Create(r.Width(), r.Height(), SysColor(COLOR_BTNFACE));
    top->nonClientDirty_ = true;
    top->invalid_ = top->GetClientRect();
    top->eraseNeeded_ = true;
    top->barsDirty_ = true;
    for (Window* ch : top->children_) Invalidate(ch, ch->GetClientRect(), true);
  }
  if (top->nonClientDirty_) {
    top->nonClientDirty_ = false;
    draw::DC dc(top->backing_);
    top->PaintNonClient(dc);
    DamageBacking(top, Rect(0, 0, r.Width(), r.Height()));
  }
  const Rect in = top->NonClientInsets();
  const Rect clip(in.left, in.top, r.Width() - in.right, r.Height() - in.bottom);
  draw::Bitmap backing = top->backing_;
  PaintTree(top, clip, backing);
}

Window* WindowFromPoint(Point screen) {
  Window* top = TopLevelAt(screen);
  return top ? ChildAt(top, screen) : nullptr;
}

namespace detail {

void ScreenChanged() {
  auto& c = Ctx();
  c.composeNeeded = true;
  c.damageAll = true;
  c.damage.clear();
  Wake();
}

void ScreenChangedIn(const Rect& screenRect) {
  auto& c = Ctx();
  c.composeNeeded = true;
  if (!c.damageAll && !screenRect.IsEmpty()) {
    // Rectangles inside one already noted add nothing; beyond a few dozen the whole screen is
    // cheaper than the bookkeeping.
    bool inside = false;
    for (const Rect& d : c.damage) inside = inside || d.Intersect(screenRect) == screenRect;
    if (!inside) c.damage.push_back(screenRect);
    if (c.damage.size() > 64) ScreenChanged();
  }
  Wake();
}

void AddTopLevel(Window* w) {
  auto& tl = Ctx().topLevels;
  tl.erase(std::remove(tl.begin(), tl.end(), w), tl.end());
  if (w->GetExStyle() & WS_EX_TOPMOST) {
    tl.push_back(w);
  } else {
    auto it = std::find_if(tl.begin(), tl.end(), [](Window* x) { return x->GetExStyle() & WS_EX_TOPMOST; });
    tl.insert(it, w);
  }
  ScreenChanged();
}

void RemoveTopLevel(Window* w) {
  auto& tl = Ctx().topLevels;
  tl.erase(std::remove(tl.begin(), tl.end(), w), tl.end());
  ScreenChanged();
}

void RaiseTopLevel(Window* w) {
  AddTopLevel(w);
  // Windows owned by it stay above it.
  for (Window* x : std::vector<Window*>(Ctx().topLevels)) {
    if (x != w && WindowAccess::Owner(x) == w) RaiseTopLevel(x);
  }
}

void PaintAndCompose(bool force) {
  auto& c = Ctx();
  c.paintPending = false;
  bool painted = false;
  for (Window* w : std::vector<Window*>(c.topLevels)) {
    if (!w->IsWindow() || !(w->GetStyle() & WS_VISIBLE)) continue;
    WindowAccess::PaintTopLevel(w);
    painted = true;
  }
  if (!painted && !c.composeNeeded) return;
  c.composeNeeded = true;
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - c.lastCompose < std::chrono::milliseconds(kComposeIntervalMs)) return;
  c.lastCompose = now;
  c.composeNeeded = false;
  if (c.screen.IsNull()) return;
  const int sw = c.screen.Width(), sh = c.screen.Height();
  const Rect all(0, 0, sw, sh);
  // Only what changed is composed and shown: the rectangles painted since the last frame, or
  // the whole screen after a window was shown, hidden, moved or raised.
  std::vector<Rect> changed;
  if (c.damageAll) {
    changed.push_back(all);
  } else {
    for (const Rect& d : c.damage) {
      const Rect r = d.Intersect(all);
      if (!r.IsEmpty()) changed.push_back(r);
    }
  }
  c.damage.clear();
  c.damageAll = false;
  if (changed.empty()) return;
  // Plain row copies: composing is a copy of opaque pixels.
  {
    uint8_t* dst = c.screen.Data();
    const int stride = c.screen.Stride();
    // Black where no window lies; a window that covers the whole screen leaves nothing to clear.
    bool covered = false;
    for (Window* w : c.topLevels) {
      if (!w->IsWindow() || !(w->GetStyle() & WS_VISIBLE)) continue;
      const draw::Bitmap& b = WindowAccess::Backing(w);
      const Rect r = w->GetWindowRect();
      if (!b.IsNull() && Rect::FromSize(r.left, r.top, b.Width(), b.Height()).Intersect(all) == all) covered = true;
    }
    for (const Rect& part : changed) {
      for (int y = part.top; y < part.bottom && !covered; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(dst + static_cast<size_t>(y) * static_cast<size_t>(stride));
        std::fill(row + part.left, row + part.right, 0xFF000000u);
      }
      for (Window* w : c.topLevels) {
        if (!w->IsWindow() || !(w->GetStyle() & WS_VISIBLE)) continue;
        const draw::Bitmap& b = WindowAccess::Backing(w);
        if (b.IsNull()) continue;
        const Rect r = w->GetWindowRect();
        const Rect vis = Rect::FromSize(r.left, r.top, b.Width(), b.Height()).Intersect(part);
        if (vis.IsEmpty()) continue;
        const uint8_t* src = b.Data();
        const int sstride = b.Stride();
        for (int y = vis.top; y < vis.bottom; ++y) {
          const auto* from = reinterpret_cast<const uint32_t*>(src + static_cast<size_t>(y - r.top) * static_cast<size_t>(sstride)) +
                             (vis.left - r.left);
          auto* to = reinterpret_cast<uint32_t*>(dst + static_cast<size_t>(y) * static_cast<size_t>(stride)) + vis.left;
          std::copy(from, from + vis.Width(), to);
        }
      }
    }
    c.screen.MarkDirty();
  }
  if (c.backend) {
    const auto p0 = std::chrono::steady_clock::now();
    c.backend->Present(c.screen, changed);
    c.lastPresentNs = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - p0).count();
  }
  if (c.presentListener) c.presentListener();
}

void OnWindowDestroyed(Window* w) {
  auto& c = Ctx();
  const WindowHandle h = w->Handle();
  if (c.capture == h) c.capture = 0;
  if (c.ncTrackWnd == h) c.ncTrackWnd = 0;
  if (c.mouseOver == h) c.mouseOver = 0;
  if (c.focus == h) c.focus = 0;
  if (c.active == h) {
    c.active = 0;
    // The owner, else the topmost usable window, becomes active.
    Window* next = WindowAccess::Owner(w);
    if (!next || !next->IsWindow() || !next->IsWindowVisible() || !next->IsWindowEnabled()) {
      next = nullptr;
      for (auto it = c.topLevels.rbegin(); it != c.topLevels.rend(); ++it) {
        if (*it != w && (*it)->IsWindow() && (*it)->IsWindowVisible() && (*it)->IsWindowEnabled()) {
          next = *it;
          break;
        }
      }
    }
    if (next) next->SetActiveWindow();
  }
}

void DrainInput() {
  auto& c = Ctx();
  std::vector<InputEvent> events;
  if (c.backend) c.backend->Poll(events);
  {
    std::lock_guard<std::mutex> g(c.mu);
    if (!c.injected.empty()) {
      events.insert(events.end(), c.injected.begin(), c.injected.end());
      c.injected.clear();
    }
  }
  for (auto& ev : events) RouteInput(ev);
}

void RouteInput(const InputEvent& ev) {
  auto& c = Ctx();
  using K = InputEvent::Kind;
  c.shift = ev.shift;
  c.ctrl = ev.ctrl;
  switch (ev.kind) {
    case K::Quit:
      // Closing the display's window asks the active window to close, as its close box
      // would; with no window left the program quits.
      if (Window* a = Window::FromHandle(c.active)) {
        Post(a, WM_SYSCOMMAND, SC_CLOSE, MakePointLParam(std::max(c.cursor.x, 1), std::max(c.cursor.y, 1)));
      } else {
        PostQuitMessage(0);
      }
      return;
    case K::DisplayLost:
      DisplayLost();
      return;
    case K::MouseMove:
    case K::MouseDown:
    case K::MouseUp: {
      c.cursor = ev.pt;
      const unsigned bit = ev.button == 0 ? MK_LBUTTON : ev.button == 1 ? MK_RBUTTON : MK_MBUTTON;
      if (ev.kind == K::MouseDown) c.buttons |= bit;
      if (ev.kind == K::MouseUp) c.buttons &= ~bit;
      Window* target = Window::FromHandle(c.capture);
      if (!target) {
        Window* top = TopLevelAt(ev.pt);
        target = top ? ChildAt(top, ev.pt) : nullptr;
      }
      if (ev.kind == K::MouseMove) SetMouseOver(target);
      if (!target) return;
      if (ev.kind == K::MouseMove && !c.ncTrackWnd) {
        // The window under the pointer, then its parents, may choose the pointer's shape.
        bool set = false;
        for (Window* w = target; w && !set; w = w->GetParent()) {
          set = w->SendMessage(WM_SETCURSOR, target->Handle(), static_cast<LParam>(MakeLong(1, WM_MOUSEMOVE))) != 0;
          if (!Window::FromHandle(target->Handle())) return;
        }
        if (!set) SetCursor(target->ClassName() == "Edit" ? CursorShape::IBeam : CursorShape::Arrow);
      }
      Window* top = target->GetTopLevel();
      if (ev.kind == K::MouseDown) {
        if (!top->IsWindowEnabled()) {
          // A click on a window under a modal dialog brings the dialog forward.
          for (auto it = c.topLevels.rbegin(); it != c.topLevels.rend(); ++it) {
            if (WindowAccess::Owner(*it) == top && (*it)->IsWindowVisible()) {
              (*it)->SetActiveWindow();
              break;
            }
          }
          return;
        }
        if (c.active != top->Handle() && !(top->GetExStyle() & WS_EX_NOACTIVATE)) top->SetActiveWindow();
      }
      if (!Accepts(target)) return;
      const Point cp = target->ScreenToClient(ev.pt);
      if (HandleScrollBarInput(target, ev, cp)) return;
      const LParam lp = MakePointLParam(cp.x, cp.y);
      uint32_t msg = WM_MOUSEMOVE;
      if (ev.kind == K::MouseDown) {
        const bool dbl = ev.clicks >= 2 && (target->ClassStyle() & CS_DBLCLKS);
        msg = ev.button == 0 ? (dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN)
              : ev.button == 1 ? (dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN)
                               : WM_MBUTTONDOWN;
      } else if (ev.kind == K::MouseUp) {
        msg = ev.button == 0 ? WM_LBUTTONUP : ev.button == 1 ? WM_RBUTTONUP : WM_MBUTTONUP;
      }
      Post(target, msg, MouseFlags(), lp);
      return;
    }
    case K::Wheel: {
      c.cursor = ev.pt;
      Window* target = Window::FromHandle(c.focus);
      if (!target) {
        Window* top = TopLevelAt(ev.pt);
        target = top ? ChildAt(top, ev.pt) : nullptr;
      }
      if (!Accepts(target)) return;
      Post(target, WM_MOUSEWHEEL, MakeWParam(MouseFlags(), static_cast<unsigned>(ev.wheel) & 0xFFFF),
           MakePointLParam(ev.pt.x, ev.pt.y));
      return;
    }
    case K::KeyDown:
    case K::KeyUp:
    case K::Char: {
      if (ev.kind == K::KeyDown && ev.alt && ev.vk == VK_F4) {
        // The keyboard's close: SC_CLOSE with a zero lParam to the active window.
        if (Window* a = Window::FromHandle(c.active)) {
          if (a->IsWindowEnabled()) Post(a, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return;
      }
      if (ev.kind == K::KeyDown) {
        const unsigned mods = (ev.alt ? 1u : 0u) | (ev.ctrl ? 2u : 0u) | (ev.shift ? 4u : 0u);
        for (auto& k : c.hotKeys) {
          if (k.vk == ev.vk && k.modifiers == mods) {
            // With no window the message goes to the thread: only pre-translate hooks see it.
            QueueItem q;
            q.msg.hwnd = k.hwnd;
            q.msg.message = WM_HOTKEY;
            q.msg.wParam = static_cast<WParam>(k.id);
            q.msg.lParam = static_cast<LParam>(MakeLong(mods, ev.vk));
            q.msg.time = sys::Clock::TickMs();
            std::lock_guard<std::mutex> g(c.mu);
            c.posted.push_back(std::move(q));
            return;
          }
        }
      }
      Window* target = Window::FromHandle(c.focus);
      if (!target) target = Window::FromHandle(c.active);
      if (!Accepts(target)) return;
      const unsigned flags = (ev.repeat ? 0x4000u : 0u) | (ev.kind == K::KeyUp ? 0xC000u : 0u) | (ev.alt ? 0x2000u : 0u);
      const LParam lp = static_cast<LParam>(MakeLong(1, flags));
      if (ev.kind == K::Char) {
        Post(target, ev.alt ? WM_SYSCHAR : WM_CHAR, ev.ch, lp);
      } else if (ev.alt || ev.vk == VK_MENU || ev.vk == VK_F10) {
        Post(target, ev.kind == K::KeyDown ? WM_SYSKEYDOWN : WM_SYSKEYUP, ev.vk, lp);
      } else {
        Post(target, ev.kind == K::KeyDown ? WM_KEYDOWN : WM_KEYUP, ev.vk, lp);
      }
      return;
    }
  }
}

void CheckHover() {
  auto& c = Ctx();
  Window* w = Window::FromHandle(c.mouseOver);
  if (!w) return;
  unsigned& f = WindowAccess::TrackFlags(w);
  if (!(f & TME_HOVER)) return;
  if (sys::Clock::TickMs() - c.hoverStart < static_cast<int64_t>(WindowAccess::HoverMs(w))) return;
  f &= ~TME_HOVER;
  const Point cp = w->ScreenToClient(c.cursor);
  Post(w, WM_MOUSEHOVER, MouseFlags(), MakePointLParam(cp.x, cp.y));
}

int64_t NextHoverDue() {
  auto& c = Ctx();
  Window* w = Window::FromHandle(c.mouseOver);
  if (!w || !(WindowAccess::TrackFlags(w) & TME_HOVER)) return -1;
  return c.hoverStart + WindowAccess::HoverMs(w);
}

}  // namespace detail
}  // namespace ui

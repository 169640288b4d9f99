#include "platform/ui/window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/detail/context.h"
#include "platform/ui/detail/window_access.h"
#include "platform/ui/focus_history.h"
#include "platform/ui/window_class.h"

namespace ui {

using namespace detail;

// Operations called on another thread are carried out on the UI thread.
#define UI_MARSHAL_VOID(call)                   \
  if (IsInitialized() && !IsUiThread()) {       \
    RunOnUiThread([&] { call; });               \
    return;                                     \
  }
#define UI_MARSHAL_RET(type, call)              \
  if (IsInitialized() && !IsUiThread()) {       \
    type r_{};                                  \
    RunOnUiThread([&] { r_ = call; });          \
    return r_;                                  \
  }

Color SysColor(int index) {
  switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT: return RGB(0, 84, 166);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNFACE: return RGB(236, 233, 216);
    case COLOR_BTNSHADOW: return RGB(172, 168, 153);
    case COLOR_GRAYTEXT: return RGB(172, 168, 153);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW: return RGB(113, 111, 100);
    case COLOR_3DLIGHT: return RGB(241, 239, 226);
    case COLOR_ACTIVECAPTION: return RGB(0, 84, 227);
    case COLOR_INACTIVECAPTION: return RGB(122, 150, 223);
    case COLOR_CAPTIONTEXT: return RGB(255, 255, 255);
    default: return RGB(192, 192, 192);
  }
}

const draw::Font& DefaultFont() {
  static const draw::Font f("MS Sans Serif", -11);
  return f;
}

Window::Window() = default;

Window::~Window() {
  if (handle_) {
    // A window object deleted on another thread is taken down on the UI thread.
    if (IsInitialized() && !IsUiThread()) RunOnUiThread([this] { DestroyInternal(); });
    else DestroyInternal();
  }
  auto& pd = Ctx().pendingDelete;
  pd.erase(std::remove(pd.begin(), pd.end(), this), pd.end());
}

Window* Window::FromHandle(WindowHandle h) {
  if (!h) return nullptr;
  auto& c = Ctx();
  std::lock_guard<std::mutex> g(c.handleMu);
  auto it = c.handles.find(h);
  return it == c.handles.end() ? nullptr : it->second;
}

bool Window::Create(const std::string& className, const std::string& text, uint32_t style, const Rect& rect,
                    Window* parentOrOwner, int id, uint32_t exStyle) {
  UI_MARSHAL_RET(bool, Create(className, text, style, rect, parentOrOwner, id, exStyle));
  if (!IsInitialized() || handle_) return false;
  if ((style & WS_CHILD) && (!parentOrOwner || !parentOrOwner->IsWindow())) return false;
  auto& c = Ctx();
  {
    std::lock_guard<std::mutex> g(c.handleMu);
    handle_ = c.nextHandle++;
    c.handles[handle_] = this;
  }
  className_ = className;
  classStyle_ = ClassStyleOf(className);
  style_ = style;
  exStyle_ = exStyle;
  id_ = id;
  text_ = text;
  rect_ = rect.Normalized();
  destroying_ = false;
  if (style & WS_CHILD) {
    parent_ = parentOrOwner;
    owner_ = nullptr;
    parent_->children_.push_back(this);
  } else {
    parent_ = nullptr;
    owner_ = parentOrOwner ? parentOrOwner->GetTopLevel() : nullptr;
    AddTopLevel(this);
  }
  const WindowHandle h = handle_;
  if (SafeCall(this, WM_CREATE, 0, 0) == -1) {
    if (FromHandle(h) == this) DestroyWindow();
    return false;
  }
  if (FromHandle(h) != this) return false;
  if (style_ & WS_VISIBLE) {
    Invalidate(true);
    if (!parent_) {
      ScreenChanged();
      // A top-level window created visible becomes the active one, as if shown.
      if (!(exStyle_ & WS_EX_NOACTIVATE)) SetActiveWindow();
    }
  }
  return true;
}

void Window::DestroyWindow() {
  UI_MARSHAL_VOID(DestroyWindow());
  if (handle_) DestroyInternal();
}

void Window::DestroyInternal() {
  if (destroying_ || !handle_) return;
  destroying_ = true;
  auto& c = Ctx();
  // Owned top-level windows go first (a message box over its screen).
  for (bool found = true; found;) {
    found = false;
    for (Window* t : std::vector<Window*>(c.topLevels)) {
      if (t != this && t->owner_ == this && t->handle_) {
        t->DestroyInternal();
        found = true;
        break;
      }
    }
  }
  if ((style_ & WS_VISIBLE)) {
    if (parent_ && parent_->handle_ && !parent_->destroying_) {
      Rect r = rect_;
      parent_->InvalidateRect(&r, true);
    } else if (!parent_) {
      ScreenChanged();
    }
  }
  SafeCall(this, WM_DESTROY, 0, 0);
  for (Window* ch : std::vector<Window*>(children_)) {
    if (ch->handle_) ch->DestroyInternal();
  }
  children_.clear();
  KillTimersOf(handle_);
  OnWindowDestroyed(this);
  if (parent_) {
    auto& sib = parent_->children_;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
  } else {
    RemoveTopLevel(this);
  }
  {
    std::lock_guard<std::mutex> g(c.handleMu);
    c.handles.erase(handle_);
  }
  handle_ = 0;
  backing_ = draw::Bitmap();
  destroying_ = false;
  if (autoDelete_) c.pendingDelete.push_back(this);
}

bool Window::SubclassDlgItem(int id, Window* parent) {
  UI_MARSHAL_RET(bool, SubclassDlgItem(id, parent));
  if (!parent || handle_) return false;
  Window* old = parent->GetDlgItem(id);
  if (!old || old == this) return false;
  auto& c = Ctx();
  handle_ = old->handle_;
  {
    std::lock_guard<std::mutex> g(c.handleMu);
    c.handles[handle_] = this;
  }
  className_ = old->className_;
  classStyle_ = old->classStyle_;
  style_ = old->style_;
  exStyle_ = old->exStyle_;
  id_ = old->id_;
  text_ = old->text_;
  rect_ = old->rect_;
  font_ = old->font_;
  parent_ = old->parent_;
  owner_ = old->owner_;
  children_ = std::move(old->children_);
  for (Window* ch : children_) ch->parent_ = this;
  invalid_ = old->invalid_;
  eraseNeeded_ = old->eraseNeeded_;
  trackFlags_ = old->trackFlags_;
  hoverMs_ = old->hoverMs_;
  userData_ = old->userData_;
  std::replace(parent_->children_.begin(), parent_->children_.end(), old, this);
  TakeOverState(*old);
  old->handle_ = 0;
  old->children_.clear();
  old->parent_ = nullptr;
  if (old->autoDelete_) c.pendingDelete.push_back(old);
  PreSubclassWindow();
  Invalidate(true);
  return true;
}

Window* Window::GetTopLevel() {
  Window* w = this;
  while (w->parent_) w = w->parent_;
  return w;
}

bool Window::IsChild(const Window* w) const {
  if (!w) return false;
  for (const Window* p = w->parent_; p; p = p->parent_) {
    if (p == this) return true;
  }
  return false;
}

Window* Window::GetDlgItem(int id) const {
  for (Window* ch : children_) {
    if (ch->id_ == id && ch->handle_) return ch;
  }
  return nullptr;
}

void Window::ModifyStyle(uint32_t remove, uint32_t add) {
  UI_MARSHAL_VOID(ModifyStyle(remove, add));
  style_ = (style_ & ~remove) | add;
  nonClientDirty_ = true;
  Invalidate(true);
}

void Window::ModifyStyleEx(uint32_t remove, uint32_t add) {
  UI_MARSHAL_VOID(ModifyStyleEx(remove, add));
  const bool wasTop = exStyle_ & WS_EX_TOPMOST;
  exStyle_ = (exStyle_ & ~remove) | add;
  if (!parent_ && wasTop != static_cast<bool>(exStyle_ & WS_EX_TOPMOST)) RaiseTopLevel(this);
}

// --- text and font ----------------------------------------------------------------------

void Window::SetWindowText(const std::string& text) {
  UI_MARSHAL_VOID(SetWindowText(text));
  if (!handle_) {
    text_ = text;
    return;
  }
  SendMessage(WM_SETTEXT, 0, reinterpret_cast<LParam>(text.c_str()));
}

void Window::OnSetText(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  if (!parent_) nonClientDirty_ = true;
  Invalidate(true);
}

std::string Window::GetWindowText() const {
  UI_MARSHAL_RET(std::string, GetWindowText());
  if (!handle_) return text_;
  Window* self = const_cast<Window*>(this);
  const LResult len = self->SendMessage(WM_GETTEXTLENGTH);
  std::string buf(static_cast<size_t>(std::max<LResult>(len, 0)) + 1, '\0');
  const LResult n = self->SendMessage(WM_GETTEXT, buf.size(), reinterpret_cast<LParam>(buf.data()));
  buf.resize(static_cast<size_t>(std::clamp<LResult>(n, 0, len)));
  return buf;
}

int Window::GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }

void Window::SetFont(const draw::Font* font, bool redraw) {
  UI_MARSHAL_VOID(SetFont(font, redraw));
  if (!handle_) {
    if (font) font_ = *font; else font_.reset();
    return;
  }
  SendMessage(WM_SETFONT, reinterpret_cast<WParam>(font), redraw ? 1 : 0);
}

const draw::Font* Window::GetFont() const { return font_ ? &*font_ : &DefaultFont(); }

// --- geometry ---------------------------------------------------------------------------

Rect Window::NonClientInsets() const {
  const int vbar = HasScrollBar(SB_VERT) ? kScrollBarSize : 0;
  const int hbar = HasScrollBar(SB_HORZ) ? kScrollBarSize : 0;
  if (parent_) return Rect(0, 0, vbar, hbar);
  int border = 0, caption = 0;
  if ((style_ & WS_CAPTION) == WS_CAPTION) {
    border = 2;
    caption = 20;
  } else if (style_ & WS_DLGFRAME) {
    border = 2;
  } else if (style_ & WS_BORDER) {
    border = 1;
  }
  return Rect(border, border + caption, border + vbar, border + hbar);
}

Point Window::ClientOrigin() const {
  const Rect in = NonClientInsets();
  Point p(rect_.left + in.left, rect_.top + in.top);
  if (parent_) {
    Point po = parent_->ClientOrigin();
    p.x += po.x;
    p.y += po.y;
  }
  return p;
}

Rect Window::GetWindowRect() const {
  if (!parent_) return rect_;
  Point po = parent_->ClientOrigin();
  return rect_.Offset(po.x, po.y);
}

Rect Window::GetClientRect() const {
  const Rect in = NonClientInsets();
  return Rect(0, 0, std::max(0, rect_.Width() - in.left - in.right), std::max(0, rect_.Height() - in.top - in.bottom));
}

Point Window::ClientToScreen(Point p) const {
  Point o = ClientOrigin();
  return Point(p.x + o.x, p.y + o.y);
}

Point Window::ScreenToClient(Point p) const {
  Point o = ClientOrigin();
  return Point(p.x - o.x, p.y - o.y);
}

Rect Window::ClientToScreen(const Rect& r) const {
  Point o = ClientOrigin();
  return r.Offset(o.x, o.y);
}

Rect Window::ScreenToClient(const Rect& r) const {
  Point o = ClientOrigin();
  return r.Offset(-o.x, -o.y);
}

void Window::MoveWindow(int x, int y, int width, int height, bool repaint) {
  UI_MARSHAL_VOID(MoveWindow(x, y, width, height, repaint));
  SetWindowPos(ZOrder::Keep, x, y, width, height, SWP_NOZORDER | (repaint ? 0u : unsigned{SWP_NOREDRAW}));
}

bool Window::SetWindowPos(ZOrder z, int x, int y, int cx, int cy, unsigned flags) {
  UI_MARSHAL_RET(bool, SetWindowPos(z, x, y, cx, cy, flags));
  if (!handle_) return false;
  const Rect old = rect_;
  Rect nr = rect_;
  if (!(flags & SWP_NOMOVE)) nr = Rect::FromSize(x, y, nr.Width(), nr.Height());
  if (!(flags & SWP_NOSIZE)) nr = Rect::FromSize(nr.left, nr.top, std::max(0, cx), std::max(0, cy));
  const bool moved = nr.left != old.left || nr.top != old.top;
  const bool sized = nr.Width() != old.Width() || nr.Height() != old.Height();
  if (moved || sized) {
    if (parent_ && (style_ & WS_VISIBLE)) {
      Rect r = old;
      parent_->InvalidateRect(&r, true);
    }
    rect_ = nr;
    if (sized && !parent_) backing_ = draw::Bitmap();
    if (style_ & WS_VISIBLE) {
      nonClientDirty_ = true;
      if (parent_) {
        Rect r = nr;
        parent_->InvalidateRect(&r, true);
      }
      Invalidate(true);
      if (!parent_) ScreenChanged();
    }
    if (moved) SendMessage(WM_MOVE, 0, MakePointLParam(ClientOrigin().x, ClientOrigin().y));
    if (sized) {
      Rect cr = GetClientRect();
      SendMessage(WM_SIZE, SIZE_RESTORED, static_cast<LParam>(MakeLong(cr.Width(), cr.Height())));
    }
  }
  if (!(flags & SWP_NOZORDER) && z != ZOrder::Keep) {
    if (!parent_) {
      if (z == ZOrder::TopMost) exStyle_ |= WS_EX_TOPMOST;
      if (z == ZOrder::NoTopMost) exStyle_ &= ~WS_EX_TOPMOST;
      auto& tl = Ctx().topLevels;
      if (z == ZOrder::Bottom) {
        tl.erase(std::remove(tl.begin(), tl.end(), this), tl.end());
        tl.insert(tl.begin(), this);
        ScreenChanged();
      } else {
        RaiseTopLevel(this);
      }
    } else {
      auto& sib = parent_->children_;
      sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
      if (z == ZOrder::Bottom) sib.insert(sib.begin(), this); else sib.push_back(this);
      Invalidate(true);
    }
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow((flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
  return true;
}

void Window::CenterWindow(Window* alternateOwner) {
  UI_MARSHAL_VOID(CenterWindow(alternateOwner));
  Rect area;
  Window* over = alternateOwner ? alternateOwner : (parent_ ? parent_ : owner_);
  if (parent_) {
    area = parent_->GetClientRect();
  } else if (over && over->IsWindowVisible()) {
    area = over->GetWindowRect();
  } else {
    const Size s = GetScreenSize();
    area = Rect(0, 0, s.cx, s.cy);
  }
  const int x = area.left + (area.Width() - rect_.Width()) / 2;
  const int y = area.top + (area.Height() - rect_.Height()) / 2;
  SetWindowPos(ZOrder::Keep, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// --- states -----------------------------------------------------------------------------

bool Window::ShowWindow(int cmd) {
  UI_MARSHAL_RET(bool, ShowWindow(cmd));
  if (!handle_) return false;
  const bool was = style_ & WS_VISIBLE;
  const bool show = cmd != SW_HIDE;
  if (was != show) {
    if (show) style_ |= WS_VISIBLE; else style_ &= ~WS_VISIBLE;
    SendMessage(WM_SHOWWINDOW, show ? 1 : 0, 0);
    if (!handle_) return was;
    if (parent_) {
      Rect r = rect_;
      parent_->InvalidateRect(&r, true);
      if (show) Invalidate(true);
      if (!show) {
        // A hidden window keeps neither the focus nor the capture.
        auto& c = Ctx();
        Window* f = FromHandle(c.focus);
        if (f && (f == this || IsChild(f))) parent_->GetTopLevel()->SetFocus();
      }
    } else {
      nonClientDirty_ = true;
      if (show) Invalidate(true);
      ScreenChanged();
    }
  }
  if (!parent_) {
    if (show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE) {
      RaiseTopLevel(this);
      SetActiveWindow();
    } else if (!show && Ctx().active == handle_) {
      // Activate the next visible, enabled top-level window.
      auto tl = Ctx().topLevels;
      for (auto it = tl.rbegin(); it != tl.rend(); ++it) {
        if (*it != this && (*it)->IsWindowVisible() && (*it)->IsWindowEnabled()) {
          (*it)->SetActiveWindow();
          return was;
        }
      }
      Ctx().active = 0;
    }
  }
  return was;
}

bool Window::IsWindowVisible() const {
  if (!handle_) return false;
  for (const Window* w = this; w; w = w->parent_) {
    if (!(w->style_ & WS_VISIBLE)) return false;
  }
  return true;
}

bool Window::EnableWindow(bool enable) {
  UI_MARSHAL_RET(bool, EnableWindow(enable));
  if (!handle_) return false;
  const bool wasDisabled = style_ & WS_DISABLED;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) style_ &= ~WS_DISABLED; else style_ |= WS_DISABLED;
  if (!enable) {
    auto& c = Ctx();
    if (c.capture == handle_) ReleaseCapture();
  }
  SendMessage(WM_ENABLE, enable ? 1 : 0, 0);
  Invalidate(true);
  return wasDisabled;
}

void Window::BringWindowToTop() {
  UI_MARSHAL_VOID(BringWindowToTop());
  if (!handle_) return;
  if (!parent_) {
    RaiseTopLevel(this);
    SetActiveWindow();
  } else {
    SetWindowPos(ZOrder::Top, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

Window* Window::GetActiveWindow() { return FromHandle(Ctx().active); }

void Window::SetActiveWindow() {
  UI_MARSHAL_VOID(SetActiveWindow());
  if (!handle_) return;
  Window* top = GetTopLevel();
  auto& c = Ctx();
  if (c.active == top->handle_) return;
  Window* old = FromHandle(c.active);
  c.active = top->handle_;
  if (old) {
    old->nonClientDirty_ = true;
    old->Invalidate(false);
    SafeCall(old, WM_ACTIVATE, WA_INACTIVE, static_cast<LParam>(top->handle_));
  }
  if (FromHandle(c.active) != top) return;
  top->nonClientDirty_ = true;
  SafeCall(top, WM_ACTIVATE, WA_ACTIVE, old ? static_cast<LParam>(old->Handle()) : 0);
  // Give the focus back to the control that had it when the window was last active.
  Window* f = FromHandle(c.focus);
  if (!f || f->GetTopLevel() != top) {
    Window* last = FromHandle(top->lastFocus_);
    if (last && last->GetTopLevel() == top && last->IsWindowVisible() && last->IsWindowEnabled()) {
      last->SetFocus();
    } else if (FromHandle(c.focus) == nullptr || FromHandle(c.focus)->GetTopLevel() != top) {
      top->SetFocus();
    }
  }
  ScreenChanged();
}

// --- painting ---------------------------------------------------------------------------

namespace {
void InvalidateTree(Window* w, const Rect& r, bool erase) {
  WindowAccess::Invalidate(w, r, erase);
}
}  // namespace

void Window::Invalidate(bool erase) { InvalidateRect(nullptr, erase); }

void Window::InvalidateRect(const Rect* rect, bool erase) {
  UI_MARSHAL_VOID(InvalidateRect(rect, erase));
  if (!handle_) return;
  const Rect cr = GetClientRect();
  const Rect r = rect ? rect->Intersect(cr) : cr;
  if (r.IsEmpty()) return;
  InvalidateTree(this, r, erase);
}

void Window::ValidateRect(const Rect* rect) {
  if (!rect || rect->Intersect(invalid_) == invalid_) {
    invalid_ = Rect();
    eraseNeeded_ = false;
  }
}

bool Window::GetUpdateRect(Rect* rect) const {
  if (rect) *rect = invalid_;
  return !invalid_.IsEmpty();
}

void Window::UpdateWindow() {
  UI_MARSHAL_VOID(UpdateWindow());
  PaintAndCompose(true);
}

std::unique_ptr<draw::DC> Window::GetDC() {
  if (!handle_ || !IsUiThread()) return nullptr;
  return WindowAccess::ClientDC(this);
}

bool Window::OnEraseBkgnd(draw::DC& dc) {
  if (parent_) return true;
  dc.FillSolidRect(GetClientRect(), SysColor(COLOR_BTNFACE));
  return true;
}

void Window::PaintNonClient(draw::DC& dc) {
  const Rect in = NonClientInsets();
  if (in.left == 0 && in.top == 0) return;
  const Rect all(0, 0, rect_.Width(), rect_.Height());
  dc.FillSolidRect(Rect(all.left, all.top, all.right, in.top), SysColor(COLOR_BTNFACE));
  dc.FillSolidRect(Rect(all.left, all.bottom - in.bottom, all.right, all.bottom), SysColor(COLOR_BTNFACE));
  dc.FillSolidRect(Rect(all.left, all.top, in.left, all.bottom), SysColor(COLOR_BTNFACE));
  dc.FillSolidRect(Rect(all.right - in.right, all.top, all.right, all.bottom), SysColor(COLOR_BTNFACE));
  dc.FrameRect(all, draw::Brush::Solid(SysColor(COLOR_3DDKSHADOW)));
  if ((style_ & WS_CAPTION) == WS_CAPTION) {
    const bool active = Ctx().active == handle_;
    Rect cap(in.left, in.left, all.right - in.right, in.top);
    dc.FillSolidRect(cap, SysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    draw::Font f("Arial", -13, draw::kFontWeightBold);
    draw::Font oldf = dc.SelectFont(f);
    dc.SetBkMode(draw::BkMode::Transparent);
    dc.SetTextColor(SysColor(COLOR_CAPTIONTEXT));
    Rect tr = cap;
    tr.left += 6;
    dc.DrawText(text_, &tr, draw::kDtLeft | draw::kDtVCenter | draw::kDtSingleLine | draw::kDtNoPrefix | draw::kDtEndEllipsis);
    dc.SelectFont(oldf);
  }
}

// --- messages ---------------------------------------------------------------------------

LResult Window::SendMessage(uint32_t msg, WParam w, LParam l) {
  const WindowHandle h = handle_;
  if (!h) return 0;
  if (!IsUiThread()) return SendMessageTo(h, msg, w, l);
  return SafeCall(this, msg, w, l);
}

bool Window::PostMessage(uint32_t msg, WParam w, LParam l) { return PostMessageTo(handle_, msg, w, l); }

LResult Window::SendDlgItemMessage(int id, uint32_t msg, WParam w, LParam l) {
  UI_MARSHAL_RET(LResult, SendDlgItemMessage(id, msg, w, l));
  Window* item = GetDlgItem(id);
  return item ? item->SendMessage(msg, w, l) : 0;
}

bool Window::PreTranslateMessage(Message&) { return false; }

const draw::Brush* Window::OnCtlColor(draw::DC&, Window*, int) { return nullptr; }

void Window::OnDrawItem(int, DrawItemInfo&) {}

bool Window::OnMouseWheel(unsigned flags, int delta, Point screenPt) {
  // Unhandled wheel turns go up to the parent.
  if (parent_) return parent_->SendMessage(WM_MOUSEWHEEL, MakeWParam(flags, static_cast<unsigned>(delta) & 0xFFFF),
                                           MakePointLParam(screenPt.x, screenPt.y)) != 0;
  return false;
}

void Window::OnClose() { DestroyWindow(); }

void Window::OnSysCommand(uint32_t cmd, LParam) {
  if ((cmd & 0xFFF0) == SC_CLOSE) SendMessage(WM_CLOSE);
}

LResult Window::DefWindowProc(uint32_t msg, WParam w, LParam l) {
  switch (msg) {
    case WM_SETTEXT:
      OnSetText(l ? reinterpret_cast<const char*>(l) : "");
      return 1;
    case WM_GETTEXT: {
      if (!l || w == 0) return 0;
      const size_t n = std::min<size_t>(text_.size(), w - 1);
      std::memcpy(reinterpret_cast<char*>(l), text_.data(), n);
      reinterpret_cast<char*>(l)[n] = '\0';
      return static_cast<LResult>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LResult>(text_.size());
    case WM_SETFONT:
      if (w) font_ = *reinterpret_cast<const draw::Font*>(w); else font_.reset();
      OnFontChanged();
      if (l) Invalidate(true);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LResult>(GetFont());
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBkgnd(*reinterpret_cast<draw::DC*>(w)) ? 1 : 0;
    case WM_PAINT:
      OnPaint(*reinterpret_cast<draw::DC*>(w));
      return 0;
    default:
      return 0;
  }
}

LResult Window::WindowProc(uint32_t msg, WParam w, LParam l) {
  switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(*reinterpret_cast<draw::DC*>(w)) ? 1 : 0;
    case WM_PAINT: OnPaint(*reinterpret_cast<draw::DC*>(w)); return 0;
    case WM_TIMER: OnTimer(w); return 0;
    case WM_COMMAND: return OnCommand(static_cast<int>(LoWord(w)), static_cast<int>(static_cast<int16_t>(HiWord(w))),
                                      FromHandle(static_cast<WindowHandle>(l))) ? 0 : 1;
    case WM_NOTIFY: return OnNotify(static_cast<int>(w), reinterpret_cast<NotifyHeader*>(l));
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LResult>(OnCtlColor(*reinterpret_cast<draw::DC*>(w), FromHandle(static_cast<WindowHandle>(l)),
                                                  static_cast<int>(msg - WM_CTLCOLORMSGBOX)));
    case WM_DRAWITEM: OnDrawItem(static_cast<int>(w), *reinterpret_cast<DrawItemInfo*>(l)); return 1;
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<unsigned>(w), PointFromLParam(l)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(static_cast<unsigned>(w), PointFromLParam(l)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<unsigned>(w), PointFromLParam(l)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<unsigned>(w), PointFromLParam(l)); return 0;
    case WM_RBUTTONUP: OnRButtonUp(static_cast<unsigned>(w), PointFromLParam(l)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<unsigned>(w), PointFromLParam(l)); return 0;
    case WM_MOUSEWHEEL:
      return OnMouseWheel(LoWord(w), static_cast<int16_t>(HiWord(w)), PointFromLParam(l)) ? 1 : 0;
    case WM_MOUSEHOVER: OnMouseHover(static_cast<unsigned>(w), PointFromLParam(l)); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<unsigned>(w), LoWord(static_cast<uintptr_t>(l)), HiWord(static_cast<uintptr_t>(l))); return 0;
    case WM_KEYUP: OnKeyUp(static_cast<unsigned>(w), LoWord(static_cast<uintptr_t>(l)), HiWord(static_cast<uintptr_t>(l))); return 0;
    case WM_CHAR: OnChar(static_cast<unsigned>(w), LoWord(static_cast<uintptr_t>(l)), HiWord(static_cast<uintptr_t>(l))); return 0;
    case WM_SYSKEYDOWN: OnSysKeyDown(static_cast<unsigned>(w), LoWord(static_cast<uintptr_t>(l)), HiWord(static_cast<uintptr_t>(l))); return 0;
    case WM_SETFOCUS: OnSetFocus(FromHandle(static_cast<WindowHandle>(w))); return 0;
    case WM_KILLFOCUS: OnKillFocus(FromHandle(static_cast<WindowHandle>(w))); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(FromHandle(static_cast<WindowHandle>(l))); return 0;
    case WM_SIZE: OnSize(static_cast<int>(w), LoWord(static_cast<uintptr_t>(l)), HiWord(static_cast<uintptr_t>(l))); return 0;
    case WM_MOVE: {
      Point p = PointFromLParam(l);
      OnMove(p.x, p.y);
      return 0;
    }
    case WM_SHOWWINDOW: OnShowWindow(w != 0); return 0;
    case WM_ENABLE: OnEnable(w != 0); return 0;
    case WM_ACTIVATE: OnActivate(static_cast<int>(LoWord(w)), FromHandle(static_cast<WindowHandle>(l))); return 0;
    case WM_SYSCOMMAND: OnSysCommand(static_cast<uint32_t>(w), l); return 0;
    case WM_HSCROLL: OnHScroll(static_cast<int>(LoWord(w)), static_cast<int16_t>(HiWord(w)), FromHandle(static_cast<WindowHandle>(l))); return 0;
    case WM_VSCROLL: OnVScroll(static_cast<int>(LoWord(w)), static_cast<int16_t>(HiWord(w)), FromHandle(static_cast<WindowHandle>(l))); return 0;
    default: return DefWindowProc(msg, w, l);
  }
}

const draw::Brush* Window::QueryCtlColor(draw::DC& dc, int ctlType) {
  static const draw::Brush kFace = draw::Brush::Solid(SysColor(COLOR_BTNFACE));
  static const draw::Brush kWindow = draw::Brush::Solid(SysColor(COLOR_WINDOW));
  const bool white = ctlType == CTLCOLOR_EDIT || ctlType == CTLCOLOR_LISTBOX;
  dc.SetTextColor(IsWindowEnabled() ? SysColor(COLOR_WINDOWTEXT) : SysColor(COLOR_GRAYTEXT));
  dc.SetBkColor(white ? SysColor(COLOR_WINDOW) : SysColor(COLOR_BTNFACE));
  dc.SetBkMode(draw::BkMode::Opaque);
  const draw::Brush* b = CtlColorReflect(dc, ctlType);
  if (!b && parent_) {
    b = reinterpret_cast<const draw::Brush*>(
        parent_->SendMessage(WM_CTLCOLORMSGBOX + static_cast<uint32_t>(ctlType), reinterpret_cast<WParam>(&dc),
                             static_cast<LParam>(handle_)));
  }
  return b ? b : (white ? &kWindow : &kFace);
}

void Window::NotifyParent(int code) {
  if (!handle_) return;
  const WindowHandle me = handle_;
  if (ReflectNotification(code) || FromHandle(me) != this) return;
  if (!parent_) return;
  parent_->SendMessage(WM_COMMAND, MakeWParam(static_cast<unsigned>(id_), static_cast<unsigned>(code)),
                       static_cast<LParam>(handle_));
}

// --- timers -----------------------------------------------------------------------------

uintptr_t Window::SetTimer(uintptr_t id, unsigned elapseMs) {
  UI_MARSHAL_RET(uintptr_t, SetTimer(id, elapseMs));
  if (!handle_) return 0;
  auto& c = Ctx();
  if (id == 0) {
    id = 0x7F00;
    for (bool used = true; used;) {
      used = false;
      for (auto& t : c.timers) {
        if (t.hwnd == handle_ && t.id == id) {
          used = true;
          ++id;
        }
      }
    }
  }
  const int64_t period = std::max<int64_t>(1, elapseMs);
  const int64_t due = sys::Clock::TickMs() + period;
  for (auto& t : c.timers) {
    if (t.hwnd == handle_ && t.id == id) {
      t.period = period;
      t.due = due;
      Wake();
      return id;
    }
  }
  c.timers.push_back(Timer{handle_, id, period, due});
  Wake();
  return id;
}

bool Window::KillTimer(uintptr_t id) {
  UI_MARSHAL_RET(bool, KillTimer(id));
  auto& t = Ctx().timers;
  const size_t before = t.size();
  const WindowHandle h = handle_;
  t.erase(std::remove_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == h && x.id == id; }), t.end());
  return t.size() != before;
}

// --- focus and capture ------------------------------------------------------------------

Window* Window::SetFocus() {
  UI_MARSHAL_RET(Window*, SetFocus());
  auto& c = Ctx();
  Window* old = FromHandle(c.focus);
  if (!handle_ || old == this) return old;
  Window* top = GetTopLevel();
  if (c.active != top->handle_ && top->IsWindowVisible()) {
    c.active = top->handle_;
    ScreenChanged();
  }
  const WindowHandle me = handle_;
  c.previousFocus = c.focus;
  c.focus = me;
  top->lastFocus_ = me;
  if (old) SafeCall(old, WM_KILLFOCUS, me, 0);
  if (c.focus == me && FromHandle(me) == this) SafeCall(this, WM_SETFOCUS, old ? old->Handle() : 0, 0);
  return old;
}

Window* Window::GetFocus() { return FromHandle(Ctx().focus); }

Window* PreviousFocus() { return Window::FromHandle(Ctx().previousFocus); }

Window* Window::SetCapture() {
  UI_MARSHAL_RET(Window*, SetCapture());
  auto& c = Ctx();
  Window* old = FromHandle(c.capture);
  if (!handle_) return old;
  c.capture = handle_;
  if (old && old != this) SafeCall(old, WM_CAPTURECHANGED, 0, static_cast<LParam>(handle_));
  return old;
}

Window* Window::GetCapture() { return FromHandle(Ctx().capture); }

void Window::ReleaseCapture() {
  if (IsInitialized() && !IsUiThread()) {
    RunOnUiThread([] { ReleaseCapture(); });
    return;
  }
  auto& c = Ctx();
  Window* old = FromHandle(c.capture);
  c.capture = 0;
  if (old) SafeCall(old, WM_CAPTURECHANGED, 0, 0);
}

bool Window::TrackMouseEvent(unsigned flags, unsigned hoverMs) {
  UI_MARSHAL_RET(bool, TrackMouseEvent(flags, hoverMs));
  if (!handle_) return false;
  auto& c = Ctx();
  if (flags & TME_CANCEL) {
    trackFlags_ &= ~flags;
    return true;
  }
  hoverMs_ = hoverMs == HOVER_DEFAULT ? 400 : hoverMs;
  // Leave at once when the pointer is not over the window any more.
  if (c.mouseOver != handle_) {
    if (flags & TME_LEAVE) PostMessage(WM_MOUSELEAVE);
    return true;
  }
  trackFlags_ |= flags & (TME_HOVER | TME_LEAVE);
  if (flags & TME_HOVER) c.hoverStart = sys::Clock::TickMs();
  return true;
}

// --- dialog items -----------------------------------------------------------------------

void Window::SetDlgItemText(int id, const std::string& text) {
  UI_MARSHAL_VOID(SetDlgItemText(id, text));
  if (Window* w = GetDlgItem(id)) w->SetWindowText(text);
}

std::string Window::GetDlgItemText(int id) const {
  UI_MARSHAL_RET(std::string, GetDlgItemText(id));
  Window* w = GetDlgItem(id);
  return w ? w->GetWindowText() : std::string();
}

void Window::SetDlgItemInt(int id, long value, bool isSigned) {
  SetDlgItemText(id, isSigned ? std::to_string(value) : std::to_string(static_cast<unsigned long>(value)));
}

long Window::GetDlgItemInt(int id, bool* ok, bool isSigned) const {
  const std::string t = GetDlgItemText(id);
  const char* s = t.c_str();
  while (*s == ' ') ++s;
  char* end = nullptr;
  long v = std::strtol(s, &end, 10);
  bool good = end != s && (isSigned || v >= 0);
  while (good && *end == ' ') ++end;
  if (good && *end != '\0') good = false;
  if (ok) *ok = good;
  return good ? v : 0;
}

void Window::CheckDlgButton(int id, int check) { SendDlgItemMessage(id, BM_SETCHECK, static_cast<WParam>(check)); }

int Window::IsDlgButtonChecked(int id) const {
  return static_cast<int>(const_cast<Window*>(this)->SendDlgItemMessage(id, BM_GETCHECK));
}

void Window::CheckRadioButton(int firstId, int lastId, int checkId) {
  for (int id = firstId; id <= lastId; ++id) {
    if (GetDlgItem(id)) CheckDlgButton(id, id == checkId ? BST_CHECKED : BST_UNCHECKED);
  }
}

int Window::GetCheckedRadioButton(int firstId, int lastId) const {
  for (int id = firstId; id <= lastId; ++id) {
    if (GetDlgItem(id) && IsDlgButtonChecked(id) == BST_CHECKED) return id;
  }
  return 0;
}

}  // namespace ui

namespace ui {

// --- the window's own scroll bars ------------------------------------------------------

bool Window::HasScrollBar(int bar) const {
  if (bar != SB_HORZ && bar != SB_VERT) return false;
  return UsesWindowScrollBars() && (style_ & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL));
}

namespace {
void BarsChanged(Window* w, bool sizeChanged) {
  if (!w->IsWindow()) return;
  if (sizeChanged) {
    const Rect cr = w->GetClientRect();
    w->SendMessage(WM_SIZE, SIZE_RESTORED, static_cast<LParam>(MakeLong(cr.Width(), cr.Height())));
    w->Invalidate(true);
  }
  WindowAccess::MarkBarsDirty(w);
}
}  // namespace

int Window::SetScrollPos(int bar, int pos, bool redraw) {
  UI_MARSHAL_RET(int, SetScrollPos(bar, pos, redraw));
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  BarState& b = bars_[bar];
  const int old = b.pos;
  const int hi = b.page > 0 ? std::max(b.min, b.max - static_cast<int>(b.page) + 1) : b.max;
  b.pos = std::clamp(pos, b.min, std::max(b.min, hi));
  if (redraw) BarsChanged(this, false);
  return old;
}

int Window::GetScrollPos(int bar) const { return (bar == SB_HORZ || bar == SB_VERT) ? bars_[bar].pos : 0; }

void Window::SetScrollRange(int bar, int minPos, int maxPos, bool redraw) {
  ScrollInfo si;
  si.mask = SIF_RANGE;
  si.min = minPos;
  si.max = maxPos;
  SetScrollInfo(bar, si, redraw);
}

void Window::GetScrollRange(int bar, int* minPos, int* maxPos) const {
  if (bar != SB_HORZ && bar != SB_VERT) return;
  if (minPos) *minPos = bars_[bar].min;
  if (maxPos) *maxPos = bars_[bar].max;
}

int Window::SetScrollInfo(int bar, const ScrollInfo& info, bool redraw) {
  UI_MARSHAL_RET(int, SetScrollInfo(bar, info, redraw));
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  BarState& b = bars_[bar];
  if (info.mask & SIF_RANGE) {
    b.min = info.min;
    b.max = std::max(info.min, info.max);
  }
  if (info.mask & SIF_PAGE) b.page = info.page;
  if (info.mask & SIF_POS) b.pos = info.pos;
  const int hi = b.page > 0 ? std::max(b.min, b.max - static_cast<int>(b.page) + 1) : b.max;
  b.pos = std::clamp(b.pos, b.min, hi);
  // A bar with nothing to scroll goes away, unless asked to stay.
  if ((info.mask & (SIF_RANGE | SIF_PAGE)) && !(info.mask & SIF_DISABLENOSCROLL)) {
    const bool needed = b.max > b.min && (b.page == 0 || static_cast<int>(b.page) <= b.max - b.min);
    const uint32_t bit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    if (needed != static_cast<bool>(style_ & bit)) {
      style_ = needed ? (style_ | bit) : (style_ & ~bit);
      BarsChanged(this, true);
      return b.pos;
    }
  }
  if (redraw) BarsChanged(this, false);
  return b.pos;
}

bool Window::GetScrollInfo(int bar, ScrollInfo& info) const {
  if (bar != SB_HORZ && bar != SB_VERT) return false;
  const BarState& b = bars_[bar];
  if (info.mask & SIF_RANGE) {
    info.min = b.min;
    info.max = b.max;
  }
  if (info.mask & SIF_PAGE) info.page = b.page;
  if (info.mask & SIF_POS) info.pos = b.pos;
  if (info.mask & SIF_TRACKPOS) info.trackPos = b.trackPos;
  return true;
}

void Window::ShowScrollBar(int bar, bool show) {
  UI_MARSHAL_VOID(ShowScrollBar(bar, show));
  uint32_t bits = 0;
  if (bar == SB_HORZ || bar == SB_BOTH) bits |= WS_HSCROLL;
  if (bar == SB_VERT || bar == SB_BOTH) bits |= WS_VSCROLL;
  const uint32_t old = style_;
  style_ = show ? (style_ | bits) : (style_ & ~bits);
  if (old != style_) BarsChanged(this, true);
}

void EnumChildWindows(Window* parent, const std::function<bool(Window*)>& fn) {
  if (!parent) return;
  struct Walk {
    static bool Go(Window* w, const std::function<bool(Window*)>& f) {
      for (Window* ch : std::vector<Window*>(w->Children())) {
        if (!f(ch)) return false;
        if (!Go(ch, f)) return false;
      }
      return true;
    }
  };
  Walk::Go(parent, fn);
}

}  // namespace ui

#include "platform/ui/dialog.h"

#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/detail/context.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_class.h"

namespace ui {

Dialog::Dialog(int templateId, Window* parent) : templateId_(templateId), parentWanted_(parent) {}

Dialog::Dialog(const DialogTemplate& tmpl, Window* parent) : template_(tmpl), parentWanted_(parent) {}

Dialog::~Dialog() {
  if (IsWindow()) DestroyWindow();
}

bool Dialog::CreateFromTemplate(Window* parentOrOwner) {
  const DialogTemplate* t = template_ ? &*template_ : Resources::FindDialog(templateId_);
  DialogTemplate empty;
  if (!t) {
    if (templateId_ != 0) return false;
    empty.cx = 160;
    empty.cy = 100;
    empty.style = WS_POPUP | WS_CAPTION | DS_CENTER;
    t = &empty;
  }
  uint32_t style = t->style & ~WS_VISIBLE;
  if (!(style & WS_CHILD)) style |= WS_POPUP;
  const Rect client = DialogUnitsToPixels(t->x, t->y, t->cx, t->cy);
  // The template gives the client size; add the frame for the style.
  int border = 0, caption = 0;
  if (!(style & WS_CHILD)) {
    if ((style & WS_CAPTION) == WS_CAPTION) {
      border = 2;
      caption = 20;
    } else if (style & WS_DLGFRAME) {
      border = 2;
    } else if (style & WS_BORDER) {
      border = 1;
    }
  }
  const Rect wr(client.left, client.top, client.right + 2 * border, client.bottom + 2 * border + caption);
  if (!Window::Create(kClassDialog, t->caption, style, wr, parentOrOwner, 0, t->exStyle)) return false;
  std::optional<draw::Font> font;
  if (!t->fontFace.empty()) {
    const int pts = t->fontPoints > 0 ? t->fontPoints : 8;
    font = draw::Font(t->fontFace, -(pts * 96 + 36) / 72);
    SetFont(&*font, false);
  }
  for (const ControlTemplate& ct : t->controls) {
    Window* w = CreateWindowObject(ct.className);
    const Rect r = DialogUnitsToPixels(ct.x, ct.y, ct.cx, ct.cy);
    if (!w->Create(ct.className, ct.text, ct.style | WS_CHILD, r, this, ct.id, ct.exStyle)) {
      delete w;
      continue;
    }
    if (font) w->SetFont(&*font, false);
  }
  if (t->style & DS_CENTER) CenterWindow();
  return true;
}

namespace {
Window* DefaultOwner(Window* self) {
  Window* a = Window::GetActiveWindow();
  if (a && a != self) return a;
  auto tl = TopLevelWindows();
  for (auto it = tl.rbegin(); it != tl.rend(); ++it) {
    if (*it != self && (*it)->IsWindowVisible()) return *it;
  }
  for (auto it = tl.rbegin(); it != tl.rend(); ++it) {
    if (*it != self) return *it;
  }
  return nullptr;
}

Window* FirstTabStop(Window* dlg) {
  for (Window* ch : dlg->Children()) {
    // The dialog itself may not be shown yet: look at the control's own style.
    if ((ch->GetStyle() & WS_TABSTOP) && (ch->GetStyle() & WS_VISIBLE) && ch->IsWindowEnabled()) return ch;
  }
  return nullptr;
}
}  // namespace

int Dialog::DoModal() {
  if (IsInitialized() && !IsUiThread()) {
    int r = kModalQuit;
    RunOnUiThread([&] { r = DoModal(); });
    return r;
  }
  if (!IsInitialized() || IsWindow()) return kModalQuit;
  Window* owner = parentWanted_ ? parentWanted_->GetTopLevel() : DefaultOwner(this);
  if (!CreateFromTemplate(owner)) return kModalQuit;
  const bool disableOwner = owner && owner->IsWindow() && owner->IsWindowEnabled();
  const WindowHandle ownerHandle = owner ? owner->Handle() : 0;
  if (disableOwner) owner->EnableWindow(false);
  modal_ = true;
  ended_ = false;
  result_ = IDCANCEL;
  const WindowHandle me = Handle();
  const bool focusFirst = SendMessage(WM_INITDIALOG) != 0;
  if (!ended_ && FromHandle(me) == this) {
    if (focusFirst) {
      Window* f = Window::GetFocus();
      if (!f || (f != this && !IsChild(f))) {
        if (Window* first = FirstTabStop(this)) first->SetFocus(); else SetFocus();
      }
    }
    ShowWindow(SW_SHOW);
    RunModalLoop();
  } else if (ended_ == false && detail::Ctx().quit.load()) {
    result_ = kModalQuit;
  }
  if (disableOwner) {
    if (Window* o = FromHandle(ownerHandle)) {
      o->EnableWindow(true);
      if (o->IsWindowVisible()) o->SetActiveWindow();
    }
  }
  if (FromHandle(me) == this) {
    ShowWindow(SW_HIDE);
    DestroyWindow();
  }
  modal_ = false;
  return result_;
}

int Dialog::RunModalLoop() {
  auto& c = detail::Ctx();
  c.loopDepth++;
  const WindowHandle me = Handle();
  Message msg;
  while (!ended_) {
    if (FromHandle(me) != this) break;
    if (!GetMessage(msg)) {
      result_ = kModalQuit;
      break;
    }
    if (!PreTranslate(msg)) DispatchMessage(msg);
  }
  c.loopDepth--;
  if (c.loopDepth == 0) c.quit = false;
  return result_;
}

bool Dialog::CreateModeless(Window* parent) {
  if (IsInitialized() && !IsUiThread()) {
    bool r = false;
    RunOnUiThread([&] { r = CreateModeless(parent); });
    return r;
  }
  if (IsWindow()) return false;
  if (parent) parentWanted_ = parent;
  if (!CreateFromTemplate(parentWanted_)) return false;
  modal_ = false;
  ended_ = false;
  const WindowHandle me = Handle();
  const bool focusFirst = SendMessage(WM_INITDIALOG) != 0;
  if (FromHandle(me) != this) return false;
  const DialogTemplate* t = template_ ? &*template_ : Resources::FindDialog(templateId_);
  if (t && (t->style & WS_VISIBLE)) {
    ShowWindow(SW_SHOW);
    if (focusFirst) {
      if (Window* first = FirstTabStop(this)) first->SetFocus();
    }
  }
  return true;
}

void Dialog::EndDialog(int result) {
  if (IsInitialized() && !IsUiThread()) {
    RunOnUiThread([&] { EndDialog(result); });
    return;
  }
  result_ = result;
  ended_ = true;
  if (!modal_ && IsWindow()) ShowWindow(SW_HIDE);
  // The modal loop looks at the flag when its next message arrives; make sure one does.
  if (IsWindow()) PostMessage(WM_NULL);
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(this, saveAndValidate);
  DoDataExchange(dx);
  return !dx.Failed();
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

bool Dialog::OnEraseBkgnd(draw::DC& dc) {
  const draw::Brush* b = reinterpret_cast<const draw::Brush*>(
      SendMessage(WM_CTLCOLORDLG, reinterpret_cast<WParam>(&dc), static_cast<LParam>(Handle())));
  if (b) {
    dc.FillRect(GetClientRect(), *b);
  } else {
    dc.FillSolidRect(GetClientRect(), SysColor(COLOR_BTNFACE));
  }
  return true;
}

void Dialog::OnActivate(int, Window*) {}

LResult Dialog::WindowProc(uint32_t msg, WParam w, LParam l) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog() ? 1 : 0;
    case WM_COMMAND: {
      const int id = static_cast<int>(LoWord(w));
      const int code = static_cast<int16_t>(HiWord(w));
      if (OnCommand(id, code, FromHandle(static_cast<WindowHandle>(l)))) return 0;
      if (code == BN_CLICKED || l == 0) {
        if (id == IDOK) {
          OnOK();
          return 0;
        }
        if (id == IDCANCEL) {
          OnCancel();
          return 0;
        }
      }
      return 1;
    }
    default:
      return Window::WindowProc(msg, w, l);
  }
}

int Dialog::GetDefID() const {
  if (defId_) return defId_;
  for (Window* ch : Children()) {
    if (ch->ClassName() == kClassButton && (ch->GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return ch->GetDlgCtrlID();
  }
  return IDOK;
}

void Dialog::GotoDlgCtrl(Window* control) {
  if (control && control->IsWindow()) control->SetFocus();
}

void Dialog::NextDlgCtrl(bool previous) {
  std::vector<Window*> stops;
  for (Window* ch : Children()) {
    if ((ch->GetStyle() & WS_TABSTOP) && ch->IsWindowVisible() && ch->IsWindowEnabled()) stops.push_back(ch);
  }
  if (stops.empty()) return;
  Window* f = Window::GetFocus();
  // The focus may sit in a child of a control (the edit of a combo box).
  while (f && f->GetParent() && f->GetParent() != this) f = f->GetParent();
  size_t i = 0;
  for (; i < stops.size(); ++i) {
    if (stops[i] == f) break;
  }
  size_t next;
  if (i == stops.size()) {
    next = previous ? stops.size() - 1 : 0;
  } else {
    next = previous ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
  }
  stops[next]->SetFocus();
  // Tabbing into an edit selects its text, so typing replaces it.
  if (stops[next]->ClassName() == kClassEdit) stops[next]->SendMessage(EM_SETSEL, 0, -1);
}

namespace {
bool IsRadio(Window* w) {
  if (!w || w->ClassName() != kClassButton) return false;
  const uint32_t t = w->GetStyle() & BS_TYPEMASK;
  return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}
}  // namespace

bool Dialog::PreTranslateMessage(Message& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
  Window* target = FromHandle(msg.hwnd);
  if (!target || (target != this && !IsChild(target))) return false;
  // A control may keep keys for itself (a multi-line edit its Enter, an open combo box its
  // Escape, a grid its Tab and arrows).
  unsigned key = static_cast<unsigned>(msg.wParam);
  if (msg.message == WM_CHAR) {
    key = 0;
    if (msg.wParam == 9) key = VK_TAB;
    if (msg.wParam == 13) key = VK_RETURN;
    if (msg.wParam == 27) key = VK_ESCAPE;
  }
  const unsigned code = static_cast<unsigned>(target->SendMessage(WM_GETDLGCODE, key, reinterpret_cast<LParam>(&msg)));
  if (code & DLGC_WANTALLKEYS) return false;
  if (key == VK_TAB && (code & DLGC_WANTTAB)) return false;
  if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && (code & DLGC_WANTARROWS)) return false;
  if (msg.message == WM_CHAR) {
    // Enter, Escape and Tab are handled as keys; their characters are not typed.
    return key != 0;
  }
  const unsigned vk = static_cast<unsigned>(msg.wParam);
  switch (vk) {
    case VK_TAB:
      NextDlgCtrl(detail::Ctx().shift);
      return true;
    case VK_ESCAPE:
      SendMessage(WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED), 0);
      return true;
    case VK_RETURN: {
      int id = GetDefID();
      if (target->ClassName() == kClassButton) {
        const uint32_t t = target->GetStyle() & BS_TYPEMASK;
        if (t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON || t == BS_OWNERDRAW) id = target->GetDlgCtrlID();
      }
      Window* b = GetDlgItem(id);
      if (b && !b->IsWindowEnabled()) return true;
      SendMessage(WM_COMMAND, MakeWParam(static_cast<unsigned>(id), BN_CLICKED), b ? static_cast<LParam>(b->Handle()) : 0);
      return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      if (!IsRadio(target)) return false;
      // Arrows move among the radio buttons of a group (a group starts at WS_GROUP).
      const auto& kids = Children();
      size_t i = 0;
      while (i < kids.size() && kids[i] != target) ++i;
      if (i == kids.size()) return false;
      size_t start = i;
      while (start > 0 && !(kids[start]->GetStyle() & WS_GROUP)) --start;
      size_t end = i + 1;
      while (end < kids.size() && !(kids[end]->GetStyle() & WS_GROUP)) ++end;
      const bool back = vk == VK_LEFT || vk == VK_UP;
      const size_t n = end - start;
      for (size_t step = 1; step < n; ++step) {
        size_t j = back ? start + (i - start + n - step) % n : start + (i - start + step) % n;
        Window* w = kids[j];
        if (IsRadio(w) && w->IsWindowVisible() && w->IsWindowEnabled()) {
          w->SetFocus();
          if ((w->GetStyle() & BS_TYPEMASK) == BS_AUTORADIOBUTTON) w->SendMessage(BM_CLICK);
          break;
        }
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ui

#include <algorithm>

#include "platform/ui/app.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"

namespace ui {

namespace {
draw::DC& MeasureDC() {
  static thread_local draw::DC dc;
  return dc;
}
int TextWidth(const draw::Font& f, const std::string& s) {
  draw::DC& dc = MeasureDC();
  dc.SelectFont(f);
  return dc.GetTextExtent(s).cx;
}
}  // namespace

void Edit::TakeOverState(Window& from) {
  if (auto* e = dynamic_cast<Edit*>(&from)) {
    caret_ = e->caret_;
    anchor_ = e->anchor_;
    limit_ = e->limit_;
    passwordChar_ = e->passwordChar_;
    focused_ = e->focused_;
  }
}

std::string Edit::Shown() const {
  const unsigned pc = passwordChar_ ? passwordChar_ : ((GetStyle() & ES_PASSWORD) ? '*' : 0);
  if (!pc) return Text();
  std::string s;
  const std::string one = Utf8Encode(pc);
  for (size_t i = 0, n = Utf8Length(Text()); i < n; ++i) s += one;
  return s;
}

void Edit::GetSel(int& start, int& end) const {
  start = std::min(caret_, anchor_);
  end = std::max(caret_, anchor_);
}

void Edit::SetSel(int start, int end, bool) {
  if (ForwardToUiThread([&] { SetSel(start, end); })) return;
  const int n = static_cast<int>(Utf8Length(Text()));
  if (start < 0) {
    // (-1, x) removes the selection, leaving the caret.
    anchor_ = caret_;
  } else {
    if (end < 0 || end > n) end = n;
    start = std::min(start, n);
    anchor_ = start;
    caret_ = end;
  }
  Invalidate(false);
}

void Edit::ReplaceSel(const std::string& text, bool) {
  if (ForwardToUiThread([&] { ReplaceSel(text); })) return;
  int s, e;
  GetSel(s, e);
  std::string t = Text();
  const size_t bs = Utf8Offset(t, static_cast<size_t>(s)), be = Utf8Offset(t, static_cast<size_t>(e));
  t.replace(bs, be - bs, text);
  Window::OnSetText(t);
  caret_ = anchor_ = s + static_cast<int>(Utf8Length(text));
  Changed();
}

void Edit::SetLimitText(int maxChars) { limit_ = maxChars <= 0 ? 0x7FFFFFFE : maxChars; }

void Edit::SetReadOnly(bool readOnly) {
  if (ForwardToUiThread([&] { SetReadOnly(readOnly); })) return;
  ModifyStyle(readOnly ? 0u : uint32_t{ES_READONLY}, readOnly ? uint32_t{ES_READONLY} : 0u);
}

void Edit::SetPasswordChar(unsigned ch) {
  passwordChar_ = ch;
  Invalidate(true);
}

void Edit::Copy() {
  if (GetStyle() & ES_PASSWORD) return;  // never hand a password out
  int s, e;
  GetSel(s, e);
  if (s == e) return;
  const size_t bs = Utf8Offset(Text(), static_cast<size_t>(s)), be = Utf8Offset(Text(), static_cast<size_t>(e));
  SetClipboardText(Text().substr(bs, be - bs));
}

void Edit::Cut() {
  if (GetStyle() & (ES_PASSWORD | ES_READONLY)) return;
  Copy();
  UserReplace("");
}

void Edit::Paste() { UserReplace(GetClipboardText()); }

void Edit::Clear() { UserReplace(""); }

bool Edit::UserReplace(const std::string& in) {
  if (GetStyle() & ES_READONLY) return false;
  std::string text;
  // A single-line edit takes the first line; a digits-only edit takes digits only.
  for (size_t i = 0; i < in.size(); ++i) {
    const char ch = in[i];
    if ((ch == '\r' || ch == '\n') && !(GetStyle() & ES_MULTILINE)) break;
    if ((GetStyle() & ES_NUMBER) && !(ch >= '0' && ch <= '9')) return false;
    text += ch;
  }
  if (GetStyle() & ES_UPPERCASE) std::transform(text.begin(), text.end(), text.begin(), [](char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; });
  if (GetStyle() & ES_LOWERCASE) std::transform(text.begin(), text.end(), text.begin(), [](char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; });
  int s, e;
  GetSel(s, e);
  const int n = static_cast<int>(Utf8Length(Text()));
  const int room = limit_ - (n - (e - s));
  int add = static_cast<int>(Utf8Length(text));
  if (add > room) {
    // Cut what does not fit and tell the parent.
    text = text.substr(0, Utf8Offset(text, static_cast<size_t>(std::max(room, 0))));
    add = static_cast<int>(Utf8Length(text));
    NotifyParent(EN_MAXTEXT);
    if (add == 0 && s == e) return false;
  }
  std::string t = Text();
  const size_t bs = Utf8Offset(t, static_cast<size_t>(s)), be = Utf8Offset(t, static_cast<size_t>(e));
  t.replace(bs, be - bs, text);
  Window::OnSetText(t);
  caret_ = anchor_ = s + add;
  Changed();
  return true;
}

void Edit::Changed() {
  Invalidate(true);
  NotifyParent(EN_UPDATE);
  NotifyParent(EN_CHANGE);
}

void Edit::OnSetText(const std::string& text) {
  std::string t = text;
  Window::OnSetText(t);
  caret_ = anchor_ = 0;
  scrollX_ = 0;
  Invalidate(true);
  // Setting the text counts as a change, as screens expect.
  NotifyParent(EN_CHANGE);
}

LResult Edit::WindowProc(uint32_t msg, WParam w, LParam l) {
  switch (msg) {
    case EM_GETSEL: {
      int s, e;
      GetSel(s, e);
      return static_cast<LResult>(MakeLong(static_cast<unsigned>(s), static_cast<unsigned>(e)));
    }
    case EM_SETSEL: SetSel(static_cast<int>(static_cast<intptr_t>(w)), static_cast<int>(l)); return 0;
    case EM_REPLACESEL: ReplaceSel(l ? reinterpret_cast<const char*>(l) : ""); return 0;
    case EM_LIMITTEXT: SetLimitText(static_cast<int>(w)); return 0;
    case EM_GETLIMITTEXT: return limit_;
    case EM_SETREADONLY: SetReadOnly(w != 0); return 1;
    case EM_SETPASSWORDCHAR: SetPasswordChar(static_cast<unsigned>(w)); return 0;
    case WM_GETDLGCODE: {
      unsigned code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if ((GetStyle() & ES_MULTILINE) && (GetStyle() & ES_WANTRETURN) && w == 0x0D) code |= DLGC_WANTALLKEYS;
      // The edit of an open combo box leaves Enter and Escape to the box.
      if (GetParent() && GetParent()->SendMessage(CB_GETDROPPEDSTATE) && (w == 0x0D || w == 0x1B)) code |= DLGC_WANTALLKEYS;
      return code;
    }
    default: return Window::WindowProc(msg, w, l);
  }
}

Rect Edit::TextRect() const {
  Rect r = GetClientRect();
  if ((GetStyle() & WS_BORDER) || (GetExStyle() & WS_EX_CLIENTEDGE)) r = r.Inflate(-2, -2);
  return r.Inflate(-1, 0);
}

int Edit::HitTest(Point pt) {
  const std::string s = Shown();
  const draw::Font& f = *GetFont();
  const Rect tr = TextRect();
  int x = pt.x - tr.left + scrollX_;
  const int n = static_cast<int>(Utf8Length(s));
  const int total = TextWidth(f, s);
  if ((GetStyle() & 0x3) == ES_CENTER) x -= (tr.Width() - total) / 2;
  if ((GetStyle() & 0x3) == ES_RIGHT) x -= tr.Width() - total;
  int prev = 0;
  for (int i = 1; i <= n; ++i) {
    const int wdt = TextWidth(f, s.substr(0, Utf8Offset(s, static_cast<size_t>(i))));
    if (x < (prev + wdt) / 2) return i - 1;
    prev = wdt;
  }
  return n;
}

void Edit::MoveCaret(int pos, bool extend) {
  const int n = static_cast<int>(Utf8Length(Text()));
  caret_ = std::clamp(pos, 0, n);
  if (!extend) anchor_ = caret_;
  Invalidate(false);
}

void Edit::OnLButtonDown(unsigned flags, Point pt) {
  if (GetFocus() != this) SetFocus();
  MoveCaret(HitTest(pt), flags & MK_SHIFT);
  dragging_ = true;
  SetCapture();
}

void Edit::OnLButtonDblClk(unsigned, Point) { SetSel(0, -1); }

void Edit::OnMouseMove(unsigned, Point pt) {
  if (dragging_) MoveCaret(HitTest(pt), true);
}

void Edit::OnLButtonUp(unsigned, Point) {
  if (!dragging_) return;
  dragging_ = false;
  if (GetCapture() == this) ReleaseCapture();
}

void Edit::OnKeyDown(unsigned vk, unsigned, unsigned) {
  const bool shift = (GetKeyState(VK_SHIFT) < 0);
  const bool ctrl = (GetKeyState(VK_CONTROL) < 0);
  const int n = static_cast<int>(Utf8Length(Text()));
  int s, e;
  GetSel(s, e);
  switch (vk) {
    case VK_LEFT: MoveCaret((!shift && s != e) ? s : caret_ - 1, shift); break;
    case VK_RIGHT: MoveCaret((!shift && s != e) ? e : caret_ + 1, shift); break;
    case VK_HOME: MoveCaret(0, shift); break;
    case VK_END: MoveCaret(n, shift); break;
    case VK_DELETE:
      if (shift) {
        Cut();
      } else if (!(GetStyle() & ES_READONLY)) {
        if (s == e && e < n) {
          anchor_ = s;
          caret_ = e + 1;
        }
        UserReplace("");
      }
      break;
    case VK_INSERT:
      if (ctrl) Copy();
      else if (shift) Paste();
      break;
    default:
      if (ctrl) {
        if (vk == 'A') SetSel(0, -1);
        else if (vk == 'C') Copy();
        else if (vk == 'X') Cut();
        else if (vk == 'V') Paste();
      }
      break;
  }
}

void Edit::OnChar(unsigned ch, unsigned, unsigned) {
  if (ch == 8) {  // backspace
    if (GetStyle() & ES_READONLY) return;
    int s, e;
    GetSel(s, e);
    if (s == e) {
      if (s == 0) return;
      anchor_ = s - 1;
      caret_ = s;
    }
    UserReplace("");
    return;
  }
  if (ch == 13) {
    if ((GetStyle() & ES_MULTILINE)) UserReplace("\n");
    return;
  }
  if (ch < 32 || ch == 127) return;
  UserReplace(Utf8Encode(ch));
}

void Edit::OnSetFocus(Window*) {
  focused_ = true;
  Invalidate(false);
  NotifyParent(EN_SETFOCUS);
}

void Edit::OnKillFocus(Window*) {
  focused_ = false;
  if (!(GetStyle() & ES_NOHIDESEL)) anchor_ = caret_;
  Invalidate(false);
  NotifyParent(EN_KILLFOCUS);
}

void Edit::OnPaint(draw::DC& dc) {
  const Rect rc = GetClientRect();
  const bool readOnly = (GetStyle() & ES_READONLY) || !IsWindowEnabled();
  const draw::Brush* brush = QueryCtlColor(dc, readOnly ? CTLCOLOR_STATIC : CTLCOLOR_EDIT);
  if (brush) dc.FillRect(rc, *brush);
  if (GetExStyle() & WS_EX_CLIENTEDGE) Draw3dFrame(dc, rc, true);
  else if (GetStyle() & WS_BORDER) dc.FrameRect(rc, draw::Brush::Solid(SysColor(COLOR_BTNSHADOW)));
  const Rect tr = TextRect();
  dc.IntersectClipRect(tr);
  draw::Font old = dc.SelectFont(*GetFont());
  if (!IsWindowEnabled()) dc.SetTextColor(SysColor(COLOR_GRAYTEXT));
  const std::string s = Shown();
  if (GetStyle() & ES_MULTILINE) {
    Rect r = tr;
    dc.DrawText(s, &r, draw::kDtWordBreak | draw::kDtNoPrefix | draw::kDtEditControl);
    dc.SelectFont(old);
    return;
  }
  const draw::TextMetrics tm = dc.GetTextMetrics();
  const int y = tr.top + (tr.Height() - tm.height) / 2;
  auto widthTo = [&](int chars) { return dc.GetTextExtent(s.substr(0, Utf8Offset(s, static_cast<size_t>(chars)))).cx; };
  const int total = dc.GetTextExtent(s).cx;
  const int caretX = widthTo(caret_);
  // Keep the caret in view.
  if (caretX - scrollX_ > tr.Width() - 2) scrollX_ = caretX - tr.Width() + 2;
  if (caretX - scrollX_ < 0) scrollX_ = caretX;
  int x0 = tr.left - scrollX_;
  if (total < tr.Width()) {
    scrollX_ = 0;
    x0 = tr.left;
    if ((GetStyle() & 0x3) == ES_CENTER) x0 = tr.left + (tr.Width() - total) / 2;
    if ((GetStyle() & 0x3) == ES_RIGHT) x0 = tr.right - total - 1;
  }
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextAlign(draw::kTaLeft | draw::kTaTop);
  int s0, s1;
  GetSel(s0, s1);
  if (focused_ && s0 != s1) {
    const int a = widthTo(s0), b = widthTo(s1);
    dc.FillSolidRect(Rect(x0 + a, y, x0 + b, y + tm.height), SysColor(COLOR_HIGHLIGHT));
  }
  dc.TextOut(x0, y, s);
  if (focused_ && s0 != s1) {
    const int a = widthTo(s0), b = widthTo(s1);
    const Rect sel(x0 + a, y, x0 + b, y + tm.height);
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(sel);
    dc.SetTextColor(SysColor(COLOR_HIGHLIGHTTEXT));
    dc.TextOut(x0, y, s);
    dc.RestoreDC(saved);
  }
  if (focused_ && !(GetStyle() & ES_READONLY)) {
    dc.FillSolidRect(Rect(x0 + caretX, y, x0 + caretX + 1, y + tm.height), SysColor(COLOR_WINDOWTEXT));
  }
  dc.SelectFont(old);
}

}  // namespace ui

#include "platform/ui/controls/controls.h"
#include "platform/ui/keys.h"
#include "platform/ui/window_class.h"

namespace ui {

namespace {
bool IsRadioKind(uint32_t k) { return k == BS_RADIOBUTTON || k == BS_AUTORADIOBUTTON; }
bool IsCheckKind(uint32_t k) { return k == BS_CHECKBOX || k == BS_AUTOCHECKBOX || k == BS_3STATE || k == BS_AUTO3STATE; }
}  // namespace

void Button::TakeOverState(Window& from) {
  if (auto* b = dynamic_cast<Button*>(&from)) {
    check_ = b->check_;
    bitmap_ = b->bitmap_;
    focused_ = b->focused_;
  }
}

void Button::SetCheck(int check) {
  if (ForwardToUiThread([&] { SetCheck(check); })) return;
  if (check_ == check) return;
  check_ = check;
  Invalidate(true);
}

unsigned Button::GetState() const {
  return static_cast<unsigned>(check_) | (pushed_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0);
}

void Button::SetState(bool pushed) {
  if (ForwardToUiThread([&] { SetState(pushed); })) return;
  if (pushed_ == pushed) return;
  pushed_ = pushed;
  Invalidate(true);
}

void Button::SetButtonStyle(uint32_t style, bool redraw) {
  ModifyStyle(0xFFFF, style & 0xFFFF);
  if (redraw) Invalidate(true);
}

void Button::SetBitmap(const draw::Bitmap& bmp) {
  if (ForwardToUiThread([&] { SetBitmap(bmp); })) return;
  bitmap_ = bmp;
  Invalidate(true);
}

void Button::Click() {
  if (ForwardToUiThread([&] { Click(); })) return;
  if (!IsWindow() || !IsWindowEnabled()) return;
  const uint32_t k = Kind();
  if (k == BS_AUTOCHECKBOX) {
    SetCheck(check_ ? BST_UNCHECKED : BST_CHECKED);
  } else if (k == BS_AUTO3STATE) {
    SetCheck((check_ + 1) % 3);
  } else if (k == BS_AUTORADIOBUTTON) {
    // Checks this button and clears the other radio buttons of its group.
    SetCheck(BST_CHECKED);
    if (Window* p = GetParent()) {
      const auto& kids = p->Children();
      size_t i = 0;
      while (i < kids.size() && kids[i] != this) ++i;
      size_t start = i;
      while (start > 0 && start < kids.size() && !(kids[start]->GetStyle() & WS_GROUP)) --start;
      for (size_t j = start; j < kids.size(); ++j) {
        Window* w = kids[j];
        if (j > start && (w->GetStyle() & WS_GROUP)) break;
        if (w == this || w->ClassName() != kClassButton) continue;
        if ((w->GetStyle() & BS_TYPEMASK) == BS_AUTORADIOBUTTON) w->SendMessage(BM_SETCHECK, BST_UNCHECKED);
      }
    }
  }
  NotifyParent(BN_CLICKED);
}

LResult Button::WindowProc(uint32_t msg, WParam w, LParam l) {
  switch (msg) {
    case BM_GETCHECK: return check_;
    case BM_SETCHECK: SetCheck(static_cast<int>(w)); return 0;
    case BM_GETSTATE: return static_cast<LResult>(GetState());
    case BM_SETSTATE: SetState(w != 0); return 0;
    case BM_SETSTYLE: SetButtonStyle(static_cast<uint32_t>(w), l != 0); return 0;
    case BM_CLICK: Click(); return 0;
    default: return Window::WindowProc(msg, w, l);
  }
}

void Button::OnLButtonDown(unsigned, Point) {
  if (Kind() == BS_GROUPBOX) return;
  // A button that does not activate (an on-screen key) leaves the focus where it is.
  if (!(GetExStyle() & WS_EX_NOACTIVATE) && (GetStyle() & WS_TABSTOP || Kind() != BS_OWNERDRAW)) SetFocus();
  SetCapture();
  tracking_ = true;
  SetState(true);
}

void Button::OnLButtonDblClk(unsigned flags, Point pt) {
  if ((GetStyle() & BS_NOTIFY) || Kind() == BS_OWNERDRAW) NotifyParent(BN_DOUBLECLICKED);
  OnLButtonDown(flags, pt);
}

void Button::OnMouseMove(unsigned, Point pt) {
  if (!tracking_) return;
  SetState(GetClientRect().Contains(pt));
}

void Button::OnLButtonUp(unsigned, Point pt) {
  if (!tracking_) return;
  tracking_ = false;
  const bool inside = GetClientRect().Contains(pt);
  SetState(false);
  if (GetCapture() == this) ReleaseCapture();
  if (inside) Click();
}

void Button::OnCaptureChanged(Window* next) {
  if (next != this && tracking_) {
    tracking_ = false;
    SetState(false);
  }
}

void Button::OnKeyDown(unsigned vk, unsigned, unsigned) {
  if (vk == VK_SPACE && Kind() != BS_GROUPBOX) {
    spaceDown_ = true;
    SetState(true);
  }
}

void Button::OnKeyUp(unsigned vk, unsigned, unsigned) {
  if (vk == VK_SPACE && spaceDown_) {
    spaceDown_ = false;
    SetState(false);
    Click();
  }
}

void Button::OnSetFocus(Window*) {
  focused_ = true;
  Invalidate(false);
  if (GetStyle() & BS_NOTIFY) NotifyParent(BN_SETFOCUS);
}

void Button::OnKillFocus(Window*) {
  focused_ = false;
  spaceDown_ = false;
  if (pushed_ && !tracking_) pushed_ = false;
  Invalidate(false);
  if (GetStyle() & BS_NOTIFY) NotifyParent(BN_KILLFOCUS);
}

void Button::DrawItem(DrawItemInfo& info) {
  if (GetParent()) GetParent()->SendMessage(WM_DRAWITEM, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&info));
}

void Button::OnPaint(draw::DC& dc) {
  const uint32_t k = Kind();
  if (k == BS_OWNERDRAW) {
    DrawItemInfo info;
    info.ctlType = ODT_BUTTON;
    info.ctlId = GetDlgCtrlID();
    info.itemAction = ODA_DRAWENTIRE;
    info.itemState = (pushed_ ? unsigned{ODS_SELECTED} : 0u) | (IsWindowEnabled() ? 0u : unsigned{ODS_DISABLED}) | (focused_ ? unsigned{ODS_FOCUS} : 0u);
    info.item = this;
    info.dc = &dc;
    info.rcItem = GetClientRect();
    const int saved = dc.SaveDC();
    DrawItem(info);
    dc.RestoreDC(saved);
    return;
  }
  if (k == BS_GROUPBOX) {
    PaintGroup(dc);
  } else if (IsCheckKind(k) && !(GetStyle() & BS_PUSHLIKE)) {
    PaintCheck(dc, false);
  } else if (IsRadioKind(k) && !(GetStyle() & BS_PUSHLIKE)) {
    PaintCheck(dc, true);
  } else {
    PaintPush(dc);
  }
}

void Button::PaintPush(draw::DC& dc) {
  const Rect rc = GetClientRect();
  const draw::Brush* brush = QueryCtlColor(dc, CTLCOLOR_BTN);
  (void)brush;
  const bool down = pushed_ || ((GetStyle() & BS_PUSHLIKE) && check_);
  dc.FillSolidRect(rc, SysColor(COLOR_BTNFACE));
  Rect frame = rc;
  if (Kind() == BS_DEFPUSHBUTTON) {
    dc.FrameRect(rc, draw::Brush::Solid(SysColor(COLOR_3DDKSHADOW)));
    frame = rc.Inflate(-1, -1);
  }
  if (down) {
    dc.FrameRect(frame, draw::Brush::Solid(SysColor(COLOR_BTNSHADOW)));
  } else {
    Draw3dFrame(dc, frame, false);
  }
  Rect tr = frame.Inflate(-3, -3);
  if (down) tr = tr.Offset(1, 1);
  if ((GetStyle() & (BS_BITMAP | BS_ICON)) && !bitmap_.IsNull()) {
    const int x = tr.left + (tr.Width() - bitmap_.Width()) / 2;
    const int y = tr.top + (tr.Height() - bitmap_.Height()) / 2;
    dc.TransparentBlt(x, y, bitmap_.Width(), bitmap_.Height(), bitmap_, 0, 0, bitmap_.Width(), bitmap_.Height());
  } else {
    draw::Font old = dc.SelectFont(*GetFont());
    dc.SetBkMode(draw::BkMode::Transparent);
    unsigned fmt = draw::kDtCenter;
    if (GetStyle() & BS_MULTILINE) {
      Rect m = tr;
      dc.DrawText(Text(), &m, fmt | draw::kDtWordBreak | draw::kDtCalcRect);
      const int dy = (tr.Height() - m.Height()) / 2;
      tr.top += dy;
      fmt |= draw::kDtWordBreak;
    } else {
      fmt |= draw::kDtSingleLine | draw::kDtVCenter;
    }
    if (IsWindowEnabled()) {
      dc.SetTextColor(SysColor(COLOR_BTNTEXT));
      dc.DrawText(Text(), &tr, fmt);
    } else {
      Rect t2 = tr.Offset(1, 1);
      dc.SetTextColor(SysColor(COLOR_BTNHIGHLIGHT));
      dc.DrawText(Text(), &t2, fmt);
      dc.SetTextColor(SysColor(COLOR_GRAYTEXT));
      dc.DrawText(Text(), &tr, fmt);
    }
    dc.SelectFont(old);
  }
  if (focused_) dc.DrawFocusRect(frame.Inflate(-3, -3));
}

void Button::PaintCheck(draw::DC& dc, bool radio) {
  const Rect rc = GetClientRect();
  const draw::Brush* brush = QueryCtlColor(dc, CTLCOLOR_STATIC);
  if (brush) dc.FillRect(rc, *brush);
  const int box = 13;
  const bool leftText = GetStyle() & BS_LEFTTEXT;
  const int bx = leftText ? rc.right - box : rc.left;
  const int by = rc.top + (rc.Height() - box) / 2;
  const Rect b = Rect::FromSize(bx, by, box, box);
  const Color fill = pushed_ || !IsWindowEnabled() ? SysColor(COLOR_BTNFACE) : SysColor(COLOR_WINDOW);
  const Color ink = IsWindowEnabled() ? SysColor(COLOR_WINDOWTEXT) : SysColor(COLOR_GRAYTEXT);
  if (radio) {
    dc.SelectPen(draw::Pen::Solid(SysColor(COLOR_BTNSHADOW)));
    dc.SelectBrush(draw::Brush::Solid(fill));
    dc.Ellipse(b);
    if (check_) {
      dc.SelectPen(draw::Pen::Solid(ink));
      dc.SelectBrush(draw::Brush::Solid(ink));
      dc.Ellipse(b.Inflate(-4, -4));
    }
  } else {
    dc.FillSolidRect(b, fill);
    dc.FrameRect(b, draw::Brush::Solid(SysColor(COLOR_BTNSHADOW)));
    if (check_ == BST_CHECKED || check_ == BST_INDETERMINATE) {
      const Color c = check_ == BST_INDETERMINATE ? SysColor(COLOR_GRAYTEXT) : ink;
      dc.SelectPen(draw::Pen::Solid(c, 2));
      dc.MoveTo(b.left + 3, b.top + 6);
      dc.LineTo(b.left + 5, b.top + 9);
      dc.LineTo(b.left + 10, b.top + 3);
    }
  }
  Rect tr = leftText ? Rect(rc.left, rc.top, bx - 4, rc.bottom) : Rect(bx + box + 4, rc.top, rc.right, rc.bottom);
  draw::Font old = dc.SelectFont(*GetFont());
  if (!IsWindowEnabled()) dc.SetTextColor(SysColor(COLOR_GRAYTEXT));
  unsigned fmt = (GetStyle() & BS_MULTILINE) ? draw::kDtWordBreak : (draw::kDtSingleLine | draw::kDtVCenter);
  if (leftText) fmt |= draw::kDtRight;
  dc.DrawText(Text(), &tr, fmt);
  if (focused_ && !Text().empty()) {
    Rect m = tr;
    dc.DrawText(Text(), &m, fmt | draw::kDtCalcRect);
    Rect fr(tr.left - 1, rc.top + (rc.Height() - m.Height()) / 2 - 1, tr.left + m.Width() + 1,
            rc.top + (rc.Height() + m.Height()) / 2 + 1);
    dc.DrawFocusRect(fr);
  }
  dc.SelectFont(old);
}

void Button::PaintGroup(draw::DC& dc) {
  const Rect rc = GetClientRect();
  const draw::Brush* brush = QueryCtlColor(dc, CTLCOLOR_STATIC);
  draw::Font old = dc.SelectFont(*GetFont());
  const draw::TextMetrics tm = dc.GetTextMetrics();
  const int top = rc.top + tm.height / 2;
  const Rect frame(rc.left, top, rc.right, rc.bottom);
  dc.FrameRect(frame, draw::Brush::Solid(SysColor(COLOR_BTNSHADOW)));
  dc.FrameRect(Rect(frame.left + 1, frame.top + 1, frame.right, frame.bottom), draw::Brush::Solid(SysColor(COLOR_BTNHIGHLIGHT)));
  dc.FrameRect(Rect(frame.left, frame.top, frame.right - 1, frame.bottom - 1), draw::Brush::Solid(SysColor(COLOR_BTNSHADOW)));
  if (!Text().empty()) {
    Rect m(0, 0, rc.Width(), tm.height);
    dc.DrawText(Text(), &m, draw::kDtSingleLine | draw::kDtCalcRect);
    Rect tr = Rect::FromSize(rc.left + 8, rc.top, m.Width() + 4, tm.height);
    if (brush) dc.FillRect(tr, *brush);
    if (!IsWindowEnabled()) dc.SetTextColor(SysColor(COLOR_GRAYTEXT));
    tr.left += 2;
    dc.DrawText(Text(), &tr, draw::kDtSingleLine | draw::kDtLeft);
  }
  dc.SelectFont(old);
}

}  // namespace ui

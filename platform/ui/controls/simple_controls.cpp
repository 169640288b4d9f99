// Scroll bar, progress bar, up-down and tab control.
#include <algorithm>

#include "platform/ui/controls/controls.h"
#include "platform/ui/keys.h"

namespace ui {

// --- ScrollBar ------------------------------------------------------------------------------

void ScrollBar::TakeOverState(Window& from) {
  if (auto* s = dynamic_cast<ScrollBar*>(&from)) {
    min_ = s->min_;
    max_ = s->max_;
    pos_ = s->pos_;
    page_ = s->page_;
  }
}

void ScrollBar::SetScrollRange(int minPos, int maxPos, bool redraw) {
  if (ForwardToUiThread([&] { SetScrollRange(minPos, maxPos, redraw); })) return;
  min_ = minPos;
  max_ = std::max(minPos, maxPos);
  pos_ = std::clamp(pos_, min_, max_);
  if (redraw) Invalidate(true);
}

int ScrollBar::SetScrollPos(int pos, bool redraw) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = SetScrollPos(pos, redraw); })) return r;
  }
  const int old = pos_;
  pos_ = std::clamp(pos, min_, max_);
  if (redraw) Invalidate(true);
  return old;
}

LResult ScrollBar::WindowProc(uint32_t msg, WParam w, LParam l) {
  switch (msg) {
    case SBM_SETPOS: return SetScrollPos(static_cast<int>(w), l != 0);
    case SBM_GETPOS: return pos_;
    case SBM_SETRANGE: SetScrollRange(static_cast<int>(w), static_cast<int>(l)); return 0;
    default: return Window::WindowProc(msg, w, l);
  }
}

Rect ScrollBar::ThumbRect() const {
  const Rect rc = GetClientRect();
  const bool v = Vertical();
  const int arrow = v ? std::min(rc.Width(), rc.Height() / 2) : std::min(rc.Height(), rc.Width() / 2);
  const int track = (v ? rc.Height() : rc.Width()) - 2 * arrow;
  const int range = std::max(1, max_ - min_);
  const int th = std::clamp(page_ > 0 ? track * page_ / (range + page_) : arrow, 8, std::max(8, track));
  const int off = arrow + (track - th) * (pos_ - min_) / range;
  return v ? Rect(0, off, rc.Width(), off + th) : Rect(off, 0, off + th, rc.Height());
}

void ScrollBar::Scroll(int code, int pos) {
  Window* p = GetParent();
  if (!p) return;
  p->SendMessage(Vertical() ? WM_VSCROLL : WM_HSCROLL, MakeWParam(static_cast<unsigned>(code), static_cast<unsigned>(pos) & 0xFFFF),
                 static_cast<LParam>(Handle()));
}

void ScrollBar::OnLButtonDown(unsigned, Point pt) {
  const Rect rc = GetClientRect();
  const bool v = Vertical();
  const int arrow = v ? std::min(rc.Width(), rc.Height() / 2) : std::min(rc.Height(), rc.Width() / 2);
  const int c = v ? pt.y : pt.x;
  const int len = v ? rc.Height() : rc.Width();
  const Rect thumb = ThumbRect();
  if (thumb.Contains(pt)) {
    dragging_ = true;
    dragOffset_ = c - (v ? thumb.top : thumb.left);
    SetCapture();
    return;
  }
  if (c < arrow) Scroll(SB_LINEUP, pos_);
  else if (c >= len - arrow) Scroll(SB_LINEDOWN, pos_);
  else if (c < (v ? thumb.top : thumb.left)) Scroll(SB_PAGEUP, pos_);
  else Scroll(SB_PAGEDOWN, pos_);
  Scroll(SB_ENDSCROLL, pos_);
}

void ScrollBar::OnMouseMove(unsigned, Point pt) {
  if (!dragging_) return;
  const Rect rc = GetClientRect();
  const bool v = Vertical();
  const int arrow = v ? std::min(rc.Width(), rc.Height() / 2) : std::min(rc.Height(), rc.Width() / 2);
  const Rect thumb = ThumbRect();
  const int th = v ? thumb.Height() : thumb.Width();
  const int track = (v ? rc.Height() : rc.Width()) - 2 * arrow - th;
  const int c = (v ? pt.y : pt.x) - dragOffset_ - arrow;
  const int pos = min_ + (track > 0 ? std::clamp(c, 0, track) * (max_ - min_) / track : 0);
  Scroll(SB_THUMBTRACK, pos);
}

void ScrollBar::OnLButtonUp(unsigned flags, Point pt) {
  if (!dragging_) return;
  dragging_ = false;
  ReleaseCapture();
  const Rect rc = GetClientRect();
  const bool v = Vertical();
  const int arrow = v ? std::min(rc.Width(), rc.Height() / 2) : std::min(rc.Height(), rc.Width() / 2);
  const Rect thumb = ThumbRect();
  const int th = v ? thumb.Height() : thumb.Width();
  const int track = (v ? rc.Height() : rc.Width()) - 2 * arrow - th;
  const int c = (v ? pt.y : pt.x) - dragOffset_ - arrow;
  const int pos = min_ + (track > 0 ? std::clamp(c, 0, track) * (max_ - min_) / track : 0);
  Scroll(SB_THUMBPOSITION, pos);
  Scroll(SB_ENDSCROLL, pos);
}

void ScrollBar::OnPaint(draw::DC& dc) {
  const Rect rc = GetClientRect();
  QueryCtlColor(dc, CTLCOLOR_SCROLLBAR);
  dc.FillSolidRect(rc, SysColor(COLOR_3DLIGHT));
  const bool v = Vertical();
  const int arrow = v ? std::min(rc.Width(), rc.Height() / 2) : std::min(rc.Height(), rc.Width() / 2);
  const Rect a1 = v ? Rect(0, 0, rc.Width(), arrow) : Rect(0, 0, arrow, rc.Height());
  const Rect a2 = v ? Rect(0, rc.Height() - arrow, rc.Width(), rc.Height()) : Rect(rc.Width() - arrow, 0, rc.Width(), rc.Height());
  const Color ink = IsWindowEnabled() ? SysColor(COLOR_BTNTEXT) : SysColor(COLOR_GRAYTEXT);
  dc.SelectPen(draw::Pen::Solid(ink));
  dc.SelectBrush(draw::Brush::Solid(ink));
  for (int k = 0; k < 2; ++k) {
    const Rect a = k ? a2 : a1;
    dc.FillSolidRect(a, SysColor(COLOR_BTNFACE));
    Draw3dFrame(dc, a, false);
    const Point c = a.Center();
    Point t[3];
    if (v) {
      const int d = k ? 2 : -2;
      t[0] = Point(c.x - 4, c.y - d);
      t[1] = Point(c.x + 4, c.y - d);
      t[2] = Point(c.x, c.y + d);
    } else {
      const int d = k ? 2 : -2;
      t[0] = Point(c.x - d, c.y - 4);
      t[1] = Point(c.x - d, c.y + 4);
      t[2] = Point(c.x + d, c.y);
    }
    dc.Polygon(t, 3);
  }
  const Rect thumb = ThumbRect();
  dc.FillSolidRect(thumb, SysColor(COLOR_BTNFACE));
  Draw3dFrame(dc, thumb, false);
}

// --- ProgressBar ----------------------------------------------------------------------------

void ProgressBar::TakeOverState(Window& from) {
  if (auto* p = dynamic_cast<ProgressBar*>(&from)) {
    lower_ = p->lower_;
    upper_ = p->upper_;
    pos_ = p->pos_;
    step_ = p->step_;
    barColor_ = p->barColor_;
  }
}

void ProgressBar::SetRange(int lower, int upper) {
  if (ForwardToUiThread([&] { SetRange(lower, upper); })) return;
  lower_ = lower;
  upper_ = upper;
  pos_ = std::clamp(pos_, std::min(lower_, upper_), std::max(lower_, upper_));
  Invalidate(true);
}

int ProgressBar::SetPos(int pos) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = SetPos(pos); })) return r;
  }
  const int old = pos_;
  pos_ = std::clamp(pos, std::min(lower_, upper_), std::max(lower_, upper_));
  if (pos_ != old) Invalidate(true);
  return old;
}

int ProgressBar::StepIt() {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = StepIt(); })) return r;
  }
  const int old = pos_;
  int next = pos_ + step_;
  // Stepping past the end starts again from the beginning.
  if (next > upper_) next = lower_ + (next - upper_);
  SetPos(next);
  return old;
}

LResult ProgressBar::WindowProc(uint32_t msg, WParam w, LParam l) {
  switch (msg) {
    case PBM_SETRANGE: {
      const int lo = LoWord(static_cast<uintptr_t>(l)), hi = HiWord(static_cast<uintptr_t>(l));
      const LResult old = static_cast<LResult>(MakeLong(static_cast<unsigned>(lower_), static_cast<unsigned>(upper_)));
      SetRange(lo, hi);
      return old;
    }
    case PBM_SETPOS: return SetPos(static_cast<int>(w));
    case PBM_DELTAPOS: return OffsetPos(static_cast<int>(static_cast<intptr_t>(w)));
    case PBM_SETSTEP: return SetStep(static_cast<int>(w));
    case PBM_STEPIT: return StepIt();
    case PBM_GETPOS: return pos_;
    case PBM_SETBARCOLOR: {
      const Color old = barColor_;
      SetBarColor(static_cast<Color>(l));
      return static_cast<LResult>(old);
    }
    default: return Window::WindowProc(msg, w, l);
  }
}

void ProgressBar::OnPaint(draw::DC& dc) {
  const Rect rc = GetClientRect();
  dc.FillSolidRect(rc, SysColor(COLOR_BTNFACE));
  Draw3dFrame(dc, rc, true);
  const Rect in = rc.Inflate(-2, -2);
  const int range = upper_ - lower_;
  if (range == 0) return;
  const bool vertical = GetStyle() & PBS_VERTICAL;
  const int len = vertical ? in.Height() : in.Width();
  const int fill = static_cast<int>(static_cast<long long>(len) * (pos_ - lower_) / range);
  if (GetStyle() & PBS_SMOOTH) {
    dc.FillSolidRect(vertical ? Rect(in.left, in.bottom - fill, in.right, in.bottom) : Rect(in.left, in.top, in.left + fill, in.bottom),
                     barColor_);
    return;
  }
  // Blocks with a gap, as the classic bar draws them.
  const int block = std::max(4, (vertical ? in.Width() : in.Height()) * 2 / 3);
  for (int off = 0; off < fill; off += block + 2) {
    const int e = std::min(fill, off + block);
    dc.FillSolidRect(vertical ? Rect(in.left, in.bottom - e, in.right, in.bottom - off) : Rect(in.left + off, in.top, in.left + e, in.bottom),
                     barColor_);
  }
}

// --- UpDown ---------------------------------------------------------------------------------

void UpDown::TakeOverState(Window& from) {
  if (auto* u = dynamic_cast<UpDown*>(&from)) {
    buddy_ = u->buddy_;
    lower_ = u->lower_;
    upper_ = u->upper_;
    pos_ = u->pos_;
  }
}

int UpDown::OnCreate() {
  if ((GetStyle() & UDS_AUTOBUDDY) && GetParent()) {
    // The buddy is the control created just before this one.
    const auto& kids = GetParent()->Children();
    for (size_t i = 1; i < kids.size(); ++i) {
      if (kids[i] == this) {
        SetBuddy(kids[i - 1]);
        break;
      }
    }
  }
  return 0;
}

void UpDown::SetBuddy(Window* buddy) {
  buddy_ = buddy ? buddy->Handle() : 0;
  if (!buddy || !(GetStyle() & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
  // Sit against the buddy's edge, as tall as it; the buddy gives up the room.
  const Rect br = buddy->GetRectInParent();
  const int w = GetRectInParent().Width();
  if (GetStyle() & UDS_ALIGNRIGHT) {
    buddy->MoveWindow(br.left, br.top, br.Width() - w, br.Height());
    MoveWindow(br.right - w, br.top, w, br.Height());
  } else {
    buddy->MoveWindow(br.left + w, br.top, br.Width() - w, br.Height());
    MoveWindow(br.left, br.top, w, br.Height());
  }
  if (GetStyle() & UDS_SETBUDDYINT) buddy->SetWindowText(std::to_string(pos_));
}

Window* UpDown::GetBuddy() const { return FromHandle(buddy_); }

void UpDown::SetRange(int lower, int upper) {
  if (ForwardToUiThread([&] { SetRange(lower, upper); })) return;
  lower_ = lower;
  upper_ = upper;
  SetPos(pos_);
}

int UpDown::SetPos(int pos) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = SetPos(pos); })) return r;
  }
  const int old = pos_;
  pos_ = std::clamp(pos, std::min(lower_, upper_), std::max(lower_, upper_));
  if ((GetStyle() & UDS_SETBUDDYINT) && GetBuddy()) GetBuddy()->SetWindowText(std::to_string(pos_));
  return old;
}

void UpDown::Step(int delta) {
  if (lower_ > upper_) delta = -delta;
  // With a buddy that shows the number, its text is the current position.
  if ((GetStyle() & UDS_SETBUDDYINT) && GetBuddy()) {
    bool ok = false;
    const long v = GetParent() ? GetParent()->GetDlgItemInt(GetBuddy()->GetDlgCtrlID(), &ok) : 0;
    if (ok) pos_ = std::clamp(static_cast<int>(v), std::min(lower_, upper_), std::max(lower_, upper_));
  }
  UpDownNotify n;
  n.hdr.from = this;
  n.hdr.idFrom = GetDlgCtrlID();
  n.hdr.code = UDN_DELTAPOS;
  n.pos = pos_;
  n.delta = delta;
  if (GetParent() && GetParent()->SendMessage(WM_NOTIFY, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&n)) != 0)
    return;
  const int lo = std::min(lower_, upper_), hi = std::max(lower_, upper_);
  int next = pos_ + n.delta;
  if (GetStyle() & UDS_WRAP) {
    if (next > hi) next = lo;
    if (next < lo) next = hi;
  }
  next = std::clamp(next, lo, hi);
  if (next == pos_) return;
  SetPos(next);
  if (GetParent()) {
    GetParent()->SendMessage((GetStyle() & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                             MakeWParam(SB_THUMBPOSITION, static_cast<unsigned>(pos_) & 0xFFFF), static_cast<LParam>(Handle()));
  }
}

void UpDown::OnLButtonDown(unsigned, Point pt) {
  const Rect rc = GetClientRect();
  const bool horz = GetStyle() & UDS_HORZ;
  pressed_ = horz ? (pt.x >= rc.Width() / 2 ? 1 : -1) : (pt.y < rc.Height() / 2 ? 1 : -1);
  Invalidate(false);
  Step(pressed_);
}

void UpDown::OnLButtonUp(unsigned, Point) {
  pressed_ = 0;
  Invalidate(false);
}

void UpDown::OnPaint(draw::DC& dc) {
  const Rect rc = GetClientRect();
  const bool horz = GetStyle() & UDS_HORZ;
  const Rect up = horz ? Rect(rc.Width() / 2, 0, rc.Width(), rc.Height()) : Rect(0, 0, rc.Width(), rc.Height() / 2);
  const Rect down = horz ? Rect(0, 0, rc.Width() / 2, rc.Height()) : Rect(0, rc.Height() / 2, rc.Width(), rc.Height());
  const Color ink = IsWindowEnabled() ? SysColor(COLOR_BTNTEXT) : SysColor(COLOR_GRAYTEXT);
  dc.SelectPen(draw::Pen::Solid(ink));
  dc.SelectBrush(draw::Brush::Solid(ink));
  for (int k = 0; k < 2; ++k) {
    const Rect a = k ? down : up;
    dc.FillSolidRect(a, SysColor(COLOR_BTNFACE));
    Draw3dFrame(dc, a, pressed_ == (k ? -1 : 1));
    const Point c = a.Center();
    Point t[3];
    if (horz) {
      const int d = k ? -2 : 2;
      t[0] = Point(c.x - d, c.y - 3);
      t[1] = Point(c.x - d, c.y + 3);
      t[2] = Point(c.x + d, c.y);
    } else {
      const int d = k ? 2 : -2;
      t[0] = Point(c.x - 3, c.y - d);
      t[1] = Point(c.x + 3, c.y - d);
      t[2] = Point(c.x, c.y + d);
    }
    dc.Polygon(t, 3);
  }
}

// --- TabControl -----------------------------------------------------------------------------

void TabControl::TakeOverState(Window& from) {
  if (auto* t = dynamic_cast<TabControl*>(&from)) {
    items_ = t->items_;
    data_ = t->data_;
    images_ = t->images_;
    cur_ = t->cur_;
  }
}

int TabControl::InsertItem(int index, const std::string& text) { return InsertItem(index, text, 0, -1); }

int TabControl::InsertItem(int index, const std::string& text, uintptr_t data, int image) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = InsertItem(index, text, data, image); })) return r;
  }
  if (index < 0 || index > GetItemCount()) index = GetItemCount();
  items_.insert(items_.begin() + index, text);
  data_.insert(data_.begin() + index, data);
  images_.insert(images_.begin() + index, image);
  if (cur_ < 0) cur_ = 0;
  else if (cur_ >= index && GetItemCount() > 1) ++cur_;
  Invalidate(true);
  return index;
}

uintptr_t TabControl::GetItemData(int index) const {
  return index >= 0 && index < GetItemCount() ? data_[static_cast<size_t>(index)] : 0;
}

int TabControl::GetItemImage(int index) const {
  return index >= 0 && index < GetItemCount() ? images_[static_cast<size_t>(index)] : -1;
}

bool TabControl::DeleteItem(int index) {
  if (index < 0 || index >= GetItemCount()) return false;
  items_.erase(items_.begin() + index);
  data_.erase(data_.begin() + index);
  images_.erase(images_.begin() + index);
  if (cur_ >= GetItemCount()) cur_ = GetItemCount() - 1;
  Invalidate(true);
  return true;
}

void TabControl::DeleteAllItems() {
  items_.clear();
  data_.clear();
  images_.clear();
  cur_ = -1;
  Invalidate(true);
}

std::string TabControl::GetItemText(int index) const {
  return index >= 0 && index < GetItemCount() ? items_[static_cast<size_t>(index)] : std::string();
}

bool TabControl::SetItemText(int index, const std::string& text) {
  if (index < 0 || index >= GetItemCount()) return false;
  items_[static_cast<size_t>(index)] = text;
  Invalidate(true);
  return true;
}

int TabControl::SetCurSel(int index) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = SetCurSel(index); })) return r;
  }
  if (index < 0 || index >= GetItemCount()) return -1;
  const int old = cur_;
  cur_ = index;
  Invalidate(true);
  return old;
}

Rect TabControl::GetItemRect(int index) const {
  static thread_local draw::DC dc;
  dc.SelectFont(*GetFont());
  const int h = dc.GetTextMetrics().height + 8;
  int x = 2;
  for (int i = 0; i < GetItemCount(); ++i) {
    const int w = dc.GetTextExtent(items_[static_cast<size_t>(i)]).cx + 16;
    if (i == index) return Rect(x, 2, x + w, 2 + h);
    x += w;
  }
  return Rect();
}

Rect TabControl::GetPageRect() const {
  const Rect rc = GetClientRect();
  const Rect first = GetItemCount() ? GetItemRect(0) : Rect(0, 0, 0, 20);
  return Rect(rc.left + 4, first.bottom + 4, rc.right - 4, rc.bottom - 4);
}

void TabControl::UserSelect(int index) {
  if (index == cur_ || index < 0 || index >= GetItemCount()) return;
  NotifyHeader h;
  h.from = this;
  h.idFrom = GetDlgCtrlID();
  h.code = TCN_SELCHANGING;
  Window* p = GetParent();
  if (p && p->SendMessage(WM_NOTIFY, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&h)) != 0) return;
  SetCurSel(index);
  h.code = TCN_SELCHANGE;
  if (p) p->SendMessage(WM_NOTIFY, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&h));
}

void TabControl::OnLButtonDown(unsigned, Point pt) {
  for (int i = 0; i < GetItemCount(); ++i) {
    if (GetItemRect(i).Contains(pt)) {
      if (GetStyle() & WS_TABSTOP) SetFocus();
      UserSelect(i);
      return;
    }
  }
}

void TabControl::OnKeyDown(unsigned vk, unsigned, unsigned) {
  if (vk == VK_LEFT) UserSelect(cur_ - 1);
  if (vk == VK_RIGHT) UserSelect(cur_ + 1);
}

void TabControl::OnPaint(draw::DC& dc) {
  const Rect rc = GetClientRect();
  const draw::Brush* brush = QueryCtlColor(dc, CTLCOLOR_DLG);
  if (brush) dc.FillRect(rc, *brush);
  const Rect page = GetPageRect().Inflate(4, 4);
  Draw3dFrame(dc, Rect(rc.left, page.top - 2, rc.right, rc.bottom), false);
  draw::Font old = dc.SelectFont(*GetFont());
  dc.SetBkMode(draw::BkMode::Transparent);
  for (int i = 0; i < GetItemCount(); ++i) {
    Rect r = GetItemRect(i);
    if (i == cur_) r = Rect(r.left - 2, r.top - 2, r.right + 2, r.bottom + 1);
    dc.FillSolidRect(r, SysColor(COLOR_BTNFACE));
    const Color light = SysColor(COLOR_BTNHIGHLIGHT), shadow = SysColor(COLOR_3DDKSHADOW);
    dc.FillSolidRect(Rect(r.left, r.top, r.right, r.top + 1), light);
    dc.FillSolidRect(Rect(r.left, r.top, r.left + 1, r.bottom), light);
    dc.FillSolidRect(Rect(r.right - 1, r.top, r.right, r.bottom), shadow);
    dc.SetTextColor(IsWindowEnabled() ? SysColor(COLOR_BTNTEXT) : SysColor(COLOR_GRAYTEXT));
    dc.DrawText(items_[static_cast<size_t>(i)], &r, draw::kDtCenter | draw::kDtVCenter | draw::kDtSingleLine);
  }
  dc.SelectFont(old);
}

}  // namespace ui

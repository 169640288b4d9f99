#include <algorithm>
#include <cctype>

#include "platform/ui/controls/controls.h"
#include "platform/ui/keys.h"

namespace ui {

namespace {
constexpr int kScrollWidth = 16;

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}
bool EqualNoCase(const std::string& a, const std::string& b) { return !LessNoCase(a, b) && !LessNoCase(b, a); }
bool PrefixNoCase(const std::string& s, const std::string& p) {
  return s.size() >= p.size() && EqualNoCase(s.substr(0, p.size()), p);
}
}  // namespace

void ListBox::TakeOverState(Window& from) {
  if (auto* l = dynamic_cast<ListBox*>(&from)) {
    items_ = l->items_;
    cur_ = l->cur_;
    top_ = l->top_;
  }
}

int ListBox::ItemHeight() const {
  static thread_local draw::DC dc;
  dc.SelectFont(*GetFont());
  return std::max(8, dc.GetTextMetrics().height + 2);
}

int ListBox::VisibleCount() const { return std::max(1, GetClientRect().Height() / ItemHeight()); }

bool ListBox::HasOwnBar() const {
  return (GetStyle() & WS_VSCROLL) && static_cast<int>(items_.size()) > VisibleCount();
}

int ListBox::AddString(const std::string& text) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = AddString(text); })) return r;
  }
  const bool sorted = combo_ ? false : (GetStyle() & LBS_SORT);
  int index = static_cast<int>(items_.size());
  if (sorted) {
    index = 0;
    while (index < static_cast<int>(items_.size()) && !LessNoCase(text, items_[static_cast<size_t>(index)].text)) ++index;
  }
  items_.insert(items_.begin() + index, Item{text, 0, false});
  if (cur_ >= index) ++cur_;
  Invalidate(true);
  return index;
}

int ListBox::InsertString(int index, const std::string& text) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = InsertString(index, text); })) return r;
  }
  if (index < 0 || index > static_cast<int>(items_.size())) index = static_cast<int>(items_.size());
  items_.insert(items_.begin() + index, Item{text, 0, false});
  if (cur_ >= index) ++cur_;
  Invalidate(true);
  return index;
}

int ListBox::DeleteString(int index) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = DeleteString(index); })) return r;
  }
  if (index < 0 || index >= static_cast<int>(items_.size())) return static_cast<int>(LB_ERR);
  items_.erase(items_.begin() + index);
  if (cur_ == index) cur_ = -1;
  else if (cur_ > index) --cur_;
  top_ = std::clamp(top_, 0, std::max(0, static_cast<int>(items_.size()) - 1));
  Invalidate(true);
  return static_cast<int>(items_.size());
}

void ListBox::ResetContent() {
  if (ForwardToUiThread([&] { ResetContent(); })) return;
  items_.clear();
  cur_ = -1;
  top_ = 0;
  Invalidate(true);
}

int ListBox::SetCurSel(int index) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = SetCurSel(index); })) return r;
  }
  if (index < -1 || index >= static_cast<int>(items_.size())) {
    cur_ = -1;
    for (auto& it : items_) it.selected = false;
    Invalidate(true);
    return static_cast<int>(LB_ERR);
  }
  Select(index, false);
  return index;
}

void ListBox::Select(int index, bool notify) {
  const bool multi = GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
  if (!multi) {
    for (auto& it : items_) it.selected = false;
  }
  cur_ = index;
  if (index >= 0) {
    if (multi) items_[static_cast<size_t>(index)].selected = !items_[static_cast<size_t>(index)].selected;
    else items_[static_cast<size_t>(index)].selected = true;
    EnsureVisible(index);
  }
  Invalidate(true);
  if (notify && (GetStyle() & LBS_NOTIFY) && !combo_) NotifyParent(LBN_SELCHANGE);
}

void ListBox::EnsureVisible(int index) {
  const int vis = VisibleCount();
  if (index < top_) top_ = index;
  else if (index >= top_ + vis) top_ = index - vis + 1;
  top_ = std::max(0, top_);
}

std::string ListBox::GetText(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return {};
  return items_[static_cast<size_t>(index)].text;
}

int ListBox::FindStringExact(int start, const std::string& text) const {
  const int n = static_cast<int>(items_.size());
  for (int k = 1; k <= n; ++k) {
    const int i = (start + k + n) % n;
    if (EqualNoCase(items_[static_cast<size_t>(i)].text, text)) return i;
  }
  return static_cast<int>(LB_ERR);
}

int ListBox::FindString(int start, const std::string& prefix) const {
  const int n = static_cast<int>(items_.size());
  for (int k = 1; k <= n; ++k) {
    const int i = (start + k + n) % n;
    if (PrefixNoCase(items_[static_cast<size_t>(i)].text, prefix)) return i;
  }
  return static_cast<int>(LB_ERR);
}

uintptr_t ListBox::GetItemData(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return static_cast<uintptr_t>(LB_ERR);
  return items_[static_cast<size_t>(index)].data;
}

int ListBox::SetItemData(int index, uintptr_t data) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return static_cast<int>(LB_ERR);
  items_[static_cast<size_t>(index)].data = data;
  return 0;
}

int ListBox::GetSel(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return static_cast<int>(LB_ERR);
  return items_[static_cast<size_t>(index)].selected ? 1 : 0;
}

int ListBox::SetSel(int index, bool select) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = SetSel(index, select); })) return r;
  }
  if (index == -1) {
    for (auto& it : items_) it.selected = select;
  } else if (index >= 0 && index < static_cast<int>(items_.size())) {
    items_[static_cast<size_t>(index)].selected = select;
  } else {
    return static_cast<int>(LB_ERR);
  }
  Invalidate(true);
  return 0;
}

int ListBox::GetSelCount() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const Item& i) { return i.selected; }));
}

void ListBox::SetTopIndex(int index) {
  top_ = std::clamp(index, 0, std::max(0, static_cast<int>(items_.size()) - 1));
  Invalidate(true);
}

Rect ListBox::GetItemRect(int index) const {
  const int h = ItemHeight();
  Rect rc = GetClientRect();
  if (GetStyle() & WS_BORDER) rc = rc.Inflate(-1, -1);
  if (HasOwnBar()) rc.right -= kScrollWidth;
  return Rect(rc.left, rc.top + (index - top_) * h, rc.right, rc.top + (index - top_ + 1) * h);
}

int ListBox::ItemFromPoint(Point pt) const {
  const int h = ItemHeight();
  const int top = (GetStyle() & WS_BORDER) ? 1 : 0;
  const int i = top_ + (pt.y - top) / h;
  if (pt.y < top || i < 0 || i >= static_cast<int>(items_.size())) return -1;
  return i;
}

void ListBox::DrawItem(DrawItemInfo& info) {
  Window* target = combo_ ? static_cast<Window*>(combo_) : GetParent();
  if (combo_) {
    combo_->DrawItem(info);
    return;
  }
  if (target) target->SendMessage(WM_DRAWITEM, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&info));
}

LResult ListBox::WindowProc(uint32_t msg, WParam w, LParam l) {
  const int iw = static_cast<int>(static_cast<intptr_t>(w));
  switch (msg) {
    case LB_ADDSTRING: return AddString(l ? reinterpret_cast<const char*>(l) : "");
    case LB_INSERTSTRING: return InsertString(iw, l ? reinterpret_cast<const char*>(l) : "");
    case LB_DELETESTRING: return DeleteString(iw);
    case LB_RESETCONTENT: ResetContent(); return 0;
    case LB_SETCURSEL: return SetCurSel(iw);
    case LB_GETCURSEL: return cur_;
    case LB_GETCOUNT: return GetCount();
    case LB_GETTEXT:
      if (iw < 0 || iw >= GetCount()) return LB_ERR;
      if (l) *reinterpret_cast<std::string*>(l) = GetText(iw);
      return static_cast<LResult>(GetText(iw).size());
    case LB_GETTEXTLEN: return iw < 0 || iw >= GetCount() ? LB_ERR : static_cast<LResult>(GetText(iw).size());
    case LB_GETITEMDATA: return static_cast<LResult>(GetItemData(iw));
    case LB_SETITEMDATA: return SetItemData(iw, static_cast<uintptr_t>(l));
    case LB_SETSEL: return SetSel(static_cast<int>(l), w != 0);
    case LB_GETSEL: return GetSel(iw);
    case LB_GETSELCOUNT: return GetSelCount();
    case LB_SETTOPINDEX: SetTopIndex(iw); return 0;
    case LB_GETTOPINDEX: return top_;
    case LB_FINDSTRING: return FindString(iw, l ? reinterpret_cast<const char*>(l) : "");
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LB_FINDSTRINGEXACT: return FindStringExact(iw, l ? reinterpret_cast<const char*>(l) : "");
    default: return Window::WindowProc(msg, w, l);
  }
}

void ListBox::OnLButtonDown(unsigned, Point pt) {
  if (!combo_ && GetFocus() != this) SetFocus();
  const Rect rc = GetClientRect();
  if (HasOwnBar() && pt.x >= rc.right - kScrollWidth) {
    // The bar: the upper half pages up, the lower half down.
    const int vis = VisibleCount();
    SetTopIndex(pt.y < rc.Height() / 2 ? top_ - vis : std::min(top_ + vis, GetCount() - vis));
    return;
  }
  const int i = ItemFromPoint(pt);
  if (combo_) {
    if (!rc.Contains(pt)) {
      combo_->ListCancelled();
      return;
    }
    if (i >= 0) {
      cur_ = i;
      Invalidate(true);
    }
    dragging_ = true;
    return;
  }
  if (i >= 0) Select(i, i != cur_ || (GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)));
  dragging_ = true;
  SetCapture();
}

void ListBox::OnMouseMove(unsigned, Point pt) {
  if (combo_) {
    // The drop-down list follows the pointer.
    const int i = ItemFromPoint(pt);
    if (i >= 0 && i != cur_ && GetClientRect().Contains(pt)) {
      cur_ = i;
      Invalidate(true);
    }
    return;
  }
  if (!dragging_ || (GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))) return;
  const int i = ItemFromPoint(pt);
  if (i >= 0 && i != cur_) Select(i, true);
}

void ListBox::OnLButtonUp(unsigned, Point pt) {
  if (combo_) {
    if (dragging_ && GetClientRect().Contains(pt)) {
      dragging_ = false;
      const int i = ItemFromPoint(pt);
      if (i >= 0) combo_->ListPicked(i);
    }
    dragging_ = false;
    return;
  }
  dragging_ = false;
  if (GetCapture() == this) ReleaseCapture();
}

void ListBox::OnLButtonDblClk(unsigned flags, Point pt) {
  OnLButtonDown(flags, pt);
  if ((GetStyle() & LBS_NOTIFY) && !combo_ && ItemFromPoint(pt) >= 0) NotifyParent(LBN_DBLCLK);
}

bool ListBox::OnMouseWheel(unsigned, int delta, Point) {
  SetTopIndex(std::min(top_ - delta / 120 * 3, std::max(0, GetCount() - VisibleCount())));
  return true;
}

void ListBox::OnKeyDown(unsigned vk, unsigned, unsigned) {
  const int n = GetCount();
  if (n == 0) return;
  int i = cur_;
  switch (vk) {
    case VK_UP: i = std::max(0, cur_ - 1); break;
    case VK_DOWN: i = std::min(n - 1, cur_ + 1); break;
    case VK_HOME: i = 0; break;
    case VK_END: i = n - 1; break;
    case VK_PRIOR: i = std::max(0, cur_ - VisibleCount()); break;
    case VK_NEXT: i = std::min(n - 1, cur_ + VisibleCount()); break;
    case VK_RETURN:
      if (combo_ && cur_ >= 0) combo_->ListPicked(cur_);
      return;
    case VK_ESCAPE:
      if (combo_) combo_->ListCancelled();
      return;
    default: return;
  }
  if (combo_) {
    cur_ = i;
    EnsureVisible(i);
    Invalidate(true);
    return;
  }
  if (i != cur_) Select(i, true);
}

void ListBox::OnSetFocus(Window*) {
  focused_ = true;
  Invalidate(false);
  if ((GetStyle() & LBS_NOTIFY) && !combo_) NotifyParent(LBN_SETFOCUS);
}

void ListBox::OnKillFocus(Window*) {
  focused_ = false;
  Invalidate(false);
  if ((GetStyle() & LBS_NOTIFY) && !combo_) NotifyParent(LBN_KILLFOCUS);
}

void ListBox::OnPaint(draw::DC& dc) {
  const Rect rc = GetClientRect();
  const draw::Brush* brush = combo_ ? nullptr : QueryCtlColor(dc, CTLCOLOR_LISTBOX);
  if (combo_) {
    dc.SetTextColor(SysColor(COLOR_WINDOWTEXT));
    dc.SetBkColor(SysColor(COLOR_WINDOW));
    dc.FillSolidRect(rc, SysColor(COLOR_WINDOW));
  } else if (brush) {
    dc.FillRect(rc, *brush);
  }
  const Color text = dc.GetTextColor();
  draw::Font old = dc.SelectFont(*GetFont());
  const bool ownerDraw = combo_ ? (combo_->GetStyle() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))
                                : (GetStyle() & LBS_OWNERDRAWFIXED);
  const int vis = VisibleCount() + 1;
  for (int i = top_; i < std::min(GetCount(), top_ + vis); ++i) {
    const Rect ir = GetItemRect(i);
    const bool sel = combo_ ? i == cur_ : items_[static_cast<size_t>(i)].selected;
    if (ownerDraw) {
      DrawItemInfo info;
      info.ctlType = combo_ ? ODT_COMBOBOX : ODT_LISTBOX;
      info.ctlId = combo_ ? combo_->GetDlgCtrlID() : GetDlgCtrlID();
      info.itemId = i;
      info.itemState = (sel ? unsigned{ODS_SELECTED} : 0u) | (focused_ && i == cur_ ? unsigned{ODS_FOCUS} : 0u);
      info.item = combo_ ? static_cast<Window*>(combo_) : this;
      info.dc = &dc;
      info.rcItem = ir;
      info.itemData = items_[static_cast<size_t>(i)].data;
      const int saved = dc.SaveDC();
      DrawItem(info);
      dc.RestoreDC(saved);
      continue;
    }
    if (sel) dc.FillSolidRect(ir, SysColor(COLOR_HIGHLIGHT));
    dc.SetBkMode(draw::BkMode::Transparent);
    dc.SetTextColor(sel ? SysColor(COLOR_HIGHLIGHTTEXT) : (IsWindowEnabled() ? text : SysColor(COLOR_GRAYTEXT)));
    Rect tr = ir;
    tr.left += 2;
    dc.DrawText(items_[static_cast<size_t>(i)].text, &tr, draw::kDtSingleLine | draw::kDtVCenter | draw::kDtNoPrefix);
    if (focused_ && i == cur_ && !combo_) dc.DrawFocusRect(ir);
  }
  dc.SelectFont(old);
  if (HasOwnBar()) {
    const Rect bar(rc.right - kScrollWidth, rc.top, rc.right, rc.bottom);
    dc.FillSolidRect(bar, SysColor(COLOR_3DLIGHT));
    const int n = GetCount(), v = VisibleCount();
    const int th = std::max(10, bar.Height() * v / std::max(1, n));
    const int ty = bar.top + (bar.Height() - th) * top_ / std::max(1, n - v);
    const Rect thumb(bar.left, ty, bar.right, ty + th);
    dc.FillSolidRect(thumb, SysColor(COLOR_BTNFACE));
    Draw3dFrame(dc, thumb, false);
  }
  if (GetStyle() & WS_BORDER) dc.FrameRect(rc, draw::Brush::Solid(SysColor(COLOR_BTNSHADOW)));
}

}  // namespace ui

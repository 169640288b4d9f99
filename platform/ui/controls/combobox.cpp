#include <algorithm>

#include "platform/ui/app.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/keys.h"
#include "platform/ui/window_class.h"

namespace ui {

namespace {
constexpr int kButtonWidth = 16;
constexpr int kEditId = 1001;
}  // namespace

ComboBox::~ComboBox() {
  if (list_.IsWindow()) list_.DestroyWindow();
}

void ComboBox::TakeOverState(Window& from) {
  if (auto* c = dynamic_cast<ComboBox*>(&from)) {
    list_.items_ = c->list_.items_;
    cur_ = c->cur_;
    dropHeight_ = c->dropHeight_;
    // The edit child moved over with the children.
    edit_ = c->edit_;
    c->edit_ = nullptr;
  }
}

int ComboBox::OnCreate() {
  list_.ModifyStyle(0, (GetStyle() & CBS_SORT) ? uint32_t{LBS_SORT} : 0u);
  // The template's height is the height of the dropped list; the field is one line high.
  static thread_local draw::DC dc;
  dc.SelectFont(*GetFont());
  const int fieldH = dc.GetTextMetrics().height + 8;
  const Rect r = GetRectInParent();
  dropHeight_ = std::max(r.Height() - fieldH, 3 * (fieldH - 6));
  SetWindowPos(ZOrder::Keep, 0, 0, r.Width(), fieldH, SWP_NOMOVE | SWP_NOZORDER);
  if (Editable()) {
    Edit* e = new Edit;
    e->SetAutoDelete(true);
    e->Create(kClassEdit, "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, Rect(2, 2, r.Width() - kButtonWidth - 1, fieldH - 2), this,
              kEditId);
    edit_ = e;
  }
  return 0;
}

void ComboBox::OnDestroy() {
  if (list_.IsWindow()) list_.DestroyWindow();
  dropped_ = false;
  edit_ = nullptr;
}

int ComboBox::AddString(const std::string& text) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = AddString(text); })) return r;
  }
  int index = static_cast<int>(list_.items_.size());
  if (GetStyle() & CBS_SORT) {
    index = 0;
    auto less = [](const std::string& a, const std::string& b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
      });
    };
    while (index < static_cast<int>(list_.items_.size()) && !less(text, list_.items_[static_cast<size_t>(index)].text)) ++index;
  }
  list_.items_.insert(list_.items_.begin() + index, ListBox::Item{text, 0, false});
  if (cur_ >= index) ++cur_;
  return index;
}

int ComboBox::InsertString(int index, const std::string& text) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = InsertString(index, text); })) return r;
  }
  if (index < 0 || index > GetCount()) index = GetCount();
  list_.items_.insert(list_.items_.begin() + index, ListBox::Item{text, 0, false});
  if (cur_ >= index) ++cur_;
  return index;
}

int ComboBox::DeleteString(int index) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = DeleteString(index); })) return r;
  }
  if (index < 0 || index >= GetCount()) return static_cast<int>(CB_ERR);
  list_.items_.erase(list_.items_.begin() + index);
  if (cur_ == index) {
    cur_ = -1;
    if (!Editable()) Window::OnSetText("");
  } else if (cur_ > index) {
    --cur_;
  }
  Invalidate(true);
  return GetCount();
}

void ComboBox::ResetContent() {
  if (ForwardToUiThread([&] { ResetContent(); })) return;
  list_.items_.clear();
  cur_ = -1;
  if (edit_) edit_->SetWindowText("");
  Window::OnSetText("");
  Invalidate(true);
}

int ComboBox::GetCount() const { return static_cast<int>(list_.items_.size()); }

void ComboBox::SetSelection(int index, bool notify) {
  if (index < -1 || index >= GetCount()) index = -1;
  const bool changed = index != cur_;
  cur_ = index;
  const std::string text = index >= 0 ? list_.items_[static_cast<size_t>(index)].text : std::string();
  Window::OnSetText(text);
  if (edit_) {
    edit_->SetWindowText(text);
    edit_->SendMessage(EM_SETSEL, 0, -1);
  }
  Invalidate(true);
  if (notify && changed) Notify(CBN_SELCHANGE);
}

int ComboBox::SetCurSel(int index) {
  {
    int r = 0;
    if (ForwardToUiThread([&] { r = SetCurSel(index); })) return r;
  }
  SetSelection(index, false);
  return index >= 0 && index < GetCount() ? index : static_cast<int>(CB_ERR);
}

std::string ComboBox::GetLBText(int index) const { return list_.GetText(index); }

int ComboBox::FindStringExact(int start, const std::string& text) const { return list_.FindStringExact(start, text); }

int ComboBox::SelectString(int start, const std::string& prefix) {
  const int i = list_.FindString(start, prefix);
  if (i >= 0) SetSelection(i, false);
  return i;
}

uintptr_t ComboBox::GetItemData(int index) const { return list_.GetItemData(index); }
int ComboBox::SetItemData(int index, uintptr_t data) { return list_.SetItemData(index, data); }

bool ComboBox::GetDroppedState() const { return dropped_; }
ListBox* ComboBox::DroppedList() const { return dropped_ ? const_cast<ListBox*>(&list_) : nullptr; }

void ComboBox::ShowDropDown(bool show) {
  if (ForwardToUiThread([&] { ShowDropDown(show); })) return;
  if (show == dropped_ || !IsWindow()) return;
  if (show) {
    Notify(CBN_DROPDOWN);
    if (!IsWindow()) return;
    const Rect wr = GetWindowRect();
    list_.SetFont(GetFont(), false);
    const int itemH = list_.ItemHeight();
    const int n = std::max(1, GetCount());
    const int h = std::min(dropHeight_, n * itemH + 2);
    uint32_t style = WS_POPUP | WS_BORDER | WS_VISIBLE;
    if (n * itemH + 2 > h) style |= WS_VSCROLL;
    int y = wr.bottom;
    if (y + h > GetScreenSize().cy) y = wr.top - h;
    list_.Create(kClassListBox, "", style, Rect::FromSize(wr.left, y, wr.Width(), h), GetTopLevel(), 0, uint32_t{WS_EX_TOPMOST} | WS_EX_NOACTIVATE);
    list_.cur_ = cur_;
    if (cur_ >= 0) list_.EnsureVisible(cur_);
    dropped_ = true;
    list_.SetCapture();
    Invalidate(false);
  } else {
    dropped_ = false;
    if (Window::GetCapture() == &list_) ReleaseCapture();
    list_.DestroyWindow();
    Invalidate(false);
    Notify(CBN_CLOSEUP);
  }
}

void ComboBox::ListPicked(int index) {
  const bool changed = index != cur_;
  Notify(CBN_SELENDOK);
  ShowDropDown(false);
  SetSelection(index, false);
  if (changed) Notify(CBN_SELCHANGE);
}

void ComboBox::ListCancelled() {
  Notify(CBN_SELENDCANCEL);
  ShowDropDown(false);
}

LResult ComboBox::WindowProc(uint32_t msg, WParam w, LParam l) {
  const int iw = static_cast<int>(static_cast<intptr_t>(w));
  const char* text = l ? reinterpret_cast<const char*>(l) : "";
  switch (msg) {
    case CB_ADDSTRING: return AddString(text);
    case CB_INSERTSTRING: return InsertString(iw, text);
    case CB_DELETESTRING: return DeleteString(iw);
    case CB_RESETCONTENT: ResetContent(); return 0;
    case CB_GETCOUNT: return GetCount();
    case CB_GETCURSEL: return cur_;
    case CB_SETCURSEL: return SetCurSel(iw);
    case CB_GETLBTEXT:
      if (iw < 0 || iw >= GetCount()) return CB_ERR;
      if (l) *reinterpret_cast<std::string*>(l) = GetLBText(iw);
      return static_cast<LResult>(GetLBText(iw).size());
    case CB_GETLBTEXTLEN: return iw < 0 || iw >= GetCount() ? CB_ERR : static_cast<LResult>(GetLBText(iw).size());
    case CB_FINDSTRING: return list_.FindString(iw, text);
    case CB_FINDSTRINGEXACT: return FindStringExact(iw, text);
    case CB_SELECTSTRING: return SelectString(iw, text);
    case CB_GETITEMDATA: return static_cast<LResult>(GetItemData(iw));
    case CB_SETITEMDATA: return SetItemData(iw, static_cast<uintptr_t>(l));
    case CB_SHOWDROPDOWN: ShowDropDown(w != 0); return 1;
    case CB_GETDROPPEDSTATE: return dropped_ ? 1 : 0;
    case WM_GETDLGCODE: return dropped_ ? DLGC_WANTALLKEYS : DLGC_WANTARROWS;
    case WM_SETTEXT:
      if (edit_) edit_->SetWindowText(text);
      Window::OnSetText(text);
      return 1;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      if (edit_) return edit_->SendMessage(msg, w, l);
      return Window::WindowProc(msg, w, l);
    default: return Window::WindowProc(msg, w, l);
  }
}

void ComboBox::OnFontChanged() {
  // The field is one line of the new font high.
  static thread_local draw::DC dc;
  dc.SelectFont(*GetFont());
  const int fieldH = dc.GetTextMetrics().height + 8;
  const Rect r = GetRectInParent();
  if (r.Height() != fieldH) SetWindowPos(ZOrder::Keep, 0, 0, r.Width(), fieldH, SWP_NOMOVE | SWP_NOZORDER);
  if (edit_) {
    edit_->SetFont(GetFont(), false);
    edit_->MoveWindow(2, 2, r.Width() - 16 - 3, fieldH - 4);
  }
}

bool ComboBox::OnCommand(int id, int code, Window* control) {
  if (edit_ && control == edit_) {
    if (code == EN_CHANGE) Notify(CBN_EDITCHANGE);
    else if (code == EN_UPDATE) Notify(CBN_EDITUPDATE);
    return true;
  }
  return false;
}

void ComboBox::OnLButtonDown(unsigned, Point) {
  if (GetFocus() != this && (!edit_ || GetFocus() != edit_)) SetFocus();
  ShowDropDown(!dropped_);
}

bool ComboBox::OnMouseWheel(unsigned, int delta, Point) {
  if (dropped_) return list_.SendMessage(WM_MOUSEWHEEL, MakeWParam(0, static_cast<unsigned>(delta) & 0xFFFF), 0) != 0;
  const int i = std::clamp(cur_ + (delta > 0 ? -1 : 1), 0, GetCount() - 1);
  if (GetCount() && i != cur_) SetSelection(i, true);
  return true;
}

void ComboBox::OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) {
  if (dropped_) {
    list_.SendMessage(WM_KEYDOWN, vk, static_cast<LParam>(MakeLong(repeat, flags)));
    return;
  }
  if (vk == VK_F4) {
    ShowDropDown(true);
    return;
  }
  const int n = GetCount();
  if (!n) return;
  int i = cur_;
  if (vk == VK_UP) i = std::max(0, cur_ - 1);
  else if (vk == VK_DOWN) i = std::min(n - 1, cur_ + 1);
  else if (vk == VK_HOME) i = 0;
  else if (vk == VK_END) i = n - 1;
  if (i != cur_) SetSelection(i, true);
}

void ComboBox::OnSetFocus(Window*) {
  focused_ = true;
  if (edit_) edit_->SetFocus();
  Invalidate(false);
  Notify(CBN_SETFOCUS);
}

void ComboBox::OnKillFocus(Window* next) {
  if (next == edit_ && edit_) return;
  focused_ = false;
  if (dropped_ && next != &list_) ListCancelled();
  Invalidate(false);
  Notify(CBN_KILLFOCUS);
}

void ComboBox::DrawItem(DrawItemInfo& info) {
  if (GetParent()) GetParent()->SendMessage(WM_DRAWITEM, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&info));
}

void ComboBox::OnPaint(draw::DC& dc) {
  const Rect rc = GetClientRect();
  const draw::Brush* brush = QueryCtlColor(dc, CTLCOLOR_EDIT);
  if (brush) dc.FillRect(rc, *brush);
  Draw3dFrame(dc, rc, true);
  const Rect button(rc.right - kButtonWidth - 2, rc.top + 2, rc.right - 2, rc.bottom - 2);
  dc.FillSolidRect(button, SysColor(COLOR_BTNFACE));
  Draw3dFrame(dc, button, dropped_);
  const int cx = button.left + button.Width() / 2, cy = button.top + button.Height() / 2;
  const Point tri[3] = {Point(cx - 4, cy - 2), Point(cx + 4, cy - 2), Point(cx, cy + 2)};
  dc.SelectPen(draw::Pen::Solid(IsWindowEnabled() ? SysColor(COLOR_BTNTEXT) : SysColor(COLOR_GRAYTEXT)));
  dc.SelectBrush(draw::Brush::Solid(IsWindowEnabled() ? SysColor(COLOR_BTNTEXT) : SysColor(COLOR_GRAYTEXT)));
  dc.Polygon(tri, 3);
  if (edit_) return;
  const Rect field(rc.left + 2, rc.top + 2, button.left, rc.bottom - 2);
  if (GetStyle() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
    DrawItemInfo info;
    info.ctlType = ODT_COMBOBOX;
    info.ctlId = GetDlgCtrlID();
    info.itemId = cur_;
    info.itemState = ODS_COMBOBOXEDIT | (focused_ ? unsigned{ODS_SELECTED | ODS_FOCUS} : 0u) | (IsWindowEnabled() ? 0u : unsigned{ODS_DISABLED});
    info.item = this;
    info.dc = &dc;
    info.rcItem = field;
    info.itemData = cur_ >= 0 ? GetItemData(cur_) : 0;
    const int saved = dc.SaveDC();
    DrawItem(info);
    dc.RestoreDC(saved);
    return;
  }
  draw::Font old = dc.SelectFont(*GetFont());
  dc.SetBkMode(draw::BkMode::Transparent);
  if (focused_ && !dropped_) {
    dc.FillSolidRect(field.Inflate(-1, -1), SysColor(COLOR_HIGHLIGHT));
    dc.SetTextColor(SysColor(COLOR_HIGHLIGHTTEXT));
  } else if (!IsWindowEnabled()) {
    dc.SetTextColor(SysColor(COLOR_GRAYTEXT));
  }
  Rect tr = field;
  tr.left += 2;
  dc.DrawText(Text(), &tr, draw::kDtSingleLine | draw::kDtVCenter | draw::kDtNoPrefix | draw::kDtEndEllipsis);
  dc.SelectFont(old);
}

}  // namespace ui

// Scroll bars, scrolling messages, the wheel, bringing a cell into view, and size changes.
#include <algorithm>

#include "controls/grid/grid_ctrl.h"
#include "controls/grid/scroll_layout.h"
#include "platform/ui/app.h"

namespace {
bool sizing = false;  // one guard for every grid of the process
}

void CGridCtrl::UpdateScrollBars() {
  topLeftCellCache_.col = -1;
  if (!allowRedraw_ || !IsWindow() || updatingScrollBars_) return;
  const draw::Rect client = GetClientRect();
  if (client.IsEmpty()) return;
  updatingScrollBars_ = true;
  grid::ScrollBarMetrics m;
  // Our window's bars take exactly their own width from the client area, no border.
  m.vBarWidth = ui::GetSystemMetrics(ui::SM_CXVSCROLL);
  m.hBarHeight = ui::GetSystemMetrics(ui::SM_CYHSCROLL);
  m.borderX = 0;
  m.borderY = 0;
  const grid::ScrollBarLayout layout =
      grid::ComputeScrollBars(draw::Size(client.Width(), client.Height()), scrollBarsShown_, m, FixedColumnsWidth(),
                              FixedRowsHeight(), TotalWidth(), TotalHeight());
  if (layout.hideBoth) {
    ShowScrollBars(SB_BOTH, false);
    horizontalScrollMax_ = verticalScrollMax_ = 0;
  } else {
    verticalScrollMax_ = layout.vertMax;
    horizontalScrollMax_ = layout.horzMax;
    ShowScrollBars(SB_VERT, layout.showVert);
    ShowScrollBars(SB_HORZ, layout.showHorz);
    ui::ScrollInfo si;
    si.mask = ui::SIF_RANGE | ui::SIF_PAGE;
    si.min = 0;
    si.max = horizontalScrollMax_;
    si.page = static_cast<unsigned>(layout.horzPage);
    SetScrollInfo(ui::SB_HORZ, si, true);
    si.mask = ui::SIF_RANGE | ui::SIF_PAGE | ui::SIF_DISABLENOSCROLL;
    si.max = verticalScrollMax_;
    si.page = static_cast<unsigned>(layout.vertPage);
    SetScrollInfo(ui::SB_VERT, si, true);
    // A bar that was hidden keeps no position.
    if (!layout.showHorz) SetScrollPos(ui::SB_HORZ, 0, false);
    if (!layout.showVert) SetScrollPos(ui::SB_VERT, 0, false);
  }
  topLeftCellCache_.col = -1;
  updatingScrollBars_ = false;
}

void CGridCtrl::HideScrollBar(int bar) {
  if (bar == SB_HORZ && (scrollBarsShown_ & grid::kHorzBarShown)) ShowScrollBars(SB_HORZ, false);
  if (bar == SB_VERT && (scrollBarsShown_ & grid::kVertBarShown)) ShowScrollBars(SB_VERT, false);
}

void CGridCtrl::ShowScrollBars(int bar, bool show) {
  if (bar == SB_HORZ || bar == SB_BOTH) {
    if (bool(scrollBarsShown_ & grid::kHorzBarShown) != show) {
      scrollBarsShown_ ^= grid::kHorzBarShown;
      if (IsWindow()) ShowScrollBar(ui::SB_HORZ, show);
    }
  }
  if (bar == SB_VERT || bar == SB_BOTH) {
    if (bool(scrollBarsShown_ & grid::kVertBarShown) != show) {
      scrollBarsShown_ ^= grid::kVertBarShown;
      if (IsWindow()) ShowScrollBar(ui::SB_VERT, show);
    }
  }
}

int CGridCtrl::GetScrollPos32(int bar, bool trackPos) const {
  if (!IsWindow()) return 0;
  ui::ScrollInfo si;
  si.mask = trackPos ? ui::SIF_TRACKPOS : ui::SIF_POS;
  if (!GetScrollInfo(bar, si)) return 0;
  return trackPos ? si.trackPos : si.pos;
}

void CGridCtrl::SetScrollPos32(int bar, int pos, bool redraw) {
  topLeftCellCache_.col = -1;
  if (IsWindow()) SetScrollPos(bar, pos, redraw);
}

void CGridCtrl::OnHScroll(int code, int, ui::Window*) { HandleScroll(SB_HORZ, code); }
void CGridCtrl::OnVScroll(int code, int, ui::Window*) { HandleScroll(SB_VERT, code); }

void CGridCtrl::HandleScroll(int bar, int code) {
  EndEditing();
  HideTitleTip();
  const bool horz = bar == SB_HORZ;
  const CCellID tl = FindTopLeftCell();
  const int pos = GetScrollPos32(bar);
  const draw::Rect client = GetClientRect();
  draw::Rect area = client;
  if (horz) area.left = FixedColumnsWidth();
  else area.top = FixedRowsHeight();
  const std::vector<int>& sizes = horz ? columnWidths_ : rowHeights_;
  const int first = horz ? fixedColumnCount_ : fixedRowCount_;
  const int count = horz ? columnCount_ : rowCount_;
  const int maxPos = horz ? horizontalScrollMax_ : verticalScrollMax_;
  const int top = horz ? tl.col : tl.row;
  const int page = (horz ? client.right : client.bottom) - (horz ? FixedColumnsWidth() : FixedRowsHeight());
  switch (code) {
    case ui::SB_LINEUP: {
      if (pos < 1 || top <= first) break;
      int i = std::min(top - 1, count - 1);
      while (i > first && sizes[i] == 0) --i;
      SetScrollPos32(bar, std::max(0, pos - sizes[i]));
      InvalidateRect(&area, true);
      break;
    }
    case ui::SB_LINEDOWN: {
      if (pos >= maxPos || top < 0 || top >= count) break;
      int i = top;
      while (i < count - 1 && sizes[i] == 0) ++i;
      SetScrollPos32(bar, pos + sizes[i]);
      if (GetScrollPos32(bar) != pos) InvalidateRect(&area, true);
      break;
    }
    case ui::SB_PAGEUP:
      if (pos < 1) break;
      SetScrollPos32(bar, std::max(0, pos - page));
      InvalidateRect(&area, true);
      break;
    case ui::SB_PAGEDOWN:
      if (pos >= maxPos) break;
      SetScrollPos32(bar, std::min(maxPos, pos + page));
      InvalidateRect(&area, true);
      break;
    case ui::SB_THUMBPOSITION:
    case ui::SB_THUMBTRACK: {
      SetScrollPos32(bar, GetScrollPos32(bar, true));
      const CCellID now = FindTopLeftCell();
      if (now != tl) InvalidateRect(&area, true);
      break;
    }
    case ui::SB_TOP:
      if (pos < 1) break;
      SetScrollPos32(bar, 0);
      Invalidate(true);
      break;
    case ui::SB_BOTTOM:
      if (pos >= maxPos) break;
      SetScrollPos32(bar, maxPos);
      Invalidate(true);
      break;
    default:
      break;
  }
}

bool CGridCtrl::OnMouseWheel(unsigned, int delta, draw::Point) {
  if (wheelScrollLines_ != 0xFFFFFFFFu) {
    const int n = delta * static_cast<int>(wheelScrollLines_) / 120;
    for (int i = 0; i < std::abs(n); ++i)
      PostMessage(ui::WM_VSCROLL, ui::MakeWParam(n > 0 ? ui::SB_LINEUP : ui::SB_LINEDOWN, 0), 0);
  } else {
    const int n = delta / 120;
    for (int i = 0; i < std::abs(n); ++i)
      PostMessage(ui::WM_VSCROLL, ui::MakeWParam(n > 0 ? ui::SB_PAGEUP : ui::SB_PAGEDOWN, 0), 0);
  }
  return true;
}

void CGridCtrl::EnsureVisible(int row, int col) {
  if (!allowRedraw_ || !IsWindow() || !IsValidCell(row, col)) return;
  ui::Window* focus = GetFocus();
  const CCellSpan vis = GetVisibleRange();
  for (int c = vis.GetMaxCol() + 1; c <= col; ++c)
    if (columnWidths_[c] > 0) SendMessage(ui::WM_HSCROLL, ui::SB_LINERIGHT);
  for (int c = vis.GetMinCol() - 1; c >= col && c >= fixedColumnCount_; --c)
    if (columnWidths_[c] > 0) SendMessage(ui::WM_HSCROLL, ui::SB_LINELEFT);
  for (int r = vis.GetMaxRow() + 1; r <= row; ++r)
    if (rowHeights_[r] > 0) SendMessage(ui::WM_VSCROLL, ui::SB_LINEDOWN);
  for (int r = vis.GetMinRow() - 1; r >= row && r >= fixedRowCount_; --r)
    if (rowHeights_[r] > 0) SendMessage(ui::WM_VSCROLL, ui::SB_LINEUP);

  const draw::Rect client = GetClientRect();
  auto giveBack = [&] {
    if (focus && focus != GetFocus() && focus->IsWindow()) focus->SetFocus();
  };
  draw::Rect r;
  if (!ComputeCellRect(row, col, &r)) return giveBack();
  while (r.right > client.right && r.left > FixedColumnsWidth()) {
    const int before = GetScrollPos32(ui::SB_HORZ);
    SendMessage(ui::WM_HSCROLL, ui::SB_LINERIGHT);
    if (GetScrollPos32(ui::SB_HORZ) == before || !ComputeCellRect(row, col, &r)) break;
  }
  if (!ComputeCellRect(row, col, &r)) return giveBack();
  while (r.bottom > client.bottom && r.top > FixedRowsHeight()) {
    const int before = GetScrollPos32(ui::SB_VERT);
    SendMessage(ui::WM_VSCROLL, ui::SB_LINEDOWN);
    if (GetScrollPos32(ui::SB_VERT) == before || !ComputeCellRect(row, col, &r)) break;
  }
  giveBack();
}

void CGridCtrl::OnSize(int, int, int) {
  if (sizing) return;
  sizing = true;
  if (IsWindow()) {
    EndEditing();
    UpdateScrollBars();
  }
  sizing = false;
}

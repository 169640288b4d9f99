// The pointer and the keyboard: selection gestures, border drags, double clicks, typed
// characters that start editing, and the navigation keys.
#include <algorithm>

#include "controls/grid/grid_ctrl.h"
#include "controls/grid/title_tip.h"
#include "platform/ui/app.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"

namespace {
constexpr uintptr_t kAutoScrollTimer = 513;

bool Held(unsigned vk) { return ui::GetKeyState(vk) < 0; }

// Inclusive rectangle test.
bool InsideInclusive(const draw::Rect& r, draw::Point p) {
  return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}
}  // namespace

bool CGridCtrl::OverColumnBorder(draw::Point p) {
  if (p.y >= FixedRowsHeight()) return false;
  const CCellID cell = HitTestCell(p, true);
  draw::Point origin;
  if (!IsValidCell(cell) || !ComputeCellOrigin(cell.row, cell.col, &origin)) return false;
  if (p.x - origin.x < resizeCaptureMargin_ && cell.col != 0) return true;
  return columnWidths_[cell.col] + origin.x - p.x < resizeCaptureMargin_;
}

bool CGridCtrl::OverRowBorder(draw::Point p) {
  if (p.x >= FixedColumnsWidth()) return false;
  const CCellID cell = HitTestCell(p, true);
  draw::Point origin;
  if (!IsValidCell(cell) || !ComputeCellOrigin(cell.row, cell.col, &origin)) return false;
  if (p.y - origin.y < resizeCaptureMargin_ && cell.row != 0) return true;
  return rowHeights_[cell.row] + origin.y - p.y < resizeCaptureMargin_;
}

void CGridCtrl::DrawTrackingLine(int pos, bool vertical) {
  auto dc = GetDC();
  if (!dc) return;
  const draw::Rect client = GetClientRect();
  if (vertical) dc->InvertRect(draw::Rect(pos, 0, pos + 2, client.bottom));
  else dc->InvertRect(draw::Rect(0, pos, client.right, pos + 2));
}

void CGridCtrl::BeginBorderDrag(draw::Point pt, bool column) {
  const int margin = resizeCaptureMargin_;
  std::vector<int>& sizes = column ? columnWidths_ : rowHeights_;
  const int count = column ? columnCount_ : rowCount_;
  int index = column ? clickDownCell_.col : clickDownCell_.row;
  const int press = column ? pt.x : pt.y;
  draw::Rect area;
  GetVisibleRange(&area);
  const int last = count - 1;
  if (last >= 0 && sizes[last] < margin && std::abs(press - (column ? area.right : area.bottom)) < margin) index = last;
  draw::Point o;
  if (index < 0 || !ComputeCellOrigin(column ? 0 : index, column ? index : 0, &o)) {
    mouseMode_ = 0;
    return;
  }
  int edge = column ? o.x : o.y;
  const bool nearStart = press - edge < margin;
  if (nearStart && index > 0 && !(index == last && sizes[last] < margin)) {
    --index;
    if (!ComputeCellOrigin(column ? 0 : index, column ? index : 0, &o)) {
      mouseMode_ = 0;
      return;
    }
  }
  const bool resizeHidden = column ? resizeHiddenColumns_ : resizeHiddenRows_;
  if (!resizeHidden) {
    while (index >= 0 && sizes[index] == 0) --index;
    if (index < 0 || !ComputeCellOrigin(column ? 0 : index, column ? index : 0, &o)) {
      mouseMode_ = 0;
      return;
    }
  }
  resizeIndex_ = index;
  DrawTrackingLine(press, column);
  trackingLineShown_ = true;
  lastMousePoint_ = pt;
  mouseMode_ = column ? 9 : 7;
}

void CGridCtrl::EndBorderDrag(draw::Point pt, bool column) {
  ui::SetCursor(ui::CursorShape::Arrow);
  if (trackingLineShown_) DrawTrackingLine(column ? lastMousePoint_.x : lastMousePoint_.y, column);
  trackingLineShown_ = false;
  const int index = resizeIndex_;
  resizeIndex_ = -1;
  if (pt == buttonDownPoint_ || pt == draw::Point(0, 0)) return;
  draw::Point o;
  if (index < 0 || !ComputeCellOrigin(column ? 0 : index, column ? index : 0, &o)) return;
  if (column) {
    SetColumnWidth(index, std::max(pt.x - o.x, allowColumnHideByDrag_ ? 0 : 1));
  } else {
    SetRowHeight(index, std::max(pt.y - o.y, allowRowHideByDrag_ ? 0 : 1));
  }
  UpdateScrollBars();
  Invalidate(true);
}

void CGridCtrl::OnLButtonDown(unsigned flags, draw::Point pt) {
  HideTitleTip();
  SetFocus();
  buttonDownPoint_ = pt;
  leftButtonDown_ = true;
  clickDownCell_ = HitTestCell(pt, true);
  if (!IsValidCell(clickDownCell_)) return;
  const bool shift = flags & ui::MK_SHIFT, ctrl = flags & ui::MK_CONTROL;
  if (!shift) selectionStartCell_ = clickDownCell_;
  else if (!IsValidCell(selectionStartCell_)) selectionStartCell_ = focusCell_;
  EndEditing();
  CGridCellBase* cell = GetCell(clickDownCell_.row, clickDownCell_.col);
  if (cell) cell->OnClickDown(PointInCell(clickDownCell_.row, clickDownCell_.col, pt));

  if (clickDownCell_ == focusCell_ && !ctrl) {
    draw::Rect text;
    if (GetCellTextRect(clickDownCell_.row, clickDownCell_.col, &text) && InsideInclusive(text, pt) &&
        IsCellEditable(clickDownCell_.row, clickDownCell_.col)) {
      mouseMode_ = 10;
      return;
    }
  }
  const bool fixed = IsFixedCellAt(clickDownCell_.row, clickDownCell_.col);
  if (!IsCellSelected(clickDownCell_)) {
    if (mouseMode_ != 6 && mouseMode_ != 8) {
      if (fixed) MoveFocus(-1, -1);
      else MoveFocus(clickDownCell_);
    }
  } else if (ctrl) {
    MoveFocus(clickDownCell_);
    if (listMode_) SelectRowSpan(clickDownCell_.row, clickDownCell_.col, true, false);
    else SelectCellSpan(clickDownCell_.row, clickDownCell_.col, true, false);
    return;
  } else if (dragDropEnabled_) {
    mouseMode_ = 11;
  }
  SetCapture();
  if (mouseMode_ == 0) {
    if (allowColumnResize_ && OverColumnBorder(pt)) {
      ui::SetCursor(ui::CursorShape::SizeWE);
      mouseMode_ = 8;
    } else if (allowRowResize_ && OverRowBorder(pt)) {
      ui::SetCursor(ui::CursorShape::SizeNS);
      mouseMode_ = 6;
    }
  }
  if (mouseMode_ == 8) {
    BeginBorderDrag(pt, true);
  } else if (mouseMode_ == 6) {
    BeginBorderDrag(pt, false);
  } else if (mouseMode_ != 11) {
    NotifyParent(clickDownCell_.row, clickDownCell_.col, GVN_SELCHANGING);
    previousSelectedCells_.clear();
    // A Ctrl gesture adds to the selection it starts from.
    if (ctrl) previousSelectedCells_ = selectedCells_;
    if (clickDownCell_.row < fixedRowCount_) {
      HandleColumnHeaderClick(clickDownCell_);
    } else if (clickDownCell_.col < fixedColumnCount_) {
      HandleRowHeaderClick(clickDownCell_);
    } else {
      mouseMode_ = listMode_ ? 3 : 4;
      ExtendSelectionTo(clickDownCell_);
      autoScrollTimer_ = SetTimer(kAutoScrollTimer, autoScrollInterval_);
    }
  }
  lastMousePoint_ = pt;
}

void CGridCtrl::OnMouseMove(unsigned flags, draw::Point pt) {
  const draw::Rect client = GetClientRect();
  if (!client.Contains(pt) && mouseMode_ != 12) return;
  if (!(flags & ui::MK_LBUTTON) || mouseMode_ == 0) {
    if (allowColumnResize_ && OverColumnBorder(pt)) {
      ui::SetCursor(ui::CursorShape::SizeWE);
      mouseMode_ = 8;
    } else if (allowRowResize_ && OverRowBorder(pt)) {
      ui::SetCursor(ui::CursorShape::SizeNS);
      mouseMode_ = 6;
    } else if (mouseMode_ != 0) {
      ui::SetCursor(ui::CursorShape::Arrow);
      mouseMode_ = 0;
    }
    if (mouseMode_ == 0) {
      const CCellID id = HitTestCell(pt, true);
      if (IsValidCell(id)) {
        if (CGridCellBase* cell = GetCell(id.row, id.col)) {
          cell->OnMouseOver();
          if (titleTipsEnabled_ && !rightButtonDown_ && !cell->GetTipText().empty() && !cell->IsEditing())
            ShowTitleTip(id.row, id.col);
        }
      }
    }
    lastMousePoint_ = pt;
    return;
  }
  if (!IsValidCell(clickDownCell_) && mouseMode_ != 12) {
    lastMousePoint_ = pt;
    return;
  }
  switch (mouseMode_) {
    case 2:
    case 3:
    case 4: {
      const CCellID id = HitTestCell(pt, true);
      if (!IsValidCell(id) || id == focusCell_) break;
      const bool body = id.row >= fixedRowCount_ && id.col >= fixedColumnCount_;
      if (mouseMode_ == 4 && !body) break;
      ExtendSelectionTo(id);
      // Over the headers (whole columns or rows) the focus follows into the body: MoveFocus
      // raises a header row or column to the first body one.
      MoveFocus(id);
      break;
    }
    case 7:
    case 9: {
      const bool column = mouseMode_ == 9;
      if (trackingLineShown_) DrawTrackingLine(column ? lastMousePoint_.x : lastMousePoint_.y, column);
      DrawTrackingLine(column ? pt.x : pt.y, column);
      trackingLineShown_ = true;
      break;
    }
    case 10:
    case 11:
      mouseMode_ = 11;
      BeginDrag();
      if (mouseMode_ == 12) DragTo(flags, pt);
      break;
    case 12:
      DragTo(flags, pt);
      break;
    default:
      break;
  }
  lastMousePoint_ = pt;
}

void CGridCtrl::OnLButtonUp(unsigned, draw::Point pt) {
  leftButtonDown_ = false;
  // Releasing the capture may change the mode (a drag is given up), so it is read first.
  const int mode = mouseMode_;
  if (mode == 12) FinishDrag(pt);
  if (GetCapture() == this) ReleaseCapture();
  if (autoScrollTimer_) KillTimer(autoScrollTimer_);
  autoScrollTimer_ = 0;
  switch (mode) {
    case 10: {
      const draw::Point rel = PointInCell(focusCell_.row, focusCell_.col, pt);
      StartEdit(focusCell_.row, focusCell_.col, rel.x, rel.y, 1);
      break;
    }
    case 11: {
      if (CGridCellBase* cell = GetCell(clickDownCell_.row, clickDownCell_.col))
        cell->OnClick(PointInCell(clickDownCell_.row, clickDownCell_.col, pt));
      NotifyParent(clickDownCell_.row, clickDownCell_.col, GVN_CLICK);
      NotifyParent(clickDownCell_.row, clickDownCell_.col, GVN_SELCHANGING);
      ClearSelectionAndFocus();
      NotifyParent(focusCell_.row, focusCell_.col, GVN_SELCHANGED);
      break;
    }
    case 9:
      EndBorderDrag(pt, true);
      break;
    case 7:
      EndBorderDrag(pt, false);
      break;
    case 12:
      break;
    default: {
      NotifyParent(focusCell_.row, focusCell_.col, GVN_SELCHANGED);
      if (CGridCellBase* cell = GetCell(focusCell_.row, focusCell_.col))
        cell->OnClick(PointInCell(focusCell_.row, focusCell_.col, pt));
      NotifyParent(clickDownCell_.row, clickDownCell_.col, GVN_CLICK);
      break;
    }
  }
  mouseMode_ = 0;
  // The selection a Ctrl gesture added to served that gesture only: a range a screen selects
  // later (the results browser's Select button) must not bring it back.
  previousSelectedCells_.clear();
  ui::SetCursor(ui::CursorShape::Arrow);
  // As after any release of the capture, the pointer is looked at again where it rests, so
  // a second press on a border (a double click) finds the border under it.
  PostMessage(ui::WM_MOUSEMOVE, 0, ui::MakePointLParam(pt.x, pt.y));
  if (IsValidCell(clickDownCell_)) {
    ui::Window* target = GetOwner() ? GetOwner() : GetParent();
    if (target && target->IsWindow())
      target->PostMessage(ui::WM_COMMAND, ui::MakeWParam(static_cast<unsigned>(GetDlgCtrlID()), 0),
                          static_cast<ui::LParam>(Handle()));
  }
}

void CGridCtrl::OnRButtonDown(unsigned, draw::Point) { rightButtonDown_ = true; }

void CGridCtrl::OnRButtonUp(unsigned, draw::Point pt) {
  rightButtonDown_ = false;
  const CCellID id = HitTestCell(pt, true);
  EndEditing();
  if (IsValidCell(id)) {
    MoveFocus(-1, -1);
    MoveFocus(std::max(id.row, fixedRowCount_), std::max(id.col, fixedColumnCount_));
    if (CGridCellBase* cell = GetCell(id.row, id.col)) cell->OnRClick(PointInCell(id.row, id.col, pt));
    NotifyParent(id.row, id.col, GVN_RCLICK);
  } else {
    NotifyParent(-1, -1, GVN_RCLICK);
  }
}

void CGridCtrl::OnLButtonDblClk(unsigned, draw::Point pt) {
  const CCellID id = HitTestCell(pt, true);
  if (!IsValidCell(id)) return;
  const int margin = resizeCaptureMargin_;
  if (mouseMode_ == 8 || mouseMode_ == 6) {
    const bool column = mouseMode_ == 8;
    int index = column ? id.col : id.row;
    draw::Point o;
    if (!ComputeCellOrigin(column ? 0 : index, column ? index : 0, &o)) return;
    if ((column ? pt.x - o.x : pt.y - o.y) < margin) --index;
    const std::vector<int>& sizes = column ? columnWidths_ : rowHeights_;
    while (index >= 0 && sizes[index] == 0) --index;
    if (index < 0) return;
    if (column) FitColumnToContent(index, static_cast<unsigned>(autoSizeStyle_), true);
    else FitRowToContent(index, true);
    Invalidate(true);
    return;
  }
  if (mouseMode_ != 0) return;
  const draw::Point rel = PointInCell(id.row, id.col, pt);
  CGridCellBase* cell = GetCell(id.row, id.col);
  draw::Rect rect;
  const bool textHit = cell && ComputeCellRect(id.row, id.col, &rect) && cell->GetTextRect(&rect) &&
                       InsideInclusive(rect, pt);
  const bool body = id.row >= fixedRowCount_ && id.col >= fixedColumnCount_;
  if (body && textHit && (IsValidCell(clickDownCell_) || listMode_))
    StartEdit(id.row, id.col, rel.x, rel.y, ui::VK_LBUTTON);
  if (cell) cell->OnDblClick(rel);
  NotifyParent(id.row, id.col, GVN_DBLCLK);
}

void CGridCtrl::OnTimer(uintptr_t id) {
  if (id != kAutoScrollTimer) return;
  const draw::Point pt = ScreenToClient(ui::GetCursorPos());
  const draw::Rect client = GetClientRect();
  const int fixedW = FixedColumnsWidth(), fixedH = FixedRowsHeight();
  const int cx = std::clamp(pt.x, fixedW + 1, std::max(fixedW + 1, client.right - 1));
  const int cy = std::clamp(pt.y, fixedH + 1, std::max(fixedH + 1, client.bottom - 1));
  if (pt.y < fixedH) {
    SendMessage(ui::WM_KEYDOWN, ui::VK_UP);
    ExtendSelectionTo(HitTestCell(draw::Point(cx, fixedH + 1), true));
  } else if (pt.y > client.bottom) {
    SendMessage(ui::WM_KEYDOWN, ui::VK_DOWN);
    ExtendSelectionTo(HitTestCell(draw::Point(cx, client.bottom - 1), true));
  } else if (pt.x < fixedW) {
    SendMessage(ui::WM_KEYDOWN, ui::VK_LEFT);
    ExtendSelectionTo(HitTestCell(draw::Point(fixedW + 1, cy), true));
  } else if (pt.x > client.right) {
    SendMessage(ui::WM_KEYDOWN, ui::VK_RIGHT);
    ExtendSelectionTo(HitTestCell(draw::Point(client.right - 1, cy), true));
  }
}

void CGridCtrl::OnCaptureChanged(ui::Window* next) {
  if (next == this) return;
  if (autoScrollTimer_) KillTimer(autoScrollTimer_);
  autoScrollTimer_ = 0;
  if (mouseMode_ == 12) {
    CancelDrag();
    mouseMode_ = 0;
  }
}

void CGridCtrl::StartEdit(int row, int col, int x, int y, unsigned firstChar) {
  HideTitleTip();
  if (!IsValidCell(row, col) || !editable_) return;
  CGridCellBase* cell = GetCell(row, col);
  if (cell && cell->IsReadOnly()) return;
  EnsureVisible(row, col);
  draw::Rect rect;
  if (!IsCellOnScreen(row, col) || !ComputeCellRect(row, col, &rect)) return;
  if (NotifyParent(row, col, GVN_BEGINLABELEDIT) < 0) return;
  if (cell) cell->Edit(row, col, rect, draw::Point(x, y), IDC_INPLACE_CONTROL, firstChar);
}

void CGridCtrl::OnChar(unsigned ch, unsigned, unsigned) {
  if (Held(ui::VK_CONTROL) || mouseMode_ != 0 || ch == ui::VK_ESCAPE) return;
  if (wantTabKey_ && ch == ui::VK_TAB) return;
  StartEdit(focusCell_.row, focusCell_.col, -1, -1, ch);
}

void CGridCtrl::SelectAllWithNotify() {
  if (!selectionEnabled_) return;
  NotifyParent(clickDownCell_.row, clickDownCell_.col, GVN_SELCHANGING);
  SelectEverything();
  NotifyParent(focusCell_.row, focusCell_.col, GVN_SELCHANGED);
}

void CGridCtrl::OnKeyDown(unsigned vk, unsigned, unsigned) {
  if (!IsValidCell(focusCell_)) return;
  const bool ctrl = Held(ui::VK_CONTROL), shift = Held(ui::VK_SHIFT);
  if (ctrl) {
    switch (vk) {
      case ui::VK_INSERT:
      case 'C': CopySelection(); return;
      case 'A':
        SelectAllWithNotify();
        return;
      case 'V': PasteFromClipboard(); return;
      case 'X': CutSelection(); return;
      default: break;
    }
  }
  if (shift && vk == ui::VK_INSERT) {
    PasteFromClipboard();
    return;
  }
  switch (vk) {
    case ui::VK_DELETE:
      EraseSelectedCells();
      return;
    case ui::VK_F2:
      StartEdit(focusCell_.row, focusCell_.col, -1, -1, ui::VK_LBUTTON);
      return;
    case ui::VK_DOWN:
    case ui::VK_UP:
    case ui::VK_RIGHT:
    case ui::VK_LEFT:
    case ui::VK_TAB:
    case ui::VK_NEXT:
    case ui::VK_PRIOR:
    case ui::VK_HOME:
    case ui::VK_END:
      MoveByKey(vk, shift, ctrl);
      return;
    default:
      return;
  }
}

void CGridCtrl::MoveByKey(unsigned vk, bool shift, bool ctrl) {
  if (!IsValidCell(focusCell_)) return;
  const int firstRow = fixedRowCount_, firstCol = fixedColumnCount_;
  CCellID next = focusCell_;
  bool hScrolled = false, vScrolled = false, wrapped = false;
  auto firstVisibleCol = [&](int from) {
    for (int c = from; c < columnCount_; ++c)
      if (columnWidths_[c] > 0) return c;
    return -1;
  };
  auto lastVisibleCol = [&]() {
    for (int c = columnCount_ - 1; c >= firstCol; --c)
      if (columnWidths_[c] > 0) return c;
    return -1;
  };
  const bool backTab = vk == ui::VK_TAB && shift;
  switch (vk) {
    case ui::VK_DOWN:
      for (int r = next.row + 1; r < rowCount_; ++r)
        if (rowHeights_[r] > 0) {
          next.row = r;
          break;
        }
      break;
    case ui::VK_UP:
      for (int r = next.row - 1; r >= firstRow; --r)
        if (rowHeights_[r] > 0) {
          next.row = r;
          break;
        }
      break;
    case ui::VK_RIGHT:
    case ui::VK_TAB:
    case ui::VK_LEFT: {
      if (vk == ui::VK_RIGHT || (vk == ui::VK_TAB && !shift)) {
        const int c = firstVisibleCol(next.col + 1);
        if (c >= 0) {
          next.col = c;
        } else if (vk == ui::VK_TAB) {
          for (int r = next.row + 1; r < rowCount_; ++r)
            if (rowHeights_[r] > 0) {
              const int fc = firstVisibleCol(firstCol);
              if (fc >= 0) {
                next = CCellID(r, fc);
                wrapped = true;
              }
              break;
            }
        }
      } else {
        int c = next.col - 1;
        while (c >= firstCol && columnWidths_[c] == 0) --c;
        if (c >= firstCol) {
          next.col = c;
        } else if (backTab && next.row > firstRow) {
          for (int r = next.row - 1; r >= firstRow; --r)
            if (rowHeights_[r] > 0) {
              const int lc = lastVisibleCol();
              if (lc >= 0) {
                next = CCellID(r, lc);
                wrapped = true;
              }
              break;
            }
        }
      }
      break;
    }
    case ui::VK_NEXT: {
      const CCellID before = FindTopLeftCell();
      SendMessage(ui::WM_VSCROLL, ui::SB_PAGEDOWN);
      vScrolled = true;
      const CCellID after = FindTopLeftCell(true);
      if (after.row == before.row) next.row = rowCount_ - 1;
      else next.row = std::min(rowCount_ - 1, next.row + after.row - before.row);
      break;
    }
    case ui::VK_PRIOR: {
      const CCellID before = FindTopLeftCell();
      SendMessage(ui::WM_VSCROLL, ui::SB_PAGEUP);
      vScrolled = true;
      const CCellID after = FindTopLeftCell(true);
      if (after.row == before.row) next.row = firstRow;
      else next.row = std::max(firstRow, next.row - (before.row - after.row));
      break;
    }
    case ui::VK_HOME: {
      if (ctrl) {
        SendMessage(ui::WM_VSCROLL, ui::SB_TOP);
        vScrolled = true;
        next.row = firstRow;
      }
      SendMessage(ui::WM_HSCROLL, ui::SB_LEFT);
      hScrolled = true;
      const int c = firstVisibleCol(firstCol);
      if (c >= 0) next.col = c;
      while (next.row < rowCount_ - 1 && rowHeights_[next.row] == 0) ++next.row;
      break;
    }
    case ui::VK_END: {
      if (ctrl) {
        SendMessage(ui::WM_VSCROLL, ui::SB_BOTTOM);
        vScrolled = true;
        next.row = rowCount_ - 1;
      }
      SendMessage(ui::WM_HSCROLL, ui::SB_RIGHT);
      hScrolled = true;
      const int c = lastVisibleCol();
      if (c >= 0) next.col = c;
      while (next.row > firstRow && rowHeights_[next.row] == 0) --next.row;
      break;
    }
    default:
      return;
  }

  if (next != focusCell_) {
    if (mouseMode_ == 0) {
      previousSelectedCells_.clear();
      mouseMode_ = listMode_ ? 3 : 4;
      if (!shift || vk == ui::VK_TAB) selectionStartCell_ = next;
      NotifyParent(next.row, next.col, GVN_SELCHANGING);
      ExtendSelectionTo(next);
      NotifyParent(next.row, next.col, GVN_SELCHANGED);
      mouseMode_ = 0;
    }
    MoveFocus(next);
    if (!IsCellOnScreen(next.row, next.col)) {
      switch (vk) {
        case ui::VK_DOWN: SendMessage(ui::WM_VSCROLL, ui::SB_LINEDOWN); vScrolled = true; break;
        case ui::VK_UP: SendMessage(ui::WM_VSCROLL, ui::SB_LINEUP); vScrolled = true; break;
        case ui::VK_RIGHT: SendMessage(ui::WM_HSCROLL, ui::SB_LINERIGHT); hScrolled = true; break;
        case ui::VK_LEFT: SendMessage(ui::WM_HSCROLL, ui::SB_LINELEFT); hScrolled = true; break;
        case ui::VK_TAB:
          if (wrapped) {
            SendMessage(ui::WM_VSCROLL, backTab ? ui::SB_LINEUP : ui::SB_LINEDOWN);
            vScrolled = true;
            SetScrollPos32(SB_HORZ, backTab ? horizontalScrollMax_ : 0);
          } else {
            SendMessage(ui::WM_HSCROLL, backTab ? ui::SB_LINELEFT : ui::SB_LINERIGHT);
            hScrolled = true;
          }
          break;
        default: break;
      }
      EnsureVisible(next);
      Invalidate(true);
    }
  }
  EnsureVisible(next);
  if (hScrolled) SendMessage(ui::WM_HSCROLL, ui::SB_ENDSCROLL);
  if (vScrolled) SendMessage(ui::WM_VSCROLL, ui::SB_ENDSCROLL);
}

void CGridCtrl::HideTitleTip() {
  if (titleTip_) titleTip_->Hide();
}

void CGridCtrl::ShowTitleTip(int row, int col) {
  if (!titleTip_) return;
  CGridCellBase* cell = GetCell(row, col);
  draw::Rect cellRect, textRect;
  if (!cell || !ComputeCellRect(row, col, &cellRect)) return;
  textRect = cellRect;
  if (!cell->GetTipTextRect(&textRect)) return;
  const draw::Rect shown(textRect.left, textRect.top, textRect.right + 1, textRect.bottom + 1);
  titleTip_->Show(shown, cell->GetTipText(), 0, &cellRect, cell->GetFont(), titleTipTextColour_, titleTipBackColour_);
}

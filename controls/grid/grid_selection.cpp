// The focus cell and the selection.
#include <algorithm>

#include "controls/grid/grid_ctrl.h"

CCellID CGridCtrl::MoveFocus(int row, int col) {
  const CCellID old = focusCell_;
  if (CCellID(row, col) == old) return old;
  if (row != -1 && row < fixedRowCount_) row = fixedRowCount_;
  if (col != -1 && col < fixedColumnCount_) col = fixedColumnCount_;
  // A focus outside the grid is no focus.
  if (!IsValidCell(row, col)) row = col = -1;
  focusCell_ = CCellID(row, col);
  auto redrawHeaders = [&](const CCellID& c, const CCellID& other) {
    if (!highlightFocusHeaders_) return;
    if (c.col != other.col)
      for (int r = 0; r < fixedRowCount_; ++r) RedrawCell(r, c.col);
    if (c.row != other.row)
      for (int k = 0; k < fixedColumnCount_; ++k) RedrawCell(c.row, k);
  };
  if (IsValidCell(old)) {
    if (CGridCellBase* cell = GetCell(old.row, old.col))
      if (!virtualMode_) cell->SetState(cell->GetState() & ~GVIS_FOCUSED);
    RedrawCell(old.row, old.col);
    redrawHeaders(old, focusCell_);
  }
  if (IsValidCell(focusCell_)) {
    if (CGridCellBase* cell = GetCell(focusCell_.row, focusCell_.col))
      if (!virtualMode_) cell->SetState(cell->GetState() | GVIS_FOCUSED);
    RedrawCell(focusCell_.row, focusCell_.col);
    redrawHeaders(focusCell_, old);
  }
  return old;
}

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint,
                                 bool selectCells) {
  if (!selectionEnabled_) return;
  if (minRow >= 0 && minRow < fixedRowCount_) minRow = fixedRowCount_;
  if (maxRow >= 0 && maxRow < fixedRowCount_) maxRow = fixedRowCount_;
  if (minCol >= 0 && minCol < fixedColumnCount_) minCol = fixedColumnCount_;
  if (maxCol >= 0 && maxCol < fixedColumnCount_) maxCol = fixedColumnCount_;
  const CCellSpan span(minRow, minCol, maxRow, maxCol);
  if (selectCells) {
    for (auto it = selectedCells_.begin(); it != selectedCells_.end();) {
      const CCellID c = it->second;
      if (IsValidCell(c)) {
        if (CGridCellBase* cell = GetCell(c.row, c.col))
          if (!virtualMode_) cell->SetState(cell->GetState() & ~GVIS_SELECTED);
        if (!span.Contains(c)) RedrawCell(c.row, c.col);
      }
      it = selectedCells_.erase(it);
    }
    pickedColumns_.clear();
    if (!(listMode_ && singleRowSelection_)) {
      if (minRow < 0) return;
      if (minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0) {
        for (const auto& [key, c] : previousSelectedCells_) {
          if (!IsValidCell(c)) continue;
          SetCellState(c.row, c.col, GetCellState(c.row, c.col) | GVIS_SELECTED);
          if (virtualMode_) selectedCells_[key] = c;
          RedrawCell(c.row, c.col);
        }
      }
    }
  }
  if (span.IsValid() && IsValidRange(span)) {
    for (int r = minRow; r <= maxRow; ++r)
      for (int c = minCol; c <= maxCol; ++c) {
        const bool selected = IsCellSelected(r, c);
        if (selected == selectCells) continue;
        const unsigned state = GetCellState(r, c);
        SetCellState(r, c, selectCells ? (state | GVIS_SELECTED) : (state & ~GVIS_SELECTED));
        if (virtualMode_) {
          if (selectCells)
            selectedCells_[SelectionKey(r, c)] = CCellID(r, c);
          else
            selectedCells_.erase(SelectionKey(r, c));
        }
        RedrawCell(r, c);
      }
  }
}

void CGridCtrl::ClearSelectionAndFocus() {
  previousSelectedCells_.clear();
  SetSelectedRange(-1, -1, -1, -1, false, true);
  MoveFocus(-1, -1);
}

void CGridCtrl::SelectEverything() {
  if (!selectionEnabled_) return;
  SetSelectedRange(fixedRowCount_, fixedColumnCount_, rowCount_ - 1, columnCount_ - 1, false, true);
}

CCellSpan CGridCtrl::GetSelectedCellRange() const {
  CCellSpan span(rowCount_, columnCount_, -1, -1);
  for (const auto& [key, c] : selectedCells_) {
    span.SetMinRow(std::min(span.GetMinRow(), c.row));
    span.SetMinCol(std::min(span.GetMinCol(), c.col));
    span.SetMaxRow(std::max(span.GetMaxRow(), c.row));
    span.SetMaxCol(std::max(span.GetMaxCol(), c.col));
  }
  return span;
}

bool CGridCtrl::IsCellSelected(int row, int col) const {
  if (!selectionEnabled_) return false;
  if (virtualMode_) return selectedCells_.count(SelectionKey(row, col)) != 0;
  const CGridCellBase* cell = GetCell(row, col);
  return cell && cell->IsSelected();
}

std::vector<int> CGridCtrl::GetSortedPickedColumns() const {
  std::vector<int> sorted = pickedColumns_;
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}

CCellID CGridCtrl::FindNextCell(CCellID start, unsigned flags) const {
  unsigned want = flags & 0x1F;
  if (flags & 0x20) want |= GVIS_MODIFIED;
  auto matches = [&](int r, int c) { return (GetCellState(r, c) & want) != 0; };
  const int firstRow = fixedRowCount_, firstCol = fixedColumnCount_;
  if ((flags & 0xE00) == 0xE00) {
    int r = start.row < 1 ? firstRow : start.row;
    int c = start.col < 0 ? firstCol : start.col + 1;
    for (; r < rowCount_; ++r, c = firstCol)
      for (; c < columnCount_; ++c)
        if (matches(r, c)) return CCellID(r, c);
  } else if ((flags & 0xA00) == 0xA00) {
    for (int r = start.row < 1 ? firstRow : start.row; r < rowCount_; ++r)
      for (int c = start.col + 1; c < columnCount_; ++c)
        if (c >= 0 && matches(r, c)) return CCellID(r, c);
  } else if (flags & 0x100) {
    for (int r = start.row - 1; r >= firstRow; --r)
      if (matches(r, start.col)) return CCellID(r, start.col);
  } else if (flags & 0x200) {
    for (int r = start.row + 1; r < rowCount_; ++r)
      if (matches(r, start.col)) return CCellID(r, start.col);
  } else if (flags & 0x400) {
    for (int c = start.col - 1; c >= firstCol; --c)
      if (matches(start.row, c)) return CCellID(start.row, c);
  } else if (flags & 0x800) {
    for (int c = start.col + 1; c < columnCount_; ++c)
      if (matches(start.row, c)) return CCellID(start.row, c);
  }
  return CCellID();
}

void CGridCtrl::SelectColumnSpan(int row, int col, bool forceRepaint, bool selectCells) {
  if (!selectionEnabled_ || !IsValidCell(row, col) || col < fixedColumnCount_) return;
  const int start = selectionStartCell_.col >= 0 ? selectionStartCell_.col : col;
  const int lo = singleColumnSelection_ ? col : std::min(start, col);
  const int hi = singleColumnSelection_ ? col : std::max(start, col);
  SetSelectedRange(fixedRowCount_, lo, rowCount_ - 1, hi, forceRepaint, selectCells);
}

void CGridCtrl::SelectRowSpan(int row, int col, bool forceRepaint, bool selectCells) {
  if (!selectionEnabled_ || !IsValidCell(row, col) || row < fixedRowCount_) return;
  const int start = selectionStartCell_.row >= 0 ? selectionStartCell_.row : row;
  const bool single = listMode_ && singleRowSelection_;
  const int lo = single ? row : std::min(start, row);
  const int hi = single ? row : std::max(start, row);
  SetSelectedRange(lo, fixedColumnCount_, hi, columnCount_ - 1, forceRepaint, selectCells);
}

void CGridCtrl::SelectCellSpan(int row, int col, bool forceRepaint, bool selectCells) {
  if (!selectionEnabled_ || !IsValidCell(row, col) || row < fixedRowCount_ || col < fixedColumnCount_) return;
  const CCellID start = IsValidCell(selectionStartCell_) ? selectionStartCell_ : CCellID(row, col);
  SetSelectedRange(std::min(start.row, row), std::min(start.col, col), std::max(start.row, row),
                   std::max(start.col, col), forceRepaint, selectCells);
}

void CGridCtrl::ExtendSelectionTo(const CCellID& cell) {
  if (!selectionEnabled_) return;
  switch (mouseMode_) {
    case 1: SelectEverything(); break;
    case 2: SelectColumnSpan(cell.row, cell.col, false, true); break;
    case 3: SelectRowSpan(cell.row, cell.col, false, true); break;
    case 4: SelectCellSpan(cell.row, cell.col, false, true); break;
    default: break;
  }
}

void CGridCtrl::HandleColumnHeaderClick(const CCellID& cell) {
  if (!IsValidCell(cell)) return;
  if (headerSort_) {
    const bool ascending = cell.col == sortColumn_ ? !sortAscending_ : true;
    SortRowsByColumn(cell.col, ascending, 0);
    if (WindowExists()) InvalidateAll();
  }
  if (columnHeaderSelection_) {
    mouseMode_ = cell.col < fixedColumnCount_ ? 1 : 2;
    ExtendSelectionTo(cell);
  }
}

void CGridCtrl::HandleRowHeaderClick(const CCellID& cell) {
  if (!IsValidCell(cell) || !rowHeaderSelection_) return;
  mouseMode_ = cell.row < fixedRowCount_ ? 1 : 3;
  ExtendSelectionTo(cell);
}

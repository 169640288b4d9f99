// Row heights and column widths: sums, stretching to the window, fitting to the contents.
#include <algorithm>

#include "controls/grid/grid_ctrl.h"
#include "controls/grid/stretch.h"

bool CGridCtrl::SetRowHeight(int row, int height) {
  if (row < 0 || row >= rowCount_ || height < 0) return false;
  rowHeights_[row] = height;
  UpdateScrollBars();
  return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= columnCount_ || width < 0) return false;
  columnWidths_[col] = width;
  UpdateScrollBars();
  return true;
}

int CGridCtrl::RowHeightAt(int row) const {
  return row >= 0 && row < static_cast<int>(rowHeights_.size()) ? rowHeights_[row] : -1;
}

int CGridCtrl::ColumnWidthAt(int col) const {
  return col >= 0 && col < static_cast<int>(columnWidths_.size()) ? columnWidths_[col] : -1;
}

namespace {
int SumOf(const std::vector<int>& v, int first, int last) {
  int s = 0;
  for (int i = std::max(first, 0); i < last && i < static_cast<int>(v.size()); ++i) s += v[i];
  return s;
}
}  // namespace

int CGridCtrl::FixedRowsHeight() const { return SumOf(rowHeights_, 0, fixedRowCount_); }
int CGridCtrl::FixedColumnsWidth() const { return SumOf(columnWidths_, 0, fixedColumnCount_); }
int CGridCtrl::TotalHeight() const { return SumOf(rowHeights_, 0, rowCount_); }
int CGridCtrl::TotalWidth() const { return SumOf(columnWidths_, 0, columnCount_); }

CCellID CGridCtrl::FindTopLeftCell(bool recompute) {
  if (!recompute && topLeftCellCache_.row >= 0 && topLeftCellCache_.col >= 0) return topLeftCellCache_;
  auto walk = [](const std::vector<int>& sizes, int first, int count, int position) {
    int i = first, sum = 0;
    while (position > 0) {
      if (i >= count - 1) break;
      sum += sizes[i];
      ++i;
      if (sum >= position) break;
    }
    return i;
  };
  topLeftCellCache_.col = walk(columnWidths_, fixedColumnCount_, columnCount_, GetScrollPosition(SB_HORZ));
  topLeftCellCache_.row = walk(rowHeights_, fixedRowCount_, rowCount_, GetScrollPosition(SB_VERT));
  return topLeftCellCache_;
}

void CGridCtrl::StretchColumnsToFit(bool includeFixed) {
  const int first = includeFixed ? 0 : fixedColumnCount_;
  if (columnCount_ - first <= 0) return;
  HideScrollBar(SB_HORZ);
  grid::StretchSizes(columnWidths_, first, ClientSize().cx);
  if (WindowExists() && allowRedraw_) InvalidateAll();
  UpdateScrollBars();
}

void CGridCtrl::StretchRowsToFit(bool includeFixed) {
  const int first = includeFixed ? 0 : fixedRowCount_;
  if (rowCount_ - first <= 0) return;
  HideScrollBar(SB_VERT);
  grid::StretchSizes(rowHeights_, first, ClientSize().cy);
  if (WindowExists() && allowRedraw_) InvalidateAll();
  UpdateScrollBars();
}

void CGridCtrl::StretchToFit(bool includeFixed) {
  StretchColumnsToFit(includeFixed);
  StretchRowsToFit(includeFixed);
  StretchColumnsToFit(includeFixed);
  if (WindowExists() && allowRedraw_) InvalidateAll();
}

void CGridCtrl::StretchLastColumn() {
  int last = columnCount_ - 1;
  while (last > 0 && columnWidths_[last] == 0) --last;
  if (last <= 0) return;
  HideScrollBar(SB_HORZ);
  const int extra = ClientSize().cx - TotalWidth();
  if (extra > 0) columnWidths_[last] += extra;
  if (WindowExists() && allowRedraw_) InvalidateAll();
  UpdateScrollBars();
}

// Rows that fitting measures, by style bits: 1 the fixed rows, 2 the others.
bool CGridCtrl::MeasureRowsOf(int, unsigned style, int* first, int* last) const {
  if (style == 0) style = static_cast<unsigned>(autoSizeStyle_);
  *first = (style & 1) ? 0 : fixedRowCount_;
  *last = (style & 2) ? rowCount_ - 1 : fixedRowCount_ - 1;
  return *first <= *last;
}

bool CGridCtrl::FitColumnToContent(int col, unsigned style, bool updateScrollBars) {
  if (!measurer_) return false;
  if (col < 0 || col >= columnCount_ || columnWidths_[col] == 0) return false;
  int first, last;
  int width = 0;
  if (MeasureRowsOf(col, style, &first, &last)) {
    CCellSpan span(first, col, last, col);
    if (virtualMode_) NotifyCacheRange(&span);
    for (int r = first; r <= last; ++r)
      if (const CGridCellBase* cell = GetCell(r, col)) width = std::max(width, cell->GetCellExtent(measurer_).cx);
    if (virtualMode_) {
      CCellSpan none;
      NotifyCacheRange(&none);
    }
  }
  columnWidths_[col] = width;
  if (updateScrollBars) UpdateScrollBars();
  return true;
}

bool CGridCtrl::FitRowToContent(int row, bool updateScrollBars) {
  if (!measurer_) return false;
  if (row < 0 || row >= rowCount_ || rowHeights_[row] == 0) return false;
  int height = 0;
  CCellSpan span(row, 0, row, columnCount_ - 1);
  if (virtualMode_) NotifyCacheRange(&span);
  for (int c = 0; c < columnCount_; ++c)
    if (const CGridCellBase* cell = GetCell(row, c)) height = std::max(height, cell->GetCellExtent(measurer_).cy);
  if (virtualMode_) {
    CCellSpan none;
    NotifyCacheRange(&none);
  }
  rowHeights_[row] = height;
  if (updateScrollBars) UpdateScrollBars();
  return true;
}

void CGridCtrl::FitColumnsToContent(unsigned style) {
  for (int c = 0; c < columnCount_; ++c)
    if (columnWidths_[c] > 0) FitColumnToContent(c, style, false);
  UpdateScrollBars();
}

void CGridCtrl::FitRowsToContent() {
  for (int r = 0; r < rowCount_; ++r)
    if (rowHeights_[r] > 0) FitRowToContent(r, false);
  UpdateScrollBars();
}

void CGridCtrl::FitAllToContent(unsigned style) {
  if (!measurer_) return;
  int first, last;
  const bool any = MeasureRowsOf(0, style, &first, &last);
  if (any)
    for (int r = first; r <= last; ++r)
      if (rowHeights_[r] > 0) rowHeights_[r] = 1;
  for (int c = 0; c < columnCount_; ++c) {
    if (columnWidths_[c] == 0) continue;
    columnWidths_[c] = 0;
    if (!any) continue;
    for (int r = first; r <= last; ++r) {
      if (rowHeights_[r] == 0) continue;
      const CGridCellBase* cell = GetCell(r, c);
      if (!cell) continue;
      const draw::Size e = cell->GetCellExtent(measurer_);
      columnWidths_[c] = std::max(columnWidths_[c], e.cx);
      rowHeights_[r] = std::max(rowHeights_[r], e.cy);
    }
  }
  UpdateScrollBars();
  if (WindowExists() && allowRedraw_) InvalidateAll();
}

void CGridCtrl::EnableRedraw(bool allow, bool updateScrollBars) {
  if (allow && !allowRedraw_) {
    allowRedraw_ = true;
    InvalidateAll();
  }
  allowRedraw_ = allow;
  if (updateScrollBars) UpdateScrollBars();
}

void CGridCtrl::Refresh() {
  if (WindowExists() && allowRedraw_) InvalidateAll();
}

bool CGridCtrl::FillWindowWithCells() {
  if (!WindowExists()) return false;
  const draw::Size client = ClientSize();
  const int w = std::max(1, defaultCell_.GetWidth()), h = std::max(1, defaultCell_.GetHeight());
  SetColumnCount(client.cx / w + 1);
  SetRowCount(client.cy / h + 1);
  SetFixedRowCount(1);
  SetFixedColumnCount(1);
  StretchColumnsToFit(true);
  StretchRowsToFit(true);
  StretchColumnsToFit(true);
  if (allowRedraw_) InvalidateAll();
  return true;
}

// Where cells lie in the client area: visible ranges, cell origins and rectangles, hit tests.
#include <algorithm>

#include "controls/grid/grid_ctrl.h"

CCellSpan CGridCtrl::GetVisibleRange(draw::Rect* area, bool recompute) {
  const draw::Size client = ClientSize();
  const CCellID tl = FindTopLeftCell(recompute);
  int y = FixedRowsHeight(), i = tl.row;
  for (; i < rowCount_; ++i) {
    y += rowHeights_[i];
    if (y >= client.cy) break;
  }
  const int maxRow = std::min(i, rowCount_ - 1);
  int x = FixedColumnsWidth(), j = tl.col;
  for (; j < columnCount_; ++j) {
    x += columnWidths_[j];
    if (x >= client.cx) break;
  }
  const int maxCol = std::min(j, columnCount_ - 1);
  if (area) *area = draw::Rect(0, 0, std::min(x, client.cx), std::min(y, client.cy));
  return CCellSpan(tl.row, tl.col, maxRow, maxCol);
}

CCellSpan CGridCtrl::GetFullyVisibleRange(bool recompute) {
  const draw::Size client = ClientSize();
  CCellSpan span = GetVisibleRange(nullptr, recompute);
  if (!span.IsValid()) return span;
  int y = FixedRowsHeight();
  for (int r = span.GetMinRow(); r <= span.GetMaxRow(); ++r) y += rowHeights_[r];
  if (y > client.cy && span.GetMaxRow() >= 1) span.SetMaxRow(span.GetMaxRow() - 1);
  int x = FixedColumnsWidth();
  for (int c = span.GetMinCol(); c <= span.GetMaxCol(); ++c) x += columnWidths_[c];
  if (x > client.cx && span.GetMaxCol() >= 1) span.SetMaxCol(span.GetMaxCol() - 1);
  return span;
}

bool CGridCtrl::ComputeCellOrigin(int row, int col, draw::Point* p) {
  if (!IsValidCell(row, col)) return false;
  const bool fixedRow = row < fixedRowCount_, fixedCol = col < fixedColumnCount_;
  CCellID tl(fixedRowCount_, fixedColumnCount_);
  if (!(fixedRow && fixedCol)) {
    tl = FindTopLeftCell();
    if ((!fixedRow && row < tl.row) || (!fixedCol && col < tl.col)) return false;
  }
  int x = 0, y = 0;
  if (fixedCol) {
    for (int c = 0; c < col; ++c) x += columnWidths_[c];
  } else {
    x = FixedColumnsWidth();
    for (int c = tl.col; c < col; ++c) x += columnWidths_[c];
  }
  if (fixedRow) {
    for (int r = 0; r < row; ++r) y += rowHeights_[r];
  } else {
    y = FixedRowsHeight();
    for (int r = tl.row; r < row; ++r) y += rowHeights_[r];
  }
  if (p) *p = draw::Point(x, y);
  return true;
}

bool CGridCtrl::ComputeCellRect(int row, int col, draw::Rect* r) {
  draw::Point p;
  if (!ComputeCellOrigin(row, col, &p)) return false;
  if (r) *r = draw::Rect(p.x, p.y, p.x + columnWidths_[col] - 1, p.y + rowHeights_[row] - 1);
  return true;
}

bool CGridCtrl::ComputeSpanRect(const CCellSpan& span, draw::Rect* r) {
  draw::Point a, b;
  if (!ComputeCellOrigin(span.GetMinRow(), span.GetMinCol(), &a)) return false;
  if (!ComputeCellOrigin(span.GetMaxRow(), span.GetMaxCol(), &b)) return false;
  if (r)
    *r = draw::Rect(a.x, a.y, b.x + columnWidths_[span.GetMaxCol()] - 1, b.y + rowHeights_[span.GetMaxRow()] - 1);
  return true;
}

CCellID CGridCtrl::HitTestCell(draw::Point p, bool allowFixed) {
  const CCellID tl = FindTopLeftCell();
  if (!allowFixed && !IsValidCell(tl)) return CCellID();
  auto find = [&](int pos, const std::vector<int>& sizes, int fixedCount, int fixedSize, int firstBody) {
    if (pos < 0) return -1;
    const int count = static_cast<int>(sizes.size());
    if (pos < fixedSize) {
      if (!allowFixed) return -1;
      int edge = 0;
      for (int i = 0; i < fixedCount; ++i) {
        edge += sizes[i];
        if (edge > pos) return i;
      }
      return -1;
    }
    int edge = fixedSize;
    for (int i = firstBody; i < count; ++i) {
      edge += sizes[i];
      if (edge > pos) return i;
    }
    return -1;
  };
  const int col = find(p.x, columnWidths_, fixedColumnCount_, FixedColumnsWidth(), tl.col);
  const int row = find(p.y, rowHeights_, fixedRowCount_, FixedRowsHeight(), tl.row);
  return CCellID(row, col);
}

draw::Point CGridCtrl::PointInCell(int row, int col, draw::Point p) {
  draw::Point origin;
  if (!ComputeCellOrigin(row, col, &origin)) return draw::Point(0, 0);
  return draw::Point(p.x - origin.x, p.y - origin.y);
}

bool CGridCtrl::IsCellOnScreen(int row, int col) {
  if (!WindowExists()) return false;
  draw::Point origin;
  if (!ComputeCellOrigin(row, col, &origin)) return false;
  const draw::Size client = ClientSize();
  return origin.x < client.cx && origin.y < client.cy;
}

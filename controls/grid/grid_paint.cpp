// Painting: the background areas, the cells in four passes (corner, fixed columns, fixed
// rows, body) clipped to the area being painted, the grid lines, and single cells at once.
#include <algorithm>

#include "controls/grid/grid_ctrl.h"
#include "controls/grid/mem_dc.h"

void CGridCtrl::OnPaint(draw::DC& dc) {
  if (doubleBuffer_) {
    CMemDC mem(&dc);
    DrawGrid(mem.DC());
  } else {
    DrawGrid(dc);
  }
}

void CGridCtrl::EraseBackground(draw::DC& dc) {
  const draw::Rect clip = dc.GetClipBox();
  if (clip.IsEmpty()) return;
  draw::Rect visible;
  GetVisibleRange(&visible);
  const int W = FixedColumnsWidth(), H = FixedRowsHeight();
  const draw::Color corner = defaultCornerCell_.GetBackClr(), fixedRow = defaultFixedRowCell_.GetBackClr(),
                    fixedCol = defaultFixedColumnCell_.GetBackClr(), body = defaultCell_.GetBackClr();
  if (clip.left < W && clip.top < H) dc.FillSolidRect(draw::Rect(clip.left, clip.top, W, H), corner);
  if (clip.left < W && clip.top < visible.bottom)
    dc.FillSolidRect(draw::Rect(clip.left, clip.top, W, visible.bottom), fixedCol);
  if (clip.top < H && clip.right > W && clip.left < visible.right)
    dc.FillSolidRect(draw::Rect(W - 1, clip.top, visible.right, H), fixedRow);
  const draw::Rect both = visible.Intersect(clip);
  if (!both.IsEmpty())
    dc.FillSolidRect(draw::Rect(std::max(W, both.left), std::max(H, both.top), both.right, both.bottom), body);
  if (visible.right < clip.right)
    dc.FillSolidRect(draw::Rect(visible.right, clip.top, clip.right, clip.bottom), gridBackColour_);
  if (visible.bottom < clip.bottom && clip.left < visible.right)
    dc.FillSolidRect(draw::Rect(clip.left, visible.bottom, visible.right, clip.bottom), gridBackColour_);
}

void CGridCtrl::DrawGrid(draw::DC& dc) {
  if (!allowRedraw_) return;
  const draw::Rect clip = dc.GetClipBox();
  if (clip.IsEmpty()) return;
  EraseBackground(dc);
  const int fixedHeight = FixedRowsHeight(), fixedWidth = FixedColumnsWidth();
  const CCellID tl = FindTopLeftCell();
  draw::Rect visibleArea;
  const CCellSpan visible = GetVisibleRange(&visibleArea);
  if (virtualMode_) NotifyCacheRange(&visible);

  auto drawCell = [&](int row, int col, const draw::Rect& r) {
    if (CGridCellBase* cell = GetCell(row, col)) {
      cell->SetCoords(row, col);
      cell->Draw(dc, row, col, r, false);
    }
  };

  // Corner: no clip test.
  int bottom = -1;
  for (int row = 0; row < fixedRowCount_; ++row) {
    if (rowHeights_[row] <= 0) continue;
    const int top = bottom + 1;
    bottom = top + rowHeights_[row] - 1;
    int right = -1;
    for (int col = 0; col < fixedColumnCount_; ++col) {
      if (columnWidths_[col] <= 0) continue;
      const int left = right + 1;
      right = left + columnWidths_[col] - 1;
      drawCell(row, col, draw::Rect(left, top, right, bottom));
    }
  }

  // One pass over rows [r0, r1] from y0 against columns [c0, c1] from x0, clipped.
  auto pass = [&](int r0, int r1, int y0, int c0, int c1, int x0) {
    int bottomEdge = y0;
    for (int row = r0; row <= r1 && row < rowCount_; ++row) {
      if (row < 0 || rowHeights_[row] <= 0) continue;
      const int top = bottomEdge + 1;
      bottomEdge = top + rowHeights_[row] - 1;
      if (top > clip.bottom) break;
      if (bottomEdge < clip.top) continue;
      int rightEdge = x0;
      for (int col = c0; col <= c1 && col < columnCount_; ++col) {
        if (col < 0 || columnWidths_[col] <= 0) continue;
        const int left = rightEdge + 1;
        rightEdge = left + columnWidths_[col] - 1;
        if (left > clip.right) break;
        if (rightEdge < clip.left) continue;
        drawCell(row, col, draw::Rect(left, top, rightEdge, bottomEdge));
      }
    }
  };
  if (visible.GetMinRow() >= 0 && fixedColumnCount_ > 0)
    pass(tl.row, visible.GetMaxRow(), fixedHeight - 1, 0, fixedColumnCount_ - 1, -1);
  if (visible.GetMinCol() >= 0 && fixedRowCount_ > 0)
    pass(0, fixedRowCount_ - 1, -1, tl.col, visible.GetMaxCol(), fixedWidth - 1);
  if (visible.GetMinRow() >= 0 && visible.GetMinCol() >= 0)
    pass(tl.row, visible.GetMaxRow(), fixedHeight - 1, tl.col, visible.GetMaxCol(), fixedWidth - 1);

  // Grid lines between body cells.
  const draw::Pen old = dc.SelectPen(draw::Pen::Solid(gridLineColour_));
  if ((gridLines_ == 2 || gridLines_ == 3) && visible.GetMinCol() >= 0) {
    int x = fixedWidth;
    for (int col = tl.col; col <= visible.GetMaxCol() && col < columnCount_; ++col) {
      if (columnWidths_[col] <= 0) continue;
      x += columnWidths_[col];
      dc.MoveTo(x - 1, fixedHeight);
      dc.LineTo(x - 1, visibleArea.bottom);
    }
  }
  if ((gridLines_ == 1 || gridLines_ == 3) && visible.GetMinRow() >= 0) {
    int y = fixedHeight;
    for (int row = tl.row; row <= visible.GetMaxRow() && row < rowCount_; ++row) {
      if (rowHeights_[row] <= 0) continue;
      y += rowHeights_[row];
      dc.MoveTo(fixedWidth, y - 1);
      dc.LineTo(visibleArea.right, y - 1);
    }
  }
  dc.SelectPen(old);
  if (virtualMode_) {
    const CCellSpan none;
    NotifyCacheRange(&none);
  }
}

bool CGridCtrl::PaintCell(int row, int col, draw::DC* dc) {
  draw::Rect rect;
  if (!allowRedraw_ || !IsCellOnScreen(row, col) || !ComputeCellRect(row, col, &rect)) return false;
  std::unique_ptr<draw::DC> own;
  if (!dc) {
    own = GetDC();
    if (!own) {
      InvalidateRect(&rect, true);
      return true;
    }
    dc = own.get();
  }
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return true;
  bool result = true;
  if (row < fixedRowCount_ || col < fixedColumnCount_) {
    result = cell->Draw(*dc, row, col, rect, true);
  } else {
    result = cell->Draw(*dc, row, col, rect, true);
    const draw::Pen old = dc->SelectPen(draw::Pen::Solid(gridLineColour_));
    if (gridLines_ == 1 || gridLines_ == 3) {
      dc->MoveTo(rect.left, rect.bottom);
      dc->LineTo(rect.right + 1, rect.bottom);
    }
    if (gridLines_ == 2 || gridLines_ == 3) {
      dc->MoveTo(rect.right, rect.top);
      dc->LineTo(rect.right, rect.bottom + 1);
    }
    dc->SelectPen(old);
  }
  return result;
}

bool CGridCtrl::PaintRow(int row) {
  auto dc = GetDC();
  bool all = true;
  for (int col = 0; col < columnCount_; ++col)
    if (!PaintCell(row, col, dc.get())) all = false;
  return all;
}

bool CGridCtrl::PaintColumn(int col) {
  auto dc = GetDC();
  bool all = true;
  for (int row = 0; row < rowCount_; ++row)
    if (!PaintCell(row, col, dc.get())) all = false;
  return all;
}

void CGridCtrl::SetGridLineMode(int mode) {
  gridLines_ = mode;
  if (IsWindow() && allowRedraw_) Invalidate(true);
}

bool CGridCtrl::GetCellTextRect(int row, int col, draw::Rect* r) {
  CGridCellBase* cell = GetCell(row, col);
  if (!cell || !r || !IsCellOnScreen(row, col) || !ComputeCellRect(row, col, r)) return false;
  return cell->GetTextRect(r);
}

bool CGridCtrl::InvalidateCell(int row, int col) {
  draw::Rect r;
  if (!WindowExists() || !allowRedraw_ || !IsValidCell(row, col) || !IsCellOnScreen(row, col) ||
      !ComputeCellRect(row, col, &r))
    return false;
  if (!IsWindow()) return true;
  const draw::Rect grown(r.left, r.top, r.right + 2, r.bottom + 2);
  InvalidateRect(&grown, true);
  return true;
}

bool CGridCtrl::InvalidateSpan(const CCellSpan& span) {
  if (!WindowExists() || !allowRedraw_) return false;
  const CCellSpan visible = GetVisibleRange();
  const CCellSpan part = span.Intersect(visible);
  draw::Rect r;
  if (!ComputeSpanRect(part, &r)) return false;
  if (!IsWindow()) return true;
  const draw::Rect grown(r.left, r.top, r.right + 2, r.bottom + 2);
  InvalidateRect(&grown, true);
  return true;
}

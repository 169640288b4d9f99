#include "app/screens/log_table.h"

#include <algorithm>

bool CLogTable::Create(const ui::Rect& rect, ui::Window* parent, int id) {
  return ui::Window::Create("Static", "", ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_BORDER | ui::WS_VSCROLL, rect, parent,
                            id);
}

void CLogTable::SetColumns(const std::vector<std::string>& headers, const std::vector<int>& widths) {
  headers_ = headers;
  widths_ = widths;
  Invalidate(true);
}

void CLogTable::SetRowHeights(int header, int row) {
  headerHeight_ = header;
  rowHeight_ = std::max(1, row);
  UpdateScroll();
}

void CLogTable::DeleteAllRows() {
  rows_.clear();
  top_ = 0;
  selected_ = -1;
  UpdateScroll();
  Invalidate(true);
}

void CLogTable::AddRow(const std::vector<std::string>& cells) {
  rows_.push_back(cells);
  UpdateScroll();
  Invalidate(true);
}

std::string CLogTable::GetItemText(int row, int col) const {
  if (row < 0 || row >= GetRowCount() || col < 0 || col >= static_cast<int>(rows_[row].size())) return "";
  return rows_[row][col];
}

void CLogTable::SetTableFont(const draw::Font& font) {
  font_ = font;
  Invalidate(true);
}

int CLogTable::VisibleRows() const {
  return std::max(1, (GetClientRect().Height() - headerHeight_) / rowHeight_);
}

void CLogTable::UpdateScroll() {
  ui::ScrollInfo si;
  si.mask = ui::SIF_RANGE | ui::SIF_PAGE | ui::SIF_POS;
  si.min = 0;
  si.max = std::max(0, GetRowCount() - 1);
  si.page = static_cast<unsigned>(VisibleRows());
  top_ = std::clamp(top_, 0, std::max(0, GetRowCount() - VisibleRows()));
  si.pos = top_;
  SetScrollInfo(ui::SB_VERT, si, true);
}

void CLogTable::OnPaint(draw::DC& dc) {
  const ui::Rect rc = GetClientRect();
  dc.FillSolidRect(rc, draw::RGB(255, 255, 255));
  dc.SelectFont(font_);
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SelectPen(draw::Pen::Solid(draw::RGB(192, 192, 192)));
  auto drawRow = [&](int y, int h, const std::vector<std::string>& cells, bool header, bool selected) {
    if (header) dc.FillSolidRect(ui::Rect(0, y, rc.right, y + h), draw::RGB(212, 208, 200));
    else if (selected) dc.FillSolidRect(ui::Rect(0, y, rc.right, y + h), draw::RGB(10, 36, 106));
    dc.SetTextColor(selected ? draw::RGB(255, 255, 255) : draw::RGB(0, 0, 0));
    int x = 0;
    for (size_t c = 0; c < widths_.size(); ++c) {
      const ui::Rect cell(x + 3, y, x + widths_[c] - 2, y + h);
      if (c < cells.size())
        dc.DrawText(cells[c], cell, draw::kDtLeft | draw::kDtVCenter | draw::kDtSingleLine | draw::kDtEndEllipsis);
      x += widths_[c];
      dc.MoveTo(x - 1, y);
      dc.LineTo(x - 1, y + h);
    }
    dc.MoveTo(0, y + h - 1);
    dc.LineTo(rc.right, y + h - 1);
  };
  drawRow(0, headerHeight_, headers_, true, false);
  int y = headerHeight_;
  for (int r = top_; r < GetRowCount() && y < rc.bottom; ++r, y += rowHeight_) drawRow(y, rowHeight_, rows_[r], false, r == selected_);
}

void CLogTable::OnVScroll(int code, int pos, ui::Window*) {
  const int page = VisibleRows();
  switch (code) {
    case ui::SB_LINEUP: --top_; break;
    case ui::SB_LINEDOWN: ++top_; break;
    case ui::SB_PAGEUP: top_ -= page; break;
    case ui::SB_PAGEDOWN: top_ += page; break;
    case ui::SB_THUMBTRACK:
    case ui::SB_THUMBPOSITION: top_ = pos; break;
    default: return;
  }
  UpdateScroll();
  Invalidate(true);
}

bool CLogTable::OnMouseWheel(unsigned, int delta, ui::Point) {
  top_ -= delta / 40;
  UpdateScroll();
  Invalidate(true);
  return true;
}

void CLogTable::OnLButtonDown(unsigned, ui::Point pt) {
  if (pt.y < headerHeight_) return;
  const int row = top_ + (pt.y - headerHeight_) / rowHeight_;
  if (row < GetRowCount()) {
    selected_ = row;
    Invalidate(true);
  }
}

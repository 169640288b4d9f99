// How a cell paints itself on the screen and on a printer page.
#include "controls/grid/grid_cell.h"
#include "controls/grid/grid_ctrl.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/styles.h"

namespace {

constexpr draw::Color kSelectionBack = draw::RGB(20, 74, 118);

draw::Rect Grown(draw::Rect r) { return draw::Rect(r.left, r.top, r.right + 1, r.bottom + 1); }

void Line(draw::DC& dc, draw::Point a, draw::Point b, draw::Point c) {
  dc.MoveTo(a.x, a.y);
  dc.LineTo(b.x, b.y);
  dc.LineTo(c.x, c.y);
}

// The raised 3-D border of a fixed cell: light top and left, dark right and bottom.
void RaisedBorder(draw::DC& dc, const draw::Rect& r) {
  const draw::Pen old = dc.SelectPen(draw::Pen::Solid(ui::SysColor(ui::COLOR_BTNHIGHLIGHT)));
  Line(dc, draw::Point(r.right, r.top), draw::Point(r.left, r.top), draw::Point(r.left, r.bottom));
  dc.SelectPen(draw::Pen::Solid(ui::SysColor(ui::COLOR_3DDKSHADOW)));
  Line(dc, draw::Point(r.right, r.top), draw::Point(r.right, r.bottom), draw::Point(r.left, r.bottom));
  dc.SelectPen(old);
}

// A sunken inner edge on all four sides of `r` (exclusive rectangle).
void SunkenEdge(draw::DC& dc, const draw::Rect& r) {
  const draw::Pen old = dc.SelectPen(draw::Pen::Solid(ui::SysColor(ui::COLOR_3DDKSHADOW)));
  Line(dc, draw::Point(r.left, r.bottom - 1), draw::Point(r.left, r.top), draw::Point(r.right, r.top));
  dc.SelectPen(draw::Pen::Solid(ui::SysColor(ui::COLOR_3DLIGHT)));
  Line(dc, draw::Point(r.right - 1, r.top + 1), draw::Point(r.right - 1, r.bottom - 1),
       draw::Point(r.left, r.bottom - 1));
  dc.SelectPen(old);
}

void Triangle(draw::DC& dc, draw::Color c, draw::Point a, draw::Point b, draw::Point d) {
  const draw::Pen old = dc.SelectPen(draw::Pen::Solid(c));
  dc.MoveTo(a.x, a.y);
  dc.LineTo(b.x, b.y);
  dc.LineTo(d.x, d.y);
  dc.LineTo(a.x, a.y);
  dc.SelectPen(old);
}

}  // namespace

bool CGridCellBase::Draw(draw::DC& dc, int row, int col, draw::Rect rect, bool eraseBackground) {
  CGridCtrl* grid = GetGrid();
  if (!grid || rect.right <= rect.left || rect.bottom <= rect.top) return false;
  const CGridDefaultCell* def = GetDefaultCell();
  if (!def) return false;
  const int saved = dc.SaveDC();
  dc.SetBkMode(draw::BkMode::Transparent);

  draw::Color text = GetTextClr() == CLR_DEFAULT ? def->GetTextClr() : GetTextClr();
  draw::Color back = GetBackClr();
  if (back == CLR_DEFAULT) back = def->GetBackClr();
  else eraseBackground = true;

  const int lines = grid->GetGridLines();
  if (!IsFocused() && !IsDropHighlighted()) {
    if (IsSelected()) {
      dc.FillSolidRect(Grown(rect), kSelectionBack);
      text = ui::SysColor(ui::COLOR_HIGHLIGHTTEXT);
    } else if (eraseBackground) {
      dc.FillSolidRect(Grown(rect), back);
    }
    dc.SetTextColor(text);
  } else {
    if (IsSelected()) {
      back = kSelectionBack;
      text = ui::SysColor(ui::COLOR_HIGHLIGHTTEXT);
      eraseBackground = true;
    }
    rect = Grown(rect);
    if (eraseBackground) dc.FillSolidRect(rect, back);
    if (lines != 0) {
      rect.right -= 1;
      rect.bottom -= 1;
    }
    if (grid->GetFrameFocusCell()) dc.FrameRect(rect, draw::Brush::Solid(text));
    dc.SetTextColor(text);
    if (lines == 0) {
      rect.right -= 1;
      rect.bottom -= 1;
    }
    rect.top += 1;
    rect.right -= 1;
    rect.bottom -= 1;
  }

  if (IsFixed() && lines != 0) {
    const CCellID focus = grid->GetFocusCell();
    if (grid->GetHighlightFocusHeaders() && grid->IsValidCell(focus) && (focus.row == row || focus.col == col)) {
      SunkenEdge(dc, Grown(rect));
    } else {
      RaisedBorder(dc, rect);
    }
    rect = draw::Rect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
  }

  const draw::Font* font = GetFont();
  if (font && !dc.Info().printer) dc.SelectFont(*font);
  const int margin = GetMargin();
  rect.left += margin;
  rect.right -= margin;

  if (col == grid->GetSortColumn() && row == 0) {
    int s = dc.GetTextExtent("M").cy - 4;
    if (s >= rect.bottom - rect.top) s = rect.bottom - rect.top - 4;
    const bool vertical = dc.GetFont().escapement == 900;
    const int x = vertical ? (rect.left - s + rect.right) / 2 : rect.right - s;
    if (s > 0 && rect.left + s < rect.right + 2 * margin) {
      const int y0 = rect.bottom - s - 2, m = x + s / 2, b = rect.bottom;
      const draw::Color light = ui::SysColor(ui::COLOR_BTNHIGHLIGHT), shadow = ui::SysColor(ui::COLOR_BTNSHADOW);
      if (grid->GetSortAscending()) {
        Triangle(dc, light, {x + 1, b - 1}, {m + 1, y0 + 1}, {x + s + 1, b - 1});
        Triangle(dc, shadow, {x, b - 2}, {m, y0}, {x + s, b - 2});
      } else {
        Triangle(dc, light, {x + 1, y0 + 1}, {m + 1, b - 1}, {x + s + 1, y0 + 1});
        Triangle(dc, shadow, {x, y0}, {m, b - 2}, {x + s, y0});
      }
      if (!vertical) rect.right -= s;
    }
  }

  GetTextRect(&rect);
  dc.DrawText(GetText(), &rect, GetFormat() | DT_NOPREFIX);
  dc.RestoreDC(saved);
  return true;
}

bool CGridCellBase::PrintCell(draw::DC& dc, int row, int col, draw::Rect rect) {
  CGridCtrl* grid = GetGrid();
  if (!grid || rect.right <= rect.left || rect.bottom <= rect.top) return false;
  const CGridDefaultCell* def = GetDefaultCell();
  if (!def) return false;
  const int saved = dc.SaveDC();
  dc.SetBkMode(draw::BkMode::Transparent);
  draw::Color text = draw::RGB(0, 0, 0);
  if (grid->GetPrintColours()) {
    draw::Color back = CLR_DEFAULT;
    if (IsFixed()) back = GetBackClr() == CLR_DEFAULT ? def->GetBackClr() : GetBackClr();
    else if (GetBackClr() != CLR_DEFAULT && GetBackClr() != def->GetBackClr()) back = GetBackClr();
    text = GetTextClr() == CLR_DEFAULT ? def->GetTextClr() : GetTextClr();
    if (back != CLR_DEFAULT) {
      dc.FillSolidRect(Grown(rect), back);
    } else if (grid->GetPrinterColourCount() == 2) {
      const int r = static_cast<int>((text & 0xFF) * 0.30), g = static_cast<int>(((text >> 8) & 0xFF) * 0.59),
                b = static_cast<int>(((text >> 16) & 0xFF) * 0.11);
      text = draw::RGB(r, g, b);
    }
  }
  dc.SetTextColor(text);
  if (const draw::Font* font = GetFont()) dc.SelectFont(*font);
  if (IsFixed() && grid->GetGridLines() != 0) {
    RaisedBorder(dc, rect);
    rect = draw::Rect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
  }
  const int margin = GetMargin();
  rect.left += margin;
  rect.right -= margin;
  GetTextRect(&rect);
  dc.DrawText(GetText(), &rect, GetFormat() | DT_NOPREFIX);
  dc.RestoreDC(saved);
  (void)row;
  (void)col;
  return true;
}

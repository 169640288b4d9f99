#include "platform/ui/scroll_parts.h"

#include <algorithm>

#include "platform/ui/controls/controls.h"
#include "platform/ui/messages.h"
#include "platform/ui/window.h"

namespace ui {

int ScrollArrowLength(const ScrollGeometry& g) {
  const int thick = g.vertical ? g.bar.Width() : g.bar.Height();
  const int len = g.vertical ? g.bar.Height() : g.bar.Width();
  return std::min(thick, len / 2);
}

Rect ScrollThumbRect(const ScrollGeometry& g) {
  const int arrow = ScrollArrowLength(g);
  const int len = g.vertical ? g.bar.Height() : g.bar.Width();
  const int track = len - 2 * arrow;
  const int thick = g.vertical ? g.bar.Width() : g.bar.Height();
  const int span = std::max(1, g.max - g.min + 1);
  int th = g.page > 0 ? track * g.page / span : thick;
  th = std::clamp(th, std::min(8, track), std::max(0, track));
  const int travel = std::max(1, span - std::max(1, g.page));
  const int off = arrow + (track - th) * std::clamp(g.pos - g.min, 0, travel) / travel;
  return g.vertical ? Rect(g.bar.left, g.bar.top + off, g.bar.right, g.bar.top + off + th)
                    : Rect(g.bar.left + off, g.bar.top, g.bar.left + off + th, g.bar.bottom);
}

int ScrollPosFromThumb(const ScrollGeometry& g, int offset) {
  const int arrow = ScrollArrowLength(g);
  const Rect t = ScrollThumbRect(g);
  const int th = g.vertical ? t.Height() : t.Width();
  const int len = g.vertical ? g.bar.Height() : g.bar.Width();
  const int free = len - 2 * arrow - th;
  const int span = std::max(1, g.max - g.min + 1);
  const int travel = std::max(0, span - std::max(1, g.page));
  if (free <= 0) return g.min;
  return g.min + std::clamp(offset - arrow, 0, free) * travel / free;
}

int ScrollHitTest(const ScrollGeometry& g, Point p) {
  const int arrow = ScrollArrowLength(g);
  const int c = g.vertical ? p.y - g.bar.top : p.x - g.bar.left;
  const int len = g.vertical ? g.bar.Height() : g.bar.Width();
  if (c < arrow) return SB_LINEUP;
  if (c >= len - arrow) return SB_LINEDOWN;
  const Rect t = ScrollThumbRect(g);
  if (t.Contains(p)) return SB_THUMBTRACK;
  return c < (g.vertical ? t.top - g.bar.top : t.left - g.bar.left) ? SB_PAGEUP : SB_PAGEDOWN;
}

void PaintScrollBar(draw::DC& dc, const ScrollGeometry& g, bool enabled) {
  dc.FillSolidRect(g.bar, SysColor(COLOR_3DLIGHT));
  const int arrow = ScrollArrowLength(g);
  const Rect a1 = g.vertical ? Rect(g.bar.left, g.bar.top, g.bar.right, g.bar.top + arrow)
                             : Rect(g.bar.left, g.bar.top, g.bar.left + arrow, g.bar.bottom);
  const Rect a2 = g.vertical ? Rect(g.bar.left, g.bar.bottom - arrow, g.bar.right, g.bar.bottom)
                             : Rect(g.bar.right - arrow, g.bar.top, g.bar.right, g.bar.bottom);
  const Color ink = enabled ? SysColor(COLOR_BTNTEXT) : SysColor(COLOR_GRAYTEXT);
  dc.SelectPen(draw::Pen::Solid(ink));
  dc.SelectBrush(draw::Brush::Solid(ink));
  for (int k = 0; k < 2; ++k) {
    const Rect a = k ? a2 : a1;
    dc.FillSolidRect(a, SysColor(COLOR_BTNFACE));
    Draw3dFrame(dc, a, false);
    const Point c = a.Center();
    const int d = k ? 2 : -2;
    Point t[3];
    if (g.vertical) {
      t[0] = Point(c.x - 4, c.y - d);
      t[1] = Point(c.x + 4, c.y - d);
      t[2] = Point(c.x, c.y + d);
    } else {
      t[0] = Point(c.x - d, c.y - 4);
      t[1] = Point(c.x - d, c.y + 4);
      t[2] = Point(c.x + d, c.y);
    }
    dc.Polygon(t, 3);
  }
  if (enabled && g.max > g.min) {
    const Rect thumb = ScrollThumbRect(g);
    dc.FillSolidRect(thumb, SysColor(COLOR_BTNFACE));
    Draw3dFrame(dc, thumb, false);
  }
}

}  // namespace ui

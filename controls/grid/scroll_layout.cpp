#include "controls/grid/scroll_layout.h"

namespace grid {

ScrollBarLayout ComputeScrollBars(draw::Size client, unsigned shown, const ScrollBarMetrics& m, int fixedWidth,
                                  int fixedHeight, int totalWidth, int totalHeight) {
  ScrollBarLayout out;
  // The area as if no bar were shown.
  int right = client.cx, bottom = client.cy;
  if (shown & kVertBarShown) right += m.vBarWidth + m.borderX;
  if (shown & kHorzBarShown) bottom += m.hBarHeight + m.borderY;
  if (fixedWidth >= right || fixedHeight >= bottom) {
    out.hideBoth = true;
    return out;
  }
  const int bodyHeight = totalHeight - fixedHeight;
  const int bodyWidth = totalWidth - fixedWidth;
  const int availWidth = right - (bottom - fixedHeight < bodyHeight ? m.vBarWidth : 0) - fixedWidth;
  const int availHeight = bottom - (availWidth < bodyWidth ? m.hBarHeight : 0) - fixedHeight;
  if (availHeight < bodyHeight) {
    out.showVert = true;
    out.vertMax = bodyHeight - 1;
  }
  if (availWidth < bodyWidth) {
    out.showHorz = true;
    out.horzMax = bodyWidth - 1;
  }
  out.horzPage = out.horzMax == 0 ? 0 : availWidth;
  out.vertPage = out.vertMax == 0 ? 0 : availHeight;
  return out;
}

}  // namespace grid

#pragma once
// The parts of a scroll bar (arrows, track, thumb), shared by the scroll-bar control and the
// scroll bars of a window's own non-client area.
#include "platform/ui/draw/dc.h"
#include "platform/ui/types.h"

namespace ui {

struct ScrollGeometry {
  Rect bar;          // the whole bar
  bool vertical = true;
  int min = 0, max = 100, page = 0, pos = 0;
};

// Length of each arrow button.
int ScrollArrowLength(const ScrollGeometry& g);
Rect ScrollThumbRect(const ScrollGeometry& g);
// The position a thumb whose leading edge is at `offset` (from the bar's start) stands for.
int ScrollPosFromThumb(const ScrollGeometry& g, int offset);
// SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN or SB_THUMBTRACK (on the thumb) for a point.
int ScrollHitTest(const ScrollGeometry& g, Point p);
void PaintScrollBar(draw::DC& dc, const ScrollGeometry& g, bool enabled);

}  // namespace ui

#pragma once
// Which scroll bars a grid needs and their ranges, from its sizes and its client area.
// Kept apart from the window so the arithmetic is plain to test.
#include "platform/ui/draw/geometry.h"

namespace grid {

// Sizes of the platform's scroll bars and window borders, in pixels.
struct ScrollBarMetrics {
  int vBarWidth = 16;   // width of a vertical bar
  int hBarHeight = 16;  // height of a horizontal bar
  int borderX = 1;
  int borderY = 1;
};

enum : unsigned { kHorzBarShown = 1, kVertBarShown = 2 };

struct ScrollBarLayout {
  bool hideBoth = false;  // the client area cannot even hold the fixed cells
  bool showHorz = false;
  bool showVert = false;
  int horzMax = 0;   // the largest scroll position, pixels; 0 when the bar is hidden
  int vertMax = 0;
  int horzPage = 0;  // page sizes (0 when the maximum is 0)
  int vertPage = 0;
};

// `client` is the client area as it is now, with the bars in `shown` taking their room.
ScrollBarLayout ComputeScrollBars(draw::Size client, unsigned shown, const ScrollBarMetrics& m, int fixedWidth,
                                  int fixedHeight, int totalWidth, int totalHeight);

}  // namespace grid

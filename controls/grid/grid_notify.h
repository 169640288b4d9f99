#pragma once
// The records a grid sends to its owner with WM_NOTIFY (wParam = the grid's control id,
// lParam = the record's address), and the one its in-place editor sends to the grid.
#include "controls/grid/cell_id.h"
#include "controls/grid/grid_defs.h"
#include "platform/ui/window.h"

// Click, selection, drag and edit notifications: the cell concerned.
struct GridViewNotify {
  ui::NotifyHeader hdr;
  int row = -1;
  int col = -1;
};

// Virtual mode: the cells about to be asked for (four -1 after the request).
struct GridSpanNotify {
  ui::NotifyHeader hdr;
  CCellSpan span;
};

// Virtual mode: the owner fills `item` (GVN_GETDISPINFO). Also the in-place editor's
// end-of-edit record to the grid (GVN_ENDLABELEDIT from control IDC_INPLACE_CONTROL).
struct GridDispInfo {
  ui::NotifyHeader hdr;
  CellRecord item;
};

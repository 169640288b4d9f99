#pragma once
// An operator's gestures on a grid, played through the test driver as real pointer and key
// input: taps with or without Ctrl and Shift, a drag from one cell to another, Ctrl+A, and
// the selecting and clearing that screens do themselves (a Select button, a page change). Usable from the UI thread and from a
// driver script (cell positions are read on the UI thread).
#include <ostream>
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "platform/ui/input.h"
#include "platform/ui/test_driver.h"

// Cells read as (row,col) in failure messages.
inline void PrintTo(const CCellID& c, std::ostream* os) { *os << "(" << c.row << "," << c.col << ")"; }

namespace grid_gestures {

enum class Kind { Tap, CtrlTap, ShiftTap, Drag, Clear, CtrlA, Select };

struct Gesture {
  Kind kind;
  CCellID at;  // the cell tapped or where a drag starts
  CCellID to;  // where a drag ends
};

inline Gesture Tap(int row, int col) { return {Kind::Tap, CCellID(row, col), CCellID()}; }
inline Gesture CtrlTap(int row, int col) { return {Kind::CtrlTap, CCellID(row, col), CCellID()}; }
inline Gesture ShiftTap(int row, int col) { return {Kind::ShiftTap, CCellID(row, col), CCellID()}; }
inline Gesture Drag(int row, int col, int toRow, int toCol) {
  return {Kind::Drag, CCellID(row, col), CCellID(toRow, toCol)};
}
inline Gesture ClearSelection() { return {Kind::Clear, CCellID(), CCellID()}; }
inline Gesture CtrlA() { return {Kind::CtrlA, CCellID(), CCellID()}; }
// A block selected by the screen itself (the results browser's Select button).
inline Gesture Select(int row, int col, int toRow, int toCol) {
  return {Kind::Select, CCellID(row, col), CCellID(toRow, toCol)};
}

// The screen point in the middle of a cell, scrolled into view first.
inline draw::Point CellPoint(ui::TestDriver& d, CGridCtrl& grid, CCellID cell) {
  draw::Point p;
  d.RunUntil([&] {
    grid.EnsureVisible(cell);
    draw::Rect r;
    if (!grid.ComputeCellRect(cell.row, cell.col, &r)) return false;
    p = grid.ClientToScreen(draw::Point((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    return true;
  });
  return p;
}

inline void Pointer(ui::TestDriver& d, ui::InputEvent::Kind kind, draw::Point p, bool shift, bool ctrl) {
  ui::InputEvent e;
  e.kind = kind;
  e.pt = p;
  e.shift = shift;
  e.ctrl = ctrl;
  ui::InjectInput(e);
  d.Settle();
}

inline void Perform(ui::TestDriver& d, CGridCtrl& grid, const Gesture& g) {
  using K = ui::InputEvent::Kind;
  switch (g.kind) {
    case Kind::Tap:
    case Kind::CtrlTap:
    case Kind::ShiftTap: {
      const bool shift = g.kind == Kind::ShiftTap, ctrl = g.kind == Kind::CtrlTap;
      const draw::Point p = CellPoint(d, grid, g.at);
      for (K k : {K::MouseMove, K::MouseDown, K::MouseUp}) Pointer(d, k, p, shift, ctrl);
      break;
    }
    case Kind::Drag: {
      const draw::Point a = CellPoint(d, grid, g.at), b = CellPoint(d, grid, g.to);
      Pointer(d, K::MouseMove, a, false, false);
      Pointer(d, K::MouseDown, a, false, false);
      Pointer(d, K::MouseMove, b, false, false);
      Pointer(d, K::MouseUp, b, false, false);
      break;
    }
    case Kind::Clear:
      d.RunUntil([&] {
        grid.SetSelectedRange(-1, -1, -1, -1);
        return true;
      });
      break;
    case Kind::CtrlA:
      d.Key('A', false, true);
      break;
    case Kind::Select:
      d.RunUntil([&] {
        grid.SetSelectedRange(g.at.row, g.at.col, g.to.row, g.to.col);
        return true;
      });
      break;
  }
}

inline void PerformAll(ui::TestDriver& d, CGridCtrl& grid, const std::vector<Gesture>& gestures) {
  for (const Gesture& g : gestures) Perform(d, grid, g);
  // Leave no modifier held for what follows.
  Pointer(d, ui::InputEvent::Kind::MouseMove, CellPoint(d, grid, CCellID(0, 0)), false, false);
}

// The columns holding a selected cell, and the selected cells, read on the UI thread.
inline std::vector<int> SortedPicks(ui::TestDriver& d, CGridCtrl& grid) {
  std::vector<int> out;
  d.RunUntil([&] {
    out = grid.GetSortedPickedColumns();
    return true;
  });
  return out;
}

inline std::vector<CCellID> SelectedCells(ui::TestDriver& d, CGridCtrl& grid) {
  std::vector<CCellID> out;
  d.RunUntil([&] {
    out.clear();
    for (int r = 0; r < grid.GetRowCount(); ++r)
      for (int c = 0; c < grid.GetColumnCount(); ++c)
        if (grid.IsCellSelected(r, c)) out.emplace_back(r, c);
    return true;
  });
  return out;
}

}  // namespace grid_gestures

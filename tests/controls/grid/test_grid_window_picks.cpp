// The picked columns against the selection after taps, drags and Ctrl/Shift presses: screens
// delete, send and print by the picked columns, so they must be exactly the columns that
// still hold a selected cell.
#include "tests/controls/grid/grid_window_fixture.h"
#include "tests/support/grid_gestures.h"

namespace {

using namespace grid_gestures;

class GridPickedColumnsTest : public GridWindowTest {};

// The cells of the listed spans (a union worked out by hand for each case).
std::vector<CCellID> CellsOf(const std::vector<CCellSpan>& spans) {
  std::vector<CCellID> out;
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 6; ++c)
      for (const CCellSpan& s : spans)
        if (s.Contains(CCellID(r, c))) {
          out.emplace_back(r, c);
          break;
        }
  return out;
}

}  // namespace

TEST_F(GridPickedColumnsTest, PickedColumnsAreTheColumnsThatStillHoldASelection) {
  struct Case {
    const char* what;
    std::vector<Gesture> gestures;
    std::vector<int> picked;
    std::vector<CCellSpan> selected;
  };
  const Case cases[] = {
      {"drag along a row, then Ctrl+tap its middle cell",
       {Drag(3, 2, 3, 4), CtrlTap(3, 3)},
       {2, 4},
       {{3, 2, 3, 2}, {3, 4, 3, 4}}},
      {"tap, then Ctrl+tap another cell twice",
       {Tap(3, 2), CtrlTap(3, 4), CtrlTap(3, 4)},
       {2},
       {{3, 2, 3, 2}}},
      {"Ctrl+tap two headings, clear the selection, Ctrl+tap a third heading",
       {CtrlTap(0, 3), CtrlTap(0, 5), ClearSelection(), CtrlTap(0, 4)},
       {4},
       {{1, 4, 9, 4}}},
      {"Ctrl+tap two headings, then a plain tap starts over",
       {CtrlTap(0, 2), CtrlTap(0, 4), Tap(6, 5)},
       {5},
       {{6, 5, 6, 5}}},
      {"Ctrl+tap a heading, then Ctrl+tap one of its cells: the column keeps the rest",
       {CtrlTap(0, 2), CtrlTap(4, 2)},
       {2},
       {{1, 2, 3, 2}, {5, 2, 9, 2}}},
      {"two cells of one column, one taken out again",
       {Tap(2, 3), CtrlTap(5, 3), CtrlTap(2, 3)},
       {3},
       {{5, 3, 5, 3}}},
      {"every cell of a column taken out one by one",
       {Tap(2, 3), CtrlTap(5, 3), CtrlTap(2, 3), CtrlTap(5, 3)},
       {},
       {}},
      {"Shift extends a block", {Tap(2, 1), ShiftTap(4, 3)}, {1, 2, 3}, {{2, 1, 4, 3}}},
      {"Ctrl+tap a heading adds to a block", {Tap(2, 1), ShiftTap(4, 2), CtrlTap(0, 5)}, {1, 2, 5},
       {{2, 1, 4, 2}, {1, 5, 9, 5}}},
      {"Ctrl+A picks every body column", {Tap(1, 1), CtrlA()}, {1, 2, 3, 4, 5}, {{1, 1, 9, 5}}},
      {"a cleared selection picks nothing", {Drag(2, 1, 2, 5), ClearSelection()}, {}, {}},
      {"after a Ctrl gesture, a block the screen selects is all that is selected",
       {Tap(3, 5), CtrlTap(3, 1), Select(0, 2, 9, 3)},
       {2, 3},
       {{1, 2, 9, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    grid->SetSelectedRange(-1, -1, -1, -1);
    grid->MoveFocus(-1, -1);
    PerformAll(d, *grid, c.gestures);
    EXPECT_EQ(SortedPicks(d, *grid), c.picked);
    EXPECT_EQ(SelectedCells(d, *grid), CellsOf(c.selected));
  }
}

// A structural change clears the selection and with it the picks; a screen may narrow the
// picks, and the next change of the selection brings them back in step.
TEST_F(GridPickedColumnsTest, StructureAndNarrowingKeepThePicksInStep) {
  PerformAll(d, *grid, {CtrlTap(0, 2), CtrlTap(0, 4)});
  EXPECT_EQ(grid->GetSortedPickedColumns(), (std::vector<int>{2, 4}));
  grid->SetPickedColumns({4});
  EXPECT_EQ(grid->GetSortedPickedColumns(), (std::vector<int>{4}));
  PerformAll(d, *grid, {CtrlTap(0, 3)});
  EXPECT_EQ(grid->GetSortedPickedColumns(), (std::vector<int>{2, 3, 4}));
  grid->DeleteColumn(5);
  EXPECT_TRUE(grid->GetSortedPickedColumns().empty());
  PerformAll(d, *grid, {Tap(2, 2), CtrlTap(2, 3)});
  grid->DeleteAllItems();
  EXPECT_TRUE(grid->GetSortedPickedColumns().empty());
}

// A tap on a column heading of a list (the settings lists, the automatic calibration's runs)
// or on a row label of a grid whose screen turns row labels off (the results browser) leaves
// the operator's selection as it was: screens delete and modify by it.
TEST_F(GridPickedColumnsTest, HeadingAndLabelTapsLeaveTheSelectionWhereTheyMustNotSelect) {
  struct Case {
    const char* what;
    bool listMode, singleRow, rowLabels;
    std::vector<Gesture> gestures;
    std::vector<int> picked;
    std::vector<CCellSpan> selected;
  };
  const Case cases[] = {
      {"list: a row, then a column heading", true, false, true, {Tap(3, 2), Tap(0, 2)}, {1, 2, 3, 4, 5}, {{3, 1, 3, 5}}},
      {"list: rows 2 to 4, then a heading and the corner", true, false, true,
       {Tap(2, 1), ShiftTap(4, 1), Tap(0, 3), Tap(0, 0)}, {1, 2, 3, 4, 5}, {{2, 1, 4, 5}}},
      {"single-row list: a row, then a Ctrl+tap on a heading", true, true, true, {Tap(6, 4), CtrlTap(0, 1)},
       {1, 2, 3, 4, 5}, {{6, 1, 6, 5}}},
      {"row labels off: a cell, then a row label", false, false, false, {Tap(3, 2), Tap(5, 0)}, {2}, {{3, 2, 3, 2}}},
      {"row labels off: a block, then a Ctrl+tap on a row label", false, false, false,
       {Tap(2, 2), ShiftTap(3, 3), CtrlTap(7, 0)}, {2, 3}, {{2, 2, 3, 3}}},
      {"row labels off: headings still pick their columns", false, false, false, {Tap(3, 2), CtrlTap(0, 4)}, {2, 4},
       {{3, 2, 3, 2}, {1, 4, 9, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    grid->SetListMode(c.listMode);
    if (!c.listMode) grid->SetColumnHeaderSelection(true);
    grid->SetSingleRowSelection(c.singleRow);
    grid->SetRowHeaderSelection(c.rowLabels);
    PerformAll(d, *grid, c.gestures);
    EXPECT_EQ(SortedPicks(d, *grid), c.picked);
    EXPECT_EQ(SelectedCells(d, *grid), CellsOf(c.selected));
  }
}

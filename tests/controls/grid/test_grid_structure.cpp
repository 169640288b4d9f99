// The structural operations: counts, fixed bands, inserting and deleting, with the
// invariants checked after each.
#include <gtest/gtest.h>

#include <functional>

#include "grid_test_support.h"

namespace {

struct Shape {
  int rows, cols, fixedRows, fixedCols;
};

struct StructureCase {
  const char* name;
  Shape start;
  std::function<void(TestGrid&)> prepare;
  std::function<int(TestGrid&)> op;
  int result;
  Shape expect;
};

const StructureCase kCases[] = {
    {"RowCountGrows", {0, 3, 0, 0}, nullptr, [](TestGrid& g) { return int(g.SetRowCount(5)); }, 1, {5, 3, 0, 0}},
    {"RowCountZeroDropsFixedRows", {4, 3, 2, 1}, nullptr, [](TestGrid& g) { return int(g.SetRowCount(0)); }, 1, {0, 3, 0, 1}},
    {"RowCountNegativeRefused", {2, 2, 0, 0}, nullptr, [](TestGrid& g) { return int(g.SetRowCount(-1)); }, 0, {2, 2, 0, 0}},
    {"ColumnCountShrinksBelowFixed", {3, 4, 1, 3}, nullptr, [](TestGrid& g) { return int(g.SetColumnCount(2)); }, 1, {3, 2, 1, 2}},
    {"FixedRowsGrowTheGrid", {1, 2, 0, 0}, nullptr, [](TestGrid& g) { return int(g.SetFixedRowCount(3)); }, 1, {3, 2, 3, 0}},
    {"FixedColumnsGrowTheGrid", {2, 1, 0, 0}, nullptr, [](TestGrid& g) { return int(g.SetFixedColumnCount(2)); }, 1, {2, 2, 0, 2}},
    {"FixedRowsShrink", {5, 4, 3, 1}, nullptr, [](TestGrid& g) { return int(g.SetFixedRowCount(1)); }, 1, {5, 4, 1, 1}},
    {"FixedColumnsShrink", {5, 4, 2, 3}, nullptr, [](TestGrid& g) { return int(g.SetFixedColumnCount(0)); }, 1, {5, 4, 2, 0}},
    {"InsertRowAppends", {3, 2, 1, 0}, nullptr, [](TestGrid& g) { return g.InsertRow("h"); }, 3, {4, 2, 1, 0}},
    {"InsertRowBefore", {3, 2, 1, 0}, nullptr, [](TestGrid& g) { return g.InsertRow("h", 1); }, 1, {4, 2, 1, 0}},
    {"InsertRowAtCountRefused", {3, 2, 1, 0}, nullptr, [](TestGrid& g) { return g.InsertRow("h", 3); }, -1, {3, 2, 1, 0}},
    {"InsertRowInFixedBandRefused", {3, 2, 1, 0}, nullptr, [](TestGrid& g) { return g.InsertRow("h", 0); }, -1, {3, 2, 1, 0}},
    {"InsertRowMakesFirstColumn", {0, 0, 0, 0}, nullptr, [](TestGrid& g) { return g.InsertRow("a"); }, 0, {1, 1, 0, 0}},
    {"InsertColumnAtCountAppends", {2, 3, 1, 1}, nullptr, [](TestGrid& g) { return g.InsertColumn("h", 0, 3); }, 3, {2, 4, 1, 1}},
    {"InsertColumnBefore", {2, 3, 1, 1}, nullptr, [](TestGrid& g) { return g.InsertColumn("h", 0, 1); }, 1, {2, 4, 1, 1}},
    {"InsertColumnPastEndRefused", {2, 3, 1, 1}, nullptr, [](TestGrid& g) { return g.InsertColumn("h", 0, 4); }, -1, {2, 3, 1, 1}},
    {"InsertColumnMakesFirstRow", {0, 0, 0, 0}, nullptr, [](TestGrid& g) { return g.InsertColumn("h"); }, 0, {1, 1, 0, 0}},
    {"DeleteFixedRowLowersFixedCount", {4, 3, 2, 1}, nullptr, [](TestGrid& g) { return int(g.DeleteRow(0)); }, 1, {3, 3, 1, 1}},
    {"DeleteBodyRow", {4, 3, 2, 1}, nullptr, [](TestGrid& g) { return int(g.DeleteRow(3)); }, 1, {3, 3, 2, 1}},
    {"DeleteRowOutOfRange", {4, 3, 2, 1}, nullptr, [](TestGrid& g) { return int(g.DeleteRow(4)); }, 0, {4, 3, 2, 1}},
    {"DeleteFixedColumn", {4, 3, 2, 1}, nullptr, [](TestGrid& g) { return int(g.DeleteColumn(0)); }, 1, {4, 2, 2, 0}},
    {"DeleteColumnOutOfRange", {4, 3, 2, 1}, nullptr, [](TestGrid& g) { return int(g.DeleteColumn(-1)); }, 0, {4, 3, 2, 1}},
    {"DeleteBodyRows", {6, 3, 2, 0}, nullptr, [](TestGrid& g) { return int(g.DeleteBodyRows()); }, 1, {2, 3, 2, 0}},
    {"DeleteAllItems", {6, 3, 2, 1}, nullptr, [](TestGrid& g) { return int(g.DeleteAllItems()); }, 1, {0, 0, 0, 0}},
    {"ShrinkPastFocusClearsIt", {5, 5, 1, 1}, [](TestGrid& g) { g.MoveFocus(4, 4); },
     [](TestGrid& g) { return int(g.SetRowCount(3)); }, 1, {3, 5, 1, 1}},
    {"ShrinkColumnsOntoFocusClearsIt", {5, 5, 1, 1}, [](TestGrid& g) { g.MoveFocus(2, 3); },
     [](TestGrid& g) { return int(g.SetColumnCount(3)); }, 1, {5, 3, 1, 1}},
    {"DeleteSelectedRow", {5, 4, 1, 1}, [](TestGrid& g) { g.SetSelectedRange(1, 1, 3, 3); },
     [](TestGrid& g) { return int(g.DeleteRow(2)); }, 1, {4, 4, 1, 1}},
    {"ShrinkRowsHoldingSelection", {5, 4, 1, 1}, [](TestGrid& g) { g.SetSelectedRange(1, 1, 4, 3); },
     [](TestGrid& g) { return int(g.SetRowCount(2)); }, 1, {2, 4, 1, 1}},
};

class StructureTest : public ::testing::TestWithParam<StructureCase> {};

TEST_P(StructureTest, KeepsInvariants) {
  const StructureCase& c = GetParam();
  TestGrid g(c.start.rows, c.start.cols, c.start.fixedRows, c.start.fixedCols);
  ASSERT_EQ(g.Invariants(), "");
  if (c.prepare) c.prepare(g);
  ASSERT_EQ(g.Invariants(), "");
  EXPECT_EQ(c.op(g), c.result);
  EXPECT_EQ(g.GetRowCount(), c.expect.rows);
  EXPECT_EQ(g.GetColumnCount(), c.expect.cols);
  EXPECT_EQ(g.GetFixedRowCount(), c.expect.fixedRows);
  EXPECT_EQ(g.GetFixedColumnCount(), c.expect.fixedCols);
  EXPECT_EQ(g.Invariants(), "");
}

INSTANTIATE_TEST_SUITE_P(Grid, StructureTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridStructure, InsertAndDeleteMoveContents) {
  TestGrid g(4, 3, 1, 1);
  g.FillCoordinates();
  ASSERT_EQ(g.InsertRow("new", 2), 2);
  EXPECT_EQ(g.GetItemText(2, 0), "new");
  EXPECT_EQ(g.GetItemText(2, 1), "");
  EXPECT_EQ(g.GetItemText(3, 1), "2,1");
  ASSERT_EQ(g.InsertColumn("head", 0, 1), 1);
  EXPECT_EQ(g.GetItemText(0, 1), "head");
  EXPECT_EQ(g.GetItemText(1, 2), "1,1");
  ASSERT_TRUE(g.DeleteColumn(1));
  ASSERT_TRUE(g.DeleteRow(2));
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(g.GetItemText(r, c), std::to_string(r) + "," + std::to_string(c));
  EXPECT_EQ(g.Invariants(), "");
}

TEST(GridStructure, NewSizesComeFromTheDefaultCells) {
  TestGrid g;
  const int cellH = g.GetDefaultCell(false, false)->GetHeight();
  const int fixedRowH = g.GetDefaultCell(true, false)->GetHeight();
  const int fixedColW = g.GetDefaultCell(false, true)->GetWidth();
  g.GetDefaultCell(false, false)->SetHeight(cellH + 5);
  g.GetDefaultCell(true, false)->SetHeight(fixedRowH + 9);
  g.GetDefaultCell(false, true)->SetWidth(fixedColW + 7);
  g.SetColumnCount(2);
  g.SetRowCount(2);
  EXPECT_EQ(g.ColumnWidthAt(1), fixedColW + 7);
  EXPECT_EQ(g.RowHeightAt(1), cellH + 5);
  const int row = g.InsertRow("");
  EXPECT_EQ(g.RowHeightAt(row), fixedRowH + 9);
}

TEST(GridStructure, HeadingsAreMeasuredWithTheMeasurer) {
  FakeMeasurer m;
  TestGrid g(1, 1);
  g.SetTextMeasurer(&m);
  // 3 characters of 8 pixels plus 4 margins of 4; 20 high plus 2 margins.
  const int row = g.InsertRow("abc");
  EXPECT_EQ(g.RowHeightAt(row), 28);
  const int col = g.InsertColumn("abcd");
  EXPECT_EQ(g.ColumnWidthAt(col), 48);
}

TEST(GridStructure, StructuralChangesEndSelectionAndFocus) {
  const std::function<void(TestGrid&)> ops[] = {
      [](TestGrid& g) { g.InsertRow("x"); },      [](TestGrid& g) { g.InsertColumn("x"); },
      [](TestGrid& g) { g.DeleteRow(4); },        [](TestGrid& g) { g.DeleteColumn(4); },
      [](TestGrid& g) { g.SetFixedRowCount(2); }, [](TestGrid& g) { g.SetFixedColumnCount(2); },
      [](TestGrid& g) { g.SetListMode(true); },   [](TestGrid& g) { g.DeleteAllItems(); },
  };
  for (const auto& op : ops) {
    TestGrid g(6, 6, 1, 1);
    g.MoveFocus(3, 3);
    g.SetSelectedRange(2, 2, 3, 3);
    op(g);
    EXPECT_EQ(g.GetFocusCell(), CCellID());
    EXPECT_FALSE(g.IsValidRange(g.GetSelectedCellRange()));
    EXPECT_EQ(g.GetSelectedCount(), 0u);
    EXPECT_EQ(g.Invariants(), "");
  }
  // Growing the row count keeps a focus that still lies inside.
  TestGrid g(6, 6, 1, 1);
  g.MoveFocus(3, 3);
  g.SetRowCount(8);
  EXPECT_EQ(g.GetFocusCell(), CCellID(3, 3));
}

TEST(GridStructure, FixedBandColoursResetToDefault) {
  TestGrid g(4, 4, 0, 0);
  g.SetItemBkColour(1, 2, draw::RGB(190, 198, 201));
  g.SetFixedRowCount(2);
  EXPECT_EQ(g.GetItemBkColour(1, 2), CLR_DEFAULT);
  g.SetFixedColumnCount(3);
  g.SetItemBkColour(1, 2, draw::RGB(1, 2, 3));
  g.SetFixedRowCount(1);
  // Still in a fixed column: keeps its colour, loses only the fixed-row bit.
  EXPECT_EQ(g.GetItemBkColour(1, 2), draw::RGB(1, 2, 3));
  EXPECT_EQ(g.GetCellState(1, 2) & (GVIS_FIXED | GVIS_FIXEDROW | GVIS_FIXEDCOL), GVIS_FIXED | GVIS_FIXEDCOL);
  EXPECT_EQ(g.Invariants(), "");
}

TEST(GridStructure, SortMarkerDroppedOnlyByChangesInItsColumn) {
  TestGrid g(4, 3, 1, 0);
  g.SetSortMarkerColumn(1);
  g.SetItemText(2, 2, "elsewhere");
  EXPECT_EQ(g.GetSortColumn(), 1);
  g.SetItemText(2, 1, "sorted column");
  EXPECT_EQ(g.GetSortColumn(), -1);
  g.SetSortMarkerColumn(1);
  g.SetRowCount(6);  // a grid-wide change
  EXPECT_EQ(g.GetSortColumn(), -1);
}

TEST(GridStructure, ModifiedFlags) {
  TestGrid g(3, 3);
  g.MarkModified(false);
  EXPECT_FALSE(g.IsModified());
  g.SetItemText(1, 1, "x");
  EXPECT_TRUE(g.IsModified());
  EXPECT_TRUE(g.IsCellModified(1, 1));
  EXPECT_FALSE(g.IsCellModified(1, 2));
  g.MarkModified(false);
  EXPECT_FALSE(g.IsCellModified(1, 1));
  EXPECT_FALSE(g.IsCellModified(-1, -1));
}

TEST(GridStructure, OutOfRangeCellsChangeNothing) {
  TestGrid g(2, 2);
  EXPECT_FALSE(g.SetItemText(2, 0, "x"));
  EXPECT_FALSE(g.SetItemBkColour(0, -1, 0));
  EXPECT_EQ(g.GetItemText(5, 5), "");
  EXPECT_EQ(g.GetCellImage(5, 5), -1);
  EXPECT_EQ(g.GetCell(-1, 0), nullptr);
  EXPECT_FALSE(g.SetRowHeight(2, 10));
  EXPECT_FALSE(g.SetColumnWidth(0, -1));
  EXPECT_EQ(g.RowHeightAt(2), -1);
}

TEST(GridStructure, CellRecordAppliesWhatItsMaskSays) {
  TestGrid g(3, 3);
  g.SetCellImage(1, 1, 7);
  CellRecord all;
  all.row = all.col = 1;
  all.mask = GVIF_TEXT | GVIF_BKCLR | GVIF_STATE;
  all.text = "t";
  all.backColour = draw::RGB(9, 9, 9);
  all.state = GVIS_READONLY;
  all.image = 3;  // not in the mask
  EXPECT_TRUE(g.ApplyCellRecord(&all));
  EXPECT_EQ(g.GetItemText(1, 1), "t");
  EXPECT_EQ(g.GetItemBkColour(1, 1), draw::RGB(9, 9, 9));
  EXPECT_TRUE(g.GetCellState(1, 1) & GVIS_READONLY);
  EXPECT_EQ(g.GetCellImage(1, 1), 7);
  EXPECT_FALSE(g.ApplyCellRecord(nullptr));

  // The editor's end-of-edit record carries text and the ending key as data: applying it
  // never touches the image.
  const CellRecord end = MakeEndEditRecord(2, 2, "typed", 9);
  EXPECT_EQ(end.mask, unsigned(GVIF_TEXT | GVIF_DATA));
  g.SetCellImage(2, 2, 4);
  EXPECT_TRUE(g.ApplyCellRecord(&end));
  EXPECT_EQ(g.GetItemText(2, 2), "typed");
  EXPECT_EQ(g.GetCellData(2, 2), 9);
  EXPECT_EQ(g.GetCellImage(2, 2), 4);
}

bool FillFromCallback(CellRecord* r, intptr_t param) {
  r->text = std::to_string(r->row) + ":" + std::to_string(r->col) + ":" + std::to_string(param);
  return true;
}

TEST(GridStructure, VirtualModeAsksForCells) {
  TestGrid g(3, 3, 1, 1);
  g.SetItemText(1, 1, "gone");
  g.SetVirtualMode(true);
  EXPECT_EQ(g.GetRowCount(), 0);
  EXPECT_FALSE(g.IsEditable());
  g.SetCallbackFunc(&FillFromCallback, 42);
  g.SetRowCount(4);
  g.SetColumnCount(3);
  g.SetFixedRowCount(1);
  g.SetFixedColumnCount(1);
  EXPECT_EQ(g.Invariants(), "");
  EXPECT_EQ(g.GetItemText(2, 1), "2:1:42");
  EXPECT_FALSE(g.SetItemText(2, 1, "x"));
  g.SetSelectedRange(2, 1, 2, 2);
  g.MoveFocus(2, 2);
  EXPECT_TRUE(g.IsCellSelected(2, 1));
  EXPECT_EQ(g.GetCell(2, 2)->GetState() & (GVIS_SELECTED | GVIS_FOCUSED), unsigned(GVIS_SELECTED | GVIS_FOCUSED));
  EXPECT_EQ(g.GetCell(0, 0)->GetState() & 0x70, 0x70u);
  EXPECT_EQ(g.GetSelectedCellRange(), CCellSpan(2, 1, 2, 2));
}

}  // namespace

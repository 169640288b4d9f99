// Selection spans, header clicks and the focus.
#include <gtest/gtest.h>

#include "grid_test_support.h"

namespace {

struct SpanCase {
  const char* name;
  bool listMode, singleRow, singleColumn;
  CCellID start;
  int mouseMode;
  CCellID to;
  CCellSpan expect;
};

// A grid of 8 rows and 6 columns with one fixed row and one fixed column.
const SpanCase kSpans[] = {
    {"Block", false, false, false, {2, 2}, 4, {4, 3}, {2, 2, 4, 3}},
    {"BlockUpwards", false, false, false, {5, 4}, 4, {3, 1}, {3, 1, 5, 4}},
    {"Rows", false, false, false, {2, 2}, 3, {4, 3}, {2, 1, 4, 5}},
    {"SingleRowInListMode", true, true, false, {2, 2}, 3, {4, 3}, {4, 1, 4, 5}},
    {"SingleRowNeedsListMode", false, true, false, {2, 2}, 3, {4, 3}, {2, 1, 4, 5}},
    {"Columns", false, false, false, {2, 2}, 2, {4, 4}, {1, 2, 7, 4}},
    {"SingleColumn", false, false, true, {2, 2}, 2, {4, 4}, {1, 4, 7, 4}},
    {"Everything", false, false, false, {2, 2}, 1, {4, 4}, {1, 1, 7, 5}},
    {"NoStartCellFallsBackToTheCell", false, false, false, {-1, -1}, 4, {3, 3}, {3, 3, 3, 3}},
    {"IntoTheFixedBandDoesNothing", false, false, false, {2, 2}, 4, {0, 3}, {8, 6, -1, -1}},
    {"OtherModeDoesNothing", false, false, false, {2, 2}, 9, {4, 3}, {8, 6, -1, -1}},
};

class SpanTest : public ::testing::TestWithParam<SpanCase> {};

TEST_P(SpanTest, Selects) {
  const SpanCase& c = GetParam();
  TestGrid g(8, 6, 1, 1);
  if (c.listMode) g.SetListMode(true);
  g.SetSingleRowSelection(c.singleRow);
  g.singleColumnSelection_ = c.singleColumn;
  g.selectionStartCell_ = c.start;
  g.mouseMode_ = c.mouseMode;
  g.ExtendSelectionTo(c.to);
  EXPECT_EQ(g.GetSelectedCellRange(), c.expect);
  const CCellSpan s = g.GetSelectedCellRange();
  if (g.IsValidRange(s)) {
    EXPECT_EQ(g.GetSelectedCount(), size_t((s.GetMaxRow() - s.GetMinRow() + 1) * (s.GetMaxCol() - s.GetMinCol() + 1)));
  }
  EXPECT_EQ(g.Invariants(), "");
}

INSTANTIATE_TEST_SUITE_P(Grid, SpanTest, ::testing::ValuesIn(kSpans),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridSelection, HeaderClickSortsAndFlips) {
  TestGrid g(4, 2, 1, 0);
  g.SetItemText(1, 1, "b");
  g.SetItemText(2, 1, "c");
  g.SetItemText(3, 1, "a");
  g.HandleColumnHeaderClick(CCellID(0, 1));
  EXPECT_EQ(g.GetItemText(1, 1), "b");  // no header sort: selects the column instead
  EXPECT_EQ(g.GetSelectedCellRange(), CCellSpan(1, 1, 3, 1));
  g.SetHeaderSort(true);
  g.HandleColumnHeaderClick(CCellID(0, 1));
  EXPECT_EQ(g.GetItemText(1, 1), "a");
  EXPECT_TRUE(g.GetSortAscending());
  g.HandleColumnHeaderClick(CCellID(0, 1));
  EXPECT_EQ(g.GetItemText(1, 1), "c");
  EXPECT_FALSE(g.GetSortAscending());
}

TEST(GridSelection, RowHeaderClickSelectsRows) {
  TestGrid g(5, 4, 1, 1);
  g.selectionStartCell_ = CCellID(2, 0);
  g.HandleRowHeaderClick(CCellID(3, 0));
  EXPECT_EQ(g.GetSelectedCellRange(), CCellSpan(2, 1, 3, 3));
  g.SetRowHeaderSelection(false);
  g.ClearSelectionAndFocus();
  g.HandleRowHeaderClick(CCellID(3, 0));
  EXPECT_EQ(g.GetSelectedCount(), 0u);
}

TEST(GridSelection, DisabledSelectionSelectsNothing) {
  TestGrid g(5, 4, 1, 1);
  g.EnableSelection(false);
  g.SelectEverything();
  g.SetSelectedRange(1, 1, 2, 2);
  EXPECT_EQ(g.GetSelectedCount(), 0u);
  EXPECT_FALSE(g.IsCellSelected(1, 1));
}

TEST(GridSelection, PreviousSelectionIsKeptByACtrlGesture) {
  TestGrid g(6, 6, 1, 1);
  g.SetSelectedRange(1, 1, 1, 2);
  g.KeepPreviousSelection();
  g.SetSelectedRange(4, 4, 5, 5);
  EXPECT_TRUE(g.IsCellSelected(1, 2));
  EXPECT_TRUE(g.IsCellSelected(5, 5));
  EXPECT_FALSE(g.IsCellSelected(3, 3));
  g.ClearSelectionAndFocus();
  g.SetSelectedRange(4, 4, 4, 4);
  EXPECT_FALSE(g.IsCellSelected(1, 2));
}

TEST(GridSelection, FormattedText) {
  TestGrid g(2, 2);
  EXPECT_TRUE(g.FormatItemText(1, 1, "%d/%s %.1f", 12, "фл", 7.25));
  EXPECT_EQ(g.GetItemText(1, 1), "12/фл 7.2");
  EXPECT_FALSE(g.FormatItemText(5, 1, "%d", 1));
}

}  // namespace

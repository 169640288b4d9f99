// Stretching rows and columns to the window, and the sums the geometry rests on.
#include <gtest/gtest.h>

#include <climits>

#include "controls/grid/stretch.h"
#include "grid_test_support.h"

namespace {

struct StretchCase {
  const char* name;
  std::vector<int> sizes;
  int first;
  int target;
  std::vector<int> expect;
};

const StretchCase kStretches[] = {
    {"GrowEvenly", {30, 30, 40}, 0, 103, {31, 31, 41}},
    {"ShrinkWithRemainder", {30, 40, 40}, 0, 103, {27, 38, 38}},
    {"GrowRemainderToTheFirst", {10, 10, 10}, 0, 35, {12, 12, 11}},
    {"HiddenStaysHiddenButCountsInTheWalk", {10, 0, 10, 10}, 0, 32, {11, 0, 10, 10}},
    {"FixedPartLeftAlone", {50, 10, 10}, 1, 80, {50, 15, 15}},
    {"ExactFitUnchanged", {20, 30}, 0, 50, {20, 30}},
    {"ShrinkFarBelowNeverNegative", {5, 2, 100}, 0, 10, {1, 1, 8}},
    {"FloorHoldsWhenNothingFits", {50, 4, 4}, 1, 51, {50, 1, 1}},
    {"TargetZero", {5, 5}, 0, 0, {1, 1}},
    {"TargetNegative", {7, 3}, 0, -50, {1, 1}},
    {"AllHidden", {0, 0}, 0, 100, {0, 0}},
    {"FirstPastTheEnd", {10}, 3, 100, {10}},
    {"HugeGrowthDoesNotOverflow", {1, 1}, 0, INT_MAX, {INT_MAX / 2 + 1, INT_MAX / 2}},
};

class StretchTest : public ::testing::TestWithParam<StretchCase> {};

TEST_P(StretchTest, Shares) {
  const StretchCase& c = GetParam();
  std::vector<int> sizes = c.sizes;
  grid::StretchSizes(sizes, c.first, c.target);
  EXPECT_EQ(sizes, c.expect);
  for (size_t i = 0; i < sizes.size(); ++i) {
    EXPECT_GE(sizes[i], 0) << i;
    EXPECT_EQ(sizes[i] == 0, c.sizes[i] == 0) << "shown/hidden changed at " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Grid, StretchTest, ::testing::ValuesIn(kStretches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridStretch, ColumnsAndRowsToTheClientArea) {
  TestGrid g(3, 3, 1, 1);
  for (int i = 0; i < 3; ++i) {
    g.SetColumnWidth(i, 30 + 10 * i);
    g.SetRowHeight(i, 20);
  }
  g.client = draw::Size(200, 10);
  g.StretchColumnsToFit(false);
  EXPECT_EQ(g.ColumnWidthAt(0), 30);
  EXPECT_EQ(g.TotalWidth(), 200);
  g.StretchRowsToFit(true);
  for (int r = 0; r < 3; ++r) EXPECT_GE(g.RowHeightAt(r), 1);
  g.client = draw::Size(500, 60);
  g.StretchToFit();
  EXPECT_EQ(g.TotalWidth(), 500);
  EXPECT_EQ(g.TotalHeight(), 60);
  EXPECT_EQ(g.FixedRowsHeight(), g.RowHeightAt(0));
  EXPECT_EQ(g.FixedColumnsWidth(), g.ColumnWidthAt(0));
}

TEST(GridStretch, LastColumnTakesTheRest) {
  TestGrid g(2, 4);
  for (int i = 0; i < 4; ++i) g.SetColumnWidth(i, 10);
  g.SetColumnWidth(3, 0);
  g.client = draw::Size(100, 50);
  g.StretchLastColumn();
  EXPECT_EQ(g.ColumnWidthAt(2), 80);
  EXPECT_EQ(g.ColumnWidthAt(3), 0);
  g.client = draw::Size(50, 50);  // narrower than the columns: nothing is taken away
  g.StretchLastColumn();
  EXPECT_EQ(g.ColumnWidthAt(2), 80);
}

TEST(GridStretch, FittingToContent) {
  FakeMeasurer m;
  TestGrid g(3, 2, 1, 0);
  g.SetItemText(0, 0, "No.");
  g.SetItemText(1, 0, "123456");
  g.SetItemText(2, 0, "1");
  // Nothing to measure with: sizes stay.
  EXPECT_FALSE(g.FitColumnToContent(0));
  g.SetTextMeasurer(&m);
  EXPECT_TRUE(g.FitColumnToContent(0, 1));  // fixed rows only
  EXPECT_EQ(g.ColumnWidthAt(0), 3 * 8 + 16);
  EXPECT_TRUE(g.FitColumnToContent(0));  // the grid's style: all rows
  EXPECT_EQ(g.ColumnWidthAt(0), 6 * 8 + 16);
  g.SetColumnWidth(1, 0);
  EXPECT_FALSE(g.FitColumnToContent(1));
  EXPECT_EQ(g.ColumnWidthAt(1), 0);
  EXPECT_TRUE(g.FitRowToContent(1));
  // The empty cell of the row measures as the default cell: 20 * 3 / 2.
  EXPECT_EQ(g.RowHeightAt(1), 30);
  g.GetDefaultCell(false, false)->SetHeight(5);
  EXPECT_TRUE(g.FitRowToContent(1));
  EXPECT_EQ(g.RowHeightAt(1), 20 + 8);
}

}  // namespace

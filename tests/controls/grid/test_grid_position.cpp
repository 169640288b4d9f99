// Cell positions in the client area, with and without scrolling.
#include <gtest/gtest.h>

#include "grid_test_support.h"

namespace {

// 1 fixed row of 15 and 1 fixed column of 40; body rows 20 high, body columns 30 wide;
// 10 rows and 8 columns in all; a client area of 150 x 100.
void Shape(TestGrid& g) {
  g.SetColumnCount(8);
  g.SetRowCount(10);
  g.SetFixedRowCount(1);
  g.SetFixedColumnCount(1);
  g.SetRowHeight(0, 15);
  g.SetColumnWidth(0, 40);
  for (int r = 1; r < 10; ++r) g.SetRowHeight(r, 20);
  for (int c = 1; c < 8; ++c) g.SetColumnWidth(c, 30);
  g.client = draw::Size(150, 100);
  g.window = true;
}

TEST(GridPosition, CellRectanglesAreInclusive) {
  TestGrid g;
  Shape(g);
  struct Case {
    int row, col;
    bool ok;
    draw::Rect expect;
  } cases[] = {
      {0, 0, true, {0, 0, 39, 14}},
      {0, 1, true, {40, 0, 69, 14}},
      {1, 0, true, {0, 15, 39, 34}},
      {2, 3, true, {100, 35, 129, 54}},
      {10, 0, false, {}},
  };
  for (const Case& c : cases) {
    draw::Rect r;
    EXPECT_EQ(g.ComputeCellRect(c.row, c.col, &r), c.ok) << c.row << "," << c.col;
    if (c.ok) {
      EXPECT_EQ(r, c.expect) << c.row << "," << c.col;
    }
  }
  draw::Rect span;
  ASSERT_TRUE(g.ComputeSpanRect(CCellSpan(1, 1, 2, 2), &span));
  EXPECT_EQ(span, draw::Rect(40, 15, 99, 54));
}

TEST(GridPosition, ScrollingMovesTheBodyOnly) {
  TestGrid g;
  Shape(g);
  g.scrollX = 45;  // inside column 2: column 3 shows at the left edge
  g.scrollY = 20;
  EXPECT_EQ(g.FindTopLeftCell(true), CCellID(2, 3));
  draw::Rect r;
  ASSERT_TRUE(g.ComputeCellRect(2, 3, &r));
  EXPECT_EQ(r, draw::Rect(40, 15, 69, 34));
  ASSERT_TRUE(g.ComputeCellRect(0, 3, &r));  // the header cell of a scrolled column follows it
  EXPECT_EQ(r, draw::Rect(40, 0, 69, 14));
  EXPECT_FALSE(g.ComputeCellRect(1, 3, &r));  // scrolled out at the top
  EXPECT_FALSE(g.ComputeCellRect(2, 2, &r));  // scrolled out at the left
  EXPECT_EQ(g.GetVisibleRange(), CCellSpan(2, 3, 6, 6));
  EXPECT_EQ(g.GetFullyVisibleRange(), CCellSpan(2, 3, 5, 5));
  EXPECT_EQ(g.HitTestCell(draw::Point(41, 16)), CCellID(2, 3));
  EXPECT_EQ(g.PointInCell(2, 3, draw::Point(45, 20)), draw::Point(5, 5));
}

TEST(GridPosition, HitTests) {
  TestGrid g;
  Shape(g);
  g.SetColumnWidth(2, 0);  // hidden: never hit
  struct Case {
    draw::Point p;
    bool allowFixed;
    CCellID expect;
  } cases[] = {
      {{45, 20}, false, {1, 1}},
      {{70, 20}, false, {1, 3}},
      {{10, 20}, false, {1, -1}},  // a fixed column without allowFixed
      {{10, 20}, true, {1, 0}},
      {{10, 5}, true, {0, 0}},
      {{-1, 20}, true, {1, -1}},
      {{500, 20}, false, {1, -1}},  // right of the last column
      {{45, 500}, false, {-1, 1}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(g.HitTestCell(c.p, c.allowFixed), c.expect) << c.p.x << "," << c.p.y << " " << c.allowFixed;
}

TEST(GridPosition, OnScreen) {
  TestGrid g;
  Shape(g);
  EXPECT_TRUE(g.IsCellOnScreen(1, 1));
  EXPECT_TRUE(g.IsCellOnScreen(5, 4));   // partly visible: top at 95
  EXPECT_FALSE(g.IsCellOnScreen(6, 1));  // top at 115
  EXPECT_FALSE(g.IsCellOnScreen(1, 5));  // left at 160
  g.window = false;
  EXPECT_FALSE(g.IsCellOnScreen(1, 1));
}

}  // namespace

// Geometry of the grid window: inclusive cell rectangles, hit tests after scrolling, the
// scroll bars and their ranges, line and page scrolling, the wheel and EnsureVisible.
#include <cstdlib>

#include "tests/controls/grid/grid_window_fixture.h"

TEST_F(GridWindowTest, CellRectanglesAreInclusiveAndHitTestsFindTheCell) {
  draw::Rect r;
  ASSERT_TRUE(grid->ComputeCellRect(1, 2, &r));
  EXPECT_EQ(r, draw::Rect(100, 20, 149, 39));
  EXPECT_EQ(grid->HitTestCell(draw::Point(149, 39)), CCellID(1, 2));
  EXPECT_EQ(grid->HitTestCell(draw::Point(150, 40)), CCellID(2, 3));
  EXPECT_EQ(grid->HitTestCell(draw::Point(20, 50)), CCellID(2, -1));  // fixed column, not allowed
  EXPECT_EQ(grid->HitTestCell(draw::Point(20, 50), true), CCellID(2, 0));
  EXPECT_EQ(grid->HitTestCell(draw::Point(350, 50), true), CCellID(2, -1));  // right of the cells
}

TEST_F(GridWindowTest, ScrollBarsAppearOnlyWhenTheCellsDoNotFit) {
  struct Case {
    int rows, colWidth;
    bool horz, vert;
    int horzMax, vertMax;
  } cases[] = {
      {10, 50, false, false, 0, 0},
      // 49 body rows of 20 = 980 pixels in 280.
      {50, 50, false, true, 0, 979},
      // Columns fit the 400 pixels, but not the 384 left beside a vertical bar: both bars.
      {50, 65, true, true, 5 * 65 - 1, 979},
      // Wide columns, few rows: only the horizontal bar.
      {5, 100, true, false, 5 * 100 - 1, 0},
  };
  for (const Case& c : cases) {
    grid->SetRowCount(c.rows);
    Shape(20, c.colWidth);
    grid->UpdateScrollBars();
    d.Settle();
    EXPECT_EQ(grid->HasScrollBar(ui::SB_HORZ), c.horz) << c.rows << "x" << c.colWidth;
    EXPECT_EQ(grid->HasScrollBar(ui::SB_VERT), c.vert) << c.rows << "x" << c.colWidth;
    EXPECT_EQ(grid->GetHorizontalScrollMax(), c.horzMax) << c.rows << "x" << c.colWidth;
    EXPECT_EQ(grid->GetVerticalScrollMax(), c.vertMax) << c.rows << "x" << c.colWidth;
    EXPECT_EQ(bool(grid->GetScrollBarsShown() & 1), c.horz);
    EXPECT_EQ(grid->GetVerticalBarShown(), c.vert);
  }
}

class ScrollingGridTest : public GridWindowTest {
 protected:
  void SetUp() override {
    GridWindowTest::SetUp();
    grid->SetRowCount(50);
    grid->SetColumnCount(12);
    Shape(20, 50);
    grid->UpdateScrollBars();
    d.Settle();
  }
  int VPos() { return grid->GetScrollPos(ui::SB_VERT); }
  int HPos() { return grid->GetScrollPos(ui::SB_HORZ); }
  void VScroll(int code) { grid->SendMessage(ui::WM_VSCROLL, ui::MakeWParam(code, 0)); }
  void HScroll(int code) { grid->SendMessage(ui::WM_HSCROLL, ui::MakeWParam(code, 0)); }
};

TEST_F(ScrollingGridTest, LineAndPageScrollingMoveByRowsAndByTheBodyHeight) {
  VScroll(ui::SB_LINEUP);
  EXPECT_EQ(VPos(), 0);  // nothing above the first body row
  VScroll(ui::SB_LINEDOWN);
  EXPECT_EQ(VPos(), 20);
  EXPECT_EQ(grid->HitTestCell(draw::Point(75, 25)), CCellID(2, 1));
  EXPECT_EQ(grid->GetVisibleRange().GetMinRow(), 2);
  // The client is 284 high beside the bars; the body 264 below the header row.
  const int body = grid->GetClientRect().Height() - 20;
  VScroll(ui::SB_PAGEDOWN);
  EXPECT_EQ(VPos(), 20 + body);
  VScroll(ui::SB_BOTTOM);
  const int bottom = VPos();
  VScroll(ui::SB_LINEDOWN);
  EXPECT_EQ(VPos(), bottom);
  // The last row is wholly shown at the bottom.
  draw::Rect r;
  ASSERT_TRUE(grid->ComputeCellRect(49, 1, &r));
  EXPECT_LE(r.bottom, grid->GetClientRect().bottom - 1);
  VScroll(ui::SB_TOP);
  EXPECT_EQ(VPos(), 0);
  // Horizontal line scrolling skips a hidden column.
  grid->SetColumnWidth(1, 0);
  HScroll(ui::SB_LINERIGHT);
  EXPECT_EQ(HPos(), 50);
  EXPECT_EQ(grid->GetVisibleRange().GetMinCol(), 3);
}

TEST_F(ScrollingGridTest, WheelPostsOneLinePerConfiguredLine) {
  VScroll(ui::SB_PAGEDOWN);
  const int start = VPos();
  grid->SetFocus();  // the wheel goes to the window with the focus
  ui::InputEvent e;
  e.kind = ui::InputEvent::Kind::Wheel;
  e.pt = Screen(100, 100);
  e.wheel = 120;
  ui::InjectInput(e);
  d.Settle();
  EXPECT_EQ(VPos(), start - 3 * 20);
  e.wheel = -240;
  ui::InjectInput(e);
  d.Settle();
  EXPECT_EQ(VPos(), start + 3 * 20);

  // The page setting of the desktop: one page per notch.
  setenv("QUORVEX_WHEEL_LINES", "4294967295", 1);
  grid->SendMessage(ui::WM_SETTINGCHANGE);
  unsetenv("QUORVEX_WHEEL_LINES");
  VScroll(ui::SB_TOP);
  e.wheel = -120;
  ui::InjectInput(e);
  d.Settle();
  EXPECT_EQ(VPos(), grid->GetClientRect().Height() - 20);
}

TEST_F(ScrollingGridTest, EnsureVisibleBringsACellWhollyOnScreenFromEitherSide) {
  grid->EnsureVisible(40, 10);
  EXPECT_TRUE(grid->IsCellOnScreen(40, 10));
  draw::Rect r;
  ASSERT_TRUE(grid->ComputeCellRect(40, 10, &r));
  EXPECT_LE(r.right, grid->GetClientRect().right);
  EXPECT_LE(r.bottom, grid->GetClientRect().bottom);
  grid->EnsureVisible(3, 2);
  EXPECT_TRUE(grid->IsCellOnScreen(3, 2));
  EXPECT_EQ(grid->GetVisibleRange().GetMinCol(), 2);
  EXPECT_EQ(grid->GetVisibleRange().GetMinRow(), 3);
}

TEST_F(ScrollingGridTest, KeysScrollTheFocusIntoView) {
  ClickCell(1, 1);
  for (int i = 0; i < 20; ++i) d.Key(ui::VK_DOWN);
  EXPECT_EQ(grid->GetFocusCell(), CCellID(21, 1));
  EXPECT_TRUE(grid->IsCellOnScreen(21, 1));
  ASSERT_GT(VPos(), 0);
  // Page Down moves the focus by as many rows as the top row moved.
  const int top = grid->GetVisibleRange().GetMinRow();
  d.Key(ui::VK_NEXT);
  const int moved = grid->GetVisibleRange().GetMinRow() - top;
  EXPECT_GT(moved, 0);
  EXPECT_EQ(grid->GetFocusCell(), CCellID(21 + moved, 1));
  d.Key(ui::VK_END, false, true);
  EXPECT_EQ(grid->GetFocusCell(), CCellID(49, 11));
  EXPECT_TRUE(grid->IsCellOnScreen(49, 11));
  d.Key(ui::VK_HOME, false, true);
  EXPECT_EQ(grid->GetFocusCell(), CCellID(1, 1));
  EXPECT_EQ(VPos(), 0);
  EXPECT_EQ(HPos(), 0);
}

TEST_F(ScrollingGridTest, ShrinkingTheContentHidesTheBarsAndResetsThePosition) {
  VScroll(ui::SB_PAGEDOWN);
  ASSERT_GT(VPos(), 0);
  grid->SetRowCount(5);
  d.Settle();
  EXPECT_FALSE(grid->HasScrollBar(ui::SB_VERT));
  EXPECT_EQ(VPos(), 0);
  EXPECT_EQ(grid->GetVisibleRange().GetMinRow(), 1);
}

TEST_F(ScrollingGridTest, HoldingThePointerBelowTheGridScrollsAndExtendsTheSelection) {
  const draw::Point p = Middle(3, 2);
  Mouse(ui::InputEvent::Kind::MouseMove, p.x, p.y);
  Mouse(ui::InputEvent::Kind::MouseDown, p.x, p.y);
  // Below the client area, the button still down (the grid holds the capture).
  Mouse(ui::InputEvent::Kind::MouseMove, p.x, grid->GetClientRect().bottom + 30);
  // Each tick sends the Down key: the focus walks down and the body scrolls once it has
  // reached the bottom edge.
  const int before = VPos();
  d.Advance(25 * 30);
  EXPECT_GT(VPos(), before);
  EXPECT_GT(grid->GetFocusCell().row, 20);
  const CCellSpan sel = grid->GetSelectedCellRange();
  EXPECT_EQ(sel.GetMinRow(), 3);
  EXPECT_GT(sel.GetMaxRow(), 14);
  EXPECT_EQ(sel.GetMinCol(), 2);
  Mouse(ui::InputEvent::Kind::MouseUp, p.x, grid->GetClientRect().bottom + 30);
  // Released: the timer stops.
  const int after = VPos();
  d.Advance(25 * 10);
  EXPECT_EQ(VPos(), after);
}

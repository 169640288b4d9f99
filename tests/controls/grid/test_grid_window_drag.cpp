// Dragging selected cells between our grids: off by default, move empties the source
// after the target took the text, Ctrl copies, read-only targets take nothing.
#include "tests/controls/grid/grid_window_fixture.h"

using K = ui::InputEvent::Kind;

class GridDragTest : public GridWindowTest {
 protected:
  void SetUp() override {
    GridWindowTest::SetUp();
    other = std::make_unique<CGridCtrl>(6, 4, 1, 1);
    ASSERT_TRUE(other->Create(draw::Rect(420, 10, 720, 200), host.get(), 99, ui::WS_CHILD | ui::WS_VISIBLE));
    for (int r = 0; r < 6; ++r) other->SetRowHeight(r, 20);
    for (int c = 0; c < 4; ++c) other->SetColumnWidth(c, 50);
    d.Settle();
  }
  void TearDown() override {
    other.reset();
    GridWindowTest::TearDown();
  }
  // Selects (2,2)..(2,3) of the grid (texts "A" and "B"), then presses on (2,2) and moves
  // to `target` (screen), with Ctrl held from the move on when asked.
  void DragSelectionTo(draw::Point target, bool ctrl = false) {
    grid->SetItemText(2, 2, "A");
    grid->SetItemText(2, 3, "B");
    ClickCell(2, 2);
    ClickCell(2, 3, /*shift=*/true);
    const draw::Point p = Middle(2, 2);
    Mouse(K::MouseDown, p.x, p.y);
    Mouse(K::MouseMove, p.x + 5, p.y, false, ctrl);
    const draw::Point local = grid->ScreenToClient(target);
    Mouse(K::MouseMove, local.x, local.y, false, ctrl);
    Mouse(K::MouseUp, local.x, local.y, false, ctrl);
  }
  draw::Point OtherCell(int row, int col) {
    draw::Rect r;
    EXPECT_TRUE(other->ComputeCellRect(row, col, &r));
    return other->ClientToScreen(draw::Point((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
  std::unique_ptr<CGridCtrl> other;
};

TEST_F(GridDragTest, WithDragAndDropOffNothingMoves) {
  DragSelectionTo(OtherCell(1, 1));
  EXPECT_EQ(other->GetItemText(1, 1), "");
  EXPECT_EQ(grid->GetItemText(2, 2), "A");
  for (const GridNote& n : host->notes) EXPECT_NE(n.code, GVN_BEGINDRAG);
  EXPECT_EQ(other->OnDragEnter(true, 0, draw::Point(75, 30)), CGridCtrl::kDropNone);
}

TEST_F(GridDragTest, MoveDropFillsTheTargetAndEmptiesTheSource) {
  grid->EnableDragAndDrop();
  other->EnableDragAndDrop();
  Clear();
  DragSelectionTo(OtherCell(1, 1));
  EXPECT_EQ(other->GetItemText(1, 1), "A");
  EXPECT_EQ(other->GetItemText(1, 2), "B");
  EXPECT_EQ(grid->GetItemText(2, 2), "");
  EXPECT_EQ(grid->GetItemText(2, 3), "");
  EXPECT_EQ(grid->GetMouseMode(), 0);
  EXPECT_EQ(other->GetCellState(1, 1) & GVIS_DROPHILITED, 0u);
  ASSERT_FALSE(host->notes.empty());
  bool began = false;
  for (const GridNote& n : host->notes) began |= n == GridNote{GVN_BEGINDRAG, 2, 2};
  EXPECT_TRUE(began);
}

TEST_F(GridDragTest, CtrlDropCopiesAndReadOnlyTargetsRefuse) {
  grid->EnableDragAndDrop();
  other->EnableDragAndDrop();
  DragSelectionTo(OtherCell(3, 1), /*ctrl=*/true);
  EXPECT_EQ(other->GetItemText(3, 1), "A");
  EXPECT_EQ(grid->GetItemText(2, 2), "A");

  other->SetCellState(4, 1, other->GetCellState(4, 1) | GVIS_READONLY);
  DragSelectionTo(OtherCell(4, 1));
  EXPECT_EQ(other->GetItemText(4, 1), "");
  EXPECT_EQ(grid->GetItemText(2, 2), "A");
}

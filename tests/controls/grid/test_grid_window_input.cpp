// The grid window driven by the pointer and the keys: selection gestures, the exact order
// of the notifications to the owner, border drags, and where each navigation key moves
// the focus.
#include "tests/controls/grid/grid_window_fixture.h"

#include "platform/ui/window_class.h"

using K = ui::InputEvent::Kind;

TEST_F(GridWindowTest, WindowClassIsRegisteredOnceAndNamesTheGrid) {
  EXPECT_TRUE(ui::IsWindowClassRegistered(kGridWindowClass));
  EXPECT_EQ(grid->ClassName(), kGridWindowClass);
  EXPECT_TRUE(CGridCtrl::RegisterWindowClass());
  // A dialog template names the class: the framework makes a grid object.
  std::unique_ptr<ui::Window> made(ui::CreateWindowObject(kGridWindowClass));
  EXPECT_NE(dynamic_cast<CGridCtrl*>(made.get()), nullptr);
}

TEST_F(GridWindowTest, CreateSizesRowsAndColumnsToTheMeasuredDefaultCell) {
  CGridCtrl g(3, 2, 1, 1);
  ASSERT_TRUE(g.Create(draw::Rect(0, 0, 200, 100), host.get(), 77));
  const CGridDefaultCell* def = g.GetDefaultCell(false, false);
  EXPECT_GT(def->GetHeight(), 10);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(g.RowHeightAt(r), def->GetHeight());
  for (int c = 0; c < 2; ++c) EXPECT_EQ(g.ColumnWidthAt(c), def->GetWidth());
}

TEST_F(GridWindowTest, TapOnABodyCellNotifiesInOrderAndPostsTheCommand) {
  Clear();
  ClickCell(3, 2);
  const std::vector<GridNote> want = {{GVN_SELCHANGING, 3, 2}, {GVN_SELCHANGED, 3, 2}, {GVN_CLICK, 3, 2}};
  EXPECT_EQ(host->notes, want);
  EXPECT_EQ(host->commands, std::vector<int>{kGridId});
  EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 2));
  EXPECT_TRUE(grid->IsCellSelected(3, 2));
  EXPECT_EQ(grid->GetSelectedCount(), 1u);
  EXPECT_EQ(ui::Window::GetFocus(), grid.get());
}

TEST_F(GridWindowTest, OwnerWindowGetsTheNotificationsInsteadOfTheParent) {
  GridHost owner;
  ASSERT_TRUE(owner.Create("GridHost", "owner", ui::WS_POPUP, draw::Rect(0, 0, 10, 10), nullptr));
  grid->SetOwner(&owner);
  Clear();
  ClickCell(2, 2);
  EXPECT_TRUE(host->notes.empty());
  EXPECT_EQ(owner.notes.size(), 3u);
  EXPECT_EQ(owner.commands, std::vector<int>{kGridId});
  grid->SetOwner(nullptr);
}

TEST_F(GridWindowTest, ShiftClickExtendsAndCtrlClickTakesOneCellOut) {
  ClickCell(2, 1);
  ClickCell(4, 3, /*shift=*/true);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(2, 1, 4, 3));
  EXPECT_EQ(grid->GetSelectedCount(), 9u);
  ClickCell(3, 2, false, /*ctrl=*/true);
  EXPECT_FALSE(grid->IsCellSelected(3, 2));
  EXPECT_EQ(grid->GetSelectedCount(), 8u);
  EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 2));
}

TEST_F(GridWindowTest, ShiftClickWithoutAnchorExtendsFromTheFocusCell) {
  grid->MoveFocus(2, 2);
  ClickCell(4, 4, /*shift=*/true);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(2, 2, 4, 4));
}

TEST_F(GridWindowTest, HeaderTapsSelectColumnsRowsOrEverything) {
  ClickCell(0, 3);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(1, 3, 9, 3));
  EXPECT_EQ(grid->GetFocusCell(), CCellID());
  ClickCell(4, 0);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(4, 1, 4, 5));
  ClickCell(0, 0);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(1, 1, 9, 5));
}

TEST_F(GridWindowTest, ListModeSingleRowTapSelectsOnlyThatRow) {
  grid->SetListMode(true);
  grid->SetSingleRowSelection(true);
  Shape(20, 50);
  ClickCell(2, 2);
  ClickCell(5, 3, false, /*ctrl=*/true);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(5, 1, 5, 5));
}

TEST_F(GridWindowTest, DraggingAcrossCellsExtendsTheBlockAndMovesTheFocus) {
  const draw::Point a = Middle(2, 1), b = Middle(4, 3);
  Mouse(K::MouseMove, a.x, a.y);
  Mouse(K::MouseDown, a.x, a.y);
  Mouse(K::MouseMove, b.x, b.y);
  EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 3));
  Clear();
  Mouse(K::MouseUp, b.x, b.y);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(2, 1, 4, 3));
  const std::vector<GridNote> want = {{GVN_SELCHANGED, 4, 3}, {GVN_CLICK, 2, 1}};
  EXPECT_EQ(host->notes, want);
}

// Dragging along the header row selects whole columns, along the header column whole rows;
// the focus goes with the pointer into the first body row or column.
TEST_F(GridWindowTest, DraggingAcrossHeadersMovesTheFocusIntoTheBody) {
  struct Case {
    CCellID from, to;
    CCellSpan selected;
    CCellID focus;
  } cases[] = {
      {{0, 2}, {0, 4}, {1, 2, 9, 4}, {1, 4}},  // column headers: rows 1..9, focus in row 1
      {{2, 0}, {5, 0}, {2, 1, 5, 5}, {5, 1}},  // row headers: columns 1..5, focus in column 1
  };
  for (const Case& c : cases) {
    const draw::Point a = Middle(c.from.row, c.from.col), b = Middle(c.to.row, c.to.col);
    Mouse(K::MouseMove, a.x, a.y);
    Mouse(K::MouseDown, a.x, a.y);
    EXPECT_EQ(grid->GetFocusCell(), CCellID()) << "a press on a header leaves no focus";
    Mouse(K::MouseMove, b.x, b.y);
    EXPECT_EQ(grid->GetFocusCell(), c.focus) << c.to.row << "," << c.to.col;
    Mouse(K::MouseUp, b.x, b.y);
    EXPECT_EQ(grid->GetSelectedCellRange(), c.selected);
    EXPECT_EQ(grid->GetFocusCell(), c.focus);
  }
}

TEST_F(GridWindowTest, PressOnFocusTextThenMovingTurnsIntoAFailedDragThatClears) {
  ClickCell(3, 3);
  Clear();
  const draw::Point p = Middle(3, 3);
  Mouse(K::MouseDown, p.x, p.y);
  EXPECT_EQ(grid->GetMouseMode(), 10);
  Mouse(K::MouseMove, p.x + 2, p.y);
  Mouse(K::MouseUp, p.x + 2, p.y);
  const std::vector<GridNote> want = {{GVN_CLICK, 3, 3}, {GVN_SELCHANGING, 3, 3}, {GVN_SELCHANGED, -1, -1}};
  EXPECT_EQ(host->notes, want);
  EXPECT_EQ(grid->GetFocusCell(), CCellID());
  EXPECT_EQ(grid->GetSelectedCount(), 0u);
  EXPECT_EQ(host->commands, std::vector<int>{kGridId});
}

TEST_F(GridWindowTest, RightClickMovesTheFocusIntoTheBodyAndNotifies) {
  Clear();
  const draw::Point p = Middle(0, 2);
  Mouse(K::MouseDown, p.x, p.y, false, false, 1, 1);
  Mouse(K::MouseUp, p.x, p.y, false, false, 1, 1);
  EXPECT_EQ(host->notes, (std::vector<GridNote>{{GVN_RCLICK, 0, 2}}));
  EXPECT_EQ(grid->GetFocusCell(), CCellID(1, 2));
  Clear();
  // Outside every cell (the grid is 300 wide, the cells end at 300; the client is 400).
  Mouse(K::MouseDown, 380, 250, false, false, 1, 1);
  Mouse(K::MouseUp, 380, 250, false, false, 1, 1);
  EXPECT_EQ(host->notes, (std::vector<GridNote>{{GVN_RCLICK, -1, -1}}));
}

TEST_F(GridWindowTest, DoubleClickOnABodyCellNotifiesAndOpensTheEditor) {
  Clear();
  const draw::Point p = Middle(2, 2);
  d.DoubleClickAt(Screen(p.x, p.y));
  ASSERT_FALSE(host->notes.empty());
  EXPECT_EQ(host->notes.back(), (GridNote{GVN_DBLCLK, 2, 2}));
  EXPECT_TRUE(grid->IsCellEditing(2, 2));
}

TEST_F(GridWindowTest, BorderGrabsOnlyInTheHeaderBandAndNotAtColumnZero) {
  // Column 2 starts at x = 100.
  struct Case {
    int x, y;
    bool over;
  } cases[] = {
      {102, 5, true},   // first pixels of the next cell
      {98, 5, true},    // last two pixels of the cell before
      {97, 5, false},
      {103, 5, false},
      {102, 45, false}, // a body row
      {1, 5, false},    // left border of column 0
  };
  for (const Case& c : cases) EXPECT_EQ(grid->OverColumnBorder(draw::Point(c.x, c.y)), c.over) << c.x << "," << c.y;
  EXPECT_TRUE(grid->OverRowBorder(draw::Point(5, 41)));
  EXPECT_FALSE(grid->OverRowBorder(draw::Point(60, 41)));
}

TEST_F(GridWindowTest, BorderDragSizesHidesOrKeepsOnePixel) {
  struct Case {
    bool hideAllowed;
    int releaseX;
    int width;
  } cases[] = {{true, 130, 30}, {true, 90, 0}, {false, 90, 1}};
  for (const Case& c : cases) {
    grid->SetColumnWidth(2, 50);
    grid->SetColumnHideByDrag(c.hideAllowed);
    Clear();
    Mouse(K::MouseMove, 150, 5);
    EXPECT_EQ(grid->GetMouseMode(), 8);
    Mouse(K::MouseDown, 150, 5);
    EXPECT_EQ(grid->GetMouseMode(), 9);
    Mouse(K::MouseMove, c.releaseX, 5);
    Mouse(K::MouseUp, c.releaseX, 5);
    EXPECT_EQ(grid->ColumnWidthAt(2), c.width) << c.releaseX;
    EXPECT_NE(grid->GetMouseMode(), 9);  // the drag is over (the pointer may rest on a border)
    for (const GridNote& n : host->notes) EXPECT_NE(n.code, GVN_CLICK);
  }
}

TEST_F(GridWindowTest, DoubleClickOnABorderFitsTheColumnOnItsLeft) {
  grid->SetItemText(3, 1, "a much longer text than fits");
  Mouse(K::MouseMove, 100, 5);
  ASSERT_EQ(grid->GetMouseMode(), 8);
  d.DoubleClickAt(Screen(100, 5));
  EXPECT_GT(grid->ColumnWidthAt(1), 100);
}

// --- keys -------------------------------------------------------------------------------

struct KeyCase {
  const char* name;
  CCellID from;
  unsigned vk;
  bool shift, ctrl;
  CCellID to;
};

TEST_F(GridWindowTest, NavigationKeysMoveTheFocusToTheirTargets) {
  // Row 4 and column 3 are hidden.
  grid->SetRowHeight(4, 0);
  grid->SetColumnWidth(3, 0);
  const KeyCase cases[] = {
      {"down", {3, 2}, ui::VK_DOWN, false, false, {5, 2}},
      {"down at last row", {9, 2}, ui::VK_DOWN, false, false, {9, 2}},
      {"up over hidden", {5, 2}, ui::VK_UP, false, false, {3, 2}},
      {"up stays out of the header", {1, 2}, ui::VK_UP, false, false, {1, 2}},
      {"right over hidden", {2, 2}, ui::VK_RIGHT, false, false, {2, 4}},
      {"left stays out of the fixed column", {2, 1}, ui::VK_LEFT, false, false, {2, 1}},
      {"tab", {2, 2}, ui::VK_TAB, false, false, {2, 4}},
      {"tab wraps", {2, 5}, ui::VK_TAB, false, false, {3, 1}},
      {"tab wraps over a hidden row", {3, 5}, ui::VK_TAB, false, false, {5, 1}},
      {"tab in the last cell", {9, 5}, ui::VK_TAB, false, false, {9, 5}},
      {"shift tab wraps back", {3, 1}, ui::VK_TAB, true, false, {2, 5}},
      {"shift tab in the first body cell", {1, 1}, ui::VK_TAB, true, false, {1, 1}},
      {"home", {5, 4}, ui::VK_HOME, false, false, {5, 1}},
      {"end", {5, 1}, ui::VK_END, false, false, {5, 5}},
      {"ctrl home", {7, 4}, ui::VK_HOME, false, true, {1, 1}},
      {"ctrl end", {2, 2}, ui::VK_END, false, true, {9, 5}},
      {"page down without scrolling", {2, 2}, ui::VK_NEXT, false, false, {9, 2}},
      {"page up without scrolling", {8, 2}, ui::VK_PRIOR, false, false, {1, 2}},
  };
  for (const KeyCase& c : cases) {
    grid->SetFocus();
    grid->MoveFocus(c.from);
    d.Key(c.vk, c.shift, c.ctrl);
    EXPECT_EQ(grid->GetFocusCell(), c.to) << c.name;
  }
}

TEST_F(GridWindowTest, KeyMoveNotifiesAtTheNewCellAndSelectsIt) {
  ClickCell(2, 2);
  Clear();
  d.Key(ui::VK_DOWN);
  const std::vector<GridNote> want = {{GVN_SELCHANGING, 3, 2}, {GVN_SELCHANGED, 3, 2}};
  EXPECT_EQ(host->notes, want);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(3, 2, 3, 2));
  d.Key(ui::VK_RIGHT, /*shift=*/true);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(3, 2, 3, 3));
  EXPECT_TRUE(host->commands.empty());
}

TEST_F(GridWindowTest, KeysWithoutAFocusCellDoNothing) {
  Clear();
  grid->SetFocus();
  d.Key(ui::VK_DOWN);
  EXPECT_EQ(grid->GetFocusCell(), CCellID());
  EXPECT_TRUE(host->notes.empty());
}

TEST_F(GridWindowTest, CtrlKeysCopySelectAllAndDeleteEmpties) {
  ClickCell(2, 2);
  ClickCell(3, 3, /*shift=*/true);
  d.Key('C', false, true);
  EXPECT_EQ(ui::GetClipboardText(), "2,2\t2,3\n3,2\t3,3");
  grid->SetCellState(3, 3, grid->GetCellState(3, 3) | GVIS_READONLY);
  d.Key(ui::VK_DELETE);
  EXPECT_EQ(grid->GetItemText(2, 2), "");
  EXPECT_EQ(grid->GetItemText(3, 3), "3,3");
  d.Key('A', false, true);
  EXPECT_EQ(grid->GetSelectedCellRange(), CCellSpan(1, 1, 9, 5));
}

TEST_F(GridWindowTest, DialogKeysAskForArrowsCharsAndTab) {
  EXPECT_EQ(grid->SendMessage(ui::WM_GETDLGCODE), ui::DLGC_WANTARROWS | ui::DLGC_WANTCHARS | ui::DLGC_WANTTAB);
  grid->SetWantTabKey(false);
  EXPECT_EQ(grid->SendMessage(ui::WM_GETDLGCODE), ui::DLGC_WANTARROWS | ui::DLGC_WANTCHARS);
}

TEST_F(GridWindowTest, ChineseAndUkrainianTextSurviveCopyAndPasteThroughTheClipboard) {
  grid->SetItemText(2, 2, "白细胞");
  grid->SetItemText(2, 3, "Лейкоцити");
  ClickCell(2, 2);
  ClickCell(2, 3, /*shift=*/true);
  d.Key('C', false, true);
  EXPECT_EQ(ui::GetClipboardText(), "白细胞\tЛейкоцити");
  ClickCell(5, 1);
  d.Key('V', false, true);
  EXPECT_EQ(grid->GetItemText(5, 1), "白细胞");
  EXPECT_EQ(grid->GetItemText(5, 2), "Лейкоцити");
  EXPECT_TRUE(grid->IsCellModified(5, 2));
}

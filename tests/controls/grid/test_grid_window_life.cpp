// How screens place a grid: by Create, by naming the class in a dialog template, or by
// taking over a placeholder control; fonts and desktop colours; virtual mode through the
// owner; the title tip over cut-off text.
#include <algorithm>

#include "platform/ui/dialog.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"
#include "controls/grid/title_tip.h"
#include "tests/controls/grid/grid_window_fixture.h"

using K = ui::InputEvent::Kind;

TEST_F(GridWindowTest, DialogTemplatesNameTheGridAndPlaceholdersCanBeTakenOver) {
  ui::DialogTemplate t;
  t.cx = 300;
  t.cy = 200;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE;
  t.Add(kGridWindowClass, 500, "", 5, 5, 100, 60, ui::WS_VISIBLE | ui::WS_TABSTOP);
  t.Add(ui::kClassStatic, 501, "", 5, 70, 100, 60, ui::WS_VISIBLE);
  ui::Dialog dlg(t);
  ASSERT_TRUE(dlg.CreateModeless());
  d.Settle();
  auto* made = dynamic_cast<CGridCtrl*>(dlg.GetDlgItem(500));
  ASSERT_NE(made, nullptr);
  made->SetRowCount(5);
  made->SetColumnCount(3);
  EXPECT_EQ(made->RowHeightAt(4), made->GetDefaultCell(false, false)->GetHeight());

  CGridCtrl taken(4, 3, 1, 1);
  const draw::Rect before = dlg.GetDlgItem(501)->GetRectInParent();
  ASSERT_TRUE(taken.SubclassDlgItem(501, &dlg));
  EXPECT_EQ(taken.GetDlgCtrlID(), 501);
  EXPECT_EQ(taken.GetRectInParent(), before);
  EXPECT_TRUE(taken.GetExStyle() & ui::WS_EX_CLIENTEDGE);
  EXPECT_EQ(taken.RowHeightAt(1), taken.GetDefaultCell(false, false)->GetHeight());
  taken.DestroyWindow();
  dlg.DestroyWindow();
}

TEST_F(GridWindowTest, SetFontResizesTheDefaultCellsAndGetFontAnswersIt) {
  const int before = grid->GetDefaultCell(false, false)->GetHeight();
  const draw::Font big("Arial", -24);
  grid->SendMessage(ui::WM_SETFONT, reinterpret_cast<ui::WParam>(&big), 1);
  EXPECT_GT(grid->GetDefaultCell(false, false)->GetHeight(), before);
  const auto* font = reinterpret_cast<const draw::Font*>(grid->SendMessage(ui::WM_GETFONT));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->height, -24);
}

TEST_F(GridWindowTest, DesktopColourChangeKeepsColoursAScreenSet) {
  CGridDefaultCell* body = grid->GetDefaultCell(false, false);
  body->SetTextClr(draw::RGB(66, 85, 92));
  grid->SendMessage(ui::WM_SYSCOLORCHANGE);
  EXPECT_EQ(body->GetTextClr(), draw::RGB(66, 85, 92));
  EXPECT_EQ(body->GetBackClr(), ui::SysColor(ui::COLOR_WINDOW));
  EXPECT_EQ(grid->GetDefaultCell(true, false)->GetTextClr(), ui::SysColor(ui::COLOR_WINDOWTEXT));
}

TEST_F(GridWindowTest, VirtualModeAsksTheOwnerAndAnnouncesEachPaint) {
  grid->SetVirtualMode(true);
  grid->SetRowCount(1000);
  grid->SetColumnCount(5);
  grid->SetFixedRowCount(1);
  grid->SetFixedColumnCount(1);
  for (int r = 0; r < 1000; ++r) grid->SetRowHeight(r, 20);
  for (int c = 0; c < 5; ++c) grid->SetColumnWidth(c, 50);
  int asked = 0;
  host->fill = [&](CellRecord& rec) {
    ++asked;
    rec.text = 'v' + std::to_string(rec.row);
  };
  host->cacheHints.clear();
  grid->Invalidate(true);
  d.Settle();
  ASSERT_GE(host->cacheHints.size(), 2u);
  EXPECT_EQ(host->cacheHints.front().GetMinRow(), 1);
  EXPECT_EQ(host->cacheHints.front().GetMaxRow(), 14);  // 300 pixels: header and 14 rows
  EXPECT_EQ(host->cacheHints.back().GetMinRow(), -1);
  EXPECT_GT(asked, 0);
  EXPECT_EQ(grid->GetItemText(500, 2), "v500");
  // With a callback the owner is not asked.
  grid->SetCallbackFunc([](CellRecord* rec, intptr_t) {
    rec->text = "cb";
    return true;
  }, 0);
  asked = 0;
  EXPECT_EQ(grid->GetItemText(3, 3), "cb");
  EXPECT_EQ(asked, 0);
}

TEST_F(GridWindowTest, TitleTipShowsCutOffTextAndLetsPressesThrough) {
  grid->EnableTitleTips(true);
  grid->SetItemText(3, 2, "a text much too long for its cell");
  grid->SetFocus();
  const draw::Point p = Middle(3, 2);
  Mouse(K::MouseMove, p.x, p.y);
  CTitleTip* tip = nullptr;
  for (ui::Window* w : ui::TopLevelWindows())
    if (auto* t = dynamic_cast<CTitleTip*>(w)) tip = t;
  ASSERT_NE(tip, nullptr);
  EXPECT_TRUE(tip->IsShown());
  EXPECT_EQ(tip->ShownText(), " a text much too long for its cell ");
  EXPECT_GT(tip->GetWindowRect().Width(), 50);
  // A press on the tip reaches the grid: the cell gets the focus (the tip comes back while
  // the pointer rests on the cut-off text).
  Mouse(K::MouseDown, p.x, p.y);
  EXPECT_FALSE(tip->IsShown());
  Mouse(K::MouseUp, p.x, p.y);
  EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 2));
  // Short text fits: no tip.
  const draw::Point q = Middle(5, 2);
  Mouse(K::MouseMove, q.x, q.y);
  EXPECT_FALSE(tip->IsShown());
}

// Title tips are on in every grid, so a double tap on cut-off text lands its second press on
// the tip that the first press brought back; it must still reach the cell as a double click.
// Two presses further apart than the double-click time stay two single presses.
TEST_F(GridWindowTest, DoubleTapOnATitleTipReachesTheCellAsADoubleClick) {
  grid->EnableTitleTips(true);
  grid->SetItemText(3, 2, "a text much too long for its cell");
  grid->SetFocus();
  const draw::Point p = Middle(3, 2);
  CTitleTip* tip = nullptr;
  auto tipShown = [&] {
    for (ui::Window* w : ui::TopLevelWindows())
      if (auto* t = dynamic_cast<CTitleTip*>(w)) tip = t;
    return tip && tip->IsShown();
  };
  grid->SetEditable(false);  // no editor opens over the cell between the rounds
  for (const bool quick : {true, false}) {
    d.Advance(CTitleTip::kDoubleClickTimeMs + 1);  // nothing of the last round counts
    grid->SetFocus();
    Mouse(K::MouseMove, p.x + 1, p.y);
    Mouse(K::MouseMove, p.x, p.y);
    ASSERT_TRUE(tipShown()) << quick;
    Clear();
    Mouse(K::MouseDown, p.x, p.y);
    Mouse(K::MouseUp, p.x, p.y);
    ASSERT_TRUE(tipShown()) << "the tip is back over the cut-off text";
    if (!quick) d.Advance(CTitleTip::kDoubleClickTimeMs + 1);
    Mouse(K::MouseDown, p.x, p.y, false, false, 2);
    Mouse(K::MouseUp, p.x, p.y, false, false, 2);
    const bool doubleClick = std::find(host->notes.begin(), host->notes.end(), GridNote{GVN_DBLCLK, 3, 2}) !=
                             host->notes.end();
    EXPECT_EQ(doubleClick, quick) << host->notes.size();
  }
}

// Combo box face, disabled edit field, tab strip, spin button and painted tooltips.
#include "controls/tool_tip.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_tab_spin.h"
#include "fixture.h"
#include "platform/ui/data_exchange.h"

namespace {

struct FieldsHost : ui::Dialog {
  CXPComboBox combo, off;
  CXPEdit edit;
  CXPTabCtrl tabs;
  CTSpinButtonCtrl spin;
  explicit FieldsHost(const ui::DialogTemplate& t) : ui::Dialog(t) {}
  void DoDataExchange(ui::DataExchange& dx) override {
    ui::ExchangeControl(dx, 51, combo);
    ui::ExchangeControl(dx, 52, off);
    ui::ExchangeControl(dx, 53, edit);
    ui::ExchangeControl(dx, 54, tabs);
    ui::ExchangeControl(dx, 56, spin);
  }
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    for (const char* s : {"Whole blood", "Peripheral", "Prediluted"}) {
      combo.AddString(s);
      off.AddString(s);
    }
    combo.SetCurSel(0);
    off.SetCurSel(1);
    off.EnableWindow(false);
    edit.SetWindowText("12.5");
    edit.EnableWindow(false);
    tabs.InsertItem(0, "Sample");
    tabs.InsertItem(1, "A tab text far too long to fit");
    tabs.SetCurSel(0);
    spin.SetBitmaps(420, 421, 422);
    spin.SetBuddy(GetDlgItem(55));
    return true;
  }
};

ui::DialogTemplate FieldsTemplate() {
  ui::DialogTemplate t;
  t.cx = 300;
  t.cy = 200;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
  const uint32_t V = ui::WS_VISIBLE | ui::WS_TABSTOP;
  t.Add("ComboBox", 51, "", 10, 10, 90, 80, V | ui::CBS_DROPDOWNLIST);
  t.Add("ComboBox", 52, "", 110, 10, 90, 80, V | ui::CBS_DROPDOWNLIST);
  t.Add("Edit", 53, "", 10, 30, 60, 12, V | ui::WS_BORDER);
  t.Add("Tab", 54, "", 10, 100, 150, 60, V);
  t.Add("Edit", 55, "5", 180, 60, 40, 15, V | ui::WS_BORDER);
  t.Add("UpDown", 56, "", 220, 60, 12, 15, V);
  return t;
}

int CountNear(const draw::Bitmap& screen, ui::Window* w, const ui::Rect& area, draw::Color c, int tolerance) {
  int n = 0;
  const ui::Point o = w->ClientOrigin();
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (ColourDistance(screen.GetPixel(o.x + x, o.y + y), c) <= tolerance) ++n;
  return n;
}

}  // namespace

TEST_F(SkinnedTest, ComboFaceTextColourArrowAndPressOpensTheList) {
  FieldsHost host(FieldsTemplate());
  ASSERT_TRUE(host.CreateModeless());
  const draw::Bitmap screen = d.Screen();
  screen.SavePng(PngPath("fields"));
  const ui::Rect text = host.combo.TextArea();
  EXPECT_GT(CountNear(screen, &host.combo, text, draw::RGB(66, 85, 92), 40), 10);
  EXPECT_GT(CountNear(screen, &host.off, text, draw::RGB(180, 180, 180), 10), 10);
  EXPECT_EQ(CountNear(screen, &host.off, text, draw::RGB(66, 85, 92), 30), 0);
  // Arrow buttons: the disabled skin differs from the normal one at the same spot.
  const int ax = host.combo.GetClientRect().right - kSystemScrollWidth - 2 + 9;
  EXPECT_NE(At(screen, &host.combo, ax, 12), At(screen, &host.off, ax, 12));
  // A press on the face opens the list; the release leaves it open for the choice.
  ASSERT_TRUE(d.Press(51));
  EXPECT_TRUE(host.combo.GetDroppedState());
}

TEST_F(SkinnedTest, DisabledEditKeepsADarkTextOnTheBandColour) {
  FieldsHost host(FieldsTemplate());
  ASSERT_TRUE(host.CreateModeless());
  const draw::Bitmap screen = d.Screen();
  const ui::Rect inner = host.edit.GetClientRect().Inflate(-2, -2);
  EXPECT_EQ(At(screen, &host.edit, inner.right - 2, inner.bottom - 2), draw::RGB(190, 198, 201));
  EXPECT_GT(CountNear(screen, &host.edit, inner, draw::RGB(66, 85, 92), 70), 5);
  EXPECT_EQ(At(screen, &host.edit, 0, 5), draw::RGB(205, 213, 215));
}

TEST_F(SkinnedTest, TabStripTextsColoursAndEllipsis) {
  FieldsHost host(FieldsTemplate());
  ASSERT_TRUE(host.CreateModeless());
  const draw::Bitmap screen = d.Screen();
  const ui::Rect t0 = host.tabs.GetItemRect(0).Inflate(-2, -2);
  const ui::Rect t1 = host.tabs.GetItemRect(1).Inflate(-2, -2);
  EXPECT_GT(CountNear(screen, &host.tabs, t0, draw::RGB(41, 89, 124), 40), 5);
  EXPECT_GT(CountNear(screen, &host.tabs, t1, draw::RGB(35, 75, 105), 0), 20);
  EXPECT_GT(CountNear(screen, &host.tabs, t1, draw::kWhite, 40), 5);
  draw::DC dc;
  dc.SelectFont(draw::Font("Arial", 17));
  const std::string fitted = FitWithEllipsis(dc, "A tab text far too long to fit", 80);
  EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
  EXPECT_LE(dc.GetTextExtent(fitted).cx, 80);
  EXPECT_EQ(FitWithEllipsis(dc, "Short", 80), "Short");
  // No tabs: only the light background.
  host.tabs.DeleteAllItems();
  const draw::Bitmap empty = d.Screen();
  EXPECT_EQ(CountNear(empty, &host.tabs, ui::Rect(4, 4, 290, 110), draw::RGB(240, 240, 240), 0), 286 * 106);
}

TEST_F(SkinnedTest, SpinTakesItsBitmapSizeAndHighlightsTheHalfUnderThePointer) {
  FieldsHost host(FieldsTemplate());
  ASSERT_TRUE(host.CreateModeless());
  d.Settle();
  EXPECT_TRUE(host.spin.sized);
  EXPECT_EQ(host.spin.GetClientRect(), ui::Rect(0, 0, 18, 30));
  const ui::Rect w = host.spin.GetWindowRect();
  d.MoveTo(ui::Point(w.left + 9, w.top + 5));
  d.Advance(5);
  const draw::Bitmap upper = d.Screen();
  d.MoveTo(ui::Point(w.left + 9, w.top + 25));
  d.Advance(5);
  const draw::Bitmap lower = d.Screen();
  EXPECT_TRUE(host.spin.hover);
  // The upper arrow is lit only while the pointer is over it, and the lower likewise.
  int upDiff = 0, downDiff = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 18; ++x) {
      const bool differs = At(upper, &host.spin, x, y) != At(lower, &host.spin, x, y);
      if (differs && y < 15) ++upDiff;
      if (differs && y >= 15) ++downDiff;
    }
  EXPECT_GT(upDiff, 10);
  EXPECT_GT(downDiff, 10);
  // Made wider later (a layout scale): the spin goes back to its width, the buddy grows.
  const ui::Rect buddy = host.GetDlgItem(55)->GetRectInParent();
  const ui::Rect r = host.spin.GetRectInParent();
  host.spin.MoveWindow(r.left, r.top, r.Width() + 6, r.Height());
  d.Settle();
  EXPECT_EQ(host.spin.GetRectInParent().Width(), 18);
  EXPECT_EQ(host.GetDlgItem(55)->GetRectInParent().Width(), buddy.Width() + 6);
}

TEST_F(SkinnedTest, TooltipPlacementFontShrinkAndUnregisteredIds) {
  FieldsHost host(FieldsTemplate());
  ASSERT_TRUE(host.CreateModeless());
  d.Settle();
  CMFECToolTip tip;
  tip.Create(&host);
  tip.AddTool(52, {"Peripheral blood", "capillary sample"}, draw::RGB(255, 255, 225), draw::kBlack);
  tip.AddTool(56, {"Peripheral blood", "counted from a capillary sample"}, draw::RGB(255, 255, 225), draw::kBlack);
  std::vector<std::string> many(40, "line");
  tip.AddTool(53, many, draw::RGB(255, 255, 225), draw::kBlack);
  // A tip that fits opens right of the control's middle, one near the right edge to its left.
  tip.ShowTip(52);
  EXPECT_EQ(tip.currentId, 52u);
  ui::Rect r;
  tip.CalcTipRect(52, r);
  const ui::Rect c = host.off.GetRectInParent();
  EXPECT_EQ(r.left, (c.left + c.right) / 2);
  EXPECT_EQ(r.top, c.bottom - c.Height() / 2);
  tip.HideTip(52);
  tip.ShowTip(56);
  tip.CalcTipRect(56, r);
  const ui::Rect s = host.spin.GetRectInParent();
  EXPECT_EQ(r.right, (s.left + s.right) / 2);
  d.Screen().SavePng(PngPath("tooltip"));
  tip.HideTip(56);
  EXPECT_EQ(tip.tipWidth, 0);
  // Taller than the dialog: the font shrinks to 14 px for good and the tip stands on the bottom.
  tip.ShowTip(53);
  EXPECT_EQ(tip.fontHeight, 14);
  tip.CalcTipRect(53, r);
  EXPECT_EQ(r.bottom, host.GetClientRect().bottom - 1);
  tip.HideTip(53);
  tip.ShowTip(52);
  EXPECT_EQ(tip.fontHeight, 14);
  // An id without a registration shows nothing.
  tip.ShowTip(999);
  EXPECT_EQ(tip.currentId, 0u);
  EXPECT_TRUE(tip.RemoveTool(52));
  EXPECT_EQ(tip.tools.size(), 2u);
}

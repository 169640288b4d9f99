// The strip chart: points, joins over negative values, range ends, the cursor and its limits,
// and an empty range.
#include "controls/oscope_ctrl.h"
#include "fixture.h"

namespace {

struct ScopeHost : ui::Dialog {
  COScopeCtrl scope;
  ScopeHost() : ui::Dialog(Template()) {}
  static ui::DialogTemplate Template() {
    ui::DialogTemplate t;
    t.cx = 150;
    t.cy = 80;
    t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
    return t;
  }
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    // Client 200 x 100: the plot is (2, 0, 198, 98), 98 px high.
    scope.Create(ui::WS_CHILD | ui::WS_VISIBLE, ui::Rect(10, 10, 210, 110), this, 900);
    return true;
  }
};

bool IsLit(draw::Color c) { return draw::GetRValue(c) > 150 && draw::GetGValue(c) > 150 && draw::GetBValue(c) > 150; }

}  // namespace

TEST_F(SkinnedTest, ScopePointsStepRightAndJoinOverNegativeValues) {
  ScopeHost host;
  ASSERT_TRUE(host.CreateModeless());
  COScopeCtrl& s = host.scope;
  s.SetRange(0, 98);
  EXPECT_EQ(s.ValueToY(0), 98);   // the plot's bottom line
  EXPECT_EQ(s.ValueToY(98), 0);   // its top
  EXPECT_EQ(s.AppendPoint(49), 0.0);
  EXPECT_EQ(s.AppendPoint(-1), 49.0);
  s.AppendPoint(29);
  const draw::Bitmap screen = d.Screen();
  screen.SavePng(PngPath("strip_chart"));
  // First point at the left edge, the third two steps (16 px) further; nothing at one step.
  EXPECT_TRUE(IsLit(At(screen, &s, 2, 49)));
  EXPECT_TRUE(IsLit(At(screen, &s, 18, 69)));
  EXPECT_FALSE(IsLit(At(screen, &s, 10, 97)));
  // The join runs straight from the first to the third point.
  EXPECT_TRUE(IsLit(At(screen, &s, 10, 59)) || IsLit(At(screen, &s, 10, 58)) || IsLit(At(screen, &s, 10, 60)));
}

TEST_F(SkinnedTest, ScopeCursorMovesByTheStepRestoresDotsAndStaysOnThePlot) {
  ScopeHost host;
  ASSERT_TRUE(host.CreateModeless());
  COScopeCtrl& s = host.scope;
  s.SetRange(0, 100, 1.0, 1.0);
  EXPECT_EQ(s.CursorX(), 2);
  s.MoveCursor(1);
  EXPECT_EQ(s.CursorX(), 10);
  draw::Bitmap screen = d.Screen();
  EXPECT_EQ(At(screen, &s, 10, 30), draw::RGB(0, 255, 255));
  s.MoveCursor(1);
  s.MoveCursor(0);
  screen = d.Screen();
  // Column 18, left behind: its guide dot comes back in the darker guide colour.
  EXPECT_EQ(At(screen, &s, 18, s.guideAboveY), draw::RGB(140, 101, 46));
  EXPECT_EQ(At(screen, &s, 18, s.centreY), draw::RGB(47, 167, 217));
  // Pushed past either end, the cursor stops at the plot's edges.
  for (int i = 0; i < 100; ++i) s.MoveCursor(0);
  EXPECT_EQ(s.CursorX(), s.PlotRect().left);
  for (int i = 0; i < 100; ++i) s.MoveCursor(1);
  EXPECT_EQ(s.CursorX(), s.PlotRect().right - 1);
  s.MoveCursor(7);  // redraw in place
  EXPECT_EQ(s.CursorX(), s.PlotRect().right - 1);
}

TEST_F(SkinnedTest, ScopeWithAnEmptyRangePlotsOnTheCentreLine) {
  ScopeHost host;
  ASSERT_TRUE(host.CreateModeless());
  COScopeCtrl& s = host.scope;
  s.SetRange(5, 5);
  EXPECT_EQ(s.pixelsPerUnit, 0.0);
  s.AppendPoint(5);
  s.AppendPoint(1e300);
  EXPECT_EQ(s.ValueToY(5), s.centreY);
  const draw::Bitmap screen = d.Screen();
  EXPECT_TRUE(IsLit(At(screen, &s, 2, s.centreY)));
}

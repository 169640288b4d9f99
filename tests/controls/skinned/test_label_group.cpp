// Transparent labels over a striped dialog, and the group box's sections, bands and captions.
#include "controls/static_trans.h"
#include "controls/xp_group_box.h"
#include "fixture.h"
#include "platform/ui/data_exchange.h"

namespace {

constexpr draw::Color kStripeA = draw::RGB(205, 213, 215);
constexpr draw::Color kStripeB = draw::RGB(190, 198, 201);

// A dialog painted in 4 px stripes, as the screens paint their bands.
struct Striped : ui::Dialog {
  CStaticTrans plain, coloured;
  CXPGroupBox sections, bands, window;
  explicit Striped(const ui::DialogTemplate& t) : ui::Dialog(t) {}
  void DoDataExchange(ui::DataExchange& dx) override {
    ui::ExchangeControl(dx, 1, plain);
    ui::ExchangeControl(dx, 2, coloured);
    ui::ExchangeControl(dx, 3, sections);
    ui::ExchangeControl(dx, 4, bands);
    ui::ExchangeControl(dx, 5, window);
  }
  bool OnEraseBkgnd(draw::DC& dc) override {
    const ui::Rect rc = GetClientRect();
    for (int y = 0; y < rc.bottom; y += 4) dc.FillSolidRect(ui::Rect(0, y, rc.right, y + 4), (y / 4) % 2 ? kStripeB : kStripeA);
    return true;
  }
};

ui::DialogTemplate StripedTemplate() {
  ui::DialogTemplate t;
  t.cx = 300;
  t.cy = 200;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
  const uint32_t V = ui::WS_VISIBLE;
  t.Add("Static", 1, "Sample No.", 10, 10, 100, 10, V | ui::SS_LEFT);
  t.Add("Static", 2, "Patient", 10, 25, 100, 10, V | ui::SS_LEFT);
  t.Add("Button", 3, "Sections", 10, 45, 130, 80, V | ui::BS_GROUPBOX);
  t.Add("Button", 4, "", 150, 45, 130, 80, V | ui::BS_GROUPBOX);
  t.Add("Button", 5, "Window", 10, 135, 130, 55, V | ui::BS_GROUPBOX);
  return t;
}

bool IsStripe(draw::Color c) { return c == kStripeA || c == kStripeB; }

}  // namespace

TEST_F(SkinnedTest, LabelsAreTransparentUntilGivenABackground) {
  Striped dlg(StripedTemplate());
  ASSERT_TRUE(dlg.CreateModeless());
  dlg.coloured.SetBkColor(draw::RGB(250, 196, 88));
  dlg.sections.SetSectionCount(3);
  dlg.bands.SetBands(true, 4);
  dlg.window.SetWindowLook(true).SetBackgroundColor(draw::RGB(35, 75, 105), draw::RGB(245, 245, 245));
  dlg.window.SetCaptionTextColor(draw::kWhite).SetAlignment(1);
  dlg.Invalidate();
  const draw::Bitmap screen = d.Screen();
  screen.SavePng(PngPath("labels_and_groups"));
  // The plain label: both stripe colours show inside it (left of the text and between lines).
  int a = 0, b = 0, ink = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 200; ++x) {
      const draw::Color c = At(screen, &dlg.plain, x, y);
      if (c == kStripeA) ++a;
      else if (c == kStripeB) ++b;
      else ++ink;
    }
  EXPECT_GT(a, 100);
  EXPECT_GT(b, 100);
  EXPECT_GT(ink, 20);
  // The coloured label: its whole area, not only behind the letters.
  EXPECT_EQ(At(screen, &dlg.coloured, 195, 1), draw::RGB(250, 196, 88));
  EXPECT_EQ(At(screen, &dlg.coloured, 195, 18), draw::RGB(250, 196, 88));
  EXPECT_TRUE(IsStripe(At(screen, &dlg, 5, 55)));
}

TEST_F(SkinnedTest, GroupBoxSectionsBandsAndCaption) {
  // Section lines of a 3-section panel: at a quarter and at five eighths of its height.
  const ui::Rect panel(0, 0, 100, 160);
  EXPECT_EQ(CXPGroupBox::SectionLineYs(panel, 3), (std::vector<int>{40, 100}));
  EXPECT_TRUE(CXPGroupBox::SectionLineYs(panel, 1).empty());

  Striped dlg(StripedTemplate());
  ASSERT_TRUE(dlg.CreateModeless());
  dlg.sections.SetSectionCount(3);
  dlg.bands.SetBands(true, 4);
  dlg.Invalidate();
  const draw::Bitmap screen = d.Screen();
  // The panel of the section box is painted from its client rectangle moved by (-2, -2):
  // r = (-1, -1, 257, 157), inner (0, 0, 256, 156), the first line at 156 / 4 = 39.
  const int x = 100;
  EXPECT_EQ(At(screen, &dlg.sections, x, 39), draw::RGB(186, 182, 193));
  EXPECT_EQ(At(screen, &dlg.sections, x, 40), draw::RGB(210, 210, 210));
  EXPECT_EQ(At(screen, &dlg.sections, x, 60), draw::RGB(190, 198, 201));
  // Band box: alternating bands of the two panel colours.
  EXPECT_EQ(At(screen, &dlg.bands, x, 20), draw::RGB(206, 213, 215));
  EXPECT_EQ(At(screen, &dlg.bands, x, 58), draw::RGB(190, 198, 201));
  // Alignment: 1 centred, 2 right, any other value left.
  const int alignments[] = {0, 1, 2, 5};
  for (int al : alignments) {
    dlg.sections.SetAlignment(al);
    EXPECT_EQ(dlg.sections.alignment, al == 5 ? 0 : al);
  }
}

TEST_F(SkinnedTest, EmptyGroupCaptionDrawsNoText) {
  Striped dlg(StripedTemplate());
  ASSERT_TRUE(dlg.CreateModeless());
  const draw::Bitmap screen = d.Screen();
  // Along the caption's row the captionless box is one colour; the captioned one has ink.
  int emptyChanges = 0, captionInk = 0;
  for (int x = 12; x < 60; ++x) {
    if (At(screen, &dlg.bands, x, 5) != At(screen, &dlg.bands, 12, 5)) ++emptyChanges;
    if (ColourDistance(At(screen, &dlg.sections, x, 5), draw::RGB(190, 198, 201)) > 100) ++captionInk;
  }
  EXPECT_EQ(emptyChanges, 0);
  EXPECT_GT(captionInk, 3);
}

TEST_F(SkinnedTest, TransparentLabelTextChangesNeedTheParentsBackground) {
  // Ink left in the label's area by an earlier, longer text.
  auto inkAfterChange = [&](bool flag, bool redrawBackground) {
    Striped dlg(StripedTemplate());
    EXPECT_TRUE(dlg.CreateModeless());
    dlg.plain.redrawOnSetText = flag;
    dlg.plain.SetWindowText("WWWWWWWWWW");
    d.Screen();
    dlg.plain.SetWindowText(".");
    if (redrawBackground) dlg.plain.RedrawBackground();
    const draw::Bitmap screen = d.Screen();
    int ink = 0;
    for (int y = 1; y < 19; ++y)
      for (int x = 20; x < 150; ++x) ink += !IsStripe(At(screen, &dlg.plain, x, y));
    dlg.DestroyWindow();
    return ink;
  };
  EXPECT_GT(inkAfterChange(false, false), 50);  // drawn over the old text
  EXPECT_EQ(inkAfterChange(true, false), 0);
  EXPECT_EQ(inkAfterChange(false, true), 0);
}

// The demonstration dialog rendered offscreen in the five languages.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/ui/app.h"
#include "platform/ui/controls/controls.h"
#include "tools/gallery/demo_dialog.h"
#include "platform/ui/test_driver.h"

using namespace ui;

namespace {

class RenderTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { ASSERT_TRUE(TestDriver::Start(800, 600)); }
  void TearDown() override { TestDriver::Stop(); }
  TestDriver d;
};

bool IsBackground(Color c) { return c == SysColor(COLOR_BTNFACE); }

// Pixels in `r` that differ from the dialog face (text, lines).
int Ink(const draw::Bitmap& b, const Rect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) n += !IsBackground(b.GetPixel(x, y));
  }
  return n;
}

}  // namespace

TEST_P(RenderTest, EveryControlIsDrawnWithTheFrameAndNoMagenta) {
  const int lang = GetParam();
  demo::DemoDialog dlg(lang);
  ASSERT_TRUE(dlg.CreateModeless());
  dlg.ShowWindow(SW_SHOW);
  const draw::Bitmap screen = d.Screen();
  const std::string png = ::testing::TempDir() + "demo_dialog_" + std::to_string(lang) + ".png";
  ASSERT_TRUE(screen.SavePng(png));
  EXPECT_GT(std::filesystem::file_size(png), 1000u);

  // Magenta is the skins' see-through colour: it never reaches the screen.
  for (int y = 0; y < screen.Height(); ++y) {
    for (int x = 0; x < screen.Width(); ++x) {
      ASSERT_NE(screen.GetPixel(x, y), draw::kMagenta) << "at " << x << "," << y;
    }
  }
  // The 7-pixel frame lies on the client edges: its inner half shows, the middle does not.
  const Rect client = dlg.ClientToScreen(dlg.GetClientRect());
  EXPECT_EQ(client, Rect(80, 60, 720, 540));
  const int midY = client.top + 240, midX = client.left + 320;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(screen.GetPixel(client.left + i, midY), demo::kFrameColor) << i;
    EXPECT_EQ(screen.GetPixel(client.right - 1 - i, midY), demo::kFrameColor) << i;
    EXPECT_EQ(screen.GetPixel(midX, client.top + i), demo::kFrameColor) << i;
    EXPECT_EQ(screen.GetPixel(midX, client.bottom - 1 - i), demo::kFrameColor) << i;
  }
  EXPECT_NE(screen.GetPixel(client.left + 6, midY), demo::kFrameColor);

  // Each text-bearing control shows ink: the glyphs of every language are drawn.
  const int ids[] = {demo::kIdTitle, demo::kIdRadio1, demo::kIdCheck, demo::kIdPush, IDOK, IDCANCEL, demo::kIdGroup};
  for (int id : ids) {
    const Rect r = dlg.GetDlgItem(id)->GetWindowRect();
    EXPECT_GT(Ink(screen, r), 15) << "control " << id;
  }
  // The transparent label shows the band painted behind it.
  const Rect lr = dlg.GetDlgItem(demo::kIdTransparentLabel)->GetWindowRect();
  EXPECT_EQ(screen.GetPixel(lr.right - 2, lr.bottom - 2), RGB(190, 198, 201));
  // The owner-drawn skin button keeps the face colour where its bitmap is magenta.
  const Rect sr = dlg.GetDlgItem(demo::kIdOwnerDraw)->GetWindowRect();
  EXPECT_EQ(screen.GetPixel(sr.left, sr.top), SysColor(COLOR_BTNFACE));
  EXPECT_NE(screen.GetPixel(sr.left + sr.Width() / 2, sr.top + 3), SysColor(COLOR_BTNFACE));
}

INSTANTIATE_TEST_SUITE_P(Languages, RenderTest, ::testing::Values(0, 1, 2, 3, 4));

TEST(Render, TitlesDifferByLanguageAndWindowsAreFoundByTitle) {
  ASSERT_TRUE(TestDriver::Start(800, 600));
  TestDriver d;
  std::set<std::vector<uint32_t>> images;
  for (int lang = 0; lang < 5; ++lang) {
    demo::DemoDialog dlg(lang);
    ASSERT_TRUE(dlg.CreateModeless());
    dlg.ShowWindow(SW_SHOW);
    EXPECT_EQ(FindWindow("", demo::DemoText(0, lang)), &dlg);
    const draw::Bitmap s = d.Screen();
    const Rect r = dlg.GetDlgItem(demo::kIdTitle)->GetWindowRect();
    std::vector<uint32_t> px;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) px.push_back(s.GetPixel(x, y));
    }
    images.insert(px);
    dlg.DestroyWindow();
  }
  EXPECT_EQ(images.size(), 5u);
  EXPECT_EQ(FindWindow("", demo::DemoText(0, 1)), nullptr);
  TestDriver::Stop();
}

TEST(Render, ClicksAndTimersOfTheDemonstration) {
  ASSERT_TRUE(TestDriver::Start(800, 600));
  {
    TestDriver d;
    demo::DemoDialog dlg(1);
    ASSERT_TRUE(dlg.CreateModeless());
    dlg.ShowWindow(SW_SHOW);
    d.Press(demo::kIdPush);
    d.Press(demo::kIdOwnerDraw);
    d.Press(demo::kIdBitmapButton);
    EXPECT_EQ(dlg.Clicks(), 3);
    const std::string before = d.Text(demo::kIdSpinBuddy);
    EXPECT_EQ(before, "5");
    d.Advance(3000);
    EXPECT_TRUE(dlg.IsWindow());
  }
  TestDriver::Stop();
}

namespace {

// A plain parent that erases to one colour, with three labels in a row.
class ErasingParent : public Window {
 protected:
  bool OnEraseBkgnd(draw::DC& dc) override {
    dc.FillSolidRect(GetClientRect(), RGB(20, 120, 60));
    return true;
  }
};

}  // namespace

TEST(Render, ChildrenInsideTheUnionOfInvalidatedAreasArePaintedAgain) {
  ASSERT_TRUE(TestDriver::Start(800, 600));
  {
    TestDriver d;
    ErasingParent parent;
    ASSERT_TRUE(parent.Create("ErasingParent", "", WS_POPUP | WS_VISIBLE, Rect(0, 0, 600, 100), nullptr));
    Static labels[3];
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(labels[i].Create("Static", "WWWW", WS_CHILD | WS_VISIBLE, Rect(20 + 180 * i, 30, 170 + 180 * i, 60),
                                   &parent, 100 + i));
    }
    d.Screen();
    const Rect middle = labels[1].GetWindowRect();
    const int inkBefore = Ink(d.Screen(), middle);
    ASSERT_GT(inkBefore, 15);
    // Only the outer labels' areas are invalidated; the parent repaints their union, which
    // covers the middle label, so that one has to be drawn again too.
    const Rect left = labels[0].GetRectInParent(), right = labels[2].GetRectInParent();
    parent.InvalidateRect(&left, true);
    parent.InvalidateRect(&right, true);
    EXPECT_EQ(Ink(d.Screen(), middle), inkBefore);
    parent.DestroyWindow();
  }
  TestDriver::Stop();
}

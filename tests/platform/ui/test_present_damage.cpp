// Only what the window layer painted is composed and shown: the screen after any change must be
// the one a whole composition of every window gives, and a display gets exactly the changed
// rectangles of it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/detail/backend.h"
#include "platform/ui/detail/context.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"
#include "tools/gallery/demo_dialog.h"

namespace {

using ui::Rect;

bool SamePixels(const draw::Bitmap& a, const draw::Bitmap& b, std::string* where) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) {
        *where = std::to_string(x) + "," + std::to_string(y);
        return false;
      }
  return true;
}

TEST(PresentDamage, ADisplayGetsExactlyTheChangedRectanglesClippedToTheScreen) {
  // A 10x6 screen whose pixel (x, y) is 0xFF000000 | (y << 8 | x), copied into a display of
  // zeros with a stride wider than its rows.
  draw::Bitmap screen = draw::Bitmap::Create(10, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x)
      reinterpret_cast<uint32_t*>(screen.Data() + y * screen.Stride())[x] = 0xFF000000u | static_cast<uint32_t>(y << 8 | x);
  const struct {
    const char* what;
    std::vector<Rect> changed;
    std::vector<Rect> expected;  // where the display holds the screen's pixels afterwards
  } cases[] = {
      {"nothing", {}, {}},
      {"one inside", {Rect(2, 1, 5, 3)}, {Rect(2, 1, 5, 3)}},
      {"past the edges", {Rect(-3, 4, 4, 9), Rect(8, -2, 14, 1)}, {Rect(0, 4, 4, 6), Rect(8, 0, 10, 1)}},
      {"empty and outside", {Rect(3, 3, 3, 5), Rect(11, 0, 15, 6)}, {}},
      {"overlapping", {Rect(0, 0, 4, 4), Rect(2, 2, 6, 5)}, {Rect(0, 0, 4, 4), Rect(2, 2, 6, 5)}},
  };
  for (const auto& c : cases) {
    constexpr int kStride = 13 * 4;
    std::vector<uint8_t> display(static_cast<size_t>(kStride) * 6, 0);
    ui::detail::CopyChangedRects(screen, c.changed, display.data(), kStride);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 13; ++x) {
        bool in = false;
        for (const Rect& r : c.expected) in = in || r.Contains(ui::Point(x, y));
        uint32_t got;
        std::memcpy(&got, display.data() + y * kStride + x * 4, 4);
        EXPECT_EQ(got, in ? 0xFF000000u | static_cast<uint32_t>(y << 8 | x) : 0u) << c.what << " at " << x << "," << y;
      }
  }
}

class PresentDamageScreen : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(ui::TestDriver::Start(800, 600)); }
  void TearDown() override { ui::TestDriver::Stop(); }
  // The screen as composed after the changes, and as a whole composition gives it.
  void ExpectWholeComposition(const char* what) {
    const draw::Bitmap partial = d.Screen();
    ui::detail::ScreenChanged();
    const draw::Bitmap whole = d.Screen();
    std::string where;
    EXPECT_TRUE(SamePixels(partial, whole, &where)) << what << ": first difference at " << where;
  }
  ui::TestDriver d;
};

TEST_F(PresentDamageScreen, EveryChangeReachesTheScreen) {
  ui::demo::DemoDialog dlg(1);
  ASSERT_TRUE(dlg.CreateModeless());
  dlg.ShowWindow(ui::SW_SHOW);
  ExpectWholeComposition("opened");
  std::vector<ui::Window*> kids = dlg.Children();
  ASSERT_GE(kids.size(), 4u);
  ui::Window popup;
  const struct {
    const char* what;
    std::function<void()> change;
  } steps[] = {
      {"a text changed", [&] { kids[0]->SetWindowText("Changed text of the first control"); }},
      {"a control moved", [&] {
         const Rect r = kids[1]->GetRectInParent();
         kids[1]->MoveWindow(r.Offset(23, 17));
       }},
      {"a control hidden", [&] { kids[2]->ShowWindow(ui::SW_HIDE); }},
      {"a control shown again", [&] { kids[2]->ShowWindow(ui::SW_SHOW); }},
      {"drawn into outside painting", [&] {
         auto dc = kids[3]->GetDC();
         ASSERT_TRUE(dc);
         dc->FillSolidRect(Rect(0, 0, 30, 10), draw::RGB(200, 0, 0));
       }},
      {"part of the dialog invalidated", [&] {
         const Rect r(10, 10, 120, 60);
         dlg.InvalidateRect(&r, true);
       }},
      {"a window opened over it", [&] {
         ASSERT_TRUE(popup.Create("", "Over", ui::WS_POPUP | ui::WS_VISIBLE | ui::WS_BORDER, Rect(50, 40, 300, 200), nullptr, 0));
       }},
      {"that window moved", [&] { popup.MoveWindow(Rect(600, 450, 900, 700)); }},
      {"that window closed", [&] { popup.DestroyWindow(); }},
      {"the dialog moved", [&] { dlg.MoveWindow(dlg.GetWindowRect().Offset(-40, 25)); }},
  };
  for (const auto& s : steps) {
    s.change();
    ExpectWholeComposition(s.what);
  }
  dlg.DestroyWindow();
  ExpectWholeComposition("closed");
}

}  // namespace

#include <gtest/gtest.h>

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/app.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/styles.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"

namespace {

class DialogLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::TestDriver::Start(800, 600));
    saved_ = AppSettings;
  }
  void TearDown() override {
    AppSettings = saved_;
    ui::TestDriver::Stop();
  }
  AppSettingsValues saved_;
};

TEST_F(DialogLayoutTest, ScalesTheDialogAndItsDirectChildrenEdgeByEdge) {
  AppSettings.LayoutScale = 1.25f;
  ui::Window dlg, a, b, group, inner;
  ASSERT_TRUE(dlg.Create("Dialog", "d", ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(0, 0, 640, 480), nullptr));
  ASSERT_TRUE(a.Create("Static", "a", ui::WS_CHILD | ui::WS_VISIBLE, ui::Rect(10, 10, 75, 30), &dlg, 1));
  ASSERT_TRUE(b.Create("Static", "b", ui::WS_CHILD | ui::WS_VISIBLE, ui::Rect(3, 3, 6, 6), &dlg, 2));
  ASSERT_TRUE(group.Create("Static", "g", ui::WS_CHILD | ui::WS_VISIBLE, ui::Rect(100, 100, 300, 200), &dlg, 3));
  ASSERT_TRUE(inner.Create("Static", "i", ui::WS_CHILD | ui::WS_VISIBLE, ui::Rect(10, 10, 50, 30), &group, 4));

  ScaleDialogLayout(&dlg);
  EXPECT_EQ(dlg.GetWindowRect(), ui::Rect(0, 0, 800, 600));  // 640x480 scaled, centred on 800x600
  EXPECT_EQ(a.GetRectInParent(), ui::Rect(12, 12, 93, 37));
  EXPECT_EQ(b.GetRectInParent(), ui::Rect(3, 3, 7, 7));
  EXPECT_EQ(group.GetRectInParent(), ui::Rect(125, 125, 375, 250));
  EXPECT_EQ(inner.GetRectInParent(), ui::Rect(10, 10, 50, 30));  // grandchildren keep theirs
}

TEST_F(DialogLayoutTest, AtScaleOneTheDialogIsStillCentred) {
  AppSettings.LayoutScale = 1.0f;
  ui::Window dlg, a;
  ASSERT_TRUE(dlg.Create("Dialog", "d", ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(0, 0, 400, 300), nullptr));
  ASSERT_TRUE(a.Create("Static", "a", ui::WS_CHILD | ui::WS_VISIBLE, ui::Rect(10, 10, 75, 30), &dlg, 1));
  ScaleDialogLayout(&dlg);
  EXPECT_EQ(dlg.GetWindowRect(), ui::Rect(200, 150, 600, 450));
  EXPECT_EQ(a.GetRectInParent(), ui::Rect(10, 10, 75, 30));
}

TEST_F(DialogLayoutTest, TheSharedFontReachesEveryDescendant) {
  ui::Window dlg, group, inner;
  ASSERT_TRUE(dlg.Create("Dialog", "d", ui::WS_POPUP, ui::Rect(0, 0, 200, 100), nullptr));
  ASSERT_TRUE(group.Create("Static", "g", ui::WS_CHILD, ui::Rect(0, 0, 100, 50), &dlg, 3));
  ASSERT_TRUE(inner.Create("Static", "i", ui::WS_CHILD, ui::Rect(0, 0, 50, 20), &group, 4));
  const draw::Font font = MakeSharedDialogFont(1.25f);
  ApplyDialogFontToChildren(&dlg, &font);
  ASSERT_NE(inner.GetFont(), nullptr);
  EXPECT_EQ(inner.GetFont()->height, 20);
  EXPECT_EQ(group.GetFont()->face, "Arial");
  EXPECT_TRUE(ApplyDialogFont(&inner, nullptr));  // the default font again
  EXPECT_NE(inner.GetFont()->face, "Arial");
}

TEST_F(DialogLayoutTest, TheFrameLiesOnTheClientEdges) {
  ui::Window dlg;
  ASSERT_TRUE(dlg.Create("Dialog", "d", ui::WS_POPUP, ui::Rect(0, 0, 100, 80), nullptr));
  draw::Bitmap bmp = draw::Bitmap::Create(100, 80, draw::kWhite);
  draw::DC dc(bmp);
  const draw::Pen before = dc.GetPen();
  DrawDialogFrame(dc, &dlg, kDialogFrameWidth);
  EXPECT_EQ(dc.GetPen(), before);
  EXPECT_EQ(dc.GetPixel(50, 1), kDialogFrameColor);   // inner half of the top line
  EXPECT_EQ(dc.GetPixel(50, 78), kDialogFrameColor);  // inner half of the bottom line
  EXPECT_EQ(dc.GetPixel(1, 40), kDialogFrameColor);
  EXPECT_EQ(dc.GetPixel(98, 40), kDialogFrameColor);
  EXPECT_EQ(dc.GetPixel(50, 40), draw::kWhite);
  EXPECT_EQ(dc.GetPixel(50, 8), draw::kWhite);
}

}  // namespace

namespace {

TEST(ScreenSizeTest, TheScaleFollowsTheOpenedScreen) {
  AppSettingsValues saved = AppSettings;
  struct Case { int w, h; float scale; int large; };
  for (Case c : {Case{640, 480, 1.0f, 0}, Case{800, 600, 1.25f, 1}}) {
    ASSERT_TRUE(ui::TestDriver::Start(c.w, c.h));
    CheckScreenSize();
    EXPECT_EQ(AppSettings.LayoutScale, c.scale) << c.w;
    EXPECT_EQ(AppSettings.LargeScreen, c.large) << c.w;
    ui::TestDriver::Stop();
  }
  AppSettings = saved;
}

}  // namespace

#include <gtest/gtest.h>

#include "measurement/screen/dormancy_dlg.h"
#include "platform/ui/app.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"
#include "screen_fixture.h"

namespace {

TEST(StandBy, MoveThreshold) {
  struct Case {
    int dx, dy;
    bool wakes;
  } cases[] = {{49, 49, false}, {50, 0, true}, {0, 50, true}, {-49, -49, false}, {-50, 10, true}, {0, 0, false}};
  for (const Case& c : cases) EXPECT_EQ(WakesOnMove({100, 100}, {100 + c.dx, 100 + c.dy}), c.wakes) << c.dx << "," << c.dy;
  EXPECT_EQ(StandByText(2), "Stand by...");
  EXPECT_EQ(StandByText(3), "En veille...");
}

class StandByTest : public ScreenTest {};

TEST_F(StandByTest, EndsOnAFiftyPixelMoveButNotFortyNine) {
  d.MoveTo({300, 300});
  CDormancyDlg standBy;
  bool ok = d.RunScript([&] { standBy.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_FALSE(ui::IsCursorShown());
    s.MoveTo({349, 349});
    s.MoveTo({251, 251});
    EXPECT_FALSE(standBy.IsEnded());
    s.Key(ui::VK_SPACE);
    EXPECT_FALSE(standBy.IsEnded());
    Shot("standby_en");
    s.MoveTo({350, 300});
  });
  EXPECT_TRUE(ok);
  EXPECT_TRUE(standBy.IsEnded());
  EXPECT_FALSE(ui::IsCursorShown());  // the opener shows it again
  ui::ShowCursor(true);
}

TEST_F(StandByTest, EndsOnAPressOrEnter) {
  for (int way = 0; way < 2; ++way) {
    d.MoveTo({300, 300});
    CDormancyDlg standBy;
    bool ok = d.RunScript([&] { standBy.DoModal(); }, [&](ui::TestDriver& s) {
      if (way == 0) s.ClickAt({310, 310});
      else s.Key(ui::VK_RETURN);
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(standBy.IsEnded());
    ui::ShowCursor(true);
  }
}

TEST_F(StandByTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    d.MoveTo({300, 300});
    CDormancyDlg standBy;
    bool ok = d.RunScript([&] { standBy.DoModal(); }, [&](ui::TestDriver& s) {
      Shot(std::string("standby_") + kLanguageNames[lang]);
      s.Key(ui::VK_RETURN);
    });
    EXPECT_TRUE(ok);
    ui::ShowCursor(true);
  }
}

// On a display larger than the picture (1024 x 768) the stand-by screen still covers all of it,
// the picture stretched over it: what the picture shows at a point shows at that point scaled
// by 1024/800 = 768/600 = 1.28.
TEST_F(StandByTest, CoversADisplayLargerThanItsPictureWithTheWholePicture) {
  ui::TestDriver::Stop();
  ASSERT_TRUE(ui::TestDriver::Start(1024, 768));
  AppSettings.LayoutScale = 1.25f;
  AppSettings.LargeScreen = 1;
  const draw::Bitmap pic = ui::Resources::LoadBitmap(358);
  ASSERT_EQ(pic.GetSize(), draw::Size(800, 600));
  d.MoveTo({500, 400});
  CDormancyDlg standBy;
  draw::Bitmap shot;
  ui::Rect window;
  bool ok = d.RunScript([&] { standBy.DoModal(); }, [&](ui::TestDriver& s) {
    shot = s.Screen();
    window = standBy.GetWindowRect();
    s.Key(ui::VK_RETURN);
  });
  EXPECT_TRUE(ok);
  ui::ShowCursor(true);
  EXPECT_EQ(window, ui::Rect(0, 0, 1024, 768));
  // Points near the four corners and the edges' middles where the picture is one colour
  // around, so that the stretch's sampling cannot change them.
  int compared = 0;
  for (int y : {8, 60, 300, 540, 591})
    for (int x : {8, 80, 400, 720, 791}) {
      const draw::Color c = pic.GetPixel(x, y);
      bool plain = true;
      for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) plain = plain && pic.GetPixel(x + dx, y + dy) == c;
      if (!plain || (x == 400 && y == 300)) continue;  // the middle carries the text
      ++compared;
      EXPECT_EQ(shot.GetPixel(x * 1024 / 800, y * 768 / 600), c) << x << "," << y;
    }
  EXPECT_GE(compared, 8);
}

}  // namespace

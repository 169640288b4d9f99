#include <gtest/gtest.h>

#include "measurement/screen/dormancy_dlg.h"
#include "platform/ui/app.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"
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

}  // namespace

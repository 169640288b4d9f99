// The test screen's idle clock, stand-by and rinse over the board simulator with the manual
// clock: the operator working the screen's own controls keeps it awake, stand-by never starts
// while the screen is being left, and a board reset ends a rinse for the screen.
#include <vector>

#include "analyzer/reagent.h"
#include "core/layout.h"
#include "counted_sample.h"
#include "measurement/screen/restore_dlg.h"
#include "platform/ui/message_box.h"

using namespace measurement;

namespace {

class ScreenTimers : public CountedSampleTest {
 protected:
  // The idle time the screen has counted, read on its own thread.
  static uint32_t Idle(ui::TestDriver& s, CSampleTest& screen) {
    uint32_t ms = 0;
    s.RunUntil([&] {
      ms = screen.idleMs();
      return true;
    });
    return ms;
  }
  // Stand-by runs as a count of its starts, without its screen.
  static void CountStandBys(CSampleTest& screen, int& standBys) {
    screen.SetStandByRunner([&standBys] {
      ++standBys;
      return 0;
    });
  }
  size_t Count(size_t from, const std::string& frame) const {
    const std::vector<std::string> all = Received();
    size_t n = 0;
    for (size_t i = from; i < all.size(); ++i) n += all[i] == frame;
    return n;
  }
};

// Stand-by after one idle minute; the operator presses the line arrows every 15 s for 90 s.
TEST_F(ScreenTimers, PressesOnTheScreensControlsKeepItAwake) {
  Sql("update SysSetting set DormancyTime=1");
  CSampleTest screen(nullptr);
  int standBys = 0;
  CountStandBys(screen, standBys);
  size_t before = 0;
  uint32_t idleAfterPresses = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            before = sim.ReceivedCount();
                            for (int i = 0; i < 6; ++i) {
                              s.Advance(15000);
                              s.Press(i % 2 ? IDC_LEFT_ARROW : IDC_RIGHT_ARROW);
                            }
                            idleAfterPresses = Idle(s, screen);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(standBys, 0);
  EXPECT_FALSE(ReceivedSince(before, "AA 54"));
  EXPECT_LT(idleAfterPresses, 15000u);
  EXPECT_TRUE(screen.IsEnded());
}

// A ready screen left alone counts every idle second towards stand-by without its timer waking
// it every second: over ten idle minutes (stand-by after fifteen) the idle clock's timer fires a
// handful of times, the counted time still grows a second a second, and a touch then starts it
// again from nothing; stand-by comes at the fifteenth minute.
TEST_F(ScreenTimers, AnIdleScreenCountsItsSecondsWithoutWakingEverySecond) {
  Sql("update SysSetting set DormancyTime=15");
  CSampleTest screen(nullptr);
  int standBys = 0;
  CountStandBys(screen, standBys);
  int firedBefore = 0, firedAfter = 0;
  uint32_t idleBefore = 0, idleAfter = 0, idleAfterTouch = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);  // the start-up pause of Exit and Service
                            s.Advance(2000);
                            idleBefore = Idle(s, screen);
                            s.RunUntil([&] {
                              firedBefore = screen.idleTimerExpiries();
                              return true;
                            });
                            for (int i = 0; i < 60; ++i) s.Advance(10000);
                            idleAfter = Idle(s, screen);
                            s.RunUntil([&] {
                              firedAfter = screen.idleTimerExpiries();
                              return true;
                            });
                            const ui::Rect r = screen.GetWindowRect();
                            s.MoveTo({r.left + 300, r.top + 300});
                            s.MoveTo({r.left + 301, r.top + 300});
                            idleAfterTouch = Idle(s, screen);
                            for (int i = 0; i < 14 && standBys == 0; ++i) s.Advance(60000);
                            EXPECT_EQ(standBys, 0);
                            s.Advance(63000);
                            s.RunUntil([&] { return standBys > 0; }, 3000);
                            Leave(s, screen);
                          }));
  EXPECT_LE(firedAfter - firedBefore, 20);
  EXPECT_GE(idleAfter - idleBefore, 599000u);
  EXPECT_LE(idleAfter - idleBefore, 601000u);
  EXPECT_LT(idleAfterTouch, 2000u);
  EXPECT_EQ(standBys, 1);
}

// The idle minute is up at the next tick when a fault makes the screen reset the board and
// leave: the pause before the port is released runs past that tick, and no stand-by starts
// (the one AA 91 of leaving, no AA 54 wake-up).
TEST_F(ScreenTimers, NoStandByWhileTheScreenIsLeft) {
  Sql("update SysSetting set DormancyTime=1");
  CSampleTest screen(nullptr);
  int standBys = 0;
  CountStandBys(screen, standBys);
  size_t atFault = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(55000);
                            while (Idle(s, screen) < 60000) s.Advance(1000);
                            atFault = sim.ReceivedCount();
                            sim.SendRaw(Frame(0xDD, 0x61));
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            s.AnswerMessageBox(ui::IDOK);
                            // The board's reset answer runs Exit.
                            ASSERT_TRUE(s.RunUntil([&] { return Count(atFault, "AA 91") > 0; }, 3000));
                            s.Advance(1600);
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(standBys, 0);
  EXPECT_EQ(Count(atFault, "AA 91"), 1u);
  EXPECT_EQ(Count(atFault, "AA 54"), 0u);
}

// The automatic rinse after a count runs; a fault that stops the screen comes, the screen
// resets the board and leaves once the reset is answered. The rinse never reports its end: the
// reset has ended it, so Exit is not refused with "Rinse procedure in progress!" and the
// unfinished rinse is not booked.
TEST_F(ScreenTimers, ABoardResetEndsTheRinse) {
  Sql("update SysSetting set AutoCleanTime=1");
  CSampleTest screen(nullptr);
  std::vector<std::string> boxes;
  float cleanerAfterCount = 0.0f;
  size_t beforeRinse = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim.PressCountKey();  // the rinse is asked at the end of the count
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 15000));
                            boxes.push_back(s.MessageBoxText());
                            s.RunUntil([&] {
                              cleanerAfterCount = analyzer::Reagents().volumes().CleanerVol;
                              return true;
                            });
                            sim.DropNext(boardsim::Target::Ack);  // the rinse's end never comes
                            beforeRinse = sim.ReceivedCount();
                            s.AnswerMessageBox(ui::IDOK);
                            ASSERT_TRUE(sim.WaitForReceived(beforeRinse + 1, 2000));
                            sim.SendRaw(Frame(0xDD, 0x61));
                            for (int i = 0; i < 4 && s.RunUntil([&] { return s.MessageBox() != nullptr; }, 1000); ++i) {
                              boxes.push_back(s.MessageBoxText());
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            s.Advance(1600);
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "System will rinse automatically, please wait after confirmation");
  for (size_t i = 1; i < boxes.size(); ++i) EXPECT_NE(boxes[i], "Rinse procedure in progress!");
  EXPECT_TRUE(ReceivedSince(beforeRinse, "AA 40"));
  EXPECT_TRUE(ReceivedSince(beforeRinse, "AA FF"));
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_FLOAT_EQ(analyzer::Reagents().volumes().CleanerVol, cleanerAfterCount);
}

// The "Restoring..." pop-up of the wake-up writes with the dialog font every screen shares.
TEST_F(ScreenTimers, TheWakeUpPopUpUsesTheSharedDialogFont) {
  Sql("update SysSetting set DormancyTime=1");
  CSampleTest screen(nullptr);
  screen.SetStandByRunner([] { return 0; });
  std::string text;
  bool shared = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            // The board does not report the wake-up done: the pop-up stays until
                            // the wake timer ends it.
                            sim.AnswerNext(0x54, 0x00);
                            s.Advance(62000);
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_RESTORE_TEXT) != nullptr; }, 3000));
                            text = s.Text(IDC_RESTORE_TEXT);
                            s.RunUntil([&] {
                              const draw::Font* f = s.Find(IDC_RESTORE_TEXT)->GetFont();
                              shared = f != nullptr && *f == SharedDialogFont();
                              return true;
                            });
                            s.Advance(40100);
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.standBy(); }, 3000));
                            Leave(s, screen);
                          }));
  EXPECT_EQ(text, "Restoring...");
  EXPECT_TRUE(shared);
}

}  // namespace

// The test screen over the board simulator when the board's answers outside a count are odd or
// damaged: the answer to the abort after a time-out or a fault, the sample-mode and rinse
// acknowledgements with a damaged check byte, and a damaged count key frame.
#include <fstream>
#include <sstream>

#include "analyzer/frame.h"
#include "controls/message_box_dlg.h"
#include "measurement/count_cycle.h"
#include "measurement/screen/sample_test_screen.h"
#include "platform/ui/message_box.h"
#include "counted_sample.h"

using namespace measurement;

namespace {


class ScreenRecovery : public CountedSampleTest {};

// How the board answers the reset that ends an aborted count.
enum class ResetAnswer { Status00, DamagedCheck, LostThenTemperature };

TEST_F(ScreenRecovery, AfterATimeOutAnyResetAnswerOrATemperatureReportMakesTheScreenIdle) {
  struct Case {
    const char* name;
    ResetAnswer answer;
  } cases[] = {
      {"AA FF with status 00", ResetAnswer::Status00},
      {"AA FF FF with a damaged check byte", ResetAnswer::DamagedCheck},
      {"reset answer lost, then a temperature report", ResetAnswer::LostThenTemperature},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("delete from Person");
    CSampleTest screen(nullptr);
    bool readyAfter = false, counted = false;
    std::string exitBox, mode;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              s.Advance(3100);  // the start-up pause of Exit and Service
                              // The start is never acknowledged, nor when sent again.
                              sim.DropNext(boardsim::Target::Ack, 1 + CountCycle::kRequestRetries);
                              sim.PressCountKey();
                              ASSERT_TRUE(s.RunUntil([&] { return !screen.ready(); }, 3000));
                              switch (c.answer) {
                                case ResetAnswer::Status00: sim.AnswerNext(0xFF, 0x00); break;
                                case ResetAnswer::DamagedCheck: sim.CorruptNext(boardsim::Target::Ack); break;
                                case ResetAnswer::LostThenTemperature: sim.DropNext(boardsim::Target::Ack); break;
                              }
                              s.Advance(120100);
                              ASSERT_TRUE(s.RunUntil([&] { return s.Text(IDC_MESSAGE) == "Test time out"; }, 3000));
                              if (c.answer == ResetAnswer::LostThenTemperature) {
                                s.RunUntil([] { return false; }, 300);
                                EXPECT_FALSE(screen.ready());
                                sim.SendRaw(Frame(0xCC, 0x80, {0x01, 0x55}));
                              }
                              readyAfter = s.RunUntil([&] { return screen.ready(); }, 3000);
                              // The count key starts the next sample.
                              counted = CountOne(s, screen);
                              Leave(s, screen);
                              if (!screen.IsEnded() && s.MessageBox()) {
                                exitBox = s.MessageBoxText();
                                s.AnswerMessageBox(ui::IDOK);
                              }
                            }));
    EXPECT_TRUE(readyAfter);
    EXPECT_TRUE(counted);
    EXPECT_EQ(exitBox, "");
    EXPECT_TRUE(screen.IsEnded());
  }
}

TEST_F(ScreenRecovery, AfterAFaultStopAnyResetAnswerLeavesTheScreen) {
  struct Case {
    const char* name;
    bool damaged;
    uint8_t status;
  } cases[] = {
      {"AA FF with status 00", false, 0x00},
      {"AA FF FF with a damaged check byte", true, 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSampleTest screen(nullptr);
    std::string box;
    size_t before = 0;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              if (c.damaged) sim.CorruptNext(boardsim::Target::Ack);
                              else sim.AnswerNext(0xFF, c.status);
                              before = sim.ReceivedCount();
                              sim.SendRaw(Frame(0xDD, 0x63));
                              ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                              box = s.MessageBoxText();
                              s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
                              ASSERT_TRUE(s.RunUntil([&] { return ReceivedSince(before, "AA 91"); }, 3000));
                              s.Advance(1600);
                              s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                            }));
    EXPECT_EQ(box, "Pressure syringe abnormal!");
    EXPECT_TRUE(ReceivedSince(before, "AA FF"));
    EXPECT_TRUE(screen.IsEnded());
  }
}

TEST_F(ScreenRecovery, DamagedSampleModeAcknowledgementStillLetsTheKeyCount) {
  sim.CorruptNext(boardsim::Target::Ack);  // the answer to the screen's first AA 90
  CSampleTest screen(nullptr);
  bool ready = false, counted = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ready = WaitReady(s, screen);
                            counted = CountOne(s, screen);
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(ready);
  EXPECT_TRUE(counted);
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(ScreenRecovery, DamagedRinseAcknowledgementEndsTheRinse) {
  Sql("update SysSetting set AutoCleanTime=1");
  CSampleTest screen(nullptr);
  std::string question, finished, again;
  bool second = false;
  size_t beforeRinse = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim.PressCountKey();
                            // The rinse is due after this sample: its question comes with the end of test.
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 15000));
                            question = s.MessageBoxText();
                            beforeRinse = sim.ReceivedCount();
                            sim.CorruptNext(boardsim::Target::Ack);  // the AA 40 FF that ends the rinse
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 5000));
                            finished = s.MessageBoxText();
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
                            ASSERT_TRUE(WaitReady(s, screen));
                            // No longer "rinse in progress": the next sample is counted. The
                            // rinse is due again after it; this time it is declined.
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 15000));
                            again = s.MessageBoxText();
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDCANCEL));
                            second = s.RunUntil([&] { return screen.hasResult() >= 2 && screen.ready(); }, 15000);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(question, "System will rinse automatically, please wait after confirmation");
  EXPECT_TRUE(ReceivedSince(beforeRinse, "AA 40"));
  EXPECT_EQ(finished.rfind("Rinsing finished", 0), 0u) << finished;
  EXPECT_EQ(again, question);
  EXPECT_TRUE(second);
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(ScreenRecovery, DamagedKeyFrameIsAskedForAgainAndStartsNothing) {
  CSampleTest screen(nullptr);
  size_t before = 0;
  bool counted = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            before = sim.ReceivedCount();
                            sim.SendRaw(Damaged(Frame(0xCC, 0xFF)));
                            ASSERT_TRUE(s.RunUntil([&] { return ReceivedSince(before, "5A 01"); }, 3000));
                            s.RunUntil([] { return false; }, 300);
                            EXPECT_EQ(screen.cycle().state(), CycleState::Idle);
                            EXPECT_EQ(s.Text(IDC_STATUS), "Ready");
                            counted = CountOne(s, screen);
                            Leave(s, screen);
                          }));
  const std::vector<std::string> rx = Received();
  // The damaged key started no count; the good one afterwards did.
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 01"), 1);
  EXPECT_TRUE(counted);
  std::ifstream trace(File("checksum.txt"));
  std::stringstream text;
  text << trace.rdbuf();
  // The trace names the check computed over bytes 1 to 11: CC xor FF = 33.
  EXPECT_NE(text.str().find("TestChksum=33"), std::string::npos) << text.str();
  EXPECT_TRUE(screen.IsEnded());
}

// A key report cut on the line between counts (a byte doubled: the frame is dropped as longer
// than it announces) is asked for again by the screen's link watchdog, and the count runs.
TEST_F(ScreenRecovery, KeyReportCutBetweenCountsIsAskedForAgainAndCounts) {
  CSampleTest screen(nullptr);
  bool counted = false;
  size_t before = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);  // the start-up pause; nothing is left on its way
                            int had = 0;
                            s.RunUntil([&] {
                              had = screen.hasResult();
                              return true;
                            });
                            before = sim.ReceivedCount();
                            sim.DoubleByteNext(boardsim::Target::Status);
                            sim.PressCountKey();
                            s.RunUntil([] { return false; }, 300);
                            for (int i = 0; i < 4 && !ReceivedSince(before, "5A 01"); ++i) s.Advance(2000);
                            counted = s.RunUntil([&] { return screen.hasResult() > had && screen.ready(); }, 15000);
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(ReceivedSince(before, "5A 01"));
  EXPECT_TRUE(counted);
  EXPECT_TRUE(screen.IsEnded());
}

// A fault report (DD 02) while no count runs ends no count: the next command (here the count
// key's start) does not wake a stale deadline, no time-out is logged or booked, no reset is sent.
TEST_F(ScreenRecovery, FaultReportBetweenCountsTimesNothingOut) {
  Sql("delete from SysLog");
  CSampleTest screen(nullptr);
  bool counted = false;
  std::string box;
  size_t before = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            before = sim.ReceivedCount();
                            sim.SendRaw(Frame(0xDD, 0x02, {0x02}));
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            box = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            s.Advance(2000);
                            counted = CountOne(s, screen);
                            s.Advance(2000);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(box, "Liquid syringe abnormal!");
  EXPECT_TRUE(counted);
  EXPECT_FALSE(ReceivedSince(before, "AA FF"));
  EXPECT_EQ(Scalar("select count(*) from SysLog where Result='Test time out'"), "0");
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

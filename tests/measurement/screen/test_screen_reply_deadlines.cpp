// The test screen over the board simulator when the board's answer to a command it waits for
// is withheld, comes twice or comes late: every wait has its deadline, and each operation is
// booked once.
#include "analyzer/frame.h"
#include "analyzer/reagent.h"
#include "controls/message_box_dlg.h"
#include "measurement/count_cycle.h"
#include "measurement/screen/board_reports.h"
#include "measurement/screen/sample_test_screen.h"
#include "platform/ui/message_box.h"
#include "counted_sample.h"

using namespace measurement;

namespace {

class ScreenReplyDeadlines : public CountedSampleTest {
 protected:
  // How often the board received the frame `name` at or after position `from`.
  size_t ReceivedTimes(size_t from, const std::string& name) const {
    const std::vector<std::string> all = Received();
    size_t n = 0;
    for (size_t i = from; i < all.size(); ++i) n += all[i] == name ? 1 : 0;
    return n;
  }
  int BoardCountNumber() {
    int n = 0;
    sim.WithModel([&](boardsim::BoardModel& m) { n = m.countNumber(); });
    return n;
  }
};

// The end-of-test reply is withheld: the result is stored already, so within seconds the command
// is sent again, its reply makes the screen ready with its buttons, and nothing is booked as
// timed out.
TEST_F(ScreenReplyDeadlines, EndOfTestReplyWithheldIsAskedForAgainWithinSeconds) {
  CSampleTest screen(nullptr);
  bool dropped = false, ready = false, exitEnabled = false;
  std::string line;
  size_t before = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);  // the start-up pause of Exit and Service
                            before = sim.ReceivedCount();
                            // The board takes its time over each count; once it runs the
                            // second, the next acknowledgement it sends is the end of test's.
                            sim.SetCountDelay(2000);
                            sim.PressCountKey();
                            dropped = s.RunUntil([&] { return BoardCountNumber() == 2; }, 8000);
                            sim.DropNext(boardsim::Target::Ack);
                            ASSERT_TRUE(s.RunUntil([&] { return screen.cycle().state() == CycleState::Finishing; }, 8000));
                            s.RunUntil([] { return false; }, 300);
                            EXPECT_EQ(screen.cycle().state(), CycleState::Finishing);
                            s.Advance(CountCycle::kRequestRetryMs + 600);
                            ready = s.RunUntil([&] { return screen.ready() && s.Enabled(IDC_EXIT); }, 3000);
                            exitEnabled = s.Enabled(IDC_EXIT) && s.Enabled(IDC_RETEST);
                            line = s.Text(IDC_MESSAGE);
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(dropped);
  EXPECT_TRUE(ready);
  EXPECT_TRUE(exitEnabled);
  EXPECT_EQ(line, "");
  EXPECT_EQ(ReceivedTimes(before, "AA 11"), 2u);
  EXPECT_EQ(Scalar("select count(*) from Person"), "1");
  EXPECT_EQ(Scalar("select count(*) from SysLog where Result='Test time out'"), "0");
  EXPECT_TRUE(screen.IsEnded());
}

// A fault report while the automatic rinse runs, and the rinse's end never comes: after the
// rinse's longest time the screen gives it up with a message, counts and can be left again.
TEST_F(ScreenReplyDeadlines, RinseThatNeverEndsIsGivenUpWithAMessage) {
  Sql("update SysSetting set AutoCleanTime=1");
  CSampleTest screen(nullptr);
  std::string question, fault, refusal, line;
  bool counted = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            sim.RefuseNext(0x40, 3);  // DD 40 03: "Carriage abnormal!", no AA 40 FF
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 8000));
                            question = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            fault = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            s.Advance(60000);
                            s.Press(IDC_EXIT);
                            if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 1000)) {
                              refusal = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            s.Advance(kRinseDeadlineMs - 60000);
                            line = s.Text(IDC_MESSAGE);
                            // The next sample is counted; its own rinse is declined.
                            sim.PressCountKey();
                            if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 8000)) s.AnswerMessageBox(ui::IDCANCEL);
                            counted = s.RunUntil([&] { return screen.hasResult() == 2 && screen.ready(); }, 8000);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(question, "System will rinse automatically, please wait after confirmation");
  EXPECT_EQ(fault, "Carriage abnormal!");
  EXPECT_EQ(refusal, "Rinse procedure in progress!");
  EXPECT_EQ(line, "No reply from the analyzer, the rinse was stopped!");
  EXPECT_TRUE(counted);
  EXPECT_TRUE(screen.IsEnded());
}

// The count key pressed while a mechanical fault's box is open: the fault stop resets the board
// and leaves the screen; the key starts no count that the reset would drop without a word.
TEST_F(ScreenReplyDeadlines, KeyUnderAFaultBoxStartsNoCount) {
  CSampleTest screen(nullptr);
  std::string box;
  size_t before = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            before = sim.ReceivedCount();
                            sim.SendRaw(Frame(0xDD, 0x61));
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            box = s.MessageBoxText();
                            sim.PressCountKey();
                            s.RunUntil([] { return false; }, 300);
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
                            ASSERT_TRUE(s.RunUntil([&] { return ReceivedSince(before, "AA 91"); }, 3000));
                            s.Advance(1600);
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_EQ(box, "Carriage detection error!");
  EXPECT_TRUE(ReceivedSince(before, "AA FF"));
  EXPECT_FALSE(ReceivedSince(before, "AA 01"));
  EXPECT_EQ(Scalar("select count(*) from Person"), "0");
  EXPECT_TRUE(screen.IsEnded());
}

// ReTest pressed, and a sample counted while its question is open: OK does not hand the
// retest to the sample counted meanwhile; the question is asked again about it, and a Cancel
// leaves every stored result to its own sample.
TEST_F(ScreenReplyDeadlines, SampleCountedUnderTheReTestQuestionIsAskedAboutAgain) {
  CSampleTest screen(nullptr);
  std::vector<std::string> boxes;
  bool counted = false, third = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            ASSERT_TRUE(CountOne(s, screen));
                            s.Press(IDC_RETEST);
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            boxes.push_back(s.MessageBoxText());
                            sim.SetProfile(boardsim::Profile::Leukocytosis);
                            sim.PressCountKey();
                            counted = s.RunUntil([&] { return screen.hasResult() == 2 && screen.ready(); }, 15000);
                            s.AnswerMessageBox(ui::IDOK);
                            if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 1000)) {
                              boxes.push_back(s.MessageBoxText());
                              s.AnswerMessageBox(ui::IDCANCEL);
                            }
                            sim.SetProfile(boardsim::Profile::Anaemic);
                            third = CountOne(s, screen);
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(counted);
  EXPECT_TRUE(third);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Are you sure to retest the sample?", "Are you sure to retest the sample?"}));
  // Three samples, three rows: the second was not overwritten by the third.
  EXPECT_EQ(Scalar("select count(*) from Person"), "3");
  EXPECT_TRUE(screen.IsEnded());
}

// A repeated "rinse finished" or "awake" reply books and answers its operation once.
TEST_F(ScreenReplyDeadlines, RepeatedRinseAndWakeRepliesAreBookedOnce) {
  Sql("update SysSetting set AutoCleanTime=1");
  CSampleTest screen(nullptr);
  std::vector<std::string> boxes;
  float afterRinse = 0, afterRepeat = 0;
  size_t beforeRepeat = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 8000));
                            s.AnswerMessageBox(ui::IDOK);  // the rinse question
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            boxes.push_back(s.MessageBoxText());
                            s.AnswerMessageBox(ui::IDOK);
                            afterRinse = analyzer::Reagents().volumes().DiluentVol;
                            beforeRepeat = sim.ReceivedCount();
                            sim.SendRaw(Frame(0xAA, 0x40, {0xFF}));
                            if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 500)) {
                              boxes.push_back(s.MessageBoxText());
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            afterRepeat = analyzer::Reagents().volumes().DiluentVol;
                            Leave(s, screen);
                          }));
  EXPECT_EQ(boxes, std::vector<std::string>{
                       "Rinsing finished, press aspirate key to continue with sample test or press \"Exit\" to exit"});
  // One count (17.97 mL) and one rinse (17.68 mL) of the 5000 mL.
  EXPECT_NEAR(afterRinse, 5000.0f - 17.97f - 17.68f, 0.01f);
  EXPECT_EQ(afterRepeat, afterRinse);
  EXPECT_FALSE(ReceivedSince(beforeRepeat, "AA 90"));
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(ScreenReplyDeadlines, RepeatedWakeReplyIsBookedOnce) {
  Sql("update SysSetting set DormancyTime=1");
  CSampleTest screen(nullptr);
  float afterWake = 0, afterRepeat = 0;
  size_t beforeWake = 0, beforeRepeat = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            s.Advance(62000);
                            ASSERT_TRUE(s.RunUntil([&] { return screen.standBy(); }, 3000));
                            beforeWake = sim.ReceivedCount();
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.standBy(); }, 3000));
                            ASSERT_TRUE(s.RunUntil([&] { return ReceivedSince(beforeWake, "AA 90"); }, 3000));
                            afterWake = analyzer::Reagents().volumes().DiluentVol;
                            beforeRepeat = sim.ReceivedCount();
                            sim.SendRaw(Frame(0xAA, 0x54, {0xFF}));
                            s.RunUntil([] { return false; }, 300);
                            afterRepeat = analyzer::Reagents().volumes().DiluentVol;
                            Leave(s, screen);
                          }));
  EXPECT_NEAR(afterWake, 5000.0f - 8.76f, 0.01f);
  EXPECT_EQ(afterRepeat, afterWake);
  EXPECT_FALSE(ReceivedSince(beforeRepeat, "AA 90"));
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

// The test screen over the board simulator: a whole sample from the count key to the shown
// values and the stored row, the existing-sample question, the count time-out, stand-by and
// wake, the reagent warning, and the buttons' refusals.
#include <filesystem>

#include "analyzer/reagent.h"
#include "core/app_settings.h"
#include "measurement/result_globals.h"
#include "measurement/screen/restore_dlg.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_test_screen.h"
#include "controls/message_box_dlg.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "screen_fixture.h"

using namespace measurement;
namespace fs = std::filesystem;

namespace {

class SampleScreen : public TestScreenTest {
 protected:
  // Waits until the board has put the screen into sample mode and it shows "Ready".
  bool WaitReady(ui::TestDriver& s, CSampleTest& screen) {
    return s.RunUntil([&] { return screen.ready() && screen.cycle().sampleMode(); }, 5000);
  }
  // Waits until a count has ended and the screen is ready again.
  bool WaitCounted(ui::TestDriver& s, CSampleTest& screen, int results) {
    return s.RunUntil(
        [&] { return screen.hasResult() >= results && screen.cycle().state() == CycleState::Idle && screen.ready(); },
        15000) || (Dump(screen), false);
  }
  void Dump(CSampleTest& screen) {
    std::string all;
    for (const std::string& r : Received()) all += r + ", ";
    ADD_FAILURE() << "state " << static_cast<int>(screen.cycle().state()) << " ready " << screen.ready()
                  << " results " << screen.hasResult() << " received " << all;
  }
  void Leave(ui::TestDriver& s, CSampleTest& screen) {
    s.Press(IDC_EXIT);
    s.Advance(1600);
    s.RunUntil([&] { return screen.IsEnded(); }, 3000);
  }
};

TEST_F(SampleScreen, NormalSampleFromKeyPressToShownValuesAndStoredRow) {
  CSampleTest screen(nullptr);
  std::string status, wbc, plt, sampleNo, unit, box;
  bool mode = false, exitDuring = true;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return screen.cycle().state() != CycleState::Idle; }, 3000));
                            exitDuring = s.Enabled(IDC_EXIT);
                            ASSERT_TRUE(WaitCounted(s, screen, 1));
                            status = s.Text(IDC_STATUS);
                            wbc = s.Text(kValueIds[0]);
                            plt = s.Text(kValueIds[15]);
                            unit = s.Text(kUnitIds[0]);
                            sampleNo = s.Text(IDC_SAMPLE_NO);
                            mode = s.Enabled(IDC_MODE);
                            if (s.MessageBox()) {
                              box = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            Shot("sample_test_normal_en");
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(box, "");
  EXPECT_FALSE(exitDuring);
  EXPECT_TRUE(mode);
  EXPECT_EQ(status, "Ready");
  EXPECT_EQ(sampleNo, "1");
  EXPECT_EQ(unit, "10^9/L");
  ASSERT_NE(screen.lastResult(), nullptr);
  const RunResult& r = *screen.lastResult();
  EXPECT_EQ(r.save, SaveStatus::Inserted);
  EXPECT_FALSE(screen.cycle().thirdCount());
  EXPECT_EQ(wbc, r.shownTexts[0]);
  EXPECT_EQ(plt, r.shownTexts[15]);
  const boardsim::BloodProfile& p = boardsim::ProfileData(boardsim::Profile::Normal);
  EXPECT_NEAR(std::stof(wbc), p.wbc, p.wbc * 0.15);
  EXPECT_NEAR(std::stof(plt), p.plt, p.plt * 0.2);
  // The row as stored: the sample of today with the shown values and the blood mode.
  EXPECT_EQ(Scalar("select count(*) from Person where SampleNo='1' and TestDate='" + Today() + "'"), "1");
  EXPECT_EQ(Scalar("select WBC from Person where SampleNo='1'"), r.storedTexts[0]);
  EXPECT_EQ(Scalar("select BloodType from Person where SampleNo='1'"), "Whole blood");
  EXPECT_EQ(CurrentSample.SampleNo, "1");
  EXPECT_FLOAT_EQ(CurrentResult[0], r.values.values[0]);
  // The board saw the whole cycle: start, header and histograms twice, end of test, and the
  // leave-sample-mode of Exit.
  const std::vector<std::string> rx = Received();
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 01"), 1);
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "BB 04"), 2);
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 00"), 1);
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 11"), 1);
  EXPECT_EQ(rx.back(), "AA 91");
  // A count of whole blood is booked.
  EXPECT_NEAR(analyzer::Reagents().volumes().DiluentVol, 5000.0f - 17.97f, 0.01f);
}

TEST_F(SampleScreen, ExistingSampleQuestion) {
  struct Case {
    const char* name;
    std::vector<int> answers;  // to the questions, in order (0: the Escape key)
    bool counts;               // a count starts
    std::string number;        // the number shown (and counted)
  } cases[] = {
      {"skip both, count the third", {ui::IDYES, ui::IDYES}, true, "3"},
      {"overwrite the first", {ui::IDNO}, true, "1"},
      {"skip, then give up", {ui::IDYES, ui::IDCANCEL}, false, "1"},
      {"Escape gives up and overwrites nothing", {0}, false, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("delete from Person");
    CSampleTest screen(nullptr);
    std::vector<std::string> questions;
    std::string shown;
    size_t before = 0;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              // Results of samples 1 and 2 arrive after the screen opened.
                              for (int n : {1, 2})
                                Sql("insert into Person (SampleNo, TestDate, TestTime, WBC) values ('" +
                                    std::to_string(n) + "','" + Today() + "','08:00:00','5.00')");
                              before = sim.ReceivedCount();
                              sim.PressCountKey();
                              for (int answer : c.answers) {
                                ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                                questions.push_back(s.MessageBoxText());
                                if (answer == 0) s.Key(ui::VK_ESCAPE);
                                else s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_YESNOCANCEL, answer));
                              }
                              if (c.counts) ASSERT_TRUE(WaitCounted(s, screen, 1));
                              else s.RunUntil([] { return false; }, 300);
                              shown = s.Text(IDC_SAMPLE_NO);
                              Leave(s, screen);
                            }));
    EXPECT_EQ(questions.front(), "Sample 1 existed, if retest, new result will cover previous result,skip?");
    if (questions.size() > 1) {
      EXPECT_EQ(questions[1], "Sample 2 existed, if retest, new result will cover previous result,skip?");
    }
    EXPECT_EQ(shown, c.number);
    EXPECT_EQ(ReceivedSince(before, "AA 01"), c.counts);
    if (c.counts) {
      EXPECT_NE(Scalar("select WBC from Person where SampleNo='" + c.number + "'"), "5.00");
      EXPECT_EQ(Scalar("select count(*) from Person where SampleNo='" + c.number + "'"), "1");
    } else {
      EXPECT_EQ(NextSampleNo, 1);
      EXPECT_EQ(Scalar("select WBC from Person where SampleNo='1'"), "5.00");
    }
  }
}

TEST_F(SampleScreen, PatientDataEnteredBeforeTheCountIsShownAndKept) {
  CSampleTest screen(nullptr);
  std::string name, sex, age, question;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            // A profile without a result: no question, its patient shown at the key.
                            Sql("insert into Person (SampleNo, TestDate, TestTime, Name, Sex, Age, AgeUnit, ReferValue) "
                                "values ('1','" + Today() + "','08:00:00','Olena Kovalenko','Female',35,'Y','Adult female')");
                            sim.PressCountKey();
                            ASSERT_TRUE(WaitCounted(s, screen, 1));
                            if (s.MessageBox()) question = s.MessageBoxText();
                            name = s.Text(IDC_NAME);
                            sex = s.Text(IDC_SEX);
                            age = s.Text(IDC_AGE);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(question, "");
  EXPECT_EQ(name, "Olena Kovalenko");
  EXPECT_EQ(sex, "Female");
  EXPECT_EQ(age, "35 years");
  ASSERT_NE(screen.lastResult(), nullptr);
  EXPECT_EQ(screen.lastResult()->save, SaveStatus::Updated);
  EXPECT_EQ(screen.lastResult()->referValue, "Adult female");
  EXPECT_EQ(Scalar("select Name from Person where SampleNo='1'"), "Olena Kovalenko");
  EXPECT_EQ(Scalar("select WBC from Person where SampleNo='1'"), screen.lastResult()->storedTexts[0]);
  EXPECT_EQ(CurrentSample.Name, "Olena Kovalenko");
  EXPECT_EQ(CurrentSample.Age, "35 years");
}

TEST_F(SampleScreen, CountTimeOutKeepsTheTraceAndAbortsTheBoard) {
  CSampleTest screen(nullptr);
  std::string message, status, noAnswer;
  size_t before = 0;
  bool modeEnabled = true, exitEnabled = false, serviceEnabled = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            // The start is never acknowledged, neither the first time nor when
                            // sent again.
                            sim.DropNext(boardsim::Target::Ack, 1 + CountCycle::kRequestRetries);
                            before = sim.ReceivedCount();
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return sim.ReceivedCount() > before; }, 3000));
                            s.Advance(6500);
                            EXPECT_EQ(s.Text(IDC_MESSAGE), "");
                            // Past the start's deadline (7 s and the count time, at most 25.5 s):
                            // said at once.
                            s.Advance(26500);
                            noAnswer = s.Text(IDC_MESSAGE);
                            s.Advance(119000 - 33000);
                            EXPECT_EQ(s.Text(IDC_MESSAGE), noAnswer);
                            s.Advance(1200);
                            ASSERT_TRUE(s.RunUntil([&] { return screen.ready(); }, 3000));
                            message = s.Text(IDC_MESSAGE);
                            status = s.Text(IDC_STATUS);
                            modeEnabled = s.Enabled(IDC_MODE);
                            exitEnabled = s.Enabled(IDC_EXIT);
                            serviceEnabled = s.Enabled(IDC_SERVICE);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(noAnswer, "The analyzer does not answer!");
  EXPECT_EQ(message, "Test time out");
  EXPECT_EQ(status, "Ready");
  EXPECT_TRUE(screen.alarmShown());
  // The board's reset answer gives back Exit and Service only; the other buttons wait for the
  // next finished count.
  EXPECT_FALSE(modeEnabled);
  EXPECT_TRUE(exitEnabled);
  EXPECT_TRUE(serviceEnabled);
  EXPECT_TRUE(ReceivedSince(before, "AA FF"));
  EXPECT_EQ(Scalar("select Result from SysLog where Event='Sample test'"), "Test time out");
  bool copied = false;
  for (const auto& e : fs::directory_iterator(folder_ / "Log"))
    copied |= e.path().filename().string().ends_with("Timeout_serialdata.txt") && fs::file_size(e.path()) > 0;
  EXPECT_TRUE(copied);
  // The aborted count is booked as a count.
  EXPECT_NEAR(analyzer::Reagents().volumes().DiluentVol, 5000.0f - 17.97f, 0.01f);
  EXPECT_EQ(screen.hasResult(), 0);
}

TEST_F(SampleScreen, StandByAfterTheIdleTimeAndWakeByTheCountKey) {
  Sql("update SysSetting set DormancyTime=1");
  CSampleTest screen(nullptr);
  std::string top, restoring;
  bool exitDuringWake = true, standByDuringWake = false;
  size_t beforeStandBy = 0, beforeWake = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);  // the start-up pause of Exit and Service
                            beforeStandBy = sim.ReceivedCount();
                            s.Advance(55000);
                            EXPECT_FALSE(screen.standBy());
                            s.Advance(7000);
                            ASSERT_TRUE(s.RunUntil([&] { return screen.standBy(); }, 3000));
                            EXPECT_TRUE(ReceivedSince(beforeStandBy, "AA 91"));
                            beforeWake = sim.ReceivedCount();
                            // The board's wake-up reply is lost: the 40 s wake timer ends it.
                            sim.DropNext(boardsim::Target::Ack);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_RESTORE_TEXT) != nullptr; }, 3000));
                            restoring = s.Text(IDC_RESTORE_TEXT);
                            exitDuringWake = s.Enabled(IDC_EXIT);
                            standByDuringWake = screen.standBy();
                            s.Advance(40100);
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.standBy(); }, 3000));
                            ASSERT_TRUE(WaitReady(s, screen));
                            Leave(s, screen);
                          }));
  EXPECT_EQ(restoring, "Restoring...");
  EXPECT_FALSE(exitDuringWake);
  EXPECT_TRUE(standByDuringWake);
  EXPECT_TRUE(ReceivedSince(beforeWake, "AA 54"));
  EXPECT_TRUE(ReceivedSince(beforeWake, "AA 90"));
  EXPECT_FALSE(ReceivedSince(beforeWake, "AA 01"));  // the key only woke the analyzer
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(SampleScreen, IdleClockStopsWhileDormancyIsOffOrAPointerMoves) {
  Sql("update SysSetting set DormancyTime=1");
  CSampleTest screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(30000);
                            const ui::Rect r = screen.GetWindowRect();
                            s.MoveTo({r.left + 300, r.top + 300});
                            s.MoveTo({r.left + 301, r.top + 300});  // a real move restarts the clock
                            s.Advance(45000);
                            EXPECT_FALSE(screen.standBy());
                            EXPECT_LT(screen.idleMs(), 50000u);
                            Leave(s, screen);
                          }));
}

TEST_F(SampleScreen, ReagentShortageIsShownAndCountingGoesOn) {
  analyzer::Reagents().volumes().DiluentVol = 29.9f;
  analyzer::Reagents().volumes().CleanerVol = 10.0f;  // exactly the minimum: enough
  CSampleTest screen(nullptr);
  std::string atOpen, afterCount;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            atOpen = s.Text(IDC_MESSAGE);
                            sim.PressCountKey();
                            ASSERT_TRUE(WaitCounted(s, screen, 1));
                            afterCount = s.Text(IDC_MESSAGE);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(atOpen, "Diluent not enough");
  EXPECT_EQ(afterCount, "Diluent not enough");
  EXPECT_EQ(screen.hasResult(), 1);
}

TEST_F(SampleScreen, ButtonRefusalsAndModeFactors) {
  Sql("delete from CalibrationCoef");
  Sql("insert into CalibrationCoef (BloodType, WBC) values (0, 1.2)");
  CSampleTest screen(nullptr);
  std::vector<std::string> boxes;
  std::vector<float> wbcFactor;
  std::vector<std::string> modes;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            wbcFactor.push_back(screen.calibrationFactors()[0]);
                            s.Press(IDC_RETEST);
                            if (s.MessageBox()) {
                              boxes.push_back(s.MessageBoxText());
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            for (int i = 0; i < 3; ++i) {
                              s.Press(IDC_MODE);
                              modes.push_back(s.Text(IDC_BLOOD_MODE));
                              wbcFactor.push_back(screen.calibrationFactors()[0]);
                            }
                            s.Advance(3100);
                            sim.DropNext(boardsim::Target::Ack);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.ready(); }, 3000));
                            s.Press(IDC_EXIT);  // disabled during a count: nothing happens
                            boxes.push_back(s.MessageBox() ? s.MessageBoxText() : "");
                            EXPECT_FALSE(screen.IsEnded());
                            sim.SendRaw({0x7E, 0xDD, 0x02, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0xD8, 0xE7});  // abort it
                            for (int i = 0; i < 20 && !screen.ready(); ++i) {
                              s.RunUntil([&] { return screen.ready(); }, 100);
                              s.Advance(600);
                            }
                            ASSERT_TRUE(s.RunUntil([&] { return screen.ready(); }, 3000));
                            Leave(s, screen);
                          }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"No sample!", ""}));
  EXPECT_EQ(modes, (std::vector<std::string>{"Peripheral blood", "Pre-diluted blood", "Whole blood"}));
  // Modes without their own row count with 1.0, not with the factor of the mode before.
  EXPECT_EQ(wbcFactor, (std::vector<float>{1.2f, 1.0f, 1.0f, 1.2f}));
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

// What the test screen keeps besides the values of a sample: the day's and the total sample
// counters that Exit stores, the test date of a count after midnight, the result-pending state
// the patient screen looks at, the patient labels of the next sample, the reagent check after
// every result, and the start-up background shown when the screen first opens.
#include <algorithm>
#include <cstring>
#include <memory>

#include "algorithm/ZentilRecords.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "controls/message_box_dlg.h"
#include "measurement/count_cycle.h"
#include "measurement/patient/profile_flags.h"
#include "measurement/raw_files.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_test_screen.h"
#include "measurement/zentil_call.h"
#include "platform/sys/clock.h"
#include "platform/ui/message_box.h"
#include "tools/boardsim/blood_profile.h"
#include "counted_sample.h"

using namespace measurement;

namespace {

class ScreenBookkeeping : public CountedSampleTest {};

TEST_F(ScreenBookkeeping, EveryResultCountsTheSampleForTheDayAndInAllAndExitStoresThem) {
  // The counters as the start-up read them from the Statistic row.
  Sql("update Statistic set SampleCountToday=7, SampleCountAll=40, DateToday='" + Today() + "'");
  analyzer::SampleCounters.SampleCountToday = 7;
  analyzer::SampleCounters.SampleCountAll = 40;
  CSampleTest screen(nullptr);
  int counted = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            for (int i = 0; i < 3; ++i) counted += CountOne(s, screen) ? 1 : 0;
                            Leave(s, screen);
                          }));
  ASSERT_EQ(counted, 3);
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(Scalar("select SampleCountToday || ',' || SampleCountAll || ',' || DateToday from Statistic"),
            "10,43," + Today());
}

TEST_F(ScreenBookkeeping, CountAfterMidnightIsKeyedAndCheckedByItsOwnDate) {
  sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 1, 5, 23, 59, 30, 0, 1});
  CSampleTest screen(nullptr);
  std::string question, dateBeforeMidnight, dateAfterMidnight;
  bool first = false, second = false, third = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            first = CountOne(s, screen);
                            dateBeforeMidnight = s.Text(IDC_SAMPLE_NO) + " " + TestDateText;
                            s.RunUntil([] {
                              sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 1, 6, 0, 0, 20, 0, 2});
                              return true;
                            });
                            second = CountOne(s, screen);
                            dateAfterMidnight = s.Text(IDC_SAMPLE_NO) + " " + TestDateText;
                            // Sample 3 already has a result of the new day: the count asks first.
                            Sql("insert into Person (SampleNo, TestDate, TestTime, WBC) values "
                                "('3','2026-01-06','00:00:40','5.00')");
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 5000));
                            question = s.MessageBoxText();
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_YESNOCANCEL, ui::IDNO));
                            third = s.RunUntil([&] { return screen.hasResult() >= 3 && screen.ready(); }, 15000);
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
  EXPECT_TRUE(third);
  EXPECT_EQ(dateBeforeMidnight, "1 2026-01-05");
  EXPECT_EQ(dateAfterMidnight, "2 2026-01-06");
  EXPECT_EQ(question, "Sample 3 existed, if retest, new result will cover previous result,skip?");
  EXPECT_EQ(Scalar("select group_concat(SampleNo || ' ' || TestDate, ', ') from "
                   "(select SampleNo, TestDate from Person order by SampleNo)"),
            "1 2026-01-05, 2 2026-01-06, 3 2026-01-06");
  EXPECT_NE(Scalar("select WBC from Person where SampleNo='3'"), "5.00");  // overwritten
  EXPECT_EQ(CurrentSample.TestDate, "2026-01-06");
  EXPECT_EQ(Scalar("select DateToday from Statistic"), "2026-01-06");
}

TEST_F(ScreenBookkeeping, ResultPendingFromTheEndOfTestUntilItsReplyOrFiveSeconds) {
  CSampleTest screen(nullptr);
  int afterResult = -1, before5s = -1, after5s = -1, afterReply = -1;
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            // A normal count: the end-of-test reply ends the pending state.
                            ASSERT_TRUE(CountOne(s, screen));
                            s.RunUntil([&] {
                              afterReply = ResultPending;
                              return true;
                            });
                            s.Advance(6000);
                            // The board refuses the end of test (DD 11, a code outside 1 to 5):
                            // no reply comes, the result stays pending for 5 s after it was written.
                            sim.RefuseNext(0x11, 0x07);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return screen.hasResult() >= 2; }, 15000));
                            s.RunUntil([&] {
                              afterResult = ResultPending;
                              return true;
                            });
                            s.Advance(4900);
                            s.RunUntil([&] {
                              before5s = ResultPending;
                              return true;
                            });
                            s.Advance(200);
                            s.RunUntil([&] {
                              after5s = ResultPending;
                              return true;
                            });
                            ASSERT_TRUE(s.RunUntil([&] { return screen.ready(); }, 3000));
                            if (s.MessageBox()) {
                              box = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            Leave(s, screen);
                          }));
  EXPECT_EQ(afterReply, 0);
  EXPECT_EQ(afterResult, 1);
  EXPECT_EQ(before5s, 1);
  EXPECT_EQ(after5s, 0);
  EXPECT_EQ(box, "");
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(ScreenBookkeeping, NextSampleWithoutAProfileShowsNoPatientOfTheSampleBefore) {
  CSampleTest screen(nullptr);
  std::string first[3], second[3];
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            Sql("insert into Person (SampleNo, TestDate, TestTime, Name, Sex, Age, AgeUnit, ReferValue) "
                                "values ('1','" + Today() + "','08:00:00','Olena Kovalenko','Female',35,'Y','Adult female')");
                            ASSERT_TRUE(CountOne(s, screen));
                            first[0] = s.Text(IDC_NAME), first[1] = s.Text(IDC_SEX), first[2] = s.Text(IDC_AGE);
                            ASSERT_TRUE(CountOne(s, screen));
                            second[0] = s.Text(IDC_NAME), second[1] = s.Text(IDC_SEX), second[2] = s.Text(IDC_AGE);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(first[0], "Olena Kovalenko");
  EXPECT_EQ(first[1], "Female");
  EXPECT_EQ(first[2], "35 years");
  EXPECT_EQ(second[0], "");
  EXPECT_EQ(second[1], "");
  EXPECT_EQ(second[2], "");
  EXPECT_EQ(Scalar("select coalesce(Name,'') || '|' || coalesce(Sex,'') || '|' || coalesce(Age,0) || '|' || "
                   "ReferValue from Person where SampleNo='2'"),
            "||0|General");
  EXPECT_EQ(Scalar("select Name from Person where SampleNo='1'"), "Olena Kovalenko");
  EXPECT_EQ(CurrentSample.SampleNo, "2");
  EXPECT_EQ(CurrentSample.Name, "");
  EXPECT_EQ(CurrentSample.Sex, "");
  EXPECT_EQ(CurrentSample.Age, "");
}

TEST_F(ScreenBookkeeping, CountsWithoutTheLibraryAreKeptWithNobodyAnswering) {
  SetZentilLibraryPath(File("no-such-library.so"));
  Sql("delete from SysLog");
  CSampleTest screen(nullptr);
  std::string lineAfterFirst, line, printBox;
  bool boxDuringCounts = false;
  int counted = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            // Two samples, and nobody at the screen: no box may hold a count.
                            for (int n = 1; n <= 2; ++n) {
                              const int before = n - 1;
                              sim.PressCountKey();
                              counted += s.RunUntil(
                                             [&] {
                                               boxDuringCounts = boxDuringCounts || s.MessageBox() != nullptr;
                                               return screen.hasResult() > before &&
                                                      screen.cycle().state() == CycleState::Idle && screen.ready();
                                             },
                                             30000)
                                             ? 1
                                             : 0;
                              if (n == 1) {
                                lineAfterFirst = s.Text(IDC_MESSAGE);
                                s.RunUntil([] {
                                  analyzer::Reagents().volumes().DiluentVol = 29.9f;
                                  return true;
                                });
                              }
                              if (s.MessageBox() != nullptr) break;
                            }
                            line = s.Text(IDC_MESSAGE);
                            // The kept row has no value to print: Print says so.
                            s.Press(IDC_PRINT);
                            if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000)) {
                              printBox = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            Leave(s, screen);
                          }));
  EXPECT_FALSE(boxDuringCounts);
  EXPECT_EQ(counted, 2);
  // Each count is kept to be computed later: its row, with no value a number, and its raw record.
  EXPECT_EQ(Scalar("select group_concat(SampleNo || ':' || WBC || '|' || HGB || '|' || PLT || '|' || "
                   "(CountInputs is not null), ',') from (select * from Person order by SampleNo)"),
            "1:- - -|- - -|- - -|1,2:- - -|- - -|- - -|1");
  ASSERT_NE(screen.lastResult(), nullptr);
  measurement::HistogramBuffers raw;
  EXPECT_TRUE(measurement::ReadTestDataRecord(
      AppSettings.ProgramFolder,
      measurement::TestDataKey(screen.lastResult()->testDate, screen.lastResult()->row.sampleNo), &raw));
  // One notice per count, however often the count called the library: on the message line and
  // in the system log, named by the sample.
  EXPECT_EQ(lineAfterFirst, "Load Zentil.dll failed!");
  EXPECT_EQ(Scalar("select group_concat(Result, ',') from (select Result from SysLog where Event='Sample test' "
                   "order by rowid)"),
            "1: Load Zentil.dll failed!,2: Load Zentil.dll failed!");
  // The reagent check follows even a result that could not be computed.
  EXPECT_EQ(line, "Diluent not enough");
  EXPECT_EQ(printBox, "No result: the algorithm library could not be used");
}

// The start-up background worked out independently: the blank histograms through the library
// with the whole-blood constants, a count time of 5 s and factors of 1.0.
struct Background {
  float wbc, rbc, hct, plt;
};
Background BlankThroughLibrary(const analyzer::BlankHistogramBuffers& h) {
  auto in = std::make_unique<AlgorithmInput>();
  auto out = std::make_unique<AlgorithmResult>();
  std::memset(in.get(), 0, sizeof *in);
  in->WbcDilution = 280.0f;
  in->RbcDilution = 18109.0f;
  in->WbcRateDivisor = 25.6f;
  in->RbcRateDivisor = 10.4f;
  in->WbcCountTime = in->RbcCountTime = 5.0f;
  in->WbcFactor = in->HgbFactor = in->RbcFactor = in->McvFactor = in->PltFactor = in->MpvFactor = 1.0f;
  for (int i = 0; i < 256; ++i) in->WbcHistogram[i] = h.wbc[i], in->RbcHistogram[i] = h.rbc[i];
  for (int i = 0; i < 128; ++i) in->PltHistogram[i] = h.plt[i];
  EXPECT_EQ(CallAlgorithmMain(*out, *in), ZentilStatus::Computed);
  return {out->WBC, out->RBC, out->HCT, out->PLT};
}

TEST_F(ScreenBookkeeping, StartupBackgroundIsShownWhenTheScreenFirstOpens) {
  Sql("delete from CalibrationCoef");
  struct Case {
    const char* name;
    boardsim::Profile profile;
    bool high;  // what the counts amount to by the rule below
  } cases[] = {
      {"a clean blank", boardsim::Profile::Blank, false},
      {"blood left in the chambers", boardsim::Profile::Normal, true},
  };
  const int kShown[5] = {0, 7, 8, 9, 15};  // WBC RBC HGB HCT PLT
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const boardsim::CountData count = boardsim::GenerateCount(boardsim::ProfileData(c.profile), 5.0f, false, 1, false);
    analyzer::BlankHistograms.Clear();
    for (int i = 0; i < 256; ++i) analyzer::BlankHistograms.wbc[i] = count.wbc[i], analyzer::BlankHistograms.rbc[i] = count.rbc[i];
    for (int i = 0; i < 128; ++i) analyzer::BlankHistograms.plt[i] = count.plt[i];
    const Background expected = BlankThroughLibrary(analyzer::BlankHistograms);
    auto invalid = [](float v) { return v == -100000.0f; };
    const bool high = expected.wbc > 0.2f || invalid(expected.wbc) || expected.rbc > 0.03f || invalid(expected.rbc) ||
                      expected.plt > 10.0f || invalid(expected.plt) || expected.hct > 0.5f || invalid(expected.hct);
    ASSERT_EQ(high, c.high) << expected.wbc << " " << expected.rbc << " " << expected.hct << " " << expected.plt;
    analyzer::StartupBlankEvaluated = 1;
    CSampleTest screen(nullptr);
    std::string values[20], message, sampleNo;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              for (int i = 0; i < 20; ++i) values[i] = s.Text(kValueIds[i]);
                              message = s.Text(IDC_MESSAGE);
                              sampleNo = s.Text(IDC_SAMPLE_NO);
                              Shot(std::string("startup_background_") + (high ? "high" : "clean"));
                              Leave(s, screen);
                            }));
    EXPECT_EQ(analyzer::StartupBlankEvaluated, 0);
    EXPECT_EQ(sampleNo, "");
    EXPECT_EQ(message, high ? "High blank value" : "");
    for (int i = 0; i < 20; ++i)
      if (std::find(std::begin(kShown), std::end(kShown), i) == std::end(kShown)) EXPECT_EQ(values[i], "***") << i;
    EXPECT_FLOAT_EQ(std::stof(values[8]), 0.0f);  // a blank measures no HGB
    const std::pair<int, float> numbers[3] = {{0, expected.wbc}, {7, expected.rbc}, {15, expected.plt}};
    for (const auto& [row, v] : numbers) {
      if (invalid(v)) EXPECT_EQ(values[row], "- - -") << row;
      else EXPECT_NEAR(std::stof(values[row]), v, 0.51f) << row;
    }
    EXPECT_FALSE(values[9].empty());
    EXPECT_TRUE(screen.IsEnded());
  }
}

}  // namespace

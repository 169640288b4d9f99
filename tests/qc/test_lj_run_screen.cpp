// The L-J run screen over the board simulator: control samples from the count key to the run
// table, the Westgard verdicts and the stored rows, with a control that shifts upwards and trips
// the rules it should; the refusals at the count key and the deletion of a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "analyzer/frame.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "core/value_format.h"
#include "measurement/screen/board_reports.h"
#include "measurement/zentil_call.h"
#include "qc/lj_qc_run.h"
#include "qc/lj_run_result.h"
#include "qc_screen_fixture.h"
#include "tools/boardsim/control_profiles.h"

namespace {

using qc::CLJQCRun;

class LjRunScreen : public QcScreenTest {
 protected:
  // File 1: batch C-2026, WBC target 7.5 SD 0.3, RBC, HGB, PLT under QC without targets, the
  // other parameters not under QC; rules 1 and 2 on. The X-R file 1 has the batch in other
  // letter case and room for four runs.
  void SetUpFile() {
    Sql("insert into LJQCSet values(1,'C-2026','2099-12-31'," + Values() + ",1,1,0,0," + Chosen() + ")");
    Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(1,'c-2026','2099-12-31',2,2)");
  }
  static std::string Values() {
    std::string v = "7.5,0.3";
    for (int i = 1; i < 20; ++i) v += ",0,0";
    return v;
  }
  static std::string Chosen() {
    std::string q;
    for (int i = 1; i <= 20; ++i) q += std::string(i > 1 ? "," : "") + (i == 1 || i == 8 || i == 9 || i == 16 ? "1" : "0");
    return q;
  }
  bool WaitReady(ui::TestDriver& s, CLJQCRun& screen) {
    return s.RunUntil([&] { return screen.cycle().ready() && screen.cycle().sampleMode(); }, 5000);
  }
  // Counts one control sample; returns the texts of the boxes shown while it ran.
  std::vector<std::string> CountOne(ui::TestDriver& s, CLJQCRun& screen) {
    const int before = screen.usedColumns();
    sim_->PressCountKey();
    std::vector<std::string> boxes;
    const bool done = s.RunUntil(
        [&] {
          if (s.MessageBox()) return true;
          return screen.usedColumns() > before && screen.cycle().state() == measurement::CycleState::Idle &&
                 screen.cycle().ready();
        },
        15000);
    EXPECT_TRUE(done) << "state " << static_cast<int>(screen.cycle().state());
    while (s.MessageBox()) {
      boxes.push_back(s.MessageBoxText());
      s.AnswerMessageBox(ui::IDOK);
      s.RunUntil([&] {
        return s.MessageBox() != nullptr || (screen.usedColumns() > before && screen.cycle().ready() &&
                                             screen.cycle().state() == measurement::CycleState::Idle);
      }, 15000);
    }
    return boxes;
  }
  void Leave(ui::TestDriver& s, CLJQCRun& screen) {
    s.Press(ui::IDCANCEL);
    s.Advance(600);
    s.RunUntil([&] { return screen.IsEnded(); }, 3000);
  }
};

TEST_F(LjRunScreen, AShiftingControlTripsTheRulesAndEveryRunIsStored) {
  SetUpFile();
  boardsim::ControlSeries series;
  series.level = boardsim::ControlLevel::Normal;  // WBC 7.5
  series.shift = 0.30f;                           // 9.75 from the second sample on
  series.shiftFrom = 2;
  sim_->SetProfileSource([series](uint32_t n) { return boardsim::ControlSample(series, n); });
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 1;
  std::vector<std::vector<std::string>> boxes;
  std::string batch, expiry, firstNo, thirdNo, lymCell, wbcCell;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            for (int i = 0; i < 3; ++i) boxes.push_back(CountOne(s, screen));
                            batch = s.Text(qc::IDC_LJ_RUN_BATCH);
                            expiry = s.Text(qc::IDC_LJ_RUN_EXPIRY);
                            firstNo = screen.grid().GetItemText(0, 3);
                            thirdNo = screen.grid().GetItemText(0, 5);
                            lymCell = screen.grid().GetItemText(4, 3);
                            wbcCell = screen.grid().GetItemText(3, 3);
                            Shot("lj_run_three_runs_en");
                            Leave(s, screen);
                          }));
  EXPECT_EQ(batch, "C-2026");
  EXPECT_EQ(expiry, "2099-12-31");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_TRUE(boxes[0].empty()) << boxes[0].front();
  EXPECT_EQ(boxes[1], (std::vector<std::string>{"Item WBC is out of control:Once exceed 3SD"}));
  EXPECT_EQ(boxes[2], (std::vector<std::string>{"Item WBC is out of control:Once exceed 3SD",
                                                "Item WBC is out of control:Consecutive twice exceed 2SD"}));
  EXPECT_EQ(firstNo, "1");
  EXPECT_EQ(thirdNo, "3");
  EXPECT_EQ(lymCell, "");  // LYM# not under QC
  // The first run lies near the control's 7.5, within 3 SD of the target.
  const double wbc1 = std::atof(wbcCell.c_str());
  EXPECT_NEAR(wbc1, 7.5, 0.9);

  // Every stored column of the three runs.
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=1"), "3");
  const std::string others =
      Scalar("select count(*) from LJQCRunResult where LYMA=-2 and MONA=-2 and GRAA=-2 and LYMP=-2 and MONP=-2 and "
             "GRAP=-2 and MCHC=-2 and MCH=-2 and MCV=-2 and RDWCV=-2 and RDWSD=-2 and HCT=-2 and MPV=-2 and PDW=-2 "
             "and PCT=-2 and PLCR=-2");
  EXPECT_EQ(others, "3");
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where TestDate='" + Today() +
                   "' and WBCUnit='10^9/L' and RBCUnit='10^12/L' and HGBUnit='g/L' and MCHCUnit='g/L' and HCTUnit='%' "
                   "and PLTUnit='10^9/L' and PCTUnit='%'"),
            "3");
  const std::regex time(R"(\d\d:\d\d:\d\d)");
  EXPECT_TRUE(std::regex_match(Scalar("select TestTime from LJQCRunResult limit 1"), time));
  // The counted values: the control's, then 30 % higher (RBC 4.5, HGB 135, PLT 230).
  const double rbc1 = std::atof(Scalar("select RBC from LJQCRunResult order by rowid limit 1").c_str());
  const double hgb1 = std::atof(Scalar("select HGB from LJQCRunResult order by rowid limit 1").c_str());
  const double plt1 = std::atof(Scalar("select PLT from LJQCRunResult order by rowid limit 1").c_str());
  const double wbc3 = std::atof(Scalar("select WBC from LJQCRunResult order by rowid limit 1 offset 2").c_str());
  EXPECT_NEAR(rbc1, 4.5, 0.45);
  EXPECT_NEAR(hgb1, 135, 14);
  EXPECT_NEAR(plt1, 230, 25);
  EXPECT_NEAR(wbc3 / wbc1, 1.3, 0.05);
  EXPECT_NEAR(std::atof(Scalar("select WBC from LJQCRunResult order by rowid limit 1").c_str()), wbc1, 0.01);
  // The X-R file of the same number and batch (letter case aside) took a copy of each run.
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=1 and LYMA=-2"), "3");

  // The board: test mode, then per sample start, header and three histograms for two counts,
  // end of test; test mode left at Exit.
  const std::vector<std::string> frames = Received();
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.front(), "AA 90");
  EXPECT_EQ(frames.back(), "AA 91");
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "AA 01"), 3);
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "AA 00"), 3);
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "AA 11"), 3);
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "BB 03"), 6);
}

TEST_F(LjRunScreen, CountKeyRefusalsAndAnExpiredFileMakeNoCount) {
  // No settings row: no batch, the key press asks for the material and starts nothing.
  {
    CLJQCRun screen(nullptr);
    screen.QcFileNo = 2;
    std::vector<std::string> texts;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              sim_->PressCountKey();
                              texts = DrainBoxes(s, 2000);
                              s.Press(ui::IDCANCEL);
                              s.Advance(600);
                              s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                            }));
    EXPECT_EQ(texts, (std::vector<std::string>{"Please set QC material first!"}));
    const std::vector<std::string> frames = Received();
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "AA 01"), 0);
  }
  // Expired yesterday: the warning, and the board is never put into test mode.
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate) values(3,'B','2020-01-01')");
  const std::ptrdiff_t before = static_cast<std::ptrdiff_t>(Received().size());
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 3;
  std::vector<std::string> texts;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            texts = DrainBoxes(s, 2000);
                            s.Press(ui::IDCANCEL);
                            s.Advance(600);
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_EQ(texts, (std::vector<std::string>{"Quality control material has expired, please change it!"}));
  EXPECT_TRUE(screen.expired());
  const std::vector<std::string> all = Received();
  EXPECT_EQ(std::count(all.begin() + static_cast<long>(before), all.end(), "AA 90"), 0);
}

TEST_F(LjRunScreen, DeletingARunColumnRemovesItsRowsAndRenumbers) {
  SetUpFile();
  // A run of another file at the same second must stay.
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 1;
  std::string no1, no2, col5;
  std::vector<std::string> question;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            for (int i = 0; i < 2; ++i) {
                              CountOne(s, screen);
                              s.Advance(1000);  // runs a second apart
                            }
                            const std::string date = screen.grid().GetItemText(1, 3);
                            const std::string time = screen.grid().GetItemText(2, 3);
                            Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(2,'" + date + "','" +
                                time + "',7)");
                            // The targets column: nothing happens.
                            s.RunUntil([&] { screen.grid().SetSelectedRange(3, 1, 3, 1); return true; });
                            s.Press(qc::IDC_LJ_RUN_DELETE);
                            EXPECT_EQ(s.MessageBox(), nullptr);
                            s.RunUntil([&] { screen.grid().SetSelectedRange(3, 3, 3, 3); return true; });
                            s.Press(qc::IDC_LJ_RUN_DELETE);
                            question = DrainBoxes(s, 1000);
                            no1 = screen.grid().GetItemText(0, 3);
                            no2 = screen.grid().GetItemText(0, 4);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(question, (std::vector<std::string>{"Are you sure to delete selected data?"}));
  EXPECT_EQ(no1, "1");
  EXPECT_EQ(no2, "");
  EXPECT_EQ(screen.usedColumns(), 4);
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=1"), "1");
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=2"), "1");
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=1"), "1");
}

// Without the library a control sample has no result: no box holds the count (nobody need be at
// the screen), the message line and the system log say once per sample that there is no result,
// and no QC point is made of values that were never computed.
TEST_F(LjRunScreen, AMissingLibraryStoresNothingAndSaysSoOncePerSample) {
  SetUpFile();
  measurement::SetZentilLibraryPath("/nonexistent/libZentil.so");
  Sql("delete from SysLog");
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 1;
  std::vector<std::string> boxes, lines;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            for (int n = 0; n < 2; ++n) {
                              const std::ptrdiff_t before = static_cast<std::ptrdiff_t>(Received().size());
                              sim_->PressCountKey();
                              // The sample ends: AA 11 went out and the screen is ready again.
                              s.RunUntil(
                                  [&] {
                                    if (s.MessageBox() != nullptr) return true;
                                    const std::vector<std::string> rx = Received();
                                    return std::find(rx.begin() + before, rx.end(), "AA 11") != rx.end() &&
                                           screen.cycle().state() == measurement::CycleState::Idle &&
                                           screen.cycle().ready();
                                  },
                                  20000);
                              for (const std::string& b : DrainBoxes(s, 300)) boxes.push_back(b);
                              lines.push_back(s.Text(qc::IDC_QC_RUN_MESSAGE));
                            }
                            Leave(s, screen);
                          }));
  EXPECT_EQ(boxes, std::vector<std::string>{});
  const std::string notice = "No result: the algorithm library could not be used";
  EXPECT_EQ(lines, (std::vector<std::string>{notice, notice}));
  EXPECT_EQ(Scalar("select group_concat(Event || '|' || Result, ',') from SysLog"),
            "L-J QC(QC 1)|" + notice + " (Load Zentil.dll failed!),L-J QC(QC 1)|" + notice + " (Load Zentil.dll failed!)");
  EXPECT_EQ(screen.usedColumns(), 3);
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult"), "0");
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult"), "0");
}

}  // namespace

namespace {

TEST_F(LjRunScreen, ATimeOutAbortsTheBoardsCountAndKeepsTheTrace) {
  SetUpFile();
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 1;
  std::vector<std::string> texts;
  bool readyAfter = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim_->DropNext(boardsim::Target::RunHeader, 100);  // the count never ends
                            sim_->PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return screen.cycle().state() == measurement::CycleState::Header; }, 3000));
                            s.Advance(119000);
                            s.Advance(1200);
                            texts = DrainBoxes(s, 2000);
                            s.RunUntil([&] { return screen.cycle().ready(); }, 5000);
                            readyAfter = screen.cycle().ready();
                            Leave(s, screen);
                          }));
  EXPECT_EQ(texts, (std::vector<std::string>{"Test time out!"}));
  const std::vector<std::string> frames = Received();
  EXPECT_NE(std::find(frames.begin(), frames.end(), "AA FF"), frames.end());  // the board's count is aborted
  EXPECT_TRUE(readyAfter);
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult"), "0");
  bool traceKept = false;
  const std::filesystem::path log = program_->path() / "Log";
  if (std::filesystem::exists(log))
    for (const auto& e : std::filesystem::directory_iterator(log))
      traceKept = traceKept || e.path().filename().string().find("LJTOserialdata.txt") != std::string::npos;
  EXPECT_TRUE(traceKept);
}

}  // namespace

namespace {

// The stored history takes part in the rules: six stored runs above the target and the new one
// make seven on one side; with one of them invalid there are only six usable runs.
TEST_F(LjRunScreen, StoredRunsTakePartInTheRulesAndInvalidOnesDoNot) {
  struct Case {
    bool oneInvalid;
    std::vector<std::string> expected;
  } cases[] = {
      {false, {"Item WBC is out of control:Consecutive 7 times at the same side of bias"}},
      {true, {}},
  };
  for (const Case& c : cases) {
    Sql("delete from LJQCSet");
    Sql("delete from LJQCRunResult");
    std::string v = "7.0,0.3";
    for (int i = 1; i < 20; ++i) v += ",0,0";
    std::string q;
    for (int i = 1; i <= 20; ++i) q += i == 1 ? "1" : ",0";
    Sql("insert into LJQCSet values(1,'C-1','2099-12-31'," + v + ",0,0,0,1," + q + ")");
    for (int i = 0; i < 6; ++i)
      Sql(StrPrintf("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(1,'2026-01-0%d','08:00:00',%s)", i + 1,
                    c.oneInvalid && i == 3 ? "-1" : "7.1"));
    // Runs of another file never count.
    Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(2,'2026-01-09','08:00:00',6.0)");
    // The normal control: WBC 7.5, above the target.
    sim_->SetProfileSource([](uint32_t n) { return boardsim::ControlSample(boardsim::ControlSeries{}, n); });
    CLJQCRun screen(nullptr);
    screen.QcFileNo = 1;
    std::vector<std::string> boxes;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              boxes = CountOne(s, screen);
                              Leave(s, screen);
                            }));
    EXPECT_EQ(boxes, c.expected) << c.oneInvalid;
  }
}

}  // namespace

namespace {

// With a rinse after every sample: three postponements, then the rinse starts by itself two
// seconds after the fourth sample, and the board's end of rinse is announced.
TEST_F(LjRunScreen, ARinsePostponedThreeTimesStartsByItself) {
  SetUpFile();
  Sql("update SysSetting set AutoCleanTime=1");
  analyzer::Soak.TestsSinceAutoClean = 0;
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 1;
  std::vector<std::string> questions, afterFourth, finished;
  size_t rinsesBefore = 0, rinsesAfter = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            for (int i = 0; i < 4; ++i) {
                              const int before = screen.usedColumns();
                              sim_->PressCountKey();
                              auto done = [&] {
                                return screen.usedColumns() > before && screen.cycle().ready() &&
                                       screen.cycle().state() == measurement::CycleState::Idle;
                              };
                              for (int guard = 0; guard < 10; ++guard) {
                                ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr || done(); }, 15000));
                                if (!s.MessageBox()) break;
                                (i < 3 ? questions : afterFourth).push_back(s.MessageBoxText());
                                s.AnswerMessageBox(ui::IDCANCEL);
                              }
                              s.Advance(1000);
                            }
                            auto count = [&] {
                              const std::vector<std::string> f = Received();
                              return static_cast<size_t>(std::count(f.begin(), f.end(), "AA 40"));
                            };
                            rinsesBefore = count();
                            s.Advance(2000);
                            s.RunUntil([&] { return s.MessageBox() != nullptr; }, 5000);
                            finished = DrainBoxes(s, 1000);
                            rinsesAfter = count();
                            Leave(s, screen);
                          }));
  ASSERT_EQ(questions.size(), 3u);
  EXPECT_EQ(questions[0], "System will rinse automatically, please wait after confirmation");
  EXPECT_TRUE(afterFourth.empty());
  EXPECT_EQ(rinsesBefore, 0u);
  EXPECT_EQ(rinsesAfter, 1u);
  EXPECT_EQ(finished, (std::vector<std::string>{
                          "Rinsing finished, press aspirate key to continue with sample test or press \"Exit\" to exit"}));
}

}  // namespace

namespace {

// An end-of-rinse answer that no rinse of this screen asked for (the board repeating itself)
// ends nothing: no reagent booked, no "Rinsing finished" and no return to sample mode sent.
TEST_F(LjRunScreen, AnUnaskedEndOfRinseBooksNothing) {
  SetUpFile();
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 1;
  float diluentBefore = 0, diluentAfter = 0;
  size_t sampleModesBefore = 0, sampleModesAfter = 0;
  bool boxShown = true;
  auto sampleModes = [&] {
    const std::vector<std::string> f = Received();
    return static_cast<size_t>(std::count(f.begin(), f.end(), "AA 90"));
  };
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            diluentBefore = analyzer::Reagents().volumes().DiluentVol;
                            sampleModesBefore = sampleModes();
                            const analyzer::CommandFrame f = analyzer::BuildCommandFrame(0xAA, 0x40, 0xFF);
                            sim_->SendRaw(std::vector<uint8_t>(f.begin(), f.end()));
                            s.RunUntil([&] { return s.MessageBox() != nullptr; }, 1500);
                            boxShown = s.MessageBox() != nullptr;
                            if (boxShown) s.AnswerMessageBox(ui::IDOK);
                            diluentAfter = analyzer::Reagents().volumes().DiluentVol;
                            sampleModesAfter = sampleModes();
                            Leave(s, screen);
                          }));
  EXPECT_FALSE(boxShown);
  EXPECT_EQ(diluentAfter, diluentBefore);
  EXPECT_EQ(sampleModesAfter, sampleModesBefore);
}

}  // namespace

namespace {

// A fault report while the automatic rinse runs, and the rinse's end never comes: after the
// rinse's longest time the screen gives it up with a message on its message line, counts and
// can be left again.
TEST_F(LjRunScreen, RinseThatNeverEndsIsGivenUpWithAMessage) {
  SetUpFile();
  Sql("update SysSetting set AutoCleanTime=1");
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 1;
  std::vector<std::string> boxes;
  std::string line;
  bool counted = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim_->RefuseNext(0x40, 3);  // DD 40 03: "Carriage abnormal!", no AA 40 FF
                            sim_->PressCountKey();
                            // The rinse question, then the fault.
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 15000));
                            boxes = DrainBoxes(s, 3000);
                            s.Advance(60000);
                            s.Press(ui::IDCANCEL);
                            for (const std::string& b : DrainBoxes(s, 1000)) boxes.push_back(b);
                            s.Advance(measurement::kRinseDeadlineMs - 60000);
                            line = s.Text(qc::IDC_QC_RUN_MESSAGE);
                            // The next sample is counted; its own rinse is declined.
                            sim_->PressCountKey();
                            if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 15000)) s.AnswerMessageBox(ui::IDCANCEL);
                            counted = s.RunUntil(
                                [&] {
                                  return screen.usedColumns() == 5 && screen.cycle().ready() &&
                                         screen.cycle().state() == measurement::CycleState::Idle;
                                },
                                15000);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"System will rinse automatically, please wait after confirmation",
                                             "Carriage abnormal!", "Rinse procedure in progress!"}));
  EXPECT_EQ(line, "No reply from the analyzer, the rinse was stopped!");
  EXPECT_TRUE(counted);
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=1"), "2");
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

namespace {

// The board leaves a request unanswered: within seconds the message line says the analyzer does
// not answer, and takes it back once the answer comes; the sample is counted and stored.
TEST_F(LjRunScreen, AnUnansweredRequestIsToldOnTheMessageLineUntilItsAnswer) {
  SetUpFile();
  CLJQCRun screen(nullptr);
  screen.QcFileNo = 1;
  std::string silent, after;
  bool counted = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim_->DropNext(boardsim::Target::RunHeader, 2);  // asked for and once more
                            sim_->PressCountKey();
                            ASSERT_TRUE(s.RunUntil(
                                [&] { return screen.cycle().state() == measurement::CycleState::Header; }, 3000));
                            s.Advance(measurement::CountCycle::kRequestRetryMs + 100);
                            silent = s.Text(qc::IDC_QC_RUN_MESSAGE);
                            s.Advance(measurement::CountCycle::kRequestRetryMs + 100);
                            counted = s.RunUntil(
                                [&] {
                                  return screen.usedColumns() == 4 && screen.cycle().ready() &&
                                         screen.cycle().state() == measurement::CycleState::Idle;
                                },
                                15000);
                            after = s.Text(qc::IDC_QC_RUN_MESSAGE);
                            DrainBoxes(s);
                            Leave(s, screen);
                          }));
  EXPECT_EQ(silent, "The analyzer does not answer!");
  EXPECT_TRUE(counted);
  EXPECT_EQ(after, "");
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=1"), "1");
}

}  // namespace

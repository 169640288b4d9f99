// Automatic calibration over the board simulator with the test clock: runs of a calibrator in
// each blood mode with the statistics and the saved factors checked against a computation of
// their own here, the next sample count on the test screen showing the new factors, and the
// count cycle's refusals, third count and time-out.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "calibration/calib_auto.h"
#include "analyzer/reagent.h"
#include "tests/support/io_faults.h"
#include "analyzer/sequences/process_values.h"
#include "core/app_settings.h"
#include <chrono>
#include <thread>
#include "platform/ui/app.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "measurement/screen/board_reports.h"
#include "measurement/screen/sample_test_screen.h"
#include "measurement/zentil_call.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"
#include "tools/boardsim/settable_profile.h"
#include "tests/support/store_error_box.h"

using namespace calibration;

namespace {

const char* const kItems[5] = {"WBC", "RBC", "HGB", "MCV", "PLT"};

class AutoCalibration : public TestScreenTest {
 protected:
  void SetUp() override {
    TestScreenTest::SetUp();
    AppSettings.UserLevel = 2;
  }
  void AddBatch(const std::string& no, int bloodType, const double targets[5], const int selected[5] = nullptr) {
    const int all[5] = {1, 1, 1, 1, 1};
    const int* s = selected ? selected : all;
    Sql(StrPrintf("insert into AutoCalibration(BatchNo,ExpDate,BloodType,WBC,RBC,HGB,MCV,PLT,C1,C2,C3,C4,C5) "
                  "values('%s','2099-12-31',%d,%.2f,%.2f,%.2f,%.2f,%.2f,%d,%d,%d,%d,%d)",
                  no.c_str(), bloodType, targets[0], targets[1], targets[2], targets[3], targets[4], s[0], s[1], s[2],
                  s[3], s[4]));
  }
  static bool WaitReady(ui::TestDriver& s, CCalibAuto& screen) {
    return s.RunUntil([&] { return screen.Cycle().ready() && !screen.Busy(); }, 5000);
  }
  // Presses the count key and waits for the run row and the end of the test.
  bool RunOne(ui::TestDriver& s, CCalibAuto& screen) {
    int before = 0;
    s.RunUntil([&] {
      before = screen.RunCount();
      return true;
    });
    sim.PressCountKey();
    return s.RunUntil([&] { return screen.RunCount() > before && !screen.Busy(); }, 15000);
  }
  static std::string Cell(ui::TestDriver& s, CGridCtrl& g, int r, int c) {
    std::string t;
    s.RunUntil([&] {
      t = g.GetItemText(r, c);
      return true;
    });
    return t;
  }
  static void Load(ui::TestDriver& s, CCalibAuto& screen, const std::string& no) {
    s.RunUntil([&] {
      screen.LoadBatch(no);
      return true;
    });
  }
  static void Leave(ui::TestDriver& s, CCalibAuto& screen) {
    s.Press(ui::IDCANCEL);
    s.Advance(600);
    s.RunUntil([&] { return screen.IsEnded(); }, 3000);
  }
  static boardsim::BloodProfile Calibrator(float wbc, float rbc, float hgb, float mcv, float plt) {
    boardsim::BloodProfile p = boardsim::CalibratorProfile();
    p.wbc = wbc;
    p.rbc = rbc;
    p.hgb = hgb;
    p.mcv = mcv;
    p.plt = plt;
    return p;
  }
  std::string Coef(int bt, const std::string& col) {
    return Scalar("select " + col + " from CalibrationCoef where BloodType=" + std::to_string(bt));
  }
};

// Mean, SD (n - 1) and CV of a column, worked out here in double precision.
struct Hand {
  double mean = 0, sd = 0, cv = 0;
};
Hand Work(const std::vector<double>& v) {
  Hand h;
  h.mean = std::accumulate(v.begin(), v.end(), 0.0) / v.size();
  double sq = 0;
  for (double x : v) sq += (x - h.mean) * (x - h.mean);
  h.sd = v.size() > 1 ? std::sqrt(sq / (v.size() - 1)) : 0.0;
  h.cv = h.sd / h.mean * 100.0;
  return h;
}

TEST_F(AutoCalibration, RunsInEachBloodModeGiveTheStatisticsAndTheSavedFactors) {
  const double targets[5] = {7.50, 4.70, 140.0, 91.0, 230.0};
  // Three runs of a calibrator whose counts move a little from run to run.
  const boardsim::BloodProfile runs[3] = {Calibrator(7.0f, 4.40f, 130.0f, 88.0f, 210.0f),
                                          Calibrator(7.2f, 4.50f, 135.0f, 88.0f, 220.0f),
                                          Calibrator(7.4f, 4.60f, 140.0f, 88.0f, 230.0f)};
  const char* const startCommand[3] = {"AA 01", "AA 03", "AA 02"};
  for (int bt = 0; bt < 3; ++bt) {
    SCOPED_TRACE(bt);
    const std::string batch = "CAL" + std::to_string(bt);
    AddBatch(batch, bt, targets);
    const size_t framesBefore = sim.Received().size();
    CCalibAuto screen;
    std::string cells[3][5], result[4][5], boxes;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      ASSERT_TRUE(WaitReady(s, screen));
      Load(s, screen, batch);
      for (int r = 0; r < 3; ++r) {
        sim.SetCustomProfile(runs[r]);
        ASSERT_TRUE(RunOne(s, screen)) << "run " << r;
      }
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c) cells[r][c] = Cell(s, screen.RunGrid(), r + 2, c + 1);
      for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c) result[r][c] = Cell(s, screen.ResultGrid(), r + 1, c + 1);
      EXPECT_EQ(Cell(s, screen.RunGrid(), 4, 0), "3");
      EXPECT_EQ(Cell(s, screen.RunGrid(), 1, 1), "7.50");
      EXPECT_EQ(Cell(s, screen.ResultGrid(), 0, 1), "1.00");  // OLD COEF. at Engineer level
      Shot("calib_auto_" + std::to_string(bt));
      s.Press(IDC_CA_SAVE);
      boxes += s.MessageBoxText() + "|";
      s.AnswerMessageBox(ui::IDOK);
      boxes += s.MessageBoxText() + "|";
      s.AnswerMessageBox(ui::IDOK);
      Leave(s, screen);
    }));
    EXPECT_EQ(boxes, "Save new calibration coefficients?|Calibration data saved!|");
    for (int c = 0; c < 5; ++c) {
      SCOPED_TRACE(kItems[c]);
      std::vector<double> v;
      for (int r = 0; r < 3; ++r) {
        ASSERT_NE(cells[r][c], "-----");
        v.push_back(std::stod(cells[r][c]));
      }
      // The runs are the calibrator's values, uncalibrated.
      const float profile[5] = {runs[0].wbc, runs[0].rbc, runs[0].hgb, runs[0].mcv, runs[0].plt};
      EXPECT_NEAR(v[0], profile[c], profile[c] * 0.06);
      const Hand h = Work(v);
      const double ratio = targets[c] / h.mean;
      EXPECT_NEAR(std::stod(result[0][c]), h.mean, 0.0051);
      EXPECT_NEAR(std::stod(result[1][c]), h.sd, 0.0051);
      EXPECT_NEAR(std::stod(result[2][c]), h.cv, 0.051);
      EXPECT_NEAR(std::stod(result[3][c]), ratio, 0.0051);
      // The stored factor is the ratio with two decimals, dated today; the percents stay.
      EXPECT_NEAR(std::stod(Coef(bt, kItems[c])), std::round(ratio * 100) / 100, 0.0051);
      EXPECT_EQ(Coef(bt, std::string(kItems[c]) + "_CT"), Today());
      EXPECT_EQ(std::stod(Coef(bt, std::string(kItems[c]) + "_D")), 100.0);
    }
    EXPECT_NEAR(std::stod(Coef(bt, "MPV")), 1.0, 1e-6);
    EXPECT_EQ(Coef(bt, "MPV_CT"), "2009-03-01");
    EXPECT_EQ(Scalar("select count(*) from SysLog where Event='Auto calibration' and Result='New coefficient saved'"),
              std::to_string(bt + 1));
    // Each test was started in the batch's blood mode and made of two counts.
    std::vector<std::string> rx = Received();
    rx.erase(rx.begin(), rx.begin() + static_cast<long>(framesBefore));
    EXPECT_EQ(std::count(rx.begin(), rx.end(), startCommand[bt]), 3);
    EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 00"), 3);
    EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 11"), 3);
    EXPECT_EQ(rx.front(), "AA 90");
    EXPECT_EQ(rx.back(), "AA 91");
  }
}

TEST_F(AutoCalibration, TheNextSampleCountShowsTheNewFactors) {
  const boardsim::BloodProfile cal = Calibrator(7.2f, 4.5f, 135.0f, 88.0f, 220.0f);
  sim.SetCustomProfile(cal);
  const double targets[5] = {7.80, 4.30, 145.0, 92.0, 200.0};
  AddBatch("CALX", 0, targets);
  CCalibAuto screen;
  double run[5] = {};
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CALX");
    ASSERT_TRUE(RunOne(s, screen));
    for (int c = 0; c < 5; ++c) run[c] = std::stod(Cell(s, screen.RunGrid(), 2, c + 1));
    // The blank reading of the run header is the one the other counts use.
    uint16_t boardBlank = 0;
    sim.WithModel([&](boardsim::BoardModel& m) { boardBlank = m.lastCount().hgbBlank; });
    EXPECT_EQ(analyzer::RunHeaderValue, boardBlank);
    s.Press(IDC_CA_SAVE);
    s.AnswerMessageBox(ui::IDOK);
    s.AnswerMessageBox(ui::IDOK);
    Leave(s, screen);
  }));
  double factor[5];
  for (int c = 0; c < 5; ++c) {
    factor[c] = std::round(targets[c] / run[c] * 100) / 100;
    EXPECT_NEAR(std::stod(Coef(0, kItems[c])), factor[c], 0.0051) << kItems[c];
    factor[c] = std::stod(Coef(0, kItems[c]));
  }
  ASSERT_NE(factor[0], 1.0);

  // The same calibrator counted as a sample: its values carry the factors just saved.
  measurement::CSampleTest sample(nullptr);
  ASSERT_TRUE(d.RunScript([&] { sample.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(s.RunUntil([&] { return sample.ready() && sample.cycle().sampleMode(); }, 5000));
    sim.PressCountKey();
    ASSERT_TRUE(s.RunUntil([&] { return sample.hasResult() >= 1 && sample.ready(); }, 15000));
    if (s.MessageBox()) s.AnswerMessageBox(ui::IDOK);
    s.Press(measurement::IDC_EXIT);
    s.Advance(1600);
    s.RunUntil([&] { return sample.IsEnded(); }, 3000);
  }));
  ASSERT_NE(sample.lastResult(), nullptr);
  const float* shown = sample.lastResult()->values.values;
  const int screenIndex[5] = {0, 7, 8, 10, 15};
  // The run was shown with two decimals; the sample with its unit's decimals (at most 1 for
  // HGB, MCV and PLT of a new data store).
  const double tolerance[5] = {0.015, 0.015, 1.0, 1.0, 1.5};
  for (int c = 0; c < 5; ++c)
    EXPECT_NEAR(shown[screenIndex[c]], run[c] * factor[c], tolerance[c]) << kItems[c];
  EXPECT_GT(shown[0], run[0] + 0.2);  // WBC 7.2 was raised to about 7.8
}

TEST_F(AutoCalibration, KeyAndButtonRefusals) {
  CCalibAuto screen;
  std::vector<std::string> boxes;
  size_t sent = 0;
  auto box = [&](ui::TestDriver& s) {
    boxes.push_back(s.MessageBoxText());
    s.AnswerMessageBox(ui::IDOK);
  };
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    s.Press(IDC_CA_SAVE);  // nothing loaded
    box(s);
    sent = sim.Received().size();
    sim.PressCountKey();  // no batch: nothing is started
    ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
    box(s);
    const double targets[5] = {7.2, 4.5, 135, 88, 220};
    const int none[5] = {0, 0, 0, 0, 0};
    AddBatch("NONE", 0, targets, none);
    AddBatch("ALL", 0, targets);
    Load(s, screen, "NONE");
    sim.PressCountKey();
    ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
    box(s);
    Load(s, screen, "ALL");
    s.Press(IDC_CA_SAVE);  // no run yet
    box(s);
    s.Press(IDC_CA_DELETE);
    box(s);
    // Twenty runs fill the grid: the next key is refused.
    s.RunUntil([&] {
      for (int i = 0; i < 20; ++i) screen.RunGrid().InsertRow(StrPrintf("%d", i + 1));
      return true;
    });
    sim.PressCountKey();
    ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
    box(s);
    EXPECT_EQ(sim.Received().size(), sent);
    Leave(s, screen);
  }));
  const std::vector<std::string> expect = {
      "Please set the standard samples data!", "Please set standard material first!", "Calibration items not selected!",
      "No data for standard samples test!", "No data for standard samples test!",
      "Analysis should be performed 20 times max, please delete existed data and calibrate again!"};
  EXPECT_EQ(boxes, expect);
}

TEST_F(AutoCalibration, DisagreeingCountsMakeAThirdCountAndTheClosestPairIsUsed) {
  const double targets[5] = {7.2, 4.5, 135, 88, 220};
  AddBatch("CAL3", 0, targets);
  CCalibAuto screen;
  double wbc = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CAL3");
    sim.SetCustomProfile(Calibrator(5.0f, 4.5f, 135.0f, 88.0f, 220.0f));
    // The first count's PLT histogram is held back while the calibrator "changes": counts 2
    // and 3 read 7.0. A broken-off frame start makes the link watchdog ask for it again.
    sim.DropNext(boardsim::Target::Plt, 1);
    sim.PressCountKey();
    ASSERT_TRUE(s.RunUntil([&] { return screen.Cycle().state() == measurement::CycleState::Histograms &&
                                        screen.Cycle().countNumber() == 1 && sim.Received().size() >= 6; }, 10000));
    s.RunUntil([&] { return false; }, 200);
    sim.SetCustomProfile(Calibrator(7.0f, 4.5f, 135.0f, 88.0f, 220.0f));
    sim.SendRaw({0x7E});
    s.RunUntil([&] { return false; }, 200);
    for (int i = 0; i < 3; ++i) s.Advance(2000);
    ASSERT_TRUE(s.RunUntil([&] { return screen.RunCount() == 1 && !screen.Busy(); }, 15000));
    wbc = std::stod(Cell(s, screen.RunGrid(), 2, 1));
    Leave(s, screen);
  }));
  const std::vector<std::string> rx = Received();
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 00"), 2);
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "BB 04"), 3);
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "5A 01"), 1);
  // Counts 2 and 3 agree best: the run is theirs, not the mean with count 1 (about 6.0).
  EXPECT_NEAR(wbc, 7.0, 0.35);
}

TEST_F(AutoCalibration, TimeOutLeavesTheGridAndTheNextTestStartsAfresh) {
  const double targets[5] = {7.2, 4.5, 135, 88, 220};
  AddBatch("CALT", 1, targets);
  CCalibAuto screen;
  std::string box;
  int runsAfterTimeout = -1;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CALT");
    sim.SetCustomProfile(boardsim::CalibratorProfile());
    // The first count never completes: its PLT frame is withheld, also each time it is asked for again.
    sim.DropNext(boardsim::Target::Plt, 1 + measurement::CountCycle::kRequestRetries);
    sim.PressCountKey();
    ASSERT_TRUE(s.RunUntil([&] { return screen.Cycle().state() == measurement::CycleState::Histograms &&
                                        screen.Cycle().countNumber() == 1; }, 10000));
    s.RunUntil([&] { return false; }, 300);
    s.Advance(120000);
    ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
    box = s.MessageBoxText();
    s.AnswerMessageBox(ui::IDOK);
    runsAfterTimeout = screen.RunCount();
    EXPECT_FALSE(screen.Busy());
    EXPECT_EQ(screen.Cycle().countNumber(), 1);
    ASSERT_TRUE(RunOne(s, screen));
    Leave(s, screen);
  }));
  EXPECT_EQ(box, "Test time out!");
  EXPECT_EQ(runsAfterTimeout, 0);
  EXPECT_EQ(screen.RunCount(), 1);
  // The board is not reset by a calibration time-out.
  const std::vector<std::string> rx = Received();
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA FF"), 0);
}

}  // namespace

namespace {

TEST_F(AutoCalibration, RinseAfterDeclinesAndAnUnconfirmedDispenseEnds) {
  Sql("update SysSetting set AutoCleanTime=1");
  const double targets[5] = {7.2, 4.5, 135, 88, 220};
  AddBatch("CALR", 2, targets);
  analyzer::Soak.RinsePromptsDeclined = 2;  // declined twice already, by the test screen
  CCalibAuto screen;
  CCalibAuto* const shown = &screen;
  // The instruction screen: while it is open the count key dispenses (the board's reply never
  // confirms it); then it is left with Escape.
  bool dispense = false, dispenseSent = false;
  RegisterScreen("CSpitDiluent", [&] {
    dispense = shown->DispenseMode();
    sim.AnswerNext(0xA2, 0x01);
    sim.PressCountKey();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until && !dispenseSent) {
      ui::PumpPending();
      const std::vector<std::string> rx = Received();
      dispenseSent = !rx.empty() && rx.back() == "AA A2";
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return ui::IDCANCEL;
  });
  std::vector<std::string> boxes;
  bool busyWhileDispensing = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CALR");
    sim.PressCountKey();
    ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 10000));
    boxes.push_back(s.MessageBoxText());
    s.AnswerMessageBox(ui::IDCANCEL);  // the third decline
    ASSERT_TRUE(s.RunUntil([&] { return screen.RunCount() == 1 && !screen.Busy(); }, 10000));
    // The next due rinse runs without asking; its end is announced.
    sim.PressCountKey();
    ASSERT_TRUE(s.RunUntil([&] { return screen.RunCount() == 2; }, 10000));
    s.RunUntil([&] { return false; }, 300);
    s.Advance(2000);
    ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 10000));
    boxes.push_back(s.MessageBoxText());
    s.AnswerMessageBox(ui::IDOK);
    ASSERT_TRUE(s.RunUntil([&] { return !screen.Busy() && screen.Cycle().ready(); }, 5000));
    // Dispensing diluent from the instruction screen, left with Escape.
    s.Press(IDC_CA_DILUENT);
    ASSERT_TRUE(dispenseSent);
    EXPECT_FALSE(screen.DispenseMode()) << "Escape leaves the screen dispensing";
    s.RunUntil([&] { return false; }, 200);
    busyWhileDispensing = screen.Busy();
    s.Advance(30000);
    ASSERT_TRUE(s.RunUntil([&] { return !screen.Busy(); }, 5000));
    Leave(s, screen);
  }));
  const std::vector<std::string> expect = {
      "System will rinse automatically, please wait after confirmation",
      "Rinsing finished, press aspirate key to continue with sample test or press \"Return\" to exit"};
  EXPECT_EQ(boxes, expect);
  EXPECT_EQ(analyzer::Soak.RinsePromptsDeclined, 0);
  EXPECT_EQ(analyzer::Soak.TestsSinceAutoClean, 0);
  EXPECT_TRUE(dispense);
  EXPECT_TRUE(busyWhileDispensing);
  const std::vector<std::string> rx = Received();
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 40"), 1);
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 02"), 2);  // two tests, then only the dispense
}

}  // namespace

namespace {

// Without the library a calibrator count has no result: no box holds the count, and once the
// count has ended the operator is told, once per count, that it gave no result (so no run row
// and no factor come of it); the system log says so too.
TEST_F(AutoCalibration, ALibraryThatDoesNotLoadAddsNoRunAndSaysSoOncePerCount) {
  const double targets[5] = {7.2, 4.5, 135, 88, 220};
  AddBatch("CALZ", 0, targets);
  measurement::SetZentilLibraryPath((folder_ / "missing" / "libZentil.so").string());
  Sql("delete from SysLog");
  CCalibAuto screen;
  std::vector<std::string> boxes;
  std::string saveBox;
  bool boxBeforeTheEnd = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CALZ");
    for (int n = 0; n < 2; ++n) {
      const std::ptrdiff_t before = static_cast<std::ptrdiff_t>(Received().size());
      sim.PressCountKey();
      const auto ended = [&] {
        const std::vector<std::string> rx = Received();
        return std::find(rx.begin() + before, rx.end(), "AA 11") != rx.end();
      };
      while (s.RunUntil([&] { return s.MessageBox() != nullptr || (ended() && !screen.Busy()); }, 15000) &&
             s.MessageBox() != nullptr) {
        // A box may come only once the board has been told the test is over.
        boxBeforeTheEnd = boxBeforeTheEnd || !ended();
        boxes.push_back(s.MessageBoxText());
        s.AnswerMessageBox(ui::IDOK);
      }
      ASSERT_TRUE(s.RunUntil([&] { return !screen.Busy(); }, 5000));
    }
    // No factor can be made of counts without a result.
    s.Press(IDC_CA_SAVE);
    saveBox = s.MessageBoxText();
    s.AnswerMessageBox(ui::IDOK);
    Leave(s, screen);
  }));
  EXPECT_FALSE(boxBeforeTheEnd);
  EXPECT_EQ(saveBox, "No data for standard samples test!");
  const std::string notice = "No result: the algorithm library could not be used";
  EXPECT_EQ(boxes, (std::vector<std::string>{notice, notice}));
  EXPECT_EQ(Scalar("select group_concat(Event || '|' || Result, ',') from SysLog"),
            "Auto calibration|" + notice + " (Load Zentil.dll failed!),Auto calibration|" + notice +
                " (Load Zentil.dll failed!)");
  EXPECT_EQ(screen.RunCount(), 0);
  const std::vector<std::string> rx = Received();
  EXPECT_EQ(std::count(rx.begin(), rx.end(), "AA 11"), 2);
}

// A store that cannot be written at the end of a calibrator run (the reagent volumes and the soak
// counter are written then) opens no box that would stop the count: the run is in the table, and
// once there is room again the next run is counted and the volumes are stored.
TEST_F(AutoCalibration, AStoreThatCannotBeWrittenStopsNoRun) {
  const double targets[5] = {7.2, 4.5, 135, 88, 220};
  AddBatch("CALF", 0, targets);
  analyzer::Reagents().SetStore(&analyzer::DataStoreReagentStore());
  struct Case {
    const char* name;
    int error;
  } cases[] = {{"database or disk is full", ENOSPC}, {"disk I/O error", EIO}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CCalibAuto screen;
    std::string box;
    bool first = false, second = false;
    int runsAtFault = -1;
    ASSERT_TRUE(d.RunScript(
        [&] { support::ModalWithStoreErrorBox(screen); },
        [&](ui::TestDriver& s) {
          ASSERT_TRUE(WaitReady(s, screen));
          Load(s, screen, "CALF");
          {
            support::IoFaults faults;
            faults.Add({sys::IoOp::Write, "Vantorium.mdb", 1, support::IoFaults::Error(c.error), -1});
            sim.PressCountKey();
            first = s.RunUntil([&] { return s.MessageBox() != nullptr || (screen.RunCount() == 1 && !screen.Busy()); },
                               15000);
            if (s.MessageBox() != nullptr) {
              box = s.MessageBoxText();
              s.AnswerMessageBox(ui::IDOK);
              s.RunUntil([&] { return !screen.Busy(); }, 15000);
            }
            runsAtFault = screen.RunCount();
          }
          second = RunOne(s, screen);
          Leave(s, screen);
        }));
    EXPECT_TRUE(first);
    EXPECT_EQ(box, "");
    EXPECT_EQ(runsAtFault, 1);
    EXPECT_TRUE(second);
    EXPECT_EQ(screen.RunCount(), 2);
    // The volumes written after the second run are the account's, to the stored two decimals.
    EXPECT_NEAR(std::atof(Scalar("select DiluentVol from SysSetting").c_str()),
                analyzer::Reagents().volumes().DiluentVol, 0.006);
  }
  analyzer::Reagents().SetStore(nullptr);
}

TEST_F(AutoCalibration, BatchOfABloodTypeWithoutFactorsStartsFromNeutral) {
  AppSettings.UserLevel = 1;
  Sql("delete from CalibrationCoef where BloodType=2");
  const double targets[5] = {7.2, 4.5, 135, 88, 220};
  AddBatch("CALN", 2, targets);
  CCalibAuto screen;
  std::string old;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CALN");
    // Junk and a broken-off frame on the line are skipped: the next key still starts a test.
    sim.SendRaw({0x12, 0x34, 0x7E, 0xAA, 0x01});
    ASSERT_TRUE(RunOne(s, screen));
    old = Cell(s, screen.ResultGrid(), 0, 1);
    Leave(s, screen);
  }));
  EXPECT_EQ(screen.CurrentCoefText(0), "1.00");
  EXPECT_EQ(screen.CurrentPercentText(4), "100.00");
  EXPECT_EQ(screen.RunCount(), 1);
  EXPECT_EQ(old, "100.00%");
}

}  // namespace

namespace {

TEST_F(AutoCalibration, AdministratorRunsCarryTheFactorInForceAndDeleteRecomputes) {
  AppSettings.UserLevel = 1;
  Sql("update CalibrationCoef set WBC=1.05,WBC_D=100 where BloodType=0");
  const double targets[5] = {7.60, 4.5, 135, 88, 220};
  AddBatch("CALA", 0, targets);
  CCalibAuto screen;
  std::string cells[3], mean, afterDelete[2], meanAfter, newCoef, emptied, refused;
  int rowsAfterTargetsDelete = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CALA");
    const float wbc[3] = {6.8f, 7.0f, 7.3f};
    for (int r = 0; r < 3; ++r) {
      sim.SetCustomProfile(Calibrator(wbc[r], 4.5f, 135.0f, 88.0f, 220.0f));
      ASSERT_TRUE(RunOne(s, screen));
      cells[r] = Cell(s, screen.RunGrid(), r + 2, 1);
    }
    mean = Cell(s, screen.ResultGrid(), 1, 1);
    // The targets row is no run: deleting it deletes nothing.
    s.RunUntil([&] {
      screen.RunGrid().SetSelectedRange(1, 0, 1, 5);
      return true;
    });
    s.Press(IDC_CA_DELETE);
    s.AnswerMessageBox(ui::IDOK);
    rowsAfterTargetsDelete = screen.RunCount();
    // Run 2 goes; the others move up and are numbered again.
    s.RunUntil([&] {
      screen.RunGrid().SetSelectedRange(3, 0, 3, 5);
      return true;
    });
    s.Press(IDC_CA_DELETE);
    s.AnswerMessageBox(ui::IDOK);
    afterDelete[0] = Cell(s, screen.RunGrid(), 3, 0);
    afterDelete[1] = Cell(s, screen.RunGrid(), 3, 1);
    meanAfter = Cell(s, screen.ResultGrid(), 1, 1);
    newCoef = Cell(s, screen.ResultGrid(), 4, 1);
    s.Press(IDC_CA_SAVE);
    s.AnswerMessageBox(ui::IDOK);
    s.AnswerMessageBox(ui::IDOK);
    // Deleting every run empties the statistics.
    s.RunUntil([&] {
      screen.RunGrid().SetSelectedRange(2, 0, 3, 5);
      return true;
    });
    s.Press(IDC_CA_DELETE);
    s.AnswerMessageBox(ui::IDOK);
    emptied = Cell(s, screen.ResultGrid(), 1, 1) + Cell(s, screen.ResultGrid(), 4, 1);
    Leave(s, screen);
  }));
  EXPECT_EQ(rowsAfterTargetsDelete, 3);
  // Below Engineer level a run is shown with the factor in force.
  const float profile[3] = {6.8f, 7.0f, 7.3f};
  for (int r = 0; r < 3; ++r) EXPECT_NEAR(std::stod(cells[r]), profile[r] * 1.05, profile[r] * 1.05 * 0.06) << r;
  EXPECT_EQ(afterDelete[0], "2");
  EXPECT_EQ(afterDelete[1], cells[2]);
  const double m = (std::stod(cells[0]) + std::stod(cells[2])) / 2;
  EXPECT_NEAR(std::stod(meanAfter), m, 0.0051);
  // NEW COEF. is the percent: 100 x target / mean, and the factor 1.05 x the same ratio.
  const double ratio = 7.60 / m;
  ASSERT_EQ(newCoef.back(), '%');
  EXPECT_NEAR(std::stod(newCoef), 100.0 * ratio, 0.0051 * 100);
  EXPECT_NEAR(std::stod(Coef(0, "WBC_D")), 100.0 * ratio, 0.0051 * 100);
  EXPECT_NEAR(std::stod(Coef(0, "WBC")), 1.05 * ratio, 0.0051);
  EXPECT_EQ(emptied, "");
}

// A key report cut on the line between counts (a byte doubled) is asked for again, and the
// calibration count runs.
TEST_F(AutoCalibration, KeyReportCutBetweenCountsIsAskedForAgain) {
  const double targets[5] = {7.2, 4.5, 135, 88, 220};
  AddBatch("CALK", 1, targets);
  CCalibAuto screen;
  bool counted = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CALK");
    sim.SetCustomProfile(boardsim::CalibratorProfile());
    s.Advance(3000);  // nothing left on its way: the cycle's timer is off
    sim.DoubleByteNext(boardsim::Target::Status);
    sim.PressCountKey();
    s.RunUntil([] { return false; }, 300);
    for (int i = 0; i < 4 && screen.RunCount() == 0 && !screen.Busy(); ++i) {
      s.Advance(2000);
      s.RunUntil([] { return false; }, 100);
    }
    counted = s.RunUntil([&] { return screen.RunCount() > 0 && !screen.Busy(); }, 15000);
    Leave(s, screen);
  }));
  EXPECT_TRUE(counted);
}

}  // namespace

namespace {

// A fault report while the automatic rinse runs, and the rinse's end never comes: after the
// rinse's longest time the screen gives it up and says so, counts and can be left again.
TEST_F(AutoCalibration, RinseThatNeverEndsIsGivenUpWithAMessage) {
  Sql("update SysSetting set AutoCleanTime=1");
  const double targets[5] = {7.2, 4.5, 135, 88, 220};
  AddBatch("CALN", 0, targets);
  CCalibAuto screen;
  std::vector<std::string> boxes;
  std::string notice;
  bool counted = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(WaitReady(s, screen));
    Load(s, screen, "CALN");
    sim.RefuseNext(0x40, 3);  // DD 40 03: "Carriage abnormal!", no AA 40 FF
    sim.PressCountKey();
    // The rinse question, then the fault.
    for (int i = 0; i < 2 && s.RunUntil([&] { return s.MessageBox() != nullptr; }, 15000); ++i) {
      boxes.push_back(s.MessageBoxText());
      s.AnswerMessageBox(ui::IDOK);
    }
    s.Advance(60000);
    s.Press(ui::IDCANCEL);
    if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 1000)) {
      boxes.push_back(s.MessageBoxText());
      s.AnswerMessageBox(ui::IDOK);
    }
    s.Advance(measurement::kRinseDeadlineMs - 60000);
    if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000)) {
      notice = s.MessageBoxText();
      s.AnswerMessageBox(ui::IDOK);
    }
    // The next calibrator is counted; its own rinse is declined.
    ASSERT_TRUE(s.RunUntil([&] { return screen.Cycle().ready() && !screen.Busy(); }, 5000));
    sim.PressCountKey();
    if (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 15000)) s.AnswerMessageBox(ui::IDCANCEL);
    counted = s.RunUntil([&] { return screen.RunCount() == 2 && !screen.Busy(); }, 15000);
    Leave(s, screen);
  }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"System will rinse automatically, please wait after confirmation",
                                             "Carriage abnormal!", "Rinse procedure in progress!"}));
  EXPECT_EQ(notice, "No reply from the analyzer, the rinse was stopped!");
  EXPECT_TRUE(counted);
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

// Automatic calibration arithmetic: when two calibrator counts disagree, the display units,
// the statistics of the runs and the proposals, and what Save writes at each user level.
#include <gtest/gtest.h>

#include <cmath>

#include "calibration/auto_save.h"
#include "calibration/calibration_coef.h"
#include "calibration/calibration_statistics.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "platform/sys/clock.h"
#include "tests/support/program_folder.h"

using namespace calibration;

namespace {

TEST(CalibratorAgreement, FirstTwoCounts) {
  struct Case {
    int channel;
    float q1, q2;
    bool disagree;
  } cases[] = {
      {0, 5.0f, 5.4f, true},     // 8 % and 0.4
      {0, 5.0f, 5.39f, false},   // under 8 %
      {0, 2.0f, 2.19f, false},   // 9.5 % but under 0.2
      {1, 4.5f, 4.86f, true},
      {1, 4.5f, 4.8f, false},
      {2, 15.0f, 40.0f, false},  // the smaller is not above 20
      {2, 10.0f, 45.0f, false},  // nor here, however far apart
      {2, 30.0f, 41.0f, true},   // larger at most 50: difference above 10
      {2, 30.0f, 40.0f, false},
      {2, 60.0f, 72.0f, true},   // larger at most 100: 0.2 of 60 reached
      {2, 60.0f, 71.0f, false},
      {2, 200.0f, 229.0f, false},  // above 100: under 0.15 of 200
      {2, 200.0f, 230.0f, true},
      // A first count of 0: the ratio is infinite, so only the 0.2 difference decides; a 0 and
      // a normal count are never averaged into a run.
      {0, 0.0f, 7.2f, true},
      {0, 0.0f, 0.2f, true},
      {0, 0.0f, 0.19f, false},
      {0, 0.0f, 0.0f, false},
      {1, 0.0f, 4.5f, true},
      {2, 0.0f, 250.0f, false},  // PLT: the smaller is not above 20
  };
  for (const Case& c : cases)
    EXPECT_EQ(CalibratorCountsDisagree(c.channel, c.q1, c.q2), c.disagree) << c.channel << ": " << c.q1 << " " << c.q2;
}

TEST(CalibrationUnits, LibraryUnitsToDisplayUnits) {
  struct Case {
    int item;
    float value;
    const char* unit;
    float expect;
  } cases[] = {{0, 7.2f, "10^2/uL", 72.0f},   {0, 7.2f, "10^9/L", 7.2f},      {1, 4.5f, "10^4/mm^3", 450.0f},
               {2, 140.0f, "mmol/L", 8.690254f}, {2, 140.0f, "g/dL", 14.0f},     {2, 140.0f, "mg/dL", 14000.0f},
               {3, 88.0f, "10^4/uL", 88.0f},   {4, 220.0f, "10^4/uL", 22.0f}, {4, 220.0f, "10^9/L", 220.0f}};
  for (const Case& c : cases) EXPECT_NEAR(ToDisplayUnit(c.item, c.value, c.unit), c.expect, 1e-3) << c.unit;
}

TEST(CalibrationStatistics, MeanSdCvAndRatio) {
  // Two runs of 7.00 and 7.40 against 7.20: mean 7.20, SD sqrt(0.08) = 0.2828, CV 3.93 %.
  ItemStatistics s = ComputeItemStatistics({"7.00", "7.40"}, 7.20f);
  EXPECT_EQ(s.n, 2);
  EXPECT_EQ(MeanText(s), "7.20");
  EXPECT_EQ(SdText(s), "0.28");
  EXPECT_EQ(CvText(s), "3.9");
  EXPECT_NEAR(s.ratio, 1.0, 1e-6);
  // One run: no spread.
  s = ComputeItemStatistics({"6.50"}, 7.15f);
  EXPECT_EQ(SdText(s), "0.00");
  EXPECT_EQ(CvText(s), "0.0");
  EXPECT_NEAR(s.ratio, 1.1, 1e-6);
  // Invalid runs are left out; a column of them has no mean and proposes nothing.
  s = ComputeItemStatistics({"-----", "8.00", "-----", "9.00"}, 8.5f);
  EXPECT_EQ(s.n, 2);
  EXPECT_EQ(MeanText(s), "8.50");
  s = ComputeItemStatistics({"-----", "-----"}, 8.5f);
  EXPECT_EQ(MeanText(s), "0.00");
  EXPECT_EQ(SdText(s), "0.00");
  EXPECT_EQ(CvText(s), "0.0");
  EXPECT_EQ(ProposeItem(s, 1.0f, 100.0f, 2).newText, "- - -");
  EXPECT_EQ(ProposeItem(s, 1.0f, 100.0f, 1).newText, "- - -");
  EXPECT_EQ(ProposeItem(s, 1.0f, 100.0f, 2).newCoef, 0.0f);
}

TEST(CalibrationStatistics, ProposalsByUserLevel) {
  // Below Engineer level: a current 1.05 at 100.00 %, mean 7.00 against 7.35 (ratio 1.05).
  const ItemStatistics s = ComputeItemStatistics({"7.00"}, 7.35f);
  ItemProposal p = ProposeItem(s, 1.05f, 100.0f, 0);
  EXPECT_EQ(p.newText, "105.00%");
  EXPECT_NEAR(p.newCoef, 1.1025, 1e-5);
  EXPECT_NEAR(p.newPercent, 105.0, 1e-4);
  // Engineer: the ratio is the new factor, the percent stays.
  p = ProposeItem(s, 1.05f, 100.0f, 2);
  EXPECT_EQ(p.newText, "1.05");
  EXPECT_NEAR(p.newCoef, 1.05, 1e-6);
  EXPECT_NEAR(p.newPercent, 100.0, 1e-6);
}

class AutoSave : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppSettings;
    folder_ = std::make_unique<support::ScratchProgramFolder>("quorvex_calsave");
    AppSettings.ProgramFolder = folder_->folder();
    sys::Clock::UseManual(sys::LocalTime{2026, 3, 7, 9, 30, 0, 0, 6});
    support::ExecSql("update CalibrationCoef set WBC=1.02,RBC=0.98,HGB=1.00,MCV=1.00,PLT=1.10,"
                     "WBC_D=102,RBC_D=98,PLT_D=110 where BloodType=1");
  }
  void TearDown() override {
    conn.Disconnect();
    sys::Clock::UseReal();
    folder_.reset();
    AppSettings = saved_;
  }
  AutoSaveInputs Inputs(int level) {
    AutoSaveInputs in;
    in.bloodType = 1;
    in.userLevel = level;
    const char* coef[5] = {"1.02", "0.98", "1.00", "1.00", "1.10"};
    const char* pct[5] = {"102.00", "98.00", "100.00", "100.00", "110.00"};
    for (int i = 0; i < 5; ++i) {
      in.currentCoef[i] = coef[i];
      in.currentPercent[i] = pct[i];
    }
    return in;
  }
  std::string Col(const std::string& c) { return support::QueryText("select " + c + " from CalibrationCoef where BloodType=1"); }
  CADOConn conn;
  std::unique_ptr<support::ScratchProgramFolder> folder_;
  AppSettingsValues saved_;
};

TEST_F(AutoSave, EngineerWritesFactorsOfTheSelectedItemsOnly) {
  AutoSaveInputs in = Inputs(2);
  const float coef[5] = {0.75f, 1.5f, 1.04f, 0.96f, 1.3f};
  for (int i = 0; i < 5; ++i) in.newCoef[i] = coef[i];
  in.selected[4] = 0;  // PLT is not calibrated by this batch
  ASSERT_EQ(SaveAutoCalibration(conn, in).result, AutoSaveResult::Saved);
  EXPECT_NEAR(std::stod(Col("WBC")), 0.75, 1e-6);
  EXPECT_NEAR(std::stod(Col("RBC")), 1.5, 1e-6);
  EXPECT_NEAR(std::stod(Col("MCV")), 0.96, 1e-6);
  EXPECT_NEAR(std::stod(Col("PLT")), 1.10, 1e-6);
  EXPECT_EQ(Col("WBC_CT"), "2026-03-07");
  EXPECT_EQ(Col("PLT_CT"), "2009-03-01");
  EXPECT_NEAR(std::stod(Col("WBC_D")), 102.0, 1e-6);  // the engineer leaves the percents
  // 1.51 is refused, and nothing is written, also for the items before it.
  in.newCoef[0] = 1.2f;
  in.newCoef[3] = 1.51f;
  const AutoSaveOutcome out = SaveAutoCalibration(conn, in);
  EXPECT_EQ(out.result, AutoSaveResult::OutOfRange);
  EXPECT_EQ(out.message, CaliText::AutoRange075To15);
  EXPECT_EQ(out.item, 3);
  EXPECT_NEAR(std::stod(Col("WBC")), 0.75, 1e-6);
}

TEST_F(AutoSave, AdministratorWritesFactorsAndPercents) {
  AutoSaveInputs in = Inputs(1);
  in.newPercent[0] = 75.0f;
  in.newCoef[0] = 0.766f;
  in.newPercent[1] = 150.0f;
  in.newCoef[1] = 1.47f;
  for (int i = 2; i < 5; ++i) in.selected[i] = 0;
  ASSERT_EQ(SaveAutoCalibration(conn, in).result, AutoSaveResult::Saved);
  EXPECT_NEAR(std::stod(Col("WBC_D")), 75.0, 1e-6);
  EXPECT_NEAR(std::stod(Col("RBC_D")), 150.0, 1e-6);
  EXPECT_NEAR(std::stod(Col("WBC")), 0.77, 1e-6);  // written with two decimals
  EXPECT_NEAR(std::stod(Col("PLT_D")), 110.0, 1e-6);
  EXPECT_NEAR(std::stod(Col("PLT")), 1.10, 1e-6);
  in.newPercent[0] = 74.99f;
  const AutoSaveOutcome out = SaveAutoCalibration(conn, in);
  EXPECT_EQ(out.result, AutoSaveResult::OutOfRange);
  EXPECT_EQ(out.message, CaliText::AutoRange75To150);
}

TEST_F(AutoSave, BloodTypeWithoutRowGetsOneWithTheSameRules) {
  support::ExecSql("delete from CalibrationCoef where BloodType=1");
  AutoSaveInputs in = Inputs(2);
  for (int i = 0; i < 5; ++i) in.currentCoef[i] = "1.00", in.currentPercent[i] = "100.00";
  const float coef[5] = {1.04f, 0.97f, 1.02f, 1.01f, 1.08f};
  for (int i = 0; i < 5; ++i) in.newCoef[i] = coef[i];
  in.selected[2] = 0;
  in.newCoef[2] = 3.0f;  // not selected: neither checked nor written
  ASSERT_EQ(SaveAutoCalibration(conn, in).result, AutoSaveResult::Saved);
  EXPECT_EQ(support::QueryText("select count(*) from CalibrationCoef where BloodType=1"), "1");
  EXPECT_NEAR(std::stod(Col("WBC")), 1.04, 1e-6);
  EXPECT_NEAR(std::stod(Col("HGB")), 1.00, 1e-6);
  EXPECT_NEAR(std::stod(Col("MPV")), 1.00, 1e-6);
  EXPECT_EQ(Col("MPV_CT"), "2026-03-07");
  EXPECT_EQ(std::stod(Col("PDW_D")), 100.0);
  // A selected item out of range refuses the Save before any row is made.
  support::ExecSql("delete from CalibrationCoef where BloodType=1");
  in.newCoef[0] = 1.6f;
  EXPECT_EQ(SaveAutoCalibration(conn, in).result, AutoSaveResult::OutOfRange);
  EXPECT_EQ(support::QueryText("select count(*) from CalibrationCoef where BloodType=1"), "0");
}

}  // namespace

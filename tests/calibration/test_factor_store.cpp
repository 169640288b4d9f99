// The calibration factor store: the rows the screens write (every column of an inserted row),
// the update rules of the engineer's and the user's Save, the engineer's defaults in
// setting.ini (never created here), and the start-up upgrade of an older table.
#include <gtest/gtest.h>

#include "analyzer/sequences/startup_store.h"
#include "calibration/calibration_coef.h"
#include "calibration/manual_calibration.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "platform/sys/clock.h"
#include "platform/sys/file_ops.h"
#include "tests/support/program_folder.h"

using namespace calibration;

namespace {

class FactorStore : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppSettings;
    folder_ = std::make_unique<support::ScratchProgramFolder>("quorvex_calstore");
    AppSettings.ProgramFolder = folder_->folder();
    sys::Clock::UseManual(sys::LocalTime{2026, 3, 7, 9, 30, 0, 0, 6});
  }
  void TearDown() override {
    conn.Disconnect();
    sys::Clock::UseReal();
    folder_.reset();
    AppSettings = saved_;
  }
  static std::string Q(const std::string& sql) { return support::QueryText(sql, "NULL"); }
  std::string Col(int bt, const std::string& col) {
    return Q("select " + col + " from CalibrationCoef where BloodType=" + std::to_string(bt));
  }
  // The 20 factor columns in table order.
  static constexpr const char* kCols[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC",
                                            "MCH", "MCV", "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"};
  static constexpr const char* kPercents[10] = {"WBC_D", "RBC_D", "HGB_D", "MCV_D", "RDWCV_D",
                                                "RDWSD_D", "PLT_D", "MPV_D", "PDW_D", "PLCR_D"};

  CADOConn conn;
  std::unique_ptr<support::ScratchProgramFolder> folder_;
  AppSettingsValues saved_;
};

TEST_F(FactorStore, EngineerSaveInsertsAFullRowThenUpdatesIt) {
  support::ExecSql("delete from CalibrationCoef where BloodType<>0");
  support::ExecSql("update CalibrationCoef set WBC=1.02,WBC_CT='2020-01-01',WBC_D=104 where BloodType=0");
  CoefTexts t;
  const std::string typed[6] = {"1.10", "0.9", "1.25", "0.75", "1.5", "1.01"};
  for (int i = 0; i < 6; ++i) {
    t.factors[i] = typed[i];
    t.dates[i] = "1999-12-31";  // typed into a date edit: replaced by today
  }
  ManualSaveOutcome out = SaveEngineerFactors(conn, 1, t);
  ASSERT_EQ(out.result, ManualSave::Saved);
  EXPECT_EQ(t.factors[1], "0.90");
  // Every column of the new row: six typed factors, 1.00 elsewhere, today everywhere, 100 %.
  const char* const expectFactor[20] = {"1.1", "1.0", "1.0", "1.0", "1.0", "1.0", "1.0", "0.9", "1.25", "1.0",
                                        "1.0", "0.75", "1.0", "1.0", "1.0", "1.5", "1.01", "1.0", "1.0", "1.0"};
  for (int i = 0; i < 20; ++i) {
    EXPECT_NEAR(std::stod(Col(1, kCols[i])), std::stod(expectFactor[i]), 1e-6) << kCols[i];
    EXPECT_EQ(Col(1, std::string(kCols[i]) + "_CT"), "2026-03-07") << kCols[i];
  }
  for (const char* p : kPercents) EXPECT_EQ(std::stod(Col(1, p)), 100.0) << p;
  // Row 0 is untouched by the insert of row 1.
  EXPECT_NEAR(std::stod(Col(0, "WBC")), 1.02, 1e-6);
  EXPECT_EQ(Col(0, "WBC_CT"), "2020-01-01");

  // A second Save updates the row: no second row, the percents stay.
  support::ExecSql("update CalibrationCoef set PLT_D=90 where BloodType=1");
  t.factors[0] = "0.80";
  out = SaveEngineerFactors(conn, 1, t);
  ASSERT_EQ(out.result, ManualSave::Saved);
  EXPECT_EQ(Q("select count(*) from CalibrationCoef where BloodType=1"), "1");
  EXPECT_NEAR(std::stod(Col(1, "WBC")), 0.80, 1e-6);
  EXPECT_EQ(std::stod(Col(1, "PLT_D")), 90.0);
}

TEST_F(FactorStore, EngineerRefusalWritesNothing) {
  struct Case {
    const char* mpv;
    ManualSave result;
    CaliText message;
  } cases[] = {
      {"1.51", ManualSave::Refused, CaliText::Range075To15},
      {"0.74", ManualSave::Refused, CaliText::Range075To15},
      {"1,5", ManualSave::Refused, CaliText::DigitsForCalibration},
      {"", ManualSave::Refused, CaliText::DigitsForCalibration},
      {"1.5", ManualSave::Saved, CaliText::DigitsForCalibration},
  };
  for (const Case& c : cases) {
    support::ExecSql("update CalibrationCoef set WBC=1.00,MPV=1.00,WBC_CT='2009-03-01' where BloodType=0");
    CoefTexts t;
    for (std::string& f : t.factors) f = "1.2";
    t.factors[5] = c.mpv;  // the sixth factor decides for all six
    const ManualSaveOutcome out = SaveEngineerFactors(conn, 0, t);
    EXPECT_EQ(out.result, c.result) << c.mpv;
    if (c.result == ManualSave::Refused) {
      EXPECT_EQ(out.check.message, c.message) << c.mpv;
      EXPECT_EQ(out.check.field, 5) << c.mpv;
      EXPECT_NEAR(std::stod(Col(0, "WBC")), 1.0, 1e-6) << c.mpv;
      EXPECT_EQ(Col(0, "WBC_CT"), "2009-03-01") << c.mpv;
    } else {
      EXPECT_NEAR(std::stod(Col(0, "WBC")), 1.2, 1e-6);
      EXPECT_NEAR(std::stod(Col(0, "MPV")), 1.5, 1e-6);
    }
  }
}

TEST_F(FactorStore, UserSaveScalesTheFactorsAndKeepsThemInStep) {
  // Worked example: factor 1.00 at 100 %; 110 gives 1.10; then 99 against 110 gives 0.99.
  support::ExecSql("update CalibrationCoef set WBC=1.00,RBC=1.00,HGB=1.00,MCV=1.00,PLT=1.00,MPV=1.07 where BloodType=2");
  CoefTexts t;
  LoadCoefTexts(conn, SelectRowSpacedSql(2), t);
  double base[5];
  for (int i = 0; i < 5; ++i) base[i] = std::stod(t.percents[i]);
  t.percents[0] = "110";
  t.percents[3] = "120";
  ManualSaveOutcome out = SaveUserPercents(conn, 2, t, base);
  ASSERT_EQ(out.result, ManualSave::Saved);
  EXPECT_EQ(t.percents[0], "110.00");
  EXPECT_NEAR(std::stod(Col(2, "WBC")), 1.10, 1e-6);
  EXPECT_NEAR(std::stod(Col(2, "MCV")), 1.20, 1e-6);
  EXPECT_NEAR(std::stod(Col(2, "WBC_D")), 110.0, 1e-6);
  EXPECT_EQ(Col(2, "WBC_CT"), "2026-03-07");
  EXPECT_NEAR(std::stod(Col(2, "MPV")), 1.07, 1e-6);  // MPV is not the user's
  // The second Save without reloading divides by the percents just saved.
  t.percents[0] = "99";
  out = SaveUserPercents(conn, 2, t, base);
  ASSERT_EQ(out.result, ManualSave::Saved);
  EXPECT_NEAR(std::stod(Col(2, "WBC")), 0.99, 1e-6);
  EXPECT_NEAR(std::stod(Col(2, "WBC_D")), 99.0, 1e-6);
  EXPECT_NEAR(std::stod(Col(2, "MCV")), 1.20, 1e-6);
}

TEST_F(FactorStore, UserSaveChecksAndAMissingRowIsAFailure) {
  struct Case {
    const char* wbc;
    ManualSave result;
  } cases[] = {{"75", ManualSave::Saved}, {"150", ManualSave::Saved}, {"74.99", ManualSave::Refused},
               {"150.01", ManualSave::Refused}, {"1,5", ManualSave::Refused}, {"abc", ManualSave::Refused}};
  for (const Case& c : cases) {
    CoefTexts t;
    LoadCoefTexts(conn, SelectRowSpacedSql(0), t);
    double base[5] = {100, 100, 100, 100, 100};
    t.percents[0] = c.wbc;
    EXPECT_EQ(SaveUserPercents(conn, 0, t, base).result, c.result) << c.wbc;
  }
  support::ExecSql("delete from CalibrationCoef where BloodType=1");
  CoefTexts t;
  EXPECT_FALSE(LoadCoefTexts(conn, SelectRowSpacedSql(1), t));
  EXPECT_EQ(t.percents[0], "100.00");
  EXPECT_EQ(t.factors[0], "1.00");
  EXPECT_EQ(t.dates[0], "2026-03-07");
  double base[5] = {100, 100, 100, 100, 100};
  t.percents[0] = "110";
  EXPECT_EQ(SaveUserPercents(conn, 1, t, base).result, ManualSave::Failed);
  EXPECT_EQ(Q("select count(*) from CalibrationCoef where BloodType=1"), "0");
}

TEST_F(FactorStore, DefaultsInTheSettingsFileThatIsNeverCreated) {
  std::string v[6];
  const double typed[6] = {2.345, 1.0, 0.5, 1.004, 99.99, 0.01};
  EXPECT_FALSE(ReadDefaultFactors(0, v));
  EXPECT_FALSE(WriteDefaultFactors(0, typed));
  EXPECT_FALSE(sys::FileExists(folder_->file("setting.ini")));
  EXPECT_FALSE(sys::FileExists(folder_->file("Setting.ini")));

  folder_->write("Setting.ini", "[PeripheralCalcCoef]\nWBC=1.\nRBC=0.98\n[Other]\nKey=1\n");
  ASSERT_TRUE(ReadDefaultFactors(1, v));
  EXPECT_EQ(v[0], "1.00");  // a value ending in a point
  EXPECT_EQ(v[1], "0.98");
  EXPECT_EQ(v[5], "1.00");  // missing key
  ASSERT_TRUE(WriteDefaultFactors(2, typed));
  ASSERT_TRUE(ReadDefaultFactors(2, v));
  const char* const expect[6] = {"2.35", "1.00", "0.50", "1.00", "99.99", "0.01"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(v[i], expect[i]) << i;
  // The other sections stay.
  ASSERT_TRUE(ReadDefaultFactors(1, v));
  EXPECT_EQ(v[1], "0.98");
}

TEST_F(FactorStore, OlderTableGainsThePercentColumnsAtHundred) {
  support::ExecSql("drop table CalibrationCoef");
  std::string cols = "BloodType INTEGER";
  for (const char* c : kCols) cols += std::string(",") + c + " REAL";
  for (const char* c : kCols) cols += std::string(",") + c + "_CT TEXT";
  support::ExecSql("create table CalibrationCoef (" + cols + ")");
  support::ExecSql("insert into CalibrationCoef (BloodType,WBC) values (0,1.03)");
  support::ExecSql("insert into CalibrationCoef (BloodType,WBC) values (2,0.97)");
  analyzer::UpgradeCalibrationCoef(conn);
  for (const char* p : kPercents) {
    EXPECT_EQ(Q(std::string("select count(*) from CalibrationCoef where ") + p + "=100"), "2") << p;
  }
  // The percent columns follow the dates: readers take the factors by position.
  CoefTexts t;
  ASSERT_TRUE(LoadCoefTexts(conn, SelectRowSql(2), t));
  EXPECT_EQ(t.factors[0], "0.97");
  EXPECT_EQ(t.percents[4], "100.00");
}

TEST_F(FactorStore, AutomaticInsertFillsAllColumnsInTableOrder) {
  support::ExecSql("delete from CalibrationCoef where BloodType=2");
  const double f[5] = {1.11, 0.92, 1.03, 0.88, 1.21};
  ASSERT_TRUE(conn.Execute(AutoInsertSql(f, "2026-03-07", 2)));
  const double expect[20] = {1.11, 1, 1, 1, 1, 1, 1, 0.92, 1.03, 1, 1, 0.88, 1, 1, 1, 1.21, 1, 1, 1, 1};
  for (int i = 0; i < 20; ++i) {
    EXPECT_NEAR(std::stod(Col(2, kCols[i])), expect[i], 1e-6) << kCols[i];
    EXPECT_EQ(Col(2, std::string(kCols[i]) + "_CT"), "2026-03-07");
  }
  for (const char* p : kPercents) EXPECT_EQ(std::stod(Col(2, p)), 100.0);
}

}  // namespace

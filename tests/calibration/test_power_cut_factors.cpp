// A power cut at each durable step of saving calibration factors (the automatic calibration's
// row in the store, made first when the blood type has none; the engineer's defaults in
// setting.ini): after the program starts again the store is whole, the factors are the old set
// or the new one whole, a Save that was reported is there, and the next Save works.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "calibration/auto_save.h"
#include "calibration/calibration_coef.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "platform/sys/clock.h"
#include "platform/sys/profile.h"
#include "tests/support/count_after_cut.h"
#include "tests/support/power_cut.h"
#include "tests/support/program_folder.h"

namespace {

// The five factors of blood type 1 as the store holds them; "none" without a row.
std::string StoredFactors() {
  const std::string f = support::QueryText(
      "select printf('%.2f %.2f %.2f %.2f %.2f', WBC, RBC, HGB, MCV, PLT) from CalibrationCoef where BloodType=1");
  return f.empty() ? "none" : f;
}

std::string DefaultFactors(const std::string& ini) {
  std::string out;
  for (const char* k : calibration::kCoefNames)
    out += (out.empty() ? "" : " ") + sys::ProfileReadString(ini, "PeripheralCalcCoef", k, "-");
  return out;
}

calibration::AutoSaveInputs NewFactors(float base) {
  calibration::AutoSaveInputs in;
  in.bloodType = 1;
  in.userLevel = 2;
  for (int i = 0; i < 5; ++i) in.newCoef[i] = base + 0.01f * static_cast<float>(i);
  return in;
}

TEST(FactorPowerCut, ACutAtEachStepOfAFactorSaveLeavesTheOldOrTheNewFactorsWhole) {
  support::ScratchProgramFolder folder("quorvex_factor_cut_");
  const AppSettingsValues saved = AppSettings;
  sys::Clock::UseManual(sys::LocalTime{2026, 3, 7, 9, 30, 0, 0, 6});
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  const std::string ini = folder.file("setting.ini");
  struct Scenario {
    const char* name;
    std::function<void()> before;  // the files before the Save
    std::function<bool(CADOConn&)> save;
    std::function<std::string()> read;  // the factors as stored
    const char* oldFactors;
    const char* newFactors;
  };
  const Scenario scenarios[] = {
      {"automatic calibration of a blood type without a row",
       [] { support::ExecSql("delete from CalibrationCoef where BloodType=1"); },
       [](CADOConn& c) { return calibration::SaveAutoCalibration(c, NewFactors(1.10f)).result == calibration::AutoSaveResult::Saved; },
       StoredFactors, "none", "1.10 1.11 1.12 1.13 1.14"},
      {"automatic calibration of a stored row",
       [] {
         support::ExecSql("delete from CalibrationCoef where BloodType=1");
         CADOConn c;
         ASSERT_EQ(calibration::SaveAutoCalibration(c, NewFactors(0.90f)).result, calibration::AutoSaveResult::Saved);
       },
       [](CADOConn& c) { return calibration::SaveAutoCalibration(c, NewFactors(1.10f)).result == calibration::AutoSaveResult::Saved; },
       StoredFactors, "0.90 0.91 0.92 0.93 0.94", "1.10 1.11 1.12 1.13 1.14"},
      {"the engineer's defaults",
       [&] { folder.write("setting.ini", "[PeripheralCalcCoef]\nWBC=1.00\nRBC=1.00\nHGB=1.00\nMCV=1.00\nPLT=1.00\nMPV=1.00\n"); },
       [](CADOConn&) {
         const double v[6] = {1.2, 1.21, 1.22, 1.23, 1.24, 1.25};
         return calibration::WriteDefaultFactors(1, v);
       },
       [&] { return DefaultFactors(ini); }, "1.00 1.00 1.00 1.00 1.00 1.00", "1.20 1.21 1.22 1.23 1.24 1.25"},
  };
  for (const Scenario& s : scenarios) {
    std::unique_ptr<CADOConn> screen;  // the screen's connection, used before the Save
    auto reset = [&] {
      AppSettings.ProgramFolder = folder.folder();
      s.before();
      screen = std::make_unique<CADOConn>();
      ASSERT_EQ(screen->Execute("update SysSetting set SLanguage=1"), 1);
    };
    auto action = [&] {
      const bool ok = s.save(*screen);
      screen.reset();
      return ok;
    };
    auto check = [&](const std::string& where, bool saidSaved) {
      const std::string at = std::string(s.name) + ", " + where;
      ClearRecentDbErrors();
      {
        CADOConn conn;
        ASSERT_TRUE(RunCoreStartup(conn)) << at;
      }
      EXPECT_EQ(support::QueryText("pragma integrity_check"), "ok") << at;
      const std::string now = s.read();
      EXPECT_TRUE(now == s.oldFactors || now == s.newFactors) << at << ": " << now;
      if (saidSaved) EXPECT_EQ(now, s.newFactors) << at;
      // The next Save after the start is stored whole.
      CADOConn conn;
      EXPECT_TRUE(s.save(conn)) << at;
      conn.Disconnect();
      EXPECT_EQ(s.read(), s.newFactors) << at;
      // A count after the start is stored with its own record.
      const support::CountedSample counted = support::CountSample(folder.folder(), 31);
      EXPECT_TRUE(counted.stored) << at;
      EXPECT_TRUE(support::HasItsOwnRecord(folder.folder(), counted.testDate, 31, counted)) << at;
    };
    support::EachPowerCut({folder.path().string()}, reset, action, check);
  }
  measurement::SetZentilLibraryPath("");
  sys::Clock::UseReal();
  AppSettings = saved;
}

}  // namespace

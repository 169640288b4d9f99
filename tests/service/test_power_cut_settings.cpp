// A power cut at each durable step of the hidden settings page's Save (the reagent coefficients
// in Setting.ini, then the correction amount in the store): after the program starts again the
// store is whole, each of the two holds the old settings or the new ones whole, what was said to
// be saved is there, and the next Save works.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "analyzer/reagent.h"
#include "core/ado_conn.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "platform/sys/profile.h"
#include "service/hidden_settings.h"
#include "tests/support/count_after_cut.h"
#include "tests/support/power_cut.h"
#include "tests/support/program_folder.h"

namespace {

constexpr const char* kOldSettings = "[ReagentCalcCoef]\nDIL=0.90\nLYS=0.95\nCLE=1.05\n[Other]\nKEEP=yes\n";

service::HiddenInputs TypedSettings(const char* dil, const char* lys, const char* cle, const char* revise) {
  service::HiddenInputs in;
  in.dil = dil;
  in.lys = lys;
  in.cle = cle;
  in.revise = revise;
  return in;
}

TEST(SettingsPowerCut, ACutAtEachStepOfASettingsSaveLeavesOldOrNewSettingsWhole) {
  support::ScratchProgramFolder folder("quorvex_settings_cut_");
  const std::string ini = folder.file("Setting.ini");
  std::unique_ptr<CADOConn> page;  // the page's connection, used before the Save
  auto reset = [&] {
    folder.write("Setting.ini", kOldSettings);
    analyzer::Reagents().volumes() = analyzer::ReagentVolumes{};
    analyzer::Reagents().volumes().ReviseVol = 5.0f;
    page = std::make_unique<CADOConn>();
    ASSERT_EQ(page->Execute("update SysSetting set ReviseVol = 5, LyseReviseVol = 5, CleanerReviseVol = 5"), 1);
  };
  auto action = [&] {
    const service::HiddenSaveResult r =
        service::SaveHiddenSettings(TypedSettings("1.10", "1.15", "1.20", "8"), page.get(), ini, 1);
    page.reset();
    return r.saved;
  };
  auto coefficients = [&] {
    return sys::ProfileReadString(ini, "ReagentCalcCoef", "DIL", "-") + " " +
           sys::ProfileReadString(ini, "ReagentCalcCoef", "LYS", "-") + " " +
           sys::ProfileReadString(ini, "ReagentCalcCoef", "CLE", "-");
  };
  auto check = [&](const std::string& where, bool saidSaved) {
    ClearRecentDbErrors();
    {
      CADOConn conn;
      ASSERT_TRUE(RunCoreStartup(conn)) << where;
    }
    EXPECT_EQ(support::QueryText("pragma integrity_check"), "ok") << where;
    const std::string coef = coefficients();
    const std::string amount = support::QueryText("select ReviseVol from SysSetting");
    EXPECT_TRUE(coef == "0.90 0.95 1.05" || coef == "1.10 1.15 1.20") << where << ": " << coef;
    EXPECT_TRUE(amount == "5" || amount == "8") << where << ": " << amount;
    // The rest of the file is kept whatever happened.
    EXPECT_EQ(sys::ProfileReadString(ini, "Other", "KEEP", "-"), "yes") << where;
    // The file is written before the store: a new amount always has the new coefficients.
    if (amount == "8") EXPECT_EQ(coef, "1.10 1.15 1.20") << where;
    if (saidSaved) {
      EXPECT_EQ(coef, "1.10 1.15 1.20") << where;
      EXPECT_EQ(amount, "8") << where;
    }
    // The next Save after the start is stored whole.
    CADOConn conn;
    const service::HiddenSaveResult again =
        service::SaveHiddenSettings(TypedSettings("0.85", "0.90", "0.95", "3"), &conn, ini, 1);
    conn.Disconnect();
    EXPECT_TRUE(again.saved) << where << ": " << again.message;
    EXPECT_EQ(coefficients(), "0.85 0.90 0.95") << where;
    EXPECT_EQ(support::QueryText("select ReviseVol from SysSetting"), "3") << where;
    // A count after the start is stored with its own record.
    const support::CountedSample counted = support::CountSample(folder.folder(), 31);
    EXPECT_TRUE(counted.stored) << where;
    EXPECT_TRUE(support::HasItsOwnRecord(folder.folder(), counted.testDate, 31, counted)) << where;
  };
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  support::EachPowerCut({folder.path().string()}, reset, action, check);
  measurement::SetZentilLibraryPath("");
}

}  // namespace

// A power cut at each durable step of storing a QC run (the trim of the file's oldest day, the
// run, its copy into the X-R file): after the program starts again the store is whole, the run
// is in both files or in neither, the trim never happened without the run, a run said to be
// stored is there, and the next run is stored.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "core/ado_conn.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "qc/lj_run_result.h"
#include "tests/support/count_after_cut.h"
#include "tests/support/power_cut.h"
#include "tests/support/program_folder.h"

namespace {

std::string CountOf(const std::string& sql) { return support::QueryText(sql); }

TEST(QcRunPowerCut, ACutAtEachStepOfAQcRunSaveStoresTheRunWholeOrNotAtAll) {
  struct Scenario {
    const char* name;
    int storedBefore;  // runs in the file before, on two days (500 makes the save trim a day)
  };
  const Scenario scenarios[] = {{"a run into a file with room", 4}, {"a run that trims the oldest day", 500}};
  support::ScratchProgramFolder folder("quorvex_qc_cut_");
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  for (const Scenario& s : scenarios) {
    std::unique_ptr<CADOConn> screen;  // the run screen's connection, used before the save
    qc::StoreContext ctx;
    auto reset = [&] {
      support::ExecSql("delete from LJQCRunResult; delete from XRQCRunResult");
      std::string sql = "insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values ";
      for (int i = 0; i < s.storedBefore; ++i)
        sql += std::string(i ? "," : "") + "(2,'" + (i < s.storedBefore / 2 ? "2026-11-01" : "2026-11-02") +
               "','" + std::to_string(10 + i / 3600) + ":" + std::to_string(10 + (i / 60) % 50) + ":" +
               std::to_string(10 + i % 50) + "',7)";
      support::ExecSql(sql);
      ctx = {};
      ctx.fileNo = 2;
      ctx.ljBatch = ctx.xrBatch = "Lot-7";
      ctx.xrGroups = 10;
      ctx.xrPerGroup = 3;
      screen = std::make_unique<CADOConn>();
      ASSERT_EQ(screen->Execute("update LJQCRunResult set WBC=7 where QcFileNo=2"), 1);
    };
    auto store = [&](CADOConn& conn, const char* time, float wbc) {
      qc::ControlValues v;
      v.values.fill(-2.0f);
      v.values[0] = wbc;
      std::array<std::string, 20> units;
      units.fill("u");
      return qc::StoreControlRun(conn, ctx, "2026-12-10", time, v, units);
    };
    auto action = [&] {
      const qc::XrFeed feed = store(*screen, "10:00:00", 7.25f);
      screen.reset();
      return feed == qc::XrFeed::Stored;
    };
    auto check = [&](const std::string& where, bool saidStored) {
      const std::string at = std::string(s.name) + ", " + where;
      ClearRecentDbErrors();
      {
        CADOConn conn;
        ASSERT_TRUE(RunCoreStartup(conn)) << at;
      }
      EXPECT_EQ(support::QueryText("pragma integrity_check"), "ok") << at;
      const std::string inLj = CountOf("select count(*) from LJQCRunResult where TestDate='2026-12-10' and WBC=7.25");
      const std::string inXr = CountOf("select count(*) from XRQCRunResult where TestDate='2026-12-10' and WBC=7.25");
      EXPECT_EQ(inLj, inXr) << at << ": the run is in one file only";
      EXPECT_TRUE(inLj == "0" || inLj == "1") << at;
      if (saidStored) EXPECT_EQ(inLj, "1") << at;
      // The oldest day goes only together with the run that needed the room.
      const int before = s.storedBefore;
      const std::string all = CountOf("select count(*) from LJQCRunResult where QcFileNo=2");
      if (inLj == "1") {
        EXPECT_EQ(all, std::to_string(before >= 500 ? before - before / 2 + 1 : before + 1)) << at;
      } else {
        EXPECT_EQ(all, std::to_string(before)) << at;
      }
      // The next run after the start is stored in both files.
      CADOConn conn;
      ctx.xrStored = std::stoi(CountOf("select count(*) from XRQCRunResult where QcFileNo=2"));
      EXPECT_EQ(store(conn, "11:00:00", 6.5f), qc::XrFeed::Stored) << at;
      conn.Disconnect();
      EXPECT_EQ(CountOf("select count(*) from LJQCRunResult where WBC=6.5"), "1") << at;
      EXPECT_EQ(CountOf("select count(*) from XRQCRunResult where WBC=6.5"), "1") << at;
      // A count after the start is stored with its own record.
      const support::CountedSample counted = support::CountSample(folder.folder(), 31);
      EXPECT_TRUE(counted.stored) << at;
      EXPECT_TRUE(support::HasItsOwnRecord(folder.folder(), counted.testDate, 31, counted)) << at;
    };
    support::EachPowerCut({folder.path().string()}, reset, action, check);
  }
  measurement::SetZentilLibraryPath("");
}

}  // namespace

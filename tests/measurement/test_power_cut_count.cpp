// A power cut at each durable step of a count's save (TD.dat, TDI.dat, the Person row): after
// the program starts again the store is whole, every row has its own histograms, a result the
// count reported as stored is there, and the next count is stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "analyzer/raw_test_data_rewrite.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "core/value_format.h"
#include "measurement/run_result.h"
#include "platform/db/connection.h"
#include "platform/sys/clock.h"
#include "program_folder.h"
#include "tests/support/count_after_cut.h"
#include "tests/support/power_cut.h"

using namespace measurement;

namespace {

using support::CountSample;
using Counted = support::CountedSample;

class CountPowerCut : public ::testing::Test {
 protected:
  void SetUp() override {
    sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3});
    SetZentilLibraryPath(BuiltZentilPath());
    UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  }
  void TearDown() override {
    SetZentilLibraryPath("");
    sys::Clock::UseReal();
  }

  // The program starts again on what the disk holds, as its start-up does, and is checked.
  void StartAndCheck(const std::string& where, const std::map<int, Counted>& mustStay,
                     const std::map<int, Counted>& known) {
    ClearRecentDbErrors();
    {
      CADOConn conn;
      ASSERT_TRUE(RunCoreStartup(conn)) << where;
      conn.Disconnect();
    }
    std::string error;
    ASSERT_TRUE(analyzer::RecoverRawRewrite(dir, &error)) << where << ": " << error;
    EXPECT_EQ(Scalar("pragma integrity_check"), "ok") << where;

    // Every row has its own sample's record; the results said to be stored are there.
    db::Connection c;
    ASSERT_TRUE(c.Open(DatabasePath())) << where;
    auto rs = c.OpenRecordset("select SampleNo, TestDate from Person");
    std::map<int, bool> rows;
    for (; rs->IsOpen() && !rs->IsEOF(); rs->MoveNext()) {
      const std::string no = rs->Field(0).AsText(), date = rs->Field(1).AsText();
      rows[std::stoi(no)] = true;
      const auto k = known.find(std::stoi(no));
      ASSERT_NE(k, known.end()) << where << ": sample " << no;
      EXPECT_TRUE(support::HasItsOwnRecord(dir, date, std::stoi(no), k->second))
          << where << ": sample " << no << " has no record or another sample's";
    }
    rs.reset();
    c.Close();
    for (const auto& [no, counted] : mustStay) EXPECT_TRUE(rows.count(no)) << where << ": sample " << no << " lost";
  }

  MeasurementFolder folder;
  const std::string dir = folder.folder();
};

TEST_F(CountPowerCut, ACutAtEachStepOfACountsSaveLosesNothingStored) {
  struct Scenario {
    const char* name;
    bool earlierResult;  // a result stored before (the raw files exist), or a fresh folder
  };
  const Scenario scenarios[] = {{"first count of a fresh folder", false}, {"a count after a stored one", true}};
  for (const Scenario& s : scenarios) {
    std::map<int, Counted> before;
    auto resetFiles = [&] {
      std::filesystem::remove(folder.file("TD.dat"));
      std::filesystem::remove(folder.file("TDI.dat"));
      Exec("delete from Person");
      before.clear();
      if (s.earlierResult) {
        before[11] = CountSample(dir, 11);
        ASSERT_TRUE(before[11].stored);
      }
    };
    Counted counted;
    // The program's screen keeps its connection through many counts: only its first commit
    // flushes the folder (with the store's log file), so a count's commit flushes none.
    std::unique_ptr<CADOConn> screen;
    auto reset = [&] {
      resetFiles();
      screen = std::make_unique<CADOConn>();
      ASSERT_EQ(screen->Execute("delete from XBQCRunResult"), 1);
    };
    auto action = [&] {
      counted = CountSample(*screen, dir, 12);
      screen.reset();
      return counted.stored;
    };
    auto check = [&](const std::string& where, bool saidStored) {
      const std::string at = std::string(s.name) + ", " + where;
      std::map<int, Counted> mustStay = before, known = before;
      known[12] = counted;
      if (saidStored) mustStay[12] = counted;
      StartAndCheck(at, mustStay, known);
      // The next count after the start is stored with its own record, and nothing is lost by it.
      known[13] = CountSample(dir, 13);
      EXPECT_TRUE(known[13].stored) << at;
      mustStay[13] = known[13];
      StartAndCheck(at + ", then a count", mustStay, known);
    };
    support::EachPowerCut({folder.path().string()}, reset, action, check);
  }
}

}  // namespace

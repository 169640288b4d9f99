// A power cut at each durable step of a count's save (TD.dat, TDI.dat, the Person row): after
// the program starts again the store is whole, every row has its own histograms, a result the
// count reported as stored is there, and the next count is stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "analyzer/raw_test_data_rewrite.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "core/value_format.h"
#include "measurement/count_note.h"
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

// Every column of a sample's row of the day as text ("<Null>" for Null); empty when there is none.
std::vector<std::string> StoredRow(const std::string& sampleNo, const std::string& date) {
  std::vector<std::string> row;
  db::Connection c;
  if (!c.Open(DatabasePath())) return {"<no store>"};
  auto rs = c.OpenRecordset("select * from Person where SampleNo='" + sampleNo + "' and TestDate='" + date + "'");
  if (rs->IsOpen() && !rs->IsEOF()) {
    for (int i = 0; i < rs->FieldCount(); ++i) {
      const db::Value v = rs->Field(i);
      row.push_back(v.IsNull() ? "<Null>" : v.AsText());
    }
  }
  rs.reset();
  c.Close();
  return row;
}

// The system log's rows of the sample test event, as "Time|Result".
std::vector<std::string> SampleTestLog() {
  std::vector<std::string> rows;
  db::Connection c;
  if (!c.Open(DatabasePath())) return {"<no store>"};
  auto rs = c.OpenRecordset("select Time, Result from SysLog where Event='Sample test' order by rowid");
  for (; rs->IsOpen() && !rs->IsEOF(); rs->MoveNext()) rows.push_back(rs->Field(0).AsText() + "|" + rs->Field(1).AsText());
  rs.reset();
  c.Close();
  return rows;
}

// A count's result is shown before its raw record and row are stored. With the note of the count
// in progress written at the count's start, a power cut at any step of the count (the note, the
// raw record, the row, the note's removal) leaves, after the next start-up, either the count's
// row whole and nothing named, or no row of the count and exactly its sample number and time
// named on the screen and in the system log; the next count is stored as usual.
TEST_F(CountPowerCut, AResultShownAndLostByACutIsNamedAtTheNextStart) {
  const std::string note = folder.file(kCountNoteFile);
  // The count of sample 12 starts at 08:15:30; its result comes at the same second on the
  // manual clock. Named at the start-up, one hour later.
  const sys::LocalTime countStart{2026, 12, 9, 8, 15, 30, 0, 3};
  const sys::LocalTime restart{2026, 12, 9, 9, 15, 0, 0, 3};
  const std::string name =
      "Sample 12 (count started 2026-12-09 08:15:30): its result may have been shown but was not kept; count it again";
  struct Scenario {
    const char* name;
    bool earlierRow;  // sample 12 was counted at 07:40:00 already (the count updates its row)
  };
  const Scenario scenarios[] = {{"a new sample", false}, {"a recount of a stored sample", true}};
  for (const Scenario& s : scenarios) {
    std::vector<std::string> whole, earlier;  // the row as the count stores it, and as it was
    std::unique_ptr<CADOConn> screen;
    bool noteWritten = false, stored = false;
    auto reset = [&] {
      std::filesystem::remove(folder.file("TD.dat"));
      std::filesystem::remove(folder.file("TDI.dat"));
      std::filesystem::remove(note);
      Exec("delete from Person");
      Exec("delete from SysLog");
      if (s.earlierRow) {
        sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 12, 9, 7, 40, 0, 0, 3});
        ASSERT_TRUE(CountSample(dir, 12).stored);
        earlier = StoredRow("12", "2026-12-09");
      }
      sys::Clock::SetManualLocalTime(countStart);
      screen = std::make_unique<CADOConn>();
    };
    // As the test screen runs a count: the note at the start, the result, then the note removed
    // once the row is stored.
    auto action = [&] {
      CountNoteKeeper keeper(note);
      noteWritten = keeper.Begin("12", sys::Clock::Now());
      stored = CountSample(*screen, dir, 12).stored;
      if (stored)
        keeper.Stored();
      else
        keeper.NotStored();
      screen.reset();
      return stored;
    };
    auto check = [&](const std::string& where, bool) {
      const std::string at = std::string(s.name) + ", " + where;
      sys::Clock::SetManualLocalTime(restart);
      std::string shown;
      {
        CADOConn conn;
        ASSERT_TRUE(RunCoreStartup(conn)) << at;
        shown = NameLostCount(conn, AppSettings.ProgramFolder, 1);
        conn.Disconnect();
      }
      const std::vector<std::string> row = StoredRow("12", "2026-12-09");
      const std::vector<std::string> log = SampleTestLog();
      if (whole.empty()) {
        // The count without a cut: its row is what every cut must leave whole or not at all.
        ASSERT_TRUE(stored) << at;
        whole = row;
        ASSERT_GE(whole.size(), 3u) << at;
        EXPECT_EQ(whole[0], "12");
        EXPECT_EQ(whole[1], "2026-12-09");
        EXPECT_EQ(whole[2], "08:15:30");
      }
      EXPECT_FALSE(std::filesystem::exists(note)) << at << ": the note outlives the start-up";
      if (!noteWritten) {
        // The machine stopped at the count's start: no result was shown, none is named.
        EXPECT_EQ(row, earlier) << at;
        EXPECT_EQ(shown, "") << at;
        EXPECT_TRUE(log.empty()) << at;
      } else if (row == whole) {
        EXPECT_EQ(shown, "") << at;
        EXPECT_TRUE(log.empty()) << at;
      } else {
        // No row of the count: the earlier result as it was, or none at all.
        EXPECT_EQ(row, earlier) << at;
        EXPECT_EQ(shown, name) << at;
        EXPECT_EQ(log, std::vector<std::string>{"09:15:00|" + name}) << at;
      }
      // The next count (the sample counted again) is stored, and nothing more is named.
      sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 12, 9, 9, 20, 0, 0, 3});
      {
        CADOConn conn;
        CountNoteKeeper keeper(note);
        EXPECT_TRUE(keeper.Begin("12", sys::Clock::Now())) << at;
        EXPECT_TRUE(CountSample(conn, dir, 12).stored) << at;
        keeper.Stored();
        conn.Disconnect();
      }
      const std::vector<std::string> again = StoredRow("12", "2026-12-09");
      ASSERT_GE(again.size(), 3u) << at;
      EXPECT_EQ(again[2], "09:20:00") << at;
      CADOConn conn;
      EXPECT_EQ(NameLostCount(conn, AppSettings.ProgramFolder, 1), "") << at;
      conn.Disconnect();
      EXPECT_EQ(SampleTestLog().size(), log.size()) << at;
    };
    support::EachPowerCut({folder.path().string()}, reset, action, check);
  }
}

}  // namespace

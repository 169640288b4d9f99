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
#include "tests/support/power_cut.h"
#include "tools/boardsim/blood_profile.h"

using namespace measurement;

namespace {

const std::string kCountUnits[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",      "%",
                                     "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L",    "fL",
                                     "%",      "10^9/L", "fL",     "fL",     "%",  "%"};

// The sample's two counts differ from every other sample's (their own seeds).
RunInputs CountOf(const std::string& folder, int sampleNo, uint16_t* blank, uint16_t* sample, HistogramBuffers* last) {
  RunInputs in;
  const boardsim::BloodProfile& p = boardsim::ProfileData(boardsim::Profile::Normal);
  for (int k = 0; k < 2; ++k) {
    const boardsim::CountData d = boardsim::GenerateCount(p, 5.0f, false, 100 * sampleNo + k, true);
    for (size_t i = 0; i < kWbcChannels; ++i) in.counts[k].wbc[i] = d.wbc[i];
    for (size_t i = 0; i < kRbcChannels; ++i) in.counts[k].rbc[i] = d.rbc[i];
    for (size_t i = 0; i < kPltChannels; ++i) in.counts[k].plt[i] = d.plt[i];
    *blank = d.hgbBlank;
    *sample = d.hgbSample;
    for (size_t i = 0; i < kWbcChannels; ++i) last->wbc[i] = d.wbc[i];
  }
  in.count.hgbBlank = blank;
  in.count.hgbSample = sample;
  in.sampleNo = std::to_string(sampleNo);
  in.bloodModeText = "Whole blood";
  for (int i = 0; i < 20; ++i) in.units[i] = kCountUnits[i];
  in.folder = folder;
  return in;
}

struct Counted {
  bool stored = false;
  HistogramBuffers histograms;  // what the count stored as the sample's record
  float wbcMean100 = 0;         // the mean of the two counts in WBC bin 100
};

// One count's result processing on the screen's connection.
Counted Count(CADOConn& conn, const std::string& folder, int sampleNo) {
  uint16_t blank, sample;
  Counted c;
  RunInputs in = CountOf(folder, sampleNo, &blank, &sample, &c.histograms);
  c.wbcMean100 = (in.counts[0].wbc[100] + in.counts[1].wbc[100]) * 0.5f;
  XbQcState xb = LoadXbQcState(conn);
  const RunResult r = ProcessRunResult(conn, in, c.histograms, xb);
  c.stored = r.Stored();
  return c;
}

// The same on a connection of its own, closed before it returns.
Counted Count(const std::string& folder, int sampleNo) {
  CADOConn conn;
  Counted c = Count(conn, folder, sampleNo);
  conn.Disconnect();
  return c;
}

bool SameRecord(const HistogramBuffers& a, const HistogramBuffers& b) {
  return std::equal(std::begin(a.wbc), std::end(a.wbc), std::begin(b.wbc)) &&
         std::equal(std::begin(a.rbc), std::end(a.rbc), std::begin(b.rbc)) &&
         std::equal(std::begin(a.plt), std::end(a.plt), std::begin(b.plt));
}

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
      HistogramBuffers back;
      ASSERT_TRUE(ReadTestDataRecord(dir, TestDataKey(date, no), &back)) << where << ": sample " << no;
      const auto k = known.find(std::stoi(no));
      ASSERT_NE(k, known.end()) << where << ": sample " << no;
      EXPECT_TRUE(SameRecord(back, k->second.histograms)) << where << ": sample " << no;
      EXPECT_FLOAT_EQ(back.wbc[100], k->second.wbcMean100) << where << ": sample " << no;
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
        before[11] = Count(dir, 11);
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
      counted = Count(*screen, dir, 12);
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
      known[13] = Count(dir, 13);
      EXPECT_TRUE(known[13].stored) << at;
      mustStay[13] = known[13];
      StartAndCheck(at + ", then a count", mustStay, known);
    };
    support::EachPowerCut({folder.path().string()}, reset, action, check);
  }
}

}  // namespace

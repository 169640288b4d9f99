// The start-up results purge: whole oldest days, their raw records, and the raw files after a
// kill in the middle of their rewrite.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "analyzer/sequences/results_purge.h"
#include "core/ado_conn.h"
#include "core/db_errors.h"
#include "fixture.h"
#include "platform/sys/debug_output.h"
#include "tests/support/io_faults.h"

using namespace analyzer;

namespace {

struct RawRecord {
  std::string key;
  uint8_t fill;
};

void WriteRaw(const std::string& folder, const std::vector<RawRecord>& records, size_t extraIndexBytes = 0) {
  std::ofstream tdi(folder + "TDI.dat", std::ios::binary), td(folder + "TD.dat", std::ios::binary);
  for (const RawRecord& r : records) {
    char index[32] = {};
    std::memcpy(index, r.key.data(), r.key.size());
    tdi.write(index, 32);
    std::string data(2560, static_cast<char>(r.fill));
    td.write(data.data(), static_cast<std::streamsize>(data.size()));
  }
  tdi.write("junkjunkjunk", static_cast<std::streamsize>(extraIndexBytes));
}

std::vector<RawRecord> ReadRaw(const std::string& folder) {
  std::ifstream tdi(folder + "TDI.dat", std::ios::binary), td(folder + "TD.dat", std::ios::binary);
  std::vector<RawRecord> out;
  char index[32];
  std::string data(2560, '\0');
  while (tdi.read(index, 32)) {
    td.read(data.data(), 2560);
    EXPECT_EQ(td.gcount(), 2560);
    RawRecord r{std::string(index, strnlen(index, 32)), static_cast<uint8_t>(data[0])};
    EXPECT_EQ(data, std::string(2560, data[0])) << "data record of " << r.key << " is not whole";
    out.push_back(r);
  }
  return out;
}

std::vector<std::string> Keys(const std::vector<RawRecord>& rs) {
  std::vector<std::string> k;
  for (const auto& r : rs) k.push_back(r.key);
  return k;
}

class PurgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = folder.path().string() + "/";
    ClearRecentDbErrors();
  }
  SequenceFolder folder;
  std::string dir;
  CADOConn conn;
};

TEST_F(PurgeTest, Keys) {
  struct Case {
    const char* date;
    const char* sample;
    const char* key;
  } cases[] = {
      {"2024-03-05", "7", "20240305 7"},   {"2024-03-05", "12", "2024030512"}, {"2024-03-05", " 12", "2024030512"},
      {"2024-03-05", "abc", "20240305 0"}, {"2024-03-05", "12345678", "2024030512345678"},
      {"2024-03-05", "123456789", ""},     {"2024-3", "1", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RawDataKey(c.date, c.sample), c.key) << c.date << " " << c.sample;
  unsigned char rec120[32] = {};
  std::memcpy(rec120, "20240305120", 11);
  EXPECT_FALSE(IndexRecordMatches(rec120, "2024030512"));
  EXPECT_TRUE(IndexRecordMatches(rec120, "20240305120"));
}

TEST_F(PurgeTest, RemovesRecordsTheSampleWriterMade) {
  // The purge and the sample writer share one file layout: records written through the writer
  // are found and removed by key, and the others stay readable at their new positions.
  const std::string keys[] = {RawDataKey("2024-03-05", "1"), RawDataKey("2024-03-05", "2"),
                              RawDataKey("2024-03-06", "1")};
  for (int i = 0; i < 3; ++i) {
    uint8_t record[kRawDataRecordSize];
    std::memset(record, 'a' + i, sizeof record);
    ASSERT_EQ(WriteRawRecord(dir, keys[i], record), RawWrite::Written) << keys[i];
  }
  int removed = 0;
  std::string error;
  ASSERT_TRUE(RemoveRawRecords(dir, {keys[0]}, &error, &removed)) << error;
  EXPECT_EQ(removed, 1);
  uint8_t back[kRawDataRecordSize];
  EXPECT_FALSE(ReadRawRecord(dir, keys[0], back));
  ASSERT_TRUE(ReadRawRecord(dir, keys[2], back));
  EXPECT_EQ(back[0], 'c');
  EXPECT_EQ(FindRawIndex(dir + kRawIndexFile, keys[2]), 1);
}

TEST_F(PurgeTest, FiftyThousandAndOneRowsLoseTheOldestDayWithItsRawRecords) {
  // 30 results on the oldest day, the rest on later days.
  RawExec("with recursive n(i) as (select 1 union all select i+1 from n where i < 50001) "
          "insert into Person(SampleNo, TestDate) select "
          "case when i <= 30 then cast(i as text) else cast(i % 1000 as text) end, "
          "case when i <= 30 then '2024-01-01' else '2024-02-' || printf('%02d', 1 + i % 28) end from n");
  std::vector<RawRecord> raw;
  for (int i = 1; i <= 30; ++i) raw.push_back({RawDataKey("2024-01-01", std::to_string(i)), 1});
  raw.push_back({"20240101120", 2});  // sample 120 has no row: "12" must not take it
  for (int i = 1; i <= 40; ++i) raw.push_back({RawDataKey("2024-02-05", std::to_string(i)), 3});
  WriteRaw(dir, raw, 7);  // and a partial index record at the end
  int personCount = 50001;
  EXPECT_EQ(PurgeResults(conn, personCount, dir), 1);
  EXPECT_EQ(personCount, 49971);
  EXPECT_EQ(RawCount("select count(*) from Person"), 49971);
  EXPECT_EQ(RawCount("select count(*) from Person where TestDate='2024-01-01'"), 0);
  const auto left = ReadRaw(dir);
  ASSERT_EQ(left.size(), 41u);
  EXPECT_EQ(left[0].key, "20240101120");
  EXPECT_EQ(left[1].fill, 3);
  EXPECT_FALSE(std::ifstream(dir + "TDITemp.dat").good());
  EXPECT_FALSE(std::ifstream(dir + "TDCommit.dat").good());
}

TEST_F(PurgeTest, ExactlyTheLimitIsLeftAloneAndTwoDaysGoWhenNeeded) {
  RawExec("with recursive n(i) as (select 1 union all select i+1 from n where i < 50100) "
          "insert into Person(SampleNo, TestDate) select cast(i as text), "
          "case when i <= 60 then '2024-01-01' when i <= 130 then '2024-01-02' else '2024-03-01' end from n");
  int count = 50000;
  EXPECT_EQ(PurgeResults(conn, count, dir), 0);
  EXPECT_EQ(RawCount("select count(*) from Person"), 50100);
  count = 50100;
  EXPECT_EQ(PurgeResults(conn, count, dir), 2);
  EXPECT_EQ(count, 49970);
  EXPECT_EQ(RawCount("select count(*) from Person"), 49970);
}

TEST_F(PurgeTest, AStoreFarOverTheLimitLosesItsOldestDaysInOneRewrite) {
  // 50,000 later rows and three older days of 10, 20 and 30: 50,060 rows, so the three oldest
  // days go (50,060 - 10 - 20 - 30 = 50,000), with their raw records, in one rewrite.
  RawExec("with recursive n(i) as (select 1 union all select i+1 from n where i < 50060) "
          "insert into Person(SampleNo, TestDate) select cast(i as text), "
          "case when i <= 10 then '2024-01-01' when i <= 30 then '2024-01-02' when i <= 60 then '2024-01-03' "
          "else '2024-03-' || printf('%02d', 1 + i % 28) end from n");
  std::vector<RawRecord> raw;
  for (int i = 1; i <= 60; ++i) {
    const char* date = i <= 10 ? "2024-01-01" : i <= 30 ? "2024-01-02" : "2024-01-03";
    raw.push_back({RawDataKey(date, std::to_string(i)), 1});
  }
  raw.push_back({RawDataKey("2024-03-05", "88"), 2});
  WriteRaw(dir, raw);
  int count = 50060;
  support::IoFaults listing;
  EXPECT_EQ(PurgeResults(conn, count, dir), 3);
  EXPECT_EQ(count, 50000);
  EXPECT_EQ(RawCount("select count(*) from Person"), 50000);
  EXPECT_EQ(RawCount("select count(*) from Person where TestDate < '2024-02-01'"), 0);
  const auto left = ReadRaw(dir);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].key, "2024030588");
  int renames = 0;
  for (const support::IoStep& step : listing.Steps())
    renames += step.op == sys::IoOp::Rename && step.path.find("TDITemp.dat") != std::string::npos;
  EXPECT_EQ(renames, 1);
}

namespace {
// A rewrite held at its first step until the test lets it go on.
std::mutex g_holdLock;
std::condition_variable g_holdChanged;
bool g_held = false, g_release = false;
bool HoldAtTempWritten(const char* step) {
  if (std::strcmp(step, "temp-written") != 0) return true;
  std::unique_lock<std::mutex> l(g_holdLock);
  g_held = true;
  g_holdChanged.notify_all();
  g_holdChanged.wait(l, [] { return g_release; });
  return true;
}
}  // namespace

TEST_F(PurgeTest, OnAWorkerTheRowsGoAtOnceAndReadersWaitForTheNewPair) {
  // 50,002 rows: the oldest day (two rows, samples 1 and 2) goes.
  RawExec("with recursive n(i) as (select 1 union all select i+1 from n where i < 50002) "
          "insert into Person(SampleNo, TestDate) select cast(i as text), "
          "case when i <= 2 then '2024-01-01' else '2024-03-' || printf('%02d', 1 + i % 28) end from n");
  WriteRaw(dir, {{RawDataKey("2024-01-01", "1"), 1}, {RawDataKey("2024-01-01", "2"), 2},
                 {RawDataKey("2024-03-05", "88"), 3}});
  g_held = g_release = false;
  SetRawRewriteCheckpoint(HoldAtTempWritten);
  int count = 50002;
  // The call returns with the rows gone while the rewrite is held on the worker.
  EXPECT_EQ(PurgeResults(conn, count, dir, true), 1);
  EXPECT_EQ(count, 50000);
  EXPECT_EQ(RawCount("select count(*) from Person where TestDate='2024-01-01'"), 0);
  {
    std::unique_lock<std::mutex> l(g_holdLock);
    g_holdChanged.wait(l, [] { return g_held; });
  }
  // A reader that comes meanwhile gets the new pair: the record of a purged row is gone.
  std::atomic<int> readOutcome{-1};
  std::thread reader([&] {
    uint8_t back[kRawDataRecordSize];
    readOutcome = ReadRawRecord(dir, RawDataKey("2024-01-01", "1"), back) ? 1 : 0;
  });
  {
    std::lock_guard<std::mutex> l(g_holdLock);
    g_release = true;
  }
  g_holdChanged.notify_all();
  reader.join();
  FinishRawRewrites();
  SetRawRewriteCheckpoint(nullptr);
  EXPECT_EQ(readOutcome.load(), 0);
  const auto left = ReadRaw(dir);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].key, "2024030588");
  EXPECT_EQ(left[0].fill, 3);
  EXPECT_FALSE(std::ifstream(dir + "TDCommit.dat").good());
}

TEST_F(PurgeTest, AFailingQueryEndsTheLoop) {
  RawExec("drop table Person");
  int count = 60000;
  EXPECT_EQ(PurgeResults(conn, count, dir), 0);
  EXPECT_EQ(count, 60000);
}

TEST_F(PurgeTest, RawRecordsStayWhenTheRowsCannotBeDeleted) {
  RawExec("insert into Person(SampleNo, TestDate) values('1','2024-01-01'),('2','2024-01-02')");
  RawExec("create trigger nodelete before delete on Person begin select raise(abort, 'locked'); end");
  WriteRaw(dir, {{"20240101 1", 1}, {"20240102 2", 2}});
  int count = 50002;
  EXPECT_EQ(PurgeOldestDay(conn, count, dir), 0);
  EXPECT_EQ(count, 50002);
  EXPECT_EQ(ReadRaw(dir).size(), 2u);
}

TEST_F(PurgeTest, MissingRawFilesLeaveTheRowsToBeDeleted) {
  RawExec("insert into Person(SampleNo, TestDate) values('1','2024-01-01'),('2','2024-01-02')");
  WriteRaw(dir, {{"20240101 1", 1}});
  std::remove((dir + "TD.dat").c_str());
  int count = 50002;
  EXPECT_EQ(PurgeOldestDay(conn, count, dir), 1);
  EXPECT_EQ(count, 50001);
  EXPECT_TRUE(std::ifstream(dir + "TDI.dat").good());
}

// Kills a child process at a step of the rewrite, then checks the files the next start sees.
const char* g_killAt = nullptr;
bool KillAt(const char* step) {
  if (std::strcmp(step, g_killAt) == 0) ::kill(::getpid(), SIGKILL);
  return true;
}

TEST_F(PurgeTest, RawFilesStayAMatchingPairAfterAKillDuringTheRewrite) {
  const std::vector<RawRecord> original = {{"20240101 1", 1}, {"20240101 2", 2}, {"20240102 1", 3}, {"20240102 2", 4}};
  const std::vector<std::string> oldKeys = Keys(original);
  const std::vector<std::string> newKeys = {"20240102 1", "20240102 2"};
  struct Case {
    const char* step;
    bool completed;  // the next pass sees the new pair
  } cases[] = {{"temp-written", false}, {"committed", true}, {"index-renamed", true}};
  for (const Case& c : cases) {
    WriteRaw(dir, original);
    g_killAt = c.step;
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      SetRawRewriteCheckpoint(KillAt);
      RemoveRawRecords(dir, {"20240101 1", "20240101 2"});
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << c.step;
    RecoverRawRewrite(dir);
    const auto now = ReadRaw(dir);
    EXPECT_EQ(Keys(now), c.completed ? newKeys : oldKeys) << c.step;
    for (const auto& r : now) EXPECT_EQ(r.fill, r.key == "20240101 1" ? 1 : r.key == "20240101 2" ? 2 : r.key == "20240102 1" ? 3 : 4);
    EXPECT_FALSE(std::ifstream(dir + "TDTemp.dat").good()) << c.step;
  }
}

TEST_F(PurgeTest, AFailingDiskAtAnyStepOfTheRewriteLeavesAMatchingPair) {
  const std::vector<RawRecord> original = {{"20240101 1", 1}, {"20240101 2", 2}, {"20240102 1", 3}, {"20240102 2", 4}};
  const std::vector<std::string> oldKeys = Keys(original);
  const std::vector<std::string> newKeys = {"20240102 1", "20240102 2"};
  support::EachStepFailing(
      [&] {
        std::remove((dir + "TDCommit.dat").c_str());
        WriteRaw(dir, original);
      },
      [&](std::string* e) { return RemoveRawRecords(dir, {"20240101 1", "20240101 2"}, e); },
      [&](const std::string& where, bool ok, const std::string& error) {
        // Flushing the folder once nothing is left to make durable may fail unreported.
        if (ok) {
          EXPECT_EQ(Keys(ReadRaw(dir)), newKeys) << where;
        } else {
          EXPECT_FALSE(error.empty()) << where;
        }
        // What the next start finds once the disk works again.
        std::string recovery;
        EXPECT_TRUE(RecoverRawRewrite(dir, &recovery)) << where << ": " << recovery;
        const auto now = ReadRaw(dir);
        const std::vector<std::string> keys = Keys(now);
        EXPECT_TRUE(keys == oldKeys || keys == newKeys) << where;
        for (const auto& r : now) EXPECT_EQ(r.fill, r.key == "20240101 1" ? 1 : r.key == "20240101 2" ? 2 : r.key == "20240102 1" ? 3 : 4) << where;
        EXPECT_FALSE(std::ifstream(dir + "TDTemp.dat").good()) << where;
        EXPECT_FALSE(std::ifstream(dir + "TDITemp.dat").good()) << where;
        EXPECT_FALSE(std::ifstream(dir + "TDCommit.dat").good()) << where;
      });
}

TEST_F(PurgeTest, AFailedRawRewriteIsLoggedAndTheRowsAreStillGone) {
  RawExec("insert into Person(SampleNo, TestDate) values('1','2024-01-01'),('2','2024-01-02')");
  WriteRaw(dir, {{"20240101 1", 1}, {"20240102 2", 2}});
  std::vector<std::string> lines;
  sys::SetDebugOutputToStderr(false);
  sys::SetDebugOutputCapture([&](const std::string& l) { lines.push_back(l); });
  int count = 50002;
  {
    support::IoFaults faults;
    faults.Add({sys::IoOp::Write, "TDTemp.dat", 1, support::IoFaults::Error(ENOSPC)});
    EXPECT_EQ(PurgeOldestDay(conn, count, dir), 1);
  }
  sys::SetDebugOutputCapture(nullptr);
  sys::SetDebugOutputToStderr(true);
  EXPECT_EQ(count, 50001);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("2024-01-01"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("TDTemp.dat"), std::string::npos) << lines[0];
  EXPECT_EQ(Keys(ReadRaw(dir)), (std::vector<std::string>{"20240101 1", "20240102 2"}));
}

}  // namespace

TEST_F(PurgeTest, RemovalKeepsRunsAroundEachRemovedRecordAndPadsAShortDataFile) {
  // Nine records, their data file cut short in the middle of record 7: the removed keys split
  // the rest into runs, the kept records keep their data, and the records the data file lacked
  // come back as zero records, so the files stay a matching pair.
  std::vector<RawRecord> records;
  for (int i = 0; i < 9; ++i) records.push_back({"2024030" + std::to_string(i) + " 1", static_cast<uint8_t>('a' + i)});
  WriteRaw(dir, records, 13);  // and a torn index tail
  std::filesystem::resize_file(dir + "TD.dat", 7 * 2560 + 100);
  int removed = 0;
  std::string error;
  ASSERT_TRUE(RemoveRawRecords(dir, {records[0].key, records[3].key, records[4].key, records[8].key, "absent"},
                               &error, &removed))
      << error;
  EXPECT_EQ(removed, 4);
  std::ifstream tdi(dir + "TDI.dat", std::ios::binary), td(dir + "TD.dat", std::ios::binary);
  const std::string index((std::istreambuf_iterator<char>(tdi)), std::istreambuf_iterator<char>());
  const std::string data((std::istreambuf_iterator<char>(td)), std::istreambuf_iterator<char>());
  ASSERT_EQ(index.size(), 5u * 32);
  ASSERT_EQ(data.size(), 5u * 2560);
  const char* expectedKeys[] = {"20240301 1", "20240302 1", "20240305 1", "20240306 1", "20240307 1"};
  const char expectedFill[] = {'b', 'c', 'f', 'g'};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(std::string(index.c_str() + i * 32), expectedKeys[i]) << i;
    if (i < 4) EXPECT_EQ(data.substr(i * 2560, 2560), std::string(2560, expectedFill[i])) << i;
  }
  // Record 7 had its first 100 bytes in the data file; the rest of it is zeros.
  EXPECT_EQ(data.substr(4 * 2560, 100), std::string(100, 'h'));
  EXPECT_EQ(data.substr(4 * 2560 + 100), std::string(2460, '\0'));
}

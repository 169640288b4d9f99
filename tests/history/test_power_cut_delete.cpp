// A power cut at each durable step of deleting a result (its row, then the rewrite of TD.dat and
// TDI.dat without its record): after the program starts again the store is whole, every row has
// its own record, the other results are all there, a delete that was reported done stays done,
// and the next count is stored with its own record.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "analyzer/raw_rewrite_queue.h"
#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "core/ado_conn.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "history/history_delete.h"
#include "platform/db/connection.h"
#include "tests/support/power_cut.h"
#include "tests/support/program_folder.h"

namespace {

constexpr const char* kDeleteDate = "2026-12-09";

// A record no other sample has: its bytes follow from the sample number.
std::string RecordOfSample(int n) {
  std::string r(analyzer::kRawDataRecordSize, '\0');
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<char>((n * 37 + i * 11) % 251);
  return r;
}

// A count's save as the program makes it: the raw record, then the row.
void SaveSample(CADOConn& conn, const std::string& dir, int n) {
  const std::string record = RecordOfSample(n);
  ASSERT_EQ(analyzer::WriteRawRecord(dir, analyzer::RawDataKey(kDeleteDate, std::to_string(n)),
                                     reinterpret_cast<const uint8_t*>(record.data())),
            analyzer::RawWrite::Written);
  ASSERT_EQ(conn.Execute("insert into Person (SampleNo, TestDate, WBC) values ('" + std::to_string(n) + "', '" +
                         kDeleteDate + "', '5.0')"),
            1);
}

class DeletePowerCut : public ::testing::Test {
 protected:
  // The program starts again as its start-up does; the rows found are checked and returned.
  // `recordOf` names, for a renumbered row, the sample whose record it carries.
  // `orRecordOf` names a row that may carry either its own record or the one named.
  std::set<int> StartAndCheck(const std::string& where, const std::map<int, int>& recordOf = {},
                              const std::map<int, int>& orRecordOf = {}) {
    ClearRecentDbErrors();
    {
      CADOConn conn;
      EXPECT_TRUE(RunCoreStartup(conn)) << where;
      conn.Disconnect();
    }
    std::string error;
    EXPECT_TRUE(analyzer::RecoverRawRewrite(dir, &error)) << where << ": " << error;
    EXPECT_EQ(support::QueryText("pragma integrity_check"), "ok") << where;
    std::set<int> rows;
    db::Connection c;
    EXPECT_TRUE(c.Open(DatabasePath())) << where;
    auto rs = c.OpenRecordset("select SampleNo, TestDate from Person");
    for (; rs->IsOpen() && !rs->IsEOF(); rs->MoveNext()) {
      const std::string no = rs->Field(0).AsText();
      rows.insert(std::stoi(no));
      uint8_t back[analyzer::kRawDataRecordSize];
      if (!analyzer::ReadRawRecord(dir, analyzer::RawDataKey(rs->Field(1).AsText(), no), back)) {
        ADD_FAILURE() << where << ": sample " << no << " has no raw record";
        continue;
      }
      const auto renamed = recordOf.find(std::stoi(no));
      const int sample = renamed == recordOf.end() ? std::stoi(no) : renamed->second;
      const auto either = orRecordOf.find(std::stoi(no));
      if (either != orRecordOf.end() &&
          std::string(reinterpret_cast<const char*>(back), sizeof back) == RecordOfSample(either->second))
        continue;
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(back), sizeof back), RecordOfSample(sample))
          << where << ": sample " << no << " has another sample's record";
    }
    return rows;
  }

  // No raw files, and samples 1..n saved through `screen`, a new connection used before the action.
  void FreshStore(std::unique_ptr<CADOConn>& screen, int n) {
    std::filesystem::remove(folder.file("TD.dat"));
    std::filesystem::remove(folder.file("TDI.dat"));
    screen = std::make_unique<CADOConn>();
    ASSERT_EQ(screen->Execute("delete from Person"), 1);
    for (int i = 1; i <= n; ++i) SaveSample(*screen, dir, i);
  }

  support::ScratchProgramFolder folder{"quorvex_delete_cut_"};
  const std::string dir = folder.folder();
};

TEST_F(DeletePowerCut, ACutAtEachStepOfADeleteLeavesEveryRowWithItsRecord) {
  struct Scenario {
    const char* name;
    std::vector<int> deleted;
  };
  // The first, a middle and the last record of the files, and two at once.
  const Scenario scenarios[] = {{"the first", {1}}, {"a middle one", {2}}, {"the last", {3}}, {"two", {1, 3}}};
  for (const Scenario& s : scenarios) {
    std::unique_ptr<CADOConn> screen;  // the history screen's connection, used before the delete
    auto reset = [&] {
      FreshStore(screen, 3);
    };
    auto action = [&] {
      std::vector<history::ResultKey> keys;
      for (int n : s.deleted) keys.push_back({std::to_string(n), kDeleteDate});
      const history::DeleteOutcome out = history::DeleteResults(*screen, dir, keys);
      screen.reset();
      return out.rowsDeleted && out.rawRewritten;
    };
    auto check = [&](const std::string& where, bool saidDone) {
      const std::string at = std::string(s.name) + ", " + where;
      std::set<int> rows = StartAndCheck(at);
      for (int n = 1; n <= 3; ++n) {
        const bool deleted = std::find(s.deleted.begin(), s.deleted.end(), n) != s.deleted.end();
        if (!deleted) EXPECT_TRUE(rows.count(n)) << at << ": sample " << n << " lost";
        if (deleted && saidDone) EXPECT_FALSE(rows.count(n)) << at << ": deleted sample " << n << " is back";
      }
      // The next count after the start has its own record, and the others keep theirs.
      {
        CADOConn conn;
        SaveSample(conn, dir, 4);
        conn.Disconnect();
      }
      rows = StartAndCheck(at + ", then a count");
      EXPECT_TRUE(rows.count(4)) << at;
    };
    support::EachPowerCut({folder.path().string()}, reset, action, check);
  }
}

TEST_F(DeletePowerCut, ACutAtEachStepOfARenumberingLeavesTheRowWithItsRecord) {
  std::unique_ptr<CADOConn> screen;  // the result view's connection, used before the change
  auto reset = [&] {
    FreshStore(screen, 3);
  };
  auto action = [&] {
    std::string error;
    const bool ok = history::RenumberResult(*screen, dir, kDeleteDate, "2", "9",
                                            std::string("update Person set SampleNo='9' where SampleNo='2' and TestDate='") +
                                                kDeleteDate + "'",
                                            &error);
    screen.reset();
    return ok;
  };
  auto check = [&](const std::string& where, bool saidDone) {
    // Row 9 is sample 2 under its new number, with sample 2's histograms.
    const std::set<int> rows = StartAndCheck(where, {{9, 2}});
    EXPECT_TRUE(rows.count(1) && rows.count(3)) << where;
    EXPECT_NE(rows.count(2), rows.count(9)) << where << ": the result is under both numbers or neither";
    if (saidDone) EXPECT_TRUE(rows.count(9)) << where;
  };
  support::EachPowerCut({folder.path().string()}, reset, action, check);
}

TEST_F(DeletePowerCut, TwoDeletesQueuedOnTheWorkerWithReadsAndACountBetweenAndACutAtEachStep) {
  // Sample 1 goes, then sample 3 while the first rewrite still waits; sample 5 goes too but is
  // counted again under its number before the rewrites run, so its new record stays.
  std::unique_ptr<CADOConn> screen;
  auto reset = [&] {
    FreshStore(screen, 5);
  };
  int told = 0;
  bool allOk = true;
  auto done = [&](bool ok, const std::string&) {
    ++told;
    allOk = allOk && ok;
  };
  auto deleteSample = [&](int n) {
    const std::vector<history::ResultKey> keys{{std::to_string(n), kDeleteDate}};
    if (!history::DeleteResultRows(*screen, keys).rowsDeleted) return false;
    analyzer::QueueRawRemoval(dir, history::RawKeysOf(keys), done);
    return true;
  };
  auto action = [&] {
    told = 0;
    allOk = true;
    analyzer::HoldRawRewrites(true);
    bool ok = deleteSample(1) && deleteSample(5);
    // Between the deletes the pair still holds every record; each live row reads its own.
    for (int n : {2, 3, 4}) {
      uint8_t back[analyzer::kRawDataRecordSize];
      if (!analyzer::ReadRawRecord(dir, analyzer::RawDataKey(kDeleteDate, std::to_string(n)), back) ||
          std::string(reinterpret_cast<const char*>(back), sizeof back) != RecordOfSample(n))
        ok = false;
    }
    ok = ok && deleteSample(3);
    // Sample 5 is counted again; its record is written as a count writes it, with a new content.
    const std::string again = RecordOfSample(50);
    ok = ok && analyzer::WriteRawRecord(dir, analyzer::RawDataKey(kDeleteDate, "5"),
                                        reinterpret_cast<const uint8_t*>(again.data())) == analyzer::RawWrite::Written;
    ok = ok && screen->Execute(std::string("insert into Person (SampleNo, TestDate, WBC) values ('5', '") +
                               kDeleteDate + "', '5.0')") == 1;
    analyzer::HoldRawRewrites(false);
    analyzer::FinishRawRewrites();
    screen.reset();
    // The three removals were made as one rewrite and each was told its outcome.
    return ok && told == 3 && allOk;
  };
  auto check = [&](const std::string& where, bool saidDone) {
    // Row 5 is the first sample 5 with its record, or the one counted again with its own.
    const std::set<int> rows = saidDone ? StartAndCheck(where, {{5, 50}}) : StartAndCheck(where, {}, {{5, 50}});
    EXPECT_TRUE(rows.count(2) && rows.count(4)) << where;
    if (saidDone) {
      EXPECT_EQ(rows, (std::set<int>{2, 4, 5})) << where;
      // Exactly the live rows' records are left.
      EXPECT_EQ(std::filesystem::file_size(folder.file("TDI.dat")), 3 * analyzer::kRawIndexRecordSize) << where;
    }
  };
  support::EachPowerCut({folder.path().string()}, reset, action, check);
}

}  // namespace

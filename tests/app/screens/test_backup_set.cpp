// A backup is one whole set or none: a backup that fails at any step (or runs out of disk)
// leaves the previous backup whole, a backup taken while a delete's rewrite is still pending
// copies the pair the program reads, and a restore takes a set only when every result has its
// own raw record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "app/screens/backup_files.h"
#include "app/screens/backup_set.h"
#include "core/ado_conn.h"
#include "tests/support/io_faults.h"
#include "tests/support/program_folder.h"
#include "counted_results.h"

namespace fs = std::filesystem;

namespace {

using counted::KeyOf;
using counted::RecordOf;

void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes; }

class BackupSet : public ::testing::Test {
 protected:
  // The program's state: results first..last, each with its raw record (record, then row), and
  // the settings `settings`.
  void MakeLive(int first, int last, const std::string& settings) {
    for (const char* f : {"TD.dat", "TDI.dat", "TDTemp.dat", "TDITemp.dat", "TDCommit.dat"}) fs::remove(folder.path() / f);
    support::ExecSql("delete from Person");
    CADOConn conn;
    for (int n = first; n <= last; ++n) counted::SaveCount(conn, dir, n);
    folder.write("Setting.ini", "[Setting]\nFROM=" + settings + "\n");
  }

  // The live results, each checked against its own raw record ("1,2,3").
  std::string LiveResults(const std::string& where) { return counted::RowsWithTheirRecords(dir, where); }
  std::string LiveSettings() { return support::FileBytes(folder.file("Setting.ini")); }

  std::vector<std::string> Names(const fs::path& p) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(p)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // The backup folder holds the old set (results 1-3, settings "old"), written by this program or,
  // without its manifest, by an earlier one; the program holds results 1-6 and settings "new".
  // Each backup failing in `fail` is followed by a restore, which must bring back one whole set:
  // the new one when the backup said so, else the old one (or the new one, when only the last
  // renames failed and the manifest already named it).
  void EachFailureLeavesAWholeSet(bool earlierProgram,
                                  const std::function<void(const std::function<void()>& reset,
                                                           const std::function<bool(std::string*)>& backup,
                                                           const std::function<void(const std::string&, bool)>& check)>&
                                      fail) {
    MakeLive(1, 3, "old");
    ASSERT_TRUE(BackupProgramFiles(dir, pristine.string()).ok());
    if (earlierProgram) fs::remove(pristine / kBackupManifest);
    auto reset = [&] {
      fs::remove_all(backup);
      fs::copy(pristine, backup);
      MakeLive(1, 6, "new");
    };
    auto run = [&](std::string* error) {
      const CopyOutcome out = BackupProgramFiles(dir, backup.string());
      if (!out.failed.empty()) *error = out.failed[0];
      return out.ok();
    };
    auto check = [&](const std::string& where, bool saidDone) {
      MakeLive(7, 8, "other");  // the restore has something to replace
      const CopyOutcome out = RestoreProgramFiles(dir, backup.string());
      EXPECT_TRUE(out.ok()) << where << ": " << (out.failed.empty() ? "" : out.failed[0]);
      const std::string rows = LiveResults(where), settings = LiveSettings();
      const bool isNew = rows == "1,2,3,4,5,6";
      EXPECT_TRUE(isNew || rows == "1,2,3") << where << ": " << rows;
      EXPECT_EQ(settings, std::string("[Setting]\nFROM=") + (isNew ? "new" : "old") + "\n") << where;
      if (saidDone) {
        EXPECT_TRUE(isNew) << where;
      }
      // The next backup into the folder settles whatever was left and succeeds.
      const CopyOutcome next = BackupProgramFiles(dir, backup.string());
      EXPECT_TRUE(next.ok()) << where << ": " << (next.failed.empty() ? "" : next.failed[0]);
      for (const std::string& name : Names(backup))
        EXPECT_EQ(name.find(kBackupStagedSuffix), std::string::npos) << where << ": " << name << " is left";
    };
    fail(reset, run, check);
  }

  // A copy of `pristine` changed by `spoil`: a restore from it takes results 1-6 with the settings
  // "new" when `accepted`, else it leaves the live results 7-8 and settings "other".
  struct Spoilt {
    const char* name;
    std::function<void()> spoil;
    bool accepted;
  };
  void RestoreEach(const std::vector<Spoilt>& cases, const std::function<void(const Spoilt&)>& more) {
    for (const Spoilt& c : cases) {
      fs::remove_all(backup);
      fs::copy(pristine, backup);
      c.spoil();
      MakeLive(7, 8, "other");
      const CopyOutcome out = RestoreProgramFiles(dir, backup.string());
      EXPECT_EQ(out.ok(), c.accepted) << c.name << ": " << (out.failed.empty() ? "" : out.failed[0]);
      EXPECT_EQ(LiveResults(c.name), c.accepted ? "1,2,3,4,5,6" : "7,8") << c.name;
      EXPECT_EQ(LiveSettings(), c.accepted ? "[Setting]\nFROM=new\n" : "[Setting]\nFROM=other\n") << c.name;
      more(c);
    }
  }

  support::ScratchProgramFolder folder{"quorvex_backup_set_"};
  const std::string dir = folder.folder();
  const fs::path backup = folder.path() / "backup";
  const fs::path pristine = folder.path() / "pristine";
};

// Every write, flush and rename of the backup fails in turn (a full disk, an I/O error, a short
// write). Over a backup of an earlier program the full disk below walks every write as well.
TEST_F(BackupSet, EachFailingStepLeavesTheOldSetOrTheNewOne) {
  EachFailureLeavesAWholeSet(false, [](auto reset, auto backup, auto check) {
    support::EachStepFailing(reset, backup,
                             [&](const std::string& where, bool ok, const std::string&) { check(where, ok); });
  });
}

// The disk fills up: from the n-th write of the backup on, every write fails with ENOSPC.
TEST_F(BackupSet, AFullDiskLeavesTheOldSet) {
  for (bool earlier : {false, true}) {
    SCOPED_TRACE(earlier ? "over a backup of an earlier program" : "over a backup of this program");
    EachFailureLeavesAWholeSet(earlier, [](auto reset, auto backup, auto check) {
      size_t writes = 0;
      {
        reset();
        support::IoFaults listing;
        std::string error;
        ASSERT_TRUE(backup(&error)) << error;
        for (const support::IoStep& s : listing.Steps()) writes += s.op == sys::IoOp::Write;
      }
      ASSERT_GT(writes, 3u);
      for (size_t n = 1; n <= writes; ++n) {
        reset();
        std::string error;
        bool ok = false;
        {
          support::IoFaults full;
          full.Add({sys::IoOp::Write, "", static_cast<int>(n), support::IoFaults::Error(ENOSPC), -1});
          ok = backup(&error);
        }
        EXPECT_FALSE(ok) << "disk full from write " << n;
        check("disk full from write " + std::to_string(n), ok);
      }
    });
  }
}

// A delete's rewrite committed, its index renamed, its data file not: the program reads the new
// index with the new data file (TDTemp.dat). The backup finishes the rewrite first or, when the
// rename keeps failing, copies that pair; it takes only the files of the set.
TEST_F(BackupSet, ABackupWithACommittedRewritePendingCopiesThePairTheProgramReads) {
  for (bool renameFails : {false, true}) {
    const std::string where = renameFails ? "the rewrite's rename fails" : "the rewrite is finished";
    fs::remove_all(backup);
    MakeLive(1, 6, "new");
    analyzer::SetRawRewriteCheckpoint([](const char* step) { return std::string(step) != "index-renamed"; });
    EXPECT_FALSE(analyzer::RemoveRawRecords(dir, {KeyOf(2), KeyOf(3)}));
    analyzer::SetRawRewriteCheckpoint(nullptr);
    support::ExecSql("delete from Person where SampleNo in ('2','3')");
    ASSERT_TRUE(fs::exists(folder.path() / analyzer::kRawCommitMarker)) << where;
    ASSERT_TRUE(fs::exists(folder.path() / analyzer::kRawDataTemp)) << where;
    {
      support::IoFaults faults;
      if (renameFails) faults.Add({sys::IoOp::Rename, analyzer::kRawDataTemp, 1, support::IoFaults::Error(EIO), -1});
      const CopyOutcome out = BackupProgramFiles(dir, backup.string());
      ASSERT_TRUE(out.ok()) << where << ": " << (out.failed.empty() ? "" : out.failed[0]);
    }
    EXPECT_EQ(fs::exists(folder.path() / analyzer::kRawCommitMarker), renameFails) << where;
    EXPECT_EQ(Names(backup), (std::vector<std::string>{kBackupManifest, "Setting.ini", "TD.dat", "TDI.dat", "Vantorium.mdb"}))
        << where;
    // The data file of the backup holds the kept records 1, 4, 5, 6 in the index's order.
    EXPECT_EQ(support::FileBytes((backup / "TD.dat").string()),
              RecordOf(1) + RecordOf(4) + RecordOf(5) + RecordOf(6))
        << where;
    ASSERT_TRUE(analyzer::RecoverRawRewrite(dir)) << where;
    MakeLive(7, 8, "other");
    const CopyOutcome back = RestoreProgramFiles(dir, backup.string());
    ASSERT_TRUE(back.ok()) << where << ": " << (back.failed.empty() ? "" : back.failed[0]);
    EXPECT_EQ(LiveResults(where), "1,4,5,6") << where;
  }
}

// What a restore takes from a folder without a manifest (a backup of an earlier program): every
// result's own raw record must be there; rows without a count need none.
TEST_F(BackupSet, ARestoreChecksThatEveryResultHasItsOwnRawRecord) {
  MakeLive(1, 6, "new");
  CADOConn conn;
  // A patient entered before the count: no result, no raw record.
  ASSERT_EQ(conn.Execute(std::string("insert into Person (SampleNo, TestDate, Name) values ('9', '") + counted::kDate +
                         "', 'waiting')"),
            1);
  ASSERT_TRUE(BackupProgramFiles(dir, pristine.string()).ok());
  fs::remove(pristine / kBackupManifest);
  auto index = [](std::vector<int> samples) {
    std::string s;
    for (int n : samples) {
      std::string rec = KeyOf(n);
      rec.resize(analyzer::kRawIndexRecordSize, '\0');
      s += rec;
    }
    return s;
  };
  auto data = [](std::vector<int> samples) {
    std::string s;
    for (int n : samples) s += RecordOf(n);
    return s;
  };
  const std::vector<Spoilt> cases = {
      {"the set as written", [] {}, true},
      {"the index of an older backup: results 4-6 have no record",
       [&] { Put(backup / "TDI.dat", index({1, 2, 3})); }, false},
      {"the index and data of an older backup", [&] {
         Put(backup / "TDI.dat", index({1, 2, 3}));
         Put(backup / "TD.dat", data({1, 2, 3}));
       },
       false},
      {"a result indexed twice", [&] { Put(backup / "TDI.dat", index({1, 2, 3, 4, 5, 6, 4})); }, false},
      {"an index record with bytes after its key", [&] {
         std::string i = index({1, 2, 3, 4, 5, 6});
         i[5 * analyzer::kRawIndexRecordSize + 20] = 'x';
         Put(backup / "TDI.dat", i);
       },
       false},
      {"the new index with the data file from before a delete of two",
       [&] {
         Put(backup / "TDI.dat", index({1, 2, 3, 4, 5, 6}));
         Put(backup / "TD.dat", data({1, 7, 2, 8, 3, 4, 5, 6}));
       },
       false},
      {"one data record more than the index (a write cut off before its index record)",
       [&] { Put(backup / "TD.dat", data({1, 2, 3, 4, 5, 6, 7})); }, true},
      {"records without a result (a delete whose rewrite failed)",
       [&] {
         Put(backup / "TDI.dat", index({1, 2, 7, 3, 4, 5, 6}));
         Put(backup / "TD.dat", data({1, 2, 7, 3, 4, 5, 6}));
       },
       true},
  };
  RestoreEach(cases, [](const Spoilt& c) {
    EXPECT_EQ(support::QueryText("select Name from Person where SampleNo='9'"), c.accepted ? "waiting" : "") << c.name;
  });
}

// With its manifest a backup is checked file by file: a file changed or swapped after the backup
// is named; a set whose renames were cut off is found under its staged names.
TEST_F(BackupSet, ARestoreTakesTheFilesTheManifestNames) {
  MakeLive(1, 6, "new");
  ASSERT_TRUE(BackupProgramFiles(dir, pristine.string()).ok());
  const std::string oldIndex = support::FileBytes((pristine / "TDI.dat").string());
  const std::vector<Spoilt> cases = {
      {"the settings changed after the backup", [&] { Put(backup / "Setting.ini", "[Setting]\nFROM=later\n"); }, false},
      {"a store copied in from elsewhere", [&] { fs::copy_file(DatabasePath(), backup / "Vantorium.mdb", fs::copy_options::overwrite_existing); }, false},
      {"a damaged manifest", [&] { Put(backup / kBackupManifest, "Quorvex backup set 1\nnot a line\n"); }, false},
      {"the index renamed in, the rest still staged",
       [&] {
         for (const char* f : {"TD.dat", "Setting.ini", "Vantorium.mdb"}) {
           fs::rename(backup / f, backup / (std::string(f) + kBackupStagedSuffix));
         }
         Put(backup / "TD.dat", "older data");
         Put(backup / "Setting.ini", "[Setting]\nFROM=old\n");
       },
       true},
  };
  RestoreEach(cases, [](const Spoilt&) {});
  EXPECT_EQ(support::FileBytes(folder.file("TDI.dat")), oldIndex);
}

}  // namespace

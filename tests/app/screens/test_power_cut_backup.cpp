// A power cut at each durable step of a backup and of a restore. After a restore cut off the
// program's start-up finishes or leaves it: the live store, raw files and settings are all the
// old ones or all the restored ones, never a mixture, a restore reported finished is in place,
// every row has its own raw record, and the next count is stored. A backup cut off leaves the
// older backup in its folder or the new one, whole; one reported finished is the new one.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "app/screens/backup_files.h"
#include "app/screens/restore_check.h"
#include "core/ado_conn.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "platform/sys/program_dir.h"
#include "tests/support/power_cut.h"
#include "tests/support/program_folder.h"
#include "counted_results.h"

namespace fs = std::filesystem;

namespace {

using counted::RecordOf;
using counted::RowsWithTheirRecords;
using counted::SaveCount;

std::string Bytes(const fs::path& p) { return support::FileBytes(p.string()); }

class BackupPowerCut : public ::testing::Test {
 protected:
  // The program folder holds samples 1 and 2 and settings "live"; `good` a backup of samples
  // 1, 2 and 3 with settings "backup".
  void SetUp() override {
    {
      CADOConn conn;
      SaveCount(conn, dir, 1);
      SaveCount(conn, dir, 2);
      SaveCount(conn, dir, 3);
    }
    folder.write("Setting.ini", "[Setting]\nFROM=backup\n");
    const CopyOutcome out = BackupProgramFiles(dir, good.string());
    ASSERT_TRUE(out.ok()) << (out.failed.empty() ? "" : out.failed[0]);
    fs::rename(good / "Vantorium.mdb", good / "vantorium.mdb");
  }
  void MakeLive() {
    for (const char* leftover : {"TD.dat", "TDI.dat"}) fs::remove(folder.path() / leftover);
    support::ExecSql("delete from Person");
    CADOConn conn;
    SaveCount(conn, dir, 1);
    SaveCount(conn, dir, 2);
    folder.write("Setting.ini", "[Setting]\nFROM=live\n");
  }
  // What the program's start-up does with the files, in its order.
  void Start(const std::string& where) {
    ClearRecentDbErrors();
    std::string error;
    EXPECT_TRUE(FinishInterruptedRestore(sys::ProgramDir(), &error)) << where << ": " << error;
    {
      CADOConn conn;
      EXPECT_TRUE(RunCoreStartup(conn)) << where;
    }
    EXPECT_TRUE(analyzer::RecoverRawRewrite(dir, &error)) << where << ": " << error;
    EXPECT_EQ(support::QueryText("pragma integrity_check"), "ok") << where;
  }

  support::ScratchProgramFolder folder{"quorvex_backup_cut_"};
  const std::string dir = folder.folder();
  fs::path good = folder.path() / "good";
};

TEST_F(BackupPowerCut, ACutAtEachStepOfARestoreLeavesTheOldFilesOrTheRestoredOnes) {
  std::unique_ptr<CADOConn> screen;  // the program's connection stays open through a restore
  auto reset = [&] {
    screen.reset();
    MakeLive();
    screen = std::make_unique<CADOConn>();
    ASSERT_EQ(screen->Execute("update SysSetting set SLanguage=1"), 1);
  };
  auto action = [&] {
    const bool ok = RestoreProgramFiles(dir, good.string()).ok();
    screen.reset();
    return ok;
  };
  auto check = [&](const std::string& where, bool saidRestored) {
    Start(where);
    const std::string rows = RowsWithTheirRecords(dir, where);
    const std::string settings = Bytes(folder.path() / "Setting.ini");
    const bool restored = rows == "1,2,3";
    EXPECT_TRUE(restored || rows == "1,2") << where << ": rows " << rows;
    // The settings go with the store: all the restored files or none of them.
    EXPECT_EQ(settings, restored ? "[Setting]\nFROM=backup\n" : "[Setting]\nFROM=live\n") << where;
    EXPECT_EQ(fs::file_size(folder.path() / "TDI.dat"), (restored ? 3u : 2u) * analyzer::kRawIndexRecordSize) << where;
    if (saidRestored) {
      EXPECT_TRUE(restored) << where;
    }
    for (const auto& e : fs::directory_iterator(folder.path())) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name.find(".restore") == std::string::npos && name.find(".old") == std::string::npos &&
                  name != kRestoreSwitchMarker)
          << where << ": " << name << " is left";
    }
    // The next count is stored with its own record.
    {
      CADOConn conn;
      SaveCount(conn, dir, 7);
    }
    EXPECT_EQ(RowsWithTheirRecords(dir, where + ", then a count"), (restored ? "1,2,3,7" : "1,2,7")) << where;
  };
  support::EachPowerCut({dir, good.string()}, reset, action, check);
}

// The backup is written over an older one (the `good` set): after the cut the folder holds that
// set or the new one, whole, and a restore from it brings back one of them with its settings.
TEST_F(BackupPowerCut, ACutAtEachStepOfABackupLeavesAReportedBackupWhole) {
  const fs::path target = folder.path() / "target";
  auto reset = [&] {
    fs::remove_all(target);
    fs::copy(good, target);
    MakeLive();
  };
  auto action = [&] { return BackupProgramFiles(dir, target.string()).ok(); };
  auto check = [&](const std::string& where, bool saidDone) {
    Start(where);
    // The live files are never touched by a backup.
    EXPECT_EQ(RowsWithTheirRecords(dir, where), "1,2") << where;
    EXPECT_EQ(Bytes(folder.path() / "Setting.ini"), "[Setting]\nFROM=live\n") << where;
    if (!saidDone) return;
    EXPECT_EQ(Bytes(target / "Setting.ini"), "[Setting]\nFROM=live\n") << where;
    EXPECT_EQ(Bytes(target / "TD.dat"), RecordOf(1) + RecordOf(2)) << where;
    EXPECT_EQ(Bytes(target / "TDI.dat"), Bytes(folder.path() / "TDI.dat")) << where;
    std::string why;
    EXPECT_TRUE(IsProgramStore((target / "Vantorium.mdb").string(), &why)) << where << ": " << why;
    sqlite3* db = nullptr;
    sqlite3_open_v2((target / "Vantorium.mdb").string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "select group_concat(SampleNo) from Person", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW) << where;
    const unsigned char* t = sqlite3_column_text(st, 0);
    EXPECT_EQ(t ? std::string(reinterpret_cast<const char*>(t)) : "", "1,2") << where;
    sqlite3_finalize(st);
    sqlite3_close(db);
  };
  auto checkSet = [&](const std::string& where, bool saidDone) {
    check(where, saidDone);
    // A restore from the folder takes the older set or the new one, never a mixture.
    folder.write("Setting.ini", "[Setting]\nFROM=other\n");
    const CopyOutcome out = RestoreProgramFiles(dir, target.string());
    EXPECT_TRUE(out.ok()) << where << ": " << (out.failed.empty() ? "" : out.failed[0]);
    const std::string rows = RowsWithTheirRecords(dir, where + ", restored");
    const bool isNew = rows == "1,2";
    EXPECT_TRUE(isNew || rows == "1,2,3") << where << ": " << rows;
    EXPECT_EQ(Bytes(folder.path() / "Setting.ini"), isNew ? "[Setting]\nFROM=live\n" : "[Setting]\nFROM=backup\n")
        << where;
    if (saidDone) {
      EXPECT_TRUE(isNew) << where;
    }
    // The next backup settles what the cut left and succeeds.
    EXPECT_TRUE(BackupProgramFiles(dir, target.string()).ok()) << where;
  };
  support::EachPowerCut({dir, target.string()}, reset, action, checkSet);
}

}  // namespace

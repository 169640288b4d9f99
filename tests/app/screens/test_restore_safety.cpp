// A restore replaces the store, the raw-data files and the settings all together or not at all,
// and a backup never writes into the folder of the live files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/screens/backup_files.h"
#include "app/screens/backup_set.h"
#include "core/ado_conn.h"
#include "tests/support/io_faults.h"
#include "tests/support/program_folder.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& p) { return support::FileBytes(p.string()); }

void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes; }

// Every row of every table with every column, in a fixed order: two stores with the same dump
// hold the same data.
std::string Dump(const std::string& path) {
  sqlite3* db = nullptr;
  std::string out;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return "<cannot open>";
  }
  std::vector<std::string> tables;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "select name from sqlite_master where type='table' order by name", -1, &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW) tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  for (const std::string& t : tables) {
    out += "[" + t + "]\n";
    const std::string sql = "select * from \"" + t + "\" order by rowid";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      out += "<cannot read>\n";
      continue;
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        const unsigned char* v = sqlite3_column_text(st, c);
        out += v ? reinterpret_cast<const char*>(v) : "<null>";
        out += "|";
      }
      out += "\n";
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return out;
}

std::string IndexRecords(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) {
    std::string key = "20261209 " + std::to_string(i);
    key.resize(32, '\0');
    s += key;
  }
  return s;
}

// The live files and a good backup of different data, with an open connection of the program.
class RestoreSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    // The backup: 3 raw records, its own settings, a log row and a result row of its own.
    support::ExecSql("delete from SysLog; insert into SysLog values('2026-12-9','08:00:00','Backed','up')");
    support::ExecSql("insert into Person(SampleNo,TestDate) values('3','2026-12-09')");
    Put(folder.path() / "TD.dat", std::string(3 * 2560, 'B'));
    Put(folder.path() / "TDI.dat", IndexRecords(3));
    Put(folder.path() / "Setting.ini", "[Setting]\nFROM=backup\n");
    const CopyOutcome out = BackupProgramFiles(folder.folder(), good.string());
    ASSERT_TRUE(out.ok()) << (out.failed.empty() ? "" : out.failed[0]);
    fs::rename(good / "Vantorium.mdb", good / "vantorium.mdb");
    backupDump = Dump((good / "vantorium.mdb").string());

    MakeLive();
    liveDump = Dump(DatabasePath());
    ASSERT_NE(liveDump, backupDump);
    ASSERT_EQ(conn.Execute("insert into SysLog values('2026-12-10','09:00:00','Open','conn')"), 1);
    liveDump = Dump(DatabasePath());
  }
  void TearDown() override { conn.Disconnect(); }

  void MakeLive() {
    support::ExecSql("delete from Person; delete from SysLog; insert into SysLog values('2026-12-10','08:00:00','Live','x')");
    Put(folder.path() / "TD.dat", std::string(2 * 2560, 'L'));
    Put(folder.path() / "TDI.dat", IndexRecords(2));
    Put(folder.path() / "Setting.ini", "[Setting]\nFROM=live\n");
  }

  // The live files as they were before the restore, or as the backup holds them; nothing of a
  // restore is left beside them.
  void ExpectLive(const std::string& where) {
    EXPECT_EQ(Dump(DatabasePath()), liveDump) << where;
    EXPECT_EQ(Bytes(folder.path() / "TD.dat"), std::string(2 * 2560, 'L')) << where;
    EXPECT_EQ(Bytes(folder.path() / "TDI.dat"), IndexRecords(2)) << where;
    EXPECT_EQ(Bytes(folder.path() / "Setting.ini"), "[Setting]\nFROM=live\n") << where;
    ExpectNoLeftovers(where);
  }
  void ExpectRestored(const std::string& where) {
    EXPECT_EQ(Dump(DatabasePath()), backupDump) << where;
    EXPECT_EQ(Bytes(folder.path() / "TD.dat"), std::string(3 * 2560, 'B')) << where;
    EXPECT_EQ(Bytes(folder.path() / "TDI.dat"), IndexRecords(3)) << where;
    EXPECT_EQ(Bytes(folder.path() / "Setting.ini"), "[Setting]\nFROM=backup\n") << where;
    ExpectNoLeftovers(where);
  }
  void ExpectNoLeftovers(const std::string& where) {
    for (const auto& e : fs::directory_iterator(folder.path())) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name.find(".restore") == std::string::npos && name.find(".old") == std::string::npos)
          << where << ": " << name;
    }
  }

  support::ScratchProgramFolder folder{"quorvex_restore_"};
  fs::path good = folder.path() / "good";
  std::string backupDump, liveDump;
  CADOConn conn;  // a connection of the program stays open on the live store
};

TEST_F(RestoreSafety, GoodBackupReplacesEverythingAndTheOpenConnectionSeesIt) {
  const CopyOutcome out = RestoreProgramFiles(folder.folder(), good.string());
  ASSERT_TRUE(out.ok()) << (out.failed.empty() ? "" : out.failed[0]);
  ExpectRestored("good backup");
  RecordsetPtr& rs = conn.OpenRecordset("select Event from SysLog");
  ASSERT_TRUE(conn.RecordsetOpen());
  EXPECT_EQ(rs->Field(0).AsText(), "Backed");
  conn.CloseRecordset();
}

// A store from before the start-up upgrade lacks the upgrade's columns; it is still ours.
TEST_F(RestoreSafety, OlderStoreWithoutTheUpgradeColumnsIsAccepted) {
  fs::remove(good / kBackupManifest);  // such a store comes from an earlier program's backup
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((good / "vantorium.mdb").string().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "alter table Person drop column PMARKER1; alter table Person drop column PMARKER2;"
                         "alter table Person drop column CountInputs;"
                         "alter table SysSetting drop column SoakDaysStartDate",
                         nullptr, nullptr, nullptr),
            SQLITE_OK)
      << sqlite3_errmsg(db);
  sqlite3_close(db);
  const CopyOutcome out = RestoreProgramFiles(folder.folder(), good.string());
  EXPECT_TRUE(out.ok()) << (out.failed.empty() ? "" : out.failed[0]);
  EXPECT_EQ(support::QueryText("select Event from SysLog"), "Backed");
}

TEST_F(RestoreSafety, BadBackupsAreRefusedAndChangeNothing) {
  auto sql = [&](const std::string& statements) {
    return [this, statements] {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open((good / "vantorium.mdb").string().c_str(), &db), SQLITE_OK);
      ASSERT_EQ(sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
      sqlite3_close(db);
    };
  };
  struct Case {
    const char* name;
    std::function<void()> spoil;
    bool missing;  // refused as a missing file rather than a failure
  };
  const std::vector<Case> cases = {
      {"no store", [&] { fs::remove(good / "vantorium.mdb"); }, true},
      {"no TDI.dat", [&] { fs::remove(good / "TDI.dat"); }, true},
      {"no TD.dat", [&] { fs::remove(good / "TD.dat"); }, true},
      {"no Setting.ini", [&] { fs::remove(good / "Setting.ini"); }, true},
      {"the store is a folder", [&] { fs::remove(good / "vantorium.mdb"); fs::create_directory(good / "vantorium.mdb"); }, true},
      {"a database of one unrelated table",
       [&] {
         fs::remove(good / "vantorium.mdb");
         sql("create table Notes(a text); insert into Notes values('x')")();
       },
       false},
      {"a store without its SysLog table", sql("drop table SysLog"), false},
      {"a store whose Person lacks a column",
       sql("drop index if exists PersonWithoutResult; alter table Person drop column WBC"), false},
      {"a text file named as the store", [&] { Put(good / "vantorium.mdb", "not a database at all"); }, false},
      {"a damaged store",
       [&] {
         // The page of the results table is overwritten: the file still opens, its tables are
         // all named, but the engine's check fails.
         sqlite3* db = nullptr;
         sqlite3_open((good / "vantorium.mdb").string().c_str(), &db);
         sqlite3_stmt* st = nullptr;
         sqlite3_prepare_v2(db, "select rootpage from sqlite_master where name='Person'", -1, &st, nullptr);
         ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
         const int page = sqlite3_column_int(st, 0);
         sqlite3_finalize(st);
         sqlite3_prepare_v2(db, "pragma page_size", -1, &st, nullptr);
         sqlite3_step(st);
         const int size = sqlite3_column_int(st, 0);
         sqlite3_finalize(st);
         sqlite3_exec(db, "pragma journal_mode=delete", nullptr, nullptr, nullptr);
         sqlite3_close(db);
         std::fstream f(good / "vantorium.mdb", std::ios::in | std::ios::out | std::ios::binary);
         f.seekp(static_cast<std::streamoff>(page - 1) * size + 8);
         f << std::string(static_cast<size_t>(size) - 16, '\x55');
       },
       false},
      {"TDI.dat indexes a record TD.dat does not hold", [&] { Put(good / "TD.dat", std::string(2 * 2560, 'B')); }, false},
      {"TD.dat one byte short", [&] { Put(good / "TD.dat", std::string(3 * 2560 - 1, 'B')); }, false},
  };
  // Checked by their content, as backups of an earlier program (no manifest) are; with the
  // manifest each change would be refused as a file the backup did not write.
  fs::remove(good / kBackupManifest);
  const fs::path pristine = folder.path() / "pristine";
  fs::copy(good, pristine);
  for (const Case& c : cases) {
    fs::remove_all(good);
    fs::copy(pristine, good);
    c.spoil();
    const CopyOutcome out = RestoreProgramFiles(folder.folder(), good.string());
    EXPECT_FALSE(out.ok()) << c.name;
    EXPECT_EQ(out.missing.empty(), !c.missing) << c.name;
    EXPECT_TRUE(out.copied.empty()) << c.name;
    ExpectLive(c.name);
  }
  // An incomplete index tail is no record: 3 records and 5 bytes still fit 3 data records.
  fs::remove_all(good);
  fs::copy(pristine, good);
  Put(good / "TDI.dat", IndexRecords(3) + "20261");
  const CopyOutcome out = RestoreProgramFiles(folder.folder(), good.string());
  EXPECT_TRUE(out.ok()) << (out.failed.empty() ? "" : out.failed[0]);
}

// Every write, flush and rename of the restore fails in turn: the restore either fails with the
// live files as they were, or succeeds with all of them replaced, never a mixture.
TEST_F(RestoreSafety, EachFailingStepLeavesTheLiveFilesWhole) {
  support::EachStepFailing(
      [&] {
        MakeLive();
        ASSERT_EQ(conn.Execute("insert into SysLog values('2026-12-10','09:00:00','Open','conn')"), 1);
        ASSERT_EQ(Dump(DatabasePath()), liveDump);
      },
      [&](std::string* error) {
        const CopyOutcome out = RestoreProgramFiles(folder.folder(), good.string());
        if (!out.failed.empty()) *error = out.failed[0];
        return out.ok();
      },
      [&](const std::string& where, bool ok, const std::string&) {
        if (ok) ExpectRestored(where);
        else ExpectLive(where);
        // The program's connection goes on working on whichever store is in place.
        EXPECT_EQ(conn.Execute("insert into SysLog values('2026-12-10','10:00:00','Next','x')"), 1) << where;
      });
}

TEST_F(RestoreSafety, BackupIntoTheFolderOfTheLiveFilesIsRefused) {
  for (const std::string& target : {folder.folder(), folder.path().string(), (folder.path() / "." ).string(),
                                    (folder.path() / "good" / "..").string()}) {
    const CopyOutcome out = BackupProgramFiles(folder.folder(), target);
    EXPECT_TRUE(out.liveFolder) << target;
    EXPECT_FALSE(out.ok()) << target;
    EXPECT_TRUE(out.copied.empty()) << target;
    // The open connection's next row is kept.
    ASSERT_EQ(conn.Execute("insert into SysLog values('2026-12-10','11:00:00','After','x')"), 1);
    conn.Disconnect();
    EXPECT_EQ(support::QueryText("select count(*) from SysLog where Event='After'"), "1") << target;
    support::ExecSql("delete from SysLog where Event='After'");
    ExpectLive(target);
  }
  // Through a link to the program folder as well.
  fs::create_directory_symlink(folder.path(), folder.path().parent_path() / (folder.path().filename().string() + "_link"));
  const std::string link = (folder.path().parent_path() / (folder.path().filename().string() + "_link")).string();
  EXPECT_TRUE(BackupProgramFiles(folder.folder(), link).liveFolder);
  fs::remove(link);
}

}  // namespace

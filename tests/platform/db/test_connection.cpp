#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/db/connection.h"
#include "temp_db.h"

namespace {

using db::Value;

int64_t Count(db::Connection& c, const std::string& sql) {
  auto rs = c.OpenRecordset(sql);
  return rs->IsOpen() ? rs->Field(0).AsInt(-1) : -1;
}

class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("t.db");
    ASSERT_TRUE(c.Open(path, {.create = true})) << c.LastError();
    ASSERT_TRUE(c.Execute("CREATE TABLE T(id INTEGER PRIMARY KEY, name TEXT NOT NULL, n INTEGER)"));
  }
  dbtest::TempFolder dir;
  std::string path;
  db::Connection c;
};

TEST_F(ConnectionTest, OpeningFailuresComeBackWithText) {
  db::Connection d;
  EXPECT_FALSE(d.IsOpen());
  EXPECT_FALSE(d.Execute("select 1"));
  EXPECT_FALSE(d.LastError().empty());
  EXPECT_FALSE(d.OpenRecordset("select 1")->IsOpen());

  // Missing file without create: no file appears.
  EXPECT_FALSE(d.Open(dir.File("missing.db")));
  EXPECT_NE(d.LastError().find("unable to open"), std::string::npos) << d.LastError();
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.db")));
  EXPECT_FALSE(d.IsOpen());

  // A folder that does not exist, even with create.
  EXPECT_FALSE(d.Open(dir.File("no/such/folder/x.db"), {.create = true}));
  EXPECT_FALSE(d.LastError().empty());

  // No name at all (the engine would make a temporary database of it).
  EXPECT_FALSE(d.Open("", {.create = true}));
  EXPECT_FALSE(d.LastError().empty());

  // A file that is not a database.
  {
    std::ofstream f(dir.File("text.db"));
    f << "This is a text file, long enough to fill the header of a database file. 0123456789 0123456789";
  }
  EXPECT_FALSE(d.Open(dir.File("text.db")));
  EXPECT_NE(d.LastError().find("not a database"), std::string::npos) << d.LastError();

  // Open works after failures; WAL is on.
  ASSERT_TRUE(d.Open(path));
  auto rs = d.OpenRecordset("PRAGMA journal_mode");
  EXPECT_EQ(rs->Field(0), Value("wal"));
  d.Close();
  d.Close();
  EXPECT_FALSE(d.IsOpen());
}

TEST_F(ConnectionTest, ExecuteReportsEngineErrorsAndGoesOn) {
  struct Case {
    const char* sql;
    const char* text;
  };
  const Case cases[] = {
      {"insert into T(name) valuse('a')", "syntax error"},
      {"insert into Nope values(1)", "no such table: Nope"},
      {"insert into T(name) values(NULL)", "NOT NULL constraint failed: T.name"},
      {"insert into T(id, name) values(1, 'a'), (1, 'b')", "UNIQUE constraint failed: T.id"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.sql);
    EXPECT_FALSE(c.Execute(k.sql));
    EXPECT_NE(c.LastError().find(k.text), std::string::npos) << c.LastError();
    EXPECT_NE(c.LastErrorCode(), 0);
    // Each statement is atomic: the two-row insert left neither row.
    EXPECT_EQ(Count(c, "select count(*) from T"), 0);
    EXPECT_TRUE(c.Execute("select 1"));
    EXPECT_TRUE(c.LastError().empty());
  }
  ASSERT_TRUE(c.Execute("insert into T(name, n) values('a', 1)"));
  EXPECT_EQ(c.ChangedRows(), 1);
  EXPECT_EQ(c.LastInsertRowId(), 1);
}

TEST_F(ConnectionTest, SeveralStatementsInOneExecuteAreAllOrNothing) {
  EXPECT_TRUE(c.Execute("insert into T(name) values('a'); insert into T(name) values('b');"));
  EXPECT_EQ(Count(c, "select count(*) from T"), 2);
  // The third statement fails: the first two are undone.
  EXPECT_FALSE(c.Execute("insert into T(name) values('c'); update T set n=5; insert into T(name) values(NULL)"));
  EXPECT_NE(c.LastError().find("NOT NULL"), std::string::npos) << c.LastError();
  EXPECT_EQ(Count(c, "select count(*) from T"), 2);
  EXPECT_EQ(Count(c, "select count(*) from T where n=5"), 0);
  // A syntax error further on: nothing of the text runs.
  EXPECT_FALSE(c.Execute("insert into T(name) values('d'); inser into T(name) values('e')"));
  EXPECT_EQ(Count(c, "select count(*) from T"), 2);
  EXPECT_FALSE(c.InTransaction());
  // Inside a caller's transaction the failed text is undone, the transaction goes on.
  ASSERT_TRUE(c.Begin());
  ASSERT_TRUE(c.Execute("insert into T(name) values('x')"));
  EXPECT_FALSE(c.Execute("insert into T(name) values('y'); insert into T(name) values(NULL)"));
  EXPECT_TRUE(c.InTransaction());
  ASSERT_TRUE(c.Commit());
  EXPECT_EQ(Count(c, "select count(*) from T where name in ('x','y')"), 1);
  // Blank text and comments do nothing and succeed.
  EXPECT_TRUE(c.Execute(""));
  EXPECT_TRUE(c.Execute("  -- nothing\n /* at all */ ;"));
}

TEST_F(ConnectionTest, TransactionsCommitAndRollBack) {
  ASSERT_TRUE(c.Begin());
  EXPECT_TRUE(c.InTransaction());
  ASSERT_TRUE(c.Execute("insert into T(name) values('kept')"));
  ASSERT_TRUE(c.Commit());
  EXPECT_FALSE(c.InTransaction());

  ASSERT_TRUE(c.Begin());
  ASSERT_TRUE(c.Execute("insert into T(name) values('dropped')"));
  EXPECT_EQ(Count(c, "select count(*) from T"), 2);  // seen inside the transaction
  ASSERT_TRUE(c.Rollback());
  EXPECT_EQ(Count(c, "select count(*) from T"), 1);
  EXPECT_TRUE(c.Rollback());  // nothing to roll back: fine

  EXPECT_FALSE(c.Commit());  // no transaction
  EXPECT_FALSE(c.LastError().empty());
  ASSERT_TRUE(c.Begin());
  EXPECT_FALSE(c.Begin());  // no nesting
  ASSERT_TRUE(c.Rollback());

  // The guard rolls back unless committed, also after a failure inside.
  {
    db::Transaction t(c);
    ASSERT_TRUE(t.Begun());
    ASSERT_TRUE(c.Execute("insert into T(name) values('guarded')"));
    EXPECT_FALSE(c.Execute("insert into T(name) values(NULL)"));
  }
  EXPECT_FALSE(c.InTransaction());
  EXPECT_NE(c.LastError().find("NOT NULL"), std::string::npos) << "the guard keeps the first failure's text";
  EXPECT_EQ(Count(c, "select count(*) from T where name='guarded'"), 0);
  {
    db::Transaction t(c);
    ASSERT_TRUE(c.Execute("insert into T(name) values('committed')"));
    ASSERT_TRUE(t.Commit());
    EXPECT_FALSE(t.Commit());
  }
  EXPECT_EQ(Count(c, "select count(*) from T where name='committed'"), 1);

  // Closing with an open transaction rolls it back.
  ASSERT_TRUE(c.Begin());
  ASSERT_TRUE(c.Execute("insert into T(name) values('lost')"));
  c.Close();
  ASSERT_TRUE(c.Open(path));
  EXPECT_EQ(Count(c, "select count(*) from T where name='lost'"), 0);
}

TEST_F(ConnectionTest, RecordsetsAndUpdatesInsideATransactionRollBack) {
  ASSERT_TRUE(c.Execute("insert into T(name, n) values('a', 1), ('b', 2)"));
  db::Transaction t(c);
  auto rs = c.OpenRecordset("select * from T order by id");
  ASSERT_TRUE(rs->SetField("n", Value(10)));
  ASSERT_TRUE(rs->Update());
  ASSERT_TRUE(rs->MoveNext());
  ASSERT_TRUE(rs->Delete());
  t.Rollback();
  EXPECT_EQ(Count(c, "select sum(n) from T"), 3);
  EXPECT_EQ(Count(c, "select count(*) from T"), 2);
}

TEST_F(ConnectionTest, TwoThreadsWritingThroughTwoConnectionsLoseNothing) {
  constexpr int kPerThread = 200;
  std::atomic<int> failures{0};
  std::string firstError;
  std::mutex errorLock;
  auto writer = [&](int who) {
    db::Connection w;
    if (!w.Open(path)) {
      ++failures;
      return;
    }
    for (int i = 0; i < kPerThread; ++i) {
      bool ok;
      if (i % 2 == 0) {
        ok = w.Execute("insert into T(name, n) values('w" + std::to_string(who) + "', " + std::to_string(i) + ")");
      } else {
        // Read-modify-write in a transaction: the count read must still hold when writing.
        db::Transaction t(w);
        auto rs = w.OpenRecordset("select count(*) from T");
        const int64_t n = rs->Field(0).AsInt(-1);
        ok = t.Begun() && rs->IsOpen() &&
             w.Execute("insert into T(name, n) values('t" + std::to_string(who) + "', " + std::to_string(n) + ")") &&
             t.Commit();
      }
      if (!ok) {
        ++failures;
        std::lock_guard<std::mutex> g(errorLock);
        if (firstError.empty()) firstError = w.LastError();
      }
    }
  };
  std::thread a(writer, 1), b(writer, 2);
  // A reader goes on while both write.
  db::Connection r;
  ASSERT_TRUE(r.Open(path));
  for (int i = 0; i < 20; ++i) EXPECT_GE(Count(r, "select count(*) from T"), 0);
  a.join();
  b.join();
  EXPECT_EQ(failures.load(), 0) << firstError;
  EXPECT_EQ(Count(c, "select count(*) from T"), 2 * kPerThread);
  // Every read-modify-write saw a different count: no two of them read the same state and
  // both wrote.
  EXPECT_EQ(Count(c, "select count(*) - count(distinct n) from T where name like 't%'"), 0);
}

TEST_F(ConnectionTest, LockedDatabaseFailsOrWaitsButNeverAborts) {
  ASSERT_TRUE(c.Execute("insert into T(name) values('a')"));
  db::Connection other;
  ASSERT_TRUE(other.Open(path, {.busyTimeoutMs = 0}));
  ASSERT_TRUE(c.Begin());  // holds the write lock
  ASSERT_TRUE(c.Execute("insert into T(name) values('b')"));

  // Writers fail at once with the engine's text; readers go on and see the committed state.
  EXPECT_FALSE(other.Execute("insert into T(name) values('c')"));
  EXPECT_NE(other.LastError().find("locked"), std::string::npos) << other.LastError();
  EXPECT_EQ((other.LastErrorCode() & 0xff), SQLITE_BUSY);
  EXPECT_FALSE(other.Begin());
  EXPECT_FALSE(other.InTransaction());
  EXPECT_EQ(Count(other, "select count(*) from T"), 1);
  auto rs = other.OpenRecordset("select * from T");
  ASSERT_TRUE(rs->IsOpen());
  ASSERT_TRUE(rs->SetField("name", Value("z")));
  EXPECT_FALSE(rs->Update());
  EXPECT_NE(rs->LastError().find("locked"), std::string::npos) << rs->LastError();
  rs->CancelUpdate();
  EXPECT_FALSE(rs->Delete());
  EXPECT_EQ(rs->RecordCount(), 1);
  ASSERT_TRUE(c.Commit());
  EXPECT_TRUE(other.Execute("insert into T(name) values('c')"));
  EXPECT_EQ(Count(other, "select count(*) from T"), 3);

  // A writer with a busy time-out waits for the lock to go.
  db::Connection waiting;
  ASSERT_TRUE(waiting.Open(path, {.busyTimeoutMs = 10000}));
  ASSERT_TRUE(c.Begin());
  std::atomic<bool> done{false};
  std::thread t([&] {
    EXPECT_TRUE(waiting.Execute("insert into T(name) values('after')")) << waiting.LastError();
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(done.load());
  ASSERT_TRUE(c.Commit());
  t.join();
  EXPECT_EQ(Count(c, "select count(*) from T where name='after'"), 1);
}

TEST_F(ConnectionTest, ExclusivelyLockedDatabaseFailsReadsToo) {
  ASSERT_TRUE(c.Execute("insert into T(name) values('a')"));
  c.Close();
  db::Connection holder;
  ASSERT_TRUE(holder.Open(path));
  ASSERT_TRUE(holder.Execute("PRAGMA locking_mode=EXCLUSIVE"));
  ASSERT_TRUE(holder.Execute("insert into T(name) values('b')")) << holder.LastError();  // takes and keeps the lock
  db::Connection d;
  const bool opened = d.Open(path, {.busyTimeoutMs = 0});
  if (opened) {
    auto rs = d.OpenRecordset("select * from T");
    EXPECT_FALSE(rs->IsOpen());
    EXPECT_NE(rs->LastError().find("locked"), std::string::npos) << rs->LastError();
    EXPECT_FALSE(d.Execute("insert into T(name) values('c')"));
  } else {
    EXPECT_NE(d.LastError().find("locked"), std::string::npos) << d.LastError();
  }
  holder.Close();
  ASSERT_TRUE(d.Open(path));
  EXPECT_EQ(Count(d, "select count(*) from T"), 2);
}

TEST_F(ConnectionTest, ReadOnlyConnectionRefusesWrites) {
  ASSERT_TRUE(c.Execute("insert into T(name) values('a')"));
  db::Connection ro;
  ASSERT_TRUE(ro.Open(path, {.readOnly = true})) << ro.LastError();
  EXPECT_EQ(Count(ro, "select count(*) from T"), 1);
  EXPECT_FALSE(ro.Execute("insert into T(name) values('b')"));
  EXPECT_NE(ro.LastError().find("readonly"), std::string::npos) << ro.LastError();
  auto rs = ro.OpenRecordset("select * from T");
  ASSERT_TRUE(rs->IsKeyset());
  ASSERT_TRUE(rs->SetField("name", Value("z")));
  EXPECT_FALSE(rs->Update());
  EXPECT_FALSE(rs->Delete());
  EXPECT_EQ(rs->RecordCount(), 1);
  rs->CancelUpdate();
  EXPECT_EQ(rs->Field("name"), Value("a"));
  // Read-only never creates a file.
  EXPECT_FALSE(ro.Open(dir.File("new.db"), {.create = true, .readOnly = true}));
  EXPECT_FALSE(std::filesystem::exists(dir.File("new.db")));
}

TEST_F(ConnectionTest, FullDiskLeavesNoHalfWrittenRows) {
  // The page limit stands in for a full disk: the engine reports the same failure.
  ASSERT_TRUE(c.Execute("insert into T(name) values('before')"));
  auto pages = c.OpenRecordset("PRAGMA page_count");
  const int64_t used = pages->Field(0).AsInt();
  ASSERT_TRUE(c.Execute("PRAGMA max_page_count=" + std::to_string(used + 2)));
  const std::string big(3000, 'x');
  std::string many = "insert into T(name) values";
  for (int i = 0; i < 20; ++i) many += std::string(i ? "," : "") + "('" + big + "')";
  EXPECT_FALSE(c.Execute(many));
  EXPECT_NE(c.LastError().find("full"), std::string::npos) << c.LastError();
  EXPECT_EQ((c.LastErrorCode() & 0xff), SQLITE_FULL);
  EXPECT_EQ(Count(c, "select count(*) from T"), 1);
  {
    db::Transaction t(c);
    ASSERT_TRUE(t.Begun());
    bool ok = true;
    for (int i = 0; i < 20 && ok; ++i) ok = c.Execute("insert into T(name) values('" + big + "')");
    EXPECT_FALSE(ok);
    EXPECT_FALSE(t.Commit());
  }
  EXPECT_FALSE(c.InTransaction());
  EXPECT_EQ(Count(c, "select count(*) from T"), 1);
  // Small writes still fit and work.
  EXPECT_TRUE(c.Execute("insert into T(name) values('small')")) << c.LastError();
  EXPECT_EQ(Count(c, "select count(*) from T"), 2);
}

TEST_F(ConnectionTest, WriterKilledHalfWayLeavesTheFileWhole) {
  ASSERT_TRUE(c.Execute("insert into T(name) values('before')"));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A small cache makes the engine spill the unfinished transaction into the journal
    // before the process dies without committing or closing.
    db::Connection w;
    if (!w.Open(path) || !w.Execute("PRAGMA cache_size=5") || !w.Begin()) _exit(2);
    const std::string big(2000, 'x');
    for (int i = 0; i < 500; ++i)
      if (!w.Execute("insert into T(name) values('" + big + "')")) _exit(3);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  // The unfinished rows did reach the file's journal.
  EXPECT_GT(std::filesystem::file_size(path + "-wal"), 500u * 1000u);
  db::Connection after;
  ASSERT_TRUE(after.Open(path)) << after.LastError();
  EXPECT_EQ(Count(after, "select count(*) from T"), 1);
  auto check = after.OpenRecordset("PRAGMA integrity_check");
  EXPECT_EQ(check->Field(0), Value("ok"));
  EXPECT_TRUE(after.Execute("insert into T(name) values('after')"));
  EXPECT_EQ(Count(c, "select count(*) from T"), 2);
}

TEST_F(ConnectionTest, MovedConnectionKeepsItsHandle) {
  db::Connection moved(std::move(c));
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_FALSE(c.IsOpen());
  EXPECT_TRUE(moved.Execute("insert into T(name) values('a')"));
  db::Connection target;
  target = std::move(moved);
  EXPECT_EQ(Count(target, "select count(*) from T"), 1);
}

}  // namespace

namespace {

// The same texts run again come from the connection's prepared statements: what they read and
// write must be what a fresh preparation gives, whatever changed in between.
TEST_F(ConnectionTest, StatementsRunAgainSeeTheTableAsItIsNow) {
  const std::string insert = "INSERT INTO T(name, n) VALUES('a', 1)";
  const std::string select = "SELECT * FROM T WHERE n=1";
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(c.Execute(insert)) << c.LastError();
  EXPECT_EQ(Count(c, "SELECT count(*) FROM T"), 3);
  {
    auto rs = c.OpenRecordset(select);
    ASSERT_TRUE(rs->IsOpen());
    EXPECT_EQ(rs->FieldNames(), (std::vector<std::string>{"id", "name", "n"}));
    EXPECT_EQ(rs->RecordCount(), 3);
  }
  // A column added: the same query names it and reads it.
  ASSERT_TRUE(c.Execute("ALTER TABLE T ADD COLUMN extra TEXT DEFAULT 'x'")) << c.LastError();
  {
    auto rs = c.OpenRecordset(select);
    ASSERT_TRUE(rs->IsOpen());
    EXPECT_EQ(rs->FieldNames(), (std::vector<std::string>{"id", "name", "n", "extra"}));
    EXPECT_EQ(rs->Field("extra").AsText(), "x");
  }
  // The table dropped and made again with other columns.
  ASSERT_TRUE(c.Execute("DROP TABLE T")) << c.LastError();
  ASSERT_TRUE(c.Execute("CREATE TABLE T(n INTEGER, name TEXT)")) << c.LastError();
  ASSERT_TRUE(c.Execute("INSERT INTO T VALUES(1, 'b')"));
  {
    auto rs = c.OpenRecordset(select);
    ASSERT_TRUE(rs->IsOpen()) << c.LastError();
    EXPECT_EQ(rs->FieldNames(), (std::vector<std::string>{"n", "name"}));
    EXPECT_EQ(rs->Field("name").AsText(), "b");
    EXPECT_EQ(rs->RecordCount(), 1);
  }
  // An insert that now fails says so, and the one after it that fits runs.
  EXPECT_FALSE(c.Execute("INSERT INTO T(name, n, missing) VALUES('c', 2, 3)"));
  EXPECT_FALSE(c.LastError().empty());
  EXPECT_TRUE(c.Execute("INSERT INTO T(name, n) VALUES('c', 2)")) << c.LastError();
  EXPECT_EQ(Count(c, "SELECT count(*) FROM T WHERE n=2"), 1);
}

TEST_F(ConnectionTest, TheSameQueryOpenTwiceAndManyTextsKeepTheirOwnRows) {
  ASSERT_TRUE(c.Execute("INSERT INTO T(name, n) VALUES('a', 1); INSERT INTO T(name, n) VALUES('b', 2)"));
  // Two recordsets of one text at once, each on its own row.
  auto first = c.OpenRecordset("SELECT * FROM T ORDER BY id");
  auto second = c.OpenRecordset("SELECT * FROM T ORDER BY id");
  ASSERT_TRUE(first->IsOpen() && second->IsOpen());
  ASSERT_TRUE(second->MoveNext());
  EXPECT_EQ(first->Field("name").AsText(), "a");
  EXPECT_EQ(second->Field("name").AsText(), "b");
  // More distinct texts than the connection keeps prepared, then the first ones again.
  for (int round = 0; round < 2; ++round)
    for (int n = 0; n < 120; ++n)
      EXPECT_EQ(Count(c, "SELECT count(*) FROM T WHERE n<=" + std::to_string(n)), std::min(n, 2)) << n;
  // The connection closes with statements kept: the file is released (a new connection may
  // change the schema, which a kept statement would otherwise block).
  first.reset();
  second.reset();
  c.Close();
  db::Connection other;
  ASSERT_TRUE(other.Open(path));
  EXPECT_TRUE(other.Execute("DROP TABLE T")) << other.LastError();
}

}  // namespace

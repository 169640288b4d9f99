#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "core/ado_conn.h"
#include "core/db_errors.h"
#include "core/field_read.h"
#include "program_folder.h"

namespace {

class AdoConnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRecentDbErrors();
    RawExec("create table T (Name TEXT, Num INTEGER, Val REAL, Big INTEGER);"
            "insert into T values ('first', 7, 2.5, 258);"
            "insert into T values (NULL, NULL, NULL, NULL);"
            "insert into T values ('third', 9, 0.25, 65537)");
  }
  void TearDown() override {
    SetDbErrorSink(nullptr);
    SetDbErrorWake(nullptr);
  }
  TempProgramFolder folder_;
};

TEST_F(AdoConnTest, OpenRecordsetConnectsOnFirstUseAndReplacesTheHeldRecordset) {
  CADOConn conn;
  EXPECT_FALSE(conn.IsConnected());
  RecordsetPtr first = conn.OpenRecordset("select * from T where Num = 7");
  EXPECT_TRUE(conn.IsConnected());
  ASSERT_TRUE(conn.RecordsetOpen());
  RecordsetPtr& second = conn.OpenRecordset("select * from T where Num = 9");
  EXPECT_EQ(&second, &conn.Recordset());
  EXPECT_EQ(second->Field("Name").AsText(), "third");
  // A pointer the caller kept still reads its own rows.
  EXPECT_EQ(first->Field("Name").AsText(), "first");
  EXPECT_TRUE(RecentDbErrors().empty());
}

TEST_F(AdoConnTest, FailedExecuteReportsOnceAndTheNextOneWorks) {
  CADOConn conn;
  EXPECT_EQ(conn.Execute("updat T set Num=1"), 0);
  ASSERT_EQ(RecentDbErrors().size(), 1u);
  EXPECT_NE(RecentDbErrors()[0].find("syntax"), std::string::npos) << RecentDbErrors()[0];
  EXPECT_FALSE(conn.LastError().empty());
  EXPECT_EQ(conn.Execute("update T set Num=1 where Name='first'"), 1);
  EXPECT_TRUE(conn.LastError().empty());
  EXPECT_EQ(RawScalar("select Num from T where Name='first'"), "1");
}

TEST_F(AdoConnTest, ClosingAndDisconnectingAreSafeInAnyState) {
  CADOConn never;
  never.CloseRecordset();
  never.Disconnect();
  never.Disconnect();

  CADOConn conn;
  conn.CloseRecordset();  // before any open
  conn.OpenRecordset("select * from T");
  conn.CloseRecordset();
  conn.CloseRecordset();  // already closed
  EXPECT_FALSE(conn.RecordsetOpen());
  conn.Disconnect();
  EXPECT_FALSE(conn.IsConnected());
  // It connects again after a disconnect.
  EXPECT_EQ(conn.Execute("delete from T where Num = 9"), 1);
  EXPECT_TRUE(RecentDbErrors().empty());
}

TEST_F(AdoConnTest, FailedOpenIsVisibleAndReadingItIsHarmless) {
  CADOConn conn;
  RecordsetPtr& rs = conn.OpenRecordset("select * from NoSuchTable");
  ASSERT_NE(rs, nullptr);
  EXPECT_FALSE(conn.RecordsetOpen());
  EXPECT_EQ(RecentDbErrors().size(), 1u);
  std::string name = "kept";
  int32_t num = 5;
  EXPECT_FALSE(ReadField(*rs, "Name", name));
  EXPECT_FALSE(ReadField(*rs, 1, num));
  EXPECT_EQ(name, "kept");
  EXPECT_EQ(num, 5);
  EXPECT_FALSE(HasRows(*rs));
  EXPECT_FALSE(rs->MoveNext());
  EXPECT_TRUE(FieldNamesOf(*rs).empty());
}

TEST_F(AdoConnTest, FailedConnectIsRetriedByTheNextOperation) {
  std::filesystem::remove(DatabasePath());
  CADOConn conn;
  conn.Connect();
  EXPECT_FALSE(conn.IsConnected());
  EXPECT_EQ(RecentDbErrors().size(), 1u);
  EXPECT_EQ(conn.Execute("select 1"), 0);
  EXPECT_EQ(RecentDbErrors().size(), 2u);

  RawExec("create table U (X INTEGER)");  // the file appears
  EXPECT_EQ(conn.Execute("insert into U values (1)"), 1);
  EXPECT_TRUE(conn.IsConnected());
  EXPECT_EQ(RawScalar("select count(*) from U"), "1");
}

TEST_F(AdoConnTest, FieldReadingPatterns) {
  CADOConn conn;
  RecordsetPtr& rs = conn.OpenRecordset("select * from T");
  ASSERT_TRUE(HasRows(*rs));

  // By name and by position, first row.
  std::string name;
  int32_t num = 0;
  float val = 0;
  uint8_t lowByte = 0;
  uint16_t low16 = 0;
  EXPECT_TRUE(ReadField(*rs, "name", name));  // names without letter case
  EXPECT_TRUE(ReadField(*rs, 1, num));
  EXPECT_TRUE(ReadField(*rs, "Val", val));
  EXPECT_TRUE(ReadField(*rs, "Big", lowByte));
  EXPECT_EQ(name, "first");
  EXPECT_EQ(num, 7);
  EXPECT_FLOAT_EQ(val, 2.5f);
  EXPECT_EQ(lowByte, 2);  // 258: the low byte

  // Null leaves every target as it was.
  ASSERT_TRUE(rs->MoveNext());
  EXPECT_FALSE(ReadField(*rs, "Name", name));
  EXPECT_FALSE(ReadField(*rs, 1, num));
  EXPECT_FALSE(ReadField(*rs, "Val", val));
  EXPECT_FALSE(ReadField(*rs, 3, lowByte));
  EXPECT_EQ(name, "first");
  EXPECT_EQ(num, 7);
  EXPECT_FLOAT_EQ(val, 2.5f);
  EXPECT_EQ(lowByte, 2);

  // A missing field or an index beyond the row leaves it too.
  ASSERT_TRUE(rs->MoveNext());
  EXPECT_FALSE(ReadField(*rs, "NoSuchColumn", num));
  EXPECT_FALSE(ReadField(*rs, 17, num));
  EXPECT_EQ(num, 7);
  EXPECT_TRUE(ReadField(*rs, "Big", low16));
  EXPECT_EQ(low16, 1);  // 65537: the low 16 bits

  EXPECT_EQ(FieldNamesOf(*rs), (std::vector<std::string>{"Name", "Num", "Val", "Big"}));
  EXPECT_TRUE(HasColumnNamed(FieldNamesOf(*rs), "BIG"));
  EXPECT_FALSE(HasColumnNamed(FieldNamesOf(*rs), "Bigger"));
  conn.CloseRecordset();
}

TEST_F(AdoConnTest, TwoThreadsExecutingAtOnceBothComplete) {
  RawExec("create table Log (Thread INTEGER, Seq INTEGER)");
  constexpr int kRows = 150;
  auto work = [](int id) {
    CADOConn conn;
    for (int i = 0; i < kRows; ++i)
      conn.Execute("insert into Log values (" + std::to_string(id) + "," + std::to_string(i) + ")");
    conn.Disconnect();
  };
  std::thread a(work, 1), b(work, 2);
  a.join();
  b.join();
  EXPECT_TRUE(RecentDbErrors().empty());
  EXPECT_EQ(RawScalar("select count(*) from Log"), std::to_string(2 * kRows));
}

TEST_F(AdoConnTest, AnOperationWaitsWhileAnotherThreadHoldsTheLock) {
  std::atomic<bool> done{false};
  std::unique_lock<std::recursive_mutex> held(DbLock());
  std::thread worker([&] {
    CADOConn conn;
    conn.Execute("insert into T values ('worker', 1, 1, 1)");
    done = true;
  });
  // While the lock is held the worker cannot have written. (Re-entrant for this thread.)
  CADOConn mine;
  EXPECT_EQ(mine.Execute("update T set Num = Num"), 1);
  EXPECT_FALSE(done.load());
  EXPECT_EQ(RawScalar("select count(*) from T where Name='worker'"), "0");
  held.unlock();
  worker.join();
  EXPECT_TRUE(done.load());
  EXPECT_EQ(RawScalar("select count(*) from T where Name='worker'"), "1");
}

TEST_F(AdoConnTest, WorkerThreadErrorsAreShownByTheUserInterfaceThread) {
  std::vector<std::pair<std::string, std::thread::id>> shown;
  SetDbErrorSink([&](const std::string& text) { shown.emplace_back(text, std::this_thread::get_id()); });
  std::atomic<int> wakes{0};
  SetDbErrorWake([&] { ++wakes; });

  std::thread worker([] {
    CADOConn conn;
    EXPECT_EQ(conn.Execute("insert into NoSuchTable values (1)"), 0);
  });
  worker.join();
  EXPECT_TRUE(shown.empty());  // nothing shown on the worker
  EXPECT_EQ(wakes.load(), 1);
  EXPECT_EQ(DeliverPendingDbErrors(), 1);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].second, std::this_thread::get_id());
  EXPECT_NE(shown[0].first.find("NoSuchTable"), std::string::npos) << shown[0].first;
  EXPECT_EQ(DeliverPendingDbErrors(), 0);

  // On the user-interface thread itself the box comes at once.
  CADOConn conn;
  conn.Execute("bogus");
  EXPECT_EQ(shown.size(), 2u);
}

TEST_F(AdoConnTest, TheLockIsFreeWhileTheErrorIsShown) {
  bool lockFree = false;
  SetDbErrorSink([&](const std::string&) {
    std::thread probe([&] {
      std::unique_lock<std::recursive_mutex> l(DbLock(), std::try_to_lock);
      lockFree = l.owns_lock();
    });
    probe.join();
  });
  CADOConn conn;
  conn.Execute("bogus");
  EXPECT_TRUE(lockFree);
}

}  // namespace

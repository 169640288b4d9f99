#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/connection.h"
#include "temp_db.h"

namespace {

using db::Value;

// A small results-like table: SampleNo 1..5 inserted out of order, one row with Nulls.
class RecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(c.Open(dir.File("t.db"), {.create = true})) << c.LastError();
    ASSERT_TRUE(c.Execute(
        "CREATE TABLE Person(SampleNo TEXT, TestDate TEXT, Name TEXT, WBC REAL, Kind INTEGER);"
        "INSERT INTO Person VALUES('3','2026-01-03','Cc',7.5,1);"
        "INSERT INTO Person VALUES('1','2026-01-01','Aa',4.25,0);"
        "INSERT INTO Person VALUES('5','2026-01-05',NULL,NULL,NULL);"
        "INSERT INTO Person VALUES('2','2026-01-02','Bb',5,0);"
        "INSERT INTO Person VALUES('4','2026-01-04','Dd',6.5,1);"))
        << c.LastError();
  }

  // Sample numbers from the current position to EOF.
  static std::vector<std::string> Rest(db::Recordset& rs) {
    std::vector<std::string> out;
    while (!rs.IsEOF()) {
      out.push_back(rs.Field("SampleNo").AsText());
      if (!rs.MoveNext()) break;
    }
    return out;
  }
  static std::vector<std::string> All(db::Recordset& rs) {
    rs.MoveFirst();
    return Rest(rs);
  }

  dbtest::TempFolder dir;
  db::Connection c;
};

using Names = std::vector<std::string>;

TEST_F(RecordsetTest, KeysetAndWholeQueriesReadTheSameRows) {
  struct Case {
    const char* sql;
    bool keyset;
    Names order;
  };
  const Case cases[] = {
      {"select * from Person order by SampleNo", true, {"1", "2", "3", "4", "5"}},
      {"select * from Person order by TestDate desc", true, {"5", "4", "3", "2", "1"}},
      {"select * from Person where Kind=1 order by SampleNo", true, {"3", "4"}},
      {"select SampleNo, Name from Person where Name like 'b%' collate nocase", true, {"2"}},
      {"select * from Person order by CAST(SampleNo AS INTEGER) limit 2 offset 1", true, {"2", "3"}},
      {"select * from Person order by 1", false, {"1", "2", "3", "4", "5"}},
      {"select SampleNo, WBC*2 from Person order by SampleNo", false, {"1", "2", "3", "4", "5"}},
      {"select distinct SampleNo from Person where SampleNo < '3' order by SampleNo", false, {"1", "2"}},
      {"select a.SampleNo from Person a join Person b on a.SampleNo=b.SampleNo where a.Kind=0 order by 1",
       false, {"1", "2"}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.sql);
    auto rs = c.OpenRecordset(k.sql);
    ASSERT_TRUE(rs->IsOpen()) << rs->LastError();
    EXPECT_EQ(rs->IsKeyset(), k.keyset);
    EXPECT_EQ(rs->RecordCount(), static_cast<int>(k.order.size()));
    EXPECT_EQ(All(*rs), k.order);
  }
}

TEST_F(RecordsetTest, MovesAndEndsOfTheCursor) {
  for (const char* sql : {"select * from Person order by SampleNo", "select *, 0 from Person order by SampleNo"}) {
    SCOPED_TRACE(sql);
    auto rs = c.OpenRecordset(sql);
    ASSERT_TRUE(rs->IsOpen());
    // Opening puts the cursor on the first row.
    EXPECT_FALSE(rs->IsBOF());
    EXPECT_FALSE(rs->IsEOF());
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_TRUE(rs->MovePrevious());
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_FALSE(rs->IsEOF());
    EXPECT_EQ(rs->AbsolutePosition(), db::kBOFPosition);
    EXPECT_TRUE(rs->Field(0).IsNull());
    EXPECT_FALSE(rs->LastError().empty());
    EXPECT_FALSE(rs->MovePrevious());  // already at BOF
    EXPECT_TRUE(rs->MoveNext());
    EXPECT_EQ(rs->Field("SampleNo").AsText(), "1");
    EXPECT_TRUE(rs->MoveLast());
    EXPECT_EQ(rs->Field("SampleNo").AsText(), "5");
    EXPECT_EQ(rs->AbsolutePosition(), 5);
    EXPECT_TRUE(rs->MoveNext());
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_FALSE(rs->IsBOF());
    EXPECT_EQ(rs->AbsolutePosition(), db::kEOFPosition);
    EXPECT_FALSE(rs->MoveNext());  // already at EOF
    EXPECT_TRUE(rs->MovePrevious());
    EXPECT_EQ(rs->Field("SampleNo").AsText(), "5");
    EXPECT_TRUE(rs->MoveFirst());
    EXPECT_EQ(rs->Field("SampleNo").AsText(), "1");
  }
}

TEST_F(RecordsetTest, EmptyResultIsAtBothEnds) {
  for (const char* sql : {"select * from Person where Kind=9", "select *, 0 from Person where Kind=9"}) {
    SCOPED_TRACE(sql);
    auto rs = c.OpenRecordset(sql);
    ASSERT_TRUE(rs->IsOpen());
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(rs->PageCount(), 0);
    EXPECT_FALSE(rs->MoveFirst());
    EXPECT_FALSE(rs->MoveLast());
    EXPECT_FALSE(rs->MoveNext());
    EXPECT_FALSE(rs->MovePrevious());
    EXPECT_FALSE(rs->SetAbsolutePosition(1));
    EXPECT_TRUE(rs->IsBOF() && rs->IsEOF());
    EXPECT_TRUE(rs->Field("SampleNo").IsNull());
    EXPECT_GE(rs->FieldCount(), 5);  // the columns are known without rows
  }
}

TEST_F(RecordsetTest, AbsolutePositionAndPages) {
  auto rs = c.OpenRecordset("select * from Person order by SampleNo");
  ASSERT_TRUE(rs->IsOpen());
  EXPECT_EQ(rs->PageSize(), 10);
  EXPECT_EQ(rs->PageCount(), 1);
  ASSERT_TRUE(rs->SetPageSize(2));
  EXPECT_FALSE(rs->SetPageSize(0));
  EXPECT_EQ(rs->PageCount(), 3);

  struct PosCase {
    int set;
    bool ok;
    int position;  // after the call
    int page;
    const char* sampleNo;
  };
  const PosCase cases[] = {
      {3, true, 3, 2, "3"}, {5, true, 5, 3, "5"}, {1, true, 1, 1, "1"},
      {0, false, 1, 1, "1"}, {6, false, 1, 1, "1"}, {-2, false, 1, 1, "1"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.set);
    EXPECT_EQ(rs->SetAbsolutePosition(k.set), k.ok);
    EXPECT_EQ(rs->AbsolutePosition(), k.position);
    EXPECT_EQ(rs->AbsolutePage(), k.page);
    EXPECT_EQ(rs->Field("SampleNo").AsText(), k.sampleNo);
  }
  const std::pair<int, const char*> pages[] = {{2, "3"}, {3, "5"}, {1, "1"}};
  for (const auto& [page, first] : pages) {
    ASSERT_TRUE(rs->SetAbsolutePage(page));
    EXPECT_EQ(rs->AbsolutePosition(), (page - 1) * 2 + 1);
    EXPECT_EQ(rs->Field("SampleNo").AsText(), first);
  }
  EXPECT_FALSE(rs->SetAbsolutePage(4));
  EXPECT_FALSE(rs->SetAbsolutePage(0));
  EXPECT_EQ(rs->AbsolutePage(), 1);
}

TEST_F(RecordsetTest, FieldsByNameInAnyCaseAndByOrdinal) {
  auto rs = c.OpenRecordset("select * from Person where SampleNo='3'");
  ASSERT_TRUE(rs->IsOpen());
  EXPECT_EQ(rs->FieldNames(), (Names{"SampleNo", "TestDate", "Name", "WBC", "Kind"}));
  EXPECT_EQ(rs->FieldCount(), 5);
  EXPECT_EQ(rs->FieldName(3), "WBC");
  EXPECT_EQ(rs->FieldName(5), "");
  for (const char* name : {"wbc", "WBC", "Wbc", "wBc"}) EXPECT_EQ(rs->Field(name), Value(7.5)) << name;
  EXPECT_EQ(rs->Field(3), Value(7.5));
  EXPECT_EQ(rs->Field(4), Value(1));
  EXPECT_EQ(rs->Field("testdate"), Value("2026-01-03"));
  EXPECT_EQ(rs->FieldIndex("KIND"), 4);

  // A missing field or ordinal reads Null with a reason, and the recordset stays usable.
  EXPECT_TRUE(rs->Field("NoSuchColumn").IsNull());
  EXPECT_NE(rs->LastError().find("NoSuchColumn"), std::string::npos);
  EXPECT_TRUE(rs->Field(5).IsNull());
  EXPECT_TRUE(rs->Field(-1).IsNull());
  EXPECT_EQ(rs->FieldIndex("NoSuchColumn"), -1);
  EXPECT_EQ(rs->Field("Name"), Value("Cc"));
}

TEST_F(RecordsetTest, NullColumnsReadAsNull) {
  auto rs = c.OpenRecordset("select * from Person where SampleNo='5'");
  ASSERT_TRUE(rs->IsOpen());
  EXPECT_TRUE(rs->Field("Name").IsNull());
  EXPECT_TRUE(rs->Field("WBC").IsNull());
  EXPECT_EQ(rs->Field("WBC").AsDouble(-1), -1);
  EXPECT_EQ(rs->Field("Name").AsText(), "");
  EXPECT_FALSE(rs->RowDeleted());
  // A stored Null is told apart from a failed read by the empty error text.
  EXPECT_TRUE(rs->LastError().empty());
  EXPECT_TRUE(rs->Field("NoSuchColumn").IsNull());
  EXPECT_FALSE(rs->LastError().empty());
  EXPECT_TRUE(rs->Field("Name").IsNull());
  EXPECT_TRUE(rs->LastError().empty());
  auto whole = c.OpenRecordset("select Name, count(*) from Person where SampleNo='5'");
  ASSERT_TRUE(whole->IsOpen());
  EXPECT_TRUE(whole->Field(0).IsNull());
  EXPECT_EQ(whole->Field(1), Value(1));
}

TEST_F(RecordsetTest, AggregatesAreHeldWhole) {
  auto rs = c.OpenRecordset("select count(*) from Person");
  ASSERT_TRUE(rs->IsOpen());
  EXPECT_FALSE(rs->IsKeyset());
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Field(0), Value(5));
  auto g = c.OpenRecordset("select Kind, count(*) as N, avg(WBC) from Person where Kind is not null group by Kind order by Kind");
  ASSERT_TRUE(g->IsOpen());
  EXPECT_EQ(g->RecordCount(), 2);
  EXPECT_EQ(g->Field("n"), Value(2));
  EXPECT_DOUBLE_EQ(g->Field(2).AsDouble(), (4.25 + 5) / 2);
  EXPECT_FALSE(g->SetField("N", Value(3)));
  EXPECT_FALSE(g->Update());
  EXPECT_FALSE(g->Delete());
  EXPECT_FALSE(g->LastError().empty());
}

TEST_F(RecordsetTest, UpdateWritesTheCurrentRowBack) {
  auto rs = c.OpenRecordset("select * from Person order by SampleNo");
  ASSERT_TRUE(rs->SetAbsolutePosition(2));
  ASSERT_TRUE(rs->SetField("name", Value("O'Brien")));
  ASSERT_TRUE(rs->SetField(3, Value()));
  EXPECT_TRUE(rs->IsEditing());
  EXPECT_EQ(rs->Field("Name"), Value("O'Brien"));  // the assigned value reads back before Update
  ASSERT_TRUE(rs->Update()) << rs->LastError();
  EXPECT_FALSE(rs->IsEditing());

  auto check = c.OpenRecordset("select Name, WBC from Person where SampleNo='2'");
  EXPECT_EQ(check->Field(0), Value("O'Brien"));
  EXPECT_TRUE(check->Field(1).IsNull());
  // Only row 2 changed.
  auto others = c.OpenRecordset("select count(*) from Person where Name is null or WBC is null");
  EXPECT_EQ(others->Field(0), Value(2));

  // Column affinity applies as for any write: a text number in a REAL column is stored as a number.
  ASSERT_TRUE(rs->SetField("WBC", Value("8.5")));
  ASSERT_TRUE(rs->Update());
  EXPECT_EQ(rs->Field("WBC"), Value(8.5));

  // Moving off an edited row writes it; CancelUpdate drops the assignment.
  ASSERT_TRUE(rs->SetField("Kind", Value(7)));
  ASSERT_TRUE(rs->MoveNext());
  ASSERT_TRUE(rs->SetField("Kind", Value(8)));
  rs->CancelUpdate();
  auto kinds = c.OpenRecordset("select Kind from Person where SampleNo in ('2','3') order by SampleNo");
  EXPECT_EQ(kinds->Field(0), Value(7));
  kinds->MoveNext();
  EXPECT_EQ(kinds->Field(0), Value(1));
}

TEST_F(RecordsetTest, DeleteRemovesTheRowAndRenumbersLaterOnes) {
  auto rs = c.OpenRecordset("select * from Person order by SampleNo");
  ASSERT_TRUE(rs->SetAbsolutePosition(2));
  ASSERT_TRUE(rs->Delete()) << rs->LastError();
  EXPECT_EQ(rs->RecordCount(), 4);
  // Still on the deleted row until the next move.
  EXPECT_TRUE(rs->RowDeleted());
  EXPECT_TRUE(rs->Field("SampleNo").IsNull());
  EXPECT_EQ(rs->AbsolutePosition(), db::kUnknownPosition);
  EXPECT_FALSE(rs->IsBOF());
  EXPECT_FALSE(rs->IsEOF());
  EXPECT_FALSE(rs->Delete());
  ASSERT_TRUE(rs->MoveNext());
  EXPECT_EQ(rs->Field("SampleNo").AsText(), "3");
  EXPECT_EQ(rs->AbsolutePosition(), 2);  // the later row moved up

  // MovePrevious from a deleted row goes to the row before it.
  ASSERT_TRUE(rs->Delete());
  ASSERT_TRUE(rs->MovePrevious());
  EXPECT_EQ(rs->Field("SampleNo").AsText(), "1");
  EXPECT_EQ(All(*rs), (Names{"1", "4", "5"}));

  // The deletions reached the table.
  auto count = c.OpenRecordset("select count(*) from Person");
  EXPECT_EQ(count->Field(0), Value(3));
}

TEST_F(RecordsetTest, DeletingEveryRowInALoopEndsAtEOF) {
  auto rs = c.OpenRecordset("select * from Person where Kind=0 or Kind is null order by SampleNo");
  ASSERT_EQ(rs->RecordCount(), 3);
  int deleted = 0;
  while (!rs->IsEOF()) {
    ASSERT_TRUE(rs->Delete());
    ++deleted;
    ASSERT_TRUE(rs->MoveNext());
  }
  EXPECT_EQ(deleted, 3);
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_TRUE(rs->IsBOF() && rs->IsEOF());
  EXPECT_EQ(All(*c.OpenRecordset("select * from Person order by SampleNo")), (Names{"3", "4"}));
}

TEST_F(RecordsetTest, DeletingPickedRowsByPositionAsTheHistoryListDoes) {
  // Rows picked at positions 2 and 4 of the list; each deletion moves the later ones up.
  auto rs = c.OpenRecordset("select * from Person order by SampleNo");
  const int picked[] = {2, 4};
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(rs->SetAbsolutePosition(picked[i] - i));
    ASSERT_TRUE(rs->Delete());
    ASSERT_TRUE(rs->SetAbsolutePosition(1));
  }
  EXPECT_EQ(All(*rs), (Names{"1", "3", "5"}));
}

TEST_F(RecordsetTest, KeysetSeesChangesOfOtherConnections) {
  auto rs = c.OpenRecordset("select * from Person order by SampleNo");
  db::Connection other;
  ASSERT_TRUE(other.Open(dir.File("t.db")));
  ASSERT_TRUE(other.Execute("update Person set Name='Changed' where SampleNo='2'"));
  ASSERT_TRUE(other.Execute("delete from Person where SampleNo='3'"));
  ASSERT_TRUE(other.Execute("insert into Person(SampleNo) values('9')"));

  // Changed contents show; the deleted row keeps its place and reads as deleted; the new
  // row is not in the keyset.
  EXPECT_EQ(rs->RecordCount(), 5);
  ASSERT_TRUE(rs->SetAbsolutePosition(2));
  EXPECT_EQ(rs->Field("Name"), Value("Changed"));
  ASSERT_TRUE(rs->MoveNext());
  EXPECT_TRUE(rs->RowDeleted());
  EXPECT_TRUE(rs->Field("SampleNo").IsNull());
  EXPECT_EQ(rs->AbsolutePosition(), 3);
  ASSERT_TRUE(rs->SetField("Name", Value("x")));
  EXPECT_FALSE(rs->Update());  // the row is gone: nothing written, reported
  rs->CancelUpdate();
  ASSERT_TRUE(rs->MoveNext());
  EXPECT_EQ(rs->Field("SampleNo").AsText(), "4");
  EXPECT_EQ(All(*rs), (Names{"1", "2", "", "4", "5"}));
}

TEST_F(RecordsetTest, RecordsetOfAClosedConnectionIsClosed) {
  auto rs = c.OpenRecordset("select * from Person");
  ASSERT_TRUE(rs->IsOpen());
  c.Close();
  EXPECT_FALSE(rs->IsOpen());
  EXPECT_EQ(rs->GetState(), db::Recordset::State::Closed);
  EXPECT_EQ(rs->RecordCount(), -1);
  EXPECT_TRUE(rs->IsEOF());
  EXPECT_TRUE(rs->IsBOF());
  EXPECT_FALSE(rs->MoveNext());
  EXPECT_TRUE(rs->Field("SampleNo").IsNull());
  EXPECT_FALSE(rs->Delete());
  rs->Close();
  rs->Close();
}

TEST_F(RecordsetTest, CloseAndReopen) {
  db::Recordset rs;
  EXPECT_EQ(rs.GetState(), db::Recordset::State::Closed);
  EXPECT_FALSE(rs.MoveNext());  // never opened: a failure, not a crash
  EXPECT_TRUE(rs.Field(0).IsNull());
  ASSERT_TRUE(c.OpenRecordset("select * from Person", &rs));
  EXPECT_EQ(rs.GetState(), db::Recordset::State::Open);
  rs.Close();
  EXPECT_EQ(rs.GetState(), db::Recordset::State::Closed);
  EXPECT_FALSE(rs.IsOpen());
  ASSERT_TRUE(rs.Open(c, "select count(*) from Person"));
  EXPECT_EQ(rs.Field(0), Value(5));
  // Failed open leaves it closed with the engine's text.
  EXPECT_FALSE(rs.Open(c, "select * from NoSuchTable"));
  EXPECT_FALSE(rs.IsOpen());
  EXPECT_NE(rs.LastError().find("no such table"), std::string::npos);
  EXPECT_NE(c.LastError().find("no such table"), std::string::npos);
}

TEST_F(RecordsetTest, BadQueriesFailWithTheEngineText) {
  struct Case {
    const char* sql;
    const char* text;
  };
  const Case cases[] = {
      {"select * from NoSuchTable", "no such table: NoSuchTable"},
      {"select NoSuchColumn from Person", "no such column: NoSuchColumn"},
      {"selec * from Person", "syntax error"},
      {"select * from Person where", "incomplete input"},
      {"", "empty"},
      {"select * from Person; select * from Person", "one statement"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.sql);
    auto rs = c.OpenRecordset(k.sql);
    EXPECT_FALSE(rs->IsOpen());
    EXPECT_NE(rs->LastError().find(k.text), std::string::npos) << rs->LastError();
    EXPECT_EQ(c.LastError(), rs->LastError());
  }
  // The connection works on after failures.
  EXPECT_TRUE(c.OpenRecordset("select * from Person")->IsOpen());
  EXPECT_TRUE(c.LastError().empty());
}

TEST_F(RecordsetTest, ViewsAndTablesWithoutRowidsAreHeldWhole) {
  ASSERT_TRUE(c.Execute("create view Kinds as select SampleNo, Kind from Person where Kind=1"));
  ASSERT_TRUE(c.Execute("create table Pairs(k TEXT PRIMARY KEY, v TEXT) without rowid; insert into Pairs values('a','b')"));
  auto v = c.OpenRecordset("select * from Kinds");
  ASSERT_TRUE(v->IsOpen()) << v->LastError();
  EXPECT_FALSE(v->IsKeyset());
  EXPECT_EQ(v->RecordCount(), 2);
  auto p = c.OpenRecordset("select * from Pairs");
  ASSERT_TRUE(p->IsOpen()) << p->LastError();
  EXPECT_FALSE(p->IsKeyset());
  EXPECT_EQ(p->Field("v"), Value("b"));
}

TEST_F(RecordsetTest, ColumnsAddedAfterOpeningDoNotShiftFields) {
  auto rs = c.OpenRecordset("select * from Person order by SampleNo");
  ASSERT_TRUE(c.Execute("alter table Person add column Extra TEXT default 'x'"));
  ASSERT_TRUE(rs->MoveNext());
  EXPECT_EQ(rs->FieldCount(), 5);
  EXPECT_EQ(rs->Field("SampleNo").AsText(), "2");
  EXPECT_EQ(rs->Field(4), Value(0));
  auto fresh = c.OpenRecordset("select * from Person");
  EXPECT_EQ(fresh->FieldName(5), "Extra");
}

}  // namespace

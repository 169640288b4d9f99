#include <gtest/gtest.h>

#include "platform/db/sql_text.h"

namespace {

TEST(SqlText, QuotingDoublesTheQuoteCharacter) {
  EXPECT_EQ(db::QuoteText("O'Brien"), "'O''Brien'");
  EXPECT_EQ(db::QuoteText(""), "''");
  EXPECT_EQ(db::QuoteText("''"), "''''''");
  EXPECT_EQ(db::EscapeText("a'b"), "a''b");
  EXPECT_EQ(db::QuoteIdentifier("1Level"), "\"1Level\"");
  EXPECT_EQ(db::QuoteIdentifier("a\"b"), "\"a\"\"b\"");
}

struct ShapeCase {
  const char* sql;
  bool matches;
  const char* columns;
  const char* table;
  const char* rest;
};

TEST(SqlText, SingleTableSelectShape) {
  const ShapeCase cases[] = {
      {"select * from Person", true, "*", "Person", ""},
      {"Select  * from Person order by TestDate desc, TestTime desc", true, "*", "Person",
       "order by TestDate desc, TestTime desc"},
      {"SELECT * FROM Person WHERE SampleNo='1' and TestDate='2026-01-05';", true, "*", "Person",
       "WHERE SampleNo='1' and TestDate='2026-01-05'"},
      {"select SampleNo, TestDate from Person where Name like '%from x, y%'", true, "SampleNo, TestDate",
       "Person", "where Name like '%from x, y%'"},
      {"select Person.* from Person", true, "Person.*", "Person", ""},
      {"select \"1Level\", [A B] from \"QC Data\" limit 5", true, "\"1Level\", [A B]", "\"QC Data\"",
       "limit 5"},
      {"select * from Person where TestDate > (select max(TestDate) from Person) order by CAST(SampleNo AS INTEGER)",
       true, "*", "Person", "where TestDate > (select max(TestDate) from Person) order by CAST(SampleNo AS INTEGER)"},
      {"select * from T -- trailing comment", true, "*", "T", ""},
      // Held whole:
      {"select count(*) from Person", false, "", "", ""},
      {"select max(TestDate) from Person", false, "", "", ""},
      {"select distinct SampleNo from Person", false, "", "", ""},
      {"select * from Person p", false, "", "", ""},
      {"select * from Person as p", false, "", "", ""},
      {"select * from A, B", false, "", "", ""},
      {"select * from A join B on A.x=B.x", false, "", "", ""},
      {"select * from A inner join B using(x)", false, "", "", ""},
      {"select SampleNo from Person group by SampleNo", false, "", "", ""},
      {"select * from A union select * from B", false, "", "", ""},
      {"select SampleNo as S from Person", false, "", "", ""},
      {"select SampleNo||'x' from Person", false, "", "", ""},
      {"select 1 from Person", false, "", "", ""},
      {"select * from Person order by 2", false, "", "", ""},
      {"select * from Person order by TestDate, 3 desc", false, "", "", ""},
      {"select * from main.Person", false, "", "", ""},
      {"select * from Person; delete from Person", false, "", "", ""},
      {"select * from (select * from Person)", false, "", "", ""},
      {"insert into Person values(1)", false, "", "", ""},
      {"select * from Person where Name='unterminated", false, "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    const auto s = db::MatchSingleTableSelect(c.sql);
    EXPECT_EQ(s.matches, c.matches);
    if (!c.matches) continue;
    EXPECT_EQ(s.columns, c.columns);
    EXPECT_EQ(s.table, c.table);
    EXPECT_EQ(s.rest, c.rest);
  }
}

}  // namespace

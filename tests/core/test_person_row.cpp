// The Person row's key and the store's date and time texts.
#include <gtest/gtest.h>

#include "core/ado_conn.h"
#include "core/person_row.h"
#include "program_folder.h"

namespace {

TEST(PersonRow, DateAndTimeTexts) {
  struct Case {
    sys::LocalTime t;
    const char* date;
    const char* time;
  } cases[] = {
      {{2026, 3, 7, 9, 5, 2, 0, 6}, "2026-03-07", "09:05:02"},
      {{2026, 12, 31, 23, 59, 59, 0, 4}, "2026-12-31", "23:59:59"},
      {{999, 1, 1, 0, 0, 0, 0, 0}, "999-01-01", "00:00:00"},  // the year as it is
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoredDateText(c.t), c.date);
    EXPECT_EQ(StoredTimeText(c.t), c.time);
  }
}

TEST(PersonRow, StatementsByKeyCarryNoRawApostrophe) {
  // U+2018 stands in for an apostrophe: the text can never close the quote.
  EXPECT_EQ(PersonKeyWhere("7", "2026-12-09"), "SampleNo='7' and TestDate='2026-12-09'");
  EXPECT_EQ(SelectPersonSql("1' or '1'='1", "2026-12-09"),
            "Select * from Person where SampleNo='1\u2018 or \u20181\u2018=\u20181' and TestDate='2026-12-09'");
  EXPECT_EQ(UpdatePersonSql("Name='Ann'", "7", "2026-12-09"),
            "update Person set Name='Ann' where SampleNo='7' and TestDate='2026-12-09'");
  EXPECT_EQ(UpdatePersonSql("RefText ='x'", "7", "2026-12-09", "Update"),
            "Update Person set RefText ='x' where SampleNo='7' and TestDate='2026-12-09'");
  EXPECT_EQ(DeletePersonSql("7", "2026-12-09"), "delete from Person where SampleNo='7' and TestDate='2026-12-09'");
}

TEST(PersonRow, FoundByTheWholeKey) {
  TempProgramFolder folder;
  RawExec("create table Person (SampleNo TEXT, TestDate TEXT, Name TEXT)");
  RawExec("insert into Person values('7','2026-12-09','Ann'),('7','2026-12-08','Bob'),('70','2026-12-09','Cy')");
  CADOConn conn;
  struct Case {
    const char* sampleNo;
    const char* date;
    const char* name;  // null: no row
  } cases[] = {{"7", "2026-12-09", "Ann"}, {"7", "2026-12-08", "Bob"}, {"70", "2026-12-09", "Cy"},
               {"7", "2026-12-10", nullptr}, {"07", "2026-12-09", nullptr}};
  for (const Case& c : cases) {
    bool opened = false;
    const bool found = OpenPersonRow(conn, c.sampleNo, c.date, &opened);
    EXPECT_TRUE(opened);
    EXPECT_EQ(found, c.name != nullptr) << c.sampleNo << " " << c.date;
    if (found) {
      EXPECT_EQ(conn.Recordset()->Field("Name").AsText(), c.name);
    }
    conn.CloseRecordset();
    EXPECT_EQ(PersonRowExists(conn, c.sampleNo, c.date), c.name != nullptr);
  }
  EXPECT_EQ(conn.Execute(DeletePersonSql("7", "2026-12-09")), 1);
  EXPECT_FALSE(PersonRowExists(conn, "7", "2026-12-09"));
  EXPECT_TRUE(PersonRowExists(conn, "7", "2026-12-08"));
}

TEST(PersonRow, PatientColumnsAreReadOnceWithNullsLeftEmpty) {
  TempProgramFolder folder;
  RawExec("create table Person (SampleNo TEXT, TestDate TEXT, Name TEXT, Sex TEXT, Age INTEGER, AgeUnit TEXT,"
          " ReferValue TEXT, MedicalNo TEXT, BedNo TEXT, Dept TEXT, Sender TEXT, Scrutator TEXT, Checker TEXT)");
  RawExec("insert into Person values('7','2026-12-09','Ann','F',40,'Y','Adult female','M-1',NULL,'ICU','Dr A',"
          "'Dr B','Dr C')");
  CADOConn conn;
  const PersonPatient p = ReadPersonPatient(conn, "7", "2026-12-09");
  ASSERT_TRUE(p.found);
  EXPECT_EQ(p.Name, "Ann");
  EXPECT_EQ(p.Sex, "F");
  EXPECT_EQ(p.Age, 40);
  EXPECT_EQ(p.AgeUnit, "Y");
  EXPECT_EQ(p.ReferValue, "Adult female");
  EXPECT_EQ(p.MedicalNo, "M-1");
  EXPECT_FALSE(p.BedNo.has_value());
  EXPECT_EQ(p.Dept, "ICU");
  EXPECT_EQ(p.Sender, "Dr A");
  EXPECT_EQ(p.Scrutator, "Dr B");
  EXPECT_EQ(p.Checker, "Dr C");
  EXPECT_FALSE(conn.RecordsetOpen()) << "the recordset is closed again";

  const PersonPatient none = ReadPersonPatient(conn, "8", "2026-12-09");
  EXPECT_FALSE(none.found);
  EXPECT_FALSE(none.Name.has_value());

  // What the count's own insert writes: empty texts, age 0, the group it was given.
  const PersonPatient inserted = InsertedPersonPatient("General");
  EXPECT_TRUE(inserted.found);
  EXPECT_EQ(inserted.Name, "");
  EXPECT_EQ(inserted.Checker, "");
  EXPECT_EQ(inserted.Age, 0);
  EXPECT_EQ(inserted.ReferValue, "General");
}

}  // namespace

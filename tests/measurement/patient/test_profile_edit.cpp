// What the test screen's Profile button carries over once the patient screen has closed.
#include <gtest/gtest.h>

#include "core/ado_conn.h"
#include "core/value_format.h"
#include "measurement/patient/profile_edit.h"
#include "measurement/result_globals.h"
#include "patient_folder.h"

using namespace measurement;

class ProfileEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
    // Group 1: every value of 5 is high (normal 1-4, panic 0-100).
    InsertUniformLimits("NormalLimits", 1, 1.0f, 4.0f);
    InsertUniformLimits("PathologyLimits", 1, 0.0f, 100.0f);
    // Group 0 (General, from the first rows) takes 5.00 as normal for WBC (4-10).
    for (int i = 0; i < 20; ++i) {
      CurrentResult[i] = 5.0f;
      ParameterMarks[i] = 0;
      MarkTexts[i].clear();
    }
    ParameterMarks[17] = 1;  // PDW not reportable
    CurrentResult[17] = kInvalidParamValue;
    std::string stored[20];
    for (auto& t : stored) t = "5.00";
    InsertPersonRow("24", "2026-01-05", stored, "General");
    s.shownSampleNo = s.sampleNoText = "24";
    s.nextSampleNo = 24;
    s.hasResult = true;
    s.indicators[0] = "*";
  }
  std::string Column(const char* col, const char* sample = "24") {
    return Scalar(std::string("select ") + col + " from Person where SampleNo='" + sample + "'");
  }
  ProfileOutcome Outcome(int r) {
    ProfileOutcome o;
    o.result = r;
    o.callerSampleNo = "24";
    o.name = "Ann";
    o.sex = "Female";
    o.groupText = "General";
    return o;
  }
  PatientFolder folder;
  CADOConn conn;
  ProfileScreenState s;
};

TEST_F(ProfileEdit, OkOnAnotherNumberChoosesTheNextCount) {
  for (bool retest : {false, true}) {
    ProfileScreenState st = s;
    ProfileOutcome o = Outcome(1);
    o.callerSampleNo = "25";
    o.retestConfirmed = retest;
    const ProfileApplied a = ApplyProfileOutcome(conn, st, o, "2026-01-05", 1);
    EXPECT_EQ(st.shownSampleNo, "25");
    EXPECT_EQ(st.sampleNoText, "25");
    EXPECT_EQ(st.nextSampleNo, 25);
    EXPECT_TRUE(st.sampleNumberEntered);
    EXPECT_FALSE(st.hasResult);
    EXPECT_EQ(st.retestRequested, retest);
    EXPECT_TRUE(a.clearResultDisplay);
    EXPECT_TRUE(a.sql.empty());  // the patient screen wrote the row itself
    EXPECT_EQ(st.header.name, "Ann");
  }
}

TEST_F(ProfileEdit, OwnCountedSampleWithANewGroupIsRemarked) {
  ProfileOutcome o = Outcome(2);
  o.groupText = "Adult male";
  o.patientGroupIndex = 1;
  o.regrouped = true;
  const ProfileApplied a = ApplyProfileOutcome(conn, s, o, "2026-01-05", 1);
  ASSERT_EQ(a.sql.size(), 2u);
  EXPECT_EQ(a.sql[0].rfind("update Person set Name='Ann'", 0), 0u);
  EXPECT_NE(a.sql[1].find(",RefText='1.00-4.00,"), std::string::npos);
  EXPECT_TRUE(a.remarked);
  EXPECT_EQ(s.groupIndex, 1);
  EXPECT_EQ(MarkTexts[0], "H");
  EXPECT_EQ(MarkTexts[17], "");
  EXPECT_EQ(Column("WBC"), "*5.00 H");
  EXPECT_EQ(Column("RBC"), "5.00 H");
  EXPECT_EQ(Column("PDW"), "- - -");
  EXPECT_EQ(Column("ReferValue"), "Adult male");
}

TEST_F(ProfileEdit, OwnSampleWithoutAGroupChangeWritesOnlyThePatientColumns) {
  MarkTexts[0] = "L";
  ProfileOutcome o = Outcome(2);
  o.years = 0;
  o.months = 3;
  o.days = 10;
  const ProfileApplied a = ApplyProfileOutcome(conn, s, o, "2026-01-05", 1);
  ASSERT_EQ(a.sql.size(), 1u);
  EXPECT_FALSE(a.remarked);
  EXPECT_EQ(MarkTexts[0], "L");
  EXPECT_EQ(s.header.age, "3 months");
  EXPECT_EQ(Column("Age || AgeUnit"), "3M");
  EXPECT_EQ(Column("WBC"), "5.00");
  EXPECT_FALSE(a.clearResultDisplay);
}

TEST_F(ProfileEdit, ExitAfterSaveShowsTheSummaryAndRemarks) {
  ProfileOutcome o = Outcome(0);
  o.summaryValid = true;
  o.summaryName = "Bob";
  o.summarySex = "Male";
  o.summaryAge = "40 years";
  o.summaryGroup = "Adult male";
  Exec("update Person set Name='Someone' where SampleNo='24'");
  const ProfileApplied a = ApplyProfileOutcome(conn, s, o, "2026-01-05", 1);
  EXPECT_EQ(s.header.name, "Bob");
  EXPECT_EQ(s.header.age, "40 years");
  EXPECT_EQ(s.groupIndex, 1);
  ASSERT_EQ(a.sql.size(), 1u);
  EXPECT_EQ(a.sql[0].rfind("Update Person set WBC='*5.00 H'", 0), 0u);
  EXPECT_EQ(Column("MCV"), "5.0 H");
  EXPECT_EQ(Column("Name"), "Someone");  // the row's patient columns are the patient screen's business
}

TEST_F(ProfileEdit, ExitRefreshesTheHeaderFromTheRow) {
  Exec("update Person set Name='Eve',Sex=NULL,Age=7,AgeUnit='D',ReferValue='Adult male' where SampleNo='24'");
  s.retestRequested = true;
  const ProfileApplied a = ApplyProfileOutcome(conn, s, Outcome(0), "2026-01-05", 3);
  EXPECT_EQ(s.header.name, "Eve");
  EXPECT_EQ(s.header.sex, " ");
  EXPECT_EQ(s.header.age, "7 jours");
  EXPECT_EQ(s.groupIndex, 1);
  // A retest is coming: only the range text is written.
  ASSERT_EQ(a.sql.size(), 1u);
  EXPECT_EQ(a.sql[0].rfind("Update Person set RefText='", 0), 0u);
  EXPECT_EQ(Column("WBC"), "5.00");
  EXPECT_EQ(Column("RefText").substr(0, 9), "1.00-4.00");
  EXPECT_TRUE(a.clearResultDisplay);
}

TEST_F(ProfileEdit, ExitWithoutARowOrResultWritesNothing) {
  s.shownSampleNo = s.sampleNoText = "30";
  s.header.name = "kept";
  ProfileApplied a = ApplyProfileOutcome(conn, s, Outcome(0), "2026-01-05", 1);
  EXPECT_TRUE(a.sql.empty());
  EXPECT_FALSE(a.rowWritten);
  EXPECT_EQ(s.header.name, "kept");
  std::string none[20];
  InsertPersonRow("30", "2026-01-05", none, "Adult male");
  a = ApplyProfileOutcome(conn, s, Outcome(0), "2026-01-05", 1);
  EXPECT_FALSE(a.rowWritten);
  EXPECT_EQ(Column("WBC", "30"), "<null>");
  // A failed run changes nothing but the name's length flag.
  ProfileScreenState before = s;
  a = ApplyProfileOutcome(conn, s, Outcome(-1), "2026-01-05", 1);
  EXPECT_TRUE(a.sql.empty());
  EXPECT_EQ(s.sampleNoText, before.sampleNoText);
}

TEST_F(ProfileEdit, ExitNeverWritesAnotherSamplesValuesIntoTheRow) {
  // The screen shows 25 after choosing it; the result on the screen (all 5.0) is 24's. Row 25
  // holds its own earlier result, which must only be re-marked.
  std::string stored[20];
  for (auto& t : stored) t = "9.00";
  InsertPersonRow("25", "2026-01-05", stored, "Adult male");
  s.shownSampleNo = s.sampleNoText = "25";
  s.hasResult = false;
  const ProfileApplied a = ApplyProfileOutcome(conn, s, Outcome(0), "2026-01-05", 1);
  EXPECT_TRUE(a.rowWritten);
  EXPECT_EQ(Column("WBC", "25"), "9.00 H");
  EXPECT_EQ(Column("RBC", "25"), "9.00 H");
}

TEST_F(ProfileEdit, LongNamesAreCountedInCharacters) {
  const struct {
    const char* name;
    bool longName;
  } cases[] = {{"Abcdefghij", false}, {"Abcdefghijk", true}, {"张三李四王五赵六钱七", false}, {"张三李四王五赵六钱七孙", true}};
  for (const auto& c : cases) {
    ProfileScreenState st = s;
    ProfileOutcome o = Outcome(1);
    o.name = c.name;
    ApplyProfileOutcome(conn, st, o, "2026-01-05", 1);
    EXPECT_EQ(st.longName, c.longName) << c.name;
  }
}

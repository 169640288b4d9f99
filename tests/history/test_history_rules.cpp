// The result history's plain rules: the shared name table, the search condition, paging, the
// statistics, the column range, a stored value taken apart for the view, the percentage entry.
#include <gtest/gtest.h>

#include "core/sample_names.h"
#include "history/history_list_logic.h"
#include "history/history_search.h"
#include "history/history_sel.h"
#include "history/history_sort_jump.h"
#include "history/history_stat.h"
#include "history/view_navigation.h"
#include "history/view_row.h"
#include "measurement/flagging.h"
#include "measurement/patient/patient_input.h"
#include "measurement/patient/set_user_value.h"
#include "measurement/screen/sample_test_screen_texts.h"

using namespace history;

TEST(SampleNames, EveryNameGivesItsCodeAndWritersUseTheSameTable) {
  const struct {
    const char* text;
    int blood, group;
  } cases[] = {
      {"Controle", 3, 0},          {"Control ", 0, 0},         {"Control", 3, 0},
      {"Sang pre dilue", 2, 0},     {"Капілярна кров", 1, 0},   {"Premiere Semaine", 0, 8},
      {"premiere semaine", 0, 0},  {"", 0, 0},                 {"2 місяці – 2 роки", 0, 6},
      {"8 dias-1 meses", 0, 7},    {"Utilisateur defini", 0, 9}, {"Adulto Femenino", 0, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BloodTypeCodeFromText(c.text), c.blood) << c.text;
    EXPECT_EQ(ReferenceGroupCodeFromText(c.text), c.group) << c.text;
  }
  // Rows written with the older French name still read as the general group; an unknown name
  // keeps the caller's fallback.
  EXPECT_EQ(ReferenceGroupCodeOr("Général", 5), 0);
  EXPECT_EQ(ReferenceGroupCodeOr("Nobody", 5), 5);
  // The French writer now stores "General", the name every reader knows.
  EXPECT_STREQ(measurement::GroupName(0, 3), "General");
  // The patient screen and the test screen write the same blood-mode names.
  for (int lang = 0; lang < 5; ++lang)
    for (int mode = 0; mode < 3; ++mode) {
      EXPECT_EQ(std::string(measurement::BloodTypeName(static_cast<unsigned>(mode), lang)),
                measurement::BloodModeName(mode, lang));
      EXPECT_EQ(BloodTypeCodeFromText(measurement::BloodModeName(mode, lang)), mode);
    }
}

TEST(SearchCondition, FieldsDatesAndLiteralWildcards) {
  const struct {
    SearchFields f;
    const char* condition;
    SearchError error;
  } cases[] = {
      {{"  12 ", "", "", "", "", "", "", "", "", "", "", ""}, " where SampleNo='12'", SearchError::None},
      // No date chosen: no date limit at all (not this year only).
      {{"", "Ann", "", "", "", "", "", "", "", "", "", ""}, " where Name like '%Ann%' escape '\\'", SearchError::None},
      {{"", "50%_x\\", "", "", "", "", "", "", "", "", "", ""},
       " where Name like '%50\\%\\_x\\\\%' escape '\\'", SearchError::None},
      {{"", "O'Brien", "Male", "M1", "B2", "ICU", "", "", "", "", "", ""},
       " where (Name like '%O\u2018Brien%' escape '\\' or Name like '%O''Brien%' escape '\\') and Sex ='Male' and "
       "MedicalNo ='M1' and BedNo ='B2' and Dept ='ICU'",
       SearchError::None},
      // Exact fields find either stored form of an apostrophe too.
      {{"", "", "", "M'1", "", "St' Ann", "", "", "", "", "", ""},
       " where MedicalNo in ('M\u20181','M''1') and Dept in ('St\u2018 Ann','St'' Ann')", SearchError::None},
      {{"", "", "", "", "", "", "", "", "", "", "3", "5"}, " where TestDate <='2026-03-05'", SearchError::None},
      {{"", "", "", "", "", "", "2024", "", "", "", "", ""}, " where TestDate >= '2024-01-01'", SearchError::None},
      {{"", "", "", "", "", "", "2024", "1", "2", "2024", "01", "02"}, " where TestDate='2024-01-02'", SearchError::None},
      {{"7", "", "", "", "", "", "2024", "1", "2", "2025", "6", "30"},
       " where SampleNo='7' and (TestDate >= '2024-01-02' and TestDate <='2025-06-30')", SearchError::None},
      {{"", "", "", "", "", "", "2025", "", "", "2024", "", ""}, "", SearchError::ReversedDates},
      {{"", "", "", "", "", "", "", "", "", "", "", ""}, "", SearchError::NoCondition},
  };
  for (const auto& c : cases) {
    SearchError e = SearchError::None;
    EXPECT_EQ(BuildSearchCondition(c.f, 2026, &e), c.condition) << c.condition;
    EXPECT_EQ(e, c.error) << c.condition;
  }
  const std::vector<std::string> years = SearchYears(2026);
  EXPECT_EQ(years.front(), "2009");
  EXPECT_EQ(years.back(), "2031");
  EXPECT_EQ(SearchErrorText(SearchError::ReversedDates, 1), "The start date should be earlier than end date!");
}

TEST(BrowserPaging, PagesCountFromTheOldestAndDeletesMoveTowardNewerRows) {
  Paging p = OpenPaging(101);
  EXPECT_EQ(p.pageCount, 2);
  EXPECT_EQ(p.currentPage, 2);
  EXPECT_EQ(p.currentRecords, 100);
  EXPECT_EQ(StatusText(1, p, true), "Total records: 101 Current records: 100(Page 2)");
  ASSERT_TRUE(PageDown(p));
  EXPECT_EQ(p.currentPage, 1);
  EXPECT_EQ(p.currentRecords, 1);
  EXPECT_EQ(p.position, 101);
  EXPECT_FALSE(PageDown(p));
  EXPECT_EQ(StatusText(1, p), "Total records: 101 Current Records: 1(Page 1)");
  // The one row of the last page goes: the page before it is shown.
  AfterDelete(p, 1);
  EXPECT_EQ(p.total, 100);
  EXPECT_EQ(p.pageCount, 1);
  EXPECT_EQ(p.currentPage, 1);
  EXPECT_EQ(p.position, 1);
  EXPECT_EQ(p.currentRecords, 100);
  EXPECT_FALSE(PageUp(p));
  Paging q = OpenPaging(250);
  ASSERT_TRUE(PageDown(q));
  AfterDelete(q, 2);  // two of the middle page: still page 2 of 3, 100 rows
  EXPECT_EQ(q.total, 248);
  EXPECT_EQ(q.currentPage, 2);
  EXPECT_EQ(q.currentRecords, 100);
  AfterDelete(q, 248);
  EXPECT_EQ(q.total, 0);
  const char* empty[5] = {"共有记录数: 0 条", "Total records: 0", "Total registros: 0", "Total des enregistrements: 0",
                          "Всього записів: 0"};
  for (int l = 0; l < 5; ++l) EXPECT_EQ(StatusText(l, q), empty[l]);
  EXPECT_EQ(DeleteCountText(4, 3), "Видалити  3 разом");
  EXPECT_TRUE(HasMark("5.0 H"));
  EXPECT_FALSE(HasMark("5.0"));
}

TEST(Statistics, MeansAndCvLeaveOutEmptyAndInvalidCells) {
  auto column = [](const std::string& wbc, const std::string& rbc) {
    std::vector<std::string> c(23);
    c[3] = wbc;
    c[10] = rbc;
    c[11] = "130";
    return c;
  };
  const StatTexts t = ComputeStatistics({column("5.0 H", "4.00"), column("6.0 H", "- - -"), column("*7.0 H", ""),
                                         column("", "5.00")});
  // WBC 5, 6, 7: mean 6, SD 1, CV 100/6.
  EXPECT_EQ(t.mean[0], "6.00");
  EXPECT_EQ(t.cv[0], "16.7");
  // RBC 4 and 5 only: mean 4.5, SD sqrt(0.5) = 0.7071, CV 15.7.
  EXPECT_EQ(t.mean[1], "4.50");
  EXPECT_EQ(t.cv[1], "15.7");
  // HGB equal: CV 0.
  EXPECT_EQ(t.mean[2], "130.00");
  EXPECT_EQ(t.cv[2], "0.0");
  EXPECT_EQ(t.mean[3], "");
  const StatTexts one = ComputeStatistics({column("5.0", "4.00")});
  EXPECT_EQ(one.mean[0], "5.00");
  EXPECT_EQ(one.cv[0], "");
}

TEST(ColumnRange, NumbersInRangeAndInOrder) {
  const struct {
    const char *start, *end;
    RangeError error;
  } cases[] = {{"5", "8", RangeError::None},       {"5", "200", RangeError::OutOfRange},
               {"0", "3", RangeError::OutOfRange}, {"a", "3", RangeError::NotInteger},
               {"", "3", RangeError::NotInteger},  {"8", "3", RangeError::Reversed}};
  for (const auto& c : cases) {
    int s = 0, e = 0;
    EXPECT_EQ(CheckColumnRange(c.start, c.end, &s, &e), c.error) << c.start << "-" << c.end;
  }
  EXPECT_FALSE(RangeErrorText(RangeError::Reversed, 1).empty());
}

TEST(ViewRow, StoredTextsTakenApart) {
  const struct {
    int row;
    const char* stored;
    const char *lead, *value, *mark;
  } cases[] = {
      {0, "*5.6 H", "*", "5.6", "H"}, {8, "- - -", "", "- - -", ""},  {1, "e1.2 L", "e", "1.2", "L"},
      {4, "E30.0", "E", "30.0", ""},  {8, "*130", "", "*130", ""},    {3, "5.0 ", "", "5.0", ""},
      {15, "!210 H+", "!", "210", "H+"}, {4, "e30.0", "", "e30.0", ""}, {0, "", "", "", ""},
  };
  for (const auto& c : cases) {
    const ShownValue v = SplitShownValue(c.row, c.stored);
    EXPECT_EQ(v.lead, c.lead) << c.stored;
    EXPECT_EQ(v.value, c.value) << c.stored;
    EXPECT_EQ(v.mark, c.mark) << c.stored;
  }
  const struct {
    const char *wbc, *unit;
    bool enabled;
  } adjust[] = {{"0.2", "10^9/L", false}, {"0.3", "10^9/L", true},  {"1.5", "10^2/uL", false},
                {"2.5", "10^2/uL", true}, {"0.3", "10^3/uL", true}, {"- - -", "10^9/L", false}};
  for (const auto& a : adjust) EXPECT_EQ(ViewAdjustEnabled(a.wbc, a.unit), a.enabled) << a.wbc << a.unit;
  bool flags[6];
  WarningFlags("LF2 PF1 ", flags);
  const bool expected[6] = {false, true, false, false, true, false};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(flags[i], expected[i]) << i;
  EXPECT_EQ(AgeText(true, 30, "Y", 1), "30 years");
  EXPECT_EQ(AgeText(true, 30, "Р", 4), "30  років");
  EXPECT_EQ(AgeText(true, 3, "J", 3), "3 jours");
  EXPECT_EQ(AgeText(false, 30, "Y", 1), "");
  EXPECT_EQ(ShownSex("Male", 2), "Male");
  EXPECT_EQ(ShownSex("Male", 0), "男");
  EXPECT_EQ(ShownBloodType("Whole blood", false, 0), "抗凝全血");
  EXPECT_EQ(ShownBloodType("", true, 3), "Sang total");
  EXPECT_EQ(ShownGroup("", true, 3), "General");
}

TEST(PercentageEntry, LeavingAFieldFillsTheRestAndOkNeedsOneHundred) {
  float a[3] = {30, 10, 0};
  measurement::FillPercentagesOnLeave(1, a);
  EXPECT_FLOAT_EQ(a[2], 60);
  float b[3] = {70, 40, 0};
  measurement::FillPercentagesOnLeave(1, b);
  EXPECT_FLOAT_EQ(b[2], 0);  // not -10
  EXPECT_FALSE(measurement::AcceptPercentages(b));
  float c[3] = {33.33f, 33.33f, 33.34f};
  EXPECT_TRUE(measurement::AcceptPercentages(c));
  float d[3] = {0, 0, 0};
  EXPECT_FALSE(measurement::AcceptPercentages(d));
  float e[3] = {20, 0, 50};
  EXPECT_TRUE(measurement::AcceptPercentages(e));
  EXPECT_FLOAT_EQ(e[1], 30);
}

TEST(SmallDialogs, JumpLimitsSortUpdateAndRenumberingProfile) {
  EXPECT_FALSE(JumpEnterAccepted(600));
  EXPECT_TRUE(JumpEnterAccepted(500));
  int pos = -1;
  EXPECT_TRUE(JumpOkAccepted("", 20, &pos));
  EXPECT_EQ(pos, 0);
  EXPECT_FALSE(JumpOkAccepted("21", 20, &pos));
  EXPECT_EQ(SortStyleUpdateSql(1), "update SysSetting set HistoryListSortStyle = 1");
  EXPECT_EQ(StepPosition(10, 10, true), 1);
  EXPECT_EQ(StepPosition(1, 10, false), 10);
  measurement::PatientColumns p;
  p.sampleNo = "12";
  p.name = "Ann";
  const std::string sql = measurement::PatientUpdateSql(p, "2026-01-02", "7");
  EXPECT_EQ(sql.rfind("update Person set SampleNo='12',Name='Ann'", 0), 0u) << sql;
  EXPECT_NE(sql.find("where SampleNo='7' and TestDate='2026-01-02'"), std::string::npos) << sql;
  const std::string same = measurement::PatientUpdateSql(p, "2026-01-02");
  EXPECT_EQ(same.find("SampleNo='12',"), std::string::npos);
  EXPECT_NE(same.find("where SampleNo='12'"), std::string::npos);
}

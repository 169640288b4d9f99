// Filling report snapshots: result cells of the browser, reference texts, the stored patient
// texts in the report's language, and the snapshot of a stored sample.
#include <gtest/gtest.h>

#include <cstring>

#include "analyzer/raw_test_data.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/value_format.h"
#include "printing/report_fill.h"
#include "tests/support/program_folder.h"

namespace {

TEST(ReportFill, ResultCells) {
  struct Case {
    const char* cell;
    const char* value;
    const char* flag;
  } cases[] = {
      {"12.5 H", "12.5", "H"},   {"*12.5", "12.5", ""},    {"*12.5 L-", "12.5", "L-"}, {"- - -", "- - -", ""},
      {"- H", "- - -", ""},      {"e3.2", "3.2", ""},      {"!0.8 L", "0.8", "L"},     {"E7", "7", ""},
      {"5.0", "5.0", ""},        {"", "", ""},             {" 5", " 5", ""},  // a blank first is no separator
  };
  for (const Case& c : cases) {
    std::string value = "x", flag = "x";
    ParseResultCell(c.cell, &value, &flag);
    EXPECT_EQ(value, c.value) << c.cell;
    EXPECT_EQ(flag, c.flag) << c.cell;
  }
}

TEST(ReportFill, ReferenceTextsGoIntoDisplayOrder) {
  // Stored order: ... 9 MCHC, 10 MCH, 11 MCV, 12 RDW-CV, 13 RDW-SD, 14 HCT ...
  std::string texts[20];
  RangeTextsFromRefText("a0,a1,a2,a3,a4,a5,a6,a7,a8,MCHC,MCH,MCV,CV,SD,HCT,a15,a16,a17,a18,a19,extra", texts);
  const char* expected[20] = {"a0", "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "HCT",
                              "MCV", "MCH", "MCHC", "SD", "CV", "a15", "a16", "a17", "a18", "a19"};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(texts[i], expected[i]) << i;
  RangeTextsFromRefText("x,y", texts);
  EXPECT_EQ(texts[0], "x");
  EXPECT_EQ(texts[1], "y");
  EXPECT_EQ(texts[19], "");
}

TEST(ReportFill, StoredPatientTextsInTheLanguage) {
  EXPECT_EQ(ReportSexText("Male", 0), "男");
  EXPECT_EQ(ReportSexText("女", 1), "Female");
  EXPECT_EQ(ReportSexText("女", 3), "女");
  EXPECT_EQ(ReportAgeText(35, "Y", false, 1), "35 years");
  EXPECT_EQ(ReportAgeText(3, "М", false, 1), "3 months");  // Cyrillic
  EXPECT_EQ(ReportAgeText(9, "J", false, 3), "9 jours");
  EXPECT_EQ(ReportAgeText(4, "Q", false, 1), "4");
  EXPECT_EQ(ReportAgeText(4, "", true, 1), "4");
  EXPECT_EQ(ReportAgeText(0, "Y", false, 1), "");
  EXPECT_EQ(ReportBloodTypeText("Pre-diluted blood", 0), "预稀释末梢血");
  EXPECT_EQ(ReportBloodTypeText("抗凝全血", 1), "Whole blood");
  EXPECT_EQ(ReportBloodTypeText("抗凝全血", 2), "抗凝全血");
  EXPECT_EQ(ReportReferenceText("", true, 3), "Général");
  EXPECT_EQ(ReportReferenceText("8 days-1 months", false, 0), "8天-1个月");
  EXPECT_EQ(ReportReferenceText("第一周", false, 1), "First week");
  EXPECT_EQ(ReportReferenceText("Adulte homme", false, 1), "Adulte homme");
  EXPECT_EQ(BloodModeFromText("Sangre Pre-diluida"), 2);
  EXPECT_EQ(BloodModeFromText("Peripheral blood"), 1);
  EXPECT_EQ(BloodModeFromText("something"), 0);
  // The control names of the shared table, exactly as written (the print-out re-runs the
  // library in this mode).
  const struct {
    const char* text;
    int code;
  } modes[] = {{"Controle", 3}, {"质控品", 3}, {"Control", 3}, {"Контроль", 3}, {"Control ", 0}, {"", 0},
               {"Sang peripherique", 1}, {"Передрозвед. кап. кров", 2}};
  for (const auto& m : modes) EXPECT_EQ(BloodModeFromText(m.text), m.code) << m.text;
  EXPECT_EQ(ReportRangeText(-2e6f, 2e6f, 0), " ");
  EXPECT_EQ(ReportRangeFlag(11, 0, 4, 10, 2, 20), "H");
  EXPECT_EQ(ReportRangeFlag(21, 0, 4, 10, 2, 20), "H+");
  EXPECT_EQ(ReportRangeFlag(10, 0, 4, 10, 2, 20), "") << "on the limit: no flag";
  EXPECT_EQ(ReportRangeFlag(1, 0, 4, 10, 2, 20), "L-");
  EXPECT_EQ(ReportRangeFlag(1, 1, 4, 10, 2, 20), "") << "not reportable";
}

TEST(ReportFill, StoredSampleSnapshot) {
  support::ScratchProgramFolder folder("report_fill");
  const std::string savedFolder = AppSettings.ProgramFolder;
  AppSettings.ProgramFolder = "";  // not set yet: the program's folder is used
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  support::ExecSql(
      "insert into Person (SampleNo, TestDate, TestTime, Name, Sex, Age, AgeUnit, BloodType, ReferValue, MedicalNo, "
      "BedNo, Dept, Sender, Scrutator, Checker, Warning, RefText, WBCUnit, HGBUnit, PCTUnit, WMARKER2, PMARKER2) values "
      "('7', '2026-12-10', '08:00:01', 'Ann', '女', 35, 'Y', '抗凝末梢血', NULL, 'M1', 'B2', 'Lab', 'Dr', 'Op', 'Ve', "
      "'LF1 ', 'w,a,b,c,d,e,f,g,h,MCHC,MCH,MCV,CV,SD,HCT,p,q,r,s,t', '10^3/uL', 'g/dL', NULL, 110.5, 28)");
  float record[640] = {};
  record[5] = 42.0f;
  ASSERT_EQ(analyzer::WriteRawRecord(folder.folder(), "20261210 7", reinterpret_cast<uint8_t*>(record)),
            analyzer::RawWrite::Written);
  CADOConn conn;
  StoredSampleColumn column;
  column.sampleNo = "7";
  column.testDate = "2026-12-10";
  column.results[0] = "*12.5 H";
  column.results[9] = "- L";
  ReportSnapshot s;
  ASSERT_EQ(LoadStoredSnapshot(conn, column, 1, &s), StoredSnapshot::Loaded);
  EXPECT_EQ(s.testTime, "08:00:01");
  EXPECT_EQ(s.sex, "Female");
  EXPECT_EQ(s.age, "35 years");
  EXPECT_EQ(s.bloodTypeText, "Peripheral blood");
  EXPECT_EQ(s.bloodMode, 1);
  EXPECT_EQ(s.referenceText, "General");
  EXPECT_EQ(s.medicalNo + s.bedNo + s.dept + s.sender + s.scrutator + s.checker, "M1B2LabDrOpVe");
  EXPECT_EQ(s.warning, "LF1 ");
  EXPECT_EQ(s.valueTexts[0], "12.5");
  EXPECT_EQ(s.flagTexts[0], "H");
  EXPECT_EQ(s.valueTexts[9], "- - -");
  EXPECT_EQ(s.flagTexts[9], "");
  EXPECT_EQ(s.rangeTexts[9], "HCT");
  EXPECT_EQ(s.rangeTexts[12], "MCHC");
  EXPECT_EQ(s.unitTexts[0], "10^3/uL");
  EXPECT_EQ(s.unitTexts[3], "10^3/uL");
  EXPECT_EQ(s.unitTexts[4], "%");
  EXPECT_EQ(s.unitTexts[8], "g/dL");
  EXPECT_EQ(s.unitTexts[18], "%") << "a null unit column keeps the default";
  EXPECT_EQ(s.histograms.markers[0], 110.5f);
  EXPECT_EQ(s.histograms.markers[1], 0.0f) << "null marker";
  EXPECT_EQ(s.histograms.markers[3], 28.0f);
  EXPECT_TRUE(s.histograms.present);
  EXPECT_EQ(s.histograms.wbc[5], 42.0f);

  column.sampleNo = "8";
  ReportSnapshot none;
  none.name = "untouched";
  EXPECT_EQ(LoadStoredSnapshot(conn, column, 1, &none), StoredSnapshot::NoRow);
  EXPECT_EQ(none.name, "untouched");
  // A sample without raw data has no histograms.
  support::ExecSql("insert into Person (SampleNo, TestDate) values ('9', '2026-12-10')");
  column.sampleNo = "9";
  ReportSnapshot bare;
  ASSERT_EQ(LoadStoredSnapshot(conn, column, 1, &bare), StoredSnapshot::Loaded);
  EXPECT_FALSE(bare.histograms.present);
  EXPECT_EQ(bare.rangeTexts[0], " ") << "a null RefText: twenty blank ranges";

  // The browser's picked columns: 7 (stored), 8 (no row), 9 without WBC, then an empty number.
  std::vector<StoredSampleColumn> picked(5);
  const char* numbers[5] = {"7", "8", "9", "", "7"};
  for (int i = 0; i < 5; ++i) {
    picked[i].sampleNo = numbers[i];
    picked[i].testDate = "2026-12-10";
    picked[i].results[0] = "5.0";
  }
  picked[2].results[0] = "";
  const std::vector<ReportSnapshot> list = LoadHistorySnapshots(conn, picked, 1);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].sampleNo, "7");
  std::atomic<uint8_t> cancel{1};
  EXPECT_TRUE(LoadHistorySnapshots(conn, picked, 1, &cancel).empty());
  AppSettings.ProgramFolder = savedFolder;
}

}  // namespace

// The test screen's report data: the patient texts read again from the Person row, and the
// snapshot a report is printed from.
#include <gtest/gtest.h>

#include "core/app_settings.h"
#include "core/ado_conn.h"
#include "core/value_format.h"
#include "measurement/screen/sample_report.h"
#include "measurement/screen/sample_test_screen_texts.h"
#include "printing/report_fill.h"
#include "tests/support/program_folder.h"

using namespace measurement;

namespace {

class SampleReportData : public ::testing::Test {
 protected:
  void SetUp() override { UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1}; }
  void Person(const std::string& number, const std::string& age, const std::string& unit, const std::string& refer) {
    support::ExecSql("insert into Person (SampleNo, TestDate, Name, Sex, Age, AgeUnit, BloodType, ReferValue, Dept) "
                     "values ('" + number + "', '2026-12-10', 'Ann', 'Female', " + age + ", " + unit + ", 'Whole blood', " +
                     refer + ", 'Lab')");
  }
  support::ScratchProgramFolder folder_{"sample_report"};
};

TEST_F(SampleReportData, PatientTextsAndGroupComeFromTheRowOfEachSample) {
  Person("1", "3", "'M'", "'Adulte femme'");
  Person("2", "45", "'Q'", "NULL");
  Person("3", "0", "'Y'", "'Unknown group'");
  CADOConn conn;
  struct Case {
    const char* number;
    int groupBefore;
    bool found;
    const char* age;
    int group;
    const char* reference;
  } cases[] = {
      {"1", 0, true, "3 months", 2, "Adulte femme"},  // a French group name selects its group
      {"2", 5, true, "45", 5, "3-5 years"},            // no ReferValue: the group's own name
      {"3", 4, true, "", 4, "Unknown group"},          // age 0 is empty; an unknown text keeps the group
      {"9", 1, false, "", 1, "Adult male"},            // no row: nothing of the sample before
  };
  CurrentSampleRecord rec;
  for (const Case& c : cases) {
    rec.Name = rec.Dept = rec.Age = "left over";
    int group = c.groupBefore;
    EXPECT_EQ(ReadSampleTexts(conn, c.number, "2026-12-10", 1, rec, &group), c.found) << c.number;
    EXPECT_EQ(rec.Age, c.age) << c.number;
    EXPECT_EQ(group, c.group) << c.number;
    EXPECT_EQ(rec.ReferValue, c.reference) << c.number;
    EXPECT_EQ(rec.Name, c.found ? "Ann" : "") << c.number;
    EXPECT_EQ(rec.Dept, c.found ? "Lab" : "") << c.number;
    EXPECT_EQ(rec.SampleNo, c.number);
  }
}

TEST_F(SampleReportData, SnapshotTextsFromValuesMarksAndLimits) {
  CurrentSampleRecord rec;
  rec.SampleNo = "4";
  rec.Name = "Ann";
  float values[20] = {};
  uint8_t marks[20] = {};
  std::string flags[20], units[20];
  LimitPairs normal;
  for (int i = 0; i < 20; ++i) {
    values[i] = 5.0f;
    units[i] = "u";
    normal.pairs[2 * i] = 4.0f;
    normal.pairs[2 * i + 1] = 10.0f;
  }
  values[0] = 12.345f;  // WBC: 2 decimals
  flags[0] = "H";
  marks[7] = 1;         // RBC not reportable: no value, no flag
  flags[7] = "L";
  normal.pairs[2 * 15] = -1e9f;  // PLT open on both sides
  normal.pairs[2 * 15 + 1] = 1e9f;
  normal.pairs[2 * 16] = -1e9f;  // MPV open below only
  HistogramBuffers h;
  h.wbc[3] = 9.0f;
  const float markers[8] = {15, 107, 147, 400, 25, 250, 2, 30};
  const ReportSnapshot s = SampleReportSnapshot(rec, values, marks, flags, units, normal, h, "LF1 ", markers, 2, true);
  EXPECT_EQ(s.valueTexts[0], "12.35");
  EXPECT_EQ(s.flagTexts[0], "H");
  EXPECT_EQ(s.rangeTexts[0], "4.00-10.00");
  EXPECT_EQ(s.valueTexts[7], "- - -");
  EXPECT_EQ(s.flagTexts[7], "");
  EXPECT_EQ(s.unitTexts[7], "u");
  EXPECT_EQ(s.rangeTexts[15], " ");
  EXPECT_EQ(s.rangeTexts[16], "-1000000000.0-10.0");
  EXPECT_TRUE(s.countMismatch);
  EXPECT_EQ(s.bloodMode, 2);
  EXPECT_TRUE(s.histograms.present);
  EXPECT_EQ(s.histograms.wbc[3], 9.0f);
  // WMARKER2, WMARKER3, PMARKER1, PMARKER2.
  EXPECT_EQ(s.histograms.markers[0], 107.0f);
  EXPECT_EQ(s.histograms.markers[1], 147.0f);
  EXPECT_EQ(s.histograms.markers[2], 2.0f);
  EXPECT_EQ(s.histograms.markers[3], 30.0f);
  EXPECT_EQ(s.warning, "LF1 ");
  EXPECT_EQ(s.name, "Ann");
}

TEST(SampleReportMode, TheStoredBloodModeTextGivesBackItsMode) {
  // The report re-runs the library in the mode the sample was counted in, read from its row.
  for (int mode = 0; mode < 3; ++mode)
    for (int lang = 0; lang < 5; ++lang) EXPECT_EQ(BloodModeFromText(BloodModeName(mode, lang)), mode) << mode << "/" << lang;
}

}  // namespace

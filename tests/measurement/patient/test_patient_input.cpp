// The patient data checks: sample numbers, ages and their unit words, stepping, and the SQL of
// the patient columns with operator texts that hold apostrophes.
#include <gtest/gtest.h>

#include "core/ado_conn.h"
#include "measurement/patient/patient_input.h"
#include "patient_folder.h"
#include "platform/ui/message_box.h"

using namespace measurement;

TEST(SampleNoCheckTable, OnlyWholeNumbersAboveZeroUpToEightDigits) {
  const struct {
    const char* text;
    SampleNoCheck check;
    long long value;
  } cases[] = {
      {"1", SampleNoCheck::Ok, 1},
      {"007", SampleNoCheck::Ok, 7},
      {"99999999", SampleNoCheck::Ok, 99999999},
      {"100000000", SampleNoCheck::TooLarge, 0},
      {"123456789012345678901234", SampleNoCheck::TooLarge, 0},
      {"0", SampleNoCheck::NotPositive, 0},
      {"-3", SampleNoCheck::NotPositive, 0},
      // A comma or point would be stored as typed and never match the counted number.
      {"1,5", SampleNoCheck::NotInteger, 0},
      {"1.5", SampleNoCheck::NotInteger, 0},
      {".5", SampleNoCheck::NotInteger, 0},
      {"12a", SampleNoCheck::NotInteger, 0},
      {" 12", SampleNoCheck::NotInteger, 0},
      {"", SampleNoCheck::NotInteger, 0},
      {"-", SampleNoCheck::NotInteger, 0},
  };
  for (const auto& c : cases) {
    long long v = 0;
    EXPECT_EQ(CheckSampleNo(c.text, &v), c.check) << c.text;
    if (c.check == SampleNoCheck::Ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_EQ(SampleNoCheckText(SampleNoCheck::NotInteger, 1), "Please input integer for sample no.!");
  EXPECT_EQ(SampleNoCheckText(SampleNoCheck::TooLarge, 1), "Maximum 8 digits for sample no.!");
  EXPECT_EQ(SampleNoCheckText(SampleNoCheck::NotPositive, 1), "Sample no. should be greater than zero!");
  EXPECT_EQ(SampleNoCheckIcon(SampleNoCheck::NotPositive, 1), unsigned{ui::MB_ICONWARNING});
  EXPECT_EQ(SampleNoCheckIcon(SampleNoCheck::NotPositive, 3), unsigned{ui::MB_ICONINFORMATION});
  for (int l = 0; l < 5; ++l) EXPECT_FALSE(SampleNoCheckText(SampleNoCheck::NotInteger, l).empty());
  EXPECT_EQ(StripLeadingZeros("007"), "7");
  EXPECT_EQ(StripLeadingZeros("000"), "0");
  EXPECT_EQ(StripLeadingZeros("120"), "120");
}

TEST(SampleNoStep, LastAndNextStopAtTheLimits) {
  const struct {
    const char* text;
    bool next;
    const char* result;  // nullptr: unchanged
  } cases[] = {
      {"24", true, "25"}, {"24", false, "23"}, {"1", false, nullptr}, {"2", false, "1"},
      {"99999999", true, nullptr}, {"99999998", true, "99999999"}, {"0", true, "1"}, {"", false, nullptr},
  };
  for (const auto& c : cases) {
    std::string out = "unchanged";
    EXPECT_EQ(StepSampleNo(c.text, c.next, &out), c.result != nullptr) << c.text;
    EXPECT_EQ(out, c.result ? c.result : "unchanged") << c.text;
  }
}

TEST(AgeInputTable, FirstNonzeroFieldIsStoredWithItsUnitWord) {
  const struct {
    const char *y, *m, *d;
    int language;
    AgeCheck check;
    int age;
    const char* unit;
  } cases[] = {
      {"0", "5", "0", 1, AgeCheck::Ok, 5, "M"},
      {"", "", "", 1, AgeCheck::Ok, 0, ""},
      {"", "", "12", 3, AgeCheck::Ok, 12, "J"},
      {"0", "0", "0", 1, AgeCheck::Ok, 0, ""},
      {"150", "", "", 1, AgeCheck::Ok, 150, "Y"},
      {"151", "", "", 1, AgeCheck::YearsOutOfRange, 0, ""},
      {"40", "3", "", 0, AgeCheck::Ok, 40, "岁"},
      {"", "7", "", 4, AgeCheck::Ok, 7, "М"},
      {"3", "", "", 2, AgeCheck::Ok, 3, "A"},
      {"1a", "", "", 1, AgeCheck::NotANumber, 0, ""},
  };
  for (const auto& c : cases) {
    int y = -1, m = -1, d = -1;
    ASSERT_EQ(ReadAge({c.y, c.m, c.d}, &y, &m, &d), c.check) << c.y << "/" << c.m << "/" << c.d;
    if (c.check != AgeCheck::Ok) continue;
    int age = -1;
    std::string unit = "x";
    AgeToStore(y, m, d, c.language, &age, &unit);
    EXPECT_EQ(age, c.age);
    EXPECT_EQ(unit, c.unit);
  }
  EXPECT_EQ(AgeCheckText(1), "Please input digits between 1 and 150 for age!");
}

TEST(AgeTexts, UnitWordsOfEveryLanguageAreRecognised) {
  const struct {
    const char* unit;
    int field;
  } units[] = {{"岁", 0}, {"Y", 0}, {"A", 0}, {"Р", 0}, {"月", 1}, {"M", 1}, {"М", 1},
               {"天", 2}, {"D", 2}, {"J", 2}, {"Д", 2}, {"", -1},  {"years", -1}};
  for (const auto& u : units) EXPECT_EQ(AgeFieldOfUnit(u.unit), u.field) << u.unit;
  EXPECT_EQ(SummaryAgeText(0, 5, 0, 1), "5 months");
  EXPECT_EQ(SummaryAgeText(0, 5, 0, 0), "5 月");
  EXPECT_EQ(SummaryAgeText(0, 0, 0, 1), "");
  EXPECT_EQ(HeaderAgeText(0, 3, 10, 1), "3 months");
  EXPECT_EQ(HeaderAgeText(0, 3, 0, 0), "3 个月");
  EXPECT_EQ(HeaderAgeText(30, 0, 0, 4), "30  років");
  EXPECT_EQ(StoredAgeText(40, "Y", 3), "40 ans");
  EXPECT_EQ(StoredAgeText(256, "Y", 1), " ");  // its low byte is 0
  EXPECT_EQ(StoredAgeText(9, "Д", 2), "9 dias");
  EXPECT_EQ(TranslateSex("男", 1), "Male");
  EXPECT_EQ(TranslateSex("Female", 0), "女");
  EXPECT_EQ(TranslateSex("Male", 2), "Male");
  EXPECT_EQ(TranslateGroupName("成男", 1), "Adult male");
  EXPECT_EQ(TranslateGroupName("Adult male", 0), "成男");
  EXPECT_EQ(TranslateGroupName("Adult male", 3), "Adult male");
}

class PatientSql : public ::testing::Test {
 protected:
  PatientFolder folder;
};

TEST_F(PatientSql, ApostrophesAreStoredAsQuotationMarks) {
  PatientColumns p;
  p.sampleNo = "7";
  p.name = "O'Brien";
  p.sex = "Male";
  p.age = 5;
  p.ageUnit = "M";
  p.referValue = "General";
  p.medicalNo = "M'1";
  p.bedNo = "B'2";
  p.dept = "Ped's";
  p.sender = "Dr 'A'";
  p.scrutator = "I'";
  p.checker = "'V";
  CADOConn conn;
  ASSERT_EQ(conn.Execute(PatientInsertSql(p, "2026-01-05", "08:00:00", "Whole blood")), 1);
  EXPECT_EQ(Scalar("select Name from Person where SampleNo='7'"), "O‘Brien");
  EXPECT_EQ(Scalar("select Age || AgeUnit || BloodType from Person where SampleNo='7'"), "5MWhole blood");
  EXPECT_EQ(Scalar("select Sender from Person where SampleNo='7'"), "Dr ‘A‘");
  p.name = "D'Arc";
  p.checker = "x";
  ASSERT_EQ(conn.Execute(PatientUpdateSql(p, "2026-01-05")), 1);
  EXPECT_EQ(Scalar("select Name || '|' || Checker || '|' || Dept from Person where SampleNo='7'"), "D‘Arc|x|Ped‘s");
  EXPECT_EQ(Scalar("select count(*) from Person"), "1");
}

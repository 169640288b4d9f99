// The input checks of the calibration screens as tables: typed numbers, the factor, percent and
// default ranges, and every field of a calibrator batch with its statements.
#include <gtest/gtest.h>

#include "calibration/calibrator_batch.h"
#include "calibration/calibration_input.h"
#include "core/ado_conn.h"
#include "tests/support/program_folder.h"

using namespace calibration;

namespace {

TEST(CalibrationNumbers, TypedWithAPoint) {
  struct Case {
    const char* text;
    bool number;
  } cases[] = {{"1", true},    {"1.5", true}, {"-0.5", true}, {".5", true},  {"5.", true},  {"1,5", false},
               {"", false},    {".", false},  {"-", false},   {"1.2.3", false}, {"1e3", false}, {" 1", false},
               {"abc", false}, {"12a", false}};
  for (const Case& c : cases) EXPECT_EQ(IsCalibrationNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(CalibrationRanges, FactorsPercentsAndDefaults) {
  struct Case {
    InputCheck (*check)(const std::string*, int);
    const char* value;
    bool ok;
    CaliText message;
  } cases[] = {
      {CheckFactorTexts, "0.75", true, CaliText::Range075To15},   {CheckFactorTexts, "1.5", true, CaliText::Range075To15},
      {CheckFactorTexts, "0.74", false, CaliText::Range075To15},  {CheckFactorTexts, "1.51", false, CaliText::Range075To15},
      {CheckFactorTexts, "x", false, CaliText::DigitsForCalibration},
      {CheckPercentTexts, "75", true, CaliText::Range75To150},    {CheckPercentTexts, "150", true, CaliText::Range75To150},
      {CheckPercentTexts, "74.99", false, CaliText::Range75To150},
      {CheckPercentTexts, "150.01", false, CaliText::Range75To150},
      {CheckPercentTexts, "", false, CaliText::DigitsForCalibration},
      // The defaults are held to the range their message names.
      {CheckDefaultTexts, "0.01", true, CaliText::Range001To9999}, {CheckDefaultTexts, "99.99", true, CaliText::Range001To9999},
      {CheckDefaultTexts, "0", false, CaliText::Range001To9999},   {CheckDefaultTexts, "100", false, CaliText::Range001To9999},
      {CheckDefaultTexts, "-1", false, CaliText::Range001To9999},  {CheckDefaultTexts, "a", false, CaliText::Range001To9999},
  };
  for (const Case& c : cases) {
    // The value sits in the third field, after two good ones.
    const std::string texts[3] = {"1.00", "1.00", c.value};
    std::string good[3] = {texts[0], texts[1], texts[2]};
    if (c.check == CheckPercentTexts) good[0] = good[1] = "100";
    const InputCheck r = c.check(good, 3);
    EXPECT_EQ(r.ok, c.ok) << c.value;
    if (!c.ok) {
      EXPECT_EQ(r.field, 2) << c.value;
      EXPECT_EQ(r.message, c.message) << c.value;
    }
  }
}

TEST(CalibratorBatch, FieldChecksInOrder) {
  const sys::LocalTime today{2028, 5, 10, 12, 0, 0, 0, 3};
  auto good = [] {
    BatchFields f;
    f.lot = " CAL-01 ";
    f.year = "2028";
    f.month = "6";
    f.day = "1";
    f.sampleType = 1;
    const char* t[5] = {"7.20", "4.50", "135", "88", "220"};
    for (int i = 0; i < 5; ++i) {
      f.targets[i] = t[i];
      f.selected[i] = 1;
    }
    return f;
  };
  struct Case {
    const char* what;
    void (*change)(BatchFields&);
    bool forSave;
    bool ok;
    CaliText message;
  } cases[] = {
      {"good", [](BatchFields&) {}, true, true, CaliText::SelectLot},
      {"blank lot", [](BatchFields& f) { f.lot = "   "; }, false, false, CaliText::SelectLot},
      {"10 characters", [](BatchFields& f) { f.lot = "ABCDEFGHIJ"; }, true, true, CaliText::SelectLot},
      {"11 characters on Save", [](BatchFields& f) { f.lot = "ABCDEFGHIJK"; }, true, false, CaliText::LotTooLong},
      {"11 characters on OK", [](BatchFields& f) { f.lot = "ABCDEFGHIJK"; }, false, true, CaliText::SelectLot},
      {"empty day", [](BatchFields& f) { f.day = ""; }, false, false, CaliText::FullDate},
      {"letters in the year", [](BatchFields& f) { f.year = "20a8"; }, false, false, CaliText::DateFormat},
      {"month 0", [](BatchFields& f) { f.month = "0"; }, false, false, CaliText::MonthRange},
      {"month 13", [](BatchFields& f) { f.month = "13"; }, false, false, CaliText::MonthRange},
      {"day 0", [](BatchFields& f) { f.day = "0"; }, false, false, CaliText::DayRange},
      {"day 32", [](BatchFields& f) { f.day = "32"; }, false, false, CaliText::DayRange},
      {"31 April", [](BatchFields& f) { f.month = "4"; f.day = "31"; f.year = "2029"; }, false, false, CaliText::DateFormat},
      {"30 April", [](BatchFields& f) { f.month = "4"; f.day = "30"; f.year = "2029"; }, false, true, CaliText::DateFormat},
      {"29 February of a leap year", [](BatchFields& f) { f.year = "2032"; f.month = "2"; f.day = "29"; }, false, true,
       CaliText::DateFormat},
      {"29 February of another year", [](BatchFields& f) { f.year = "2029"; f.month = "2"; f.day = "29"; }, false, false,
       CaliText::DateFormat},
      {"expires today", [](BatchFields& f) { f.month = "5"; f.day = "10"; }, false, true, CaliText::Expired},
      {"expired yesterday", [](BatchFields& f) { f.month = "5"; f.day = "9"; }, false, false, CaliText::Expired},
      {"last year", [](BatchFields& f) { f.year = "2027"; f.month = "12"; f.day = "31"; }, false, false, CaliText::Expired},
      {"no sample type", [](BatchFields& f) { f.sampleType = -1; }, false, false, CaliText::SelectSampleType},
      {"selected target empty", [](BatchFields& f) { f.targets[2] = ""; }, false, false, CaliText::DigitsForReference},
      {"selected target 1,5", [](BatchFields& f) { f.targets[1] = "1,5"; }, false, false, CaliText::DigitsForReference},
      {"unselected target empty", [](BatchFields& f) { f.targets[2] = "x"; f.selected[2] = 0; }, false, true,
       CaliText::DigitsForReference},
      {"trailing blank on OK", [](BatchFields& f) { f.targets[0] = "7.2 "; }, false, true, CaliText::DigitsForReference},
      {"trailing blank on Save", [](BatchFields& f) { f.targets[0] = "7.2 "; }, true, false, CaliText::DigitsForReference},
  };
  for (const Case& c : cases) {
    BatchFields f = good();
    c.change(f);
    BatchRecord r;
    const InputCheck check = CheckBatch(f, today, c.forSave, &r);
    EXPECT_EQ(check.ok, c.ok) << c.what;
    if (!c.ok) EXPECT_EQ(check.message, c.message) << c.what;
  }
  BatchFields f = good();
  f.lot = " AB'12 ";
  f.selected[4] = 0;
  f.targets[4] = "n/a";
  f.targets[0] = "1.005";
  BatchRecord r;
  ASSERT_TRUE(CheckBatch(f, today, false, &r).ok);
  EXPECT_EQ(r.batchNo, "AB\u201812");
  EXPECT_EQ(r.expDate, "2028-06-01");
  EXPECT_EQ(r.bloodType, 1);
  EXPECT_EQ(r.targets[4], 0.0);
  EXPECT_EQ(r.selected[4], 0);
  EXPECT_EQ(f.targets[4], "");
}

TEST(CalibratorBatch, StoredListedLoadedAndDeleted) {
  support::ScratchProgramFolder folder("quorvex_calbatch");
  CADOConn conn;
  BatchRecord r;
  r.batchNo = StoredBatchNo("AB'12");
  r.expDate = "2030-01-31";
  r.bloodType = 2;
  const double t[5] = {7.2, 4.5, 135, 88, 220.004};
  for (int i = 0; i < 5; ++i) {
    r.targets[i] = t[i];
    r.selected[i] = i != 3;
  }
  EXPECT_EQ(SaveBatch(conn, r), 1);
  r.targets[0] = 7.5;
  EXPECT_EQ(SaveBatch(conn, r), 2);  // same number: the row is updated
  EXPECT_EQ(support::QueryText("select count(*) from AutoCalibration"), "1");
  EXPECT_EQ(support::QueryText("select ExpDate from AutoCalibration"), "2030-01-31");
  const std::vector<std::string> list = ListBatchNumbers(conn);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], "AB\u201812");
  const LoadedBatch b = LoadBatch(conn, list[0]);
  ASSERT_TRUE(b.found);
  EXPECT_EQ(b.bloodType, 2);
  EXPECT_NEAR(b.targets[0], 7.5, 1e-4);
  EXPECT_NEAR(b.targets[4], 220.0, 1e-4);
  EXPECT_EQ(b.selected[3], 0);
  EXPECT_EQ(b.selected[4], 1);
  // Delete takes the typed number, apostrophe and all, the way it was stored.
  ASSERT_TRUE(conn.Execute(BatchDeleteSql("AB'12")));
  EXPECT_EQ(support::QueryText("select count(*) from AutoCalibration"), "0");
  EXPECT_FALSE(LoadBatch(conn, list[0]).found);
  conn.Disconnect();
}

TEST(CalendarDays, LeapYears) {
  struct Case {
    int year, month, days;
  } cases[] = {{2024, 2, 29}, {2023, 2, 28}, {2100, 2, 28}, {2000, 2, 29}, {2025, 4, 30}, {2025, 12, 31}, {2025, 13, 0}};
  for (const Case& c : cases) EXPECT_EQ(DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
}

}  // namespace

// The rules of the settings screens that need no window: the integer fields, the checks of the
// system settings and the limits, the soak limits, the unit factors and default decimals, and
// the text record of a group's limits.
#include <gtest/gtest.h>

#include <cmath>

#include "core/param_order.h"
#include "core/value_format.h"
#include "settings/int_field.h"
#include "settings/limit_tables.h"
#include "settings/set_soak_freq.h"
#include "settings/sys_set_rules.h"
#include "settings/unit_rescale.h"

namespace {

using settings::IntFieldCheck;

TEST(IntegerField, NumberThenNoPointThenRange) {
  struct Case {
    const char* text;
    IntFieldCheck result;
    int value;
  } cases[] = {
      {"1", IntFieldCheck::kOk, 1},         {"60", IntFieldCheck::kOk, 60},
      {"0", IntFieldCheck::kOutOfRange, 0}, {"61", IntFieldCheck::kOutOfRange, 0},
      {"", IntFieldCheck::kNotInteger, 0},  {"2.5", IntFieldCheck::kNotInteger, 0},
      {".5", IntFieldCheck::kNotInteger, 0}, {"5.", IntFieldCheck::kNotInteger, 0},
      {"abc", IntFieldCheck::kNotInteger, 0}, {" 5", IntFieldCheck::kNotInteger, 0},
      {"-3", IntFieldCheck::kOutOfRange, 0}, {"99999999999999999999", IntFieldCheck::kOutOfRange, 0},
      {"1,5", IntFieldCheck::kOk, 1},  // a comma passes the number check; the value stops there
  };
  for (const auto& c : cases) {
    int v = -7;
    EXPECT_EQ(settings::CheckIntegerField(c.text, 1, 60, &v), c.result) << c.text;
    if (c.result == IntFieldCheck::kOk) EXPECT_EQ(v, c.value) << c.text;
  }
}

settings::SystemSettingsInput GoodInput() {
  settings::SystemSettingsInput in;
  in.cleanFrequency = "30";
  in.standbyMinutes = "15";
  in.pageHeader = "25";
  in.printerKind = 1;
  const char* clock[6] = {"2026", "03", "14", "10", "20", "30"};
  for (int i = 0; i < 6; ++i) in.clock[i] = clock[i];
  return in;
}

TEST(SystemSettingsInput, EachFieldRefusedWithItsMessageInOrder) {
  struct Case {
    int field;  // 0 clean, 1 standby, 2 header, 3.. clock field (field - 3)
    const char* text;
    int printerKind;
    const char* message;
  } cases[] = {
      {0, "0", 1, "Clean freq(times) should be between 1 and 60!"},
      {0, "61", 1, "Clean freq(times) should be between 1 and 60!"},
      {0, "", 1, "Please input integer for clean freq(times)!"},
      {0, "2.5", 1, "Please input integer for clean freq(times)!"},
      {0, ".25", 1, "Please input integer for clean freq(times)!"},
      {1, "1441", 1, "Standby time(mn) should be between 0 and 1440!"},
      {1, "x", 1, "Please input integer for standby time(mn)!"},
      {1, "-1", 1, "Standby time(mn) should be between 0 and 1440!"},
      {2, "19", 1, "Page Header should be between 20 and 70mm!"},
      {2, "71", 1, "Page Header should be between 20 and 70mm!"},
      {2, "20.5", 1, "Please input integer for Page Header(mm)!"},
      {2, "19", 0, ""},  // with the built-in printer the header is not looked at
      {3 + 1, "2", 1, ""},
      {3 + 2, "30", 1, ""},  // 30 February after the month is set below
      {3 + 1, "13", 1, "The date or time is not valid!"},
      {3 + 2, "32", 1, "The date or time is not valid!"},
      {3 + 3, "24", 1, "The date or time is not valid!"},
      {3 + 4, "60", 1, "The date or time is not valid!"},
      {3 + 5, "61", 1, "The date or time is not valid!"},
      {3 + 0, "", 1, "The date or time is not valid!"},
      {3 + 1, "0", 1, "The date or time is not valid!"},
  };
  for (const auto& c : cases) {
    settings::SystemSettingsInput in = GoodInput();
    in.printerKind = c.printerKind;
    if (c.field == 0) in.cleanFrequency = c.text;
    else if (c.field == 1) in.standbyMinutes = c.text;
    else if (c.field == 2) in.pageHeader = c.text;
    else in.clock[c.field - 3] = c.text;
    settings::SystemSettingsValues v;
    sys::LocalTime t;
    EXPECT_EQ(settings::CheckSystemSettingsInput(in, 1, &v, &t), c.message) << c.field << " '" << c.text << "'";
  }
  // An impossible day of a real month.
  settings::SystemSettingsInput feb = GoodInput();
  feb.clock[1] = "02";
  feb.clock[2] = "30";
  settings::SystemSettingsValues v;
  sys::LocalTime t;
  EXPECT_EQ(settings::CheckSystemSettingsInput(feb, 1, &v, &t), "The date or time is not valid!");
  // Only the first failure is reported: the clean frequency before the stand-by time.
  settings::SystemSettingsInput both = GoodInput();
  both.cleanFrequency = "0";
  both.standbyMinutes = "2000";
  EXPECT_EQ(settings::CheckSystemSettingsInput(both, 1, &v, &t), "Clean freq(times) should be between 1 and 60!");
  // The bounds pass and come back as values.
  settings::SystemSettingsInput edges = GoodInput();
  edges.standbyMinutes = "1440";
  edges.cleanFrequency = "1";
  edges.pageHeader = "70";
  ASSERT_EQ(settings::CheckSystemSettingsInput(edges, 1, &v, &t), "");
  EXPECT_EQ(v.standbyMinutes, 1440);
  EXPECT_EQ(v.cleanFrequency, 1);
  EXPECT_EQ(v.pageHeader, 70);
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.day, 14);
  EXPECT_EQ(t.second, 30);
}

TEST(SystemSettingsLists, FormatsAndLanguages) {
  EXPECT_EQ(settings::PrintFormatEntries(0, 1).size(), 2u);
  EXPECT_EQ(settings::PrintFormatEntries(0, 0).size(), 6u);
  EXPECT_EQ(settings::PrintFormatEntries(1, 3).size(), 4u);
  EXPECT_EQ(settings::PrintFormatEntries(1, 1)[2], "HALF PAGE WITH HISTOGRAMS");
  // A stored index of 2 to 5 shows as "WITHOUT HISTOGRAMS" with the built-in printer in English.
  for (int i = 2; i <= 5; ++i) EXPECT_EQ(settings::ShownFormatIndex(0, 1, i), 1) << i;
  for (int i = 0; i <= 5; ++i) EXPECT_EQ(settings::ShownFormatIndex(0, 0, i), i) << i;
  EXPECT_EQ(settings::LanguageEntries(false).front(), "English");
  EXPECT_EQ(settings::LanguageEntries(false).size(), 4u);
  EXPECT_EQ(settings::LanguageEntries(true).size(), 5u);
  EXPECT_EQ(settings::LanguageOfEntry(0, false), 1);
  EXPECT_EQ(settings::LanguageOfEntry(0, true), 0);
  EXPECT_EQ(settings::EntryOfLanguage(4, false), 3);
}

TEST(SoakLimits, CountsBeforeDays) {
  struct Case {
    const char* times;
    const char* days;
    int language;
    const char* message;
    int fault;
  } cases[] = {
      {"99", "7", 1, "Soak freq(times) should be between 100 and 800!", IDC_SOAK_TIMES},
      {"801", "7", 1, "Soak freq(times) should be between 100 and 800!", IDC_SOAK_TIMES},
      {"100", "0", 1, "Soak freq(days) should be between 1 and 7!", IDC_SOAK_DAYS},
      {"800", "8", 1, "Soak freq(days) should be between 1 and 7!", IDC_SOAK_DAYS},
      {"", "7", 1, "Please input integer for soak freq(times)!", IDC_SOAK_TIMES},
      {"200", "7.5", 1, "Please input integer for soak freq(days)!", IDC_SOAK_DAYS},
      {"200", ".5", 1, "Please input integer for soak freq(days)!", IDC_SOAK_DAYS},
      {"99", "0", 1, "Soak freq(times) should be between 100 and 800!", IDC_SOAK_TIMES},
      // Spanish and French show the English messages.
      {"99", "3", 2, "Soak freq(times) should be between 100 and 800!", IDC_SOAK_TIMES},
      {"99", "3", 3, "Soak freq(times) should be between 100 and 800!", IDC_SOAK_TIMES},
      {"100", "7", 1, "", 0},
      {"800", "1", 1, "", 0},
  };
  for (const auto& c : cases) {
    int times = 0, days = 0, fault = -1;
    EXPECT_EQ(settings::CheckSoakLimits(c.times, c.days, c.language, &times, &days, &fault), c.message)
        << c.times << "/" << c.days;
    EXPECT_EQ(fault, c.fault) << c.times << "/" << c.days;
  }
}

// 40 texts of a valid group: low i, high i + 10 for parameter i.
void ValidTexts(std::string t[40]) {
  for (int p = 0; p < 20; ++p) {
    t[2 * p] = std::to_string(p);
    t[2 * p + 1] = std::to_string(p + 10);
  }
}

TEST(LimitEntries, StepsRunOverAllFortyBeforeTheNext) {
  struct Case {
    int index;
    const char* text;
    const char* message;
  } cases[] = {
      {0, "", "Please input digits for upper and lower limit!"},
      {5, "abc", "Please input digits for upper and lower limit!"},
      {7, "1,5", "Please input digits for upper and lower limit!"},
      {3, "999999.9", "Please input a number between 0 and 999999 for upper and lower limit!"},
      {3, "1234567.8", "The max length of upper and lower limit is 8!"},
      {0, "-1", "Please input a number between 0 and 999999 for upper and lower limit!"},
      {1, "0", "The lower limit should be less than upper limit!"},  // equal to the low limit
      {39, "19", "The lower limit should be less than upper limit!"},
      {3, "  12.5  ", ""},
      {1, "999999", ""},
      {0, "0", ""},
  };
  for (const auto& c : cases) {
    std::string t[40];
    ValidTexts(t);
    t[c.index] = c.text;
    float pairs[40];
    EXPECT_EQ(settings::CheckLimitEntries(t, 1, pairs), c.message) << c.index << " '" << c.text << "'";
  }
  // A length failure late in the list is reported before a digits failure early in it.
  std::string t[40];
  ValidTexts(t);
  t[0] = "x";
  t[38] = "123456789";
  float pairs[40];
  EXPECT_EQ(settings::CheckLimitEntries(t, 1, pairs), "The max length of upper and lower limit is 8!");
  // A group with no row (all zeros) cannot be saved unchanged.
  for (auto& s : t) s = "0";
  EXPECT_EQ(settings::CheckLimitEntries(t, 1, pairs), "The lower limit should be less than upper limit!");
  ValidTexts(t);
  t[2] = " 12.5 ";
  t[3] = "20";
  ASSERT_EQ(settings::CheckLimitEntries(t, 1, pairs), "");
  EXPECT_FLOAT_EQ(pairs[2], 12.5f);
  EXPECT_FLOAT_EQ(pairs[39], 29.0f);
}

TEST(UnitFactors, PowersOfTenBetweenListedUnits) {
  struct Case {
    int slot;
    const char* from;
    const char* to;
    double factor;
  } cases[] = {
      {kUnitWBC, "10^9/L", "10^2/uL", 10},     {kUnitWBC, "10^2/uL", "10^9/L", 0.1},
      {kUnitWBC, "10^9/L", "10^3/uL", 1},      {kUnitWBC, "10^2/mm^3", "10^2/uL", 1},
      {kUnitRBC, "10^12/L", "10^4/uL", 100},   {kUnitRBC, "10^6/uL", "10^4/uL", 100},
      {kUnitRBC, "10^4/uL", "10^12/L", 0.01},  {kUnitHGB, "g/L", "g/dL", 0.1},
      {kUnitHGB, "g/dL", "g/L", 10},           {kUnitMCHC, "g/L", "g/dL", 0.1},
      {kUnitHCT, "%", "L/L", 0.01},            {kUnitHCT, "L/L", "%", 100},
      {kUnitPLT, "10^9/L", "10^4/uL", 0.1},    {kUnitPLT, "10^4/uL", "10^3/uL", 10},
      {kUnitPCT, "%", "mL/L", 10},             {kUnitPCT, "mL/L", "%", 0.1},
      {kUnitHGB, "", "g/dL", 0.1},  // no unit stored yet: the values are in the base unit
      {kUnitHGB, "mmol/L", "g/L", 16.11},      {kUnitHGB, "mmol/L", "g/dL", 1.611},
      {kUnitMCHC, "mmol/L", "g/dL", 1.611},    {kUnitHGB, "furlongs", "g/L", 1},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(settings::RescaleFactor(c.slot, c.from, c.to), c.factor, c.factor * 1e-9) << c.from << "->" << c.to;
  // Between coded units the factor is 10^(code(from) - code(to)).
  for (const auto& c : cases) {
    if (settings::UnitPowerCode(c.from) == 0 || settings::UnitPowerCode(c.to) == 0) continue;
    const double byCode = std::pow(10.0, settings::UnitPowerCode(c.from) - settings::UnitPowerCode(c.to));
    EXPECT_NEAR(settings::RescaleFactor(c.slot, c.from, c.to), byCode, byCode * 1e-9) << c.from << "->" << c.to;
  }
}

TEST(UnitFactors, TheScaleIsTheOneTheResultConversionUses) {
  // A computed result (base units) shown in a unit is the value times that unit's scale.
  const struct {
    int slot;
    int display;
    const char* unit;
  } cases[] = {{kUnitWBC, 0, "10^2/uL"}, {kUnitRBC, 7, "10^4/uL"},  {kUnitHGB, 8, "g/dL"},
               {kUnitHGB, 8, "mmol/L"},  {kUnitHCT, 9, "L/L"},      {kUnitMCHC, 12, "g/dL"},
               {kUnitPLT, 15, "10^4/uL"}, {kUnitPCT, 18, "mL/L"},   {kUnitRBC, 7, "10^6/uL"}};
  for (const auto& c : cases) {
    float v[20];
    for (float& x : v) x = 123.0f;
    std::string units[20];
    units[c.display] = c.unit;
    const auto decimals = UnitDecimals;
    UnitDecimals.fill(3);
    ConvertUnit(v, units, 0);
    UnitDecimals = decimals;
    const double expected = 123.0 * UnitScaleFromBase(c.slot, c.unit);
    EXPECT_NEAR(v[c.display], expected, 0.0006) << c.unit;
  }
}

TEST(DefaultDecimals, FollowTheUnits) {
  const UnitTextSet base = {"10^9/L", "10^12/L", "g/L", "%", "g/L", "10^9/L", "%"};
  const std::array<int32_t, 14> baseDefaults = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  EXPECT_EQ(DefaultUnitDecimals(base), baseDefaults);
  const UnitTextSet mixed = {"10^2/uL", "10^4/uL", "g/dL", "%", "g/L", "10^4/uL", "%"};
  const std::array<int32_t, 14> mixedDefaults = {1, 1, 0, 1, 1, 1, 1, 0, 1, 1, 1, 1, 3, 1};
  EXPECT_EQ(DefaultUnitDecimals(mixed), mixedDefaults);
  const UnitTextSet other = {"10^2/mm^3", "10^4/mm^3", "mmol/L", "L/L", "mmol/L", "10^4/mm^3", "mL/L"};
  const std::array<int32_t, 14> otherDefaults = {1, 1, 0, 1, 3, 1, 1, 1, 1, 1, 1, 1, 2, 1};
  EXPECT_EQ(DefaultUnitDecimals(other), otherDefaults);
}

TEST(LimitsTextRecord, FieldsInTableOrderAndTheChecksumOfTheCharacters) {
  std::string units[20];
  for (int i = 0; i < 20; ++i) units[i] = "u" + std::to_string(i);  // screen order
  float pairs[40];
  for (int p = 0; p < 20; ++p) {
    pairs[2 * p] = static_cast<float>(p);
    pairs[2 * p + 1] = static_cast<float>(p) + 0.5f;
  }
  const std::string record = settings::LimitsTextRecord(settings::LimitTable::kPanic, "General", units, pairs, 1);
  // Table position 9 is MCHC, screen position 12.
  const std::string start = "Panic,General,WBC,u0,0.00,0.50,LYM#,u1,1.00,1.50,";
  ASSERT_EQ(record.rfind(start, 0), 0u) << record;
  EXPECT_NE(record.find(",HGB,u8,8.00,8.50,MCHC,u12,12.00,12.50,MCH,u11,11.00,11.50,MCV,u10,10.00,10.50,RDW-CV,u14,"),
            std::string::npos)
      << record;
  const size_t lastComma = record.rfind(",TRANSFER FINISH");
  ASSERT_NE(lastComma, std::string::npos);
  const size_t sumStart = record.rfind(',', lastComma - 1) + 1;
  const std::string body = record.substr(0, sumStart);
  EXPECT_EQ(body.substr(body.size() - 22), "P-LCR,u19,19.00,19.50,");
  unsigned sum = 0;
  for (unsigned char ch : body) sum += ch;
  EXPECT_EQ(record.substr(sumStart, lastComma - sumStart), std::to_string(sum & 0xFFFF));
}

TEST(LimitsTextRecord, AChineseGroupNameGoesInTheCodePageAndTheSumIsOfTheBytesSent) {
  std::string units[20];
  for (int i = 0; i < 20; ++i) units[i] = "%";
  float pairs[40];
  for (int i = 0; i < 40; ++i) pairs[i] = static_cast<float>(i);
  // "通用" (General) is CD A8 D3 C3 in GBK.
  const std::string record = settings::LimitsTextRecord(settings::LimitTable::kNormal, "通用", units, pairs, 0);
  ASSERT_EQ(record.rfind("Normal,\xCD\xA8\xD3\xC3,WBC,%,0.00,1.00,", 0), 0u) << record;
  const size_t finish = record.rfind(",TRANSFER FINISH");
  ASSERT_NE(finish, std::string::npos);
  const size_t sumStart = record.rfind(',', finish - 1) + 1;
  unsigned sum = 0;
  for (size_t i = 0; i < sumStart; ++i) sum += static_cast<unsigned char>(record[i]);
  EXPECT_EQ(record.substr(sumStart, finish - sumStart), std::to_string(sum & 0xFFFF));
  EXPECT_EQ(record.size(), finish + 16);
}

}  // namespace

// The L-J file settings check, in the order the operator meets its messages.
#include <gtest/gtest.h>

#include "qc/lj_settings_input.h"

namespace {

using qc::LjInputError;

qc::LjSettingsInput Good() {
  qc::LjSettingsInput in;
  in.batch = "A1";
  in.year = "2030";
  in.month = "1";
  in.day = "31";
  in.chosen.fill(0);
  return in;
}

TEST(LjSettingsInput, FirstFailureInOrder) {
  struct Case {
    const char* what;
    void (*edit)(qc::LjSettingsInput&);
    LjInputError expected;
  } cases[] = {
      {"all good", [](qc::LjSettingsInput&) {}, LjInputError::None},
      {"no lot", [](qc::LjSettingsInput& i) { i.batch = ""; i.year = ""; }, LjInputError::NoLot},
      {"no day", [](qc::LjSettingsInput& i) { i.day = ""; }, LjInputError::DateIncomplete},
      {"letters", [](qc::LjSettingsInput& i) { i.month = "a"; }, LjInputError::DateFormat},
      {"comma in the date", [](qc::LjSettingsInput& i) { i.day = "3,1"; }, LjInputError::DateFormat},
      {"month 13", [](qc::LjSettingsInput& i) { i.month = "13"; }, LjInputError::Month},
      {"month 0", [](qc::LjSettingsInput& i) { i.month = "0"; }, LjInputError::Month},
      {"day 32", [](qc::LjSettingsInput& i) { i.day = "32"; }, LjInputError::Day},
      {"day 31 of February", [](qc::LjSettingsInput& i) { i.month = "2"; }, LjInputError::None},
      {"yesterday", [](qc::LjSettingsInput& i) { i.year = "2026"; i.month = "12"; i.day = "9"; }, LjInputError::Expired},
      {"today", [](qc::LjSettingsInput& i) { i.year = "2026"; i.month = "12"; i.day = "10"; }, LjInputError::None},
      {"chosen with empty target", [](qc::LjSettingsInput& i) { i.chosen[3] = 1; i.values[7] = "1"; },
       LjInputError::TargetDigits},
      {"chosen with a comma", [](qc::LjSettingsInput& i) { i.chosen[0] = 1; i.values[0] = "7,5"; i.values[1] = "0.2"; },
       LjInputError::TargetDigits},
      {"chosen limit missing", [](qc::LjSettingsInput& i) { i.chosen[0] = 1; i.values[0] = "7.5"; },
       LjInputError::LimitDigits},
      {"chosen out of range", [](qc::LjSettingsInput& i) { i.chosen[0] = 1; i.values[0] = "1000000"; i.values[1] = "1"; },
       LjInputError::ChosenRange},
      {"unchosen may stay empty", [](qc::LjSettingsInput& i) { i.values[5] = "  2 "; }, LjInputError::None},
      {"unchosen limit negative", [](qc::LjSettingsInput& i) { i.values[5] = "-1"; }, LjInputError::LimitRange},
      {"unchosen target negative", [](qc::LjSettingsInput& i) { i.values[4] = "-1"; }, LjInputError::TargetRange},
  };
  for (const Case& c : cases) {
    qc::LjSettingsInput in = Good();
    c.edit(in);
    std::string date;
    EXPECT_EQ(qc::CheckLjSettingsInput(in, 2026, 12, 10, &date), c.expected) << c.what;
  }
}

TEST(LjSettingsInput, ExpiryTextBatchQuotesAndStoredValues) {
  qc::LjSettingsInput in = Good();
  in.batch = "O'Neil";
  std::string date;
  ASSERT_EQ(qc::CheckLjSettingsInput(in, 2026, 12, 10, &date), LjInputError::None);
  EXPECT_EQ(date, "2030-01-31");
  EXPECT_EQ(in.batch, "O\u2018Neil");
  EXPECT_FLOAT_EQ(qc::StoredSettingValue("12.345"), 12.35f);
  EXPECT_FLOAT_EQ(qc::StoredSettingValue("0.0001"), 0.0f);
  EXPECT_FLOAT_EQ(qc::StoredSettingValue(""), 0.0f);
  EXPECT_FLOAT_EQ(qc::StoredSettingValue("1,5"), 0.0f);
  EXPECT_EQ(qc::SettingValueText(5.0f), "5");
  EXPECT_EQ(qc::SettingValueText(0.0f), "");
}

}  // namespace

#include <gtest/gtest.h>

#include <string>

#include "core/value_format.h"

namespace {

class DecimalsFixture : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = UnitDecimals; UnitDecimals.fill(0); }
  void TearDown() override { UnitDecimals = saved_; }
  std::array<int32_t, kUnitDecimalCount> saved_;
};

struct FormatCase {
  float value;
  int index;
  int plain;
  int slot;      // slot to set, -1 none
  int decimals;  // its count
  const char* expected;
};

using FormatValueTest = DecimalsFixture;

TEST_F(FormatValueTest, Table) {
  const FormatCase cases[] = {
      {12.345f, 9, 0, 4, 1, "12.3"},     // HCT uses slot 4
      {12.345f, 9, 1, 4, 1, "12.345"},   // plain: %g
      {12.345f, 25, 0, -1, 0, "12"},     // outside 0..19: no decimals
      {12.345f, -1, 0, -1, 0, "12"},
      {12.345f, 9, 0, 4, 5, "12.35"},    // out-of-range counts use two decimals
      {12.345f, 9, 0, 4, -1, "12.35"},
      {0.2f, 18, 0, 12, 3, "0.200"},     // PCT slot 12
      {0.2f, 17, 0, 13, 2, "0.20"},      // PDW slot 13
      {33.0f, 19, 0, 13, 1, "33.0"},     // P-LCR shares the PDW slot
      {41.2f, 13, 0, 8, 2, "41.20"},     // RDW-SD slot 8
      {13.1f, 14, 0, 9, 0, "13"},        // RDW-CV slot 9
      {1234567.0f, 0, 1, -1, 0, "1.23457e+06"},
      {-100000.0f, 0, 1, -1, 0, "-100000"},
  };
  for (const auto& c : cases) {
    UnitDecimals.fill(0);
    if (c.slot >= 0) UnitDecimals[c.slot] = c.decimals;
    EXPECT_EQ(FormatValue(c.value, c.index, c.plain), c.expected)
        << c.value << " index " << c.index << " plain " << c.plain;
  }
}

TEST(RoundToDecimalsTest, Table) {
  struct Case { float value; int d; float expected; };
  const Case cases[] = {
      {1.26f, 2, 1.26f},
      {-1.26f, 2, -1.26f},
      {2.5f, 0, 3.0f},
      {-2.5f, 0, -3.0f},       // half away from zero on the negative side as well
      {0.125f, 2, 0.13f},
      {-0.125f, 2, -0.13f},
      {1234.0f, -2, 1200.0f},  // negative count: hundreds
      {1250.0f, -2, 1300.0f},
      {9.0006f, 2, 9.0f},
      {0.0f, 3, 0.0f},
      {-100000.0f, 2, -100000.0f},
  };
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(RoundToDecimals(c.value, c.d), c.expected) << c.value << " d=" << c.d;
}

struct ConvertCase {
  const char* name;
  int index;          // display index under test
  float value;
  const char* unit;
  int decimals;       // count for that parameter's slot (mode 0)
  int mode;
  float expected;
};

using ConvertUnitTest = DecimalsFixture;

TEST_F(ConvertUnitTest, SingleParameterTable) {
  const ConvertCase cases[] = {
      {"HGB g/dL", 8, 145.0f, "g/dL", 1, 0, 14.5f},
      {"HGB mmol/L", 8, 145.0f, "mmol/L", 2, 0, 9.0f},
      {"HGB mg/dL", 8, 145.0f, "mg/dL", 0, 0, 14500.0f},
      {"HGB standard", 8, 145.4f, "g/L", 0, 0, 145.0f},
      {"MCHC g/dL", 12, 331.0f, "g/dL", 1, 0, 33.1f},
      {"MCH fmol", 11, 30.0f, "fmol", 3, 0, 0.457f},
      {"HCT L/L", 9, 45.0f, "L/L", 3, 0, 0.45f},
      {"RBC 10^4/uL", 7, 4.52f, "10^4/uL", 0, 0, 452.0f},
      {"RBC 10^4/mm^3", 7, 4.52f, "10^4/mm^3", 0, 0, 452.0f},
      {"PLT 10^4/uL", 15, 253.0f, "10^4/uL", 1, 0, 25.3f},
      {"PCT mL/L", 18, 0.25f, "mL/L", 2, 0, 2.5f},
      {"unit text is case-sensitive", 8, 145.0f, "G/DL", 0, 0, 145.0f},
      {"QC HGB g/dL one decimal", 8, 145.0f, "g/dL", 0, 1, 14.5f},
      {"QC HGB g/L no decimals", 8, 145.46f, "g/L", 2, 1, 145.0f},
      {"QC PLT 10^4/uL one decimal", 15, 253.0f, "10^4/uL", 0, 1, 25.3f},
      {"QC PLT standard no decimals", 15, 253.4f, "10^9/L", 2, 1, 253.0f},
      {"QC RBC two decimals", 7, 4.526f, "10^12/L", 0, 1, 4.53f},
      {"QC PCT three decimals", 18, 0.2456f, "%", 0, 1, 0.246f},
      {"QC MCV one decimal", 10, 88.26f, "fL", 0, 1, 88.3f},
      {"invalid HGB untouched", 8, -100000.0f, "g/dL", 1, 0, -100000.0f},
  };
  for (const auto& c : cases) {
    float v[20];
    std::string u[20];
    for (float& x : v) x = 1.0f;
    v[c.index] = c.value;
    u[c.index] = c.unit;
    UnitDecimals.fill(1);
    UnitDecimals[DecimalSlotOfDisplayIndex(c.index)] = c.decimals;
    ConvertUnit(v, u, c.mode);
    EXPECT_NEAR(v[c.index], c.expected, 1e-4) << c.name;
  }
}

TEST_F(ConvertUnitTest, WbcGroupScalesTogetherAndGranulocytesAreRecomputed) {
  float v[20] = {7.5f, 2.0f, 0.5f, 4.9f, 26.7f, 6.6f, 66.0f};
  std::string u[20];
  u[0] = "10^2/uL";
  UnitDecimals.fill(1);
  ConvertUnit(v, u, 0);
  EXPECT_FLOAT_EQ(v[0], 75.0f);
  EXPECT_FLOAT_EQ(v[1], 20.0f);
  EXPECT_FLOAT_EQ(v[2], 5.0f);
  EXPECT_FLOAT_EQ(v[3], 50.0f);   // 75 - 20 - 5, not 49
  EXPECT_NEAR(v[6], 66.7f, 1e-4);  // 100 - 26.7 - 6.6
}

TEST_F(ConvertUnitTest, InvalidOperandsLeaveTheGranulocytesAlone) {
  struct Case {
    const char* name;
    float wbc, lym, mid, lymp, midp;
    float graa, grap;  // expected
  };
  const float X = kInvalidParamValue;
  const Case cases[] = {
      {"all valid", 7.0f, 2.0f, 0.5f, 30.0f, 7.0f, 4.5f, 63.0f},
      {"WBC invalid", X, 2.0f, 0.5f, 30.0f, 7.0f, 9.9f, 99.9f},
      {"LYM# invalid", 7.0f, X, 0.5f, 30.0f, 7.0f, 9.9f, 99.9f},
      {"MID# invalid", 7.0f, 2.0f, X, 30.0f, 7.0f, 9.9f, 63.0f},
      {"MID% invalid", 7.0f, 2.0f, 0.5f, 30.0f, X, 4.5f, 99.9f},
      {"LYM% invalid", 7.0f, 2.0f, 0.5f, X, 7.0f, 4.5f, 99.9f},
  };
  for (const auto& c : cases) {
    float v[20] = {c.wbc, c.lym, c.mid, 9.9f, c.lymp, c.midp, 99.9f};
    std::string u[20];
    u[0] = "10^9/L";
    UnitDecimals.fill(1);
    ConvertUnit(v, u, 0);
    EXPECT_FLOAT_EQ(v[3], c.graa) << c.name;
    EXPECT_FLOAT_EQ(v[6], c.grap) << c.name;
  }
}

TEST_F(ConvertUnitTest, InvalidWbcGroupIsNeitherConvertedNorRounded) {
  const float X = kInvalidParamValue;
  float v[20] = {X, 2.04f, X, 3.33f};
  std::string u[20];
  u[0] = "10^2/uL";
  UnitDecimals.fill(0);
  ConvertUnit(v, u, 0);
  EXPECT_EQ(v[0], X);
  EXPECT_EQ(v[1], 2.0f);  // rounded, but not multiplied: WBC decides the conversion
  EXPECT_EQ(v[2], X);
  EXPECT_EQ(v[3], 3.0f);
}

TEST_F(ConvertUnitTest, ValidWbcNeverTurnsAnInvalidDifferentialValid) {
  const float X = kInvalidParamValue;
  float v[20] = {7.5f, X, 0.5f, X};
  std::string u[20];
  u[0] = "10^2/uL";
  UnitDecimals.fill(1);
  ConvertUnit(v, u, 0);
  EXPECT_EQ(v[1], X);
  EXPECT_EQ(v[3], X);
  EXPECT_FLOAT_EQ(v[2], 5.0f);
}

TEST(StrPrintfTest, ShortAndLongTexts) {
  EXPECT_EQ(StrPrintf("%d-%.2d-%.2d", 2026, 3, 7), "2026-03-07");
  EXPECT_EQ(StrPrintf("%.2f", 1.005), "1.00");
  std::string longText(1000, 'x');
  EXPECT_EQ(StrPrintf("<%s>", longText.c_str()), "<" + longText + ">");
}

}  // namespace

// HGB channel: the reading checks at their boundaries and the value from the absorbance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "algorithm/Zentil.h"
#include "channel_fixture.h"
#include "sample_histograms.h"

namespace {

using zentil_test::kInvalid;

struct HgbCase {
  const char* name;
  std::vector<std::uint16_t> blank;
  std::vector<std::uint16_t> sample;
  std::uint8_t readingFault, blankFault;
  std::uint8_t expectError, expectAlarm;
  float expectHgb;  // kInvalid, or the value (NaN: not checked)
};

float Hgb(double blankSum, double sampleSum) {
  return static_cast<float>(std::log(blankSum / sampleSum) * 223.11);
}

class HgbChannel : public zentil_test::ChannelTest {
 protected:
  void Run(const HgbCase& c) {
    input.HgbBlankReadings = c.blank.data();
    input.HgbSampleReadings = c.sample.data();
    input.HgbReadingCount = static_cast<std::uint32_t>(c.blank.size());
    input.HgbReadingFault = c.readingFault;
    input.HgbBlankFault = c.blankFault;
    std::memset(&result, 0, sizeof(result));
    ASSERT_EQ(CbcAlgorithmHgb(&result, &input), 0);
  }
};

std::vector<std::uint16_t> Same(int n, std::uint16_t v) { return std::vector<std::uint16_t>(n, v); }

}  // namespace

TEST_F(HgbChannel, ReadingChecksAndValues) {
  const float nan = std::nanf("");
  const HgbCase cases[] = {
      {"clear blank and sample: HGB 0", Same(5, 3400), Same(5, 3400), 0, 0, 0, 0, 0.0f},
      {"blank mean 4420 is in range", Same(4, 4420), Same(4, 4420), 0, 0, 1, 0, nan},
      {"blank mean 4421 raises the alarm", Same(4, 4421), Same(4, 4421), 0, 0, 1, 1, nan},
      {"blank mean 2380 is in range", Same(4, 2380), Same(4, 2380), 0, 0, 0, 0, 0.0f},
      {"blank mean 2379 raises the alarm", Same(4, 2379), Same(4, 2379), 0, 0, 0, 1, nan},
      {"blank reading 1000 is no error", {1000, 1000, 1000}, Same(3, 900), 0, 0, 0, 1, nan},
      {"blank reading 999 is an error", {999, 999, 999}, Same(3, 900), 0, 0, 1, 1, nan},
      {"blank reading 3900 is no error", {3900, 3900, 3900}, Same(3, 2000), 0, 0, 0, 0, nan},
      {"blank reading 3901 is an error", {3901, 3901, 3901}, Same(3, 2000), 0, 0, 1, 0, nan},
      {"sample reading 0 is an error", Same(3, 3400), {1800, 0, 1800}, 0, 0, 1, 1, nan},
      {"blank spread above 10 %", {3200, 3600, 3400}, Same(3, 1800), 0, 0, 0, 1, nan},
      {"sample spread above 10 %", Same(3, 3400), {1700, 1900, 1800}, 0, 0, 0, 1, nan},
      {"reading fault forced", Same(3, 3400), Same(3, 1800), 1, 0, 1, 0, nan},
      {"blank fault forced", Same(3, 3400), Same(3, 1800), 0, 1, 0, 1, nan},
      {"one reading: nothing dropped", {3400}, {1800}, 0, 0, 0, 0, Hgb(3400, 1800)},
      {"two readings: nothing dropped", {3400, 3410}, {1800, 1805}, 0, 0, 0, 0, Hgb(6810, 3605)},
      {"three readings keep the middle one", {3390, 3400, 3405}, {1790, 1800, 1830}, 0, 0, 0, 0,
       Hgb(3400, 1800)},
      {"empty sample sum gives 0", {3400, 3400, 3400}, {0, 0, 0}, 0, 0, 1, 0, 0.0f},
      {"sample brighter than blank: 0", Same(3, 3000), Same(3, 3050), 0, 0, 0, 0, 0.0f},
      {"strongly negative absorbance: invalid", Same(3, 2400), Same(3, 3900), 0, 0, 0, 0, kInvalid},
  };
  for (const HgbCase& c : cases) {
    Run(c);
    EXPECT_EQ(result.ChannelError[3], c.expectError) << c.name;
    EXPECT_EQ(result.ChannelAlarm[3], c.expectAlarm) << c.name;
    if (!std::isnan(c.expectHgb)) {
      EXPECT_NEAR(result.HGB, c.expectHgb, 0.01f) << c.name;
    }
    EXPECT_EQ(result.ChannelError[0] + result.ChannelError[1] + result.ChannelError[2], 0) << c.name;
  }
}

TEST_F(HgbChannel, NoReadingsGivesInvalidWithBothBytes) {
  input.HgbReadingCount = 0;
  ASSERT_EQ(CbcAlgorithmHgb(&result, &input), 0);
  EXPECT_EQ(result.HGB, kInvalid);
  EXPECT_EQ(result.ChannelError[3], 1);
  EXPECT_EQ(result.ChannelAlarm[3], 1);
  // A count announced without its arrays is treated the same, not read.
  input.HgbReadingCount = 10;
  std::memset(&result, 0, sizeof(result));
  ASSERT_EQ(CbcAlgorithmHgb(&result, &input), 0);
  EXPECT_EQ(result.HGB, kInvalid);
  EXPECT_EQ(result.ChannelError[3], 1);
}

// The value crosses from 0 to invalid at an absorbance value of -4, scaled here by the factor.
TEST_F(HgbChannel, NegativeValueBoundary) {
  const std::vector<std::uint16_t> blank = Same(1, 3000), sample = Same(1, 3400);
  const double raw = std::log(3000.0 / 3400.0) * 223.11;  // about -27.9
  struct Case {
    double target;
    float expect;
  } cases[] = {{-0.5, 0.0f}, {-3.9, 0.0f}, {-4.1, kInvalid}, {-20.0, kInvalid}};
  for (const Case& c : cases) {
    input.HgbFactor = static_cast<float>(c.target / raw);
    Run({"", blank, sample, 0, 0, 0, 0, 0});
    EXPECT_EQ(result.HGB, c.expect) << c.target;
  }
}

TEST_F(HgbChannel, DilutionCalibrationAndFactor) {
  const std::vector<std::uint16_t> blank = Same(5, 3400), sample = Same(5, 1800);
  const float base = Hgb(3400, 1800);
  Run({"", blank, sample, 0, 0, 0, 0, 0});
  EXPECT_NEAR(result.HGB, base, 0.01f);
  input.WbcDilution = 337.72f;  // prediluted: K scales with the dilution
  Run({"", blank, sample, 0, 0, 0, 0, 0});
  EXPECT_NEAR(result.HGB, base * 337.72f / 280.0f, 0.02f);
  input.WbcDilution = 280.0f;
  input.HgbFactor = 1.1f;
  Run({"", blank, sample, 0, 0, 0, 0, 0});
  EXPECT_NEAR(result.HGB, base * 1.1f, 0.02f);
  // A block's gain 3.0 and offset -20 are held at 1.5 and -10.
  AlgorithmPara para{};
  GetFlagAlgorithmParaDefault(&para.Flag);
  GetECalAlgorithmParaDefault(&para.ECal);
  para.ECal.Pair[ECalHGB] = {3.0f, -20.0f};
  LoadAlgorithmPara(&para);
  input.HgbFactor = 1.0f;
  Run({"", blank, sample, 0, 0, 0, 0, 0});
  EXPECT_NEAR(result.HGB, base * 1.5f - 10.0f, 0.02f);
  LoadAlgorithmPara(nullptr);
}

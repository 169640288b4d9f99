// Whole counts of realistic samples: values in their physiological ranges, the expected rule
// flags, and the values the rules give from the raw counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "algorithm/Zentil.h"
#include "channel_fixture.h"
#include "sample_histograms.h"

namespace {

using zentil_test::kInvalid;

struct Range {
  const char* name;
  float AlgorithmResult::*field;
  float low, high;
};

AlgorithmResult Compute(const zentil_test::Sample& s) {
  AlgorithmInput input;
  std::vector<std::uint16_t> blank, sample;
  zentil_test::MakeInput(input, s, blank, sample);
  AlgorithmResult result;
  std::memset(&result, 0, sizeof(result));
  EXPECT_EQ(AlgorithmMain(&result, &input, nullptr), 0);
  return result;
}

// The 20 parameters in display order, then the lines and the histogram flags Quorvex reads.
std::vector<std::pair<std::string, double>> Vector(const AlgorithmResult& r) {
  return {{"WBC", r.WBC},         {"LYM#", r.LymCount},    {"MID#", r.MidCount},
          {"GRA#", r.GraCount},   {"LYM%", r.LymPercent},  {"MID%", r.MidPercent},
          {"GRA%", r.GraPercent}, {"RBC", r.RBC},          {"HGB", r.HGB},
          {"HCT", r.HCT},         {"MCV", r.MCV},          {"MCH", r.MCH},
          {"MCHC", r.MCHC},       {"RDW-CV", r.RDWCV},     {"RDW-SD", r.RDWSD},
          {"PLT", r.PLT},         {"MPV", r.MPV},          {"PDW", r.PDW},
          {"PCT", r.PCT},         {"P-LCR", r.PLCR},       {"WBC line 0", r.WbcLines[0]},
          {"WBC line 1", r.WbcLines[1]}, {"WBC line 2", r.WbcLines[2]}, {"WBC line 3", r.WbcLines[3]},
          {"RBC lower", r.RbcLower}, {"RBC upper", r.RbcUpper}, {"PLT lower", r.PltLower},
          {"PLT upper", r.PltUpper}, {"LF1", r.LF1}, {"LF2", r.LF2}, {"LF3", r.LF3}, {"LF4", r.LF4},
          {"PF1", r.PF1}, {"PF2", r.PF2}, {"WBC low", r.WbcLow}, {"PLT low", r.PltLow}};
}


}  // namespace

TEST(ReferenceSamples, ValuesInPhysiologicalRanges) {
  using R = AlgorithmResult;
  const std::map<std::string, std::vector<Range>> ranges = {
      {"normal",
       {{"WBC", &R::WBC, 4, 10},        {"LYM%", &R::LymPercent, 20, 40}, {"GRA%", &R::GraPercent, 50, 70},
        {"MID%", &R::MidPercent, 2, 12}, {"RBC", &R::RBC, 4, 5.5},       {"HGB", &R::HGB, 120, 160},
        {"HCT", &R::HCT, 36, 50},       {"MCV", &R::MCV, 80, 100},       {"MCH", &R::MCH, 27, 34},
        {"MCHC", &R::MCHC, 320, 360},   {"RDW-SD", &R::RDWSD, 35, 56},   {"PLT", &R::PLT, 150, 400},
        {"MPV", &R::MPV, 7, 11},        {"PDW", &R::PDW, 9, 17},         {"PCT", &R::PCT, 0.1f, 0.35f},
        {"P-LCR", &R::PLCR, 10, 45}}},
      {"anaemic",
       {{"RBC", &R::RBC, 2.5f, 4},      {"HGB", &R::HGB, 60, 110},       {"MCV", &R::MCV, 55, 80},
        {"MCH", &R::MCH, 18, 27},       {"HCT", &R::HCT, 15, 36},        {"WBC", &R::WBC, 4, 10},
        {"PLT", &R::PLT, 150, 450}}},
      {"thrombocytopenic",
       {{"PLT", &R::PLT, 10, 100},      {"WBC", &R::WBC, 4, 10},         {"HGB", &R::HGB, 120, 160},
        {"MPV", &R::MPV, 7, 12}}},
      {"high WBC",
       {{"WBC", &R::WBC, 18, 40},       {"GRA%", &R::GraPercent, 70, 90}, {"LYM%", &R::LymPercent, 5, 25},
        {"HGB", &R::HGB, 120, 160},     {"PLT", &R::PLT, 150, 400}}},
  };
  for (const zentil_test::Sample& s : zentil_test::ReferenceSamples()) {
    const AlgorithmResult r = Compute(s);
    for (const Range& range : ranges.at(s.name)) {
      EXPECT_GE(r.*range.field, range.low) << s.name << " " << range.name;
      EXPECT_LE(r.*range.field, range.high) << s.name << " " << range.name;
    }
    for (const auto& [name, value] : Vector(r)) EXPECT_NE(value, kInvalid) << s.name << " " << name;
  }
}

TEST(ReferenceSamples, RuleFlagsFollowTheValues) {
  const auto& samples = zentil_test::ReferenceSamples();
  const AlgorithmResult normal = Compute(samples[0]);
  const AlgorithmResult anaemic = Compute(samples[1]);
  const AlgorithmResult low = Compute(samples[2]);
  const AlgorithmResult high = Compute(samples[3]);
  EXPECT_EQ(normal.WbcHigh + normal.HgbLowThreshold + normal.McvLow + normal.PltLowThreshold, 0);
  EXPECT_EQ(anaemic.HgbLowThreshold, 1);
  EXPECT_EQ(anaemic.McvLow, 1);
  EXPECT_EQ(low.PltLowThreshold, 1);
  EXPECT_EQ(low.HgbLowThreshold, 0);
  EXPECT_EQ(high.WbcHigh, 1);
  EXPECT_EQ(high.WbcLowThreshold, 0);
}

// What the rules give for every reference count, worked out from its histograms and readings:
// the WBC count from the raw channels above line 0 with the coincidence correction, HGB from
// the readings without their extremes, the differential as the raw shares between the lines
// (the neutral calibration keeps them), and the values derived from others.
TEST(ReferenceSamples, ValuesFollowTheirRulesFromTheRawCounts) {
  for (const zentil_test::Sample& s : zentil_test::ReferenceSamples()) {
    AlgorithmInput input;
    std::vector<std::uint16_t> blank, sample;
    zentil_test::MakeInput(input, s, blank, sample);
    AlgorithmResult r;
    std::memset(&r, 0, sizeof(r));
    ASSERT_EQ(AlgorithmMain(&r, &input, nullptr), 0);
    const char* n = s.name.c_str();

    ASSERT_EQ(r.WbcLines[0], 10) << n;
    double pulses = 0;
    for (int k = 10; k < 256; ++k) pulses += input.WbcHistogram[k];
    const double m = std::log(1.0 / (1.0 - pulses / 10.0 * 0.000058)) / 0.000058;
    EXPECT_NEAR(r.WBC, 0.001 * m * 280.0 / 25.6, 1e-4 * r.WBC) << n;

    double sb = 0, ss = 0;
    for (std::uint16_t v : blank) sb += v;
    for (std::uint16_t v : sample) ss += v;
    sb -= *std::min_element(blank.begin(), blank.end()) + *std::max_element(blank.begin(), blank.end());
    ss -= *std::min_element(sample.begin(), sample.end()) + *std::max_element(sample.begin(), sample.end());
    EXPECT_NEAR(r.HGB, std::log(sb / ss) * 223.11, 1e-3) << n;

    double lym = 0, mid = 0, gra = 0;
    for (int k = r.WbcLines[0]; k < r.WbcLines[1]; ++k) lym += input.WbcHistogram[k];
    for (int k = r.WbcLines[1]; k < r.WbcLines[2]; ++k) mid += input.WbcHistogram[k];
    for (int k = r.WbcLines[2]; k < 256; ++k) gra += input.WbcHistogram[k];
    const double all = lym + mid + gra;
    EXPECT_NEAR(r.LymPercent, 100 * lym / all, 1e-3) << n;
    EXPECT_NEAR(r.MidPercent, 100 * mid / all, 1e-3) << n;
    EXPECT_NEAR(r.GraPercent, 100 * gra / all, 1e-3) << n;
    EXPECT_NEAR(r.LymCount, r.WBC * 0.01 * r.LymPercent, 1e-4) << n;
    EXPECT_NEAR(r.MidCount, r.WBC * 0.01 * r.MidPercent, 1e-4) << n;
    EXPECT_NEAR(r.GraCount, r.WBC - r.LymCount - r.MidCount, 1e-4) << n;

    EXPECT_NEAR(r.HCT, r.RBC * 0.1 * r.MCV, 1e-3) << n;
    EXPECT_NEAR(r.MCH, r.HGB / r.RBC, 1e-3) << n;
    EXPECT_NEAR(r.MCHC, r.HGB * 100 / r.HCT, 1e-2) << n;
    EXPECT_NEAR(r.PCT, r.PLT * r.MPV * 0.0001, 1e-5) << n;
    EXPECT_NEAR(r.PLCC, r.PLCR * r.PLT * 0.01, 1e-3) << n;
    EXPECT_EQ(r.WbcLines[3], 255) << n;
    EXPECT_EQ(r.RbcUpper, 255) << n;
    EXPECT_EQ(r.PltLower, 1) << n;
    EXPECT_GE(r.PltUpper, 50) << n;
    EXPECT_LE(r.PltUpper, 100) << n;
  }
}

// Whole counts of realistic samples: values in their physiological ranges, the expected rule
// flags, and golden vectors that show any later change of the results.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "algorithm/Zentil.h"
#include "channel_fixture.h"
#include "sample_histograms.h"

namespace {

using zentil_test::kInvalid;
const std::string kGolden = std::string(QUORVEX_TEST_DATA_DIR) + "/golden_samples.csv";

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

std::string Format(double v) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.6g", v);
  return text;
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

// Set QUORVEX_UPDATE_GOLDEN=1 to write the file again after an intended change.
TEST(ReferenceSamples, GoldenVectors) {
  std::setlocale(LC_NUMERIC, "C");
  std::map<std::string, std::vector<std::pair<std::string, double>>> computed;
  for (const zentil_test::Sample& s : zentil_test::ReferenceSamples()) computed[s.name] = Vector(Compute(s));

  const char* update = std::getenv("QUORVEX_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream out(kGolden);
    out << "sample,quantity,value\n";
    for (const zentil_test::Sample& s : zentil_test::ReferenceSamples())
      for (const auto& [name, value] : computed[s.name]) out << s.name << "," << name << "," << Format(value) << "\n";
    GTEST_SKIP() << "golden vectors written to " << kGolden;
  }

  std::ifstream in(kGolden);
  ASSERT_TRUE(in.good()) << kGolden << " is missing (QUORVEX_UPDATE_GOLDEN=1 writes it)";
  std::string line;
  std::getline(in, line);
  int checked = 0;
  while (std::getline(in, line)) {
    std::stringstream row(line);
    std::string sample, name, value;
    std::getline(row, sample, ',');
    std::getline(row, name, ',');
    std::getline(row, value, ',');
    const double expect = std::strtod(value.c_str(), nullptr);
    ASSERT_TRUE(computed.count(sample)) << sample;
    bool found = false;
    for (const auto& [n, v] : computed[sample]) {
      if (n != name) continue;
      found = true;
      EXPECT_NEAR(v, expect, 1e-4 * std::fabs(expect) + 1e-4) << sample << " " << name;
    }
    EXPECT_TRUE(found) << sample << " " << name;
    ++checked;
  }
  std::size_t total = 0;
  for (const auto& [s, v] : computed) total += v.size();
  EXPECT_EQ(static_cast<std::size_t>(checked), total);
}

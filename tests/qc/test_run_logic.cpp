// The control count's agreement rules, the run's histograms and its values as the QC file keeps
// them, against numbers worked out by hand.
#include <gtest/gtest.h>

#include <memory>

#include "qc/lj_run_result.h"
#include "qc/qc_common.h"

namespace {

using measurement::QuickValues;

QuickValues Quick(int channel, float c1, float c2, float c3 = 0.0f) {
  QuickValues q;
  for (int ch = 0; ch < 3; ++ch) q.values[ch][0] = q.values[ch][1] = q.values[ch][2] = 100.0f;
  q.values[channel][0] = c1;
  q.values[channel][1] = c2;
  q.values[channel][2] = c3;
  return q;
}

TEST(ControlCounts, AgreementRulesPerChannel) {
  struct Case {
    int channel;
    float c1, c2;
    bool disagree;
  } cases[] = {
      {measurement::CountWbc, 5.0f, 5.3f, false},   // 6 %
      {measurement::CountWbc, 5.0f, 5.5f, true},    // 10 %, d 0.5
      {measurement::CountWbc, 1.0f, 1.15f, false},  // 15 % but d 0.15
      {measurement::CountRbc, 4.0f, 4.4f, true},
      {measurement::CountPlt, 15.0f, 60.0f, false},  // smaller not above 20
      {measurement::CountPlt, 40.0f, 50.0f, false},  // d 10 not above 10
      {measurement::CountPlt, 40.0f, 51.0f, true},   // 11 / 40 >= 0.2
      {measurement::CountPlt, 200.0f, 220.0f, false},
      {measurement::CountPlt, 200.0f, 240.0f, true},
      {measurement::CountWbc, 0.0f, 0.0f, false},  // a zero first count divides nothing
      {measurement::CountWbc, 0.0f, 0.3f, true},
      {measurement::CountWbc, 0.0f, 0.19f, false},  // the 0.2 difference still has to be reached
      {measurement::CountRbc, 0.0f, 4.5f, true},
  };
  for (const Case& c : cases) {
    const measurement::DisagreementMarks m = qc::CompareControlCounts(Quick(c.channel, c.c1, c.c2));
    EXPECT_EQ(m.channel[c.channel], c.disagree) << c.channel << " " << c.c1 << " " << c.c2;
  }
}

struct Counts {
  measurement::CountHistograms c1, c2;
  measurement::HistogramBuffers b;
};

std::unique_ptr<Counts> ThreeCounts(uint16_t one, uint16_t two, float three) {
  auto c = std::make_unique<Counts>();
  for (auto& v : c->c1.wbc) v = one;
  for (auto& v : c->c2.wbc) v = two;
  for (auto& v : c->b.wbc) v = three;
  for (auto& v : c->c1.plt) v = one;
  for (auto& v : c->c2.plt) v = two;
  for (auto& v : c->b.plt) v = three;
  return c;
}

TEST(ControlCounts, TwoCountsAreAveraged) {
  auto c = ThreeCounts(10, 21, 999);
  qc::CombineControlCounts(c->c1, c->c2, QuickValues{}, false, c->b);
  EXPECT_FLOAT_EQ(c->b.wbc[7], 15.5f);
  EXPECT_FLOAT_EQ(c->b.plt[127], 15.5f);
}

TEST(ControlCounts, ThreeCountsTakeTheClosestPairAndTiedPairsAsPairs) {
  // WBC 5.0, 5.2, 6.0: counts 1 and 2 lie closest.
  auto c = ThreeCounts(100, 120, 300);
  qc::CombineControlCounts(c->c1, c->c2, Quick(measurement::CountWbc, 5.0f, 5.2f, 6.0f), true, c->b);
  EXPECT_FLOAT_EQ(c->b.wbc[0], 110.0f);
  // Count 3 exactly between counts 1 and 2 (4, 8, 6): pairs (2,3) and (1,3) tie; each pair's
  // mean (160 + 200) / 2 = 180 and (100 + 200) / 2 = 150, averaged: 165.
  c = ThreeCounts(100, 160, 200);
  qc::CombineControlCounts(c->c1, c->c2, Quick(measurement::CountWbc, 4.0f, 8.0f, 6.0f), true, c->b);
  EXPECT_FLOAT_EQ(c->b.wbc[3], 165.0f);
  // PLT channel by its own quick values: all 100 here, every pair ties: (160+200)/2, (100+200)/2,
  // (100+160)/2 averaged = (180 + 150 + 130) / 3.
  EXPECT_NEAR(c->b.plt[3], (180.0f + 150.0f + 130.0f) / 3.0f, 1e-4);
}

TEST(ControlValues, CellTexts) {
  EXPECT_EQ(qc::RunCellText(-2.0f), "");
  EXPECT_EQ(qc::RunCellText(-1.0f), "-----");
  EXPECT_EQ(qc::RunCellText(0.0f), "0");
  EXPECT_EQ(qc::RunCellText(7.25f), "7.25");
}

}  // namespace

namespace {

TEST(ControlRunFaults, TextsAndIconsOfTheBoardsFaultReports) {
  struct Case {
    uint8_t command, code;
    const char* text;
    bool error;
  } cases[] = {
      {0x90, 0, "Needle abnormal!", false}, {0x91, 7, "Needle abnormal!", false}, {0x01, 2, "", false},
      {0x03, 5, "", false},                 {0x62, 2, "Liquid syringe abnormal!", true},
      {0x61, 3, "Carriage abnormal!", true}, {0x60, 4, "Needle abnormal!", true},
      {0x63, 5, "Pressure syringe abnormal!", true}, {0x63, 9, "", false},
  };
  for (const Case& c : cases) {
    bool error = !c.error;
    EXPECT_EQ(qc::BoardFaultText(c.command, c.code, 1, &error), c.text) << int(c.command) << " " << int(c.code);
    EXPECT_EQ(error, c.error) << int(c.command) << " " << int(c.code);
  }
  bool error = true;
  EXPECT_EQ(qc::BoardFaultText(0x60, 4, 3, &error), "Aiguille anormale!");
  EXPECT_FALSE(error);
}

}  // namespace

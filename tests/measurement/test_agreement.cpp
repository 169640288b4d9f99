// Agreement of repeated counts and the final histograms built from them.
#include <gtest/gtest.h>

#include "measurement/repeat_agreement.h"
#include "measurement/result_intake.h"

using namespace measurement;

struct FirstPairCase {
  int channel;
  float c1, c2;
  bool disagree;
};

TEST(FirstTwoCounts, RulesPerChannel) {
  const FirstPairCase cases[] = {
      {CountWbc, 5.00f, 5.39f, false},  // 7.8 %
      {CountWbc, 5.00f, 5.40f, true},   // 8 % and 0.4
      {CountWbc, 1.00f, 1.15f, false},  // 15 % but only 0.15
      {CountWbc, 5.40f, 5.00f, false},  // against count 1: 0.4 / 5.4 < 8 %
      {CountRbc, 4.00f, 4.40f, true},
      {CountRbc, 4.00f, 4.30f, false},
      {CountPlt, 15, 41, true},    // smaller at most 20: d 26 > 25
      {CountPlt, 15, 40, false},   // d 25
      {CountPlt, 30, 41, true},    // larger at most 50: d 11 > 10
      {CountPlt, 30, 40, false},
      {CountPlt, 80, 96, true},    // larger at most 100: 20 %
      {CountPlt, 80, 95, false},
      {CountPlt, 200, 170, true},  // 15 %
      {CountPlt, 200, 171, false},
      {CountPlt, 100, 100.5f, false},
      {CountWbc, 0.0f, 0.0f, false},  // nothing counted twice
      {CountWbc, 0.0f, 0.3f, true},   // from nothing to something
      // An uncomputed value cannot show agreement: a third count is taken.
      {CountWbc, -100000.0f, 5.0f, true},
      {CountPlt, 200, -100000.0f, true},
      {CountRbc, -100000.0f, -100000.0f, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FirstCountsDisagree(c.channel, c.c1, c.c2), c.disagree)
        << "channel " << c.channel << ": " << c.c1 << " then " << c.c2;
}

TEST(FirstTwoCounts, AnyChannelOrdersThirdCount) {
  QuickValues q;
  q.values[CountWbc][0] = 5.0f;
  q.values[CountWbc][1] = 5.1f;
  q.values[CountRbc][0] = 4.5f;
  q.values[CountRbc][1] = 4.5f;
  q.values[CountPlt][0] = 200;
  q.values[CountPlt][1] = 250;
  DisagreementMarks m = CheckFirstTwoCounts(q);
  EXPECT_FALSE(m.channel[CountWbc]);
  EXPECT_FALSE(m.channel[CountRbc]);
  EXPECT_TRUE(m.channel[CountPlt]);
  EXPECT_TRUE(m.any());
}

struct PairCase {
  int channel, pair;
  float c1, c2, c3;
  bool disagree;
};

TEST(PairAfterThirdCount, BasesPerChannelAndPair) {
  const PairCase cases[] = {
      {CountWbc, 2, 5.0f, 5.3f, 0, false},  // d 0.3, r 0.06
      {CountWbc, 2, 2.0f, 2.2f, 0, true},   // both limits inclusive
      {CountPlt, 2, 15, 45, 0, true},
      {CountPlt, 2, 30, 40, 0, false},
      {CountPlt, 0, 0, 200, 240, true},     // base count 3: 40 / 240
      {CountPlt, 0, 0, 240, 210, false},    // base count 3: 30 / 210 < 0.15
      {CountPlt, 0, 0, 200, 232, false},    // base count 3: 32 / 232 (against count 2 it would be 16 %)
      {CountRbc, 2, 4.0f, 4.4f, 0, true},   // base count 2: 0.4 / 4.4 >= 0.08
      {CountRbc, 2, 4.4f, 4.0f, 0, true},   // base count 2: 0.4 / 4.0
      {CountWbc, 0, 0, 10.0f, 10.9f, true}, // base count 2: 0.9 / 10
      {CountWbc, 1, 10.0f, 0, 10.7f, false},
  };
  for (const auto& c : cases) {
    QuickValues q;
    q.values[c.channel][0] = c.c1;
    q.values[c.channel][1] = c.c2;
    q.values[c.channel][2] = c.c3;
    EXPECT_EQ(PairDisagrees(c.channel, c.pair, q), c.disagree)
        << "channel " << c.channel << " pair " << c.pair << ": " << c.c1 << " " << c.c2 << " " << c.c3;
  }
}

TEST(FinalHistograms, MeanOfTwoCountsKeepsHalves) {
  CountHistograms a, b;
  a.wbc[0] = 65535;
  b.wbc[0] = 65535;  // added as unsigned integers: no 16-bit overflow
  a.rbc[10] = 3;
  b.rbc[10] = 4;
  a.plt[127] = 10;
  b.plt[127] = 10;
  HistogramBuffers out;
  MeanOfTwoCounts(a, b, out);
  EXPECT_FLOAT_EQ(out.wbc[0], 65535.0f);
  EXPECT_FLOAT_EQ(out.rbc[10], 3.5f);
  EXPECT_FLOAT_EQ(out.plt[127], 10.0f);
}

namespace {
struct ThreeCounts {
  CountHistograms c1, c2;
  HistogramBuffers buffers;  // count 3
  QuickValues q;
  ThreeCounts(float w1, float w2, float w3) {
    for (auto& v : c1.wbc) v = 100;
    for (auto& v : c2.wbc) v = 200;
    for (auto& v : buffers.wbc) v = 400.0f;
    q.values[CountWbc][0] = w1;
    q.values[CountWbc][1] = w2;
    q.values[CountWbc][2] = w3;
    for (int ch : {CountRbc, CountPlt})
      for (int k = 0; k < 3; ++k) q.values[ch][k] = 100.0f;
  }
};
}  // namespace

TEST(FinalHistograms, ThirdCountTakesTheClosestPair) {
  struct Case {
    float w1, w2, w3;
    float bin;  // resulting WBC bin
    bool star;
  } cases[] = {
      {10.0f, 10.0f, 12.0f, 150.0f, false},  // only counts 1 and 2 agree best
      {10.0f, 12.0f, 12.1f, 300.0f, false},  // counts 2 and 3
      {10.0f, 14.0f, 10.1f, 250.0f, false},  // counts 1 and 3
      {10.0f, 10.0f, 10.0f, 150.0f, false},  // all equal: every pair in turn, last is counts 1 and 2
      {5.0f, 8.0f, 11.0f, 150.0f, true},     // equal gaps of 3: still disagreeing
      // No quick value at all (the library could not be used): counts 1 and 2, never judged as
      // agreeing.
      {-100000.0f, -100000.0f, -100000.0f, 150.0f, true},
      {-100000.0f, 10.0f, -100000.0f, 150.0f, true},  // only count 2 computed
  };
  for (const auto& c : cases) {
    ThreeCounts t(c.w1, c.w2, c.w3);
    bool stars[3] = {false, false, false};
    CombineThreeCounts(t.c1, t.c2, t.q, t.buffers, stars);
    EXPECT_FLOAT_EQ(t.buffers.wbc[17], c.bin) << c.w1 << " " << c.w2 << " " << c.w3;
    EXPECT_EQ(stars[CountWbc], c.star) << c.w1 << " " << c.w2 << " " << c.w3;
    EXPECT_FALSE(stars[CountRbc]);
  }
}

TEST(FinalHistograms, RoundCountRoundsToNearest) {
  HistogramBuffers b;
  b.wbc[0] = 2.5f;
  b.wbc[1] = 2.49f;
  b.rbc[0] = 70000.0f;
  b.plt[0] = -3.0f;
  CountHistograms c = RoundCount(b);
  EXPECT_EQ(c.wbc[0], 3);
  EXPECT_EQ(c.wbc[1], 2);
  EXPECT_EQ(c.rbc[0], 65535);
  EXPECT_EQ(c.plt[0], 0);
}

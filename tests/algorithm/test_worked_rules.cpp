// Small counts and prepared records whose outcome the rules give exactly, worked out by hand (or
// by a few lines of arithmetic here): the RBC count with its coincidence and MCV correction and
// the RDW window on one smoothed spike; the PLT histogram rules, the PLT score and the three
// red-cell score rules on both sides of their thresholds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "algorithm/Zentil.h"
#include "channel_fixture.h"
#include "sample_histograms.h"

namespace {

using zentil_test::kInvalid;

// Normalised Gaussian weights of `taps` channels around the centre, variance `v`.
std::vector<double> Weights(int taps, double v) {
  std::vector<double> w(taps);
  double sum = 0;
  for (int j = 0; j < taps; ++j) sum += w[j] = std::exp(-std::pow(j - (taps - 1) / 2.0, 2) / (2 * v));
  for (double& x : w) x /= sum;
  return w;
}

}  // namespace

// All 20000 pulses of a 10 s count in channel 100.
//   count: rate 2000/s, e = 1 - 2000 * 0.000062 = 0.876, m = ln(1 / 0.876) / 0.000062;
//   MCV: the raw centroid 100 channels x 0.9765625 fL, divided by (m * 0.00001 + 1);
//   widths: the spike smoothed with variance 5 is the 15-tap Gaussian w0 (centre) .. w7. The
//   window grows from the peak: w0 (channel 100), then w1 right (101, a tie goes right), w1
//   left (99), and w2 right (102, again a tie) passes 60 %: cursors l = 98, r = 102, and the
//   overshoot of w2 is taken back as a fraction d. RDW-CV divides by the centroid of
//   channels 98 to 101.
TEST(WorkedRbc, OneSpikeGivesCountMcvAndWidths) {
  LoadAlgorithmPara(nullptr);
  AlgorithmInput input;
  zentil_test::MakeEmptyInput(input);
  input.RbcHistogram[100] = 20000.0f;
  AlgorithmResult result;
  std::memset(&result, 0, sizeof result);
  result.HGB = 140.0f;
  ASSERT_EQ(CbcAlgorithmRbc(&result, &input), 0);

  const double m = std::log(1.0 / (1.0 - 2000.0 * 0.000062)) / 0.000062;
  const double rbc = m * 0.000001 * 18109.0 / 10.4;
  const double mcv = 100 * 0.9765625 / (m * 0.00001 + 1);
  EXPECT_EQ(result.RbcLower, 30);
  EXPECT_EQ(result.RbcUpper, 255);
  EXPECT_EQ(+result.RbcPulseSum, 20000.0f);
  EXPECT_NEAR(+result.RbcCorrectedRate, m, m * 1e-5);
  EXPECT_NEAR(result.RBC, rbc, rbc * 1e-5);
  EXPECT_NEAR(+result.RawMcv, 97.65625, 1e-4);
  EXPECT_NEAR(result.MCV, mcv, mcv * 1e-5);
  EXPECT_NEAR(result.HCT, rbc * 0.1 * mcv, 1e-3);
  EXPECT_NEAR(result.MCH, 140.0 / rbc, 1e-3);
  EXPECT_NEAR(result.MCHC, 14000.0 / (rbc * 0.1 * mcv), 1e-2);

  const std::vector<double> w = Weights(15, 5.0);  // w[7] is the centre
  const double w0 = w[7], w1 = w[8], w2 = w[9];
  const double taken = w0 + 2 * w1 + w2;
  ASSERT_GT(taken, 0.6);
  ASSERT_LT(w0 + 2 * w1, 0.6);
  const double d = -(taken - 0.6) / w2;
  EXPECT_NEAR(result.RDWSD, (4 + d) * 1.55, 1e-4);
  const double centroid = (98 * w2 + 99 * w1 + 100 * w0 + 101 * w1) / (w2 + 2 * w1 + w0);
  EXPECT_NEAR(result.RDWCV, (4 + d) * 30.8 / centroid, 1e-5);
}

// ---- The PLT histogram rules on a prepared record. The smoothed PLT curve P is 100 over
// ---- channels 2 to 45 and 10 from 46 to 100, so the peak mean a (around channel 10) and the
// ---- reference c (largest of 10 to Up-1) are both 100 and the valley mean b (around channel 50)
// ---- is 10; P at the lower line (1) and at the upper line (70) are the case's values.
namespace {

class PltRules : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadAlgorithmPara(nullptr);
    zentil_test::MakeEmptyInput(input);
    std::memset(&r, 0, sizeof r);
    // A complete normal count as values, so no other rule fires.
    r.WBC = 7.0f;
    r.RBC = 4.5f;
    r.HGB = 140.0f;
    r.HCT = 42.0f;
    r.MCV = 93.0f;
    r.MCH = 31.0f;
    r.MCHC = 333.0f;
    r.RDWSD = 42.0f;
    r.RDWCV = 13.0f;
    r.PLT = 200.0f;
    r.MPV = 9.0f;
    r.PCT = 0.18f;
    r.PDW = 12.0f;
    r.PLCR = 20.0f;
    r.PLCC = 40.0f;
    r.GraPercent = 62.0f, r.LymPercent = 30.0f, r.MidPercent = 8.0f;
    r.GraCount = 4.34f, r.LymCount = 2.1f, r.MidCount = 0.56f;
    r.WbcPulseSum = 5000.0f, r.RbcPulseSum = 5000.0f, r.PltPulseSum = 1000.0f;
    r.WbcLines[0] = 10, r.WbcLines[1] = 50, r.WbcLines[2] = 80, r.WbcLines[3] = 255;
    r.WbcTopEndFraction = 0.5f;
    r.RbcLower = 30, r.RbcUpper = 255;
    r.PltLower = 1, r.PltUpper = 70;
    for (int k = 2; k <= 45; ++k) r.PltSmoothed[k] = 100.0f;
    for (int k = 46; k <= 100; ++k) r.PltSmoothed[k] = 10.0f;
  }
  void Run(float atLower, float atUpper) {
    r.PltSmoothed[r.PltLower] = atLower;
    r.PltSmoothed[r.PltUpper] = atUpper;
    ASSERT_EQ(FlagAlgorithmMain(&r, &input), 0);
  }
  bool IndicesInvalid() const {
    return r.MPV == kInvalid && r.PCT == kInvalid && r.PDW == kInvalid && r.PLCR == kInvalid && r.PLCC == kInvalid;
  }
  AlgorithmInput input;
  AlgorithmResult r;
};

}  // namespace

TEST_F(PltRules, QuietCurveRaisesNothing) {
  Run(5.0f, 10.0f);
  EXPECT_EQ(r.PF1 + r.PF2 + r.PltHistAbnormal + r.PltScoreRule, 0);
  EXPECT_EQ(r.SlotSuspect[SlotPLT], 0);
  EXPECT_EQ(r.PLT, 200.0f);
  EXPECT_FALSE(IndicesInvalid());
  // score: max(100 + 100 (0.05 - 0.2), 100 + 100 (0.1 - 0.5), PDW 12 + 80) = 92
  EXPECT_NEAR(+r.PltScore, 92.0f, 1e-4f);
}

TEST_F(PltRules, LowerAndUpperLineFlagsAtTheirThresholds) {
  struct Case {
    float atLower, atUpper;
    int pf1, pf2;
    bool pltInvalid, indicesInvalid;
  };
  const Case cases[] = {
      {10.0f, 10.0f, 0, 0, false, false},    // d = 0.1 is not above 0.1
      {10.5f, 10.0f, 1, 0, false, false},    // d = 0.105
      {5.0f, 20.0f, 0, 0, false, false},     // e = 0.2 is not above 0.2
      {5.0f, 20.5f, 0, 1, false, false},     // e = 0.205
      {50.0f, 10.0f, 1, 0, false, false},    // d = 0.5 keeps the values
      {50.5f, 10.0f, 1, 0, true, true},      // d = 0.505 takes PLT and its indices
      {5.0f, 65.0f, 0, 1, false, false},     // e = 0.65 keeps the indices
      {5.0f, 65.5f, 0, 1, false, true},      // e = 0.655: the indices alone
      {5.0f, 110.0f, 0, 1, false, true},     // e = 1.1: still the indices alone
      {5.0f, 111.0f, 0, 1, true, true},      // e = 1.11: PLT too
  };
  for (const Case& c : cases) {
    SetUp();
    Run(c.atLower, c.atUpper);
    const std::string name = std::to_string(c.atLower) + " / " + std::to_string(c.atUpper);
    EXPECT_EQ(r.PF1, c.pf1) << name;
    EXPECT_EQ(r.PF2, c.pf2) << name;
    EXPECT_EQ(r.PltHistAbnormal, c.pf1 | c.pf2) << name;
    EXPECT_EQ(r.PLT == kInvalid, c.pltInvalid) << name;
    EXPECT_EQ(IndicesInvalid(), c.indicesInvalid) << name;
    if (!c.pltInvalid && (c.pf1 | c.pf2)) EXPECT_EQ(r.SlotSuspect[SlotPLT], 1) << name;
  }
}

TEST_F(PltRules, WidthAndLargeCellConditions) {
  struct Case {
    const char* name;
    std::function<void(AlgorithmResult&)> set;
    int abnormal;
  };
  const Case cases[] = {
      {"PDW 16", [](AlgorithmResult& r) { r.PDW = 16.0f; }, 0},
      {"PDW 16.1", [](AlgorithmResult& r) { r.PDW = 16.1f; }, 1},
      {"PDW 6", [](AlgorithmResult& r) { r.PDW = 6.0f; }, 0},
      {"PDW 5.9", [](AlgorithmResult& r) { r.PDW = 5.9f; }, 1},
      {"PDW invalid", [](AlgorithmResult& r) { r.PDW = kInvalid; }, 1},
      {"P-LCR 46, MPV 14, upper line 91",
       [](AlgorithmResult& r) { r.PLCR = 46.0f, r.MPV = 14.0f, r.PltUpper = 91; }, 1},
      {"P-LCR 45, MPV 14, upper line 91",
       [](AlgorithmResult& r) { r.PLCR = 45.0f, r.MPV = 14.0f, r.PltUpper = 91; }, 0},
      {"P-LCR 46, MPV 13, upper line 91",
       [](AlgorithmResult& r) { r.PLCR = 46.0f, r.MPV = 13.0f, r.PltUpper = 91; }, 0},
      {"P-LCR 46, MPV 14, upper line 90",
       [](AlgorithmResult& r) { r.PLCR = 46.0f, r.MPV = 14.0f, r.PltUpper = 90; }, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    c.set(r);
    Run(5.0f, 10.0f);
    EXPECT_EQ(r.PltHistAbnormal, c.abnormal) << c.name;
    EXPECT_EQ(r.PF1 + r.PF2, 0) << c.name;
    EXPECT_EQ(r.PLT == kInvalid, false) << c.name;  // d and e are small
  }
}

TEST_F(PltRules, ShapeAndChannelErrorInvalidatePlt) {
  // The valley raised to 80 (b = 80 > 0.7 a) and a peak of 300 at channel 60 that makes c =
  // (80 + 80 + 300 + 80 + 80) / 5 = 124: P at the upper line above 1.2 a = 120 and 1.1 b = 88
  // takes PLT, while e = 121 / 124 stays below 1.1.
  for (float atUpper : {120.0f, 121.0f}) {
    SetUp();
    for (int k = 46; k <= 100; ++k) r.PltSmoothed[k] = 80.0f;
    r.PltSmoothed[60] = 300.0f;
    Run(5.0f, atUpper);
    EXPECT_EQ(r.PF2, 1) << atUpper;
    EXPECT_TRUE(IndicesInvalid()) << atUpper;  // e above 0.65
    EXPECT_EQ(r.PLT == kInvalid, atUpper > 120.0f) << atUpper;
  }
  // The PLT channel error byte with the histogram flagged takes PLT; without the flag it doesn't.
  for (float atLower : {5.0f, 15.0f}) {
    SetUp();
    r.ChannelError[2] = 1;
    Run(atLower, 10.0f);
    EXPECT_EQ(r.PLT == kInvalid, atLower > 10.0f) << atLower;
  }
  // Fewer than 100 PLT pulses: the histogram is not judged.
  SetUp();
  r.PltPulseSum = 99.0f;
  Run(60.0f, 120.0f);
  EXPECT_EQ(r.PF1 + r.PF2 + r.PltHistAbnormal, 0);
}

TEST_F(PltRules, ScoreAtItsThreshold) {
  struct Case {
    const char* name;
    std::function<void(AlgorithmResult&)> set;
    float atLower, atUpper;
    float score;
  };
  const Case cases[] = {
      {"lower line at 0.2 of the peak", [](AlgorithmResult&) {}, 20.0f, 10.0f, 100.0f},
      {"lower line at 0.19", [](AlgorithmResult&) {}, 19.0f, 10.0f, 99.0f},
      {"upper line at 0.5 of the peak", [](AlgorithmResult&) {}, 5.0f, 50.0f, 100.0f},
      {"upper line at 0.49", [](AlgorithmResult&) {}, 5.0f, 49.0f, 99.0f},
      {"PDW 20 with PLT 61", [](AlgorithmResult& r) { r.PDW = 20.0f, r.PLT = 61.0f; }, 5.0f, 10.0f, 100.0f},
      {"PDW 20 with PLT 60", [](AlgorithmResult& r) { r.PDW = 20.0f, r.PLT = 60.0f; }, 5.0f, 10.0f, 85.0f},
      {"large cells, MPV 13, upper line 101",
       [](AlgorithmResult& r) { r.PLCR = 46.0f, r.MPV = 13.0f, r.PltUpper = 101; }, 5.0f, 10.0f, 100.0f},
      {"large cells, MPV 12.5, upper line 101",
       [](AlgorithmResult& r) { r.PLCR = 46.0f, r.MPV = 12.5f, r.PltUpper = 101; }, 5.0f, 10.0f, 95.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    c.set(r);
    Run(c.atLower, c.atUpper);
    EXPECT_NEAR(+r.PltScore, c.score, 1e-3f) << c.name;
    EXPECT_EQ(r.PltScoreRule, c.score >= 100.0f ? 1 : 0) << c.name;
    if (c.score >= 100.0f && r.PLT != kInvalid) EXPECT_EQ(r.SlotSuspect[SlotPLT], 1) << c.name;
  }
}

// The three red-cell score rules on the same prepared record, the RBC curve empty.
TEST_F(PltRules, RedCellScoresAtTheirThresholds) {
  struct Case {
    const char* name;
    std::function<void(AlgorithmResult&)> set;
    int rule;  // 0, 1, 2
    float score;
    int raised;
  };
  const Case cases[] = {
      // 100 + 20 (3.5 - RBC); the curve term 100 + 100 (0 - 0.04) = 96 is smaller.
      {"rule 1, RBC 3.5", [](AlgorithmResult& r) { r.MCHC = 410, r.MCH = 41, r.RBC = 3.5f; }, 0, 100.0f, 1},
      {"rule 1, RBC 3.6", [](AlgorithmResult& r) { r.MCHC = 410, r.MCH = 41, r.RBC = 3.6f; }, 0, 98.0f, 0},
      {"rule 1, MCH 40", [](AlgorithmResult& r) { r.MCHC = 410, r.MCH = 40, r.RBC = 3.0f; }, 0, 0.0f, 0},
      // MCHC x 100 / 365.
      {"rule 2, MCHC 365", [](AlgorithmResult& r) { r.MCHC = 365.0f; }, 1, 100.0f, 1},
      {"rule 2, MCHC 328.5", [](AlgorithmResult& r) { r.MCHC = 328.5f; }, 1, 90.0f, 0},
      // RDW-CV + 85 when MCHC > 310 and MCV < 75; raised only above 100.
      {"rule 3, RDW-CV 15", [](AlgorithmResult& r) { r.MCV = 70, r.RDWCV = 15.0f; }, 2, 100.0f, 0},
      {"rule 3, RDW-CV 15.5", [](AlgorithmResult& r) { r.MCV = 70, r.RDWCV = 15.5f; }, 2, 100.5f, 1},
      {"rule 3, MCV 75", [](AlgorithmResult& r) { r.MCV = 75, r.RDWCV = 18.0f; }, 2, 0.0f, 0},
      {"rule 3, MCHC 310", [](AlgorithmResult& r) { r.MCV = 70, r.MCHC = 310, r.RDWCV = 18.0f; }, 2, 0.0f, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    c.set(r);
    Run(5.0f, 10.0f);
    EXPECT_NEAR(+r.Score[c.rule], c.score, 1e-3f) << c.name;
    EXPECT_EQ(r.ScoreRule[c.rule], c.raised) << c.name;
  }
  // Rule 1 raised marks RBC suspect; the curve term wins when the top channel holds 6 % of the
  // curve's peak: 100 + 100 (0.06 - 0.04) = 102 against 100 + 20 (3.5 - 3.6) = 98.
  SetUp();
  r.MCHC = 410, r.MCH = 41, r.RBC = 3.6f;
  r.RbcSmoothed[90] = 100.0f;
  r.RbcSmoothed[255] = 6.0f;
  Run(5.0f, 10.0f);
  EXPECT_NEAR(+r.Score[0], 102.0f, 1e-3f);
  EXPECT_EQ(r.ScoreRule[0], 1);
  EXPECT_EQ(r.SlotSuspect[SlotRBC], 1);
}

// ---- WBC lines for all counts in one channel far right of the lymphocyte region. The smoothed
// ---- curve is zero below channel 90, so: no slope-angle peak below 50 (no lymphocyte peak,
// ---- search window 1 to 55, peak channel 1 with a flat slope: no tail scan, no fit); the
// ---- low-end share is 0, its blend weight 1, and line 1 becomes the first lowest channel of
// ---- 43 to 47 around 55 - 10 = 45, that is 43. Line 2 starts at 43 + trunc(52 u); the descent
// ---- stops at once (both means are 0 there), the largest channel lies further right and no
// ---- counts lie between the lines, so nothing pulls it back. The top-end fraction u is the
// ---- channel, walking down from 255, where 6 % of the curve is passed: about 1.55 standard
// ---- deviations (5.5 channels there) right of the spike, that is 7 to 9 channels.
TEST(WorkedWbc, OneChannelFarRightPlacesTheLinesByTheLowEndBlend) {
  struct Case {
    int channel;
    int topLow, topHigh;  // where the 6 % walk stops
    int line2;
  };
  const Case cases[] = {
      {200, 206, 210, 43 + 42},  // 52 x 206 / 255 = 42.0 .. 52 x 210 / 255 = 42.8
      {120, 123, 127, 43 + 25},  // 25.1 .. 25.9
  };
  LoadAlgorithmPara(nullptr);
  for (const Case& c : cases) {
    AlgorithmInput input;
    zentil_test::MakeEmptyInput(input);
    input.WbcHistogram[c.channel] = 6000.0f;
    AlgorithmResult r;
    std::memset(&r, 0, sizeof r);
    ASSERT_EQ(CbcAlgorithmWbc(&r, &input), 0);
    ASSERT_GE(+r.WbcTopEndFraction, c.topLow / 255.0f) << c.channel;
    ASSERT_LE(+r.WbcTopEndFraction, c.topHigh / 255.0f) << c.channel;
    EXPECT_EQ(r.WbcNoLymPeak, 1) << c.channel;
    EXPECT_EQ(r.WbcFitDone, 0) << c.channel;
    EXPECT_EQ(r.WbcLines[0], 10) << c.channel;
    EXPECT_EQ(r.WbcLines[1], 43) << c.channel;
    EXPECT_EQ(r.WbcLines[2], c.line2) << c.channel;
    EXPECT_EQ(r.WbcLines[3], 255) << c.channel;
    // All counts right of line 2: the differential is all granulocytes.
    EXPECT_EQ(r.LymPercent, 0.0f) << c.channel;
    EXPECT_EQ(r.MidPercent, 0.0f) << c.channel;
    EXPECT_EQ(r.GraPercent, 100.0f) << c.channel;
    const double m = std::log(1.0 / (1.0 - 600.0 * 0.000058)) / 0.000058;
    EXPECT_NEAR(r.WBC, 0.001 * m * 280.0 / 25.6, 1e-4) << c.channel;
    EXPECT_EQ(r.GraCount, r.WBC) << c.channel;
  }
}

// ---- PLT: 1000 pulses in channel 100 only. Noise floor: a = 0 + 10, Q = 1000 gives b = 11,
// ---- x = -1 is raised to 14. The smoothed curve lies within 100 +- 20, so the sum below 50 is
// ---- 0 and the search keeps n = 50; the count weight c is 0, its line u = 20 is raised to 55
// ---- and replaced by n, and the upper line is 50. Nothing is counted from 14 to 49: the rate
// ---- correction 0 x 1.2 - 1.5 is floored to 0, PLT is 0; MPV is the empty centroid 0; PDW and
// ---- P-LCR find no curve between the lines; PCT and P-LCC need a PLT.
TEST(WorkedPlt, PulsesBeyondTheAutomaticUpperLine) {
  LoadAlgorithmPara(nullptr);
  AlgorithmInput input;
  zentil_test::MakeEmptyInput(input);
  input.PltHistogram[100] = 1000.0f;
  AlgorithmResult r;
  std::memset(&r, 0, sizeof r);
  ASSERT_EQ(CbcAlgorithmPlt(&r, &input), 0);
  EXPECT_EQ(r.PltNoiseFloor, 14);
  EXPECT_EQ(r.PltLower, 1);
  EXPECT_EQ(r.PltUpper, 50);
  EXPECT_EQ(+r.PltPulseSum, 0.0f);
  EXPECT_EQ(+r.PltCorrectedRate, 0.0f);
  EXPECT_EQ(r.PLT, 0.0f);
  EXPECT_EQ(r.MPV, 0.0f);
  EXPECT_EQ(r.PDW, kInvalid);
  EXPECT_EQ(r.PLCR, kInvalid);
  EXPECT_EQ(r.PCT, kInvalid);
  EXPECT_EQ(r.PLCC, kInvalid);
}

// ---- The RBC lower-line walk from channel 30 down: it stops where the smoothed curve two
// ---- channels to the right lies lower. A straight slope is smoothed into itself, so a curve
// ---- falling to the right stops the walk at once (line 30) and a rising one runs it down to
// ---- 25. The count and the MCV centroid start at that line:
// ----   falling 300 - k: sum over 30..254 = 225 x 300 - (30 + 254) x 225 / 2 = 35550;
// ----   rising k + 10:   sum over 25..254 = (25 + 254) x 230 / 2 + 230 x 10 = 34385.
TEST(WorkedRbc, LowerLineWalkOnStraightSlopes) {
  struct Case {
    const char* name;
    std::function<float(int)> bin;
    int line;
    double pulses;
  };
  const Case cases[] = {
      {"falling", [](int k) { return 300.0f - k; }, 30, 35550},
      {"rising", [](int k) { return k + 10.0f; }, 25, 34385},
  };
  LoadAlgorithmPara(nullptr);
  for (const Case& c : cases) {
    AlgorithmInput input;
    zentil_test::MakeEmptyInput(input);
    for (int k = 0; k < 256; ++k) input.RbcHistogram[k] = c.bin(k);
    AlgorithmResult r;
    std::memset(&r, 0, sizeof r);
    r.HGB = 140.0f;
    ASSERT_EQ(CbcAlgorithmRbc(&r, &input), 0);
    EXPECT_EQ(+r.RbcPulseSum, static_cast<float>(c.pulses)) << c.name;
    double weight = 0, moment = 0;
    for (int k = c.line; k <= 255; ++k) weight += c.bin(k), moment += c.bin(k) * k;
    EXPECT_NEAR(+r.RawMcv, moment / weight * 0.9765625, 1e-3) << c.name;
    const double m = std::log(1.0 / (1.0 - c.pulses / 10.0 * 0.000062)) / 0.000062;
    EXPECT_NEAR(r.RBC, m * 0.000001 * 18109.0 / 10.4, 1e-4) << c.name;
    EXPECT_NEAR(r.MCV, moment / weight * 0.9765625 / (m * 0.00001 + 1), 1e-3) << c.name;
    // The stored line then moves down over the channels the display curve still covers.
    EXPECT_EQ(r.RbcLower, 25) << c.name;
  }
}

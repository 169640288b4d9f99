// RBC channel: count window and coincidence, MCV centroid, indices, widths, lines and curve.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "algorithm/Zentil.h"
#include "channel_fixture.h"
#include "sample_histograms.h"

namespace {

using zentil_test::kInvalid;

class RbcChannel : public zentil_test::ChannelTest {
 protected:
  void SetUp() override {
    ChannelTest::SetUp();
    result.HGB = 140.0f;
  }
  void Run() {
    const float hgb = result.HGB;
    std::memset(&result, 0, sizeof(result));
    result.HGB = hgb;
    ASSERT_EQ(CbcAlgorithmRbc(&result, &input), 0);
  }
  void Normal(double count = 24500) {
    zentil_test::FillHistogram(input.RbcHistogram, 256, {{count, 92, 0.18}, {400, 12, 0.5}});
  }
};

}  // namespace

TEST_F(RbcChannel, NormalCountGivesPlausibleIndices) {
  Normal();
  Run();
  EXPECT_NEAR(result.RBC, 4.6f, 0.3f);
  EXPECT_NEAR(result.MCV, 88.0f, 4.0f);
  EXPECT_NEAR(result.HCT, result.RBC * 0.1f * result.MCV, 1e-3f);
  EXPECT_NEAR(result.MCH, 140.0f / result.RBC, 1e-3f);
  EXPECT_NEAR(result.MCHC, 140.0f * 100.0f / result.HCT, 1e-2f);
  EXPECT_GT(result.RDWSD, 30.0f);
  EXPECT_LT(result.RDWSD, 60.0f);
  EXPECT_GT(result.RDWCV, 5.0f);
  EXPECT_LT(result.RDWCV, 20.0f);
  EXPECT_GE(result.RbcLower, 25);
  EXPECT_LE(result.RbcLower, 30);
  EXPECT_EQ(result.RbcUpper, 255);
  EXPECT_GT(+result.RbcCorrectedRate, +result.RbcPulseRate);  // coincidence adds pulses back
  EXPECT_EQ(+result.RbcPulseRate, +result.RbcPulseSum / 10.0f);
  EXPECT_EQ(zentil_test::CurveTop(result.RbcCurve), 255);
}

TEST_F(RbcChannel, ChannelEdgesAndCoincidence) {
  struct Case {
    const char* name;
    int channel;   // all counts in this one channel
    float counts;
    float expectSum;
    float expectRbc;  // NaN: not checked
    float expectRawMcv;
  };
  const float nan = std::nanf("");
  const Case cases[] = {
      // Channel 255 is outside the count window but inside the MCV centroid.
      {"channel 255", 255, 5000.0f, 0.0f, 0.0f, 255 * 0.9765625f},
      // A pulse rate that would make 1 - rate * 0.000062 fall below 0.1 is capped at f = 10.
      {"rate beyond the correction", 100, 200000.0f, 200000.0f,
       static_cast<float>(std::log(10.0) / 0.000062 * 1e-6 * 18109.0 / 10.4), 100 * 0.9765625f},
      {"inside the window", 100, 1000.0f, 1000.0f, nan, 100 * 0.9765625f},
  };
  for (const Case& c : cases) {
    std::memset(input.RbcHistogram, 0, sizeof(input.RbcHistogram));
    input.RbcHistogram[c.channel] = c.counts;
    Run();
    EXPECT_EQ(+result.RbcPulseSum, c.expectSum) << c.name;
    if (!std::isnan(c.expectRbc)) {
      EXPECT_NEAR(result.RBC, c.expectRbc, 1e-3f * (1 + c.expectRbc)) << c.name;
    }
    EXPECT_NEAR(+result.RawMcv, c.expectRawMcv, 1e-3f) << c.name;
  }
}

TEST_F(RbcChannel, EmptyHistogramAndMissingCountTime) {
  Run();  // empty, valid count time
  EXPECT_EQ(result.RBC, 0.0f);
  EXPECT_EQ(result.MCV, 0.0f);
  EXPECT_EQ(result.HCT, 0.0f);
  EXPECT_EQ(result.MCH, kInvalid);
  EXPECT_EQ(result.MCHC, kInvalid);
  EXPECT_EQ(result.RDWSD, kInvalid);
  EXPECT_EQ(result.RDWCV, kInvalid);
  EXPECT_EQ(result.RbcLower, 30);  // G[30] below 0.5 stops the walk at once
  for (int i = 0; i < 5; ++i) EXPECT_EQ(result.ChannelError[i], 0);

  Normal();
  input.RbcCountTime = 0.0f;
  Run();
  EXPECT_EQ(result.RBC, kInvalid);
  EXPECT_GT(result.MCV, 80.0f);  // still computed, without the rate correction
  EXPECT_EQ(result.MCV, +result.RawMcv);
  EXPECT_EQ(result.HCT, kInvalid);
  EXPECT_EQ(result.MCH, kInvalid);
  EXPECT_EQ(result.MCHC, kInvalid);
  EXPECT_EQ(+result.RbcPulseSum, 0.0f);
  for (int i : {1, 2}) {
    EXPECT_EQ(result.ChannelError[i], 1);
    EXPECT_EQ(result.ChannelAlarm[i], 1);
  }
  EXPECT_EQ(result.ChannelError[0] + result.ChannelError[3], 0);
}

TEST_F(RbcChannel, LowCountScalesTheDisplayCurve) {
  Normal();
  Run();
  input.RbcFactor = 0.3f / result.RBC;  // RBC of 0.3 exactly
  Run();
  ASSERT_NEAR(result.RBC, 0.3f, 1e-6f);
  EXPECT_EQ(zentil_test::CurveTop(result.RbcCurve), 153);  // 0.6002 * 255 truncated
}

TEST_F(RbcChannel, LowerLineFollowsTheValleyAndMovesDownUnderTheCurve) {
  // Debris falling off toward channel 30 and beyond: the walk goes down to 25.
  std::vector<float> cells(256);
  zentil_test::FillHistogram(cells.data(), 256, {{24500, 92, 0.18}});
  for (int k = 0; k < 256; ++k) input.RbcHistogram[k] = cells[k] + (k < 40 ? 80.0f - 2 * k : 0.0f);
  Run();
  EXPECT_EQ(result.RbcLower, 25);
  // A curve that falls toward the left keeps the line of the walk at 30.
  for (int k = 0; k < 256; ++k) input.RbcHistogram[k] = cells[k] + (k < 40 ? 2.0f * k : 0.0f);
  Run();
  EXPECT_GE(result.RbcLower, 25);
  EXPECT_LE(result.RbcLower, 30);
}

TEST_F(RbcChannel, CalibrationPairsAndFactors) {
  Normal();
  Run();
  const AlgorithmResult base = result;
  AlgorithmPara para{};
  GetFlagAlgorithmParaDefault(&para.Flag);
  GetECalAlgorithmParaDefault(&para.ECal);
  para.ECal.Pair[ECalRBC] = {1.1f, 0.0f};
  para.ECal.Pair[ECalMCV] = {1.0f, 2.0f};
  LoadAlgorithmPara(&para);
  input.McvFactor = 1.05f;
  Run();
  EXPECT_NEAR(result.RBC, base.RBC * 1.1f, 1e-4f);
  EXPECT_NEAR(result.MCV, (base.MCV + 2.0f) * 1.05f, 1e-3f);
  EXPECT_NEAR(result.HCT, result.RBC * 0.1f * result.MCV, 1e-3f);
  EXPECT_EQ(result.RDWSD, base.RDWSD);  // no pair of its own
  LoadAlgorithmPara(nullptr);
}

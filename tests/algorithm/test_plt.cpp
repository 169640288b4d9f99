// PLT channel: noise floor, operator and automatic lines, linearity, indices and display curve.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "algorithm/Channels.h"
#include "algorithm/Zentil.h"
#include "channel_fixture.h"
#include "sample_histograms.h"

namespace {

using zentil_test::kInvalid;

class PltChannel : public zentil_test::ChannelTest {
 protected:
  void Run() {
    std::memset(&result, 0, sizeof(result));
    ASSERT_EQ(CbcAlgorithmPlt(&result, &input), 0);
  }
  void Fill(double count, double centre = 38, double spread = 0.42) {
    zentil_test::FillHistogram(input.PltHistogram, 128, {{count, centre, spread}, {300, 8, 0.4}});
  }
};

}  // namespace

TEST(PltLinearity, CorrectionPoints) {
  const struct {
    float plt, factor;
  } cases[] = {
      {10.0f, 0.85f},   {29.9f, 0.85f},  {30.0f, 0.85f}, {65.0f, 0.85f + 0.15f * 35.0f / 70.0f},
      {99.9f, 0.85f + 0.15f * 69.9f / 70.0f},            {100.0f, 1.0f}, {250.0f, 1.0f},
      {399.9f, 1.0f},   {400.0f, 1.0f},  {600.0f, 1.05f}, {799.0f, 1.0f + 0.1f * 399.0f / 400.0f},
      {800.0f, 1.1f},   {1500.0f, 1.1f}, {0.0f, 1.0f},
  };
  for (const auto& c : cases) EXPECT_NEAR(zentil::PltLinearity(c.plt), c.plt * c.factor, 1e-3f) << c.plt;
}

TEST(PltNoiseFloor, FromTheCountsAboveTwenty) {
  std::vector<float> h(256, 0.0f);
  EXPECT_EQ(zentil::PltNoiseFloor(h.data()), 14);  // a = 10, b = 4: 6 raised to 14
  for (int k = 20; k < 70; ++k) h[k] = 9.0f;         // a = 19, Q = 450, b = 4: 15
  EXPECT_EQ(zentil::PltNoiseFloor(h.data()), 15);
  for (int k = 20; k < 70; ++k) h[k] = 14.0f;        // a = 24, Q = 700, b = 11: 13 -> 14
  EXPECT_EQ(zentil::PltNoiseFloor(h.data()), 14);
  for (int k = 20; k < 70; ++k) h[k] = 20.0f;        // a = 30, b = 11: 19 -> 16
  EXPECT_EQ(zentil::PltNoiseFloor(h.data()), 16);
}

TEST_F(PltChannel, OperatorLinesAreLimited) {
  Fill(1150);
  const struct {
    std::uint16_t lower, upper, expectLower, expectUpper;
  } cases[] = {{12, 5, 10, 11}, {3, 200, 3, 127}, {4, 60, 4, 60}, {0, 1, 0, 1}, {10, 10, 10, 11}};
  for (const auto& c : cases) {
    input.UserPltLower = c.lower;
    input.UserPltUpper = c.upper;
    Run();
    EXPECT_EQ(result.PltLower, c.expectLower) << c.lower << "/" << c.upper;
    EXPECT_EQ(result.PltUpper, c.expectUpper) << c.lower << "/" << c.upper;
  }
}

TEST_F(PltChannel, AutomaticLinesStayInTheirRange) {
  const struct {
    const char* name;
    double count, centre, spread;
  } cases[] = {{"normal", 1150, 38, 0.42},   {"low", 200, 44, 0.45},     {"high", 4000, 36, 0.4},
               {"large cells", 1000, 60, 0.5}, {"small cells", 1000, 25, 0.3}, {"none", 0, 38, 0.4}};
  for (const auto& c : cases) {
    Fill(c.count, c.centre, c.spread);
    Run();
    EXPECT_EQ(result.PltLower, 1) << c.name;
    EXPECT_GE(result.PltUpper, 50) << c.name;
    EXPECT_LE(result.PltUpper, 100) << c.name;
    EXPECT_GE(result.PltNoiseFloor, 14) << c.name;
    EXPECT_LE(result.PltNoiseFloor, 16) << c.name;
    for (int k = 0; k < result.PltNoiseFloor; ++k) ASSERT_EQ(result.PltHistogram[k], 0.0f) << c.name;
    EXPECT_TRUE(std::isfinite(result.PLT)) << c.name;
    EXPECT_LE(result.PLCR, 100.0f) << c.name;
  }
}

// Counts only right of the peak window: nothing around the peak, and no division by it.
TEST_F(PltChannel, NoCountsAroundThePeakStaysFinite) {
  std::memset(input.PltHistogram, 0, sizeof(input.PltHistogram));
  for (int k = 60; k < 66; ++k) input.PltHistogram[k] = 40.0f;
  Run();
  EXPECT_GE(result.PltUpper, 50);
  EXPECT_LE(result.PltUpper, 100);
  EXPECT_TRUE(std::isfinite(result.PLT));
  EXPECT_GE(result.PLT, 0.0f);
  EXPECT_TRUE(std::isfinite(result.MPV));
}

TEST_F(PltChannel, NormalCountAndDerivedValues) {
  Fill(1150);
  Run();
  EXPECT_NEAR(result.PLT, 234.0f, 40.0f);
  EXPECT_NEAR(result.MPV, 9.0f, 1.5f);
  EXPECT_NEAR(result.PCT, result.PLT * result.MPV * 0.0001f, 1e-5f);
  EXPECT_GT(result.PDW, 8.0f);
  EXPECT_LT(result.PDW, 20.0f);
  EXPECT_GT(result.PLCR, 5.0f);
  EXPECT_LT(result.PLCR, 45.0f);
  EXPECT_NEAR(result.PLCC, result.PLCR * result.PLT * 0.01f, 1e-3f);
  const float v = result.PltPulseRate * 1.2f - 1.5f;
  EXPECT_NEAR(+result.PltCorrectedRate, v, 1e-3f);
  EXPECT_NEAR(result.PLT, zentil::PltLinearity(v * 0.001f * 18109.0f / 10.4f), 1e-2f);
  EXPECT_EQ(zentil_test::CurveTop(result.PltCurve), 255);
}

TEST_F(PltChannel, MissingCountTimeKeepsTheShapeValues) {
  Fill(1150);
  input.RbcCountTime = 0.0f;
  Run();
  EXPECT_EQ(result.PLT, kInvalid);
  EXPECT_EQ(result.PCT, kInvalid);
  EXPECT_EQ(result.PLCC, kInvalid);
  EXPECT_GT(result.MPV, 0.0f);
  EXPECT_GT(result.PDW, 0.0f);
  EXPECT_GT(result.PLCR, 0.0f);
}

TEST_F(PltChannel, LargeCellRatioNeverAbove100) {
  std::memset(input.PltHistogram, 0, sizeof(input.PltHistogram));
  for (int k = 70; k < 90; ++k) input.PltHistogram[k] = 50.0f;
  input.UserPltLower = 10;
  input.UserPltUpper = 127;
  AlgorithmPara para{};
  GetFlagAlgorithmParaDefault(&para.Flag);
  GetECalAlgorithmParaDefault(&para.ECal);
  para.ECal.Pair[ECalPLCR] = {3.0f, 10.0f};
  LoadAlgorithmPara(&para);
  Run();
  EXPECT_EQ(result.PLCR, 100.0f);
  LoadAlgorithmPara(nullptr);
}

TEST_F(PltChannel, LowCountScalesTheDisplayCurve) {
  Fill(1150);
  Run();
  input.PltFactor = 1.0f;
  // About 40: the curve tops out near 40 % of the full height.
  Fill(180, 44, 0.45);
  Run();
  ASSERT_GT(result.PLT, 0.0f);
  ASSERT_LT(result.PLT, 99.0f);
  EXPECT_EQ(zentil_test::CurveTop(result.PltCurve), static_cast<int>(255.0f * (result.PLT + 0.001f) * 0.01f));
}

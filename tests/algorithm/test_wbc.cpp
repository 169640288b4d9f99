// WBC channel: count, divider lines, differential with its calibration floor, display curve and
// the re-split at operator lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "algorithm/Zentil.h"
#include "channel_fixture.h"
#include "sample_histograms.h"

namespace {

using zentil_test::kInvalid;

class WbcChannel : public zentil_test::ChannelTest {
 protected:
  void Run() {
    std::memset(&result, 0, sizeof(result));
    ASSERT_EQ(CbcAlgorithmWbc(&result, &input), 0);
  }
  void Fill(std::vector<zentil_test::Population> pops) {
    zentil_test::FillHistogram(input.WbcHistogram, 256, pops);
  }
  void Normal() { Fill({{2100, 34, 0.16}, {480, 66, 0.12}, {3900, 120, 0.22}, {120, 6, 0.35}}); }
};

bool AllZero(const std::uint8_t* b, int n) {
  for (int i = 0; i < n; ++i)
    if (b[i] != 0) return false;
  return true;
}

}  // namespace

TEST_F(WbcChannel, AllZeroHistogram) {
  Run();
  EXPECT_EQ(result.WbcLines[0], 10);
  EXPECT_EQ(result.WbcLines[1], 40);
  EXPECT_EQ(result.WbcLines[3], 255);
  EXPECT_EQ(result.WBC, 0.0f);
  for (float v : {result.GraPercent, result.LymPercent, result.MidPercent, result.GraCount,
                  result.LymCount, result.MidCount})
    EXPECT_EQ(v, kInvalid);
  EXPECT_TRUE(AllZero(result.WbcCurve, 256));
  EXPECT_EQ(result.WbcNoLymPeak, 1);
  EXPECT_EQ(result.WbcFitDone, 0);
}

TEST_F(WbcChannel, NormalCountLinesAndDifferential) {
  Normal();
  Run();
  EXPECT_NEAR(result.WBC, 7.2f, 0.5f);
  EXPECT_EQ(result.WbcLines[0], 10);
  EXPECT_GE(result.WbcLines[1], 40);
  EXPECT_LE(result.WbcLines[1], 75);
  EXPECT_GE(result.WbcLines[2], result.WbcLines[1] + 5);
  EXPECT_EQ(result.WbcLines[3], 255);
  EXPECT_EQ(result.WbcNoLymPeak, 0);
  EXPECT_EQ(result.WbcFitDone, 1);
  EXPECT_NEAR(result.LymPercent, 31.0f, 6.0f);
  EXPECT_NEAR(result.GraPercent, 62.0f, 6.0f);
  EXPECT_NEAR(result.LymPercent + result.MidPercent + result.GraPercent, 100.0f, 1e-3f);
  EXPECT_NEAR(result.LymCount + result.MidCount + result.GraCount, result.WBC, 1e-4f);
  EXPECT_NEAR(result.LymCount, result.WBC * 0.01f * result.LymPercent, 1e-4f);
  EXPECT_EQ(+result.WbcPulseRate, +result.WbcPulseSum / 10.0f);
  EXPECT_EQ(zentil_test::CurveTop(result.WbcCurve), 255);
}

TEST_F(WbcChannel, CountTimeDivisorAndCoincidenceCap) {
  struct Case {
    const char* name;
    float countTime, divisor, pulses;
    float expectWbc;
    std::uint8_t expectBytes;
  };
  const Case cases[] = {
      {"no count time", 0.0f, 25.6f, 5000.0f, kInvalid, 1},
      {"no divisor", 10.0f, 0.0f, 5000.0f, kInvalid, 0},
      {"rate beyond the correction", 10.0f, 25.6f, 200000.0f,
       static_cast<float>(0.001 * std::log(10.0) / 0.000058 * 280.0 / 25.6), 0},
  };
  for (const Case& c : cases) {
    std::memset(input.WbcHistogram, 0, sizeof(input.WbcHistogram));
    input.WbcHistogram[120] = c.pulses;
    input.WbcCountTime = c.countTime;
    input.WbcRateDivisor = c.divisor;
    Run();
    EXPECT_NEAR(result.WBC, c.expectWbc, 1e-2f) << c.name;
    EXPECT_EQ(result.ChannelError[0], c.expectBytes) << c.name;
    EXPECT_EQ(result.ChannelAlarm[0], c.expectBytes) << c.name;
    // The lines and the differential come from the histogram alone.
    EXPECT_EQ(result.WbcLines[0], 10) << c.name;
    EXPECT_NEAR(result.GraPercent, 100.0f, 1e-3f) << c.name;
  }
}

TEST_F(WbcChannel, NoLymphocytePeakSearchesTheLowWindow) {
  Fill({{4000, 120, 0.22}});
  Run();
  EXPECT_EQ(result.WbcNoLymPeak, 1);
  EXPECT_GE(result.WbcLines[1], 40);
  EXPECT_LE(result.WbcLines[1], 75);
}

TEST_F(WbcChannel, LinesStayInTheirRanges) {
  const std::vector<std::vector<zentil_test::Population>> shapes = {
      {{2100, 34, 0.16}, {480, 66, 0.12}, {3900, 120, 0.22}},
      {{6000, 30, 0.12}, {300, 60, 0.1}, {500, 125, 0.2}},     // lymphocytosis
      {{300, 34, 0.16}, {200, 66, 0.12}, {9000, 130, 0.25}},   // neutrophilia
      {{1000, 34, 0.16}, {3000, 70, 0.15}, {1500, 120, 0.22}}, // many MID cells
      {{800, 12, 0.3}, {1500, 36, 0.18}, {2500, 115, 0.2}},    // debris at the low end
      {{50, 40, 0.2}},                                         // almost nothing
  };
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    Fill(shapes[i]);
    Run();
    EXPECT_EQ(result.WbcLines[0], 10) << i;
    EXPECT_GE(result.WbcLines[1], 40) << i;
    EXPECT_LE(result.WbcLines[1], 75) << i;
    EXPECT_GE(result.WbcLines[2], result.WbcLines[1] + 5) << i;
    EXPECT_LE(result.WbcLines[2], 255) << i;
    EXPECT_EQ(result.WbcLines[3], 255) << i;
    EXPECT_GT(+result.WbcTopEndFraction, 0.0f) << i;
    EXPECT_LE(+result.WbcTopEndFraction, 1.0f) << i;
  }
}

// A share pushed below a tenth of itself by its calibration pair is held at that tenth.
TEST_F(WbcChannel, CalibrationFloorAndRenormalisation) {
  Normal();
  Run();
  const AlgorithmResult base = result;
  AlgorithmPara para{};
  GetFlagAlgorithmParaDefault(&para.Flag);
  GetECalAlgorithmParaDefault(&para.ECal);
  para.ECal.Pair[ECalMID] = {0.5f, -10.0f};
  LoadAlgorithmPara(&para);
  Run();
  const float y1 = base.GraPercent, y2 = base.LymPercent, y3 = 0.1f * base.MidPercent;
  const float sum = y1 + y2 + y3;
  EXPECT_NEAR(result.MidPercent, 100.0f * y3 / sum, 1e-3f);
  EXPECT_NEAR(result.LymPercent, 100.0f * y2 / sum, 1e-3f);
  EXPECT_NEAR(result.LymPercent + result.MidPercent + result.GraPercent, 100.0f, 1e-4f);
  EXPECT_EQ(result.WBC, base.WBC);
  LoadAlgorithmPara(nullptr);
}

TEST_F(WbcChannel, AdjustAtOperatorLines) {
  Normal();
  Run();
  const AlgorithmResult base = result;
  const std::uint16_t same[4] = {base.WbcLines[0], base.WbcLines[1], base.WbcLines[2], 255};

  // A null input pointer or null lines: nothing changes.
  AdjustWbcHistogram(&result, nullptr, same);
  AdjustWbcHistogram(&result, &input, nullptr);
  EXPECT_EQ(std::memcmp(&result, &base, sizeof(result)), 0);

  // The same lines keep WBC and give the uncalibrated split.
  AdjustWbcHistogram(&result, &input, same);
  EXPECT_EQ(result.WBC, base.WBC);
  EXPECT_NEAR(result.LymPercent, base.LymPercent, 1e-3f);

  // Moved lines re-split the counts; the line-0 move rescales WBC.
  const std::uint16_t moved[4] = {20, 50, 80, 255};
  AdjustWbcHistogram(&result, &input, moved);
  double all = 0, lym = 0, mid = 0, old = 0;
  for (int k = 20; k <= 255; ++k) all += base.WbcHistogram[k];
  for (int k = 20; k < 50; ++k) lym += base.WbcHistogram[k];
  for (int k = 50; k < 80; ++k) mid += base.WbcHistogram[k];
  for (int k = base.WbcLines[0]; k <= 255; ++k) old += base.WbcHistogram[k];
  EXPECT_NEAR(result.WBC, base.WBC * all / old, 1e-3f);
  EXPECT_NEAR(result.LymPercent, 100.0 * lym / all, 1e-3);
  EXPECT_NEAR(result.MidPercent, 100.0 * mid / all, 1e-3);
  EXPECT_NEAR(result.GraCount, result.WBC - result.LymCount - result.MidCount, 1e-5f);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(result.WbcLines[i], moved[i]);

  // Lines beyond the histogram are cut at channel 255; an empty range changes nothing.
  const std::uint16_t wide[4] = {10, 60, 90, 400};
  AdjustWbcHistogram(&result, &input, wide);
  EXPECT_EQ(result.WbcLines[3], 400);
  const AlgorithmResult before = result;
  const std::uint16_t empty[4] = {300, 310, 320, 330};
  AdjustWbcHistogram(&result, &input, empty);
  EXPECT_EQ(std::memcmp(&result, &before, sizeof(result)), 0);
}

TEST_F(WbcChannel, LowCountScalesTheDisplayCurve) {
  Fill({{280, 34, 0.16}, {60, 66, 0.12}, {500, 120, 0.22}});
  Run();
  ASSERT_GT(result.WBC, 0.0f);
  ASSERT_LT(result.WBC, 0.99f);
  std::uint8_t top = 0;
  for (std::uint8_t b : result.WbcCurve) top = b > top ? b : top;
  EXPECT_LE(top, static_cast<int>(255.0f * (result.WBC + 0.0001f)) + 1);
  EXPECT_GE(top, static_cast<int>(255.0f * (result.WBC + 0.0001f)) - 1);
}

TEST_F(WbcChannel, FindWbcLineAloneUsesTheConfiguration) {
  Normal();
  Run();
  const AlgorithmResult base = result;
  // Called on its own, on the copied histogram, it gives the same lines.
  std::memset(result.WbcLines, 0, sizeof(result.WbcLines));
  EXPECT_EQ(FindWbcLine(&result), 255);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(result.WbcLines[i], base.WbcLines[i]);
}

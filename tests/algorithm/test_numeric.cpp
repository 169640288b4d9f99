// Shared array routines: extreme searches, centroid, kernels and convolutions, peaks, the
// Gaussian fit and the slope-angle profile.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "algorithm/Numeric.h"
#include "algorithm/WbcLineConfig.h"

using namespace zentil;

namespace {

std::vector<float> Bump(int n, double centre, double sigma, double height) {
  std::vector<float> v(n);
  for (int i = 0; i < n; ++i)
    v[i] = static_cast<float>(height * std::exp(-(i - centre) * (i - centre) / (2 * sigma * sigma)));
  return v;
}

double Total(const std::vector<float>& v) {
  double s = 0;
  for (float x : v) s += x;
  return s;
}

}  // namespace

TEST(ExtremeSearch, FirstOccurrenceWins) {
  const float f[] = {1, 3, 3};
  float v = 0;
  EXPECT_EQ(FindMaximumF32(v, f, 3), 1);
  EXPECT_EQ(v, 3.0f);
  const float g[] = {5, 2, 7, 2};
  EXPECT_EQ(FindMinimumF32(v, g, 4), 1);
  const std::uint16_t u[] = {4, 9, 1, 9, 1};
  std::uint16_t w = 0;
  EXPECT_EQ(FindMaximumU16(w, u, 5), 1);
  EXPECT_EQ(FindMinimumU16(w, u, 5), 2);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(FindMaximumF32(v, nullptr, 3), -1);
  EXPECT_EQ(SumU16(nullptr, 3), 0.0f);
  EXPECT_EQ(SumU16(u, 5), 24.0f);
}

TEST(Centroid, SingleChannelEmptyRangeAndNull) {
  std::vector<float> v(10, 0.0f);
  v[5] = 2.0f;
  float out = -1;
  EXPECT_EQ(Centroid(out, v.data(), 5, 5), 0);
  EXPECT_FLOAT_EQ(out, 5.0f);
  out = -1;
  Centroid(out, v.data(), 6, 5);  // last before first
  EXPECT_EQ(out, 0.0f);
  out = -1;
  Centroid(out, v.data(), 0, 4);  // nothing counted
  EXPECT_EQ(out, 0.0f);
  out = 7;
  EXPECT_EQ(Centroid(out, nullptr, 0, 4), 1);
  EXPECT_EQ(out, 7.0f);
  v[7] = 2.0f;
  Centroid(out, v.data(), 0, 9);
  EXPECT_FLOAT_EQ(out, 6.0f);
}

TEST(GaussianKernel, NormalisedSymmetricAndRefusesBadArguments) {
  float k[15];
  ASSERT_EQ(GaussianKernel(k, 15, 5.0f), 15);
  double sum = 0;
  for (float w : k) sum += w;
  EXPECT_NEAR(sum, 1.0, 1e-6);
  for (int j = 0; j < 7; ++j) EXPECT_FLOAT_EQ(k[j], k[14 - j]);
  EXPECT_GT(k[7], k[6]);
  EXPECT_EQ(GaussianKernel(k, 15, 0.0f), 0);
  EXPECT_EQ(GaussianKernel(k, 0, 5.0f), 0);
  EXPECT_EQ(GaussianKernel(nullptr, 15, 5.0f), 0);
}

// The folded edges keep the array total, whatever sits at the ends.
TEST(ConvolveSame, KeepsTheSum) {
  struct Case {
    const char* name;
    std::vector<float> kernel;
  };
  const Case cases[] = {
      {"five-tap box", {0.2f, 0.2f, 0.2f, 0.2f, 0.2f}},
      {"even length", {0.25f, 0.25f, 0.25f, 0.25f}},
      {"asymmetric", {0.5f, 0.3f, 0.2f}},
  };
  std::vector<float> src(256);
  for (int i = 0; i < 256; ++i) src[i] = static_cast<float>((i * 37) % 11 + (i < 3 || i > 250 ? 50 : 0));
  for (const Case& c : cases) {
    std::vector<float> dst(256);
    ASSERT_EQ(ConvolveSame(dst.data(), src.data(), 256, c.kernel.data(),
                           static_cast<std::int16_t>(c.kernel.size())), 0)
        << c.name;
    EXPECT_NEAR(Total(dst), Total(src), 1e-3) << c.name;
  }
}

TEST(ConvolveSame, FailuresLeaveACopy) {
  std::vector<float> src = {1, 2, 3};
  std::vector<float> dst(3, 9.0f);
  EXPECT_EQ(ConvolveSame(dst.data(), src.data(), 3, nullptr, 3), 2);
  EXPECT_EQ(dst, src);
  EXPECT_EQ(ConvolveSame(dst.data(), src.data(), 0, src.data(), 3), 1);
  // A kernel longer than the array neither crashes nor writes past it.
  std::vector<float> wide(31, 1.0f / 31);
  std::vector<float> guard(3 + 8, -1.0f);
  EXPECT_EQ(ConvolveSame(guard.data(), src.data(), 3, wide.data(), 31), 0);
  for (int i = 3; i < 11; ++i) EXPECT_EQ(guard[i], -1.0f);
}

TEST(GaussianSmooth, TinyVarianceCopiesAndSmoothingKeepsTheSum) {
  const std::vector<float> src = Bump(256, 90, 4, 100);
  for (float variance : {0.0f, 0.0000005f, -3.0f}) {
    std::vector<float> dst(256, -1.0f);
    GaussianSmooth(dst.data(), src.data(), 256, variance);
    EXPECT_EQ(dst, src) << variance;
  }
  for (float variance : {4.0f, 5.0f, 6.0f, 10.0f}) {
    std::vector<float> dst(256);
    GaussianSmooth(dst.data(), src.data(), 256, variance);
    EXPECT_NEAR(Total(dst), Total(src), 1e-2) << variance;
    EXPECT_LT(dst[90], src[90]) << variance;  // the peak is spread out
  }
}

// Whatever the variance, the kernel stays inside its buffer and the output inside the array.
TEST(VariableGaussianSmooth, AnyVarianceStaysInBounds) {
  struct Case {
    const char* name;
    std::int16_t length;
    float slope, base;
  };
  const Case cases[] = {
      {"WBC curve", 256, 0.12f, 6.0f},
      {"display weights", 256, 0.1f, 8.0f},
      {"kernel wider than the array", 16, 0.0f, 400.0f},
      {"growing past the array", 32, 5.0f, 1.0f},
      {"negative variance", 16, -1.0f, 0.0f},
  };
  for (const Case& c : cases) {
    std::vector<float> src(c.length);
    for (int i = 0; i < c.length; ++i) src[i] = static_cast<float>(i % 7);
    std::vector<float> dst(c.length + 16, -7.0f);
    EXPECT_EQ(VariableGaussianSmooth(dst.data(), src.data(), c.length, c.slope, c.base), 0) << c.name;
    for (int i = c.length; i < c.length + 16; ++i) ASSERT_EQ(dst[i], -7.0f) << c.name;
    for (int i = 0; i < c.length; ++i) ASSERT_TRUE(std::isfinite(dst[i])) << c.name;
  }
  // A channel whose kernel would not fit keeps its value.
  std::vector<float> src(16, 0.0f), dst(16);
  src[8] = 5.0f;
  VariableGaussianSmooth(dst.data(), src.data(), 16, 0.0f, 400.0f);
  EXPECT_EQ(dst, src);
  EXPECT_EQ(VariableGaussianSmooth(dst.data(), nullptr, 16, 0.1f, 1.0f), 1);
}

TEST(FindPeaks, WindowEdgesTiesAndSegments) {
  std::vector<float> v(64, 0.0f);
  v[2] = 9;   // within the first half window: never a peak
  v[20] = 5;  // two equal neighbouring maxima: the left one counts
  v[21] = 5;
  v[40] = 8;
  v[63] = 9;  // the last channel: never a peak
  PeakList list;
  FindPeaks(&list, v.data(), 64, 4);
  ASSERT_EQ(list.Count, 2);
  EXPECT_EQ(list.Peak[0], 20);
  EXPECT_EQ(list.Peak[1], 40);
  EXPECT_EQ(list.Start[0], 0);
  EXPECT_EQ(list.End[0], 22);  // first channel of the lowest value between the peaks
  EXPECT_EQ(list.Start[1], 22);
  EXPECT_EQ(list.End[1], 64);
}

TEST(FindPeaks, AtMostOneHundred) {
  std::vector<float> v(1000, 0.0f);
  for (int i = 5; i < 1000; i += 6) v[i] = 1.0f;
  PeakList list;
  FindPeaks(&list, v.data(), 1000, 2);
  EXPECT_EQ(list.Count, 100);
  EXPECT_EQ(list.End[99], 1000);
}

TEST(FitGaussian, RecoversMeanAndSigma) {
  GaussFitRequest req{};
  for (int c = 0; c < 256; ++c) req.y[c] = std::exp(-(c - 100.0) * (c - 100.0) / 200.0);
  req.first = 90;
  req.last = 110;
  req.meanStart = 97;
  req.meanEnd = 103;
  req.meanStep = 0.25;
  req.sigmaStart = 3.0;
  req.sigmaEnd = 12.0;
  req.sigmaStep = 0.05;
  GaussFitResult res;
  FitGaussian(&res, &req);
  ASSERT_EQ(res.fitted, 1);
  EXPECT_NEAR(res.mean, 100.0, 1e-6);
  EXPECT_NEAR(res.sigma, 10.0, 1e-6);
  EXPECT_EQ(res.left, 0.0);
  EXPECT_NEAR(res.curve[100], 1.0, 1e-6);
  EXPECT_NEAR(res.curve[120], std::exp(-2.0), 1e-6);

  // The grid end is reached: a true sigma of 12 is found although 0.05 is not exact in binary.
  for (int c = 0; c < 256; ++c) req.y[c] = std::exp(-(c - 100.0) * (c - 100.0) / 288.0);
  FitGaussian(&res, &req);
  EXPECT_NEAR(res.sigma, 12.0, 1e-6);

  // The same with the grid the WBC channel really asks for: its single-precision settings.
  const zentil::WbcLineConfig& cfg = zentil::kWbcLineConfig;
  req.meanStep = cfg.FitMeanStep;
  req.sigmaStart = cfg.FitSigmaMin;
  req.sigmaEnd = cfg.FitSigmaMax;
  req.sigmaStep = cfg.FitSigmaStep;
  ASSERT_NE(static_cast<double>(cfg.FitSigmaStep), 0.05) << "the setting is a float, not exactly 0.05";
  FitGaussian(&res, &req);
  ASSERT_EQ(res.fitted, 1);
  EXPECT_NEAR(res.sigma, 12.0, 1e-6) << "sigma grid 3.0..12.0 by 0.05f stops short of its end";
  for (int c = 0; c < 256; ++c) req.y[c] = std::exp(-(c - 100.0) * (c - 100.0) / 18.0);
  FitGaussian(&res, &req);
  EXPECT_NEAR(res.sigma, 3.0, 1e-6) << "first grid point";
}

TEST(FitGaussian, EmptyChannelOrEmptyGridGivesNoFit) {
  GaussFitRequest req{};
  for (int c = 0; c < 256; ++c) req.y[c] = 1.0;
  req.first = 10;
  req.last = 20;
  req.meanStart = 15;
  req.meanEnd = 15;
  req.meanStep = 1;
  req.sigmaStart = 2;
  req.sigmaEnd = 2;
  req.sigmaStep = 1;
  GaussFitResult res;
  req.y[15] = 0.0;
  FitGaussian(&res, &req);
  EXPECT_EQ(res.fitted, 0);
  EXPECT_EQ(res.curve[15], 0.0);
  req.y[15] = 1.0;
  req.meanEnd = 14;  // no grid point
  FitGaussian(&res, &req);
  EXPECT_EQ(res.fitted, 0);
  req.meanEnd = 15;
  req.first = 30;  // range reversed
  FitGaussian(&res, &req);
  EXPECT_EQ(res.fitted, 0);
}

TEST(SlopeAngleProfile, StraightPeakAndValley) {
  std::vector<float> line(256), bump(256), dip(256);
  for (int i = 0; i < 256; ++i) {
    line[i] = 2.0f * i;
    bump[i] = 100.0f - std::fabs(i - 100.0f);
    dip[i] = std::fabs(i - 100.0f);
  }
  std::vector<float> out(256);
  ASSERT_EQ(SlopeAngleProfile(out.data(), line.data(), 256, 0.2f, 4.0f), 0);
  EXPECT_NEAR(out[50], 1.0f, 1e-6);
  SlopeAngleProfile(out.data(), bump.data(), 256, 0.2f, 4.0f);
  EXPECT_GT(out[100], 1.4f);
  SlopeAngleProfile(out.data(), dip.data(), 256, 0.2f, 4.0f);
  EXPECT_LT(out[100], 0.6f);
  EXPECT_EQ(SlopeAngleProfile(out.data(), nullptr, 256, 0.2f, 4.0f), 1);
}

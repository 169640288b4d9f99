// The Gaussian kernels, the fit and the variable smoothing give the same bits as routines written
// straight from their formulas (below), over thousands of varied inputs, whatever shortcuts the
// library takes (kernels built once, a fit's grid point abandoned once it cannot win); and whole
// counts of such inputs follow the rules from their raw counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "algorithm/Numeric.h"
#include "algorithm/Zentil.h"
#include "formula_reference.h"
#include "varied_counts.h"

namespace {

using zentil::GaussFitRequest;
using zentil::GaussFitResult;
using zentil_test::SeedSequence;

// ---- The reference routines are the shared formula references (formula_reference.h).

void ReferenceVariableSmooth(float* dst, const float* src, int n, float slope, float base) {
  formula_reference::VariableGaussianSmooth(dst, src, static_cast<std::int16_t>(n), slope, base);
}
void ReferenceFit(GaussFitResult* result, const GaussFitRequest* request) {
  formula_reference::FitGaussian(result, request);
}

// ---- Varied fit requests: the grid the WBC channel uses around random peaks, and odd grids
// ---- (empty, single point, zero or negative steps, sigmas reaching zero, long ranges).

void MakeFitRequest(GaussFitRequest& q, SeedSequence& rng) {
  std::memset(&q, 0, sizeof(q));
  const double centre = rng.Uniform(5, 250);
  const double width = rng.Uniform(1.5, 20);
  const double height = std::exp(rng.Uniform(-3, 12));
  const double noise = rng.Uniform(0, 0.3);
  for (int c = 0; c < 256; ++c) {
    const double z = (c - centre) / width;
    q.y[c] = height * std::exp(-0.5 * z * z) * (1.0 + noise * rng.Uniform(-1, 1)) + rng.Uniform(0, 2);
  }
  const int pk = static_cast<int>(centre);
  const int kind = static_cast<int>(rng.Next() % 8);
  if (kind < 5) {
    // As the WBC line search asks for it.
    const int reach = 3;
    const int first = pk - reach < 0 ? 0 : pk - reach;
    int last = pk + 2 + static_cast<int>(rng.Next() % 40);
    if (last > 255) last = 255;
    q.first = static_cast<std::uint16_t>(first);
    q.last = static_cast<std::uint16_t>(last);
    q.meanStart = pk - reach;
    q.meanEnd = pk + reach;
    q.meanStep = 0.25f;
    q.sigmaStart = 3.0f;
    q.sigmaEnd = 12.0f;
    q.sigmaStep = 0.05f;
  } else {
    const int first = static_cast<int>(rng.Next() % 256);
    q.first = static_cast<std::uint16_t>(first);
    q.last = static_cast<std::uint16_t>(first + static_cast<int>(rng.Next() % 60) - 3);
    if (q.last > 255) q.last = 255;
    q.meanStart = rng.Uniform(0, 255);
    q.meanEnd = q.meanStart + rng.Uniform(-2, 30);
    const double steps[] = {0.0, -1.0, 0.1, 0.25, 0.5, 1.0, 3.7};
    q.meanStep = steps[rng.Next() % 7];
    q.sigmaStart = rng.Next() % 4 == 0 ? 0.0 : rng.Uniform(0.0005, 8);
    q.sigmaEnd = q.sigmaStart + rng.Uniform(-1, 25);
    q.sigmaStep = steps[rng.Next() % 7] * 0.2;
  }
  // Now and then a channel without counts inside the fitted range: no fit at all; or values that
  // make the curves overflow (an infinite channel, a mean far off the channels).
  if (rng.Next() % 20 == 0 && q.first <= q.last) q.y[q.first + (q.last - q.first) / 2] = 0.0;
  if (rng.Next() % 40 == 0 && q.first <= q.last) q.y[q.last] = HUGE_VAL;
  if (rng.Next() % 40 == 0) q.meanStart = q.meanEnd = 1e300;
}

TEST(SameResults, GaussianFitMatchesTheReferenceBitForBit) {
  SeedSequence rng(19);
  int fitted = 0;
  for (int i = 0; i < 6000; ++i) {
    static GaussFitRequest q;
    MakeFitRequest(q, rng);
    static GaussFitResult expected, actual;
    ReferenceFit(&expected, &q);
    std::memset(&actual, 0xA5, sizeof(actual));
    zentil::FitGaussian(&actual, &q);
    ASSERT_EQ(0, std::memcmp(&expected, &actual, sizeof(actual)))
        << "request " << i << ": channels " << q.first << ".." << q.last << ", mean " << q.meanStart
        << ".." << q.meanEnd << " by " << q.meanStep << ", sigma " << q.sigmaStart << ".."
        << q.sigmaEnd << " by " << q.sigmaStep << "; mean " << expected.mean << " vs "
        << actual.mean << ", sigma " << expected.sigma << " vs " << actual.sigma;
    fitted += expected.fitted;
  }
  // The inputs reach both outcomes: fits found and fits refused.
  EXPECT_GT(fitted, 1000);
  EXPECT_LT(fitted, 6000);
}

TEST(SameResults, SmoothingFromManyThreadsAtOnceMatchesTheReference) {
  // Threads start together on shapes no call has used yet, so they race to build the shared
  // kernels; every thread must still see complete kernels.
  constexpr int kThreads = 8;
  std::vector<float> src(256);
  SeedSequence rng(7);
  for (float& v : src) v = static_cast<float>(std::floor(rng.Uniform(0, 2500)));
  std::vector<std::vector<float>> expected(kThreads / 2, std::vector<float>(256));
  for (int s = 0; s < kThreads / 2; ++s)
    ReferenceVariableSmooth(expected[s].data(), src.data(), 256, 0.05f + 0.01f * s, 3.0f + s);
  std::atomic<int> ready{0};
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const int shape = t / 2;
      ready.fetch_add(1);
      while (ready.load() < kThreads) {
      }
      for (int round = 0; round < 50; ++round) {
        std::vector<float> out(256);
        zentil::VariableGaussianSmooth(out.data(), src.data(), 256, 0.05f + 0.01f * shape, 3.0f + shape);
        if (std::memcmp(out.data(), expected[shape].data(), sizeof(float) * 256) != 0) mismatches.fetch_add(1);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(mismatches.load(), 0);
}

TEST(SameResults, VariableSmoothingMatchesTheReferenceBitForBit) {
  SeedSequence rng(4150);
  struct Shape {
    float slope, base;
  };
  // The two smoothings the WBC channel runs, then random slopes and bases (negative ones too).
  const Shape fixed[] = {{0.12f, 6.0f}, {0.1f, 8.0f}};
  for (int i = 0; i < 4000; ++i) {
    Shape shape;
    int n = 256;
    if (i < 2000) {
      shape = fixed[i % 2];
    } else {
      shape = {static_cast<float>(rng.Uniform(-0.5, 1.0)), static_cast<float>(rng.Uniform(-5, 40))};
      n = 1 + static_cast<int>(rng.Next() % 300);
    }
    std::vector<float> src(static_cast<std::size_t>(n));
    for (float& v : src) v = static_cast<float>(std::floor(rng.Uniform(0, 1) * rng.Uniform(0, 3000)));
    std::vector<float> expected(src.size()), actual(src.size());
    ReferenceVariableSmooth(expected.data(), src.data(), n, shape.slope, shape.base);
    ASSERT_EQ(0, zentil::VariableGaussianSmooth(actual.data(), src.data(),
                                                static_cast<std::int16_t>(n), shape.slope, shape.base));
    ASSERT_EQ(0, std::memcmp(expected.data(), actual.data(), sizeof(float) * src.size()))
        << "input " << i << ": length " << n << ", slope " << shape.slope << ", base " << shape.base;
    // In place, as the display curve is smoothed.
    std::vector<float> inPlace = src;
    zentil::VariableGaussianSmooth(inPlace.data(), inPlace.data(), static_cast<std::int16_t>(n),
                                   shape.slope, shape.base);
    ASSERT_EQ(0, std::memcmp(expected.data(), inPlace.data(), sizeof(float) * src.size()))
        << "input " << i << " in place";
  }
}

// ---- Whole counts: thousands of varied counts against what the rules give from their raw
// ---- counts: WBC from the channels above line 0 with the coincidence correction (capped at
// ---- ln 10), HGB from the readings without their extremes, the differential as the raw shares
// ---- between the lines (the neutral calibration keeps them), the values derived from others, and
// ---- every line in its range.

constexpr std::uint64_t kCountSeed = 2026;
constexpr int kCounts = 3000;

bool Valid(float v) { return v != -100000.0f; }

TEST(SameResults, WholeCountsFollowTheRulesFromTheirRawCounts) {
  int withFit = 0;
  for (int index = 0; index < kCounts; ++index) {
    zentil_test::VariedCount count;
    zentil_test::MakeVariedCount(count, kCountSeed, index);
    static AlgorithmResult r;
    std::memset(&r, 0, sizeof(r));
    ASSERT_EQ(AlgorithmMain(&r, &count.input, nullptr), 0) << index;
    const float* h = count.input.WbcHistogram;
    withFit += r.WbcFitDone;

    ASSERT_EQ(r.WbcLines[0], 10) << index;
    ASSERT_GE(r.WbcLines[1], 40) << index;
    ASSERT_LE(r.WbcLines[1], 75) << index;
    ASSERT_GE(r.WbcLines[2], r.WbcLines[1] + 5) << index;
    ASSERT_EQ(r.WbcLines[3], 255) << index;
    ASSERT_GE(r.RbcLower, 25) << index;
    ASSERT_LE(r.RbcLower, 30) << index;
    ASSERT_EQ(r.PltLower, 1) << index;
    ASSERT_GE(r.PltUpper, 50) << index;
    ASSERT_LE(r.PltUpper, 100) << index;

    double pulses = 0;
    for (int k = 10; k < 256; ++k) pulses += h[k];
    const double e = 1.0 - pulses / 10.0 * 0.000058;
    const double wbc = 0.001 * std::log(e >= 0.1 ? 1.0 / e : 10.0) / 0.000058 * 280.0 / 25.6;
    // ln(1 / e) is taken in single precision: near e = 1 its error is about 2e-5 in WBC.
    if (Valid(r.WBC)) {
      ASSERT_NEAR(r.WBC, wbc, 1e-4 * wbc + 5e-5) << index;
    }

    std::vector<std::uint16_t> b = count.blank, s = count.sample;
    std::sort(b.begin(), b.end());
    std::sort(s.begin(), s.end());
    double sb = 0, ss = 0;
    for (std::size_t k = 1; k + 1 < b.size(); ++k) sb += b[k], ss += s[k];
    const double hgb = std::log(sb / ss) * 223.11;
    ASSERT_NEAR(r.HGB, hgb > 0.000001 ? hgb : 0.0, 1e-3) << index;

    if (Valid(r.LymPercent)) {
      double lym = 0, mid = 0, all = 0;
      for (int k = r.WbcLines[0]; k < 256; ++k) {
        all += h[k];
        if (k < r.WbcLines[1]) lym += h[k];
        else if (k < r.WbcLines[2]) mid += h[k];
      }
      ASSERT_NEAR(r.LymPercent, 100 * lym / all, 1e-3) << index;
      ASSERT_NEAR(r.MidPercent, 100 * mid / all, 1e-3) << index;
      ASSERT_NEAR(r.GraPercent, 100 - r.LymPercent - r.MidPercent, 1e-4) << index;
      if (Valid(r.WBC)) {
        ASSERT_NEAR(r.LymCount, r.WBC * 0.01 * r.LymPercent, 1e-4 * (1 + r.WBC)) << index;
      }
    }
    if (Valid(r.RBC) && Valid(r.MCV) && Valid(r.HCT)) {
      ASSERT_NEAR(r.HCT, r.RBC * 0.1 * r.MCV, 1e-3) << index;
    }
    if (Valid(r.MCH)) {
      ASSERT_NEAR(r.MCH, r.HGB / r.RBC, 1e-3 * r.MCH) << index;
    }
    if (Valid(r.MCHC)) {
      ASSERT_NEAR(r.MCHC, r.HGB * 100 / r.HCT, 1e-3 * r.MCHC) << index;
    }
    if (Valid(r.PCT)) {
      ASSERT_NEAR(r.PCT, r.PLT * r.MPV * 0.0001, 1e-5 + 1e-5 * r.PCT) << index;
    }
  }
  // Most counts run the Gaussian fit of the lymphocyte peak.
  EXPECT_GT(withFit, kCounts / 2);
}

}  // namespace

// X-R statistics and control limits against values worked out by hand.
#include <gtest/gtest.h>

#include "qc/xr_stats.h"

namespace {

std::vector<std::array<float, 20>> Wbc(std::initializer_list<float> v) {
  std::vector<std::array<float, 20>> rows;
  for (float x : v) {
    std::array<float, 20> r{};
    r.fill(-2.0f);
    r[0] = x;
    rows.push_back(r);
  }
  return rows;
}

std::vector<std::string> Dates(size_t n) {
  std::vector<std::string> d;
  for (size_t i = 0; i < n; ++i) d.push_back("2026-03-" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1));
  return d;
}

TEST(XrStats, TwoGroupsOfTwo) {
  // (1, 3) and (2, 2): means 2 and 2, ranges 2 and 0; grand mean 2, mean range 1.
  qc::XrStats s;
  ASSERT_TRUE(qc::ComputeXrStats(Wbc({1, 3, 2, 2}), Dates(4), 2, 2, &s));
  const qc::XrParamStats& w = s.params[0];
  EXPECT_EQ(w.groupMeans, (std::vector<float>{2, 2}));
  EXPECT_EQ(w.groupRanges, (std::vector<float>{2, 0}));
  EXPECT_DOUBLE_EQ(w.grandMean, 2.0);
  EXPECT_DOUBLE_EQ(w.meanRange, 1.0);
  EXPECT_NEAR(w.uclX, 3.88, 1e-12);
  EXPECT_NEAR(w.lclX, 0.12, 1e-12);
  EXPECT_NEAR(w.uclR, 3.267, 1e-12);
  EXPECT_DOUBLE_EQ(w.lclR, 0.0);
  EXPECT_EQ(s.groupDates, (std::vector<std::string>{"03-02", "03-04"}));
  double lo, hi, above, below;
  qc::XrRangeChart(w.meanRange, w.lclR, w.uclR, &lo, &hi, &above, &below);
  EXPECT_NEAR(lo, 1 - 4.534, 1e-12);
  EXPECT_NEAR(hi, 1 + 4.534, 1e-12);
  EXPECT_DOUBLE_EQ(above, 1.0);
  EXPECT_NEAR(below, 1 / 2.267, 1e-12);
}

// (1, 3) and (2, invalid) in groups of 2: the second group has one value, so no range. With it
// the mean range would be (2 + 0) / 2 = 1 and the upper mean limit 2 + 1.88 = 3.88; without it
// the mean range is 2, the grand mean 2, A2 R = 3.76: limits 5.76 and -1.76, R limit 3.267 x 2.
TEST(XrStats, AGroupShortOfAValueStaysOutOfTheLimits) {
  qc::XrStats s;
  ASSERT_TRUE(qc::ComputeXrStats(Wbc({1, 3, 2, -1}), Dates(4), 2, 2, &s));
  const qc::XrParamStats& w = s.params[0];
  EXPECT_EQ(w.groupMeans, (std::vector<float>{2, -1}));
  EXPECT_EQ(w.groupRanges, (std::vector<float>{2, -1}));
  EXPECT_EQ(w.groupsUsed, 1);
  EXPECT_NEAR(w.grandMean, 2.0, 1e-12);
  EXPECT_NEAR(w.meanRange, 2.0, 1e-12);
  EXPECT_NEAR(w.uclX, 5.76, 1e-12);
  EXPECT_NEAR(w.lclX, -1.76, 1e-12);
  EXPECT_NEAR(w.uclR, 6.534, 1e-12);
  EXPECT_NEAR(w.lclR, 0.0, 1e-12);
}

TEST(XrStats, LimitsForEveryGroupSize) {
  // One group of n results 10, 11, ..., 10 + n - 1 and one of n results all 10:
  // means 10 + (n - 1) / 2 and 10, ranges n - 1 and 0.
  const double a2[9] = {1.88, 1.023, 0.729, 0.577, 0.483, 0.419, 0.373, 0.337, 0.308};
  const double d3[9] = {0, 0, 0, 0, 0, 0.076, 0.136, 0.184, 0.223};
  const double d4[9] = {3.267, 2.575, 2.282, 2.115, 2.004, 1.924, 1.864, 1.816, 1.777};
  for (int n = 2; n <= 10; ++n) {
    std::vector<std::array<float, 20>> rows;
    for (int i = 0; i < n; ++i) rows.push_back(Wbc({static_cast<float>(10 + i)})[0]);
    for (int i = 0; i < n; ++i) rows.push_back(Wbc({10.0f})[0]);
    qc::XrStats s;
    ASSERT_TRUE(qc::ComputeXrStats(rows, Dates(rows.size()), 2, n, &s)) << n;
    const double grand = (10 + (n - 1) / 2.0 + 10) / 2, rbar = (n - 1) / 2.0;
    EXPECT_NEAR(s.params[0].grandMean, grand, 1e-5) << n;
    EXPECT_NEAR(s.params[0].meanRange, rbar, 1e-6) << n;
    EXPECT_NEAR(s.params[0].uclX, grand + a2[n - 2] * rbar, 1e-5) << n;
    EXPECT_NEAR(s.params[0].lclX, grand - a2[n - 2] * rbar, 1e-5) << n;
    EXPECT_NEAR(s.params[0].uclR, d4[n - 2] * rbar, 1e-6) << n;
    EXPECT_NEAR(s.params[0].lclR, d3[n - 2] * rbar, 1e-6) << n;
  }
}

TEST(XrStats, InvalidValuesTakeNoPartAndWrongSizesAreRefused) {
  // Groups (4, -1, 6) and (-1, -1, -1) and (5, 5, 5): only the third holds three values; mean 5,
  // range 0 over that one group.
  qc::XrStats s;
  ASSERT_TRUE(qc::ComputeXrStats(Wbc({4, -1, 6, -1, -1, -1, 5, 5, 5}), Dates(9), 3, 3, &s));
  EXPECT_EQ(s.params[0].groupMeans, (std::vector<float>{-1, -1, 5}));
  EXPECT_EQ(s.params[0].groupRanges, (std::vector<float>{-1, -1, 0}));
  EXPECT_DOUBLE_EQ(s.params[0].grandMean, 5.0);
  EXPECT_DOUBLE_EQ(s.params[0].meanRange, 0.0);
  EXPECT_EQ(s.params[0].groupsUsed, 1);
  EXPECT_DOUBLE_EQ(s.params[1].grandMean, 0.0);  // RBC never under QC (-2)
  EXPECT_EQ(s.params[1].groupsUsed, 0);
  EXPECT_FALSE(qc::ComputeXrStats(Wbc({1, 2, 3}), Dates(3), 2, 2, &s));  // one result short
  EXPECT_FALSE(qc::ComputeXrStats(Wbc({1}), Dates(1), 1, 1, &s));        // no factors for 1
  EXPECT_FALSE(qc::ComputeXrStats(std::vector<std::array<float, 20>>(22), Dates(22), 2, 11, &s));
}

}  // namespace

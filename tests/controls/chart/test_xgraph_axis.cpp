// Axis ranges, ticks, labels and the mapping between values and pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "controls/chart/xgraph_axis.h"

namespace {

TEST(NiceTickStep, PicksOneTwoOrFiveTimesAPowerOfTen) {
  struct Case { double span; int count; double step; };
  const Case cases[] = {
      {400, 8, 50}, {100, 8, 20}, {10, 8, 2}, {1, 8, 0.2}, {30, 6, 5}, {7, 7, 1}, {0.03, 3, 0.01},
      {1e6, 10, 1e5}, {0, 8, 1}, {-5, 8, 1}, {std::numeric_limits<double>::infinity(), 8, 1},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(NiceTickStep(c.span, c.count), c.step) << c.span << "/" << c.count;
}

TEST(AxisRange, TicksAreTheStepMultiplesWithinTheRange) {
  struct Case { double min, max, step; std::vector<double> ticks; };
  const Case cases[] = {
      {0, 400, 50, {0, 50, 100, 150, 200, 250, 300, 350, 400}},
      {0, 30, 5, {0, 5, 10, 15, 20, 25, 30}},
      {-5, 5, 2, {-4, -2, 0, 2, 4}},
      {0.1, 0.95, 0.1, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}},
      {3, 17, 5, {5, 10, 15}},
      {0, 1, 0.3, {0, 0.3, 0.6, 0.9}},
  };
  for (const Case& c : cases) {
    CXGraphAxis a(nullptr, true);
    ASSERT_TRUE(a.SetCurrentRange(c.min, c.max, c.step));
    std::vector<double> t = a.GetTicks();
    ASSERT_EQ(t.size(), c.ticks.size()) << c.min << ".." << c.max << " by " << c.step;
    for (size_t i = 0; i < t.size(); ++i) EXPECT_NEAR(t[i], c.ticks[i], 1e-9);
  }
  CXGraphAxis y(nullptr, false);
  ASSERT_TRUE(y.SetCurrentRange(0, 320, 10));
  EXPECT_EQ(y.GetTicks().size(), 33u);
}

TEST(AxisRange, BadRangesAreRefusedAndBadStepsReplaced) {
  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  struct Case { double min, max, step; bool ok; double wantStep; };
  const Case cases[] = {
      {0, 400, 50, true, 50},  {10, 10, 1, false, 0}, {10, 0, 1, false, 0},  {nan, 1, 1, false, 0},
      {0, inf, 1, false, 0},   {0, 400, 0, true, 50}, {0, 400, -3, true, 50}, {0, 400, nan, true, 50},
      {0, 400, 1e-9, true, 50},  // millions of ticks would be drawn
  };
  for (const Case& c : cases) {
    CXGraphAxis a(nullptr, true);
    ASSERT_TRUE(a.SetCurrentRange(-1, 1, 0.5));
    EXPECT_EQ(a.SetCurrentRange(c.min, c.max, c.step), c.ok) << c.min << ".." << c.max << " by " << c.step;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(a.GetStep(), c.wantStep);
    } else {
      EXPECT_EQ(a.GetMin(), -1);  // unchanged
      EXPECT_EQ(a.GetMax(), 1);
    }
  }
}

TEST(AxisRange, FitRangeCoversTheDataWithWholeTicks) {
  struct Case { double lo, hi, min, max; };
  const Case cases[] = {{3, 97, 0, 100}, {0, 255, 0, 300}, {-12, 13, -15, 15}, {5, 5, 4.4, 5.6}, {0, 0, -1, 1}};
  for (const Case& c : cases) {
    CXGraphAxis a(nullptr, false);
    a.FitRange(c.lo, c.hi);
    EXPECT_NEAR(a.GetMin(), c.min, 1e-9) << c.lo << ".." << c.hi;
    EXPECT_NEAR(a.GetMax(), c.max, 1e-9) << c.lo << ".." << c.hi;
    EXPECT_LE(a.GetMin(), c.lo);
    EXPECT_GE(a.GetMax(), c.hi);
  }
}

TEST(AxisMapping, ValuesToPixelsAndBack) {
  struct Case { double min, max; int lo, hi; double value; int pixel; };
  const Case cases[] = {
      {0, 400, 10, 410, 0, 10},      {0, 400, 10, 410, 400, 410},  {0, 400, 10, 410, 107, 117},
      {0, 400, 10, 410, 200, 210},   {0, 320, 150, 10, 0, 150},    {0, 320, 150, 10, 320, 10},
      {0, 320, 150, 10, 160, 80},    {0, 30, 0, 299, 15, 150},     {0, 400, 10, 410, -100, -90},
      {0, 400, 10, 410, 1e300, 10 + 101 * 400},  // far off stays far off, no overflow
  };
  for (const Case& c : cases) {
    CXGraphAxis a(nullptr, true);
    ASSERT_TRUE(a.SetCurrentRange(c.min, c.max, 1));
    a.SetPixelRange(c.lo, c.hi);
    EXPECT_EQ(a.ValueToPixel(c.value), c.pixel) << c.value << " on " << c.min << ".." << c.max;
    if (std::fabs(c.value) < 1e6) {
      EXPECT_NEAR(a.PixelToValue(c.pixel), c.value, (c.max - c.min) / std::abs(c.hi - c.lo));
    }
  }
  CXGraphAxis a(nullptr, true);
  a.SetPixelRange(10, 410);
  EXPECT_EQ(a.ValueToPixel(std::nan("")), 10);
}

TEST(AxisLabels, FormatsTicksAndRefusesUnsafeFormats) {
  struct Case { const char* fmt; double v; const char* text; };
  const Case cases[] = {
      {"", 50, "50"},          {"", 0.25, "0.25"},      {"%.1f", 2, "2.0"},      {"%g fL", 15, "15 fL"},
      {"%5.2f%%", 3, " 3.00%"}, {"%s", 5, "5"},          {"%d", 5, "5"},          {"%g %g", 5, "5"},
      {"%n", 5, "5"},          {"100%", 5, "5"},
  };
  for (const Case& c : cases) {
    CXGraphAxis a(nullptr, true);
    a.SetDisplayFmt(c.fmt);
    EXPECT_EQ(a.FormatTick(c.v), c.text) << "format \"" << c.fmt << "\"";
  }
}

TEST(AxisMarkers, AddReplaceAndRefuse) {
  CXGraphAxis a(nullptr, true);
  EXPECT_TRUE(a.SetAxisMarker(0, 15, draw::RGB(1, 2, 3), 0));
  EXPECT_TRUE(a.SetAxisMarker(1, 107, draw::RGB(1, 2, 3), 0));
  EXPECT_FALSE(a.SetAxisMarker(3, 400, draw::RGB(1, 2, 3), 0));  // would leave a hole
  EXPECT_FALSE(a.SetAxisMarker(-1, 400, draw::RGB(1, 2, 3), 0));
  EXPECT_EQ(a.GetAxisMarkerCount(), 2);
  a.GetAxisMarker(1).text = "2";
  EXPECT_TRUE(a.SetAxisMarker(1, 120, draw::RGB(9, 9, 9), 1));
  EXPECT_EQ(a.GetAxisMarker(1).value, 120);
  EXPECT_EQ(a.GetAxisMarker(1).text, "2");  // the label survives a new value
  EXPECT_EQ(a.GetAxisMarker(1).color, draw::RGB(9, 9, 9));
  // An index out of range gives a spare record, never someone else's.
  a.GetAxisMarker(7).text = "x";
  EXPECT_EQ(a.GetAxisMarkerCount(), 2);
  EXPECT_EQ(a.GetAxisMarker(0).text, "");
  EXPECT_FALSE(a.SetAxisMarkerValue(2, 5));
  EXPECT_TRUE(a.SetAxisMarkerValue(0, 20));
  EXPECT_EQ(a.GetAxisMarker(0).value, 20);
}

}  // namespace

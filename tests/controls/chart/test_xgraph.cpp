// The chart as the histogram views use it: curves from point buffers, markers that a press
// selects and the arrow keys step within bounds, and a picture checked where it matters.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "controls/chart/xgraph.h"
#include "platform/ui/draw/dc.h"

namespace {

using draw::Color;
using draw::RGB;

constexpr Color kWbcColor = RGB(40, 40, 40);
constexpr Color kMarkerColor = RGB(200, 255, 255);
constexpr Color kInner = RGB(40, 40, 40);
constexpr Color kGold = RGB(250, 196, 88);

// A chart set up the way the WBC histogram view sets up its chart, showing a three-humped
// white-cell histogram (lymphocytes, mid cells, granulocytes).
struct WbcChart {
  CXGraph chart;
  std::vector<XGraphPoint> points;
  draw::Bitmap bmp = draw::Bitmap::Create(320, 170, RGB(255, 0, 255));

  WbcChart() {
    chart.SetData(nullptr, 0, 0, RGB(235, 233, 237), 0, 0, false);
    const int bins = 256;
    const double start = 15, span = 385;
    points.resize(bins);
    for (int i = 0; i < bins; ++i) {
      double fl = start + i * span / bins;
      double h = 230 * std::exp(-std::pow((fl - 70) / 16, 2)) + 40 * std::exp(-std::pow((fl - 125) / 12, 2)) +
                 120 * std::exp(-std::pow((fl - 230) / 45, 2));
      points[i] = {fl, std::floor(h)};
    }
    chart.SetData(points.data(), bins, 0, kWbcColor, 0, 0, false);
    chart.GetXAxis(0).SetLabel("fl");
    chart.SetLegend("WBC");
    chart.GetXAxis(0).SetCurrentRange(0, 400, 50);
    const double markers[] = {15, 107, 147, 400};
    const char* labels[] = {"1", "2", "3", "4"};
    for (int i = 0; i < 4; ++i) {
      chart.GetXAxis(0).SetAxisMarker(i, markers[i], kMarkerColor, 0);
      chart.GetXAxis(0).GetAxisMarker(i).text = labels[i];
    }
    chart.GetYAxis(0).SetCurrentRange(0, 320, 10);
    chart.SetInnerColor(kInner);
    chart.SetRect(draw::Rect(0, 0, bmp.Width(), bmp.Height()));
  }

  void Paint() {
    draw::DC dc(bmp);
    chart.Draw(&dc);
    dc.Flush();
  }
  int MarkerX(int i) { return chart.GetXAxis(0).ValueToPixel(chart.GetXAxis(0).GetAxisMarker(i).value); }
};

TEST(ChartData, SeriesKeepTheCallersBuffer) {
  CXGraph chart;
  std::vector<XGraphPoint> pts = {{0, 1}, {1, 2}};
  CXGraphDataSerie& s = chart.SetData(pts.data(), 2, 0, RGB(1, 2, 3));
  EXPECT_EQ(s.GetPoints(), pts.data());
  EXPECT_EQ(s.GetCount(), 2);
  EXPECT_EQ(s.GetColor(), RGB(1, 2, 3));
  // Setting curve 0 again replaces it; a far index appends.
  chart.SetData(pts.data(), 1, 0, RGB(4, 5, 6));
  EXPECT_EQ(chart.GetCurveCount(), 1);
  EXPECT_EQ(chart.GetCurve(0)->GetCount(), 1);
  chart.SetData(pts.data(), 2, 9, RGB(7, 8, 9), 1, 2);
  EXPECT_EQ(chart.GetCurveCount(), 2);
  EXPECT_EQ(chart.GetCurve(1)->GetIndex(), 1);
  EXPECT_EQ(chart.GetXAxisCount(), 2);
  EXPECT_EQ(chart.GetYAxisCount(), 3);
  // A null buffer counts as empty whatever the count says.
  EXPECT_EQ(chart.SetData(nullptr, 50, 0, RGB(0, 0, 0)).GetCount(), 0);

  EXPECT_FALSE(chart.DeleteCurve(2));
  EXPECT_FALSE(chart.DeleteCurve(-1));
  EXPECT_TRUE(chart.DeleteCurve(0));
  ASSERT_EQ(chart.GetCurveCount(), 1);
  EXPECT_EQ(chart.GetCurve(0)->GetColor(), RGB(7, 8, 9));
  EXPECT_EQ(chart.GetCurve(0)->GetIndex(), 0);
}

TEST(ChartMarkers, MoveStepClampsToTheBounds) {
  struct Case { double start; int direction; double step, min, max, want; };
  const Case cases[] = {
      {107, 0, 1.50390625, 35, 127, 105.49609375},  // left
      {107, 1, 1.50390625, 35, 127, 108.50390625},  // right
      {35.5, 0, 1.50390625, 35, 127, 35},           // stops at the lower bound
      {126.9, 1, 1.50390625, 35, 127, 127},         // stops at the upper bound
      {30, 1, 1, 35, 127, 35},                      // outside: brought in
      {107, 1, 1, 130, 120, 107},                   // bounds crossed: stays
      {107, 1, std::nan(""), 35, 127, 107},         // no step: stays
  };
  for (const Case& c : cases) {
    CXGraph chart;
    chart.GetXAxis(0).SetAxisMarker(0, 15, kMarkerColor, 0);
    chart.GetXAxis(0).SetAxisMarker(1, c.start, kMarkerColor, 0);
    EXPECT_DOUBLE_EQ(chart.MoveStep(1, c.direction, c.step, c.min, c.max), c.want) << c.start;
    EXPECT_DOUBLE_EQ(chart.GetXAxis(0).GetAxisMarker(1).value, c.want);
    EXPECT_EQ(chart.GetXAxis(0).GetAxisMarker(0).value, 15);  // neighbours untouched
  }
  CXGraph chart;
  EXPECT_EQ(chart.MoveStep(0, 1, 1, 0, 10), 0.0);  // no such marker
  EXPECT_EQ(chart.GetXAxis(0).GetAxisMarkerCount(), 0);
}

TEST(ChartMarkers, TwoLeftsAndTwoRightsComeBackUnlessClamped) {
  struct Case { double min, max, want; };
  const Case cases[] = {
      {0, 30, 2.0},           // free to move: back at the start
      {1.8, 30, 2.2375},      // the second left press hits the bound, so the line ends further right
      {0, 1.9, 1.9},          // the last right press is held at the upper bound
  };
  for (const Case& c : cases) {
    CXGraph chart;
    chart.GetXAxis(0).SetAxisMarker(0, 2, kMarkerColor, 0);
    for (int d : {0, 0, 1, 1}) chart.MoveStep(0, d, 0.21875, c.min, c.max);
    EXPECT_NEAR(chart.GetXAxis(0).GetAxisMarker(0).value, c.want, 1e-12) << c.min << ".." << c.max;
  }
}

TEST(ChartMarkers, PressSelectsTheNearestLine) {
  WbcChart w;
  w.Paint();
  draw::Rect plot = w.chart.GetPlotRect();
  ASSERT_FALSE(plot.IsEmpty());
  int y = (plot.top + plot.bottom) / 2;
  EXPECT_EQ(w.chart.GetXAxisMarkerSelected(), -1);

  struct Case { int dx; int marker; int expect; bool changed; };
  const Case cases[] = {
      {0, 1, 1, true},    // on line 2
      {3, 1, 1, false},   // near it again: no change
      {0, 2, 2, true},    // line 3
      {-4, 2, 2, false},
      {20, 2, -1, true},  // in the plot, away from every line: nothing selected
      {0, 3, 3, true},    // the last line at the right edge of the plot
      {0, 0, 0, true},
  };
  for (const Case& c : cases) {
    int x = w.MarkerX(c.marker) + c.dx;
    EXPECT_EQ(w.chart.OnLButtonDown(draw::Point(x, y)), c.changed) << "marker " << c.marker << " dx " << c.dx;
    EXPECT_EQ(w.chart.GetXAxisMarkerSelected(), c.expect) << "marker " << c.marker << " dx " << c.dx;
  }
  // Presses outside the plot (axis labels, legend margin) leave the selection alone.
  EXPECT_FALSE(w.chart.OnLButtonDown(draw::Point(w.MarkerX(1), plot.bottom + 5)));
  EXPECT_FALSE(w.chart.OnLButtonDown(draw::Point(2, y)));
  EXPECT_EQ(w.chart.GetXAxisMarkerSelected(), 0);
  // Two lines close together: the nearer one wins.
  w.chart.SetAxisMarkerValue(2, 109);
  w.Paint();
  int mid1 = w.MarkerX(1), mid2 = w.MarkerX(2);
  ASSERT_LT(mid1, mid2);
  w.chart.OnLButtonDown(draw::Point(mid2, y));
  EXPECT_EQ(w.chart.GetXAxisMarkerSelected(), 2);
  w.chart.OnLButtonDown(draw::Point(mid1 - 1, y));
  EXPECT_EQ(w.chart.GetXAxisMarkerSelected(), 1);
  // With interaction off a press does nothing.
  w.chart.SetInteraction(false);
  EXPECT_FALSE(w.chart.OnLButtonDown(draw::Point(mid2 + 1, y)));
  EXPECT_EQ(w.chart.GetXAxisMarkerSelected(), 1);
  EXPECT_FALSE(w.chart.SelectXAxisMarker(4));
  EXPECT_TRUE(w.chart.SelectXAxisMarker(-1));
}

TEST(ChartPicture, WbcHistogramWithMarkers) {
  WbcChart w;
  w.chart.SelectXAxisMarker(2);
  w.Paint();
  ASSERT_TRUE(w.bmp.SavePng("chart_wbc.png"));
  draw::Rect plot = w.chart.GetPlotRect();
  ASSERT_FALSE(plot.IsEmpty());
  EXPECT_TRUE(draw::Rect(0, 0, 320, 170).Contains(plot.TopLeft()));
  // Nothing of the bitmap's magenta is left: the chart covers its whole rectangle.
  for (int y = 0; y < w.bmp.Height(); ++y)
    for (int x = 0; x < w.bmp.Width(); ++x) ASSERT_NE(w.bmp.GetPixel(x, y), RGB(255, 0, 255)) << x << "," << y;

  // The curve is in the plot only, and shows in a colour that differs from the dark plot.
  Color curve = w.chart.VisibleCurveColor(kWbcColor);
  ASSERT_NE(curve, kInner);
  int curvePixels = 0;
  for (int y = 0; y < w.bmp.Height(); ++y)
    for (int x = 0; x < w.bmp.Width(); ++x)
      if (w.bmp.GetPixel(x, y) == curve) {
        ++curvePixels;
        EXPECT_TRUE(plot.Contains(draw::Point(x, y))) << "curve pixel outside the plot at " << x << "," << y;
      }
  EXPECT_GT(curvePixels, plot.Width() / 2);

  // The tallest hump (70 fL, height 230) peaks where the axes put it.
  CXGraphAxis& xa = w.chart.GetXAxis(0);
  CXGraphAxis& ya = w.chart.GetYAxis(0);
  int px = xa.ValueToPixel(70), peakY = ya.ValueToPixel(230);
  int topmost = -1;
  for (int y = plot.top; y < plot.bottom && topmost < 0; ++y)
    for (int x = px - 2; x <= px + 2; ++x)
      if (w.bmp.GetPixel(x, y) == curve) topmost = y;
  EXPECT_NEAR(topmost, peakY, 2);

  // Each line stands at its value over the plot's height; the selected one in gold and wider.
  for (int i = 0; i < 4; ++i) {
    int x = w.MarkerX(i);
    Color want = i == 2 ? kGold : kMarkerColor;
    int hits = 0;
    for (int y = plot.top; y < plot.bottom; ++y) hits += w.bmp.GetPixel(x, y) == want;
    EXPECT_GT(hits, plot.Height() * 3 / 4) << "marker " << i << " at x " << x;
  }
  EXPECT_EQ(w.MarkerX(1), xa.ValueToPixel(107));
  EXPECT_EQ(w.MarkerX(3), plot.right - 1);
  int mid = (plot.top + plot.bottom) / 2 + 20;
  EXPECT_EQ(w.bmp.GetPixel(w.MarkerX(2) + 1, mid), kGold);
  EXPECT_NE(w.bmp.GetPixel(w.MarkerX(1) + 1, mid), kMarkerColor);
  EXPECT_NE(w.bmp.GetPixel(w.MarkerX(1) + 4, mid), kMarkerColor);
}

TEST(ChartPicture, EmptyOrTinyRectanglesDrawSafely) {
  CXGraph chart;
  std::vector<XGraphPoint> pts = {{0, 0}, {1, std::nan("")}, {2, 1e300}, {3, -1e300}};
  chart.SetData(pts.data(), static_cast<long>(pts.size()), 0, RGB(0, 0, 255), 0, 0, true);
  draw::Bitmap bmp = draw::Bitmap::Create(40, 20, RGB(255, 0, 255));
  draw::DC dc(bmp);
  for (draw::Rect r : {draw::Rect(), draw::Rect(0, 0, 5, 5), draw::Rect(0, 0, 40, 20), draw::Rect(10, 10, 2, 2)}) {
    chart.SetRect(r);
    chart.Draw(&dc);
  }
  dc.Flush();
  EXPECT_EQ(bmp.GetPixel(39, 19) == RGB(255, 0, 255), false);
  EXPECT_EQ(chart.HitTestMarker(draw::Point(1, 1)), -1);
}

}  // namespace

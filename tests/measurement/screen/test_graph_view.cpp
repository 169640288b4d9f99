// The histogram view: created in place of a placeholder, one chart per channel, histograms
// stretched over the channel's curve span, divider lines as the chart's markers.
#include "controls/chart/xgraph.h"
#include "measurement/screen/graph_view.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window_class.h"
#include "screen_fixture.h"

using namespace measurement;

namespace {

class GraphView : public TestScreenTest {
 protected:
  void SetUp() override {
    TestScreenTest::SetUp();
    ui::DialogTemplate t;
    t.cx = 200;
    t.cy = 100;
    t.style = uint32_t{ui::WS_POPUP} | ui::WS_VISIBLE;
    t.Add(CXGraph::kWindowClass, 1054, "", 10, 10, 120, 60, ui::WS_VISIBLE);
    dlg = std::make_unique<ui::Dialog>(t);
    ASSERT_TRUE(dlg->CreateModeless());
  }
  void TearDown() override {
    dlg.reset();
    TestScreenTest::TearDown();
  }
  std::unique_ptr<ui::Dialog> dlg;
};

TEST_F(GraphView, CreatedInPlaceOfItsPlaceholderOnly) {
  CGraphView missing;
  EXPECT_EQ(missing.CreateInPlace(1055, dlg.get()), 0);
  EXPECT_FALSE(missing.IsWindow());
  EXPECT_EQ(missing.CreateInPlace(1054, nullptr), 0);
  const ui::Rect placeholder = dlg->GetDlgItem(1054)->GetRectInParent();
  CGraphView view;
  ASSERT_EQ(view.CreateInPlace(1054, dlg.get()), 1);
  EXPECT_EQ(dlg->GetDlgItem(1054), &view);
  EXPECT_EQ(view.GetRectInParent(), placeholder);
  view.CreateChart(0);
  ASSERT_NE(view.ChartWindow(), nullptr);
  EXPECT_EQ(view.ChartWindow()->GetDlgCtrlID(), 1001);
  EXPECT_EQ(view.Graph().GetXAxis(0).GetAxisMarkerCount(), 4);
  EXPECT_EQ(view.Graph().GetXAxis(0).GetAxisMarker(2).text, "3");
}

TEST_F(GraphView, HistogramStretchedOverTheCurveSpan) {
  CGraphView view;
  ASSERT_EQ(view.CreateInPlace(1054, dlg.get()), 1);
  view.CreateChart(0);
  unsigned char heights[256];
  for (int i = 0; i < 256; ++i) heights[i] = static_cast<unsigned char>(i);
  struct Case {
    int first;
    long count;
    double step;
    int firstHeight;
  } cases[] = {{0, 256, 1.50390625, 0}, {10, 246, 385.0 / 246, 10}, {-5, 256, 1.50390625, 0}, {400, 1, 385.0, 255}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    view.SetHistogram(0, heights, c.first);
    CXGraphDataSerie* curve = view.Graph().GetCurve(0);
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->GetCount(), c.count);
    const XGraphPoint* p = view.Points(0);
    EXPECT_DOUBLE_EQ(p[0].x, 15.0);
    if (c.count > 1) {
      EXPECT_NEAR(p[1].x - p[0].x, c.step, 1e-9);
    }
    EXPECT_EQ(p[0].y, c.firstHeight);
  }
  EXPECT_EQ(view.Graph().GetYAxis(0).GetMax(), 320.0);
  // A channel outside 0..2 changes nothing.
  const double before = view.Points(0)[0].y;
  view.SetHistogram(3, heights, 0);
  EXPECT_EQ(view.Points(0)[0].y, before);
}

TEST_F(GraphView, MarkersSetAndSteppedWithinTheirBounds) {
  CGraphView view;
  ASSERT_EQ(view.CreateInPlace(1054, dlg.get()), 1);
  view.CreateChart(0);
  view.SetMarkers(false, 20, 100, 160);
  view.SetMarkers(true, 21, 101, 999);  // the third value is ignored
  const CXGraphAxis& x = view.Graph().GetXAxis(0);
  EXPECT_EQ(x.Markers()[0].value, 21);
  EXPECT_EQ(x.Markers()[1].value, 101);
  EXPECT_EQ(x.Markers()[2].value, 160);
  EXPECT_EQ(view.GetSelectedMarker(), -1);
  view.Graph().SelectXAxisMarker(1);
  EXPECT_EQ(view.GetSelectedMarker(), 1);
  view.MoveMarkerStep(1, 1, CGraphView::Spacing(0), 0, 102);
  EXPECT_NEAR(x.Markers()[1].value, 102, 1e-9);  // clamped at the upper bound
  view.MoveMarkerStep(1, 0, CGraphView::Spacing(0), 0, 400);
  EXPECT_NEAR(x.Markers()[1].value, 102 - 1.50390625, 1e-9);
}

}  // namespace

#include "measurement/screen/graph_view.h"

#include <algorithm>

#include "platform/ui/window_class.h"

namespace measurement {

// The chart's window: paints the chart over its client area and hands presses to it so the
// operator can select a divider line.
class CGraphView::ChartPane : public ui::Window {
 public:
  explicit ChartPane(CXGraph& g) : graph_(g) {}

 protected:
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnPaint(draw::DC& dc) override {
    graph_.SetRect(GetClientRect());
    graph_.Draw(&dc);
  }
  void OnLButtonDown(unsigned, ui::Point pt) override {
    if (graph_.OnLButtonDown(pt)) Invalidate(false);
  }

 private:
  CXGraph& graph_;
};

const CGraphView::ChannelInfo& CGraphView::Channel(int channel) {
  static const ChannelInfo kInfo[3] = {
      {256, 15.0, 385.0, 400.0, 50.0, draw::RGB(40, 40, 40), "WBC", 4, {15.0, 107.0, 147.0, 400.0}},
      {256, 25.0, 225.0, 250.0, 50.0, draw::RGB(40, 215, 215), "RBC", 2, {25.0, 250.0, 0, 0}},
      {128, 2.0, 28.0, 30.0, 5.0, draw::RGB(215, 40, 215), "PLT", 2, {2.0, 30.0, 0, 0}},
  };
  return kInfo[std::clamp(channel, 0, 2)];
}

CGraphView::CGraphView() = default;

CGraphView::~CGraphView() {
  if (IsWindow()) DestroyWindow();
}

int CGraphView::CreateInPlace(unsigned id, ui::Window* parent) {
  if (parent == nullptr || !parent->IsWindow()) return 0;
  ui::Window* placeholder = parent->GetDlgItem(static_cast<int>(id));
  if (placeholder == nullptr) return 0;
  const ui::Rect r = parent->ScreenToClient(placeholder->GetWindowRect());
  const uint32_t style = placeholder->GetStyle();
  placeholder->DestroyWindow();
  return Create("", "", style | ui::WS_CHILD | ui::WS_VISIBLE, r, parent, static_cast<int>(id)) ? 1 : 0;
}

void CGraphView::CreateChart(int channel) {
  if (channel < 0 || channel > 2) return;
  channel_ = channel;
  const ChannelInfo& c = Channel(channel);
  auto* w = new ChartPane(graph_);
  w->SetAutoDelete(true);
  if (!w->Create(CXGraph::kWindowClass, "", ui::WS_CHILD | ui::WS_VISIBLE, GetClientRect(), this,
                 1000 + channel + 1)) {
    delete w;
    return;
  }
  chart_ = w;
  graph_.SetData(nullptr, 0, 0, draw::RGB(235, 233, 237), 0, 0, false);
  for (int i = 0; i < c.bins; ++i) {
    points_[channel][i].x = c.start + i * c.span / c.bins;
    points_[channel][i].y = 0.01 + 0.001 * i;
  }
  graph_.SetData(points_[channel], c.bins, 0, c.colour, 0, 0, false);
  graph_.GetXAxis(0).SetLabel("fl");
  graph_.SetLegend(c.legend);
  graph_.GetXAxis(0).SetCurrentRange(0, c.xMax, c.xStep);
  static const char* const kLabels[4] = {"1", "2", "3", "4"};
  for (int i = 0; i < c.markerCount; ++i) {
    graph_.GetXAxis(0).SetAxisMarker(i, c.markers[i], draw::RGB(200, 255, 255), 0);
    graph_.GetXAxis(0).GetAxisMarker(i).text = kLabels[i];
  }
  graph_.GetYAxis(0).SetCurrentRange(0, 512, 10);
  graph_.SetInnerColor(draw::RGB(40, 40, 40));
}

void CGraphView::SetHistogram(int channel, const unsigned char* heights, int first) {
  if (channel < 0 || channel > 2 || heights == nullptr) return;
  const ChannelInfo& c = Channel(channel);
  first = std::clamp(first, 0, c.bins - 1);
  const int n = c.bins - first;
  for (int i = 0; i < n; ++i) {
    points_[channel][i].x = c.start + i * c.span / n;
    points_[channel][i].y = heights[first + i];
  }
  graph_.GetYAxis(0).SetCurrentRange(0, 320, 10);
  graph_.SetData(points_[channel], n, 0, c.colour, 0, 0, false);
  RedrawChart();
}

void CGraphView::SetMarkers(bool twoOnly, double m0, double m1, double m2) {
  graph_.SetAxisMarkerValue(0, m0);
  graph_.SetAxisMarkerValue(1, m1);
  if (!twoOnly) graph_.SetAxisMarkerValue(2, m2);
  RedrawChart();
}

void CGraphView::ResetMarkers() {
  if (channel_ < 0) return;
  const ChannelInfo& c = Channel(channel_);
  for (int i = 0; i < c.markerCount; ++i) graph_.SetAxisMarkerValue(i, c.markers[i]);
  RedrawChart();
}

double CGraphView::MoveMarkerStep(int marker, int direction, double step, double min, double max) {
  const double v = graph_.MoveStep(marker, direction, step, min, max);
  RedrawChart();
  return v;
}

void CGraphView::RedrawChart() {
  if (chart_ != nullptr && chart_->IsWindow()) chart_->Invalidate(false);
}

}  // namespace measurement

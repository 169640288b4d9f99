#pragma once
// CGraphView: the small window that shows one histogram (WBC, RBC or PLT) with its divider
// lines. A screen lays out a placeholder control where the chart goes, then creates the view
// in its place (CreateInPlace) and the chart inside it (CreateChart). The chart is a CXGraph
// held by the view; the view owns the point buffers the chart draws from. The divider lines
// are the chart's x-axis markers: the operator selects one by touching it, the screen moves
// it in steps.
#include <cstdint>

#include "controls/chart/xgraph.h"
#include "platform/ui/window.h"

namespace measurement {

class CGraphView : public ui::Window {
 public:
  // Channel constants: bins, curve start and span (fL), x range and tick step.
  struct ChannelInfo {
    int bins;
    double start, span;
    double xMax, xStep;
    draw::Color colour;
    const char* legend;
    int markerCount;
    double markers[4];
  };
  static const ChannelInfo& Channel(int channel);  // 0 WBC, 1 RBC, 2 PLT
  // The placeholder step of the divider-line buttons (span / bins).
  static double Spacing(int channel) { return Channel(channel).span / Channel(channel).bins; }

  CGraphView();
  ~CGraphView() override;

  // Replaces control `id` of `parent` by the view (same rectangle, style and id). 0 when the
  // parent is missing or has no such child; nothing is created then.
  int CreateInPlace(unsigned id, ui::Window* parent);
  // Creates the chart window inside the view and sets it up for the channel (0, 1 or 2).
  void CreateChart(int channel);
  // Loads a histogram: one 8-bit height per bin; `first` is the first bin shown (stretched
  // over the whole curve span). A channel outside 0..2 changes nothing; a `first` below 0
  // starts at bin 0, one beyond the last bin shows the last bin.
  void SetHistogram(int channel, const unsigned char* heights, int first);
  // Markers 0 and 1 to m0 and m1 (fL), and marker 2 to m2 unless `twoOnly`.
  void SetMarkers(bool twoOnly, double m0, double m1, double m2);
  // The divider lines back at the chart's starting positions (a chart without a result).
  void ResetMarkers();
  int GetSelectedMarker() const { return graph_.GetXAxisMarkerSelected(); }
  double MoveMarkerStep(int marker, int direction, double step, double min, double max);
  bool DeleteCurve(int curve) { return graph_.DeleteCurve(curve); }

  CXGraph& Graph() { return graph_; }
  int channel() const { return channel_; }
  ui::Window* ChartWindow() const { return chart_; }
  // The points of the channel's buffer (tests).
  const XGraphPoint* Points(int channel) const { return points_[channel]; }
  void RedrawChart();

 protected:
  void OnPaint(draw::DC&) override {}
  bool OnEraseBkgnd(draw::DC&) override { return true; }

 private:
  class ChartPane;
  CXGraph graph_;
  XGraphPoint points_[3][256];
  int channel_ = -1;
  ui::Window* chart_ = nullptr;  // owned by the window tree (auto delete)
};

}  // namespace measurement

#pragma once
// A chart: curves from point buffers over x and y axes with ticks and labels, a legend and
// vertical markers on the first x axis that the user selects by touching them and the
// program moves in clamped steps.
//
// It draws with a device context onto whatever it is given: a window hands it its DC and
// client rectangle (SetRect, then Draw); tests draw it onto a bitmap. Pointer input comes
// in through OnLButtonDown in the same coordinates.
//
// Colours: the back colour fills the chart outside the plot, the graph colour draws the
// axes, ticks, labels and frame, the inner colour fills the plot area.
#include <memory>
#include <string>
#include <vector>

#include "controls/chart/xgraph_axis.h"
#include "controls/chart/xgraph_data_serie.h"
#include "controls/chart/xgraph_object.h"
#include "controls/chart/xgraph_types.h"

class CXGraph : public CXGraphObject {
 public:
  // The window class screens name for a chart placeholder.
  static constexpr const char* kWindowClass = "XGraph";

  CXGraph();
  ~CXGraph() override;

  // Curve `curve` shows `count` points of `points` (kept, not copied) in `color`, through x
  // axis `xAxis` and y axis `yAxis` (made when missing). With `autoScale` both axes take
  // the data's range. Replaces the series already at that index; an index past the end adds
  // a series at the end. Returns the series.
  CXGraphDataSerie& SetData(const XGraphPoint* points, long count, int curve, draw::Color color,
                            int xAxis = 0, int yAxis = 0, bool autoScale = false);
  // Removes curve `curve`; later curves move down one index. False when there is none.
  bool DeleteCurve(int curve);
  CXGraphDataSerie* GetCurve(int curve);

  // The axis with that index, made (with its neighbours) when missing. A negative index
  // gives axis 0.
  CXGraphAxis& GetXAxis(int index);
  CXGraphAxis& GetYAxis(int index);

  // Markers of x axis 0.
  bool SetAxisMarkerValue(int index, double value);
  // Moves marker `marker` one `step` left (direction 0) or right (direction 1), kept within
  // [min, max]; returns its new value. An unknown marker changes nothing and returns 0.
  double MoveStep(int marker, int direction, double step, double min, double max);
  int GetXAxisMarkerSelected() const { return m_selectedMarker; }
  // Selects marker `index` (-1: none); false when there is no such marker.
  bool SelectXAxisMarker(int index);
  // The marker of x axis 0 whose line lies within a few pixels of `p` in the plot (the
  // nearest one), or -1. Uses the layout of the last Draw or Layout.
  int HitTestMarker(draw::Point p) const;
  // A press at `p`: selects the marker there, or clears the selection when the press is in
  // the plot away from every marker. True when the selection changed.
  bool OnLButtonDown(draw::Point p);

  // Works out the plot rectangle and the axes' pixel ranges for the current rectangle
  // (done by Draw; callers that hit-test before the first paint call it themselves).
  void Layout(draw::DC& dc);
  draw::Rect GetPlotRect() const { return m_plot; }
  void Draw(draw::DC* dc) override;

  draw::Color GetBackColor() const { return m_backColor; }
  void SetBackColor(draw::Color c) { m_backColor = c; }
  draw::Color GetGraphColor() const { return m_graphColor; }
  void SetGraphColor(draw::Color c) { m_graphColor = c; }
  draw::Color GetInnerColor() const { return m_innerColor; }
  void SetInnerColor(draw::Color c) { m_innerColor = c; }
  bool GetDoubleBuffer() const { return m_doubleBuffer; }
  void SetDoubleBuffer(bool d) { m_doubleBuffer = d; }
  bool GetShowLegend() const { return m_showLegend; }
  void SetShowLegend(bool s) { m_showLegend = s; }
  bool GetInteraction() const { return m_interaction; }
  void SetInteraction(bool i) { m_interaction = i; }
  EAlignment GetLegendAlignment() const { return m_legendAlignment; }
  void SetLegendAlignment(EAlignment a) { m_legendAlignment = a; }
  bool GetSnapCursor() const { return m_snapCursor; }
  void SetSnapCursor(bool s) { m_snapCursor = s; }
  int GetSnapRange() const { return m_snapRange; }
  void SetSnapRange(int r) { m_snapRange = r; }
  void SetCursorFlags(unsigned f) { m_cursorFlags = f; }
  unsigned GetCursorFlags() const { return m_cursorFlags; }
  EOperation GetOperation() const { return m_operation; }
  void ForceSnap(unsigned f) { m_forcedSnap = f; }
  draw::Point GetCursor() const { return m_cursor; }
  void SetCursor(draw::Point p) { m_cursor = p; }
  void SetPrintHeader(const std::string& s) { m_printHeader = s; }
  void SetPrintFooter(const std::string& s) { m_printFooter = s; }
  void SetLegend(const std::string& s) { m_legend = s; }
  std::string GetLegend() const { return m_legend; }
  void DeleteMeasures() { m_measures.clear(); }
  int GetCurveCount() const { return static_cast<int>(m_curves.size()); }
  int GetXAxisCount() const { return static_cast<int>(m_xAxes.size()); }
  int GetYAxisCount() const { return static_cast<int>(m_yAxes.size()); }

  // The colour a curve is drawn in: its own, unless that would vanish into the plot's
  // inner colour, in which case a light version of it.
  draw::Color VisibleCurveColor(draw::Color c) const;

 private:
  void DrawAxes(draw::DC& dc);
  void DrawMarkers(draw::DC& dc);
  void DrawLegend(draw::DC& dc);

  std::vector<std::unique_ptr<CXGraphDataSerie>> m_curves;
  std::vector<std::unique_ptr<CXGraphAxis>> m_xAxes, m_yAxes;
  std::vector<XGraphMeasure> m_measures;
  draw::Color m_backColor = draw::RGB(240, 240, 240);
  draw::Color m_graphColor = draw::RGB(66, 85, 92);
  draw::Color m_innerColor = draw::RGB(255, 255, 255);
  bool m_doubleBuffer = true;
  bool m_showLegend = true;
  bool m_interaction = true;
  EAlignment m_legendAlignment = laRight;
  bool m_snapCursor = false;
  int m_snapRange = 6;
  unsigned m_cursorFlags = 0;
  EOperation m_operation = opSelect;
  unsigned m_forcedSnap = 0;
  draw::Point m_cursor;
  std::string m_printHeader, m_printFooter, m_legend;
  int m_selectedMarker = -1;
  draw::Rect m_plot;
  int m_markerLabelHeight = 12;
};

#pragma once
// An axis of a chart: its range and tick step, the mapping between values and pixels, tick
// labels, and (on x axes) the vertical markers.
#include <string>
#include <vector>

#include "controls/chart/xgraph_object.h"
#include "controls/chart/xgraph_types.h"

class CXGraphAxis : public CXGraphObject {
 public:
  CXGraphAxis(CXGraph* graph, bool horizontal);

  bool IsHorizontal() const { return m_horizontal; }

  // The shown range and the distance between ticks. False, and nothing changed, when the
  // range is empty or reversed or a value is not finite. A step of 0 or less picks a step
  // that gives about eight ticks.
  bool SetCurrentRange(double min, double max, double step);
  double GetMin() const { return m_min; }
  double GetMax() const { return m_max; }
  double GetStep() const { return m_step; }
  // The values that get a tick: every multiple of the step within the range.
  std::vector<double> GetTicks() const;
  // A tick value as the axis labels it (display format, "%g" when empty).
  std::string FormatTick(double value) const;

  // Pixels: `lo` is where the minimum lands and `hi` the maximum (for a y axis lo is the
  // bottom row, hi the top row). Set by the chart's layout.
  void SetPixelRange(int lo, int hi);
  int ValueToPixel(double value) const;
  double PixelToValue(int pixel) const;

  // Makes the range hold [lo, hi] with whole ticks (auto scale).
  void FitRange(double lo, double hi);

  // Markers: setting index n adds the marker when n is the count, else replaces it (the
  // label is kept). False for a negative index or one beyond the count.
  bool SetAxisMarker(int index, double value, draw::Color color, int style);
  // The marker record (its text is the label); a spare record for an index out of range.
  XGraphAxisMarker& GetAxisMarker(int index);
  long GetAxisMarkerCount() const { return static_cast<long>(m_markers.size()); }
  const std::vector<XGraphAxisMarker>& Markers() const { return m_markers; }
  bool SetAxisMarkerValue(int index, double value);
  void DeleteAxisMarkers() { m_markers.clear(); }

  EAxisType GetAxisType() const { return m_axisType; }
  void SetAxisType(EAxisType t) { m_axisType = t; }
  EAxisPlacement GetPlacement() const { return m_placement; }
  void SetPlacement(EAxisPlacement p) { m_placement = p; }
  bool GetShowMarker() const { return m_showMarker; }
  void SetShowMarker(bool s) { m_showMarker = s; }
  bool GetDateTime() const { return m_dateTime; }
  void SetDateTime(bool d) { m_dateTime = d; }
  bool GetShowGrid() const { return m_showGrid; }
  void SetShowGrid(bool s) { m_showGrid = s; }
  bool GetAutoScale() const { return m_autoScale; }
  void SetAutoScale(bool a) { m_autoScale = a; }
  std::string GetLabel() const { return m_label; }
  void SetLabel(const std::string& l) { m_label = l; }
  std::string GetDisplayFmt() const { return m_displayFmt; }
  void SetDisplayFmt(const std::string& f) { m_displayFmt = f; }
  int GetArcSize() const { return m_arcSize; }
  void SetArcSize(int s) { m_arcSize = s; }
  int GetMarkerSize() const { return m_markerSize; }
  void SetMarkerSize(int s) { m_markerSize = s; }
  int GetTickSize() const { return m_tickSize; }
  void SetTickSize(int s) { m_tickSize = s; }
  draw::Color GetGridColor() const { return m_gridColor; }
  void SetGridColor(draw::Color c) { m_gridColor = c; }
  unsigned GetGridStyle() const { return m_gridStyle; }
  void SetGridStyle(unsigned s) { m_gridStyle = s; }

 private:
  bool m_horizontal;
  std::vector<XGraphAxisMarker> m_markers;
  XGraphAxisMarker m_spare;
  EAxisType m_axisType = atLinear;
  EAxisPlacement m_placement = apAutomatic;
  bool m_showMarker = true;
  bool m_dateTime = false;
  bool m_showGrid = false;
  bool m_autoScale = false;
  std::string m_label;
  std::string m_displayFmt;
  int m_arcSize = 0;
  int m_markerSize = 0;
  int m_tickSize = 4;
  draw::Color m_gridColor = draw::RGB(90, 90, 90);
  unsigned m_gridStyle = 2;
  double m_min = 0.0, m_max = 1.0, m_step = 0.1;
  int m_pixLo = 0, m_pixHi = 1;
};

// A tick step of 1, 2 or 5 times a power of ten that cuts `span` into about `count` parts.
double NiceTickStep(double span, int count);

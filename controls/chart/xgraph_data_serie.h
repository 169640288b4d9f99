#pragma once
// A data series: a curve drawn from the caller's point buffer, which the series does not
// copy (the buffer must live as long as the series shows it).
#include <string>

#include "controls/chart/xgraph_object.h"
#include "controls/chart/xgraph_types.h"

class CXGraphDataSerie : public CXGraphObject {
 public:
  explicit CXGraphDataSerie(CXGraph* graph) : CXGraphObject(graph) {}

  void SetPoints(const XGraphPoint* points, long count);
  const XGraphPoint* GetPoints() const { return m_points; }
  void SetAxes(int xAxis, int yAxis) { m_xAxis = xAxis, m_yAxis = yAxis; }
  void SetIndex(int index) { m_index = index; }

  // Draws the curve within the chart's plot, through the series' axes.
  void Draw(draw::DC* dc) override;

  long GetCount() const { return m_count; }
  int GetXAxis() const { return m_xAxis; }
  int GetYAxis() const { return m_yAxis; }
  int GetIndex() const { return m_index; }
  int GetLineSize() const { return m_lineSize; }
  void SetLineSize(int s) { m_lineSize = s; }
  int GetFillStyle() const { return m_fillStyle; }
  void SetFillStyle(int s) { m_fillStyle = s; }
  int GetMarkerType() const { return m_markerType; }
  void SetMarkerType(int t) { m_markerType = t; }
  int GetMarker() const { return m_marker; }
  void SetMarker(int m) { m_marker = m; }
  int GetMarkerSize() const { return m_markerSize; }
  void SetMarkerSize(int s) { m_markerSize = s; }
  unsigned GetLineStyle() const { return m_lineStyle; }
  void SetLineStyle(unsigned s) { m_lineStyle = s; }
  bool GetShowMarker() const { return m_showMarker; }
  void SetShowMarker(bool s) { m_showMarker = s; }
  bool GetFillBeneath() const { return m_fillBeneath; }
  // Filling beneath a curve also names the curve it fills down to (-1: the axis).
  void SetFillBeneath(bool f, short curve = -1) { m_fillBeneath = f, m_fillCurve = curve; }
  bool GetFillTransparent() const { return m_fillTransparent; }
  void SetFillTransparent(bool t) { m_fillTransparent = t; }
  void SetFillColor(draw::Color c) { m_fillColor = c; }
  draw::Color GetFillColor() const { return m_fillColor; }
  std::string GetLabel() const { return m_label; }
  void SetLabel(const std::string& l) { m_label = l; }
  EGraphType GetType() const { return m_type; }
  void SetType(EGraphType t) { m_type = t; }
  short GetFillCurve() const { return m_fillCurve; }
  void SetFillCurve(short c) { m_fillCurve = c; }

 private:
  const XGraphPoint* m_points = nullptr;
  long m_count = 0;
  int m_xAxis = 0, m_yAxis = 0, m_index = 0;
  int m_lineSize = 1;
  int m_fillStyle = 0;
  int m_markerType = 0;
  int m_marker = 0;
  int m_markerSize = 3;
  unsigned m_lineStyle = 0;
  bool m_showMarker = false;
  bool m_fillBeneath = false;
  bool m_fillTransparent = false;
  draw::Color m_fillColor = draw::RGB(128, 128, 128);
  std::string m_label;
  EGraphType m_type = gtLine;
  short m_fillCurve = -1;
};

#include "controls/chart/xgraph_data_serie.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "controls/chart/xgraph.h"

namespace {

draw::PenStyle PenStyleOf(unsigned style) {
  switch (style) {
    case 1: return draw::PenStyle::Dash;
    case 2: return draw::PenStyle::Dot;
    case 3: return draw::PenStyle::DashDot;
    case 4: return draw::PenStyle::DashDotDot;
    case 5: return draw::PenStyle::Null;
    default: return draw::PenStyle::Solid;
  }
}

}  // namespace

void CXGraphDataSerie::SetPoints(const XGraphPoint* points, long count) {
  m_points = points;
  m_count = points && count > 0 ? count : 0;
}

void CXGraphDataSerie::Draw(draw::DC* dc) {
  if (!dc || !m_graph || !m_visible || m_count <= 0) return;
  CXGraphAxis& xa = m_graph->GetXAxis(m_xAxis);
  CXGraphAxis& ya = m_graph->GetYAxis(m_yAxis);
  draw::Rect plot = m_graph->GetPlotRect();
  if (plot.IsEmpty()) return;

  // Runs of finite points; a NaN or infinite value breaks the line.
  std::vector<std::vector<draw::Point>> runs(1);
  for (long i = 0; i < m_count; ++i) {
    const XGraphPoint& p = m_points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
      if (!runs.back().empty()) runs.emplace_back();
      continue;
    }
    runs.back().emplace_back(xa.ValueToPixel(p.x), ya.ValueToPixel(p.y));
  }

  int saved = dc->SaveDC();
  dc->IntersectClipRect(plot);
  draw::Color color = m_graph->VisibleCurveColor(m_color);
  if (m_fillBeneath) {
    // Down to the zero line, or to the axis end nearest to it.
    int base = ya.ValueToPixel(std::max(ya.GetMin(), std::min(0.0, ya.GetMax())));
    dc->SelectPen(draw::Pen::NullPen());
    dc->SelectBrush(draw::Brush::Solid(m_fillColor));
    for (const auto& run : runs) {
      if (run.size() < 2) continue;
      std::vector<draw::Point> poly(run);
      poly.emplace_back(run.back().x, base);
      poly.emplace_back(run.front().x, base);
      dc->Polygon(poly.data(), static_cast<int>(poly.size()));
    }
  }
  if (m_type == gtLine) {
    dc->SelectPen(draw::Pen(PenStyleOf(m_lineStyle), std::max(1, m_lineSize), color));
    for (const auto& run : runs) {
      if (run.size() >= 2) {
        dc->Polyline(run.data(), static_cast<int>(run.size()));
        // The end point itself, which a line leaves out.
        dc->SetPixel(run.back().x, run.back().y, color);
      } else if (run.size() == 1) {
        dc->SetPixel(run[0].x, run[0].y, color);
      }
    }
  }
  if (m_showMarker || m_type == gtScatter) {
    int h = std::max(1, m_markerSize);
    dc->SelectPen(draw::Pen::Solid(color));
    dc->SelectBrush(draw::Brush::Solid(color));
    for (const auto& run : runs)
      for (const draw::Point& p : run) dc->Rectangle(p.x - h, p.y - h, p.x + h + 1, p.y + h + 1);
  }
  dc->RestoreDC(saved);
}

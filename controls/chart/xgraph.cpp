#include "controls/chart/xgraph.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr draw::Color kSelectedMarker = draw::RGB(250, 196, 88);

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

int Luma(draw::Color c) {
  return (draw::GetRValue(c) * 299 + draw::GetGValue(c) * 587 + draw::GetBValue(c) * 114) / 1000;
}

// Text that reads on a background of colour `bg`.
draw::Color InkOn(draw::Color bg) { return Luma(bg) < 128 ? draw::RGB(225, 230, 232) : draw::RGB(40, 50, 56); }

draw::Font ChartFont() { return draw::Font("Arial", -11); }

// Labels every `every`-th tick so that neighbouring labels never overlap.
int LabelEvery(const CXGraphAxis& axis, int needPixels) {
  int spacing = std::abs(axis.ValueToPixel(axis.GetMin() + axis.GetStep()) - axis.ValueToPixel(axis.GetMin()));
  if (spacing <= 0) return 1 << 20;
  return std::max(1, (needPixels + spacing - 1) / spacing);
}

long TickIndex(const CXGraphAxis& axis, double v) { return std::lround(v / axis.GetStep()); }

}  // namespace

CXGraph::CXGraph() : CXGraphObject(nullptr) {
  m_graph = this;
  m_color = m_graphColor;
  GetXAxis(0);
  GetYAxis(0);
}

CXGraph::~CXGraph() = default;

CXGraphDataSerie& CXGraph::SetData(const XGraphPoint* points, long count, int curve, draw::Color color,
                                   int xAxis, int yAxis, bool autoScale) {
  xAxis = std::max(0, xAxis);
  yAxis = std::max(0, yAxis);
  GetXAxis(xAxis);
  GetYAxis(yAxis);
  CXGraphDataSerie* s;
  if (curve >= 0 && curve < GetCurveCount()) {
    s = m_curves[curve].get();
  } else {
    m_curves.push_back(std::make_unique<CXGraphDataSerie>(this));
    s = m_curves.back().get();
  }
  s->SetIndex(static_cast<int>(std::find_if(m_curves.begin(), m_curves.end(),
                                            [s](const auto& p) { return p.get() == s; }) -
                               m_curves.begin()));
  s->SetPoints(points, count);
  s->SetColor(color);
  s->SetAxes(xAxis, yAxis);
  if (autoScale) {
    GetXAxis(xAxis).SetAutoScale(true);
    GetYAxis(yAxis).SetAutoScale(true);
  }
  return *s;
}

bool CXGraph::DeleteCurve(int curve) {
  if (curve < 0 || curve >= GetCurveCount()) return false;
  m_curves.erase(m_curves.begin() + curve);
  for (int i = 0; i < GetCurveCount(); ++i) m_curves[i]->SetIndex(i);
  return true;
}

CXGraphDataSerie* CXGraph::GetCurve(int curve) {
  if (curve < 0 || curve >= GetCurveCount()) return nullptr;
  return m_curves[curve].get();
}

CXGraphAxis& CXGraph::GetXAxis(int index) {
  index = std::max(0, index);
  while (static_cast<int>(m_xAxes.size()) <= index) m_xAxes.push_back(std::make_unique<CXGraphAxis>(this, true));
  return *m_xAxes[index];
}

CXGraphAxis& CXGraph::GetYAxis(int index) {
  index = std::max(0, index);
  while (static_cast<int>(m_yAxes.size()) <= index) m_yAxes.push_back(std::make_unique<CXGraphAxis>(this, false));
  return *m_yAxes[index];
}

bool CXGraph::SetAxisMarkerValue(int index, double value) { return GetXAxis(0).SetAxisMarkerValue(index, value); }

double CXGraph::MoveStep(int marker, int direction, double step, double min, double max) {
  CXGraphAxis& axis = GetXAxis(0);
  if (marker < 0 || marker >= axis.GetAxisMarkerCount()) return 0.0;
  XGraphAxisMarker& m = axis.GetAxisMarker(marker);
  // Bounds that cross (neighbouring lines too close together) or are not numbers leave no
  // room to move: the line stays where it is.
  if (!std::isfinite(step) || std::isnan(min) || std::isnan(max) || min > max) return m.value;
  double v = m.value + (direction == 0 ? -step : step);
  m.value = std::clamp(v, min, max);
  return m.value;
}

bool CXGraph::SelectXAxisMarker(int index) {
  if (index < -1 || index >= GetXAxis(0).GetAxisMarkerCount()) return false;
  m_selectedMarker = index;
  return true;
}

int CXGraph::HitTestMarker(draw::Point p) const {
  if (m_plot.IsEmpty() || m_xAxes.empty()) return -1;
  const CXGraphAxis& axis = *m_xAxes[0];
  int tolerance = std::max(3, m_snapRange);
  if (p.y < m_plot.top || p.y >= m_plot.bottom) return -1;
  int best = -1, bestDistance = std::numeric_limits<int>::max();
  const auto& markers = axis.Markers();
  for (int i = 0; i < static_cast<int>(markers.size()); ++i) {
    int d = std::abs(p.x - axis.ValueToPixel(markers[i].value));
    if (d <= tolerance && d < bestDistance) best = i, bestDistance = d;
  }
  return best;
}

bool CXGraph::OnLButtonDown(draw::Point p) {
  if (!m_interaction || m_plot.IsEmpty()) return false;
  int tolerance = std::max(3, m_snapRange);
  if (!m_plot.Inflate(tolerance, 0).Contains(p)) return false;
  int hit = HitTestMarker(p);
  if (hit == m_selectedMarker) return false;
  m_selectedMarker = hit;
  return true;
}

draw::Color CXGraph::VisibleCurveColor(draw::Color c) const {
  int d = std::abs(draw::GetRValue(c) - draw::GetRValue(m_innerColor)) +
          std::abs(draw::GetGValue(c) - draw::GetGValue(m_innerColor)) +
          std::abs(draw::GetBValue(c) - draw::GetBValue(m_innerColor));
  if (d >= 90) return c;
  return Luma(m_innerColor) < 128 ? draw::RGB(std::min(255, draw::GetRValue(c) + 170),
                                              std::min(255, draw::GetGValue(c) + 170),
                                              std::min(255, draw::GetBValue(c) + 170))
                                  : draw::RGB(draw::GetRValue(c) / 4, draw::GetGValue(c) / 4, draw::GetBValue(c) / 4);
}

void CXGraph::Layout(draw::DC& dc) {
  // Axes that follow their data take its range first, so the labels measured below fit.
  auto fit = [this](CXGraphAxis& axis, int index, bool horizontal) {
    if (!axis.GetAutoScale()) return;
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const auto& s : m_curves) {
      if ((horizontal ? s->GetXAxis() : s->GetYAxis()) != index || !s->GetVisible()) continue;
      for (long i = 0; i < s->GetCount(); ++i) {
        double v = horizontal ? s->GetPoints()[i].x : s->GetPoints()[i].y;
        if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
      }
    }
    if (lo <= hi) axis.FitRange(lo, hi);
  };
  for (int i = 0; i < GetXAxisCount(); ++i) fit(*m_xAxes[i], i, true);
  for (int i = 0; i < GetYAxisCount(); ++i) fit(*m_yAxes[i], i, false);

  int saved = dc.SaveDC();
  dc.SelectFont(ChartFont());
  draw::TextMetrics tm = dc.GetTextMetrics();
  CXGraphAxis& xa = *m_xAxes[0];
  CXGraphAxis& ya = *m_yAxes[0];
  int labelWidth = 0;
  for (double v : ya.GetTicks()) labelWidth = std::max(labelWidth, dc.GetTextExtent(ya.FormatTick(v)).cx);
  int lastHalf = dc.GetTextExtent(xa.FormatTick(xa.GetMax())).cx / 2;
  int xLabel = xa.GetLabel().empty() ? 0 : dc.GetTextExtent(xa.GetLabel()).cx + 6;
  m_markerLabelHeight = tm.height;
  dc.RestoreDC(saved);

  int tick = std::max(0, ya.GetTickSize());
  int top = m_rect.top + tm.height / 2 + 3 + (ya.GetLabel().empty() ? 0 : tm.height + 2);
  int left = m_rect.left + labelWidth + tick + 5;
  int right = m_rect.right - std::max(lastHalf + 3, lastHalf + 3 + xLabel);
  int bottom = m_rect.bottom - (tm.height + std::max(0, xa.GetTickSize()) + 4);
  m_plot = draw::Rect(left, top, right, bottom);
  if (m_plot.IsEmpty()) m_plot = draw::Rect();
  for (auto& a : m_xAxes) a->SetPixelRange(m_plot.left, m_plot.right - 1);
  for (auto& a : m_yAxes) a->SetPixelRange(m_plot.bottom - 1, m_plot.top);
}

void CXGraph::Draw(draw::DC* dcp) {
  if (!dcp || m_rect.IsEmpty() || !m_visible) return;
  draw::DC& dc = *dcp;
  Layout(dc);
  int saved = dc.SaveDC();
  dc.IntersectClipRect(m_rect);
  dc.FillSolidRect(m_rect, m_backColor);
  if (!m_plot.IsEmpty()) {
    dc.FillSolidRect(m_plot, m_innerColor);
    // Grid lines behind the curves.
    CXGraphAxis& xa = *m_xAxes[0];
    CXGraphAxis& ya = *m_yAxes[0];
    if (xa.GetShowGrid()) {
      dc.SelectPen(draw::Pen(PenStyleOf(xa.GetGridStyle()), 1, xa.GetGridColor()));
      for (double v : xa.GetTicks()) {
        int x = xa.ValueToPixel(v);
        dc.MoveTo(x, m_plot.top);
        dc.LineTo(x, m_plot.bottom);
      }
    }
    if (ya.GetShowGrid()) {
      dc.SelectPen(draw::Pen(PenStyleOf(ya.GetGridStyle()), 1, ya.GetGridColor()));
      for (double v : ya.GetTicks()) {
        int y = ya.ValueToPixel(v);
        dc.MoveTo(m_plot.left, y);
        dc.LineTo(m_plot.right, y);
      }
    }
    for (auto& s : m_curves) s->Draw(&dc);
    DrawMarkers(dc);
    DrawAxes(dc);
    DrawLegend(dc);
  }
  dc.RestoreDC(saved);
}

void CXGraph::DrawAxes(draw::DC& dc) {
  CXGraphAxis& xa = *m_xAxes[0];
  CXGraphAxis& ya = *m_yAxes[0];
  dc.FrameRect(m_plot.Inflate(1, 1), draw::Brush::Solid(m_graphColor));
  dc.SelectFont(ChartFont());
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(m_graphColor);
  dc.SelectPen(draw::Pen::Solid(m_graphColor));
  draw::TextMetrics tm = dc.GetTextMetrics();
  const unsigned single = draw::kDtSingleLine | draw::kDtNoPrefix | draw::kDtNoClip;

  int xt = std::max(0, xa.GetTickSize());
  int widest = 0;
  for (double v : xa.GetTicks()) widest = std::max(widest, dc.GetTextExtent(xa.FormatTick(v)).cx);
  int everyX = LabelEvery(xa, widest + 6);
  for (double v : xa.GetTicks()) {
    int x = xa.ValueToPixel(v);
    dc.MoveTo(x, m_plot.bottom + 1);
    dc.LineTo(x, m_plot.bottom + 1 + xt);
    if (TickIndex(xa, v) % everyX != 0) continue;
    dc.DrawText(xa.FormatTick(v), draw::Rect(x - 40, m_plot.bottom + 2 + xt, x + 40, m_plot.bottom + 2 + xt + tm.height),
                single | draw::kDtCenter);
  }
  if (!xa.GetLabel().empty()) {
    int x = m_plot.right + dc.GetTextExtent(xa.FormatTick(xa.GetMax())).cx / 2 + 6;
    dc.DrawText(xa.GetLabel(), draw::Rect(x, m_plot.bottom + 2 + xt, m_rect.right, m_plot.bottom + 2 + xt + tm.height),
                single | draw::kDtLeft);
  }

  int yt = std::max(0, ya.GetTickSize());
  int everyY = LabelEvery(ya, tm.height + 1);
  for (double v : ya.GetTicks()) {
    int y = ya.ValueToPixel(v);
    dc.MoveTo(m_plot.left - 1 - yt, y);
    dc.LineTo(m_plot.left - 1, y);
    if (TickIndex(ya, v) % everyY != 0) continue;
    dc.DrawText(ya.FormatTick(v), draw::Rect(m_rect.left, y - tm.height / 2, m_plot.left - 3 - yt, y - tm.height / 2 + tm.height),
                single | draw::kDtRight);
  }
  if (!ya.GetLabel().empty())
    dc.DrawText(ya.GetLabel(), draw::Rect(m_rect.left + 2, m_rect.top + 1, m_plot.right, m_rect.top + 1 + tm.height),
                single | draw::kDtLeft);
}

void CXGraph::DrawMarkers(draw::DC& dc) {
  CXGraphAxis& xa = *m_xAxes[0];
  if (!xa.GetShowMarker()) return;
  int saved = dc.SaveDC();
  dc.IntersectClipRect(m_plot);
  dc.SelectFont(ChartFont());
  dc.SetBkMode(draw::BkMode::Transparent);
  const auto& markers = xa.Markers();
  // The selected line last, so it stays on top where lines meet.
  std::vector<int> order;
  for (int i = 0; i < static_cast<int>(markers.size()); ++i)
    if (i != m_selectedMarker) order.push_back(i);
  if (m_selectedMarker >= 0 && m_selectedMarker < static_cast<int>(markers.size())) order.push_back(m_selectedMarker);
  for (int i : order) {
    const XGraphAxisMarker& m = markers[i];
    int x = xa.ValueToPixel(m.value);
    bool selected = i == m_selectedMarker;
    draw::Color c = selected ? kSelectedMarker : m.color;
    if (selected) {
      dc.FillSolidRect(draw::Rect(x - 1, m_plot.top, x + 2, m_plot.bottom), c);
    } else {
      dc.SelectPen(draw::Pen(PenStyleOf(static_cast<unsigned>(m.style)), 1, c));
      dc.MoveTo(x, m_plot.top);
      dc.LineTo(x, m_plot.bottom);
    }
    if (m.text.empty()) continue;
    draw::Size ext = dc.GetTextExtent(m.text);
    // The label sits right of its line, or left of it at the plot's right edge.
    int lx = x + 3 + ext.cx <= m_plot.right - 1 ? x + 3 : x - 3 - ext.cx;
    dc.SetTextColor(c);
    dc.TextOut(lx, m_plot.top + 1, m.text);
  }
  dc.RestoreDC(saved);
}

void CXGraph::DrawLegend(draw::DC& dc) {
  if (!m_showLegend) return;
  struct Entry { std::string text; draw::Color color; bool swatch; };
  std::vector<Entry> entries;
  bool labelled = std::any_of(m_curves.begin(), m_curves.end(), [](const auto& s) { return !s->GetLabel().empty(); });
  if (!m_legend.empty())
    entries.push_back({m_legend, m_curves.empty() ? m_graphColor : VisibleCurveColor(m_curves[0]->GetColor()), !labelled});
  for (const auto& s : m_curves)
    if (!s->GetLabel().empty() && s->GetVisible()) entries.push_back({s->GetLabel(), VisibleCurveColor(s->GetColor()), true});
  if (entries.empty()) return;

  int saved = dc.SaveDC();
  dc.IntersectClipRect(m_plot);
  dc.SelectFont(ChartFont());
  dc.SetBkMode(draw::BkMode::Transparent);
  draw::TextMetrics tm = dc.GetTextMetrics();
  const int swatch = 14;
  int w = 0;
  for (const Entry& e : entries) w = std::max(w, dc.GetTextExtent(e.text).cx + (e.swatch ? swatch + 4 : 0));
  w += 8;
  int h = static_cast<int>(entries.size()) * tm.height + 4;
  // Below the marker labels, so a line's number is never covered.
  int top = m_plot.top + m_markerLabelHeight + 3;
  int left = m_legendAlignment == laLeft ? m_plot.left + 4 : m_plot.right - 4 - w;
  draw::Rect box(left, top, left + w, top + h);
  draw::Color ink = InkOn(m_innerColor);
  dc.FillSolidRect(box, Luma(m_innerColor) < 128 ? draw::RGB(std::min(255, draw::GetRValue(m_innerColor) + 18),
                                                               std::min(255, draw::GetGValue(m_innerColor) + 18),
                                                               std::min(255, draw::GetBValue(m_innerColor) + 18))
                                                  : draw::RGB(248, 248, 248));
  dc.FrameRect(box, draw::Brush::Solid(Luma(m_innerColor) < 128 ? draw::RGB(110, 118, 124) : draw::RGB(170, 178, 184)));
  int y = top + 2;
  for (const Entry& e : entries) {
    int x = left + 4;
    if (e.swatch) {
      dc.FillSolidRect(draw::Rect(x, y + tm.height / 2 - 1, x + swatch, y + tm.height / 2 + 1), e.color);
      x += swatch + 4;
    }
    dc.SetTextColor(ink);
    dc.TextOut(x, y, e.text);
    y += tm.height;
  }
  dc.RestoreDC(saved);
}

#include "controls/chart/xgraph_axis.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <string_view>

namespace {

// Axes never carry more ticks than this; a finer step is replaced by a sensible one.
constexpr double kMaxTicks = 1000;

// A display format is used only when it is one plain floating-point conversion, so a
// stray "%s" or a second conversion can never read past the single value passed.
bool IsSafeNumberFormat(const std::string& fmt) {
  int conversions = 0;
  for (size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') continue;
    if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t j = i + 1;
    while (j < fmt.size() && std::string_view("-+ #0").find(fmt[j]) != std::string_view::npos) ++j;
    while (j < fmt.size() && (std::isdigit(static_cast<unsigned char>(fmt[j])) || fmt[j] == '.')) ++j;
    if (j >= fmt.size() || std::string_view("fFgGeE").find(fmt[j]) == std::string_view::npos) return false;
    ++conversions;
    i = j;
  }
  return conversions == 1;
}

}  // namespace

double NiceTickStep(double span, int count) {
  if (!(span > 0) || !std::isfinite(span) || count <= 0) return 1.0;
  double raw = span / count;
  double mag = std::pow(10.0, std::floor(std::log10(raw)));
  double norm = raw / mag;
  double nice = norm <= 1.0 ? 1.0 : norm <= 2.0 ? 2.0 : norm <= 5.0 ? 5.0 : 10.0;
  return nice * mag;
}

CXGraphAxis::CXGraphAxis(CXGraph* graph, bool horizontal) : CXGraphObject(graph), m_horizontal(horizontal) {
  m_placement = horizontal ? apBottom : apLeft;
}

bool CXGraphAxis::SetCurrentRange(double min, double max, double step) {
  if (!std::isfinite(min) || !std::isfinite(max) || !(max > min)) return false;
  if (!std::isfinite(step) || step <= 0 || (max - min) / step > kMaxTicks) step = NiceTickStep(max - min, 8);
  m_min = min;
  m_max = max;
  m_step = step;
  return true;
}

std::vector<double> CXGraphAxis::GetTicks() const {
  std::vector<double> ticks;
  if (!(m_step > 0)) return ticks;
  // Multiples of the step, computed from their index so no rounding error piles up; a
  // hair of tolerance keeps the end values (0 … 400 by 50) in.
  double eps = m_step * 1e-9;
  long first = static_cast<long>(std::ceil((m_min - eps) / m_step));
  long last = static_cast<long>(std::floor((m_max + eps) / m_step));
  for (long k = first; k <= last; ++k) {
    double v = k * m_step;
    if (std::fabs(v) < eps) v = 0.0;
    ticks.push_back(v);
  }
  return ticks;
}

std::string CXGraphAxis::FormatTick(double value) const {
  const std::string fmt = IsSafeNumberFormat(m_displayFmt) ? m_displayFmt : "%g";
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt.c_str(), value);
  return buf;
}

void CXGraphAxis::SetPixelRange(int lo, int hi) {
  m_pixLo = lo;
  m_pixHi = hi;
}

int CXGraphAxis::ValueToPixel(double value) const {
  if (!(m_max > m_min) || !std::isfinite(value)) return m_pixLo;
  // Far-off values stay far off without overflowing an int.
  double t = std::clamp((value - m_min) / (m_max - m_min), -100.0, 101.0);
  return static_cast<int>(std::lround(m_pixLo + t * (m_pixHi - m_pixLo)));
}

double CXGraphAxis::PixelToValue(int pixel) const {
  if (m_pixHi == m_pixLo) return m_min;
  return m_min + (static_cast<double>(pixel) - m_pixLo) / (m_pixHi - m_pixLo) * (m_max - m_min);
}

void CXGraphAxis::FitRange(double lo, double hi) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) return;
  if (hi < lo) std::swap(lo, hi);
  if (hi == lo) {
    double pad = lo == 0 ? 1.0 : std::fabs(lo) * 0.1;
    lo -= pad;
    hi += pad;
  }
  double step = NiceTickStep(hi - lo, 8);
  SetCurrentRange(std::floor(lo / step) * step, std::ceil(hi / step) * step, step);
}

bool CXGraphAxis::SetAxisMarker(int index, double value, draw::Color color, int style) {
  if (index < 0 || index > static_cast<int>(m_markers.size())) return false;
  if (index == static_cast<int>(m_markers.size())) m_markers.emplace_back();
  XGraphAxisMarker& m = m_markers[index];
  m.value = value;
  m.color = color;
  m.style = style;
  return true;
}

XGraphAxisMarker& CXGraphAxis::GetAxisMarker(int index) {
  if (index < 0 || index >= static_cast<int>(m_markers.size())) {
    m_spare = XGraphAxisMarker();
    return m_spare;
  }
  return m_markers[index];
}

bool CXGraphAxis::SetAxisMarkerValue(int index, double value) {
  if (index < 0 || index >= static_cast<int>(m_markers.size())) return false;
  m_markers[index].value = value;
  return true;
}

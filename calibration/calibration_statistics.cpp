#include "calibration/calibration_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "calibration/calibration_input.h"
#include "core/value_format.h"
#include "measurement/control_agreement.h"

namespace calibration {

bool CalibratorCountsDisagree(int channel, float q1, float q2) {
  return measurement::ControlCountsDisagree(channel, q1, q2);
}

measurement::DisagreementMarks CalibratorMarks(const measurement::QuickValues& q) {
  return measurement::CompareControlCounts(q);
}

float ToDisplayUnit(int item, float v, const std::string& unit) {
  switch (item) {
    case 0:
      if (unit == "10^2/uL" || unit == "10^2/mm^3") return v * 10.0f;
      break;
    case 1:
      if (unit == "10^4/uL" || unit == "10^4/mm^3") return v * 100.0f;
      break;
    case 2:
      if (unit == "g/dL") return v / 10.0f;
      if (unit == "mg/dL") return v * 100.0f;
      if (unit == "mmol/L") return static_cast<float>(v / 16.11);
      break;
    case 4:
      if (unit == "10^4/uL" || unit == "10^4/mm^3") return v / 10.0f;
      break;
    default:
      break;
  }
  return v;
}

ItemStatistics ComputeItemStatistics(const std::vector<std::string>& cells, float target) {
  ItemStatistics s;
  std::vector<float> values;
  for (const std::string& c : cells)
    if (IsCalibrationNumber(c)) values.push_back(static_cast<float>(std::strtod(c.c_str(), nullptr)));
  s.n = static_cast<int>(values.size());
  float sum = 0;
  for (float v : values) sum += v;
  s.mean = s.n > 0 ? sum / static_cast<float>(s.n) : 0.0f;
  if (s.n > 1) {
    float sq = 0;
    for (float v : values) sq += (s.mean - v) * (s.mean - v);
    s.sd = std::sqrt(sq / static_cast<float>(s.n - 1));
  }
  s.cv = s.mean != 0.0f ? s.sd / s.mean * 100.0f : 0.0f;
  s.ratio = s.mean > 0.0f ? target / s.mean : 0.0f;
  return s;
}

ItemProposal ProposeItem(const ItemStatistics& s, float coef, float percent, int level) {
  ItemProposal p;
  if (level <= 1) {
    p.newPercent = percent * s.ratio;
    p.newText = p.newPercent > 0.0f ? StrPrintf("%.2f%%", p.newPercent) : "- - -";
    p.newCoef = coef * s.ratio;
  } else {
    p.newCoef = s.ratio;
    p.newText = s.ratio > 0.0f ? StrPrintf("%.2f", s.ratio) : "- - -";
    p.newPercent = percent;
  }
  return p;
}

std::string MeanText(const ItemStatistics& s) { return StrPrintf("%.2f", s.mean); }
std::string SdText(const ItemStatistics& s) { return StrPrintf("%.2f", s.sd); }
std::string CvText(const ItemStatistics& s) { return StrPrintf("%.1f", s.cv); }

}  // namespace calibration

#include "qc/xr_stats.h"

#include <algorithm>
#include <cmath>

namespace qc {

bool XrControlFactors(int n, XrFactors* out) {
  // The published Shewhart factors; D4 of 3 and 5 as the analyzer has always used them.
  static const XrFactors kFactors[9] = {{1.88, 0, 3.267},     {1.023, 0, 2.575},     {0.729, 0, 2.282},
                                        {0.577, 0, 2.115},    {0.483, 0, 2.004},     {0.419, 0.076, 1.924},
                                        {0.373, 0.136, 1.864}, {0.337, 0.184, 1.816}, {0.308, 0.223, 1.777}};
  if (n < 2 || n > 10) return false;
  *out = kFactors[n - 2];
  return true;
}

bool ComputeXrStats(const std::vector<std::array<float, 20>>& values, const std::vector<std::string>& dates, int groups,
                    int n, XrStats* out) {
  *out = XrStats{};
  XrFactors f{};
  if (!XrControlFactors(n, &f) || groups < 1 || static_cast<int>(values.size()) != groups * n) return false;
  for (int g = 0; g < groups; ++g) {
    const std::string& d = dates.size() > static_cast<size_t>((g + 1) * n - 1) ? dates[(g + 1) * n - 1] : "";
    out->groupDates.push_back(d.size() > 5 ? d.substr(5, 5) : "");
  }
  for (int p = 0; p < 20; ++p) {
    XrParamStats& s = out->params[p];
    double sumMeans = 0, sumRanges = 0;
    int used = 0;
    for (int g = 0; g < groups; ++g) {
      double sum = 0;
      float lo = 0, hi = 0;
      int k = 0;
      for (int i = g * n; i < (g + 1) * n; ++i) {
        const float v = values[i][p];
        if (v < 0.0f) continue;
        lo = k == 0 ? v : std::min(lo, v);
        hi = k == 0 ? v : std::max(hi, v);
        sum += v;
        ++k;
      }
      // A group short of a value (one left out as invalid) would take the factors of the full
      // size, and a group of one has no range: it stays out of the statistics and the limits.
      if (k < n) {
        s.groupMeans.push_back(-1.0f);
        s.groupRanges.push_back(-1.0f);
        continue;
      }
      const float mean = static_cast<float>(sum / k), range = std::fabs(hi - lo);
      s.groupMeans.push_back(mean);
      s.groupRanges.push_back(range);
      sumMeans += mean;
      sumRanges += range;
      ++used;
    }
    s.groupsUsed = used;
    if (used == 0) continue;
    s.grandMean = sumMeans / used;
    s.meanRange = sumRanges / used;
    s.a2Rbar = f.a2 * s.meanRange;
    s.uclX = s.grandMean + s.a2Rbar;
    s.lclX = s.grandMean - s.a2Rbar;
    s.uclR = f.d4 * s.meanRange;
    s.lclR = s.meanRange * f.d3;
  }
  return true;
}

void XrRangeChart(double meanRange, double lclR, double uclR, double* lower, double* upper, double* guideAbove,
                  double* guideBelow) {
  const double a = meanRange - lclR, b = uclR - meanRange;
  const double m = a > b ? a : b;
  *lower = meanRange - 2 * m;
  *upper = meanRange + 2 * m;
  *guideAbove = m != 0 ? b / m : 1.0;
  *guideBelow = m != 0 ? a / m : 1.0;
}

}  // namespace qc

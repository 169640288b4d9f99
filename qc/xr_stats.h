#pragma once
// X-R control charts: the Shewhart factors by group size, and per parameter the mean and range
// of every group, the grand mean, the mean range and the control limits of the mean (X) and
// range (R) charts of a complete X-R file.
#include <array>
#include <string>
#include <vector>

namespace qc {

struct XrFactors {
  double a2, d3, d4;
};
// The factors of group sizes 2..10; false for any other size (no chart can be drawn then).
bool XrControlFactors(int groupSize, XrFactors* out);

struct XrParamStats {
  std::vector<float> groupMeans, groupRanges;  // per group; -1 for a group short of a usable value
  int groupsUsed = 0;                          // the groups the statistics rest on
  double grandMean = 0, meanRange = 0, a2Rbar = 0, uclX = 0, lclX = 0, uclR = 0, lclR = 0;
};

struct XrStats {
  std::array<XrParamStats, 20> params;  // chart order
  std::vector<std::string> groupDates;  // "MM-DD" of each group's last result
};

// `values[i]` holds the 20 values (chart order) of result i, oldest first, `dates[i]` its
// "YYYY-MM-DD". The file must hold exactly groups x groupSize results and the group size must
// have factors; otherwise false and nothing is computed. Negative values (invalid, not under
// QC) take no part: a group with fewer usable values than the group size has no mean and range
// and is left out of the grand mean, the mean range and so the limits.
bool ComputeXrStats(const std::vector<std::array<float, 20>>& values, const std::vector<std::string>& dates, int groups,
                    int groupSize, XrStats* out);

// The value range of an R chart and its guide lines in quarter-heights above and below the
// centre (the mean range), so that they fall on the upper and lower limits.
void XrRangeChart(double meanRange, double lclR, double uclR, double* lower, double* upper, double* guideAbove,
                  double* guideBelow);

}  // namespace qc

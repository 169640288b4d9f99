#pragma once
// The data of the Levey-Jennings chart of one QC file: its runs (chart order), targets and SDs,
// the statistics of every parameter, and the chart screens the runs fall on. The chart screen
// fills it; a print-out works on a copy of it.
#include <array>
#include <string>
#include <vector>

#include "core/ado_conn.h"

namespace qc {

// Runs per chart screen.
inline constexpr int kPointsPerScreen = 55;

struct LjChartData {
  int fileNo = 0;
  int runCount = 0;
  std::array<std::vector<float>, 20> values;  // chart order; a negative value is no value
  std::vector<std::string> shortDates;        // "MM-DD"
  std::vector<std::string> runTimes;          // "YYYY-MM-DD hh:mm:ss"
  std::array<float, 20> targets{}, sds{};     // chart order
  std::string lot, expiry, unitName;
  std::array<int, 4> chartParams{0, 1, 2, 3};  // the page on show
  std::array<float, 20> mean{}, sd{}, cv{};    // chart order
  // Mean, SD and CV% of the page's four parameters, rounded to two decimals.
  std::array<std::array<float, 4>, 3> shownStats{};
};

// The file number of the chart and its printing (set by the file choice).
extern int LjQcChartFileNo;
// The X-R file number handed to the X-R screens opened from the file choice.
extern int XrQcFileNo;
// The chart data the chart screen shows.
extern LjChartData LjQcChart;

// The X-B points and the X-B targets and limits (in `sds`), in the same shape.
void LoadXbChartData(CADOConn& conn, LjChartData* data);

// Targets, SDs, batch and expiry of the file (zero and empty without a row), and the
// institution name.
void LoadLjChartSettings(CADOConn& conn, int fileNo, LjChartData* data);
// The runs of the file (all, or the days from..to), then the statistics, computed afresh.
void LoadLjChartRuns(CADOConn& conn, int fileNo, const std::string& from, const std::string& to, LjChartData* data);

// Mean over the runs with a value (n); SD with n - 1 when n >= 2 (else 0); CV% = SD / mean x 100
// when the mean is above 0 (else 0).
void ComputeLjStats(LjChartData* data);
// Refreshes shownStats for chartParams.
void SetShownStats(LjChartData* data);
// x rounded to two decimals as the integer part of x x 100 + 0.5, divided by 100.
float RoundStat(float x);

// Chart screens: enough to reach every run (at least one).
int ChartScreenCount(int runCount, int perScreen = kPointsPerScreen);
// The runs [first, first + count) on screen s (1-based); count 0 past the last run.
void ChartScreenRuns(int runCount, int screen, int* first, int* count, int perScreen = kPointsPerScreen);

// The value range of a chart: target -/+ 2 SD; an SD of 0 (or less) gives a range around the
// target instead of none, so the points still have somewhere to be drawn.
void ChartRange(float target, float sd, double* lower, double* upper);

// Moves the page: -1 up, +1 down by four parameters; false at the first or last page.
bool MoveChartPage(LjChartData* data, int direction);

}  // namespace qc

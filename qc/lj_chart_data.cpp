#include "qc/lj_chart_data.h"
#include "core/sys_setting.h"

#include <cmath>

#include "core/field_read.h"
#include "core/value_format.h"
#include "qc/lj_tables.h"
#include "qc/qc_names.h"

namespace qc {

int LjQcChartFileNo = 1;
int XrQcFileNo = 1;
LjChartData LjQcChart;

void LoadLjChartSettings(CADOConn& conn, int fileNo, LjChartData* d) {
  d->fileNo = fileNo;
  LjFileSettings s;
  ReadLjFileSettings(conn, fileNo, &s);
  d->lot = s.batchNo;
  d->expiry = s.expDate;
  for (int c = 0; c < 20; ++c) {
    d->targets[c] = s.targets[kStoreFromChart[c]];
    d->sds[c] = s.limits[kStoreFromChart[c]];
  }
  d->unitName.clear();
  TakeSetting(LoadSysSetting(conn).row.UnitName, d->unitName);
}

void LoadLjChartRuns(CADOConn& conn, int fileNo, const std::string& from, const std::string& to, LjChartData* d) {
  const std::vector<LjRun> runs = ReadLjRuns(conn, fileNo, from, to);
  d->runCount = static_cast<int>(runs.size());
  d->shortDates.clear();
  d->runTimes.clear();
  for (auto& v : d->values) v.assign(runs.size(), -1.0f);
  for (size_t i = 0; i < runs.size(); ++i) {
    for (int c = 0; c < 20; ++c) d->values[c][i] = runs[i].values[kStoreFromChart[c]];
    d->runTimes.push_back(runs[i].date + " " + runs[i].time);
    d->shortDates.push_back(runs[i].date.size() > 5 ? runs[i].date.substr(5, 5) : "");
  }
  ComputeLjStats(d);
  SetShownStats(d);
}

void ComputeLjStats(LjChartData* d) {
  for (int c = 0; c < 20; ++c) {
    double sum = 0.0;
    int n = 0;
    for (float v : d->values[c])
      if (v >= 0.0f) {
        sum += v;
        ++n;
      }
    const double mean = n > 0 ? sum / n : 0.0;
    double sd = 0.0;
    if (n >= 2) {
      double sq = 0.0;
      for (float v : d->values[c])
        if (v >= 0.0f) sq += (v - mean) * (v - mean);
      sd = std::sqrt(sq / (n - 1));
    }
    d->mean[c] = static_cast<float>(mean);
    d->sd[c] = static_cast<float>(sd);
    d->cv[c] = mean > 0.0 ? static_cast<float>(sd / mean * 100.0) : 0.0f;
  }
}

float RoundStat(float x) { return static_cast<float>(std::floor(static_cast<double>(x) * 100.0 + 0.5) / 100.0); }

void SetShownStats(LjChartData* d) {
  for (int k = 0; k < 4; ++k) {
    const int c = d->chartParams[k];
    d->shownStats[0][k] = RoundStat(d->mean[c]);
    d->shownStats[1][k] = RoundStat(d->sd[c]);
    d->shownStats[2][k] = RoundStat(d->cv[c]);
  }
}

int ChartScreenCount(int runCount, int per) { return runCount <= 0 ? 1 : (runCount + per - 1) / per; }

void ChartScreenRuns(int runCount, int screen, int* first, int* count, int per) {
  *first = (screen - 1) * per;
  *count = 0;
  if (screen < 1 || *first >= runCount) return;
  *count = std::min(per, runCount - *first);
}

void LoadXbChartData(CADOConn& conn, LjChartData* d) {
  *d = LjChartData{};
  RecordsetPtr& rs = conn.OpenRecordset("Select * from XBQCSet");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    for (int c = 0; c < 20; ++c) {
      const std::string stem = kSetStems[kStoreFromChart[c]];
      ReadField(*rs, stem + "RV", d->targets[c]);
      ReadField(*rs, stem + "LV", d->sds[c]);
    }
  }
  conn.CloseRecordset();
  TakeSetting(LoadSysSetting(conn).row.UnitName, d->unitName);
  const std::vector<LjRun> runs = ReadXbRuns(conn);
  d->runCount = static_cast<int>(runs.size());
  for (auto& v : d->values) v.assign(runs.size(), -1.0f);
  for (size_t i = 0; i < runs.size(); ++i) {
    for (int c = 0; c < 20; ++c) d->values[c][i] = runs[i].values[kStoreFromChart[c]];
    d->runTimes.push_back(runs[i].date + " " + runs[i].time);
    d->shortDates.push_back(runs[i].date.size() > 5 ? runs[i].date.substr(5, 5) : "");
  }
}

void ChartRange(float target, float sd, double* lower, double* upper) {
  double half = 2.0 * sd;
  if (!(sd > 0.0f)) half = target != 0.0f ? std::fabs(target) * 0.1 : 1.0;
  *lower = target - half;
  *upper = target + half;
}

bool MoveChartPage(LjChartData* d, int direction) {
  if (direction < 0 && d->chartParams[0] == 0) return false;
  if (direction > 0 && d->chartParams[3] == 19) return false;
  for (int& p : d->chartParams) p += direction < 0 ? -4 : 4;
  SetShownStats(d);
  return true;
}

}  // namespace qc

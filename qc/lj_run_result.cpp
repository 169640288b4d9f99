#include "qc/lj_run_result.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <strings.h>

#include "core/ado_conn.h"
#include "core/db_errors.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/value_format.h"
#include "measurement/control_agreement.h"
#include "measurement/result_intake.h"
#include "qc/qc_names.h"

namespace qc {

using measurement::CountHistograms;
using measurement::DisagreementMarks;
using measurement::HistogramBuffers;
using measurement::QuickValues;

DisagreementMarks CompareControlCounts(const QuickValues& q) { return measurement::CompareControlCounts(q); }

void CombineControlCounts(const CountHistograms& c1, const CountHistograms& c2, const QuickValues& q, bool thirdCount,
                          HistogramBuffers& b) {
  if (!thirdCount) {
    measurement::MeanOfTwoCounts(c1, c2, b);
    return;
  }
  struct View {
    float* bins;
    const uint16_t* one;
    const uint16_t* two;
    size_t n;
  };
  const View views[3] = {{b.wbc, c1.wbc, c2.wbc, measurement::kWbcChannels},
                         {b.rbc, c1.rbc, c2.rbc, measurement::kRbcChannels},
                         {b.plt, c1.plt, c2.plt, measurement::kPltChannels}};
  for (int ch = 0; ch < 3; ++ch) {
    const View& v = views[ch];
    const float a = q.at(ch, 1), bq = q.at(ch, 2), c = q.at(ch, 3);
    const float d32 = std::fabs(c - bq), d31 = std::fabs(c - a), d21 = std::fabs(bq - a);
    const float m = std::min({d32, d31, d21});
    const bool use32 = d32 == m, use31 = d31 == m, use21 = d21 == m;
    const int pairs = use32 + use31 + use21;
    for (size_t i = 0; i < v.n; ++i) {
      const float three = v.bins[i];
      float sum = 0.0f;
      if (use32) sum += (v.two[i] + three) * 0.5f;
      if (use31) sum += (v.one[i] + three) * 0.5f;
      if (use21) sum += (static_cast<float>(v.one[i]) + v.two[i]) * 0.5f;
      // No pair at all only when a quick value is not a number: counts 1 and 2 stand for the run.
      v.bins[i] = pairs > 0 ? sum / static_cast<float>(pairs) : (static_cast<float>(v.one[i]) + v.two[i]) * 0.5f;
    }
  }
}

void ReadQcUnits(CADOConn& conn, std::array<std::string, 20>* units) {
  static const char* const kUnits[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",  "%",
                                         "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L", "fL",
                                         "%",      "10^9/L", "fL",     "%",      "%",  "%"};
  std::array<std::string, 20>& u = *units;
  for (int i = 0; i < 20; ++i) u[i] = kUnits[i];
  RecordsetPtr& rs = conn.OpenRecordset("Select * from ParasUnit");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    std::string t;
    if (ReadField(*rs, "WBC", t)) u[0] = u[1] = u[2] = u[3] = t;
    if (ReadField(*rs, "RBC", t)) u[7] = t;
    if (ReadField(*rs, "HGB", t)) u[8] = t;
    if (ReadField(*rs, "HCT", t)) u[9] = t;
    if (ReadField(*rs, "MCHC", t)) u[12] = t;
    if (ReadField(*rs, "PLT", t)) u[15] = t;
    if (ReadField(*rs, "PCT", t)) u[18] = t;
  }
  conn.CloseRecordset();
}

ControlValues TakeControlValues(const AlgorithmResult& result, const std::array<std::string, 20>& units,
                                const std::array<int, 20>& chosen) {
  const measurement::SampleValues s =
      measurement::TakeResult(result, measurement::ZentilStatus::Computed, nullptr);
  float converted[20];
  for (int i = 0; i < 20; ++i) converted[i] = s.marks[i] ? kInvalidParamValue : s.values[i];
  ConvertUnit(converted, units.data(), 1);
  ControlValues v;
  for (int i = 0; i < 20; ++i) {
    if (chosen[i] != 1) v.values[i] = kNotChosenRunValue;
    else if (!IsValidParamValue(converted[i]) || s.marks[i]) v.values[i] = kInvalidRunValue;
    else v.values[i] = converted[i];
  }
  return v;
}

std::string RunCellText(float value) {
  if (value == kNotChosenRunValue) return "";
  if (value < 0.0f) return "-----";
  return StrPrintf("%g", static_cast<double>(value));
}

LjRun ControlRun(const std::string& date, const std::string& time, const ControlValues& v,
                 const std::array<std::string, 20>& units) {
  LjRun run;
  run.date = date;
  run.time = time;
  for (int d = 0; d < 20; ++d) run.values[StoreFromDisplay(d)] = v.values[d];
  const int unitFrom[7] = {0, 7, 8, 12, 9, 15, 18};  // WBC RBC HGB MCHC HCT PLT PCT
  for (int k = 0; k < 7; ++k) run.units[k] = units[unitFrom[k]];
  return run;
}

namespace {

// A transaction the store refused to begin or commit: its reason goes where every store error
// goes (the log, or the box), as a refused statement's does.
XrFeed TransactionFailed(CADOConn& conn) {
  ReportDbError(conn.Connection().LastError());
  return XrFeed::Failed;
}

}  // namespace

XrFeed StoreControlRun(CADOConn& conn, StoreContext& ctx, const std::string& date, const std::string& time,
                       const ControlValues& v, const std::array<std::string, 20>& units) {
  // One transaction: the trim, the run and its X-R copy are stored together or not at all (a
  // power cut never leaves the oldest day gone without the new run, or the run without its copy).
  if (!conn.IsConnected()) conn.Connect();
  if (!conn.IsConnected()) return XrFeed::Failed;
  std::lock_guard<std::recursive_mutex> lock(DbLock());
  db::Transaction t(conn.Connection());
  if (!t.Begun()) return TransactionFailed(conn);
  // The file keeps about 500 runs: whole oldest days go before the new run comes in. The count
  // is taken afresh, so a trim that already made room is not repeated.
  if (CountRuns(conn, "LJQCRunResult", ctx.fileNo) >= kLjRunLimit && !TrimOldestLjDay(conn, ctx.fileNo))
    return XrFeed::Failed;
  const LjRun run = ControlRun(date, time, v, units);
  if (!conn.Execute(RunInsertSql("LJQCRunResult", ctx.fileNo, run))) return XrFeed::Failed;

  XrFeed feed = XrFeed::Stored;
  const int limit = ctx.xrGroups * ctx.xrPerGroup;
  if (strcasecmp(ctx.xrBatch.c_str(), ctx.ljBatch.c_str()) != 0) feed = XrFeed::NotSameBatch;
  else if (ctx.xrStored == limit) feed = XrFeed::FileFull;
  else if (ctx.xrStored > limit) feed = XrFeed::AlreadyOver;
  else if (!conn.Execute(RunInsertSql("XRQCRunResult", ctx.fileNo, run))) return XrFeed::Failed;
  if (!t.Commit()) return TransactionFailed(conn);
  if (feed != XrFeed::NotSameBatch) ++ctx.xrStored;
  return feed;
}

}  // namespace qc

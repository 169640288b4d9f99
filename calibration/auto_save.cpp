#include "calibration/auto_save.h"

#include <cstdlib>
#include <mutex>

#include "calibration/calibration_coef.h"
#include "core/ado_conn.h"
#include "core/field_read.h"

namespace calibration {

namespace {
// A current text that is empty (a batch loaded before any row existed) reads as neutral.
double Current(const std::string& s, double neutral) { return s.empty() ? neutral : std::strtod(s.c_str(), nullptr); }
}  // namespace

AutoSaveOutcome SaveAutoCalibration(CADOConn& conn, const AutoSaveInputs& in) {
  AutoSaveOutcome out;
  const bool engineer = in.userLevel >= 2;
  for (int i = 0; i < 5; ++i) {
    if (!in.selected[i]) continue;
    if (engineer) {
      const double v = in.newCoef[i];
      if (v < 0.75 - 1e-6 || v > 1.5 + 1e-6) return {AutoSaveResult::OutOfRange, CaliText::AutoRange075To15, i};
    } else {
      const double v = in.newPercent[i];
      if (v < 75.0 - 1e-4 || v > 150.0 + 1e-4) return {AutoSaveResult::OutOfRange, CaliText::AutoRange75To150, i};
    }
  }
  const std::string today = TodayText();
  // The row's insert and its update are one transaction: a power cut leaves the old factors or
  // the new ones.
  if (!conn.IsConnected()) conn.Connect();
  if (!conn.IsConnected()) return out;
  std::lock_guard<std::recursive_mutex> lock(DbLock());
  db::Transaction t(conn.Connection());
  if (!t.Begun()) return out;
  const int exists = CoefRowExists(conn, SelectRowSpacedSql(in.bloodType));
  if (exists < 0) return out;
  std::string dates[5];
  if (exists == 0) {
    const double neutral[5] = {1, 1, 1, 1, 1};
    if (!conn.Execute(AutoInsertSql(neutral, today, in.bloodType))) return out;
    for (std::string& d : dates) d = today;
  } else {
    RecordsetPtr& rs = conn.OpenRecordset(SelectRowSpacedSql(in.bloodType));
    if (conn.RecordsetOpen() && HasRows(*rs))
      for (int i = 0; i < 5; ++i) ReadField(*rs, std::string(kCoefNames[i]) + "_CT", dates[i]);
    conn.CloseRecordset();
  }
  double f[5], p[5];
  for (int i = 0; i < 5; ++i) {
    if (in.selected[i]) {
      dates[i] = today;
      f[i] = in.newCoef[i];
      p[i] = in.newPercent[i];
    } else {
      f[i] = Current(in.currentCoef[i], 1.0);
      p[i] = Current(in.currentPercent[i], 100.0);
    }
  }
  if (!conn.Execute(AutoUpdateSql(f, dates, engineer ? nullptr : p, in.bloodType)) || !t.Commit()) return out;
  out.result = AutoSaveResult::Saved;
  return out;
}

}  // namespace calibration

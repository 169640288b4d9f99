#include "calibration/manual_calibration.h"

#include <cstdlib>

#include "core/ado_conn.h"
#include "core/field_read.h"

namespace calibration {

ManualScreenTexts EngineerCalibration;
ManualScreenTexts UserCalibration;

ManualSaveOutcome SaveEngineerFactors(CADOConn& conn, int bt, CoefTexts& t) {
  ManualSaveOutcome out;
  out.check = CheckFactorTexts(t.factors, 6);
  if (!out.check.ok) {
    out.result = ManualSave::Refused;
    return out;
  }
  double f[6];
  for (int i = 0; i < 6; ++i) {
    f[i] = std::strtod(t.factors[i].c_str(), nullptr);
    t.factors[i] = TwoDecimals(f[i]);
  }
  const std::string today = TodayText();
  for (std::string& d : t.dates) d = today;
  const int exists = CoefRowExists(conn, SelectRowEngineerSql(bt));
  if (exists < 0) return out;
  const std::string sql = exists ? EngineerUpdateSql(f, t.dates, bt) : EngineerInsertSql(f, today, bt);
  out.result = conn.Execute(sql) ? ManualSave::Saved : ManualSave::Failed;
  return out;
}

ManualSaveOutcome SaveUserPercents(CADOConn& conn, int bt, CoefTexts& t, double base[5]) {
  ManualSaveOutcome out;
  out.check = CheckPercentTexts(t.percents, 5);
  if (!out.check.ok) {
    out.result = ManualSave::Refused;
    return out;
  }
  double p[5];
  for (int i = 0; i < 5; ++i) {
    p[i] = std::strtod(t.percents[i].c_str(), nullptr);
    t.percents[i] = TwoDecimals(p[i]);
  }
  static const char* const kCols[5] = {"WBC", "RBC", "HGB", "MCV", "PLT"};
  double factors[5] = {1, 1, 1, 1, 1};
  RecordsetPtr& rs = conn.OpenRecordset(SelectRowSql(bt));
  const bool exists = conn.RecordsetOpen() && HasRows(*rs);
  if (exists)
    for (int i = 0; i < 5; ++i) ReadField(*rs, kCols[i], factors[i]);
  conn.CloseRecordset();
  const std::string today = TodayText();
  for (int i = 0; i < 5; ++i) t.dates[i] = today;
  if (!exists) return out;  // nothing to update: reported as a failure, never as saved
  double f[5];
  for (int i = 0; i < 5; ++i) f[i] = base[i] != 0.0 ? p[i] / base[i] * factors[i] : factors[i];
  if (!conn.Execute(UserUpdateSql(f, t.dates, p, bt))) return out;
  for (int i = 0; i < 5; ++i) base[i] = std::strtod(TwoDecimals(p[i]).c_str(), nullptr);
  out.result = ManualSave::Saved;
  return out;
}

}  // namespace calibration

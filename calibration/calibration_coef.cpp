#include "calibration/calibration_coef.h"

#include <cmath>
#include <utility>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/profile.h"

namespace calibration {

std::string TodayText() {
  const sys::LocalTime t = sys::Clock::Now();
  return StrPrintf("%d-%.2d-%.2d", t.year, t.month, t.day);
}

std::string TwoDecimals(double v) { return StrPrintf("%.2f", v); }

std::string SelectRowSql(int bt) { return StrPrintf("Select * from CalibrationCoef where BloodType=%d", bt); }
std::string SelectRowSpacedSql(int bt) { return StrPrintf("Select * from CalibrationCoef where BloodType = %d", bt); }
std::string SelectRowEngineerSql(int bt) {
  return StrPrintf("Select * from CalibrationCoef  where BloodType = %d", bt);
}

bool LoadCoefTexts(CADOConn& conn, const std::string& sql, CoefTexts& t) {
  RecordsetPtr& rs = conn.OpenRecordset(sql);
  const bool exists = conn.RecordsetOpen() && HasRows(*rs);
  if (exists) {
    static const char* const kPercent[5] = {"WBC_D", "RBC_D", "HGB_D", "MCV_D", "PLT_D"};
    for (int i = 0; i < 6; ++i) {
      double v;
      if (ReadField(*rs, kCoefNames[i], v)) t.factors[i] = TwoDecimals(v);
      ReadField(*rs, std::string(kCoefNames[i]) + "_CT", t.dates[i]);
    }
    for (int i = 0; i < 5; ++i) {
      double v;
      if (ReadField(*rs, kPercent[i], v)) t.percents[i] = TwoDecimals(v);
    }
  } else {
    const std::string today = TodayText();
    for (int i = 0; i < 6; ++i) {
      t.factors[i] = "1.00";
      t.dates[i] = today;
    }
    for (std::string& p : t.percents) p = "100.00";
  }
  conn.CloseRecordset();
  return exists;
}

int CoefRowExists(CADOConn& conn, const std::string& sql) {
  RecordsetPtr& rs = conn.OpenRecordset(sql);
  if (!conn.RecordsetOpen()) return -1;
  const int n = HasRows(*rs) ? 1 : 0;
  conn.CloseRecordset();
  return n;
}

std::string EngineerUpdateSql(const double f[6], const std::string d[6], int bt) {
  return StrPrintf(
      "update CalibrationCoef set WBC=%.2f,RBC=%.2f,HGB=%.2f,\t\t\t\t\tMCV=%.2f,PLT=%.2f,MPV=%.2f,WBC_CT='%s',RBC_CT='%s',"
      "HGB_CT='%s',MCV_CT='%s',\t\t\t\t\tPLT_CT='%s',MPV_CT='%s' where BloodType = %d",
      f[0], f[1], f[2], f[3], f[4], f[5], d[0].c_str(), d[1].c_str(), d[2].c_str(), d[3].c_str(), d[4].c_str(),
      d[5].c_str(), bt);
}

namespace {

// The 20 factor columns in table order and where the screens' items sit among them.
constexpr const char* kTableCols[20] = {"WBC",  "LYMA",  "MONA",  "GRAA", "LYMP", "MONP", "GRAP",
                                        "RBC",  "HGB",   "MCHC",  "MCH",  "MCV",  "RDWCV", "RDWSD",
                                        "HCT",  "PLT",   "MPV",   "PDW",  "PCT",  "PLCR"};
int TableIndexOf(const char* name) {
  for (int i = 0; i < 20; ++i)
    if (std::string(kTableCols[i]) == name) return i;
  return -1;
}

// The insert of a full row: `items` factors of the screen at their places, 1.00 elsewhere,
// today in every date column; with `percents` the ten percent columns named and 100.00.
std::string InsertSql(const double* f, int items, const std::string& today, int bt, bool percents) {
  double all[20];
  for (double& v : all) v = 1.0;
  for (int i = 0; i < items; ++i) all[TableIndexOf(kCoefNames[i])] = f[i];
  std::string cols = "BloodType", vals = StrPrintf("%d", bt);
  for (int i = 0; i < 20; ++i) {
    cols += std::string(",") + kTableCols[i];
    vals += "," + TwoDecimals(all[i]);
  }
  for (int i = 0; i < 20; ++i) {
    cols += std::string(",") + kTableCols[i] + "_CT";
    vals += ",'" + today + "'";
  }
  if (percents) {
    for (const char* p : {"WBC_D", "RBC_D", "HGB_D", "MCV_D", "RDWCV_D", "RDWSD_D", "PLT_D", "MPV_D", "PDW_D", "PLCR_D"}) {
      cols += std::string(",") + p;
      vals += ",100.00";
    }
  }
  return "insert into CalibrationCoef(" + cols + ") Values(" + vals + ")";
}

}  // namespace

std::string EngineerInsertSql(const double f[6], const std::string& today, int bt) {
  return InsertSql(f, 6, today, bt, false);
}

std::string AutoInsertSql(const double f[5], const std::string& today, int bt) { return InsertSql(f, 5, today, bt, true); }

std::string UserUpdateSql(const double f[5], const std::string d[5], const double p[5], int bt) {
  return StrPrintf(
      "Update CalibrationCoef set WBC=%.2f,RBC=%.2f,HGB=%.2f,\t\t\t\t\tMCV=%.2f,PLT=%.2f,WBC_CT='%s',RBC_CT='%s',HGB_CT='%s',"
      "\t\t\t\t\tMCV_CT='%s',PLT_CT='%s',WBC_D=%.2f,RBC_D=%.2f,\t\t\t\t\tHGB_D=%.2f,MCV_D=%.2f,PLT_D=%.2f where BloodType = %d",
      f[0], f[1], f[2], f[3], f[4], d[0].c_str(), d[1].c_str(), d[2].c_str(), d[3].c_str(), d[4].c_str(), p[0], p[1],
      p[2], p[3], p[4], bt);
}

std::string AutoUpdateSql(const double f[5], const std::string d[5], const double* p, int bt) {
  if (p == nullptr)
    return StrPrintf(
        "Update CalibrationCoef set WBC=%.2f,RBC=%.2f,HGB=%.2f,\t\t\t\t\tMCV=%.2f,PLT=%.2f,WBC_CT='%s',RBC_CT='%s',"
        "HGB_CT='%s',\t\t\t\t\tMCV_CT='%s',PLT_CT='%s'\tWhere BloodType = %d",
        f[0], f[1], f[2], f[3], f[4], d[0].c_str(), d[1].c_str(), d[2].c_str(), d[3].c_str(), d[4].c_str(), bt);
  return StrPrintf(
      "Update CalibrationCoef set WBC=%.2f,RBC=%.2f,HGB=%.2f,\t\t\t\t\tMCV=%.2f,PLT=%.2f,WBC_CT='%s',RBC_CT='%s',HGB_CT='%s',"
      "\t\t\t\t\tMCV_CT='%s',PLT_CT='%s',WBC_D=%.2f,RBC_D=%.2f,HGB_D=%.2f,\t\t\t\t\tMCV_D=%.2f,PLT_D=%.2f Where BloodType = %d",
      f[0], f[1], f[2], f[3], f[4], d[0].c_str(), d[1].c_str(), d[2].c_str(), d[3].c_str(), d[4].c_str(), p[0], p[1],
      p[2], p[3], p[4], bt);
}

const char* DefaultsSection(int bt) {
  switch (bt) {
    case 1: return "PeripheralCalcCoef";
    case 2: return "PreDilutedCalcCoef";
    default: return "WholeCalcCoef";
  }
}

std::string SettingIniPath() { return AppSettings.ProgramFolder + "setting.ini"; }

bool ReadDefaultFactors(int bt, std::string out[6]) {
  const std::string path = SettingIniPath();
  if (!sys::FileExists(path)) return false;
  for (int i = 0; i < 6; ++i) {
    out[i] = sys::ProfileReadString(path, DefaultsSection(bt), kCoefNames[i], "1.00", 1000);
    if (!out[i].empty() && out[i].back() == '.') out[i] += "00";
  }
  return true;
}

double RoundHalfUp2(double v) { return std::trunc(v * 100.0 + 0.5) / 100.0; }

bool WriteDefaultFactors(int bt, const double values[6]) {
  // The settings file belongs to the installation: a missing one is reported, never made.
  const std::string path = SettingIniPath();
  if (!sys::FileExists(path)) return false;
  // The six factors in one replacement of the file: a power cut leaves the old set or the new one.
  std::vector<std::pair<std::string, std::string>> texts;
  for (int i = 0; i < 6; ++i) texts.emplace_back(kCoefNames[i], TwoDecimals(RoundHalfUp2(values[i])));
  return sys::ProfileWriteStrings(DefaultsSection(bt), texts, path);
}

}  // namespace calibration

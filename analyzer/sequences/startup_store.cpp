#include "analyzer/sequences/startup_store.h"

#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/data_store.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"
#include "core/sys_setting.h"
#include "core/person_row.h"
#include "analyzer/sequences/soak_reminder.h"

namespace analyzer {
namespace {

bool HasCol(const std::vector<std::string>& cols, const char* name) { return HasColumnNamed(cols, name); }

}  // namespace

std::string TodayText() { return StoredDateToday(); }

int LoadUnitDecimals(CADOConn& conn) {
  // Table order: WBC, WBC%, RBC, HGB, MCHC, HCT, MCV, MCH, RDW-CV, RDW-SD, PLT, MPV, PCT, PDW.
  static const char* const kPointColumns[14] = {"WBCPoint",  "WBCPPoint",  "RBCPoint",   "HGBPoint", "MCHCPoint",
                                                "HCTPoint",  "MCVPoint",   "MCHPoint",   "RDWCVPoint",
                                                "RDWSDPoint", "PLTPoint",  "MPVPoint",   "PCTPoint", "PDWPoint"};
  // Table positions 4..9 (MCHC, HCT, MCV, MCH, RDW-CV, RDW-SD) go to display 7, 4, 5, 6, 9, 8.
  static const int kDisplayOfColumn[14] = {0, 1, 2, 3, 7, 4, 5, 6, 9, 8, 10, 11, 12, 13};
  int32_t table[14] = {2, 1, 2, 0, 0, 1, 1, 1, 1, 1, 0, 1, 3, 1};
  RecordsetPtr& rs = conn.OpenRecordset("Select * from ParasUnit");
  const int columns = conn.RecordsetOpen() ? rs->FieldCount() : 0;
  if (columns > 7) {
    if (HasRows(*rs)) {
      for (int k = 0; k < 14; ++k) {
        int16_t v = 0;
        if (ReadField(*rs, 7 + k, v)) table[k] = v;
      }
    }
    conn.CloseRecordset();
  } else {
    if (HasRows(*rs)) {
      auto unit = [&](const char* col) {
        std::string s;
        ReadField(*rs, col, s);
        return s;
      };
      const UnitTextSet units = {unit("WBC"), unit("RBC"), unit("HGB"), unit("HCT"),
                                 unit("MCHC"), unit("PLT"), unit("PCT")};
      const auto byDisplay = DefaultUnitDecimals(units);
      for (int k = 0; k < 14; ++k) table[k] = byDisplay[kDisplayOfColumn[k]];
    }
    conn.CloseRecordset();
    // One column at a time: the engine adds a single column per statement.
    for (const char* col : kPointColumns)
      conn.Execute(std::string("alter table ParasUnit add column ") + col + " integer");
    std::string update = "update ParasUnit set ";
    for (int k = 0; k < 14; ++k) update += StrPrintf("%s%s=%d", k ? "," : "", kPointColumns[k], table[k]);
    conn.Execute(update);
  }
  for (int k = 0; k < 14; ++k) UnitDecimals[kDisplayOfColumn[k]] = table[k];
  return 1;
}

void LoadEngineeringSettings(CADOConn& conn, EngineeringValues& eng) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from EngineeringAdjust");
  if (HasRows(*rs)) {
    ReadField(*rs, "WBCTIME", eng.WBCTIME);
    ReadField(*rs, "RBCTIME", eng.RBCTIME);
    for (int i = 0; i < 4; ++i) {
      ReadField(*rs, StrPrintf("ZYDW%d", i + 1), eng.ZYDW[i]);
      ReadField(*rs, StrPrintf("MKDYDW%d", i + 1), eng.MKDYDW[i]);
      ReadField(*rs, StrPrintf("PARA%d", i + 1), eng.PARA[i]);
    }
    ReadField(*rs, "FPRESSURE", eng.FPRESSURE);
    ReadField(*rs, "APRESSURE", eng.APRESSURE);
  }
  conn.CloseRecordset();
  RecordsetPtr& rs2 = conn.OpenRecordset("Select * from EngineeringDebug");
  if (HasRows(*rs2)) {
    for (int i = 0; i < 5; ++i) ReadField(*rs2, StrPrintf("Needle%d", i + 1), eng.Needle[i]);
  }
  conn.CloseRecordset();
}

std::vector<std::string> CountPersons(CADOConn& conn, const std::string& today, int* todayCount, int* personCount) {
  RecordsetPtr& rs = conn.OpenRecordset("Select count(*) as N from Person where TestDate = '" + today + "'");
  int32_t n = 0;
  if (HasRows(*rs)) ReadField(*rs, "N", n);
  *todayCount = n;
  conn.CloseRecordset();
  // The count and the column names without opening the rows: a full store holds 50,000.
  RecordsetPtr& all = conn.OpenRecordset("Select count(*) as N from Person");
  int32_t rows = 0;
  if (HasRows(*all)) ReadField(*all, "N", rows);
  *personCount = rows;
  conn.CloseRecordset();
  return TableColumns(conn, "Person");
}

void UpgradePersonColumns(CADOConn& conn, const std::vector<std::string>& cols) {
  if (!HasCol(cols, "RefText")) conn.Execute("alter table Person add column RefText MEMO NULL");
  if (HasCol(cols, "WMARKER1")) {
    // Only the markers no result is written to any more; PMARKER1 and PMARKER2 stay.
    for (const char* c : {"WMARKER1", "RMARKER1", "RMARKER2"})
      if (HasCol(cols, c)) conn.Execute(std::string("alter table Person drop column ") + c);
  }
  if (HasCol(cols, "WBCBlank")) {
    for (const char* c : {"WBCBlank", "RBCBlank", "PLTBlank"})
      if (HasCol(cols, c)) conn.Execute(std::string("alter table Person drop column ") + c);
  }
  if (!HasCol(cols, "WMARKER2")) {
    conn.Execute("alter table Person add column WMARKER2 real default 0");
    if (!HasCol(cols, "WMARKER3")) conn.Execute("alter table Person add column WMARKER3 real default 0");
  }
  if (!HasCol(cols, "Abnormal")) conn.Execute("alter table Person add column Abnormal integer default 0");
  if (!HasCol(cols, "OriginalWbc")) conn.Execute("alter table Person add column OriginalWbc real default 0");
  AddCountInputsColumn(conn, cols);
  // Stores made before them lack the indexes the results browser's purge of empty rows and its
  // search by name use.
  if (HasCol(cols, "WBC") && HasCol(cols, "TestDate"))
    conn.Execute("create index if not exists PersonWithoutResult on Person(TestDate) where coalesce(WBC,'')=''");
  if (HasCol(cols, "Name") && HasCol(cols, "TestDate") && HasCol(cols, "TestTime"))
    conn.Execute("create index if not exists PersonByName on Person(Name, TestDate, TestTime)");
}

void PrepareStatistic(CADOConn& conn, const std::string& today, int todayCount, int personCount) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from Statistic");
  const std::vector<std::string> cols = FieldNamesOf(*rs);
  const bool opened = conn.RecordsetOpen();
  const bool hasRow = opened && HasRows(*rs);
  conn.CloseRecordset();
  if (!opened) return;
  if (!HasCol(cols, "SampleCountAll")) {
    SampleCounters.SampleCountToday = todayCount;
    SampleCounters.SampleCountAll = personCount;
    conn.Execute("alter table Statistic add column SampleCountToday long default 0");
    conn.Execute("alter table Statistic add column SampleCountAll long default 0");
    conn.Execute("alter table Statistic add column DateToday char");
    if (!hasRow) conn.Execute("insert into Statistic(TotalTime) values(0)");
    conn.Execute(StrPrintf("update Statistic set SampleCountToday=%d,SampleCountAll=%d,DateToday='%s'", todayCount,
                           personCount, today.c_str()));
    return;
  }
  if (!hasRow) {
    // A table that lost its one row: start it again from the results that are stored.
    SampleCounters.SampleCountToday = todayCount;
    SampleCounters.SampleCountAll = personCount;
    conn.Execute(StrPrintf("insert into Statistic(TotalTime,SampleCountToday,SampleCountAll,DateToday) "
                           "values(0,%d,%d,'%s')",
                           todayCount, personCount, today.c_str()));
    return;
  }
  RecordsetPtr& all = conn.OpenRecordset("Select * from Statistic");
  if (HasRows(*all)) ReadField(*all, "SampleCountAll", SampleCounters.SampleCountAll);
  conn.CloseRecordset();
  RecordsetPtr& day = conn.OpenRecordset("Select * from Statistic where DateToday='" + today + "'");
  if (HasRows(*day)) {
    ReadField(*day, "SampleCountToday", SampleCounters.SampleCountToday);
    conn.CloseRecordset();
  } else {
    conn.CloseRecordset();
    conn.Execute("update Statistic set SampleCountToday=0,DateToday='" + today + "'");
    SampleCounters.SampleCountToday = 0;
  }
}

void UpgradeCalibrationCoef(CADOConn& conn) {
  const std::vector<std::string> cols = TableColumns(conn, "CalibrationCoef");
  if (cols.empty() || HasCol(cols, "WBC_D")) return;
  static const char* const kCols[10] = {"WBC_D",   "RBC_D",   "HGB_D", "MCV_D", "RDWCV_D",
                                        "RDWSD_D", "PLT_D",   "MPV_D", "PDW_D", "PLCR_D"};
  std::string update = "update CalibrationCoef set ";
  for (int i = 0; i < 10; ++i) {
    conn.Execute(std::string("alter table CalibrationCoef add column ") + kCols[i] + " single default 100");
    update += StrPrintf("%s%s=100", i ? "," : "", kCols[i]);
  }
  conn.Execute(update);
}

void EnsureBuiltInUsers(CADOConn& conn) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from Users where UserName='Engineer'");
  const bool opened = conn.RecordsetOpen();
  const bool hasEngineer = opened && HasRows(*rs);
  conn.CloseRecordset();
  if (opened && !hasEngineer) {
    conn.Execute("insert into Users values('Engineer',2,'4726')");
    conn.Execute("insert into Users values('Factory',3,'5183')");
    conn.Execute("update Users set Pwd='6049' where UserName='Admin'");
  }
  conn.Execute("delete from Users where UserName='Aduser'");
}

void LoadSystemSettingsRow(CADOConn& conn, StartupStoreValues& values) {
  const SysSettingRead read = LoadSysSetting(conn);
  if (!read.opened) return;
  const std::vector<std::string>& cols = read.columns;
  const bool hasRevise = HasCol(cols, "ReviseVol");
  if (read.hasRow) {
    const SysSettingRow& row = read.row;
    TakeSetting(row.IsKJKB, values.IsKJKB);
    TakeSetting(row.IsKJQX, values.IsKJQX);
    TakeSetting(row.SLanguage, AppSettings.LanguageIndex);
    ReagentVolumes& v = Reagents().volumes();
    TakeSetting(row.DiluentVol, v.DiluentVol);
    TakeSetting(row.LyseVol, v.LyseVol);
    TakeSetting(row.CleanerVol, v.CleanerVol);
    if (TakeSetting(row.ReagentAlarmType, AppSettings.ReagentAlarmType)) v.ReagentAlarmType = AppSettings.ReagentAlarmType;
    TakeSetting(row.PrintPgHeader, AppSettings.PrintPageHeader);
    if (hasRevise) {
      TakeSetting(row.ReviseVol, v.ReviseVol);
      TakeSetting(row.LyseReviseVol, v.LyseReviseVol);
      TakeSetting(row.CleanerReviseVol, v.CleanerReviseVol);
      if (v.ReviseVol > v.LyseReviseVol) v.LyseReserveCounting = 1;
      if (v.ReviseVol > v.CleanerReviseVol) v.CleanserReserveCounting = 1;
    }
    // The soak reminder's copies.
    TakeSetting(row.IsOpenSoakTips, Soak.IsOpenSoakTips);
    TakeSetting(row.DeviceTestTimes, Soak.DeviceTestTimes);
    TakeSetting(row.SetSoakTimes, Soak.SetSoakTimes);
    TakeSetting(row.SetSoakDays, Soak.SetSoakDays);
    TakeSetting(row.SoakDaysStartDate, Soak.SoakDaysStartDate);
  } else {
    // Names its columns, so it holds on a table that has gained columns since.
    conn.Execute(DefaultSettingsRowSql());
  }
  if (!hasRevise) {
    AddSysSettingColumn(conn, "ReviseVol", "real default 0");
    AddSysSettingColumn(conn, "LyseReviseVol", "real default 0");
    AddSysSettingColumn(conn, "CleanerReviseVol", "real default 0");
  }
  struct Add {
    const char* column;
    const char* type;
    int value;  // stored in the row too
  };
  static const Add kAdds[] = {
      {"AdjustGraph", "integer default 0", 0},     {"IsOpenSoakTips", "integer default 1", 1},
      {"SetSoakTimes", "integer default 400", 400}, {"SetSoakDays", "integer default 7", 7},
      {"DeviceTestTimes", "integer default 0", 0},
  };
  for (const Add& a : kAdds) {
    if (!HasCol(cols, a.column)) {
      AddSysSettingColumn(conn, a.column, a.type);
      SysSettingUpdate().Set(a.column, a.value).Execute(conn);
    }
  }
  if (!HasCol(cols, "SoakDaysStartDate")) {
    AddSysSettingColumn(conn, "SoakDaysStartDate", "TEXT(30)");
    const sys::LocalTime t = sys::Clock::Now();
    SysSettingUpdate().SetText("SoakDaysStartDate", SoakStartDateText(t)).Execute(conn);
  }
}

std::string StartupBackgroundPicture() {
  const bool large = AppSettings.LayoutScale > 1.0f;
  if (AppSettings.ChineseEdition) return large ? "Picture/bg_ONOFF2.bmp" : "Picture/bg_ONOFF.bmp";
  FitLanguageToEdition();
  return large ? "Picture/bg_ONOFF_EN2.bmp" : "Picture/bg_ONOFF_EN.bmp";
}

void PrepareStartupStore(CADOConn& conn, StartupStoreValues& values) {
  conn.Connect();
  LoadUnitDecimals(conn);
  LoadEngineeringSettings(conn, values.eng);
  const std::string today = TodayText();
  const std::vector<std::string> personColumns = CountPersons(conn, today, &values.todayCount, &values.personCount);
  UpgradePersonColumns(conn, personColumns);
  PrepareStatistic(conn, today, values.todayCount, values.personCount);
  UpgradeCalibrationCoef(conn);
  EnsureBuiltInUsers(conn);
  LoadSystemSettingsRow(conn, values);
  // From here on every booking and every reserve change goes straight to the settings row:
  // a program that is killed or loses power keeps what it has used.
  Reagents().SetStore(&DataStoreReagentStore());
  // The account's own section of Setting.ini, read once here.
  Reagents().coefficients() = ReadReagentCoefficients(sys::ProgramFile("Setting.ini"));
  StartupStoreRead = 1;
  values.background = StartupBackgroundPicture();
}

}  // namespace analyzer

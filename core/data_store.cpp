#include "core/data_store.h"

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "platform/db/connection.h"
#include "platform/sys/file_io.h"
#include "core/sys_setting.h"

extern const char kSchemaSql[];

const char* SchemaSql() { return kSchemaSql; }

namespace {

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

void RemoveDatabaseFiles(const std::string& path) {
  std::remove(path.c_str());
  std::remove((path + "-wal").c_str());
  std::remove((path + "-shm").c_str());
  std::remove((path + "-journal").c_str());
}

}  // namespace

bool CreateDataStoreIfMissing(bool* created, std::string* error) {
  if (created) *created = false;
  const std::string path = DatabasePath();
  std::lock_guard<std::recursive_mutex> g(DbLock());
  if (FileExists(path)) return true;

  // Built beside the target and renamed into place, so an interrupted build never leaves a
  // file that looks like a data store but lacks tables.
  const std::string temp = path + ".new";
  RemoveDatabaseFiles(temp);
  std::string failure;
  {
    db::Connection c;
    db::OpenOptions options;
    options.create = true;
    if (!c.Open(temp, options)) {
      failure = c.LastError();
    } else if (!c.Execute(SchemaSql())) {
      failure = c.LastError();
    }
    c.Close();
  }
  if (failure.empty() && !sys::RenameFile(temp, path, &failure)) failure = "Cannot create " + path + ": " + failure;
  // The new store's name survives a power cut only once its folder is flushed; without that the
  // fresh store goes again (it holds nothing yet) and the failure is said.
  if (failure.empty() && !sys::SyncFolder(std::filesystem::path(path).parent_path().string(), &failure)) {
    failure = "Cannot create " + path + ": " + failure;
    RemoveDatabaseFiles(path);
  }
  if (!failure.empty()) {
    RemoveDatabaseFiles(temp);
    if (error) *error = failure;
    return false;
  }
  std::remove((temp + "-wal").c_str());
  std::remove((temp + "-shm").c_str());
  if (created) *created = true;
  return true;
}

std::vector<std::string> TableColumns(CADOConn& conn, const std::string& table) {
  // From the table's schema, in the table's order: no row of the table is read.
  std::string quoted;
  for (char c : table) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  RecordsetPtr& rs = conn.OpenRecordset("pragma table_info(\"" + quoted + "\")");
  std::vector<std::string> names;
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
      std::string name;
      if (ReadField(*rs, "name", name)) names.push_back(name);
    }
  }
  conn.CloseRecordset();
  return names;
}

const SysSettingUpgrade kSysSettingUpgrades[10] = {
    {"PrintPgHeader", "alter table SysSetting add column PrintPgHeader BYTE default 20",
     "update SysSetting set PrintPgHeader=20"},
    {"TestDefaultMode", "alter table SysSetting add column TestDefaultMode BYTE default 0",
     "update SysSetting set TestDefaultMode=0"},
    {"ReagentAlarmType", "alter table SysSetting add column ReagentAlarmType BYTE default 0",
     "update SysSetting set ReagentAlarmType=0"},
    {"IsOpenSoakTips", "alter table SysSetting add column IsOpenSoakTips BYTE default 1",
     "update SysSetting set IsOpenSoakTips=1"},
    {"IsOpenAjustHistogram", "alter table SysSetting add column IsOpenAjustHistogram BYTE default 0",
     "update SysSetting set IsOpenAjustHistogram=0"},
    {"IsKJQX", "alter table SysSetting add column IsKJQX BYTE default 1",
     "update SysSetting set IsKJQX=1"},
    {"SetSoakTimes", "alter table SysSetting add column SetSoakTimes integer default 200",
     "update SysSetting set SetSoakTimes=200"},
    {"SetSoakDays", "alter table SysSetting add column SetSoakDays integer default 7",
     "update SysSetting set SetSoakDays=7"},
    {"DeviceTestTimes", "alter table SysSetting add column DeviceTestTimes integer default 0",
     "update SysSetting set DeviceTestTimes=0"},
    {"SoakDaysStartDate",
     "alter table SysSetting add column SoakDaysStartDate TEXT(20) default '2015-10-26 9:25:2'",
     "update SysSetting set SoakDaysStartDate='2015-10-26 9:25:2'"},
};

void UpgradeSystemTables(CADOConn& conn) {
  const std::vector<std::string> settings = TableColumns(conn, "SysSetting");
  // A table the query could not read tells nothing about its columns: adding them blindly
  // would only pile up refusals.
  if (!settings.empty()) {
    for (const auto& u : kSysSettingUpgrades) {
      if (HasColumnNamed(settings, u.column)) continue;
      conn.Execute(u.alter);
      // The existing rows get the value whether or not the column was just added.
      conn.Execute(u.update);
      if (std::string(u.column) == "PrintPgHeader") AppSettings.PrintPageHeader = 20;
    }
  }

  const std::vector<std::string> person = TableColumns(conn, "Person");
  if (!person.empty() && !HasColumnNamed(person, "PMARKER1")) {
    // Both columns as one unit: when either cannot be added, neither is.
    conn.Execute("alter table Person add column PMARKER1 real;"
                 "alter table Person add column PMARKER2 real");
  }
  if (!person.empty()) AddCountInputsColumn(conn, person);
}

void AddCountInputsColumn(CADOConn& conn, const std::vector<std::string>& personColumns) {
  // What a count that the algorithm library could not compute keeps for its later computation.
  if (!HasColumnNamed(personColumns, "CountInputs")) conn.Execute("alter table Person add column CountInputs text");
}

void LoadFirstSettings(CADOConn& conn) {
  const SysSettingRow row = LoadSysSetting(conn).row;
  TakeSetting(row.SerialNum, AppSettings.SerialNumber);
  TakeSetting(row.SLanguage, AppSettings.LanguageIndex);
}

const char* const kSysSettingColumns[37] = {
    "SerialNum",        "Printer",          "PrintInstant",         "PrintFormat",
    "UnitName",         "DormancyTime",     "AutoCleanTime",        "SLanguage",
    "IsKJKB",           "DiluentVol",       "LyseVol",              "CleanerVol",
    "DiluentReplDate",  "LyseReplDate",     "CleanerReplDate",      "IsModelChangePrompt",
    "IsTransInstant",   "HistoryListSortStyle", "BlockTime",        "LeakTime",
    "NewDiluentVol",    "NewLyseVol",       "NewCleanerVol",        "AdjustGraph",
    "ReviseVol",        "LyseReviseVol",    "CleanerReviseVol",     "PrintPgHeader",
    "TestDefaultMode",  "ReagentAlarmType", "IsOpenSoakTips",       "IsOpenAjustHistogram",
    "IsKJQX",           "SetSoakTimes",     "SetSoakDays",          "DeviceTestTimes",
    "SoakDaysStartDate"};

std::string DefaultSettingsRowSql() {
  std::string sql = "insert into SysSetting(";
  for (int i = 0; i < 27; ++i) {
    if (i) sql += ",";
    sql += kSysSettingColumns[i];
  }
  sql += ") values('',0,0,1,'',60,60,0,0,10000.000,1000.000,1000.000,'2009-3-1','2009-3-1',"
         "'2009-3-1',0,0,0,5.00,3.00,10.00,1.00,1.00,0,0.00,0.00,0.00)";
  return sql;
}

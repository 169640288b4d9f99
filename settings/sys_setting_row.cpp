#include "settings/sys_setting_row.h"

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"

namespace settings {
namespace {

void ReadSwitch(db::Recordset& rs, const char* column, int* out) {
  int32_t v = 0;
  if (ReadField(rs, column, v)) *out = v != 0 ? 1 : 0;
}

void ReadInt(db::Recordset& rs, const char* column, int* out) {
  int32_t v = 0;
  if (ReadField(rs, column, v)) *out = v;
}

}  // namespace

bool ReadSystemSettings(CADOConn& conn, SystemSettingsValues* v) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from SysSetting");
  const bool row = conn.RecordsetOpen() && HasRows(*rs);
  if (row) {
    ReadInt(*rs, "ReagentAlarmType", &v->reagentAlarmType);
    ReadInt(*rs, "TestDefaultMode", &v->defaultMode);
    ReadInt(*rs, "Printer", &v->printer);
    int32_t instant = 0;
    if (ReadField(*rs, "PrintInstant", instant)) v->printInstant = instant == 1 ? 1 : 0;
    ReadInt(*rs, "PrintFormat", &v->printFormat);
    ReadInt(*rs, "PrintPgHeader", &v->pageHeader);
    ReadField(*rs, "UnitName", v->hospital);
    ReadInt(*rs, "DormancyTime", &v->standbyMinutes);
    int32_t clean = 0;
    if (ReadField(*rs, "AutoCleanTime", clean)) v->cleanFrequency = clean & 0xFF;  // held as one byte
    ReadInt(*rs, "SLanguage", &v->language);
    ReadSwitch(*rs, "IsKJKB", &v->startupBlank);
    ReadSwitch(*rs, "IsKJQX", &v->startupClean);
    ReadSwitch(*rs, "IsModelChangePrompt", &v->prediluteInform);
    ReadSwitch(*rs, "IsTransInstant", &v->transmitInstant);
  }
  conn.CloseRecordset();
  return row;
}

bool WriteSystemSettings(CADOConn& conn, const SystemSettingsValues& v) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from SysSetting");
  if (!conn.RecordsetOpen()) return false;  // reported by the data layer
  const bool row = HasRows(*rs);
  conn.CloseRecordset();
  const std::string hospital = SqlSafeText(v.hospital);
  std::string sql;
  if (row) {
    sql = StrPrintf(
        "update SysSetting set Printer=%d,PrintInstant=%d,PrintFormat=%d,UnitName='%s',DormancyTime=%d,"
        "AutoCleanTime=%d,SLanguage=%d,IsKJKB=%d,IsKJQX=%d,IsModelChangePrompt=%d,IsTransInstant=%d,"
        "ReagentAlarmType=%d,TestDefaultMode=%d,PrintPgHeader=%d",
        v.printer, v.printInstant, v.printFormat, hospital.c_str(), v.standbyMinutes, v.cleanFrequency, v.language,
        v.startupBlank, v.startupClean, v.prediluteInform, v.transmitInstant, v.reagentAlarmType, v.defaultMode,
        v.pageHeader);
  } else {
    sql = StrPrintf(
        "insert into SysSetting(Printer,PrintInstant,PrintFormat,UnitName,DormancyTime,AutoCleanTime,SLanguage,"
        "IsKJKB,IsKJQX,IsModelChangePrompt,IsTransInstant,ReagentAlarmType,TestDefaultMode,PrintPgHeader) "
        "values(%d,%d,%d,'%s',%d,%d,%d,%d,%d,%d,%d,%d,%d,%d)",
        v.printer, v.printInstant, v.printFormat, hospital.c_str(), v.standbyMinutes, v.cleanFrequency, v.language,
        v.startupBlank, v.startupClean, v.prediluteInform, v.transmitInstant, v.reagentAlarmType, v.defaultMode,
        v.pageHeader);
  }
  return conn.Execute(sql) == 1;
}

void ReadSoakLimits(CADOConn& conn, int* times, int* days) {
  *times = 200;
  *days = 7;
  RecordsetPtr& rs = conn.OpenRecordset("Select SetSoakTimes,SetSoakDays from SysSetting");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    ReadInt(*rs, "SetSoakTimes", times);
    ReadInt(*rs, "SetSoakDays", days);
  }
  conn.CloseRecordset();
}

bool WriteSoakLimits(CADOConn& conn, int times, int days) {
  if (conn.Execute(StrPrintf("update SysSetting set SetSoakTimes = %d, SetSoakDays = %d", times, days)) != 1)
    return false;
  return conn.Connection().ChangedRows() > 0;
}

}  // namespace settings

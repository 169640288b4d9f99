#include "settings/sys_setting_row.h"

#include "core/ado_conn.h"
#include "core/sys_setting.h"

namespace settings {
namespace {

template <typename T>
void TakeSwitch(const std::optional<T>& column, int* out) {
  if (column) *out = *column != 0 ? 1 : 0;
}

}  // namespace

bool ReadSystemSettings(CADOConn& conn, SystemSettingsValues* v) {
  const SysSettingRead read = LoadSysSetting(conn);
  if (!read.hasRow) return false;
  const SysSettingRow& row = read.row;
  TakeSetting(row.ReagentAlarmType, v->reagentAlarmType);
  TakeSetting(row.TestDefaultMode, v->defaultMode);
  TakeSetting(row.Printer, v->printer);
  if (row.PrintInstant) v->printInstant = *row.PrintInstant == 1 ? 1 : 0;
  TakeSetting(row.PrintFormat, v->printFormat);
  TakeSetting(row.PrintPgHeader, v->pageHeader);
  TakeSetting(row.UnitName, v->hospital);
  TakeSetting(row.DormancyTime, v->standbyMinutes);
  TakeSetting(row.AutoCleanTime, v->cleanFrequency);
  TakeSetting(row.SLanguage, v->language);
  TakeSwitch(row.IsKJKB, &v->startupBlank);
  TakeSwitch(row.IsKJQX, &v->startupClean);
  TakeSwitch(row.IsModelChangePrompt, &v->prediluteInform);
  TakeSwitch(row.IsTransInstant, &v->transmitInstant);
  return true;
}

bool WriteSystemSettings(CADOConn& conn, const SystemSettingsValues& v) {
  return SysSettingUpdate()
      .Set("Printer", v.printer)
      .Set("PrintInstant", v.printInstant)
      .Set("PrintFormat", v.printFormat)
      .SetText("UnitName", v.hospital)
      .Set("DormancyTime", v.standbyMinutes)
      .Set("AutoCleanTime", v.cleanFrequency)
      .Set("SLanguage", v.language)
      .Set("IsKJKB", v.startupBlank)
      .Set("IsKJQX", v.startupClean)
      .Set("IsModelChangePrompt", v.prediluteInform)
      .Set("IsTransInstant", v.transmitInstant)
      .Set("ReagentAlarmType", v.reagentAlarmType)
      .Set("TestDefaultMode", v.defaultMode)
      .Set("PrintPgHeader", v.pageHeader)
      .ExecuteOrInsert(conn);
}

void ReadSoakLimits(CADOConn& conn, int* times, int* days) {
  *times = 200;
  *days = 7;
  const SysSettingRow row = LoadSysSetting(conn).row;
  TakeSetting(row.SetSoakTimes, *times);
  TakeSetting(row.SetSoakDays, *days);
}

bool WriteSoakLimits(CADOConn& conn, int times, int days) {
  if (!SysSettingUpdate().Set("SetSoakTimes", times).Set("SetSoakDays", days).Execute(conn)) return false;
  return conn.Connection().ChangedRows() > 0;
}

}  // namespace settings

#pragma once
// The settings screens' columns of the SysSetting row, taken from the row's typed reader and
// stored through its one writer (core/sys_setting).
#include <cstdint>
#include <string>

class CADOConn;

namespace settings {

// The system settings screen's columns. Defaults are what the screen shows for a missing row
// or a NULL column.
struct SystemSettingsValues {
  int printer = 0;          // Printer: 0 built-in thermal printer, 1 page printer
  int printInstant = 0;     // PrintInstant: only a stored 1 counts as on
  int printFormat = 1;      // PrintFormat
  std::string hospital;     // UnitName
  int standbyMinutes = 0;   // DormancyTime
  int cleanFrequency = 0;   // AutoCleanTime
  int language = 1;         // SLanguage
  int startupBlank = 0;     // IsKJKB (any non-zero value is on)
  int startupClean = 0;     // IsKJQX
  int prediluteInform = 0;  // IsModelChangePrompt
  int transmitInstant = 0;  // IsTransInstant
  int reagentAlarmType = 0; // ReagentAlarmType: 0 software, 1 hardware
  int defaultMode = 0;      // TestDefaultMode: 0 whole blood, 1 pre-diluted
  int pageHeader = 20;      // PrintPgHeader (mm)
};

// Reads the row into `v` (NULL columns keep what `v` holds, switches become 0/1). False when the
// table has no row (or cannot be read).
bool ReadSystemSettings(CADOConn& conn, SystemSettingsValues* v);
// Updates the row, or inserts it when the table has none. The hospital name is made SQL-safe.
// True only when the statement succeeded.
bool WriteSystemSettings(CADOConn& conn, const SystemSettingsValues& v);

// The soak reminder's limits: SetSoakTimes and SetSoakDays (200 and 7 when not stored).
void ReadSoakLimits(CADOConn& conn, int* times, int* days);
// True when the row took them; false after an engine error or when the table has no row.
bool WriteSoakLimits(CADOConn& conn, int times, int days);

}  // namespace settings

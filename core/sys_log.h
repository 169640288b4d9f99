#pragma once
// The system log table SysLog: rows of four texts (Date "%d-%.2d-%.2d", Time "%.2d:%.2d:%.2d",
// Event, Result) in the language in force, kept below 1000 rows. Chronological order is by
// Date, then Time, as texts.
#include <string>

#include "platform/sys/clock.h"

class CADOConn;

inline constexpr int kSysLogMaxRows = 1000;

// The events and results that the core and the analyzer link write.
enum class SysLogWord {
  Startup,         // event: every start
  Normal,          // result of a start
  ShutDown,        // event: shutdown, and the missing shutdown of the previous run
  Abnormal,        // result: the previous run ended without its shutdown row
  ShutDownOk,      // result of a shutdown
  SampleTest,      // event: board fault during shutdown or a test
  Logon,           // event
  Backup,          // event
  Recovery,        // event
  Finished,        // result of backup and recovery
};
const char* SysLogText(SysLogWord word, int language);

// The name of a user level as the log-on row writes it (level 0: empty).
const char* UserLevelName(int level, int language);

// "insert into SysLog values('%s','%s','%s','%s')" for the given moment; event and result go in
// with their apostrophes made safe (SqlSafeText).
std::string SysLogInsertSql(const sys::LocalTime& when, const std::string& event,
                            const std::string& result);

// Writes one row stamped with the program clock's local time now. 1 on success, 0 on a
// (reported) failure.
int WriteSysLog(CADOConn& conn, const std::string& event, const std::string& result);

// Before the start-up rows: deletes the oldest rows (by Date, Time) while 1000 or more are
// stored. Returns the rows deleted.
int TrimSysLogAtStartup(CADOConn& conn);

// Before the shutdown row: with 1000 or more rows stored, deletes the one oldest row. Returns
// the rows deleted (0 or 1).
int TrimSysLogAtShutdown(CADOConn& conn);

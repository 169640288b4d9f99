#pragma once
// The one row of SysSetting, typed, and the one place that reads it. Each column is held when it
// could be read: a column an older store lacks, or a Null, stays empty, so a reader keeps its own
// default exactly as when it read the column itself.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CADOConn;

// Column, type. ShowMidResult is asked for by the test screen but no store has it.
#define QX_SYS_SETTING_COLUMNS(X)                                                                  \
  X(std::string, SerialNum) X(int32_t, Printer) X(uint8_t, PrintInstant) X(int32_t, PrintFormat)    \
  X(std::string, UnitName) X(int32_t, DormancyTime) X(uint8_t, AutoCleanTime) X(uint8_t, SLanguage) \
  X(int16_t, IsKJKB) X(float, DiluentVol) X(float, LyseVol) X(float, CleanerVol)                    \
  X(std::string, DiluentReplDate) X(std::string, LyseReplDate) X(std::string, CleanerReplDate)      \
  X(uint8_t, IsModelChangePrompt) X(uint8_t, IsTransInstant) X(int32_t, HistoryListSortStyle)       \
  X(float, BlockTime) X(float, LeakTime) X(float, NewDiluentVol) X(float, NewLyseVol)               \
  X(float, NewCleanerVol) X(int32_t, AdjustGraph) X(float, ReviseVol) X(float, LyseReviseVol)       \
  X(float, CleanerReviseVol) X(uint8_t, PrintPgHeader) X(int32_t, TestDefaultMode)                  \
  X(uint8_t, ReagentAlarmType) X(uint8_t, IsOpenSoakTips) X(uint8_t, IsOpenAjustHistogram)          \
  X(int16_t, IsKJQX) X(int32_t, SetSoakTimes) X(int32_t, SetSoakDays) X(int32_t, DeviceTestTimes)   \
  X(std::string, SoakDaysStartDate) X(uint8_t, ShowMidResult)

struct SysSettingRow {
#define QX_SYS_SETTING_FIELD(type, name) std::optional<type> name;
  QX_SYS_SETTING_COLUMNS(QX_SYS_SETTING_FIELD)
#undef QX_SYS_SETTING_FIELD
};

struct SysSettingRead {
  bool opened = false;               // the table could be read
  bool hasRow = false;               // and it has a row (the first is the settings)
  std::vector<std::string> columns;  // its columns in table order (when opened)
  SysSettingRow row;
};

// Reads the row. Nothing of it is held when the table cannot be read or is empty.
SysSettingRead LoadSysSetting(CADOConn& conn);

// The one writer of SysSetting's columns: "update SysSetting set A = 1,B = 2.50,C = 'text'", or
// the same columns as "insert into SysSetting(A,B,C) values(1,2.50,'text')" for a table that has
// no row yet. Numbers in the C locale, texts made safe for SQL.
class SysSettingUpdate {
 public:
  SysSettingUpdate& Set(const char* column, int64_t value);
  SysSettingUpdate& SetFixed(const char* column, double value, int decimals);
  SysSettingUpdate& SetFixed2(const char* column, double value) { return SetFixed(column, value, 2); }
  SysSettingUpdate& SetText(const char* column, const std::string& text);
  bool empty() const { return columns_.empty(); }
  std::string Sql() const;
  std::string InsertSql() const;
  // Runs the update; true when the statement ran.
  bool Execute(CADOConn& conn) const;
  // Updates the row, or inserts it when the table has none; false when the table cannot be
  // read or the statement failed.
  bool ExecuteOrInsert(CADOConn& conn) const;

 private:
  SysSettingUpdate& Add(const char* column, std::string value);
  std::vector<std::string> columns_, values_;
};

// Adds a column an older store lacks ("alter table SysSetting add column <column> <type>").
bool AddSysSettingColumn(CADOConn& conn, const char* column, const char* type);

// Keeps `out` when the column was not read, else takes the value.
template <typename T, typename U>
bool TakeSetting(const std::optional<T>& column, U& out) {
  if (!column) return false;
  out = static_cast<U>(*column);
  return true;
}

#pragma once
// The data store file: creating a new one from the schema, the start-up column upgrade of the
// settings and results tables, and the first settings load.
#include <string>
#include <vector>

class CADOConn;

// The schema and first rows (resources/schema/schema.sql).
const char* SchemaSql();

// When Vantorium.mdb does not exist in the program folder, builds it from the schema: every
// table with its first rows. The new file appears whole or not at all. Returns true when the
// file exists afterwards; *created tells whether it was made now.
bool CreateDataStoreIfMissing(bool* created = nullptr, std::string* error = nullptr);

// The column names of a table in their order, from "Select * from <table>" (empty when the
// query fails; the failure is reported as every query's is).
std::vector<std::string> TableColumns(CADOConn& conn, const std::string& table);

// One column the start-up upgrade adds to SysSetting when it is missing.
struct SysSettingUpgrade {
  const char* column;
  const char* alter;
  const char* update;
};
extern const SysSettingUpgrade kSysSettingUpgrades[10];

// Adds the SysSetting columns, the Person marker columns and Person's CountInputs an older file
// lacks, each with its default: the upgrade of every store the program opens, at start-up and
// after a restore. A column that differs only in letter case is the same column. Refused
// statements are reported and the next one runs; they are tried again at the next start.
void UpgradeSystemTables(CADOConn& conn);
// Person's CountInputs when `personColumns` (Person's columns as read) lacks it.
void AddCountInputsColumn(CADOConn& conn, const std::vector<std::string>& personColumns);

// Reads the settings row into AppSettings: SerialNum (serial number) and SLanguage (language
// index). Null columns and a missing row leave the values as they are.
void LoadFirstSettings(CADOConn& conn);

// SysSetting's columns in table order. The first 27 are those the start-up's default settings
// row fills; the rest are the upgrade's additions, which take their defaults.
extern const char* const kSysSettingColumns[37];

// The default settings row for an empty SysSetting, naming the 27 columns it fills (so the
// statement holds whatever columns the table has after them): '', 0, 0, 1, '', 60, 60, 0, 0,
// 10000.000, 1000.000, 1000.000, '2009-3-1' three times, 0, 0, 0, 5.00, 3.00, 10.00, 1.00,
// 1.00, 0, 0.00, 0.00, 0.00.
std::string DefaultSettingsRowSql();

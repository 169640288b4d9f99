#pragma once
// What the start-up screen does to the data store before the board answers: the decimals of
// the displayed values, the engineering settings sent to the board, the column upgrades of the
// results, counters, calibration and settings tables, the daily sample counters, the built-in
// accounts and the settings row. Each step is a function over the screen's own connection; an
// engine error is reported by the connection and the next step runs all the same.
#include <cstdint>
#include <string>
#include <vector>

class CADOConn;

namespace analyzer {

// Hardware settings from EngineeringAdjust and EngineeringDebug. Values the table does not hold
// are 0 (count times 50 and 10 tenths).
struct EngineeringValues {
  uint8_t WBCTIME = 50, RBCTIME = 10;
  uint8_t ZYDW[4] = {0, 0, 0, 0};
  uint8_t MKDYDW[4] = {0, 0, 0, 0};
  uint8_t PARA[4] = {0, 0, 0, 0};
  uint16_t FPRESSURE = 0, APRESSURE = 0;
  int32_t Needle[5] = {0, 0, 0, 0, 0};
};

struct StartupStoreValues {
  EngineeringValues eng;
  int32_t IsKJKB = 0;  // start-up blank test switch
  int32_t IsKJQX = 0;  // start-up clean switch
  int todayCount = 0;  // Person rows of today
  int personCount = 0; // all Person rows
  std::string background;  // picture path relative to the program folder
};

// Today's date as the store keeps it, "%d-%.2d-%.2d", from the program clock.
std::string TodayText();

// Fills UnitDecimals (display order) from ParasUnit; an old seven-column table gets the
// fourteen decimals columns with values derived from its unit texts. Returns 1.
int LoadUnitDecimals(CADOConn& conn);
void LoadEngineeringSettings(CADOConn& conn, EngineeringValues& eng);
// Counts today's and all Person rows; returns Person's column names.
std::vector<std::string> CountPersons(CADOConn& conn, const std::string& today, int* todayCount, int* personCount);
// Adds the result columns an older table lacks and drops the obsolete marker columns. The
// marker columns a result is written to (PMARKER1, PMARKER2) are never dropped.
void UpgradePersonColumns(CADOConn& conn, const std::vector<std::string>& columns);
// The daily counters of Statistic into SampleCounters; the count of today starts again at 0
// on the first start of a day. A table without its row gets one.
void PrepareStatistic(CADOConn& conn, const std::string& today, int todayCount, int personCount);
void UpgradeCalibrationCoef(CADOConn& conn);
// Engineer and Factory accounts (and the Admin password) on a store without an Engineer; the
// old 'Aduser' account is removed at every start.
void EnsureBuiltInUsers(CADOConn& conn);
// Reads the settings row (switches, language, reagent volumes and reserves, alarm type, print
// header) or inserts the default row into an empty table, then adds the missing columns.
void LoadSystemSettingsRow(CADOConn& conn, StartupStoreValues& values);
// The start-up background for the edition and layout scale; in the international edition a
// Chinese language index becomes English (in memory only).
std::string StartupBackgroundPicture();

// All the steps above in the start-up's order.
void PrepareStartupStore(CADOConn& conn, StartupStoreValues& values);

}  // namespace analyzer

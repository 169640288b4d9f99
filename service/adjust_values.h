#pragma once
// The engineering adjustment's values: the analogue settings of the front-end board kept in
// the one row of EngineeringAdjust (potentiometers, pulse widths, the two pressures, the count
// times) and the two aperture warning times of SysSetting; their fields on the screen, the
// checks of every field before anything is stored, the statements that store them, and the
// factory defaults of Setting.ini [AdjustParas].
#include <cstdint>
#include <string>

class CADOConn;

namespace service {

struct AdjustValues {
  uint8_t pot[8] = {};    // ZYDW1..ZYDW4, MKDYDW1..MKDYDW4
  uint8_t para[4] = {};   // PARA1..PARA4
  int16_t fpressure = 0;  // test start pressure
  int16_t apressure = 0;  // test maximum pressure
  uint8_t wbcTime = 0;    // count time, tenths of a second
  uint8_t rbcTime = 0;    // count wait time, tenths of a second
  float blockTime = 0;    // clogging warning time, seconds
  float leakTime = 0;     // air-bubble warning time, seconds
};

// The texts of the screen's fields.
struct AdjustFields {
  std::string pot[8], para[4];
  std::string startBase, startOffset, maxBase, maxOffset;
  std::string countTime, waitTime, blockTime, leakTime;
};

inline constexpr int kStartPressureBase = 2300;
inline constexpr int kMaxPressureBase = 2335;

// The stored row (a NULL column leaves the value) and the two SysSetting columns.
AdjustValues LoadAdjustValues(CADOConn& conn);
// The fields that show the values (pressures split into base and offset).
AdjustFields FieldsOf(const AdjustValues& v);
// Every check of the fields, in the screen's order. False with the message of the first that
// fails; on success `out` holds the values to store.
bool CheckAdjustFields(const AdjustFields& f, AdjustValues* out, std::string* message, int language);
// "update EngineeringAdjust set ..." (or the insert when the table has no row).
std::string AdjustUpdateSql(const AdjustValues& v);
std::string AdjustInsertSql(const AdjustValues& v);
std::string WarningTimesSql(const AdjustValues& v);
// Stores the row and the warning times.
void StoreAdjustValues(CADOConn& conn, const AdjustValues& v);

// Setting.ini [AdjustParas]: written from the fields as they are (no checks), read with the
// factory defaults for missing keys.
bool WriteAdjustDefaults(const std::string& iniFile, const AdjustValues& v);
AdjustValues ReadAdjustDefaults(const std::string& iniFile);
// The fields taken without the checks (for "Set Default"): what cannot be read counts as 0.
AdjustValues ValuesOfUnchecked(const AdjustFields& f);

// Seconds typed with decimals into tenths of a second, truncated (6.25 -> 62), kept in 8 bits.
uint8_t TenthsOf(double seconds);

}  // namespace service

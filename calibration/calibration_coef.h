#pragma once
// The calibration factor store: the CalibrationCoef row of a blood type (20 factors, their 20
// dates, 10 user percents) and the engineer's default factors in setting.ini. The one place
// that knows the store's statements; the calibration screens write through it and every
// result path reads the row (measurement/count_settings).
#include <string>

class CADOConn;

namespace calibration {

// The six factors the calibration screens change, in screen order (MPV only by the engineer).
enum CoefItem { kCoefWbc = 0, kCoefRbc, kCoefHgb, kCoefMcv, kCoefPlt, kCoefMpv };
inline constexpr const char* kCoefNames[6] = {"WBC", "RBC", "HGB", "MCV", "PLT", "MPV"};

// Today's local date as the store writes it: "%d-%.2d-%.2d" (2024-03-07).
std::string TodayText();
// "%.2f" in the C locale.
std::string TwoDecimals(double v);

// What a screen shows of a row: six factor texts, six date texts, five percent texts (WBC to
// PLT). A NULL column leaves its text as it was.
struct CoefTexts {
  std::string factors[6];
  std::string dates[6];
  std::string percents[5];
};

// Reads the row with `selectSql` into `texts`; without a row sets every factor "1.00", every
// percent "100.00" and every date today's. Returns whether the row exists.
bool LoadCoefTexts(CADOConn& conn, const std::string& selectSql, CoefTexts& texts);

// The per-type select texts of the screens (the store's readers differ only in blanks).
std::string SelectRowSql(int bloodType);          // "...where BloodType=%d"
std::string SelectRowSpacedSql(int bloodType);    // "...where BloodType = %d"
std::string SelectRowEngineerSql(int bloodType);  // two blanks after the table name

// Whether the blood type has a row (record count above 0). -1 when the select failed.
int CoefRowExists(CADOConn& conn, const std::string& selectSql);

// The write statements. Factors and percents go in "%.2f".
std::string EngineerUpdateSql(const double f[6], const std::string dates[6], int bloodType);
std::string EngineerInsertSql(const double f[6], const std::string& today, int bloodType);
std::string UserUpdateSql(const double f[5], const std::string dates[5], const double percents[5], int bloodType);
// `percents` null: the Engineer's update, which leaves the stored percents alone.
std::string AutoUpdateSql(const double f[5], const std::string dates[5], const double* percents, int bloodType);
std::string AutoInsertSql(const double f[5], const std::string& today, int bloodType);

// The engineer's defaults, section WholeCalcCoef / PeripheralCalcCoef / PreDilutedCalcCoef.
const char* DefaultsSection(int bloodType);
// The program folder's "setting.ini".
std::string SettingIniPath();
// Reads the six defaults (a missing key "1.00"; a value ending in "." gets "00"). False, and
// nothing read, when the file does not exist: it is never created here.
bool ReadDefaultFactors(int bloodType, std::string out[6]);
// Writes the six values rounded half up to two decimals, "%.2f". False when the file does not
// exist (nothing written) or cannot be written.
bool WriteDefaultFactors(int bloodType, const double values[6]);
// value x 100 + 0.5, truncated, / 100.
double RoundHalfUp2(double value);

}  // namespace calibration

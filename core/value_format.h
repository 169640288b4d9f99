#pragma once
// Formatting, rounding and unit conversion of the 20 parameter values (display order).
#include <array>
#include <cstdint>
#include <string>

// A value the algorithm library could not compute. Conversion, rounding and formatting leave it
// exactly as it is.
inline constexpr float kInvalidParamValue = -100000.0f;
inline bool IsValidParamValue(float v) { return v != kInvalidParamValue; }

// Decimal counts per unit group, in this slot order: 0 WBC counts, 1 WBC percentages, 2 RBC,
// 3 HGB, 4 HCT, 5 MCV, 6 MCH, 7 MCHC, 8 RDW-SD, 9 RDW-CV, 10 PLT, 11 MPV, 12 PCT, 13 PDW (and
// P-LCR). All 0 until the start-up loads them from the units table.
inline constexpr int kUnitDecimalCount = 14;
extern std::array<int32_t, kUnitDecimalCount> UnitDecimals;

// The UnitDecimals slot of a parameter in display order; -1 outside 0..19.
int DecimalSlotOfDisplayIndex(int displayIndex);

// The value with the decimal count of its slot ("%.0f" .. "%.3f"; any other count "%.2f"); with
// `plain` set, "%g". An index outside 0..19 formats with no decimals. Always in the C locale.
std::string FormatValue(float value, int displayIndex, int plain = 0);

// Rounds half away from zero to `decimals` places (a negative count rounds to tens, hundreds...).
float RoundToDecimals(float value, int decimals);

// Converts a computed result (display order, in place) from the standard units into the units the
// operator chose and rounds it: mode 0 with UnitDecimals, mode 1 (quality control) with the fixed
// counts of the QC screens. Then GRA# and GRA% are recomputed from the rounded values when their
// operands are valid.
void ConvertUnit(float* values, const std::string* units, int mode);

// The seven parameters whose display unit the operator chooses, in this slot order (the units
// table keeps them as columns WBC RBC HGB MCHC HCT PLT PCT).
enum UnitSlot { kUnitWBC = 0, kUnitRBC, kUnitHGB, kUnitHCT, kUnitMCHC, kUnitPLT, kUnitPCT, kUnitSlotCount };
using UnitTextSet = std::array<std::string, kUnitSlotCount>;

// The unit each slot is computed in (the first unit each list offers).
const char* BaseUnitOfSlot(int slot);

// How many of `unit` make one of its slot's base unit: the factor ConvertUnit applies (g/dL 0.1,
// mmol/L 1/16.11, 10^2/uL 10, L/L 0.01 ...). An empty text is the base unit (1); a text ConvertUnit
// does not know gives 0.
double UnitScaleFromBase(int slot, const std::string& unit);

// The decimal counts the units call for (UnitDecimals slot order): 10^2 counts of WBC 1, else 2;
// RBC in 10^4 0, else 2; HGB and MCHC in g/dL or mmol/L 1, else 0; HCT in L/L 3, else 1; PLT in
// 10^4 1, else 0; PCT in mL/L 2, else 3; every fixed-unit group 1.
std::array<int32_t, kUnitDecimalCount> DefaultUnitDecimals(const UnitTextSet& units);

// printf-style formatting into a std::string. Numbers come out in the C locale as long as the
// program never changes LC_NUMERIC (it does not).
std::string StrPrintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

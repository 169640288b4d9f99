#pragma once
// Units and decimals of the displayed values, kept in the one ParasUnit row, and the rescale of
// everything stored in display units (normal and panic limits, calibrator targets, Levey-Jennings
// and X-B QC targets) when a unit changes.
#include <array>
#include <vector>
#include <string>

#include "core/value_format.h"

class CADOConn;

namespace settings {

// The choices of each slot (UnitSlot order), in list order; the first is the base unit.
const std::vector<std::string>& UnitChoices(int slot);

// The decimal exponent of a unit: a value times 10^code is the same in every unit of one
// parameter; 0 for a text without one (the percentage units, mmol/L ...).
int UnitPowerCode(const std::string& unit);

// The factor that takes a stored value from `previous` to `now` in one slot: 1 when the unit did
// not change or when `previous` is a text no conversion knows; an empty previous unit is the base
// unit. mmol/L uses 16.11 g/L per mmol/L, the factor of the result conversion.
double RescaleFactor(int slot, const std::string& previous, const std::string& now);

// The units row as stored: the seven texts ("" for NULL) and the fourteen decimal counts
// (UnitDecimals slot order, from the combos). False when the table has no row.
struct UnitRow {
  UnitTextSet units;
  std::array<int32_t, kUnitDecimalCount> decimals{};
};
bool ReadUnitRow(CADOConn& conn, UnitRow* row);

// OK of the units screen: writes the row (insert when `rowExisted` is false) and, for every slot
// whose unit changed, rescales the stored values of that slot, all in one transaction. Only
// columns the tables carry are named. On success UnitDecimals takes the new counts; on failure
// nothing changes (in the store or in memory) and false comes back.
bool SaveUnitsAndRescale(CADOConn& conn, const UnitTextSet& previous, const UnitRow& chosen, bool rowExisted);

}  // namespace settings

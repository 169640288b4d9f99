#pragma once
// The input check and the values of the L-J file settings screen, without a window.
#include <array>
#include <string>

#include "qc/settings_checks.h"

namespace qc {

struct LjSettingsInput {
  std::string batch, year, month, day;
  std::array<std::string, 40> values;  // display order, target then limit per parameter
  std::array<int, 20> chosen{};        // display order
};

enum class LjInputError {
  None,
  NoFile,
  NoLot,
  DateIncomplete,
  DateFormat,
  Month,
  Day,
  Expired,
  TargetDigits,
  LimitDigits,
  ChosenRange,
  TargetRange,
  LimitRange,
};


// Checks in the screen's order and stops at the first failure. On success `expDate` holds
// "%d-%.2d-%.2d". Trims the value texts and puts U+2018 for every apostrophe of the batch.
LjInputError CheckLjSettingsInput(LjSettingsInput& in, int todayYear, int todayMonth, int todayDay,
                                  std::string* expDate);
std::string LjInputMessage(LjInputError e, int language);

// A value text as stored: a number rounded to two decimals ("%.2f" and back), below 0.001
// becoming 0; anything else 0.
float StoredSettingValue(const std::string& text);
// A stored target or limit as the screen shows it: "%g", empty for 0 or less.
std::string SettingValueText(float v);

}  // namespace qc

namespace qc {

// The settings of a file as one LIS text record: "LJS," then file number, batch, expiry date,
// then per parameter (store order) target, limit and unit, each field followed by ","; then the
// checksum (16-bit sum of the bytes before it, "%d") and ",TRANSFER FINISH".
std::string LjSettingsTextRecord(int fileNo, const std::string& batch, const std::string& expDate,
                                 const std::array<std::string, 40>& valuesStore,
                                 const std::array<std::string, 20>& unitsStore);

}  // namespace qc

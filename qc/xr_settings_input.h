#pragma once
// The input check and the LIS text record of the X-R file settings screen, without a window.
#include <array>
#include <string>

namespace qc {

struct XrSettingsInput {
  std::string batch, year, month, day, groups, perGroup;
};

enum class XrInputError {
  None,
  NoLot,
  LotComma,
  DateIncomplete,
  DateFormat,
  Month,
  Day,
  Expired,
  GroupDigits,
  SampleDigits,
  AtLeastTwo,
  MaxGroups,
  MaxSamples,
};

// Checks in the screen's order and stops at the first failure. Puts U+2018 for every apostrophe
// of the batch and trims it; a batch with a comma is refused, since it would split the LIS
// record. On success: the expiry date "%d-%.2d-%.2d", the number of groups (2..60) and the
// samples per group (2..10).
XrInputError CheckXrSettingsInput(XrSettingsInput& in, int todayYear, int todayMonth, int todayDay, std::string* expDate,
                                  int* groups, int* perGroup);
std::string XrInputMessage(XrInputError e, int language);

// "XRS," file number, batch, expiry date, groups, samples per group, the 20 units (store order),
// each followed by ","; then the checksum and ",TRANSFER FINISH".
std::string XrSettingsTextRecord(int fileNo, const std::string& batch, const std::string& expDate, int groups,
                                 int perGroup, const std::array<std::string, 20>& unitsStore);

}  // namespace qc

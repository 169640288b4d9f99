#pragma once
// The input checks and the LIS text record ending that the L-J, X-R and X-B settings screens
// share, without a window.
#include <string>

namespace qc {

// The text without its leading and trailing blanks and tabs.
std::string TrimBlanks(const std::string& text);

// A typed number: IsNumericText, and no comma (a decimal comma would be read as something else
// by every later reader, so it is refused rather than guessed).
bool IsTypedNumber(const std::string& text);

// A target or limit text within 0..999999.
bool SettingValueInRange(const std::string& text);

// An expiry date typed as year, month and day, checked in the screens' order.
enum class ExpiryCheck { None, Incomplete, Format, Month, Day, Expired };
// `expDate` receives "%d-%.2d-%.2d" once month and day are in range (also for an expired date).
ExpiryCheck CheckExpiryDate(const std::string& year, const std::string& month, const std::string& day, int todayYear,
                            int todayMonth, int todayDay, std::string* expDate);

// One parameter's target and limit texts (trimmed): a parameter under QC needs both as numbers
// in range; one that is not may leave either empty.
enum class TargetLimitCheck { None, TargetDigits, LimitDigits, ChosenRange, TargetRange, LimitRange };
TargetLimitCheck CheckTargetAndLimit(const std::string& target, const std::string& limit, bool chosen);

// A settings record for the LIS serial line: the fields as given, then the checksum (16-bit sum
// of their bytes, "%d") and ",TRANSFER FINISH".
std::string FinishTextRecord(const std::string& fields);

}  // namespace qc

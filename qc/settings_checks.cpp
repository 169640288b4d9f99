#include "qc/settings_checks.h"

#include <cstdint>
#include <cstdlib>

#include "core/utilies.h"
#include "core/value_format.h"

namespace qc {

std::string TrimBlanks(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool IsTypedNumber(const std::string& text) {
  return text.find(',') == std::string::npos && CUtilies::IsNumericText(text);
}

bool SettingValueInRange(const std::string& t) {
  const double v = std::strtod(t.c_str(), nullptr);
  return v >= 0.0 && v <= 999999.0;
}

ExpiryCheck CheckExpiryDate(const std::string& year, const std::string& month, const std::string& day, int ty, int tm,
                            int td, std::string* expDate) {
  if (year.empty() || month.empty() || day.empty()) return ExpiryCheck::Incomplete;
  if (!IsTypedNumber(year) || !IsTypedNumber(month) || !IsTypedNumber(day)) return ExpiryCheck::Format;
  const int y = std::atoi(year.c_str()), m = std::atoi(month.c_str()), d = std::atoi(day.c_str());
  if (m < 1 || m > 12) return ExpiryCheck::Month;
  if (d < 1 || d > 31) return ExpiryCheck::Day;
  *expDate = StrPrintf("%d-%.2d-%.2d", y, m, d);
  if (y < ty || (y == ty && m < tm) || (y == ty && m == tm && d < td)) return ExpiryCheck::Expired;
  return ExpiryCheck::None;
}

TargetLimitCheck CheckTargetAndLimit(const std::string& t, const std::string& l, bool chosen) {
  if (chosen) {
    if (!IsTypedNumber(t)) return TargetLimitCheck::TargetDigits;
    if (!IsTypedNumber(l)) return TargetLimitCheck::LimitDigits;
    if (!SettingValueInRange(t) || !SettingValueInRange(l)) return TargetLimitCheck::ChosenRange;
    return TargetLimitCheck::None;
  }
  if (!t.empty() && !IsTypedNumber(t)) return TargetLimitCheck::TargetDigits;
  if (!t.empty() && !SettingValueInRange(t)) return TargetLimitCheck::TargetRange;
  if (!l.empty() && !IsTypedNumber(l)) return TargetLimitCheck::LimitDigits;
  if (!l.empty() && !SettingValueInRange(l)) return TargetLimitCheck::LimitRange;
  return TargetLimitCheck::None;
}

std::string FinishTextRecord(const std::string& fields) {
  uint16_t sum = 0;
  for (unsigned char c : fields) sum = static_cast<uint16_t>(sum + c);
  return fields + std::to_string(sum) + ",TRANSFER FINISH";
}

}  // namespace qc

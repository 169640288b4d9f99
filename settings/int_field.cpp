#include "settings/int_field.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/utilies.h"

namespace settings {

IntFieldCheck CheckIntegerField(const std::string& text, int low, int high, int* value) {
  if (!CUtilies::IsNumericText(text) || text.find('.') != std::string::npos) return IntFieldCheck::kNotInteger;
  // "1,5" passes the number check; its value is what stands before the comma.
  errno = 0;
  long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE) v = v < 0 ? LLONG_MIN : LLONG_MAX;
  if (v < low || v > high) return IntFieldCheck::kOutOfRange;
  if (value != nullptr) *value = static_cast<int>(v);
  return IntFieldCheck::kOk;
}

}  // namespace settings

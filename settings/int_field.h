#pragma once
// The check of an integer typed into a settings field: a number (CUtilies::IsNumericText), then
// no decimal point, then the range. The value is the decimal integer at the start of the text.
#include <string>

namespace settings {

enum class IntFieldCheck { kOk, kNotInteger, kOutOfRange };

IntFieldCheck CheckIntegerField(const std::string& text, int low, int high, int* value);

}  // namespace settings

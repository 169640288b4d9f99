#pragma once
// Numbers as text in the C locale (a decimal point, never a comma), whatever locale the
// process runs in: for SQL text and settings files.
#include <string>

namespace sys {

// printf-style formatting of one floating-point number ("%.2f", "%g", "%8.3f" ...), always
// in the C locale. (Integers need no help: "%d" has no locale-dependent form.)
std::string FormatC(const char* format, double value);

// The value with `decimals` digits after the point, as "%.*f" gives in the C locale.
std::string FormatFixed(double value, int decimals);

// Reads a number from the start of `text` (leading blanks skipped) in the C locale, like
// atof: true when at least one digit was read. The rest of the text is ignored.
bool ParseDouble(const std::string& text, double* value);

}  // namespace sys

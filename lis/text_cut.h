#pragma once
// Cutting UTF-8 text to a number of characters (never inside a character), as the fixed-width
// fields of the LIS records keep it.
#include <cstddef>
#include <string>
#include <string_view>

namespace lis {

// The first `maxChars` characters of the text.
std::string CutChars(std::string_view text, size_t maxChars);

}  // namespace lis

#pragma once
// Cutting UTF-8 text to a number of characters (never inside a character), as the fixed-width
// fields of the LIS records keep it, and making received text fit for the store.
#include <cstddef>
#include <string>
#include <string_view>

namespace lis {

// The first `maxChars` characters of the text.
std::string CutChars(std::string_view text, size_t maxChars);

// Text received from the LIS as the store may keep it: valid UTF-8 without control characters.
// Each byte that does not begin a well-formed character (stray, overlong, surrogate, beyond
// U+10FFFF, cut short) becomes U+FFFD; control characters (below U+0020, U+007F) are dropped.
// `changed` tells whether anything was replaced or dropped.
std::string CleanReceivedText(std::string_view text, bool* changed = nullptr);

}  // namespace lis

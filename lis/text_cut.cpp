#include "lis/text_cut.h"

namespace lis {

std::string CutChars(std::string_view text, size_t maxChars) {
  size_t chars = 0, i = 0;
  while (i < text.size()) {
    if (chars == maxChars) break;
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > text.size()) len = text.size() - i;
    i += len;
    ++chars;
  }
  return std::string(text.substr(0, i));
}

std::string CleanReceivedText(std::string_view text, bool* changed) {
  std::string out;
  out.reserve(text.size());
  bool any = false;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7F) any = true;
      else out += static_cast<char>(c);
      ++i;
      continue;
    }
    // Length and the range of the second byte for each lead byte (well-formed UTF-8 only).
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c == 0xE0) len = 3, lo = 0xA0;
    else if (c >= 0xE1 && c <= 0xEC) len = 3;
    else if (c == 0xED) len = 3, hi = 0x9F;
    else if (c >= 0xEE && c <= 0xEF) len = 3;
    else if (c == 0xF0) len = 4, lo = 0x90;
    else if (c >= 0xF1 && c <= 0xF3) len = 4;
    else if (c == 0xF4) len = 4, hi = 0x8F;
    bool ok = len > 0 && i + len <= text.size();
    for (size_t k = 1; ok && k < len; ++k) {
      const unsigned char b = static_cast<unsigned char>(text[i + k]);
      ok = k == 1 ? (b >= lo && b <= hi) : (b >= 0x80 && b <= 0xBF);
    }
    if (!ok) {
      out += "\xEF\xBF\xBD";
      any = true;
      ++i;
      continue;
    }
    // C1 control characters (U+0080 to U+009F) are control characters too.
    if (c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) any = true;
    else out.append(text.substr(i, len));
    i += len;
  }
  if (changed) *changed = any;
  return out;
}

}  // namespace lis

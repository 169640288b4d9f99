#include "printing/utf8_chars.h"

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    int len = 0;
    char32_t c = 0;
    if (b < 0x80) {
      len = 1;
      c = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
      c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      c = b & 0x07;
    }
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) ok = false;
      else c = (c << 6) | (s[i + k] & 0x3F);
    }
    if (ok && len > 1) {
      // Overlong forms, surrogates and values past U+10FFFF are not characters.
      static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
      if (c < kMin[len] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) ok = false;
    }
    if (!ok) {
      out.push_back(b);
      ++i;
      continue;
    }
    out.push_back(c);
    i += static_cast<size_t>(len);
  }
  return out;
}

std::string EncodeUtf8(const std::u32string& chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

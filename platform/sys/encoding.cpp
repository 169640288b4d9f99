#include "platform/sys/encoding.h"

#include <iconv.h>

#include <strings.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace sys {
namespace {

// Length of the UTF-8 sequence starting with byte b (1 for a stray byte).
size_t Utf8Length(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

const char* AnsiCodePageName(int language) {
  switch (language) {
    case 0: return "GBK";
    case 4: return "CP1251";
    default: return "CP1252";
  }
}

Conversion ConvertEncoding(const std::string& text, const char* from, const char* to) {
  Conversion r;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    r.error = std::string("no conversion from ") + from + " to " + to + ": " + std::strerror(errno);
    return r;
  }
  const bool fromUtf8 = strcasecmp(from, "UTF-8") == 0;
  std::string out;
  out.reserve(text.size() * 2 + 16);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buf[4096];
  // A replacement '?' in the target encoding (every code page here is ASCII-compatible).
  while (true) {
    char* o = buf;
    size_t oLeft = sizeof(buf);
    size_t rc = iconv(cd, inLeft ? &in : nullptr, inLeft ? &inLeft : nullptr, &o, &oLeft);
    out.append(buf, static_cast<size_t>(o - buf));
    if (rc != static_cast<size_t>(-1)) {
      if (inLeft == 0) {
        // Flush any shift state.
        o = buf;
        oLeft = sizeof(buf);
        iconv(cd, nullptr, nullptr, &o, &oLeft);
        out.append(buf, static_cast<size_t>(o - buf));
        break;
      }
      continue;
    }
    if (errno == E2BIG) continue;
    if (errno == EILSEQ || errno == EINVAL) {
      // Not representable in the target, invalid or cut short in the source: skip one
      // character of the source and put '?' in its place.
      size_t skip = fromUtf8 ? Utf8Length(static_cast<unsigned char>(*in)) : 1;
      if (!fromUtf8 && strcasecmp(from, "GBK") == 0 && static_cast<unsigned char>(*in) >= 0x81 && inLeft >= 2 &&
          errno == EILSEQ) {
        skip = 2;  // an unknown double-byte character
      }
      if (skip > inLeft) skip = inLeft;
      in += skip;
      inLeft -= skip;
      out += '?';
      ++r.replaced;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset state after the error
      if (inLeft == 0) break;
      continue;
    }
    r.error = std::strerror(errno);
    iconv_close(cd);
    return r;
  }
  iconv_close(cd);
  r.ok = true;
  r.text = std::move(out);
  return r;
}

Conversion Utf8ToAnsi(const std::string& utf8, int language) {
  return ConvertEncoding(utf8, "UTF-8", AnsiCodePageName(language));
}

Conversion AnsiToUtf8(const std::string& ansi, int language) {
  return ConvertEncoding(ansi, AnsiCodePageName(language), "UTF-8");
}

bool IsValidUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    size_t n = Utf8Length(b);
    if (n == 1 && b >= 0x80) return false;
    if (i + n > text.size()) return false;
    uint32_t cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t k = 1; k < n; ++k) {
      unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += n;
  }
  return true;
}

}  // namespace sys

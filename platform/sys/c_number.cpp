#include "platform/sys/c_number.h"

#include <locale.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace sys {
namespace {

locale_t CLocale() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

// Runs `fn` with the calling thread switched to the C locale.
template <class Fn>
auto InCLocale(Fn fn) {
  locale_t c = CLocale();
  locale_t old = c ? uselocale(c) : static_cast<locale_t>(0);
  auto r = fn();
  if (c) uselocale(old);
  return r;
}

std::string Format(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  char buf[128];
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(buf, sizeof(buf), format, ap);
  va_end(ap);
  std::string out;
  if (n < 0) {
    va_end(ap2);
    return out;
  }
  if (static_cast<size_t>(n) < sizeof(buf)) {
    out.assign(buf, static_cast<size_t>(n));
  } else {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, ap2);
    out.resize(static_cast<size_t>(n));
  }
  va_end(ap2);
  return out;
}

}  // namespace

std::string FormatC(const char* format, double value) {
  return InCLocale([&] { return Format(format, value); });
}

std::string FormatFixed(double value, int decimals) {
  return InCLocale([&] { return Format("%.*f", decimals, value); });
}

bool ParseDouble(const std::string& text, double* value) {
  return InCLocale([&] {
    const char* s = text.c_str();
    char* end = nullptr;
    double v = std::strtod(s, &end);
    if (end == s) return false;
    // strtod accepts "inf" and "nan"; a settings value needs a digit.
    bool digit = false;
    for (const char* p = s; p < end; ++p) digit = digit || (*p >= '0' && *p <= '9');
    if (!digit) return false;
    if (value) *value = v;
    return true;
  });
}

}  // namespace sys

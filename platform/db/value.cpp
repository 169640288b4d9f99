#include "platform/db/value.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace db {
namespace {

std::string FormatReal(double d) {
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, r.ptr);
}

// Reads the leading number of a text in the C locale, after blanks. Accepts a leading '+'.
bool ParseNumber(const std::string& s, double* out) {
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')) ++p;
  if (p < end && *p == '+') ++p;
  double d = 0;
  auto r = std::from_chars(p, end, d, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // from_chars leaves d untouched on overflow; give the sign's infinity or zero.
    d = (p < end && *p == '-') ? -HUGE_VAL : HUGE_VAL;
    *out = d;
    return true;
  }
  if (r.ec != std::errc()) return false;
  *out = d;
  return true;
}

bool ParseInteger(const std::string& s, int64_t* out) {
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')) ++p;
  if (p < end && *p == '+') ++p;
  int64_t v = 0;
  auto r = std::from_chars(p, end, v, 10);
  if (r.ec != std::errc()) return false;
  // "12.7" or "1e3": a real in text form; let the caller round the real.
  if (r.ptr < end && (*r.ptr == '.' || *r.ptr == 'e' || *r.ptr == 'E')) return false;
  *out = v;
  return true;
}

int64_t RoundToInt(double d) {
  if (std::isnan(d)) return 0;
  const double r = std::nearbyint(d);  // default rounding: to nearest, halves to even
  if (r >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (r <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}

}  // namespace

std::string Value::AsText() const {
  switch (type()) {
    case Type::Null: return std::string();
    case Type::Integer: return std::to_string(integer());
    case Type::Real: return FormatReal(real());
    case Type::Text: return text();
  }
  return std::string();
}

bool Value::TryDouble(double* out) const {
  switch (type()) {
    case Type::Null: return false;
    case Type::Integer: *out = static_cast<double>(integer()); return true;
    case Type::Real: *out = real(); return true;
    case Type::Text: return ParseNumber(text(), out);
  }
  return false;
}

bool Value::TryInt(int64_t* out) const {
  switch (type()) {
    case Type::Null: return false;
    case Type::Integer: *out = integer(); return true;
    case Type::Real: *out = RoundToInt(real()); return true;
    case Type::Text: {
      if (ParseInteger(text(), out)) return true;
      double d;
      if (!ParseNumber(text(), &d)) return false;
      *out = RoundToInt(d);
      return true;
    }
  }
  return false;
}

double Value::AsDouble(double fallback) const {
  double d;
  return TryDouble(&d) ? d : fallback;
}

int64_t Value::AsInt(int64_t fallback) const {
  int64_t v;
  return TryInt(&v) ? v : fallback;
}

int Value::AsInt32(int fallback) const {
  int64_t v;
  if (!TryInt(&v)) return fallback;
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

std::string ToDebugString(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null: return "NULL";
    case Value::Type::Text: return "'" + v.text() + "'";
    default: return v.AsText();
  }
}

}  // namespace db

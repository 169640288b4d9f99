#pragma once
// One field value as the data store hands it out: Null, a whole number, a real number or a
// text. Readers treat Null as "no value"; the conversions below give what the screens need
// (a text for a cell, a number for a computation) and never throw.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace db {

class Value {
 public:
  enum class Type { Null, Integer, Real, Text };

  Value() = default;                       // Null
  Value(std::nullptr_t) {}                 // Null
  Value(int v) : v_(static_cast<int64_t>(v)) {}
  Value(unsigned v) : v_(static_cast<int64_t>(v)) {}
  Value(long v) : v_(static_cast<int64_t>(v)) {}
  Value(long long v) : v_(static_cast<int64_t>(v)) {}
  Value(unsigned long v) : v_(static_cast<int64_t>(v)) {}
  Value(unsigned long long v) : v_(static_cast<int64_t>(v)) {}
  Value(double v) : v_(v) {}
  Value(float v) : v_(static_cast<double>(v)) {}
  Value(std::string v) : v_(std::move(v)) {}
  Value(std::string_view v) : v_(std::string(v)) {}
  Value(const char* v) : v_(v ? Storage(std::string(v)) : Storage()) {}
  Value(bool v) : v_(static_cast<int64_t>(v ? 1 : 0)) {}  // Yes/No columns hold 0 and 1

  static Value Null() { return Value(); }

  Type type() const { return static_cast<Type>(v_.index()); }
  bool IsNull() const { return v_.index() == 0; }
  bool IsInteger() const { return type() == Type::Integer; }
  bool IsReal() const { return type() == Type::Real; }
  bool IsText() const { return type() == Type::Text; }

  // Text form: Null gives "", numbers in the C locale (reals in their shortest exact form,
  // so 0.1 reads "0.1" and 2.0 reads "2").
  std::string AsText() const;
  // Number forms. Null and text that does not start with a number give `fallback`. Text is
  // read in the C locale after leading blanks ("12.5abc" reads 12.5). AsInt rounds a real to
  // the nearest whole number, halves to even, as a variant conversion does; values beyond the
  // 64-bit range are clamped.
  double AsDouble(double fallback = 0.0) const;
  int64_t AsInt(int64_t fallback = 0) const;
  int AsInt32(int fallback = 0) const;
  // Like the above but tells whether a number was there.
  bool TryDouble(double* out) const;
  bool TryInt(int64_t* out) const;

  // Direct access; valid only for the matching type.
  int64_t integer() const { return std::get<int64_t>(v_); }
  double real() const { return std::get<double>(v_); }
  const std::string& text() const { return std::get<std::string>(v_); }

  // Same type and same content (Null equals Null; 1 and 1.0 differ).
  friend bool operator==(const Value& a, const Value& b) { return a.v_ == b.v_; }

 private:
  using Storage = std::variant<std::monostate, int64_t, double, std::string>;
  Storage v_;
};

// Debug form for test output: NULL, 12, 1.5, 'text'.
std::string ToDebugString(const Value& v);

}  // namespace db

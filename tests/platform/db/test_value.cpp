#include <gtest/gtest.h>

#include <cmath>

#include "platform/db/value.h"

namespace {

using db::Value;

TEST(Value, TypesAndNull) {
  const Value byDefault, fromNullptr(nullptr), fromNullText(static_cast<const char*>(nullptr));
  EXPECT_TRUE(byDefault.IsNull());
  EXPECT_TRUE(fromNullptr.IsNull());
  EXPECT_TRUE(fromNullText.IsNull());
  EXPECT_EQ(Value(true), Value(1));  // Yes/No as 0/1
  EXPECT_EQ(Value(size_t{3}).AsInt(), 3);
  EXPECT_EQ(Value(5).type(), Value::Type::Integer);
  EXPECT_EQ(Value(5.0).type(), Value::Type::Real);
  EXPECT_EQ(Value("5").type(), Value::Type::Text);
  EXPECT_EQ(Value(""), Value(std::string()));
  EXPECT_FALSE(Value("").IsNull());  // an empty text is a value, not Null
  EXPECT_NE(Value(1), Value(1.0));
}

struct TextCase {
  Value v;
  const char* text;
};

TEST(Value, TextFormIsCLocaleAndShortest) {
  const TextCase cases[] = {
      {Value(), ""},           {Value(0), "0"},         {Value(-42), "-42"},
      {Value(0.1), "0.1"},     {Value(2.0), "2"},       {Value(12.25), "12.25"},
      {Value(-0.5), "-0.5"},   {Value(1e20), "1e+20"},  {Value("abc"), "abc"},
      {Value(static_cast<long long>(9007199254740993LL)), "9007199254740993"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.v.AsText(), c.text) << db::ToDebugString(c.v);
}

struct NumberCase {
  Value v;
  bool isNumber;
  double d;
  int64_t i;
};

TEST(Value, NumberForms) {
  const NumberCase cases[] = {
      {Value(), false, -1, -1},          // Null gives the fallback
      {Value(7), true, 7, 7},
      {Value(2.5), true, 2.5, 2},        // halves to even
      {Value(3.5), true, 3.5, 4},
      {Value(-2.7), true, -2.7, -3},
      {Value("12"), true, 12, 12},
      {Value(" 12.5"), true, 12.5, 12},  // leading blanks; halves to even
      {Value("+3"), true, 3, 3},
      {Value("-4.75"), true, -4.75, -5},
      {Value("1e3"), true, 1000, 1000},
      {Value("12abc"), true, 12, 12},    // leading number
      {Value("abc"), false, -1, -1},
      {Value(""), false, -1, -1},
      {Value("1,5"), true, 1, 1},        // never a decimal comma
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(db::ToDebugString(c.v));
    double d = 0;
    int64_t i = 0;
    EXPECT_EQ(c.v.TryDouble(&d), c.isNumber);
    EXPECT_EQ(c.v.TryInt(&i), c.isNumber);
    EXPECT_DOUBLE_EQ(c.v.AsDouble(-1), c.d);
    EXPECT_EQ(c.v.AsInt(-1), c.i);
  }
}

TEST(Value, OutOfRangeNumbersClampInsteadOfOverflowing) {
  EXPECT_EQ(Value(1e300).AsInt(), INT64_MAX);
  EXPECT_EQ(Value(-1e300).AsInt(), INT64_MIN);
  EXPECT_EQ(Value(static_cast<long long>(1) << 40).AsInt32(), INT32_MAX);
  EXPECT_EQ(Value(std::nan("")).AsInt(9), 0);
  EXPECT_TRUE(std::isinf(Value("1e999").AsDouble()));
}

}  // namespace

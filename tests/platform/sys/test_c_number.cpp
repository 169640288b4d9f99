#include <gtest/gtest.h>

#include <clocale>

#include "platform/sys/c_number.h"

namespace {

// A locale with a decimal comma, when the machine has one; the text must not change.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"uk_UA.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8", "es_ES.UTF-8"})
      if (std::setlocale(LC_NUMERIC, name)) {
        active_ = name;
        break;
      }
  }
  void TearDown() override { std::setlocale(LC_NUMERIC, "C"); }
  const char* active_ = nullptr;
};

TEST_F(DecimalCommaLocale, FormatsAndParsesWithAPoint) {
  EXPECT_EQ(sys::FormatFixed(1.2, 2), "1.20");
  EXPECT_EQ(sys::FormatFixed(-3.14159, 3), "-3.142");
  EXPECT_EQ(sys::FormatC("%.2f", 2300.0), "2300.00");
  EXPECT_EQ(sys::FormatC("%8.3f", -0.5), "  -0.500");
  EXPECT_EQ(sys::FormatC("%g", 1.0), "1");
  double v = 0;
  ASSERT_TRUE(sys::ParseDouble(" 1.20", &v));
  EXPECT_DOUBLE_EQ(v, 1.2);
  ASSERT_TRUE(sys::ParseDouble("0.8abc", &v));
  EXPECT_DOUBLE_EQ(v, 0.8);
  EXPECT_FALSE(sys::ParseDouble("abc", &v));
  EXPECT_FALSE(sys::ParseDouble("", &v));
  EXPECT_FALSE(sys::ParseDouble("nan", &v));
  if (!active_) GTEST_SKIP() << "no locale with a decimal comma installed; checked in the C locale only";
}

}  // namespace

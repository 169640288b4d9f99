#include <gtest/gtest.h>

#include "platform/sys/encoding.h"

namespace {

struct RoundTrip {
  const char* name;
  int language;
  const char* utf8;
  const char* ansi;  // the expected bytes in the language's code page
};

class EncodingRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(EncodingRoundTrip, ToCodePageAndBack) {
  const RoundTrip& c = GetParam();
  sys::Conversion to = sys::Utf8ToAnsi(c.utf8, c.language);
  ASSERT_TRUE(to.ok) << to.error;
  EXPECT_EQ(to.replaced, 0);
  EXPECT_EQ(to.text, c.ansi);
  sys::Conversion back = sys::AnsiToUtf8(to.text, c.language);
  ASSERT_TRUE(back.Lossless()) << back.error;
  EXPECT_EQ(back.text, c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, EncodingRoundTrip,
    ::testing::Values(
        // 血 = GBK D1 AA, 细 = CF B8, 胞 = B0 FB
        RoundTrip{"chinese", 0, "血细胞 WBC", "\xD1\xAA\xCF\xB8\xB0\xFB WBC"},
        // Ї = CP1251 AF, ї = BF, є = BA, і = B3
        RoundTrip{"ukrainian", 4, "Київ: є і ї", "\xCA\xE8\xBF\xE2: \xBA \xB3 \xBF"},
        RoundTrip{"french", 3, "Hématologie à l'été", "H\xE9matologie \xE0 l'\xE9t\xE9"},
        RoundTrip{"spanish", 2, "Año señal", "A\xF1o se\xF1\x61l"},
        RoundTrip{"english_ascii", 1, "Test time out", "Test time out"},
        RoundTrip{"empty", 0, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encoding, CodePagePerLanguage) {
  const char* expected[] = {"GBK", "CP1252", "CP1252", "CP1252", "CP1251"};
  for (int lang = 0; lang < 5; ++lang) EXPECT_STREQ(sys::AnsiCodePageName(lang), expected[lang]) << lang;
  EXPECT_STREQ(sys::AnsiCodePageName(99), "CP1252");
}

TEST(Encoding, UnrepresentableCharactersAreCountedNotLost) {
  struct Case {
    int language;
    const char* utf8;
    const char* expected;
    int replaced;
  } cases[] = {
      {4, "血 OK", "? OK", 1},          // Chinese into the Cyrillic page
      {1, "Київ", "????", 4},           // Cyrillic into the Western page
      {0, "€5 ✓", "\x80\x35 ?", 1},     // GBK has the euro sign (0x80) but no check mark
      {1, "a\xFF" "b", "a?b", 1},       // not UTF-8 at all
      {1, "cut \xE8\xA1", "cut ?", 1},  // a sequence cut short at the end
  };
  for (const auto& c : cases) {
    sys::Conversion r = sys::Utf8ToAnsi(c.utf8, c.language);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.text, c.expected) << c.utf8;
    EXPECT_EQ(r.replaced, c.replaced) << c.utf8;
    EXPECT_FALSE(r.Lossless());
  }
}

TEST(Encoding, BadBytesInACodePageBecomeQuestionMarks) {
  // 0x98 is unassigned in CP1251; a lone GBK lead byte at the end is cut short.
  sys::Conversion cyr = sys::AnsiToUtf8("a\x98z", 4);
  ASSERT_TRUE(cyr.ok);
  EXPECT_EQ(cyr.text, "a?z");
  EXPECT_EQ(cyr.replaced, 1);
  sys::Conversion gbk = sys::AnsiToUtf8("ok\xD1", 0);
  ASSERT_TRUE(gbk.ok);
  EXPECT_EQ(gbk.text, "ok?");
}

TEST(Encoding, UnknownEncodingIsAnErrorValue) {
  sys::Conversion r = sys::ConvertEncoding("x", "UTF-8", "NO-SUCH-CODEPAGE");
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
}

TEST(Encoding, Utf8Validity) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {{"plain", true},       {"Київ 血", true},     {"\xC0\xAF", false},  // overlong '/'
               {"\xED\xA0\x80", false},  // surrogate
               {"\xE8\xA1", false},  // cut short
               {"\xFF", false},      {"", true}};
  for (const auto& c : cases) EXPECT_EQ(sys::IsValidUtf8(c.text), c.valid) << c.text;
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/sys/profile.h"
#include "temp_dir.h"

namespace {

const char* kSample =
    "; settings written by the factory\r\n"
    "[Setting]\r\n"
    "SOFTWAREVERSION=1\r\n"
    "LZLON = -1 \r\n"
    "LZLVAL=12abc\r\n"
    "\r\n"
    "[LIS]\r\n"
    "CLIENT=192.168.0.10\r\n"
    "SERVER=\"10.0.0.1\"\r\n"
    "EMPTY=\r\n"
    "just some text without a separator\r\n"
    "PORT=5100\r\n"
    "[ReagentCalcCoef]\r\n"
    "DIL=1.05\r\n";

struct ReadCase {
  const char* name;
  bool withFile;
  const char* section;
  const char* key;
  const char* def;
  uint32_t size;
  const char* expected;
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GivesValueOrDefaultWithinTheBuffer) {
  const ReadCase& c = GetParam();
  testutil::TempDir dir;
  if (c.withFile) dir.Write("Setting.ini", kSample);
  std::vector<char> buf(c.size + 1, 'X');
  uint32_t n = sys::ProfileGetString(c.section, c.key, c.def, buf.data(), c.size, dir / "setting.ini");
  EXPECT_STREQ(buf.data(), c.expected);
  EXPECT_EQ(n, std::string(c.expected).size());
  EXPECT_EQ(buf[c.size], 'X') << "wrote past the buffer";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(
        ReadCase{"plain", true, "Setting", "SOFTWAREVERSION", "0", 100, "1"},
        ReadCase{"section_and_key_ignore_case", true, "setting", "softwareVersion", "0", 100, "1"},
        ReadCase{"blanks_around_value_dropped", true, "Setting", "LZLON", "1", 100, "-1"},
        ReadCase{"quotes_removed", true, "LIS", "SERVER", "0.0.0.0", 100, "10.0.0.1"},
        ReadCase{"empty_value_is_empty_not_default", true, "LIS", "EMPTY", "zz", 100, ""},
        ReadCase{"missing_key", true, "LIS", "MASK", "0.0.0.0", 100, "0.0.0.0"},
        ReadCase{"missing_section", true, "COMMUNITY", "Type", "0", 100, "0"},
        ReadCase{"missing_file", false, "LIS", "CLIENT", "0.0.0.0", 100, "0.0.0.0"},
        ReadCase{"null_default", true, "LIS", "MASK", nullptr, 100, ""},
        ReadCase{"default_loses_trailing_blanks", true, "LIS", "MASK", "1.0  ", 100, "1.0"},
        ReadCase{"key_after_odd_line_still_found", true, "LIS", "PORT", "0", 100, "5100"},
        ReadCase{"odd_line_is_no_key", true, "LIS", "just some text without a separator", "d", 100, "d"},
        ReadCase{"comment_is_no_key", true, "Setting", "; settings written by the factory", "d", 100, "d"},
        ReadCase{"truncated_to_size_minus_one", true, "LIS", "CLIENT", "", 8, "192.168"},
        ReadCase{"default_truncated_too", true, "LIS", "MASK", "255.255.255.0", 4, "255"},
        ReadCase{"size_one_gives_empty", true, "LIS", "CLIENT", "", 1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileReadEdges, ZeroSizeBufferIsLeftAlone) {
  testutil::TempDir dir;
  dir.Write("Setting.ini", kSample);
  char c = 'X';
  EXPECT_EQ(sys::ProfileGetString("LIS", "CLIENT", "", &c, 0, dir / "Setting.ini"), 0u);
  EXPECT_EQ(c, 'X');
}

TEST(ProfileReadEdges, TruncationNeverSplitsAUtf8Character) {
  testutil::TempDir dir;
  dir.Write("Setting.ini", "[S]\nNAME=Київ\n");  // К и ї в: two bytes each
  char buf[6];
  EXPECT_EQ(sys::ProfileGetString("S", "NAME", "", buf, sizeof(buf), dir / "Setting.ini"), 4u);
  EXPECT_STREQ(buf, "Ки");
  EXPECT_EQ(sys::ProfileReadString(dir / "Setting.ini", "S", "NAME", "", 0), "Київ");
}

TEST(ProfileReadEdges, ListsSectionsAndKeysInFileOrder) {
  testutil::TempDir dir;
  dir.Write("Setting.ini", kSample);
  EXPECT_EQ(sys::ProfileSectionNames(dir / "Setting.ini"),
            (std::vector<std::string>{"Setting", "LIS", "ReagentCalcCoef"}));
  EXPECT_EQ(sys::ProfileKeyNames(dir / "Setting.ini", "lis"),
            (std::vector<std::string>{"CLIENT", "SERVER", "EMPTY", "PORT"}));
  char buf[64];
  uint32_t n = sys::ProfileGetString(nullptr, nullptr, "", buf, sizeof(buf), dir / "Setting.ini");
  EXPECT_EQ(std::string(buf, n), std::string("Setting\0LIS\0ReagentCalcCoef\0", 28));
  EXPECT_EQ(buf[n], '\0');
}

// A list that does not fit ends with its extra NUL after the last name that fits whole; nothing
// is written past the buffer, also when a name leaves exactly one byte free.
TEST(ProfileReadEdges, ListsThatDoNotFitDropWholeNamesAndStayInTheBuffer) {
  testutil::TempDir dir;
  dir.Write("Setting.ini", "[AB]\nK=1\n[C]\nK=2\n[DEF]\nK=3\n");
  struct Case {
    uint32_t size;
    std::string expected;  // the bytes before the final NUL
  } cases[] = {
      {1, ""},
      {2, ""},
      {3, ""},                              // "AB" needs 4 bytes with both NULs
      {4, std::string("AB\0", 3)},          // one byte left after it: "C" dropped
      {5, std::string("AB\0", 3)},
      {6, std::string("AB\0C\0", 5)},
      {9, std::string("AB\0C\0", 5)},
      {10, std::string("AB\0C\0DEF\0", 9)},
  };
  for (const Case& c : cases) {
    char buf[32];
    std::memset(buf, 0xEE, sizeof buf);
    const uint32_t n = sys::ProfileGetString(nullptr, nullptr, "", buf, c.size, dir / "Setting.ini");
    EXPECT_EQ(std::string(buf, n), c.expected) << c.size;
    EXPECT_EQ(buf[n], '\0') << c.size;
    if (c.size >= 2) {
      EXPECT_LT(n, c.size) << c.size;
      if (n == 0) EXPECT_EQ(buf[1], '\0') << c.size;
    }
    for (uint32_t i = c.size; i < sizeof buf; ++i) ASSERT_EQ(static_cast<unsigned char>(buf[i]), 0xEE) << c.size << " " << i;
  }
}

struct IntCase {
  const char* name;
  const char* section;
  const char* key;
  int def;
  int expected;
};

class ProfileInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileInt, ReadsLeadingDigitsOrDefault) {
  const IntCase& c = GetParam();
  testutil::TempDir dir;
  dir.Write("Setting.ini", kSample + std::string("[Num]\nTEXT=abc\nPLUS=+7\nHUGE=99999999999\n"));
  EXPECT_EQ(sys::ProfileGetInt(c.section, c.key, c.def, dir / "SETTING.INI"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileInt,
    ::testing::Values(IntCase{"plain", "LIS", "PORT", 0, 5100}, IntCase{"negative", "Setting", "LZLON", 1, -1},
                      IntCase{"leading_digits_only", "Setting", "LZLVAL", 5, 12},
                      IntCase{"missing_key_default", "COMMUNITY", "Type", 1, 1},
                      IntCase{"empty_value_default", "LIS", "EMPTY", 7, 7},
                      IntCase{"no_digits_zero", "Num", "TEXT", 7, 0}, IntCase{"plus_sign", "Num", "PLUS", 0, 7},
                      IntCase{"overflow_wraps_without_crash", "Num", "HUGE", 0, static_cast<int>(99999999999ll & 0xFFFFFFFF)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileWrite, CreatesFileAndSectionThenReplacesInPlace) {
  testutil::TempDir dir;
  const std::string file = dir / "setting.ini";
  ASSERT_TRUE(sys::ProfileWriteString("ReagentCalcCoef", "DIL", "1.00", file));
  ASSERT_TRUE(sys::ProfileWriteString("ReagentCalcCoef", "LYS", "0.95", file));
  ASSERT_TRUE(sys::ProfileWriteString("AdjustParas", "ZYDW1", "33", file));
  ASSERT_TRUE(sys::ProfileWriteString("reagentcalccoef", "dil", "1.20", file));
  EXPECT_EQ(dir.Read("setting.ini"), "[ReagentCalcCoef]\nDIL=1.20\nLYS=0.95\n[AdjustParas]\nZYDW1=33\n");
  EXPECT_EQ(sys::ProfileReadString(file, "REAGENTCALCCOEF", "Dil", "1.0", 100), "1.20");
}

TEST(ProfileWrite, KeepsEverythingElseAndTheLineEnds) {
  testutil::TempDir dir;
  dir.Write("Setting.ini", kSample);
  // Writes through the other spelling of the name reach the existing file.
  ASSERT_TRUE(sys::ProfileWriteString("lis", "port", "6000", dir / "setting.ini"));
  ASSERT_TRUE(sys::ProfileWriteString("LIS", "MASK", "255.255.255.0", dir / "setting.ini"));
  std::string expected = kSample;
  expected.replace(expected.find("PORT=5100"), 9, "PORT=6000\r\nMASK=255.255.255.0");
  EXPECT_EQ(dir.Read("Setting.ini"), expected);
  EXPECT_FALSE(dir.Exists("setting.ini")) << "a second file in another spelling";
}

TEST(ProfileWrite, NullValueDeletesKeyAndNullKeyDeletesSection) {
  testutil::TempDir dir;
  dir.Write("Setting.ini", "[A]\nx=1\ny=2\n[B]\nz=3\n[a]\nw=4\n");
  const std::string file = dir / "Setting.ini";
  ASSERT_TRUE(sys::ProfileWriteString("a", "X", nullptr, file));
  EXPECT_EQ(dir.Read("Setting.ini"), "[A]\ny=2\n[B]\nz=3\n[a]\nw=4\n");
  ASSERT_TRUE(sys::ProfileWriteString("A", "missing", nullptr, file));  // nothing to delete
  ASSERT_TRUE(sys::ProfileWriteString("A", nullptr, nullptr, file));
  EXPECT_EQ(dir.Read("Setting.ini"), "[B]\nz=3\n");
  EXPECT_EQ(sys::ProfileReadString(file, "A", "y", "gone"), "gone");
}

TEST(ProfileWrite, RefusesTextThatWouldBreakTheFile) {
  testutil::TempDir dir;
  dir.Write("Setting.ini", "[A]\nx=1\n");
  std::string error;
  EXPECT_FALSE(sys::ProfileWriteString("A", "x", "1\n[B]", dir / "Setting.ini", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(sys::ProfileWriteString("A", "k=v", "1", dir / "Setting.ini"));
  EXPECT_FALSE(sys::ProfileWriteString(nullptr, "x", "1", dir / "Setting.ini"));
  EXPECT_EQ(dir.Read("Setting.ini"), "[A]\nx=1\n");
}

TEST(ProfileWrite, ReportsAFolderThatDoesNotExist) {
  testutil::TempDir dir;
  std::string error;
  EXPECT_FALSE(sys::ProfileWriteString("A", "x", "1", dir / "no/such/folder/Setting.ini", &error));
  EXPECT_NE(error.find("no/such/folder"), std::string::npos) << error;
}

TEST(ProfileWrite, LeavesNoTemporaryFilesBehind) {
  testutil::TempDir dir;
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(sys::ProfileWriteString("A", "x", std::to_string(i).c_str(), dir / "Setting.ini"));
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    ++files;
    EXPECT_EQ(e.path().filename(), "Setting.ini");
  }
  EXPECT_EQ(files, 1);
}

TEST(ProfileWrite, AnUnreadableFileIsNotOverwritten) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  testutil::TempDir dir;
  dir.Write("Setting.ini", "[A]\nx=1\n");
  chmod((dir / "Setting.ini").c_str(), 0);
  EXPECT_FALSE(sys::ProfileWriteString("A", "y", "2", dir / "Setting.ini"));
  chmod((dir / "Setting.ini").c_str(), 0644);
  EXPECT_EQ(dir.Read("Setting.ini"), "[A]\nx=1\n");
}

}  // namespace

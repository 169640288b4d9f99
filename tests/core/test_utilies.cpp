#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/utilies.h"

namespace fs = std::filesystem;

namespace {

TEST(SplitStringTest, Table) {
  struct Case { const char* text; char sep; std::vector<std::string> pieces; };
  const Case cases[] = {
      {"a,b", ',', {"a", "b"}},
      {"", ',', {""}},
      {"a,", ',', {"a", ""}},
      {"a,,b", ',', {"a", "", "b"}},
      {",", ',', {"", ""}},
      {"2026-03-07", '-', {"2026", "03", "07"}},
      {"abc", ',', {"abc"}},
      {"aa,a,aa", ',', {"aa", "a", "aa"}},   // pieces that are prefixes of each other
  };
  for (const auto& c : cases) {
    std::vector<std::string> out = {"left over"};
    CUtilies::SplitString(c.text, out, c.sep);
    EXPECT_EQ(out, c.pieces) << '"' << c.text << '"';
  }
}

TEST(IsNumericTextTest, Table) {
  struct Case { std::string text; bool numeric; };
  const Case cases[] = {
      {"-0.5", true},  {"1.", true},     {"12", true},   {"1,2,3", true}, {",", true},
      {".5", true},    {"-,", true},     {"", false},    {"-", false},    {".", false},
      {"-.", false},   {"1.2.3", false}, {"12a", false}, {" 12", false},  {"--1", false},
      {"+1", false},   {"1e5", false},
      {std::string(259, '1'), true},
      {"-" + std::string(259, '1'), true},
      {std::string(260, '1'), false},
  };
  for (const auto& c : cases) EXPECT_EQ(CUtilies::IsNumericText(c.text), c.numeric) << '"' << c.text << '"';
}

class FindFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("quorvex_find_" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "md_old" / "deeper");
    fs::create_directories(root_ / "System   Volume   Information");
    Touch(root_ / "db1.mdb");
    Touch(root_ / "md_old" / "db2.mdb");
    Touch(root_ / "md_old" / "deeper" / "notes.txt");
    Touch(root_ / "System   Volume   Information" / "x.mdb");
  }
  void TearDown() override { fs::remove_all(root_); }
  static void Touch(const fs::path& p) { std::ofstream(p) << "x"; }
  fs::path root_;
};

TEST_F(FindFilesTest, MatchesFilesAndFoldersByPlainSubstring) {
  std::vector<std::string> out;
  CUtilies::FindFilesRecursive(root_.string(), ".md", out);
  std::sort(out.begin(), out.end());
  EXPECT_EQ(out, (std::vector<std::string>{(root_ / "db1.mdb").string(),
                                           (root_ / "md_old" / "db2.mdb").string()}));

  out.clear();
  CUtilies::FindFilesRecursive(root_.string() + "/", "md", out);
  // The folder comes before anything found inside it.
  auto folder = std::find(out.begin(), out.end(), (root_ / "md_old").string());
  auto inside = std::find(out.begin(), out.end(), (root_ / "md_old" / "db2.mdb").string());
  ASSERT_NE(folder, out.end());
  ASSERT_NE(inside, out.end());
  EXPECT_LT(folder, inside);
  EXPECT_EQ(out.size(), 3u);
}

TEST_F(FindFilesTest, LeavesTheCurrentDirectoryAlone) {
  const fs::path before = fs::current_path();
  std::vector<std::string> out;
  CUtilies::FindFilesRecursive(root_.string(), "txt", out);
  EXPECT_EQ(fs::current_path(), before);
  EXPECT_EQ(out, std::vector<std::string>{(root_ / "md_old" / "deeper" / "notes.txt").string()});
}

TEST_F(FindFilesTest, MissingFolderAddsNothing) {
  std::vector<std::string> out = {"kept"};
  CUtilies::FindFilesRecursive((root_ / "nope").string(), "", out);
  EXPECT_EQ(out, std::vector<std::string>{"kept"});
}

}  // namespace

namespace {

TEST(SplitStringTest, BothArgumentOrdersAgree) {
  std::vector<std::string> a, b;
  CUtilies::SplitString("2026-03-07", a, '-');
  CUtilies::SplitString("2026-03-07", '-', b);
  EXPECT_EQ(a, b);
}

}  // namespace

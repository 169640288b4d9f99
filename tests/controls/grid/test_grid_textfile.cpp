// Saving the grid's texts to a delimited file and rebuilding a grid from one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "grid_test_support.h"

namespace {

class GridTextFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("grid_textfile_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string PathOf(const char* name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::filesystem::path dir_;
};

TEST_F(GridTextFile, SaveWritesRowsAsSeparatedLines) {
  TestGrid g(3, 3, 1, 1);
  g.FillCoordinates();
  g.SetItemText(2, 2, "");
  ASSERT_TRUE(g.SaveToTextFile(PathOf("g.txt"), ';'));
  EXPECT_EQ(Read(PathOf("g.txt")), "0,0;0,1;0,2\r\n1,0;1,1;1,2\r\n2,0;2,1;\r\n");
}

TEST_F(GridTextFile, RoundTripRebuildsTheTexts) {
  TestGrid g(4, 3, 1, 0);
  const char* texts[4][3] = {{"No.", "WBC", "Ім'я"},
                             {"1", "7.5", "Петро"},
                             {"2", "", "王芳"},
                             {"3", "10.2", "Anne-Marie"}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) g.SetItemText(r, c, texts[r][c]);
  ASSERT_TRUE(g.SaveToTextFile(PathOf("g.txt"), '\t'));
  TestGrid h(7, 7, 2, 2);
  h.LoadFromTextFile(PathOf("g.txt"), '\t');
  ASSERT_EQ(h.GetRowCount(), 4);
  ASSERT_EQ(h.GetColumnCount(), 3);
  EXPECT_EQ(h.GetFixedRowCount(), 0);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(h.GetItemText(r, c), texts[r][c]) << r << "," << c;
  EXPECT_EQ(h.GetCellFormat(0, 1), unsigned(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  EXPECT_TRUE(h.errors.empty());
  EXPECT_EQ(h.Invariants(), "");
}

TEST_F(GridTextFile, LoadCases) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::vector<std::string>> expect;
  } cases[] = {
      {"empty file", "", {}},
      {"headings only", "a,b\n", {{"a", "b"}}},
      {"extra fields left out", "a,b\r\n1,2,3,4\r\n", {{"a", "b"}, {"1", "2"}}},
      {"short line", "a,b,c\n1\n", {{"a", "b", "c"}, {"1", "", ""}}},
      {"no final line end", "h\nx", {{"h"}, {"x"}}},
      {"empty fields", "a,,c\n,,\n", {{"a", "", "c"}, {"", "", ""}}},
      {"long line stays one row", "h,k\n" + std::string(3000, 'x') + ",y\n", {{"h", "k"}, {std::string(3000, 'x'), "y"}}},
  };
  for (const Case& c : cases) {
    Write(PathOf("in.txt"), c.bytes);
    TestGrid g(2, 2);
    g.LoadFromTextFile(PathOf("in.txt"), ',');
    ASSERT_EQ(g.GetRowCount(), static_cast<int>(c.expect.size())) << c.name;
    for (int r = 0; r < g.GetRowCount(); ++r) {
      ASSERT_EQ(g.GetColumnCount(), static_cast<int>(c.expect[r].size())) << c.name;
      for (int k = 0; k < g.GetColumnCount(); ++k) EXPECT_EQ(g.GetItemText(r, k), c.expect[r][k]) << c.name;
    }
    EXPECT_EQ(g.Invariants(), "") << c.name;
  }
}

TEST_F(GridTextFile, FileErrorsAreReported) {
  TestGrid g(2, 2);
  g.SetItemText(0, 0, "kept");
  EXPECT_FALSE(g.SaveToTextFile(PathOf("missing/dir/g.txt"), ','));
  g.LoadFromTextFile(PathOf("absent.txt"), ',');
  EXPECT_EQ(g.errors, (std::vector<std::string>{"Unable to save grid list", "Unable to load grid data"}));
  EXPECT_EQ(g.GetItemText(0, 0), "kept");
}

TEST_F(GridTextFile, LoadFitsColumnsWhenItCanMeasure) {
  FakeMeasurer m;
  Write(PathOf("in.txt"), "a,bb\nlonger text,x\n");
  TestGrid g;
  g.SetTextMeasurer(&m);
  g.LoadFromTextFile(PathOf("in.txt"), ',');
  // 11 characters of 8 pixels plus 4 margins of 4 pixels.
  EXPECT_EQ(g.ColumnWidthAt(0), 11 * 8 + 16);
}

}  // namespace

// Sorting body rows by a column.
#include <gtest/gtest.h>

#include <vector>

#include "grid_test_support.h"

namespace {

// A grid with one fixed row and the given texts in column 0 (body rows), and each row's
// original position in column 1 so the rows can be followed.
void Fill(TestGrid& g, const std::vector<std::string>& keys) {
  g.SetColumnCount(2);
  g.SetRowCount(static_cast<int>(keys.size()) + 1);
  g.SetFixedRowCount(1);
  g.SetItemText(0, 0, "key");
  for (size_t i = 0; i < keys.size(); ++i) {
    g.SetItemText(static_cast<int>(i) + 1, 0, keys[i]);
    g.SetItemText(static_cast<int>(i) + 1, 1, std::to_string(i));
    g.SetRowHeight(static_cast<int>(i) + 1, 10 + static_cast<int>(i));
  }
}

std::vector<std::string> Column(const TestGrid& g, int col) {
  std::vector<std::string> out;
  for (int r = g.GetFixedRowCount(); r < g.GetRowCount(); ++r) out.push_back(g.GetItemText(r, col));
  return out;
}

struct SortCase {
  const char* name;
  std::vector<std::string> keys;
  bool numeric;
  bool ascending;
  std::vector<std::string> expect;
};

const SortCase kSorts[] = {
    {"TextIsOrdinal", {"b", "a", "B", "10", "9", "A"}, false, true, {"10", "9", "A", "B", "a", "b"}},
    {"TextDescending", {"b", "a", "c", "a"}, false, false, {"c", "b", "a", "a"}},
    {"ShorterPrefixFirst", {"abc", "ab", "a", "abcd"}, false, true, {"a", "ab", "abc", "abcd"}},
    {"Utf8ByCodePoint", {"Я", "中", "Z", "é"}, false, true, {"Z", "é", "Я", "中"}},
    {"NumericByLeadingInteger", {"10", "9", "100 fL", "x", "-3"}, true, true, {"-3", "x", "9", "10", "100 fL"}},
    {"NumericDescending", {"2", "11", "1"}, true, false, {"11", "2", "1"}},
    {"AlreadySorted", {"a", "b", "c", "d", "e"}, false, true, {"a", "b", "c", "d", "e"}},
    {"ManyEqualKeys", {"b", "a", "b", "a", "b", "a", "b"}, false, true, {"a", "a", "a", "b", "b", "b", "b"}},
};

class SortTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortTest, Orders) {
  const SortCase& c = GetParam();
  TestGrid g;
  Fill(g, c.keys);
  const bool sorted = c.numeric ? g.SortRowsWith(&CGridCtrl::CompareNumeric, 0, c.ascending)
                                : g.SortRowsByText(0, c.ascending);
  EXPECT_TRUE(sorted);
  EXPECT_EQ(Column(g, 0), c.expect);
  EXPECT_EQ(g.GetItemText(0, 0), "key");  // the fixed row stays
  // Whole rows moved: every row still carries its own position text and height.
  for (int r = 1; r < g.GetRowCount(); ++r) {
    const int from = std::stoi(g.GetItemText(r, 1));
    EXPECT_EQ(g.GetItemText(r, 0), c.keys[from]);
    EXPECT_EQ(g.RowHeightAt(r), 10 + from);
  }
  EXPECT_EQ(g.Invariants(), "");
}

INSTANTIATE_TEST_SUITE_P(Grid, SortTest, ::testing::ValuesIn(kSorts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridSort, NothingToSort) {
  TestGrid one;
  Fill(one, {"z"});
  EXPECT_FALSE(one.SortRowsByText(0, true));
  TestGrid none;
  Fill(none, {});
  EXPECT_FALSE(none.SortRowsByText(0, true));
  TestGrid g;
  Fill(g, {"b", "a"});
  EXPECT_FALSE(g.SortRowsByText(2, true));
  EXPECT_EQ(Column(g, 0), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(g.GetSortColumn(), -1);
}

TEST(GridSort, RecordsTheSortAndClearsSelection) {
  TestGrid g;
  Fill(g, {"b", "c", "a"});
  g.MoveFocus(2, 1);
  g.SetSelectedRange(1, 0, 2, 1);
  ASSERT_TRUE(g.SortRowsByText(0, false));
  EXPECT_EQ(g.GetSortColumn(), 0);
  EXPECT_FALSE(g.GetSortAscending());
  EXPECT_EQ(g.GetFocusCell(), CCellID());
  EXPECT_EQ(g.GetSelectedCount(), 0u);
  EXPECT_EQ(g.Invariants(), "");
  g.SetItemText(1, 0, "changed");
  EXPECT_EQ(g.GetSortColumn(), -1);
}

int ByLength(const CGridCellBase* a, const CGridCellBase* b, intptr_t param) {
  EXPECT_EQ(param, 77);
  return static_cast<int>(a->GetText().size()) - static_cast<int>(b->GetText().size());
}

TEST(GridSort, ColumnSortUsesTheCallersFunction) {
  TestGrid g;
  Fill(g, {"ccc", "a", "bb"});
  ASSERT_TRUE(g.SortRowsByColumn(0, true, 77));
  EXPECT_EQ(Column(g, 0), (std::vector<std::string>{"a", "bb", "ccc"}));  // text order, no function set
  TestGrid h;
  Fill(h, {"a", "ccc", "bb", "dddd"});
  h.SetCompareFunction(&ByLength);
  ASSERT_TRUE(h.SortRowsByColumn(0, false, 77));
  EXPECT_EQ(Column(h, 0), (std::vector<std::string>{"dddd", "ccc", "bb", "a"}));
}

}  // namespace

// Copying the selection as text and pasting text into cells.
#include <gtest/gtest.h>

#include "grid_test_support.h"

namespace {

TEST(GridClipboard, CopyWritesTheSelectionAsTabbedLines) {
  TestGrid g(5, 4, 1, 1);
  g.FillCoordinates();
  g.SetSelectedRange(1, 1, 2, 3);
  auto text = g.BuildClipboardText();
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, "1,1\t1,2\t1,3\n2,1\t2,2\t2,3");
}

TEST(GridClipboard, UnselectedCellsInTheSpanGiveEmptyFields) {
  TestGrid g(5, 4, 1, 1);
  g.FillCoordinates();
  g.SetSelectedRange(1, 1, 1, 1);
  g.KeepPreviousSelection();  // a Ctrl gesture adds a second block
  g.SetSelectedRange(2, 3, 2, 3);
  EXPECT_EQ(g.GetSelectedCellRange(), CCellSpan(1, 1, 2, 3));
  EXPECT_EQ(*g.BuildClipboardText(), "1,1\t\t\n\t\t2,3");
}

TEST(GridClipboard, HiddenRowsAndColumnsContributeNothing) {
  TestGrid g(5, 4, 1, 1);
  g.FillCoordinates();
  g.SetRowHeight(2, 0);
  g.SetColumnWidth(2, 0);
  g.SelectEverything();
  EXPECT_EQ(*g.BuildClipboardText(), "1,1\t1,3\n3,1\t3,3\n4,1\t4,3");
}

TEST(GridClipboard, NoSelectionNoText) {
  TestGrid g(3, 3, 1, 1);
  EXPECT_FALSE(g.BuildClipboardText());
  g.CopySelection();
  EXPECT_FALSE(g.clipboardFull);
}

TEST(GridClipboard, ChineseAndUkrainianSurviveCopyAndPaste) {
  TestGrid g(4, 3, 1, 1);
  g.SetItemText(1, 1, "白细胞");
  g.SetItemText(1, 2, "Лейкоцити");
  g.SetItemText(2, 1, "Гемоглобін їжак");
  g.SetItemText(2, 2, "血红蛋白");
  g.SetSelectedRange(1, 1, 2, 2);
  g.CopySelection();
  ASSERT_TRUE(g.clipboardFull);
  EXPECT_EQ(g.clipboard, "白细胞\tЛейкоцити\nГемоглобін їжак\t血红蛋白");
  TestGrid h(4, 3, 1, 1);
  h.clipboard = g.clipboard;
  h.clipboardFull = true;
  h.MoveFocus(1, 1);
  h.PasteFromClipboard();
  EXPECT_EQ(h.GetItemText(1, 1), "白细胞");
  EXPECT_EQ(h.GetItemText(1, 2), "Лейкоцити");
  EXPECT_EQ(h.GetItemText(2, 1), "Гемоглобін їжак");
  EXPECT_EQ(h.GetItemText(2, 2), "血红蛋白");
}

struct PasteCase {
  const char* name;
  std::string text;
  int row, col;
  std::vector<std::vector<std::string>> expect;  // body rows 1..4, columns 1..3
};

const PasteCase kPastes[] = {
    {"CommaAndTab", "1,2\n3\t4", 1, 1, {{"1", "2", ""}, {"3", "4", ""}, {"", "", ""}, {"", "", ""}}},
    {"CrLfLinesAndBlanksTrimmed", " a \t b\r\nc\r\n", 2, 2, {{"", "", ""}, {"", "a", "b"}, {"", "c", ""}, {"", "", ""}}},
    {"ExtraFieldsDropped", "a\tb\tc\td", 1, 2, {{"", "a", "b"}, {"", "", ""}, {"", "", ""}, {"", "", ""}}},
    {"ExtraLinesDropped", "1\n2\n3\n4\n5", 3, 1, {{"", "", ""}, {"", "", ""}, {"1", "", ""}, {"2", "", ""}}},
    {"EmptyFieldBetweenSeparators", "x,,z", 1, 1, {{"x", "", "z"}, {"", "", ""}, {"", "", ""}, {"", "", ""}}},
    {"EmptyLineKeepsItsRow", "p\n\nq", 1, 1, {{"p", "", ""}, {"", "", ""}, {"q", "", ""}, {"", "", ""}}},
};

class PasteTest : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PasteTest, LandsInPlace) {
  const PasteCase& c = GetParam();
  TestGrid g(5, 4, 1, 1);
  ASSERT_TRUE(g.PasteTextAt(c.row, c.col, c.text, true));
  for (int r = 0; r < 4; ++r)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(g.GetItemText(r + 1, k + 1), c.expect[r][k]) << "cell " << r + 1 << "," << k + 1;
  EXPECT_EQ(g.GetRowCount(), 5);  // the grid never grows
  EXPECT_EQ(g.GetColumnCount(), 4);
  EXPECT_EQ(g.Invariants(), "");
}

INSTANTIATE_TEST_SUITE_P(Grid, PasteTest, ::testing::ValuesIn(kPastes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridClipboard, PasteStepsOverHiddenRowsAndColumns) {
  TestGrid g(6, 5, 1, 1);
  g.SetRowHeight(2, 0);
  g.SetColumnWidth(2, 0);
  ASSERT_TRUE(g.PasteTextAt(1, 1, "a\tb\nc\td", true));
  EXPECT_EQ(g.GetItemText(1, 1), "a");
  EXPECT_EQ(g.GetItemText(1, 3), "b");
  EXPECT_EQ(g.GetItemText(3, 1), "c");
  EXPECT_EQ(g.GetItemText(3, 3), "d");
  EXPECT_EQ(g.GetItemText(2, 1), "");
  EXPECT_EQ(g.GetSelectedCellRange(), CCellSpan(1, 1, 3, 3));
}

TEST(GridClipboard, PasteRefusals) {
  TestGrid g(3, 3, 1, 1);
  EXPECT_FALSE(g.PasteTextAt(3, 1, "x", true));
  g.SetCellState(1, 1, g.GetCellState(1, 1) | GVIS_READONLY);
  EXPECT_FALSE(g.PasteTextAt(1, 1, "x", true));
  g.SetEditable(false);
  EXPECT_FALSE(g.PasteTextAt(2, 2, "x", true));
  EXPECT_EQ(g.GetItemText(2, 2), "");
}

TEST(GridClipboard, PasteIntoReadOnlyCellsOfTheBlockKeepsThem) {
  TestGrid g(3, 4, 1, 1);
  g.SetItemText(1, 2, "keep");
  g.SetCellState(1, 2, g.GetCellState(1, 2) | GVIS_READONLY);
  ASSERT_TRUE(g.PasteTextAt(1, 1, "a\tb\tc", false));
  EXPECT_EQ(g.GetItemText(1, 1), "a");
  EXPECT_EQ(g.GetItemText(1, 2), "keep");
  EXPECT_EQ(g.GetItemText(1, 3), "c");
  EXPECT_EQ(g.GetSelectedCount(), 0u);
}

TEST(GridClipboard, CutEmptiesTheSelection) {
  TestGrid g(3, 3, 1, 1);
  g.FillCoordinates();
  g.SetSelectedRange(1, 1, 2, 2);
  g.CutSelection();
  EXPECT_EQ(g.clipboard, "1,1\t1,2\n2,1\t2,2");
  EXPECT_EQ(g.GetItemText(1, 1), "");
  EXPECT_EQ(g.GetItemText(2, 2), "");
  EXPECT_EQ(g.GetItemText(0, 1), "0,1");
}

}  // namespace

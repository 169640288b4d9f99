// The drop-down list cell and the numeric cell: number parsing and formatting, what the
// numeric editor lets through, the list's width, and both editors inside a grid window.
#include <cmath>

#include "controls/grid/grid_cell_types.h"
#include "controls/grid/in_place_list.h"
#include "controls/grid/in_place_num_edit.h"
#include "tests/controls/grid/grid_window_fixture.h"

using N = CGridCellNumeric;

TEST(GridNumericCell, ParsesAndFormatsInTheNumberFormat) {
  struct Case {
    unsigned flags;
    const char* in;
    const char* out;  // nullptr: not a number, the cell keeps its text
    double value;
  } cases[] = {
      {0, "1234.56", "1,234", 1234},
      {0, "1,234", "1,234", 1234},
      {N::kReal, "1234.5", "1,234.50", 1234.5},
      {N::kReal, "0.125", "0.13", 0.125},
      {N::kReal | N::kNegative, "-3.5", "-3.50", -3.5},
      {N::kReal, "-3.5", "3.50", 3.5},  // no negatives: the sign is not a number character
      {N::kReal | N::kNegative, "(3.5)", "3.50", 3.5},  // parentheses only with that pattern
      {N::kCurrency | N::kNegative, "-5", "($5.00)", -5},
      {N::kCurrency, "12", "$12.00", 12},
      {0, "abc", nullptr, 0},
      {0, "", nullptr, 0},
      {N::kNegative, "-", nullptr, 0},
      {N::kReal, "1.2.3", nullptr, 0},
  };
  for (const Case& c : cases) {
    auto r = N::ParseAndFormat(c.in, c.flags, UserNumberFormat());
    if (!c.out) {
      EXPECT_FALSE(r.has_value()) << c.in;
      continue;
    }
    ASSERT_TRUE(r.has_value()) << c.in;
    EXPECT_EQ(r->second, c.out) << c.in;
    EXPECT_DOUBLE_EQ(r->first, c.value) << c.in;
  }
  GridNumberFormat parens;
  parens.negativeOrder = 0;
  auto r = N::ParseAndFormat("(3.5)", N::kReal | N::kNegative, parens);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->second, "(3.50)");
  EXPECT_DOUBLE_EQ(r->first, -3.5);
}

TEST(GridNumericCell, KeepsItsTextForNonNumbersAndRefusesRealWithCurrency) {
  CGridCellNumeric cell;
  cell.SetText("42");
  cell.SetText("letters");
  EXPECT_EQ(cell.GetText(), "42");
  EXPECT_EQ(cell.SetFlags(N::kReal | N::kCurrency), -1);
  EXPECT_EQ(cell.GetFlags(), 0u);
  EXPECT_EQ(cell.SetFlags(N::kReal), 0);
  cell.SetNumber(2.5);
  EXPECT_EQ(cell.GetText(), "2.50");
  EXPECT_TRUE(cell.IsModified());
}

// A number past the range of a double reads as infinity: the text is refused and the cell
// keeps its old one, in every kind of numeric cell.
TEST(GridNumericCell, RefusesNumbersTooLargeToHold) {
  const std::string nines(400, '9');
  const struct {
    unsigned flags;
    std::string text;
  } cases[] = {
      {0, nines}, {N::kReal, nines}, {N::kCurrency, nines}, {N::kNegative, "-" + nines},
      {N::kReal | N::kNegative, "-" + nines + ".5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    EXPECT_FALSE(N::ParseAndFormat(c.text, c.flags, GridNumberFormat{}).has_value());
    CGridCellNumeric cell;
    cell.SetFlags(c.flags);
    cell.SetText("7");
    const std::string before = cell.GetText();
    cell.SetText(c.text);
    EXPECT_EQ(cell.GetText(), before);
  }
  CGridCellNumeric cell;
  cell.SetText("7");
  cell.SetNumber(HUGE_VAL);
  EXPECT_EQ(cell.GetText(), "7");
}

TEST(GridNumericEditor, StartTextAndTypingRules) {
  GridNumberFormat f;
  EXPECT_EQ(CInPlaceNumEdit::EditText(-1.5, f), "-1.5");
  EXPECT_EQ(CInPlaceNumEdit::EditText(12, f), "12");
  f.negativeOrder = 0;
  EXPECT_EQ(CInPlaceNumEdit::EditText(-1.5, f), "(1.5)");
  f.negativeOrder = 3;
  EXPECT_EQ(CInPlaceNumEdit::EditText(-0.25, f), "0.25-");
  f.leadingZero = false;
  f.negativeOrder = 1;
  f.decimalSep = ",";
  EXPECT_EQ(CInPlaceNumEdit::EditText(0.25, f), ",25");

  struct Case {
    unsigned flags;
    int pattern;
    const char* text;
    bool ok;
  } cases[] = {
      {0, 1, "123", true},          {0, 1, "12a", false},        {0, 1, "1.5", false},
      {N::kReal, 1, "1.5", true},   {N::kReal, 1, "1.5.", false}, {0, 1, "-1", false},
      {N::kNegative, 1, "-1", true}, {N::kNegative, 1, "1-", false}, {N::kNegative, 1, "--1", false},
      {N::kNegative, 3, "1-", true}, {N::kNegative, 0, "(1)", true}, {N::kNegative, 0, "1(", false},
      {N::kNegative, 0, "((1", false},
  };
  for (const Case& c : cases) {
    GridNumberFormat g;
    g.negativeOrder = c.pattern;
    EXPECT_EQ(CInPlaceNumEdit::Acceptable(c.text, c.flags, g), c.ok) << c.text << " pattern " << c.pattern;
  }
}

TEST(GridComboCell, DroppedListIsNeverWiderThan200) {
  draw::Font font;
  EXPECT_EQ(CInPlaceList::DroppedWidthFor({"short", std::string(300, 'W')}, font), 200);
  EXPECT_LT(CInPlaceList::DroppedWidthFor({"a"}, font), 200);
}

TEST_F(GridWindowTest, ComboCellEditsThroughADroppedList) {
  ASSERT_TRUE(grid->ReplaceCellType(2, 2, &MakeGridCellCombo));
  auto* cell = dynamic_cast<CGridCellCombo*>(grid->GetCell(2, 2));
  ASSERT_NE(cell, nullptr);
  cell->SetOptions({"Male", "Female"});
  grid->SetItemText(2, 2, "Male");
  ClickCell(2, 2);
  d.Key(ui::VK_F2);
  auto* list = dynamic_cast<CInPlaceList*>(grid->GetDlgItem(static_cast<int>(IDC_INPLACE_CONTROL)));
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->GetDroppedState());
  EXPECT_EQ(list->GetCount(), 2);
  EXPECT_EQ(list->CurrentText(), "Male");
  list->SetCurSel(1);
  Clear();
  d.Key(ui::VK_RETURN);
  EXPECT_EQ(grid->GetItemText(2, 2), "Female");
  EXPECT_EQ(host->notes, (std::vector<GridNote>{{GVN_ENDLABELEDIT, 2, 2}}));
  d.Settle();
  EXPECT_EQ(grid->GetDlgItem(static_cast<int>(IDC_INPLACE_CONTROL)), nullptr);

  // Escape puts the first text back.
  d.Key(ui::VK_F2);
  list = dynamic_cast<CInPlaceList*>(grid->GetDlgItem(static_cast<int>(IDC_INPLACE_CONTROL)));
  ASSERT_NE(list, nullptr);
  list->SetCurSel(0);
  d.Key(ui::VK_ESCAPE);
  EXPECT_EQ(grid->GetItemText(2, 2), "Female");
}

TEST_F(GridWindowTest, NumericCellEditorRefusesLetters) {
  ASSERT_TRUE(grid->ReplaceCellType(3, 3, &MakeGridCellNumeric));
  auto* cell = dynamic_cast<CGridCellNumeric*>(grid->GetCell(3, 3));
  ASSERT_NE(cell, nullptr);
  cell->SetFlags(N::kReal);
  grid->SetItemText(3, 3, "2.5");
  EXPECT_EQ(grid->GetItemText(3, 3), "2.50");
  ClickCell(3, 3);
  d.Key(ui::VK_F2);
  auto* ed = dynamic_cast<CInPlaceNumEdit*>(grid->GetDlgItem(static_cast<int>(IDC_INPLACE_CONTROL)));
  ASSERT_NE(ed, nullptr);
  EXPECT_EQ(ed->GetWindowText(), "2.5");
  d.Type("x7");
  EXPECT_EQ(ed->GetWindowText(), "2.57");
  d.Type("\r");
  EXPECT_EQ(grid->GetItemText(3, 3), "2.57");
  EXPECT_DOUBLE_EQ(cell->GetNumber(), 2.57);
}

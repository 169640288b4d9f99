// The cell model: fallbacks to the default cells, the default cells' own rules, extents.
#include <gtest/gtest.h>

#include "grid_test_support.h"

namespace {

TEST(GridCell, UnsetAttributesFallBackToTheDefaultCell) {
  TestGrid g(3, 3, 1, 1);
  CGridCellBase* cell = g.GetCell(2, 2);
  CGridDefaultCell* def = g.GetDefaultCell(false, false);
  cell->SetFormat(static_cast<unsigned>(-1));
  draw::Font big("Arial", -20);
  def->SetFont(&big);  // re-measures the margin, so the margin comes after
  def->SetFormat(DT_RIGHT);
  def->SetMargin(6);
  EXPECT_EQ(cell->GetFormat(), unsigned(DT_RIGHT));
  EXPECT_EQ(cell->GetMargin(), 6);
  EXPECT_EQ(*cell->GetFont(), big);
  EXPECT_TRUE(cell->IsDefaultFont());
  draw::Font own("Arial", -9);
  cell->SetFont(&own);
  cell->SetMargin(1);
  cell->SetFormat(DT_CENTER);
  EXPECT_EQ(*cell->GetFont(), own);
  EXPECT_EQ(cell->GetMargin(), 1);
  EXPECT_EQ(cell->GetFormat(), unsigned(DT_CENTER));
  cell->SetFont(nullptr);
  cell->SetMargin(-1);
  cell->SetFormat(static_cast<unsigned>(-1));
  EXPECT_EQ(*cell->GetFont(), big);
  EXPECT_EQ(cell->GetMargin(), 6);
  EXPECT_EQ(cell->GetFormat(), unsigned(DT_RIGHT));
}

TEST(GridCell, DefaultCellByRegion) {
  TestGrid g(3, 3, 1, 1);
  struct Case {
    int row, col;
    const CGridDefaultCell* expect;
  } cases[] = {{0, 0, g.GetDefaultCell(true, true)},
               {0, 2, g.GetDefaultCell(true, false)},
               {2, 0, g.GetDefaultCell(false, true)},
               {2, 2, g.GetDefaultCell(false, false)}};
  for (const Case& c : cases) {
    EXPECT_EQ(g.GetCell(c.row, c.col)->GetDefaultCell(), c.expect) << c.row << "," << c.col;
    // A missing cell's font is its region's default font.
    ASSERT_TRUE(g.PutCell(c.row, c.col, nullptr));
    EXPECT_EQ(g.GetCellFont(c.row, c.col), c.expect->GetFont());
  }
}

TEST(GridCell, DefaultCellIsReadOnlyAndKeepsNoStateOrData) {
  CGridDefaultCell def;
  def.SetState(GVIS_SELECTED);
  def.SetData(5);
  EXPECT_EQ(def.GetState(), unsigned(GVIS_READONLY));
  EXPECT_EQ(def.GetData(), 0);
  EXPECT_EQ(def.GetFormat(), unsigned(DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER));
  // Without a way to measure, fixed sizes.
  EXPECT_EQ(def.GetWidth(), 40);
  EXPECT_EQ(def.GetHeight(), 16);
  EXPECT_EQ(def.GetMargin(), 3);
}

TEST(GridCell, DefaultSizesFromTheReferenceText) {
  FakeMeasurer m;
  CGridDefaultCell def;
  draw::Font f;
  def.SetFont(&f, &m);
  EXPECT_EQ(def.GetWidth(), 120);
  EXPECT_EQ(def.GetHeight(), 30);
  EXPECT_EQ(def.GetMargin(), 4);
}

TEST(GridCell, TextExtents) {
  FakeMeasurer m;
  TestGrid g(2, 2);
  g.SetTextMeasurer(&m);
  CGridCellBase* cell = g.GetCell(1, 1);
  cell->SetMargin(2);
  struct Case {
    const char* name;
    unsigned format;
    int escapement;
    std::string text;
    draw::Size expect;
  } cases[] = {
      {"one line", DT_SINGLELINE, 0, "abcd", {32 + 8, 20 + 4}},
      {"word break measures lines", DT_WORDBREAK, 0, "ab\nabcdef\n", {48 + 8, 60 + 4}},
      {"single line wins over word break", DT_WORDBREAK | DT_SINGLELINE, 0, "ab\nabc", {48 + 8, 20 + 4}},
      {"vertical text turns", DT_SINGLELINE, 900, "abcd", {20 + 4, 32 + 8 + 8}},
      {"empty text gives the default size", DT_SINGLELINE, 0, "", {120, 30}},
      {"characters, not bytes", DT_SINGLELINE, 0, "中文", {16 + 8, 20 + 4}},
  };
  for (const Case& c : cases) {
    cell->SetFormat(c.format);
    draw::Font f;
    f.escapement = c.escapement;
    cell->SetFont(&f);
    EXPECT_EQ(cell->GetTextExtent(c.text, &m), c.expect) << c.name;
  }
}

TEST(GridCell, CopyTakesResolvedValues) {
  TestGrid g(2, 2);
  g.GetDefaultCell(false, false)->SetMargin(9);
  CGridCellBase* src = g.GetCell(1, 1);
  src->SetText("t");
  src->SetImage(3);
  src->SetData(11);
  src->SetBackClr(draw::RGB(1, 2, 3));
  src->SetFormat(static_cast<unsigned>(-1));
  CGridCell copy;
  copy = *src;
  EXPECT_EQ(copy.GetText(), "t");
  EXPECT_EQ(copy.GetImage(), 3);
  EXPECT_EQ(copy.GetData(), 11);
  EXPECT_EQ(copy.GetBackClr(), draw::RGB(1, 2, 3));
  EXPECT_EQ(copy.GetGrid(), &g);
  EXPECT_EQ(copy.GetMargin(), 9);
  g.GetDefaultCell(false, false)->SetMargin(1);
  EXPECT_EQ(copy.GetMargin(), 9);  // its own value now, not a fallback
  EXPECT_TRUE(copy.IsDefaultFont());
  copy.Reset();
  EXPECT_EQ(copy.GetText(), "");
  EXPECT_EQ(copy.GetImage(), -1);
  EXPECT_EQ(copy.GetGrid(), nullptr);
  EXPECT_EQ(copy.GetBackClr(), CLR_DEFAULT);
}

TEST(GridCell, SystemColourChangeKeepsColoursAScreenSet) {
  TestGrid g(2, 2);
  g.GetDefaultCell(true, false)->SetTextClr(draw::RGB(66, 85, 92));
  CGridCtrl::SystemColours now;
  now.windowText = draw::RGB(10, 10, 10);
  now.window = draw::RGB(250, 250, 250);
  g.OnSystemColoursChanged(now);
  EXPECT_EQ(g.GetDefaultCell(false, false)->GetTextClr(), draw::RGB(10, 10, 10));
  EXPECT_EQ(g.GetDefaultCell(false, false)->GetBackClr(), draw::RGB(250, 250, 250));
  EXPECT_EQ(g.GetDefaultCell(true, false)->GetTextClr(), draw::RGB(66, 85, 92));
}

TEST(GridCell, StateBitsAndTheSelectionMap) {
  TestGrid g(4, 4, 1, 1);
  g.SetCellState(2, 2, GVIS_SELECTED);
  EXPECT_TRUE(g.IsCellSelected(2, 2));
  EXPECT_EQ(g.GetSelectedCellRange(), CCellSpan(2, 2, 2, 2));
  g.SetCellState(2, 2, 0);
  EXPECT_FALSE(g.IsValidRange(g.GetSelectedCellRange()));
  g.SetSelectedRange(1, 1, 3, 2);
  EXPECT_EQ(g.GetSortedPickedColumns(), (std::vector<int>{1, 2}));
  g.SetSelectedRange(2, 2, 3, 3, false, false);  // deselects exactly that block
  EXPECT_TRUE(g.IsCellSelected(1, 2));
  EXPECT_FALSE(g.IsCellSelected(2, 2));
  EXPECT_EQ(g.Invariants(), "");
  g.MoveFocus(0, 0);  // raised out of the fixed band
  EXPECT_EQ(g.GetFocusCell(), CCellID(1, 1));
  EXPECT_TRUE(g.GetCellState(1, 1) & GVIS_FOCUSED);
  g.MoveFocus(2, 3);
  EXPECT_FALSE(g.GetCellState(1, 1) & GVIS_FOCUSED);
  EXPECT_EQ(g.FindNextCell(CCellID(0, -1), 0x200 | 0x400 | 0x800 | GVIS_FOCUSED), CCellID(2, 3));
}

}  // namespace

// Text set through the edit path: read-only cells, the owner's answers, validation.
#include <gtest/gtest.h>

#include "grid_test_support.h"

namespace {

using Note = TestGrid::Note;

TEST(GridEdit, SetTextAsEditTellsTheOwner) {
  TestGrid g(3, 3, 1, 1);
  g.MarkModified(false);
  g.SetTextAsEdit(1, 1, "new");
  EXPECT_EQ(g.GetItemText(1, 1), "new");
  EXPECT_TRUE(g.IsCellModified(1, 1));
  EXPECT_EQ(g.notes, (std::vector<Note>{{1, 1, GVN_BEGINLABELEDIT}, {1, 1, GVN_ENDLABELEDIT}}));
}

TEST(GridEdit, UnchangedTextSendsNoEndAndMarksNothing) {
  TestGrid g(3, 3, 1, 1);
  g.SetItemText(1, 1, "same");
  g.MarkModified(false);
  g.SetTextAsEdit(1, 1, "same");
  EXPECT_FALSE(g.IsCellModified(1, 1));
  EXPECT_EQ(g.notes, (std::vector<Note>{{1, 1, GVN_BEGINLABELEDIT}}));
  g.notes.clear();
  g.EndEdit(1, 1, "same");
  EXPECT_TRUE(g.notes.empty());
  EXPECT_FALSE(g.IsCellModified(1, 1));
}

TEST(GridEdit, OwnerRefusals) {
  struct Case {
    int code;
    std::string expect;
  } cases[] = {{GVN_BEGINLABELEDIT, "old"}, {GVN_ENDLABELEDIT, "old"}};
  for (const Case& c : cases) {
    TestGrid g(3, 3, 1, 1);
    g.SetItemText(1, 1, "old");
    g.replies[c.code] = -1;
    g.SetTextAsEdit(1, 1, "new");
    EXPECT_EQ(g.GetItemText(1, 1), c.expect) << c.code;
    g.EndEdit(1, 1, "newer");
    if (c.code == GVN_ENDLABELEDIT) {
      EXPECT_EQ(g.GetItemText(1, 1), "old");
    }
  }
}

class PickyCell : public CGridCell {
 public:
  bool ValidateEdit(const std::string& text) override { return !text.empty() && text[0] != 'x'; }
};

TEST(GridEdit, CellValidationRestoresTheOldText) {
  TestGrid g(3, 3, 1, 1);
  ASSERT_TRUE(g.ReplaceCellType(1, 1, []() -> std::unique_ptr<CGridCellBase> { return std::make_unique<PickyCell>(); }));
  g.SetItemText(1, 1, "good");
  g.EndEdit(1, 1, "xbad");
  EXPECT_EQ(g.GetItemText(1, 1), "good");
  g.EndEdit(1, 1, "fine");
  EXPECT_EQ(g.GetItemText(1, 1), "fine");
}

TEST(GridEdit, DeleteSparesReadOnlyCells) {
  TestGrid g(4, 4, 1, 1);
  g.FillCoordinates();
  g.SetCellState(2, 2, g.GetCellState(2, 2) | GVIS_READONLY);
  g.SetSelectedRange(1, 1, 3, 3);
  g.EraseSelectedCells();
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(g.GetItemText(r, c), (r == 2 && c == 2) ? "2,2" : "") << r << "," << c;
}

TEST(GridEdit, EraseSpanSkipsHiddenCells) {
  TestGrid g(4, 4, 1, 1);
  g.FillCoordinates();
  g.SetColumnWidth(2, 0);
  g.EraseCellSpan(CCellSpan(1, 1, 2, 3));
  EXPECT_EQ(g.GetItemText(1, 1), "");
  EXPECT_EQ(g.GetItemText(1, 2), "1,2");
  EXPECT_EQ(g.GetItemText(2, 3), "");
  EXPECT_EQ(g.GetItemText(3, 3), "3,3");
}

class RecordingEditor : public CellEditorHandle {
 public:
  int ended = 0;
  std::vector<unsigned> chars;
  void EndEdit() override { ++ended; }
  void SendChar(unsigned ch) override { chars.push_back(ch); }
};

class EditorGrid : public TestGrid {
 public:
  using TestGrid::TestGrid;
  RecordingEditor editor;
  int align = -1;
  std::string startText;
  CellEditorHandle* CreateInPlaceEditor(int, int, const draw::Rect&, unsigned id, const std::string& text, unsigned,
                                        int a) override {
    EXPECT_EQ(id, IDC_INPLACE_CONTROL);
    align = a;
    startText = text;
    return &editor;
  }
};

TEST(GridEdit, CellOpensAndEndsItsEditor) {
  EditorGrid g(3, 3, 1, 1);
  g.SetItemText(1, 1, "abc");
  g.SetCellFormat(1, 1, DT_RIGHT | DT_SINGLELINE);
  CGridCellBase* cell = g.GetCell(1, 1);
  ASSERT_TRUE(cell->Edit(1, 1, draw::Rect(0, 0, 10, 10), draw::Point(-1, -1), IDC_INPLACE_CONTROL, 1));
  EXPECT_TRUE(g.IsCellEditing(1, 1));
  EXPECT_EQ(g.align, 2);
  EXPECT_EQ(g.startText, "abc");
  cell->Edit(1, 1, draw::Rect(), draw::Point(), IDC_INPLACE_CONTROL, 'q');
  EXPECT_EQ(g.editor.chars, std::vector<unsigned>{'q'});
  g.MoveFocus(1, 1);
  g.EndEditing();
  EXPECT_EQ(g.editor.ended, 1);
  g.EndEdit(1, 1, "abcd");
  EXPECT_FALSE(g.IsCellEditing(1, 1));
  EXPECT_EQ(g.GetItemText(1, 1), "abcd");
}

TEST(GridEdit, NoEditorNoEditingState) {
  TestGrid g(3, 3, 1, 1);
  g.GetCell(1, 1)->Edit(1, 1, draw::Rect(), draw::Point(), IDC_INPLACE_CONTROL, 1);
  EXPECT_FALSE(g.IsCellEditing(1, 1));
}

}  // namespace

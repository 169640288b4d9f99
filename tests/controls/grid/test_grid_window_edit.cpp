// In-place editing in the grid window: how an edit starts (tap on the focus cell, F2,
// typing, double click), how it ends (Return, Tab, Escape, arrows, focus loss), what the
// owner is told, and the editor's growth.
#include "tests/controls/grid/grid_window_fixture.h"

#include "controls/grid/in_place_edit.h"

using K = ui::InputEvent::Kind;

namespace {
CInPlaceEdit* OpenEditor(CGridCtrl& g) {
  return dynamic_cast<CInPlaceEdit*>(g.GetDlgItem(static_cast<int>(IDC_INPLACE_CONTROL)));
}
}  // namespace

TEST_F(GridWindowTest, SecondTapOnTheFocusCellOpensTheEditorWithTheCaretAtTheEnd) {
  ClickCell(2, 2);
  ASSERT_EQ(OpenEditor(*grid), nullptr);
  Clear();
  ClickCell(2, 2);
  CInPlaceEdit* ed = OpenEditor(*grid);
  ASSERT_NE(ed, nullptr);
  EXPECT_EQ(ed->GetWindowText(), "2,2");
  int s = -1, e = -1;
  ed->GetSel(s, e);
  EXPECT_EQ(s, 3);
  EXPECT_EQ(e, 3);
  EXPECT_FALSE(ed->ExitsOnArrows());
  EXPECT_EQ(host->notes, (std::vector<GridNote>{{GVN_BEGINLABELEDIT, 2, 2}}));
  EXPECT_EQ(host->commands, std::vector<int>{kGridId});
  EXPECT_TRUE(grid->IsCellEditing(2, 2));
}

TEST_F(GridWindowTest, TypingADigitStartsAnEditThatReplacesTheText) {
  ClickCell(3, 1);
  Clear();
  d.Type("7");
  CInPlaceEdit* ed = OpenEditor(*grid);
  ASSERT_NE(ed, nullptr);
  EXPECT_EQ(ed->GetWindowText(), "7");
  d.Type("5\r");
  EXPECT_EQ(OpenEditor(*grid), nullptr);
  EXPECT_EQ(grid->GetItemText(3, 1), "75");
  EXPECT_TRUE(grid->IsCellModified(3, 1));
  const std::vector<GridNote> want = {{GVN_BEGINLABELEDIT, 3, 1}, {GVN_ENDLABELEDIT, 3, 1}};
  EXPECT_EQ(host->notes, want);
  EXPECT_EQ(host->endEditTexts, std::vector<std::string>{"75"});
  EXPECT_FALSE(grid->IsCellEditing(3, 1));
  EXPECT_EQ(ui::Window::GetFocus(), grid.get());
}

TEST_F(GridWindowTest, EditEndRules) {
  struct Case {
    const char* name;
    const char* typed;     // after F2 (caret at the end of "2,3")
    unsigned key;          // a key pressed after typing, 0 none
    ui::LResult endReply;  // the owner's answer to -176
    const char* text;      // the cell's text afterwards
    bool notified;         // -176 reached the owner
    CCellID focus;         // focus afterwards
    bool editorOpen;       // an editor is open afterwards
  } cases[] = {
      {"return commits", "x\r", 0, 0, "2,3x", true, {2, 3}, false},
      {"unchanged sends nothing", "\r", 0, 0, "2,3", false, {2, 3}, false},
      {"escape restores", "yy\x1b", 0, 0, "2,3", false, {2, 3}, false},
      {"owner refuses", "z\r", 0, -1, "2,3", true, {2, 3}, false},
      {"tab commits and edits the next cell", "t\t", 0, 0, "2,3t", true, {2, 4}, true},
      {"left moves the caret while clicked into", "", ui::VK_LEFT, 0, "2,3", false, {2, 3}, true},
  };
  for (const Case& c : cases) {
    Shape(20, 50);
    grid->SetFocus();
    grid->MoveFocus(2, 3);
    host->replies[GVN_ENDLABELEDIT] = c.endReply;
    d.Key(ui::VK_F2);
    ASSERT_NE(OpenEditor(*grid), nullptr) << c.name;
    Clear();
    d.Type(c.typed);
    if (c.key) d.Key(c.key);
    EXPECT_EQ(grid->GetItemText(2, 3), c.text) << c.name;
    bool notified = false;
    for (const GridNote& n : host->notes) notified |= n.code == GVN_ENDLABELEDIT;
    EXPECT_EQ(notified, c.notified) << c.name;
    EXPECT_EQ(grid->GetFocusCell(), c.focus) << c.name;
    CInPlaceEdit* ed = OpenEditor(*grid);
    EXPECT_EQ(ed != nullptr, c.editorOpen) << c.name;
    if (ed) {
      EXPECT_EQ(ed->Row(), c.focus.row) << c.name;
      EXPECT_EQ(ed->Col(), c.focus.col) << c.name;
      d.Type("\x1b");
    }
    host->replies.clear();
  }
}

TEST_F(GridWindowTest, ArrowEndsAnEditStartedFromTheKeyboardAndMovesOn) {
  ClickCell(2, 2);
  d.Type("9");
  ASSERT_NE(OpenEditor(*grid), nullptr);
  d.Key(ui::VK_DOWN);
  EXPECT_EQ(grid->GetItemText(2, 2), "9");
  EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 2));
  CInPlaceEdit* ed = OpenEditor(*grid);
  ASSERT_NE(ed, nullptr);
  EXPECT_EQ(ed->Row(), 3);
  int s = -1, e = -1;
  ed->GetSel(s, e);
  EXPECT_EQ(s, 0);  // an arrow-started edit selects the whole text
  EXPECT_EQ(e, 3);
}

TEST_F(GridWindowTest, CtrlArrowEndsAClickStartedEdit) {
  ClickCell(2, 2);
  ClickCell(2, 2);
  CInPlaceEdit* ed = OpenEditor(*grid);
  ASSERT_NE(ed, nullptr);
  d.Key(ui::VK_LEFT, false, /*ctrl=*/true);
  EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 1));
}

TEST_F(GridWindowTest, ReadOnlyCellsAndRefusingOwnersOpenNoEditor) {
  grid->SetCellState(2, 2, grid->GetCellState(2, 2) | GVIS_READONLY);
  ClickCell(2, 2);
  ClickCell(2, 2);
  EXPECT_EQ(OpenEditor(*grid), nullptr);
  d.Key(ui::VK_F2);
  EXPECT_EQ(OpenEditor(*grid), nullptr);

  host->replies[GVN_BEGINLABELEDIT] = -1;
  ClickCell(3, 3);
  d.Type("1");
  EXPECT_EQ(OpenEditor(*grid), nullptr);
  EXPECT_EQ(grid->GetItemText(3, 3), "3,3");

  host->replies.clear();
  grid->SetEditable(false);
  d.Key(ui::VK_F2);
  EXPECT_EQ(OpenEditor(*grid), nullptr);
}

TEST_F(GridWindowTest, EscapeTypedToTheGridStartsNoEdit) {
  ClickCell(2, 2);
  d.Type("\x1b");
  EXPECT_EQ(OpenEditor(*grid), nullptr);
}

TEST_F(GridWindowTest, TappingElsewhereCommitsTheOpenEdit) {
  ClickCell(2, 2);
  d.Type("5");
  ClickCell(4, 4);
  EXPECT_EQ(OpenEditor(*grid), nullptr);
  EXPECT_EQ(grid->GetItemText(2, 2), "5");
  EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 4));
}

TEST_F(GridWindowTest, EditorGrowsWithItsTextUpToTheGridsRightEdge) {
  ClickCell(2, 4);
  d.Type("1");
  CInPlaceEdit* ed = OpenEditor(*grid);
  ASSERT_NE(ed, nullptr);
  const int start = ed->GetRectInParent().Width();
  d.Type("23456789012345");
  EXPECT_GT(ed->GetRectInParent().Width(), start);
  d.Type(std::string(80, 'W'));
  EXPECT_EQ(ed->GetRectInParent().right, grid->GetClientRect().right);
  d.Type("\x1b");
}

TEST_F(GridWindowTest, UkrainianAndChineseTextSurviveAnEdit) {
  ClickCell(2, 2);
  d.Type("Київ 血液");
  d.Type("\r");
  EXPECT_EQ(grid->GetItemText(2, 2), "Київ 血液");
}

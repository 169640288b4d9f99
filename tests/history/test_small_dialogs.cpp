// The browser's small dialogs worked as the operator works them: the column range, the sort
// style and the jump position.
#include <gtest/gtest.h>

#include "controls/xp_combo_edit.h"
#include "controls/xp_group_box.h"
#include "core/layout.h"
#include "history/history_list_find.h"
#include "history/history_sel.h"
#include "history/history_sort_jump.h"
#include "platform/ui/keys.h"
#include "results_store.h"

using namespace history_test;

namespace {
void Retype(ui::TestDriver& s, int id, const std::string& text) {
  s.Press(id);
  s.Key(ui::VK_END);
  s.Type("\b\b\b\b\b" + text);
}

int g_keyboardRaised = 0;
bool RecordKeyboard(const char* title) {
  if (std::string(title) == "On-Screen Keyboard") ++g_keyboardRaised;
  return true;
}
}  // namespace

TEST_F(StoreTest, TheBrowsersInputDialogsOpenTheOnScreenKeyboard) {
  // A touch-only instrument types sample numbers, names and column numbers with it.
  SetForeignWindowRaiser(&RecordKeyboard);
  CHistoryListFind find;
  CHistorySel sel;
  CHistoryJump jump;
  const std::pair<const char*, ui::Dialog*> dialogs[] = {{"search", &find}, {"column range", &sel}, {"jump", &jump}};
  for (const auto& entry : dialogs) {
    const char* name = entry.first;
    ui::Dialog* dialog = entry.second;
    g_keyboardRaised = 0;
    ASSERT_TRUE(d.RunScript([&] { dialog->DoModal(); }, [&](ui::TestDriver& s) {
      ASSERT_NE(s.Find(1514), nullptr) << name;
      Shot(std::string("history_keyboard_") + (dialog == &find ? "search" : dialog == &sel ? "range" : "jump"));
      s.Press(1514);
      s.Press(ui::IDCANCEL);
    })) << name;
    EXPECT_EQ(g_keyboardRaised, 1) << name;
  }
  SetForeignWindowRaiser(nullptr);
}

TEST_F(StoreTest, SearchDialogHasItsDateUnitsFramesAndSkinnedListsAndSortItsBand) {
  const char* units[5][3] = {{"年", "月", "日"}, {"Y", "M", "D"}, {"A", "M", "D"}, {"A", "M", "J"}, {"Р", "М", "Д"}};
  for (int l = 0; l < 5; ++l) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(l);
    CHistoryListFind find;
    ASSERT_TRUE(d.RunScript([&] { find.DoModal(); }, [&](ui::TestDriver& s) {
      for (int i = 0; i < 6; ++i) EXPECT_EQ(s.Text(kSearchDateUnitIds[i]), units[l][i % 3]) << l << " " << i;
      EXPECT_NE(dynamic_cast<CXPGroupBox*>(s.Find(1936)), nullptr);
      EXPECT_NE(dynamic_cast<CXPGroupBox*>(s.Find(1937)), nullptr);
      for (int id : {IDC_HF_SEX, IDC_HF_DEPT, IDC_HF_START_Y, IDC_HF_START_M, IDC_HF_START_D, IDC_HF_END_Y,
                     IDC_HF_END_M, IDC_HF_END_D})
        EXPECT_NE(dynamic_cast<CXPComboBox*>(s.Find(id)), nullptr) << id;
      if (l == 0 || l == 1) Shot(std::string("history_search_") + (l == 0 ? "zh" : "en"));
      s.Press(ui::IDCANCEL);
    }));
  }
  CHistorySort sort;
  ASSERT_TRUE(d.RunScript([&] { sort.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_NE(dynamic_cast<CXPGroupBox*>(s.Find(1978)), nullptr);
    Shot("history_sort");
    s.Press(ui::IDCANCEL);
  }));
}

TEST_F(StoreTest, ColumnRangeDialogRefusesReversedAndOutOfRangeColumns) {
  CHistorySel sel;
  ASSERT_TRUE(d.RunScript([&] { sel.DoModal(); }, [&](ui::TestDriver& s) {
    Retype(s, IDC_HS_START, "8");
    Retype(s, IDC_HS_END, "3");
    s.Press(ui::IDOK);
    EXPECT_EQ(s.MessageBoxText(), "The start column must not be after the end column!");
    s.AnswerMessageBox(ui::IDOK);
    Retype(s, IDC_HS_END, "200");
    s.Press(ui::IDOK);
    EXPECT_EQ(s.MessageBoxText(), "Please input valid digits (1-100)!");
    s.AnswerMessageBox(ui::IDOK);
    Retype(s, IDC_HS_END, "12");
    s.Press(ui::IDOK);
  }));
  EXPECT_EQ(sel.startColumn, 8);
  EXPECT_EQ(sel.endColumn, 12);
}

TEST_F(StoreTest, SortDialogStoresTheChosenStyleAndJumpKeepsToItsLimits) {
  CHistorySort sort;
  ASSERT_TRUE(d.RunScript([&] { sort.DoModal(); }, [&](ui::TestDriver& s) {
    s.Press(IDC_HSORT_NUMBER);
    s.Press(ui::IDOK);
  }));
  EXPECT_EQ(Scalar("select HistoryListSortStyle from SysSetting"), "1");
  CHistoryJump jump;
  jump.maxPosition = 20;
  ASSERT_TRUE(d.RunScript([&] { jump.DoModal(); }, [&](ui::TestDriver& s) {
    Retype(s, IDC_HJUMP_EDIT, "600");
    s.Key(ui::VK_RETURN);
    EXPECT_EQ(s.MessageBoxText(), "Please input a number between 1 and 500!");
    s.AnswerMessageBox(ui::IDOK);
    Retype(s, IDC_HJUMP_EDIT, "30");
    s.Press(ui::IDOK);
    EXPECT_EQ(s.MessageBoxText(), "Please input a number between 1 and 20!");
    s.AnswerMessageBox(ui::IDOK);
    Retype(s, IDC_HJUMP_EDIT, "12");
    s.Press(ui::IDOK);
  }));
  EXPECT_EQ(jump.position, 12);
}

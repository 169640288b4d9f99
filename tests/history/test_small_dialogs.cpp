// The browser's small dialogs worked as the operator works them: the column range, the sort
// style and the jump position.
#include <gtest/gtest.h>

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
}  // namespace

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

// The percentage entry of the hand-entered differential as the operator works it: leaving a
// field fills the missing one, OK takes only a sum of 100.
#include <gtest/gtest.h>

#include "measurement/patient/set_user_value.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "results_store.h"

using namespace history_test;

TEST_F(StoreTest, PercentageDialogFillsOnLeavingAndChecksTheSum) {
  CSetUserValue dlg;
  bool ok = d.RunScript([&] { dlg.DoModal(); }, [&](ui::TestDriver& s) {
    s.Press(IDC_SUV_LYM);
    s.Type("70");
    s.Press(IDC_SUV_MID);
    s.Type("40");
    s.Press(IDC_SUV_GRA);  // MID% left: GRA% would be -10, stays 0
    EXPECT_EQ(s.Text(IDC_SUV_GRA), "0");
    s.Press(ui::IDOK);
    EXPECT_EQ(s.MessageBoxText(), "Inputs invalid, sum of the classified percentage is not equal to 100% ");
    s.AnswerMessageBox(ui::IDOK);
    // All three back to 0 (a 0 left fills nothing), then 30 and 10: leaving MID% fills GRA%
    // with 60.
    for (int id : {IDC_SUV_LYM, IDC_SUV_MID, IDC_SUV_GRA}) {
      s.Press(id);
      s.Key(ui::VK_END);
      s.Type("\b\b\b\b0");
    }
    s.Press(IDC_SUV_LYM);
    s.Key(ui::VK_END);
    s.Type("\b\b\b\b30");
    s.Press(IDC_SUV_MID);
    EXPECT_EQ(s.Text(IDC_SUV_GRA), "0");
    s.Key(ui::VK_END);
    s.Type("\b\b\b\b10");
    s.Press(IDC_SUV_GRA);
    EXPECT_EQ(s.Text(IDC_SUV_GRA), "60");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
  EXPECT_FLOAT_EQ(dlg.m_resultLym, 30.0f);
  EXPECT_FLOAT_EQ(dlg.m_resultMid, 10.0f);
  EXPECT_FLOAT_EQ(dlg.m_resultGra, 60.0f);
}

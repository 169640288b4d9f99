// The print templates: which stored column a display position is, reading a template (only a 1
// selects), saving the shown one as the only default, and the screen's buttons.
#include <gtest/gtest.h>

#include <array>

#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "platform/ui/resources.h"
#include "platform/ui/test_driver.h"
#include "printing/print_items.h"
#include "printing/print_items_set.h"
#include "tests/support/program_folder.h"

namespace {

class PrintTemplates : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = AppSettings.LanguageIndex; }
  void TearDown() override { AppSettings.LanguageIndex = saved_; }
  // The P1..P20 and IsDefault columns of a template as one text.
  static std::string Row(int model) {
    std::string r;
    for (int k = 1; k <= 20; ++k)
      r += support::QueryText("select P" + std::to_string(k) + " from PrintItemsSet where ModelNo=" + std::to_string(model));
    return r + "/" + support::QueryText("select IsDefault from PrintItemsSet where ModelNo=" + std::to_string(model));
  }
  support::ScratchProgramFolder folder_{"print_items"};
  uint8_t saved_ = 0;
};

TEST_F(PrintTemplates, DisplayPositionsAndColumns) {
  // HCT MCV MCH MCHC RDW-SD RDW-CV sit at P15 P12 P11 P10 P14 P13; the others at i + 1.
  const int expected[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 12, 11, 10, 14, 13, 16, 17, 18, 19, 20};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(PrintItemColumn(i), expected[i]) << i;
  EXPECT_EQ(PrintItemColumn(20), 0);
}

TEST_F(PrintTemplates, OnlyAOneSelectsAndTheDefaultIsFound) {
  support::ExecSql("update PrintItemsSet set IsDefault=0");
  support::ExecSql("update PrintItemsSet set IsDefault=1, P1=2, P15=1, P10=0, P14=1 where ModelNo=2");
  CADOConn conn;
  uint8_t flags[20];
  int model = 0;
  ASSERT_TRUE(LoadDefaultPrintItems(conn, flags, &model));
  EXPECT_EQ(model, 2);
  EXPECT_EQ(flags[0], 0) << "a 2 is not a 1";
  EXPECT_EQ(flags[9], 1) << "HCT is P15";
  EXPECT_EQ(flags[12], 0) << "MCHC is P10";
  EXPECT_EQ(flags[13], 1) << "RDW-SD is P14";
  EXPECT_EQ(flags[1], 1);
  support::ExecSql("update PrintItemsSet set IsDefault=0");
  uint8_t untouched[20] = {7};
  EXPECT_FALSE(LoadDefaultPrintItems(conn, untouched));
  EXPECT_EQ(untouched[0], 7);
}

TEST_F(PrintTemplates, SavingMakesTheShownTemplateTheOnlyDefault) {
  CADOConn conn;
  struct Case {
    int display;
    std::string row;
  } cases[] = {{9, "00000000000000100000/1"}, {13, "00000000000001000000/1"}, {0, "10000000000000000000/1"}};
  for (const Case& c : cases) {
    uint8_t flags[20] = {};
    flags[c.display] = 1;
    ASSERT_TRUE(SaveDefaultPrintItems(conn, flags, 3));
    EXPECT_EQ(Row(3), c.row) << c.display;
    EXPECT_EQ(Row(1).substr(21), "0");
    EXPECT_EQ(Row(2).substr(21), "0");
  }
  const std::string sql = PrintItemsUpdateSql(std::array<uint8_t, 20>{}.data(), 2);
  EXPECT_EQ(sql, "update PrintItemsSet set P1=0,P2=0,P3=0,P4=0,P5=0,P6=0,P7=0,P8=0,\t\tP9=0,P10=0,P11=0,P12=0,P13=0,"
                 "P14=0,P15=0,P16=0,P17=0,P18=0,\t\tP19=0,P20=0,IsDefault=1 where ModelNo=2");
}

class PrintTemplatesScreen : public PrintTemplates {
 protected:
  void SetUp() override {
    PrintTemplates::SetUp();
    ASSERT_TRUE(ui::TestDriver::Start(800, 600));
    ui::Resources::Clear();
    RegisterSkinBitmaps("/nonexistent/");
    AppSettings.LanguageIndex = 1;
  }
  void TearDown() override {
    ui::TestDriver::Stop();
    PrintTemplates::TearDown();
  }
  ui::TestDriver d;
};

TEST_F(PrintTemplatesScreen, OkSavesTheShownTemplateCancelWritesNothing) {
  support::ExecSql("update PrintItemsSet set P15=0 where ModelNo=3");
  const std::string before1 = Row(1), before2 = Row(2);
  {
    CPrintItemsSet screen(nullptr);
    std::string labelAtStart, labelAfter;
    int result = 0;
    ASSERT_TRUE(d.RunScript([&] { result = screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              labelAtStart = s.Text(IDC_PRINT_ITEMS_MODEL);
                              s.Press(IDC_MODEL3);
                              labelAfter = s.Text(IDC_PRINT_ITEMS_MODEL);
                              s.Press(IDC_PRINT_ITEM_FIRST + 9);  // tick HCT
                              s.Press(IDC_PRINT_ITEM_FIRST + 0);  // untick WBC
                              s.Press(ui::IDOK);
                            }));
    EXPECT_EQ(result, ui::IDOK);
    EXPECT_EQ(labelAtStart, "Model 1");
    EXPECT_EQ(labelAfter, "Model 3");
    EXPECT_EQ(Row(3), "01111111111111111111/1");
    EXPECT_EQ(Row(1), before1.substr(0, 21) + "0");
    EXPECT_EQ(Row(2), before2);
  }
  {
    const std::string all = Row(1) + Row(2) + Row(3);
    CPrintItemsSet screen(nullptr);
    int result = 0;
    ASSERT_TRUE(d.RunScript([&] { result = screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              s.Press(IDC_MODEL2);
                              s.Press(IDC_PRINT_ITEM_FIRST + 5);
                              s.Press(ui::IDCANCEL);
                            }));
    EXPECT_EQ(result, ui::IDCANCEL);
    EXPECT_EQ(Row(1) + Row(2) + Row(3), all);
  }
}

}  // namespace

// The way into QC: the main menu's QC screen by name, its tabs, the file choice opening the
// chart of the chosen file; the L-J file settings with the parameter and rule choice; the list
// with its deletions.
#include <gtest/gtest.h>

#include "core/screen_registry.h"
#include "platform/ui/keys.h"
#include "core/value_format.h"
#include "qc/lj_chart_data.h"
#include "qc/lj_qc_graph.h"
#include "qc/lj_qc_list.h"
#include "qc/lj_qc_para_set.h"
#include "qc/lj_qc_set.h"
#include "qc/qc_common.h"
#include "qc/qc_file_sel.h"
#include "qc/qc_sel.h"
#include "qc/xb_qc_list.h"
#include "qc_screen_fixture.h"

namespace {

class QcMenu : public QcScreenTest {};

TEST_F(QcMenu, FromTheMenuThroughTheFileChoiceToTheChartOfFileSeven) {
  qc::RegisterQcScreens();
  ASSERT_TRUE(IsScreenAvailable("CQCSel"));
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,WBCRV,WBCLV) values(7,'SEVEN','2030-01-01',7.5,0.3)");
  Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(7,'2026-01-02','08:00:00',7.4)");
  bool xbShown = false, ljHidden = false, ljBack = false;
  std::string lot, title;
  bool xbListOpened = false;
  int fileNo = 0;
  ASSERT_TRUE(d.RunScript([&] { RunScreen("CQCSel"); },
                          [&](ui::TestDriver& s) {
                            auto* menu = dynamic_cast<qc::CQCSel*>(s.TopWindow());
                            ASSERT_NE(menu, nullptr);
                            s.RunUntil([&] {
                              menu->SelectTab(1);
                              xbShown = menu->page(1).IsWindowVisible();
                              ljHidden = !menu->page(0).IsWindowVisible();
                              return true;
                            });
                            s.Press(qc::IDC_XB_LIST);
                            xbListOpened = s.RunUntil([&] { return dynamic_cast<qc::CXBQCList*>(s.TopWindow()) != nullptr; }, 3000);
                            s.Press(ui::IDCANCEL);
                            s.RunUntil([&] {
                              menu->SelectTab(0);
                              ljBack = menu->page(0).IsWindowVisible() && !menu->page(1).IsWindowVisible();
                              return true;
                            });
                            Shot("qc_menu_en");
                            s.Press(qc::IDC_LJ_GRAPH);
                            Shot("qc_file_choice_en");
                            s.Press(qc::IDC_QC_FILE1 + 6);  // QC 7
                            s.RunUntil([&] { return dynamic_cast<qc::CLJQCGraph*>(s.TopWindow()) != nullptr; }, 3000);
                            lot = s.Text(qc::IDC_LJG_LOT);
                            title = s.TopWindow()->GetWindowText();
                            fileNo = qc::LjQcChartFileNo;
                            s.Press(ui::IDCANCEL);  // the chart
                            s.Press(ui::IDCANCEL);  // the file choice
                            s.Press(ui::IDCANCEL);  // the menu
                          }));
  EXPECT_TRUE(xbShown);
  EXPECT_TRUE(ljHidden);
  EXPECT_TRUE(ljBack);
  EXPECT_TRUE(xbListOpened);
  EXPECT_EQ(fileNo, 7);
  EXPECT_EQ(lot, "SEVEN");
  EXPECT_EQ(title, "L-J QC Graph(QC 7)");
}

class LjSettings : public QcScreenTest {
 protected:
  void Fill(ui::TestDriver& s, const std::string& batch, const std::string& y, const std::string& m, const std::string& dd) {
    s.RunUntil([&] {
      ui::Window* top = s.TopWindow();
      top->SetDlgItemText(qc::IDC_LJS_BATCH, batch);
      top->SetDlgItemText(qc::IDC_LJS_YEAR, y);
      top->SetDlgItemText(qc::IDC_LJS_MONTH, m);
      top->SetDlgItemText(qc::IDC_LJS_DAY, dd);
      return true;
    });
  }
  void SetValue(ui::TestDriver& s, int id, const std::string& v) {
    s.RunUntil([&] {
      s.TopWindow()->SetDlgItemText(id, v);
      return true;
    });
  }
};

TEST_F(LjSettings, FirstSaveInsertsSecondUpdatesANewBatchClearsTheResults) {
  Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-01-02','08:00:00',7.4)");
  qc::CLJQCSet screen(nullptr);
  std::vector<std::string> boxes1, boxes2, boxes3, boxes4, boxes5;
  std::string reloadedTarget, reloadedLimit, reloadedBatch, keptAfterSameBatch, firstSaveLeft;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::FileRadioId(3));
                            Fill(s, "L'2", "2030", "1", "31");
                            // Every parameter is under QC on a file without a row: an empty target is refused.
                            s.Press(qc::IDC_LJS_SAVE);
                            boxes1 = DrainBoxes(s);
                            for (int p = 0; p < 20; ++p) {
                              SetValue(s, qc::kTargetEditIds[p], p == 0 ? "12.345" : "1");
                              SetValue(s, qc::kLimitEditIds[p], p == 0 ? "0.0001" : "0.1");
                            }
                            s.Press(qc::IDC_LJS_SAVE);
                            boxes2 = DrainBoxes(s);
                            firstSaveLeft = Scalar("select count(*) from LJQCRunResult where QcFileNo=3");
                            Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-01-03','08:00:00',7.4)");
                            // The same batch in other letters keeps the results; a new one clears them.
                            Fill(s, "l\u20182", "2030", "1", "31");
                            s.Press(qc::IDC_LJS_SAVE);
                            boxes3 = DrainBoxes(s);
                            keptAfterSameBatch = Scalar("select count(*) from LJQCRunResult where QcFileNo=3");
                            s.Press(qc::FileRadioId(1));
                            s.Press(qc::FileRadioId(3));
                            reloadedTarget = s.Text(qc::kTargetEditIds[0]);
                            reloadedLimit = s.Text(qc::kLimitEditIds[0]);
                            reloadedBatch = s.Text(qc::IDC_LJS_BATCH);
                            Shot("lj_settings_en");
                            Fill(s, "L3", "2030", "1", "31");
                            s.Press(qc::IDC_LJS_SAVE);  // WBC's limit reloaded empty: refused
                            boxes4 = DrainBoxes(s);
                            SetValue(s, qc::kLimitEditIds[0], "0.2");
                            s.Press(qc::IDC_LJS_SAVE);
                            boxes5 = DrainBoxes(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(boxes1, (std::vector<std::string>{"Please input digits for reference value of QC parameters!"}));
  EXPECT_EQ(boxes2, (std::vector<std::string>{"Setting data saved!"}));
  EXPECT_EQ(boxes3, (std::vector<std::string>{"Setting data saved!"}));
  EXPECT_EQ(firstSaveLeft, "0");  // a first batch starts the file's series
  EXPECT_EQ(keptAfterSameBatch, "1");
  EXPECT_EQ(reloadedTarget, "12.35");
  EXPECT_EQ(reloadedLimit, "");  // 0.0001 is stored as 0
  EXPECT_EQ(reloadedBatch, "l\u20182");
  EXPECT_EQ(boxes4, (std::vector<std::string>{"Please input digits for deviation value of QC parameters!"}));
  EXPECT_EQ(boxes5, (std::vector<std::string>{"Setting data saved!"}));
  EXPECT_EQ(Scalar("select count(*) from LJQCSet where QcFileNo=3"), "1");
  EXPECT_EQ(Scalar("select BatchNo || '|' || ExpDate || '|' || WBCRV || '|' || WBCLV || '|' || Out3SD || '|' || Q1 || Q20 "
                   "from LJQCSet"),
            "L3|2030-01-31|12.35|0.2|0|11");
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=3"), "0");
}

TEST_F(LjSettings, ParameterAndRuleChoiceOnAFileWithoutARowAndDelete) {
  // The rule choice creates the row (all parameters chosen); the parameter choice then updates
  // it; Delete removes the row and the results.
  Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(1,'2026-01-02','08:00:00',7.4)");
  qc::CLJQCSet screen(nullptr);
  std::vector<std::string> deleted;
  int rowsAfterRules = -1;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::IDC_LJS_RULES);
                            s.Press(qc::IDC_RULE_CHECK0 + 3);  // 7Side
                            s.Press(ui::IDOK);
                            rowsAfterRules = std::atoi(Scalar("select count(*) from LJQCSet").c_str());
                            s.Press(qc::IDC_LJS_ITEMS);
                            s.Press(qc::IDC_PARA_CHECK0 + 10);  // MCV off
                            s.Press(ui::IDOK);
                            s.Press(qc::IDC_LJS_DELETE);
                            deleted = DrainBoxes(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(rowsAfterRules, 1);
  EXPECT_EQ(screen.qFlags()[10], 0);
  EXPECT_EQ(deleted, (std::vector<std::string>{"Are you sure to delete data of current QC file?", "Data of QC file deleted!"}));
  EXPECT_EQ(Scalar("select count(*) from LJQCSet"), "0");
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult"), "0");
}

TEST_F(LjSettings, ChoicesWrittenByTheDialogs) {
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,Q13,Q14) values(2,'B','2030-01-01',1,1)");
  qc::CLJQCParaSet para(nullptr);
  para.SetQcFileNo(2);
  ASSERT_TRUE(d.RunScript([&] { para.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::IDC_PARA_CHECK0 + 13);  // RDW-SD off
                            s.Press(ui::IDOK);
                          }));
  // RDW-SD is Q14, RDW-CV (Q13) stays as shown; Q1 was NULL and was shown unchecked.
  EXPECT_EQ(Scalar("select Q13 || Q14 || Q1 from LJQCSet where QcFileNo=2"), "100");
  qc::CWestgard rules(nullptr);
  rules.SetQcFileNo(9);
  ASSERT_TRUE(d.RunScript([&] { rules.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Key(ui::VK_ESCAPE);  // swallowed
                            s.Press(qc::IDC_RULE_CHECK0 + 3);
                            s.Press(ui::IDOK);
                          }));
  EXPECT_EQ(Scalar("select Out3SD || \"2Out2SD\" || \"5SideSDTo2SD\" || \"7Side\" || Q1 || Q20 || BatchNo || '|' || WBCRV "
                   "from LJQCSet where QcFileNo=9"),
            "000111|0.0");
}

TEST_F(LjSettings, TextRecordOfTheSettings) {
  std::array<std::string, 40> v;
  std::array<std::string, 20> u;
  for (auto& x : u) x = "%";
  const std::string r = qc::LjSettingsTextRecord(2, "A1", "2030-01-31", v, u);
  ASSERT_EQ(r.rfind("LJS,2,A1,2030-01-31,,,%,", 0), 0u);
  // The checksum: the sum of the bytes before it.
  const std::string body = r.substr(0, r.find(",TRANSFER FINISH"));
  const std::string fields = body.substr(0, body.find_last_of(',') + 1);
  unsigned sum = 0;
  for (unsigned char c : fields) sum += c;
  EXPECT_EQ(body.substr(fields.size()), std::to_string(sum & 0xFFFF));
  EXPECT_EQ(r.substr(r.size() - 16), ",TRANSFER FINISH");
}

class LjList : public QcScreenTest {};

TEST_F(LjList, PickedRunsAreDeletedTargetsNeverAndEveryRunHasAColumn) {
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,WBCRV,WBCLV,HCTRV,HCTLV) values(6,'L','2030-01-01',7.5,0,40,1.5)");
  std::string sql = "insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC,HCT) values";
  for (int i = 1; i <= 105; ++i)
    sql += StrPrintf("%s(6,'2026-02-01','%.2d:%.2d:00',%d,%d)", i > 1 ? "," : "", i / 60, i % 60, i, i == 2 ? -1 : 0);
  Sql(sql);
  qc::CLJQCList list(nullptr);
  list.QcFileNo = 6;
  std::string target, limit, hctTarget, run105, run2Hct, run1Wbc, col4After, col4NoAfter;
  std::vector<std::string> boxes, logical;
  ASSERT_TRUE(d.RunScript([&] { list.DoModal(); },
                          [&](ui::TestDriver& s) {
                            CGridCtrl& g = list.grid();
                            target = g.GetItemText(3, 1);
                            limit = g.GetItemText(3, 2);
                            hctTarget = g.GetItemText(12, 1);
                            run105 = g.GetItemText(3, 107);
                            run2Hct = g.GetItemText(12, 4);
                            run1Wbc = g.GetItemText(3, 3);
                            // The targets column selected: refused.
                            s.RunUntil([&] { g.SetSelectedRange(3, 1, 3, 1); return true; });
                            s.Press(qc::IDC_LJ_LIST_DELETE);
                            logical = DrainBoxes(s);
                            // Columns 1, 4 and 6 picked (the targets column among them): runs 2 and 4 go.
                            s.RunUntil([&] {
                              g.SetSelectedRange(0, 4, 22, 4);
                              return true;
                            });
                            s.RunUntil([&] {
                              // The picks as Ctrl+clicks on the headings leave them.
                              g.SetPickedColumns({1, 4, 6});
                              return true;
                            });
                            s.Press(qc::IDC_LJ_LIST_DELETE);
                            boxes = DrainBoxes(s);
                            col4After = g.GetItemText(3, 4);
                            col4NoAfter = g.GetItemText(0, 4);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(target, "7.50");
  EXPECT_EQ(limit, "");  // 0 shows empty
  EXPECT_EQ(hctTarget, "40.00");
  EXPECT_EQ(run105, "105");  // run 105 has a column
  EXPECT_EQ(run2Hct, "");    // a negative value shows empty
  EXPECT_EQ(run1Wbc, "1");
  EXPECT_EQ(logical, (std::vector<std::string>{"Please select a logical range!"}));
  EXPECT_EQ(boxes, (std::vector<std::string>{"Are you sure to delete selected data?"}));
  EXPECT_EQ(col4After, "3");
  EXPECT_EQ(col4NoAfter, "2");  // the heading numbers count the results again
  EXPECT_EQ(list.runCount(), 103);
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=6"), "103");
  EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=6 and WBC in (2,4)"), "0");
  EXPECT_EQ(qc::PickedRunColumns({1, 2, 3, 5, 200}, 10), (std::vector<int>{3, 5}));
}

}  // namespace

namespace {

TEST_F(LjSettings, ASaveTheDataStoreRefusesIsNotAnnounced) {
  Sql("create table LJQCSetKept as select * from LJQCSet");
  Sql("drop table LJQCSet");
  qc::CLJQCSet screen(nullptr);
  std::vector<std::string> boxes, again;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            DrainBoxes(s);  // the failed load at opening
                            Fill(s, "B1", "2030", "1", "31");
                            for (int p = 0; p < 20; ++p) {
                              SetValue(s, qc::kTargetEditIds[p], "1");
                              SetValue(s, qc::kLimitEditIds[p], "0.1");
                            }
                            s.Press(qc::IDC_LJS_SAVE);
                            boxes = DrainBoxes(s);
                            // The same input once the table is back: saved and announced.
                            Sql("create table LJQCSet as select * from LJQCSetKept");
                            s.Press(qc::IDC_LJS_SAVE);
                            again = DrainBoxes(s);
                            s.Press(ui::IDCANCEL);
                          }));
  for (const std::string& b : boxes) EXPECT_NE(b, "Setting data saved!");
  EXPECT_EQ(again, (std::vector<std::string>{"Setting data saved!"}));
}

}  // namespace

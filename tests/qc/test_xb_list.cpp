// The X-B list: pages of 200 with the newest first, every result reachable, targets from the
// settings, deletion of picked results.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "qc/xb_qc_list.h"
#include "qc_screen_fixture.h"

namespace {

TEST(XbList, PageCounts) {
  EXPECT_EQ(qc::XbPageCount(0), 1);
  EXPECT_EQ(qc::XbPageCount(200), 1);
  EXPECT_EQ(qc::XbPageCount(201), 2);
  EXPECT_EQ(qc::XbPageCount(400), 2);  // an exact multiple fills its last page
  EXPECT_EQ(qc::XbPageCount(450), 3);
}

class XbListScreen : public QcScreenTest {
 protected:
  void AddPoints(int n) {
    std::string sql = "insert into XBQCRunResult(TestDate,TestTime,WBC,RBC) values";
    for (int i = 1; i <= n; ++i)
      sql += StrPrintf("%s('2026-04-01','%.2d:%.2d:%.2d',%d,-2)", i > 1 ? "," : "", i / 3600, (i / 60) % 60, i % 60, i);
    Sql(sql);
  }
};

TEST_F(XbListScreen, OpensOnTheNewestPageAndPagesAround) {
  AddPoints(450);
  Sql("delete from XBQCSet");
  std::string cols = "20,0,7.5,0.5";
  for (int i = 1; i < 20; ++i) cols += ",0,0";
  for (int i = 0; i < 20; ++i) cols += ",1";
  Sql("insert into XBQCSet values(" + cols + ")");
  qc::CXBQCList list(nullptr);
  int openPage = 0, nextPage = 0, prevPage = 0;
  std::string firstOnOpen, last50, none51, target, limit, rbc, firstOnNext, lastOnNext;
  ASSERT_TRUE(d.RunScript([&] { list.DoModal(); },
                          [&](ui::TestDriver& s) {
                            CGridCtrl& g = list.grid();
                            openPage = list.page();
                            firstOnOpen = g.GetItemText(3, 3);
                            last50 = g.GetItemText(3, 52);
                            none51 = g.GetItemText(3, 53);
                            target = g.GetItemText(3, 1);
                            limit = g.GetItemText(3, 2);
                            rbc = g.GetItemText(10, 3);
                            s.Press(qc::IDC_XB_LIST_NEXT);
                            nextPage = list.page();
                            firstOnNext = g.GetItemText(3, 3);
                            lastOnNext = g.GetItemText(3, 202);
                            s.Press(qc::IDC_XB_LIST_PREV);
                            prevPage = list.page();
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(openPage, 3);
  EXPECT_EQ(firstOnOpen, "401");
  EXPECT_EQ(last50, "450");
  EXPECT_EQ(none51, "");
  EXPECT_EQ(target, "7.5");
  EXPECT_EQ(limit, "0.5");
  EXPECT_EQ(rbc, "");  // a parameter outside X-B
  EXPECT_EQ(nextPage, 1);
  EXPECT_EQ(firstOnNext, "1");
  EXPECT_EQ(lastOnNext, "200");
  EXPECT_EQ(prevPage, 3);
}

TEST_F(XbListScreen, PickedResultsGoAndTheRangeIsChecked) {
  AddPoints(5);
  qc::CXBQCList list(nullptr);
  std::vector<std::string> logical, asked;
  std::string wbcs;
  ASSERT_TRUE(d.RunScript([&] { list.DoModal(); },
                          [&](ui::TestDriver& s) {
                            CGridCtrl& g = list.grid();
                            s.RunUntil([&] { g.SetSelectedRange(3, 2, 3, 2); return true; });
                            s.Press(qc::IDC_XB_LIST_DELETE);
                            logical = DrainBoxes(s);
                            s.RunUntil([&] {
                              g.SetSelectedRange(0, 4, 22, 4);
                              g.SetPickedColumns({1, 4, 6});
                              return true;
                            });
                            s.Press(qc::IDC_XB_LIST_DELETE);
                            asked = DrainBoxes(s);
                            for (int c = 3; c <= 6; ++c) wbcs += g.GetItemText(3, c) + " ";
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(logical, (std::vector<std::string>{"Please select a logical range!"}));
  EXPECT_EQ(asked, (std::vector<std::string>{"Are you sure to delete selected data?"}));
  EXPECT_EQ(wbcs, "1 3 5  ");
  EXPECT_EQ(list.total(), 3);
  EXPECT_EQ(Scalar("select group_concat(WBC) from (select WBC from XBQCRunResult order by WBC)"), "1.0,3.0,5.0");
}

}  // namespace

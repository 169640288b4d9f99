// The X-R list: one column per result, deletion of picked columns within the stored results
// with the heading numbers counting again, Delete all, an empty file.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "qc/xr_qc_list.h"
#include "qc_screen_fixture.h"

namespace {

class XrList : public QcScreenTest {};

TEST_F(XrList, PickedColumnsGoAndTheOthersMoveLeft) {
  // Seven results of file 4 (WBC 1..7, result 3 without RBC), one of file 5 at the same time.
  for (int i = 1; i <= 7; ++i)
    Sql(StrPrintf("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC,RBC) values(4,'2026-03-01','08:0%d:00',%d,%d)", i,
                  i, i == 3 ? -1 : 4));
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(5,'2026-03-01','08:02:00',9)");
  qc::CXRQCList list(nullptr);
  list.QcFileNo = 4;
  std::string rbc3, heads, wbcs, last;
  std::vector<std::string> outside, asked;
  ASSERT_TRUE(d.RunScript([&] { list.DoModal(); },
                          [&](ui::TestDriver& s) {
                            CGridCtrl& g = list.grid();
                            rbc3 = g.GetItemText(10, 3);
                            s.RunUntil([&] { g.SetSelectedRange(3, 6, 3, 8); return true; });  // past result 7
                            s.Press(qc::IDC_XR_LIST_DELETE);
                            outside = DrainBoxes(s);
                            s.RunUntil([&] {
                              g.SetSelectedRange(0, 2, 22, 2);
                              g.SetPickedColumns({2, 5, 9});  // 9 lies past the results
                              return true;
                            });
                            s.Press(qc::IDC_XR_LIST_DELETE);
                            asked = DrainBoxes(s);
                            for (int c = 1; c <= 6; ++c) {
                              heads += g.GetItemText(0, c) + " ";
                              wbcs += g.GetItemText(3, c) + " ";
                            }
                            last = g.GetItemText(0, 600);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(rbc3, "");
  EXPECT_EQ(outside, (std::vector<std::string>{"Please select a logical range!"}));
  EXPECT_EQ(asked, (std::vector<std::string>{"Are you sure to delete selected data?"}));
  EXPECT_EQ(wbcs, "1 3 4 6 7  ");
  EXPECT_EQ(heads, "1 2 3 4 5 6 ");
  EXPECT_EQ(last, "600");
  EXPECT_EQ(list.resultCount(), 5);
  EXPECT_EQ(Scalar("select group_concat(WBC) from (select WBC from XRQCRunResult where QcFileNo=4 order by WBC)"),
            "1.0,3.0,4.0,6.0,7.0");
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=5"), "1");
}

TEST_F(XrList, DeleteAllAndAnEmptyFile) {
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(6,'2026-03-01','08:00:00',5)");
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(7,'2026-03-01','08:00:00',5)");
  qc::CXRQCList list(nullptr);
  list.QcFileNo = 6;
  std::vector<std::string> first, second;
  std::string cell;
  ASSERT_TRUE(d.RunScript([&] { list.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::IDC_XR_LIST_DELETE);
                            first = DrainBoxes(s);
                            cell = list.grid().GetItemText(3, 1);
                            s.Press(qc::IDC_XR_LIST_DELETE);
                            second = DrainBoxes(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(first, (std::vector<std::string>{"Are you sure to delete all the QC data?"}));
  EXPECT_EQ(cell, "");
  EXPECT_EQ(second, (std::vector<std::string>{"No QC data!"}));
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=6"), "0");
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=7"), "1");
}

}  // namespace

// A QC list's Delete after the operator's taps, drags and Ctrl presses on its run grid: exactly
// the runs still shown selected are deleted.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "qc/xr_qc_list.h"
#include "qc_screen_fixture.h"
#include "tests/support/grid_gestures.h"

using namespace grid_gestures;

namespace {

class QcListGesturesTest : public QcScreenTest {};

}  // namespace

TEST_F(QcListGesturesTest, XrDeleteRemovesTheRunsStillSelected) {
  struct Case {
    const char* what;
    std::vector<Gesture> gestures;
    const char* wbcLeft;  // column c shows the run with WBC c
  };
  const Case cases[] = {
      {"drag along WBC over runs 2 to 4, Ctrl+tap run 3's cell", {Drag(3, 2, 3, 4), CtrlTap(3, 3)},
       "1.0,3.0,5.0,6.0,7.0"},
      {"tap run 2, Ctrl+tap run 4 twice", {Tap(3, 2), CtrlTap(3, 4), CtrlTap(3, 4)}, "1.0,3.0,4.0,5.0,6.0,7.0"},
      {"Ctrl+tap headings 3 and 5, clear, Ctrl+tap heading 4",
       {CtrlTap(0, 3), CtrlTap(0, 5), ClearSelection(), CtrlTap(0, 4)},
       "1.0,2.0,3.0,5.0,6.0,7.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sql("delete from XRQCRunResult");
    for (int i = 1; i <= 7; ++i)
      Sql(StrPrintf("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(4,'2026-03-01','08:0%d:00',%d)", i, i));
    qc::CXRQCList list(nullptr);
    list.QcFileNo = 4;
    std::vector<std::string> asked;
    ASSERT_TRUE(d.RunScript([&] { list.DoModal(); },
                            [&](ui::TestDriver& s) {
                              PerformAll(s, list.grid(), c.gestures);
                              s.Press(qc::IDC_XR_LIST_DELETE);
                              asked = DrainBoxes(s);
                              s.Press(ui::IDCANCEL);
                            }));
    EXPECT_EQ(asked, (std::vector<std::string>{"Are you sure to delete selected data?"}));
    EXPECT_EQ(Scalar("select group_concat(WBC) from (select WBC from XRQCRunResult where QcFileNo=4 order by WBC)"),
              c.wbcLeft);
  }
}

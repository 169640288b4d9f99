// The results browser's Delete after the operator's taps, drags and Ctrl presses on its grid:
// exactly the results still shown selected are deleted.
#include <gtest/gtest.h>

#include <set>

#include "history/history_list.h"
#include "platform/ui/message_box.h"
#include "results_store.h"
#include "tests/support/grid_gestures.h"

using namespace history_test;
using namespace grid_gestures;

namespace {

constexpr int kRows = 20;  // one page; column c shows row kRows - c (newest first)

class BrowserGesturesTest : public StoreTest {
 protected:
  // The store rows left, as "i," for every row 0..kRows-1 still stored.
  std::string RowsLeft() {
    std::string out;
    for (int i = 0; i < kRows; ++i) {
      const StoreRow r = RowOf(i);
      if (Scalar("select count(*) from Person where SampleNo='" + r.sampleNo + "' and TestDate='" + r.testDate + "'") ==
          "1")
        out += std::to_string(i) + ",";
    }
    return out;
  }
  static std::string AllBut(const std::set<int>& gone) {
    std::string out;
    for (int i = 0; i < kRows; ++i)
      if (!gone.count(i)) out += std::to_string(i) + ",";
    return out;
  }
};

}  // namespace

TEST_F(BrowserGesturesTest, DeleteRemovesTheResultsStillSelected) {
  struct Case {
    const char* what;
    std::vector<Gesture> gestures;
    std::set<int> deletedRows;  // store rows: column c is row kRows - c
  };
  const Case cases[] = {
      {"drag along WBC over columns 2 to 4, Ctrl+tap column 3's cell",
       {Drag(3, 2, 3, 4), CtrlTap(3, 3)},
       {kRows - 2, kRows - 4}},
      {"tap column 2, Ctrl+tap column 4 twice", {Tap(3, 2), CtrlTap(3, 4), CtrlTap(3, 4)}, {kRows - 2}},
      {"Ctrl+tap headings 3 and 5, clear, Ctrl+tap heading 4",
       {CtrlTap(0, 3), CtrlTap(0, 5), ClearSelection(), CtrlTap(0, 4)},
       {kRows - 4}},
      {"tap column 2, then the WBC label", {Tap(3, 2), Tap(3, 0)}, {kRows - 2}},
      {"tap column 5, Ctrl+tap column 1, then select columns 2 to 3 as the Select button does",
       {Tap(3, 5), CtrlTap(3, 1), Select(0, 2, 22, 3)},
       {kRows - 2, kRows - 3}},
      {"tap column 2, then Ctrl+tap the HGB label", {Tap(3, 2), CtrlTap(11, 0)}, {kRows - 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sql("delete from Person");
    BuildStore(kRows);
    CHistoryList screen;
    std::string question;
    EXPECT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              PerformAll(s, screen.Grid(), c.gestures);
                              s.Press(IDC_HL_DELETE);
                              question = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                              s.Press(ui::IDCANCEL);
                            },
                            120000));
    EXPECT_EQ(question, "Are you sure to delete selected data?");
    EXPECT_EQ(RowsLeft(), AllBut(c.deletedRows));
  }
}

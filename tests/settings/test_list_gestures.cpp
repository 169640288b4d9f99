// The departments list's Delete after the operator's taps on its grid, with Ctrl and Shift
// and on the column headings: exactly the rows shown selected go.
#include <gtest/gtest.h>

#include "controls/message_box_dlg.h"
#include "platform/ui/message_box.h"
#include "settings/dept_set.h"
#include "settings_fixture.h"
#include "tests/support/grid_gestures.h"

using namespace grid_gestures;

namespace {

class SettingsListGesturesTest : public SettingsScreenTest {};

}  // namespace

TEST_F(SettingsListGesturesTest, DeleteRemovesTheRowsStillSelected) {
  struct Case {
    const char* what;
    std::vector<Gesture> gestures;
    const char* left;  // the departments kept, renumbered
  };
  const Case cases[] = {
      {"a row, then a tap on a column heading", {Tap(2, 1), Tap(0, 1)}, "1:A|2:C|3:D|4:E|"},
      {"a row, then the heading of the number column", {Tap(3, 1), Tap(0, 0)}, "1:A|2:B|3:D|4:E|"},
      {"rows 1 to 3 by Shift, row 2 taken out by Ctrl", {Tap(1, 1), ShiftTap(3, 1), CtrlTap(2, 1)},
       "1:B|2:D|3:E|"},
      {"rows 2 and 4 by Ctrl, then a Ctrl+tap on a heading", {Tap(2, 1), CtrlTap(4, 1), CtrlTap(0, 1)},
       "1:A|2:C|3:E|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Sql("delete from Department");
    Sql("insert into Department values(1,'A'),(2,'B'),(3,'C'),(4,'D'),(5,'E')");
    CDeptSet screen;
    std::string question;
    EXPECT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      PerformAll(s, screen.Grid(), c.gestures);
      s.Press(IDC_DEPT_DELETE);
      question = s.MessageBoxText();
      s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
      s.Press(ui::IDCANCEL);
    }));
    EXPECT_EQ(question, "Are you sure to delete the selected department's information?");
    EXPECT_EQ(Scalar("select coalesce(group_concat(line, ''), '') from (select SeqNo || ':' || Dept || '|' as line "
                     "from Department order by SeqNo)"),
              c.left);
  }
}

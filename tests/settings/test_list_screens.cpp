// The departments and doctors screens driven offscreen: append, modify and delete store at once
// and the list always shows what the table holds, also after the engine refused a change.
#include <gtest/gtest.h>

#include "controls/message_box_dlg.h"
#include "core/db_errors.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "settings/dept_set.h"
#include "settings/doctor_set.h"
#include "settings_fixture.h"

namespace {

class ListsTest : public SettingsScreenTest {
 protected:
  template <class Screen>
  void Run(const std::function<void(ui::TestDriver&, Screen&)>& script) {
    Screen screen;
    const bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      script(s, screen);
      s.Press(ui::IDCANCEL);
    });
    EXPECT_TRUE(ok);
  }
  // Clicks the name cell of grid row `row` (1 = first data row).
  static void ClickRow(ui::TestDriver& s, CGridCtrl& grid, int row) {
    draw::Rect r;
    ASSERT_TRUE(grid.ComputeCellRect(row, 1, &r)) << row;
    s.ClickAt(grid.ClientToScreen(ui::Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  }
  // The grid as "no:cells|..." and the table the same way, in SeqNo order.
  static std::string GridText(CGridCtrl& g) {
    std::string out;
    for (int r = 1; r < g.GetRowCount(); ++r) {
      out += g.GetItemText(r, 0) + ":";
      for (int c = 1; c < g.GetColumnCount(); ++c) out += (c > 1 ? "," : "") + g.GetItemText(r, c);
      out += "|";
    }
    return out;
  }
  std::string TableText(const char* table, const char* columns) {
    return Scalar(std::string("select coalesce(group_concat(line, ''), '') from (select SeqNo || ':' || ") + columns +
                  " || '|' as line from " + table + " order by SeqNo)");
  }
  static void AnswerQuestion(ui::TestDriver& s, int answer) {
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, answer));
  }
};

TEST_F(ListsTest, DepartmentsAppendRefuseDuplicatesAndKeepApostrophesSafe) {
  Sql("delete from Department");
  struct Step {
    const char* typed;
    const char* message;
  } steps[] = {
      {"Cardiology", ""},
      {"Cardiology", "The department has existed!"},
      {"cardiology", ""},  // letter case counts
      {"   ", "Department's name can not be null!"},
      {"  O'Neil ward ", ""},
      {"O'Neil ward", "The department has existed!"},
  };
  Run<CDeptSet>([&](ui::TestDriver& s, CDeptSet& screen) {
    EXPECT_EQ(screen.Grid().GetRowCount(), 1);  // the header only
    for (const Step& st : steps) {
      SetText(s, IDC_DEPT_NAME, st.typed);
      s.Press(IDC_DEPT_APPEND);
      EXPECT_EQ(TakeMessage(s), st.message) << st.typed;
    }
    EXPECT_EQ(GridText(screen.Grid()), "1:Cardiology|2:cardiology|3:O\u2018Neil ward|");
    s.Key(ui::VK_ESCAPE);  // swallowed
  });
  EXPECT_EQ(TableText("Department", "Dept"), "1:Cardiology|2:cardiology|3:O\u2018Neil ward|");
}

TEST_F(ListsTest, DepartmentsModifyAndDeleteRenumber) {
  Sql("delete from Department");
  Sql("insert into Department values(1,'A'),(2,'B'),(3,'C'),(4,'D')");
  Run<CDeptSet>([&](ui::TestDriver& s, CDeptSet& screen) {
    s.Press(IDC_DEPT_MODIFY);
    EXPECT_EQ(TakeMessage(s), "Please select a row of data!");
    s.Press(IDC_DEPT_DELETE);
    EXPECT_EQ(TakeMessage(s), "Please select a row of data at least!");
    ClickRow(s, screen.Grid(), 2);
    EXPECT_EQ(s.Text(IDC_DEPT_NAME), "B");
    SetText(s, IDC_DEPT_NAME, "Bee");
    s.Press(IDC_DEPT_MODIFY);
    EXPECT_EQ(TakeMessage(s), "");
    SetText(s, IDC_DEPT_NAME, "");  // an empty box keeps the name
    s.Press(IDC_DEPT_MODIFY);
    EXPECT_EQ(GridText(screen.Grid()), "1:A|2:Bee|3:C|4:D|");
    s.Press(IDC_DEPT_DELETE);
    EXPECT_EQ(s.MessageBoxText(), "Are you sure to delete the selected department's information?");
    AnswerQuestion(s, ui::IDCANCEL);
    EXPECT_EQ(GridText(screen.Grid()), "1:A|2:Bee|3:C|4:D|");
    s.Press(IDC_DEPT_DELETE);
    AnswerQuestion(s, ui::IDOK);
    EXPECT_EQ(GridText(screen.Grid()), "1:A|2:C|3:D|");
    EXPECT_EQ(s.Text(IDC_DEPT_NAME), "");
    screen.Grid().SetSelectedRange(1, 1, 2, 1);  // two rows at once
    s.Press(IDC_DEPT_DELETE);
    AnswerQuestion(s, ui::IDOK);
    EXPECT_EQ(GridText(screen.Grid()), "1:D|");
    SetText(s, IDC_DEPT_NAME, "E");
    s.Press(IDC_DEPT_APPEND);
  });
  EXPECT_EQ(TableText("Department", "Dept"), "1:D|2:E|");
  // A new screen lists what is stored.
  Run<CDeptSet>([&](ui::TestDriver&, CDeptSet& screen) { EXPECT_EQ(GridText(screen.Grid()), "1:D|2:E|"); });
}

TEST_F(ListsTest, DepartmentsListFollowsTheTableWhenTheEngineRefuses) {
  Sql("delete from Department");
  Sql("insert into Department values(1,'A'),(2,'B'),(3,'C')");
  Sql("create table Refuse(x)");
  Sql("create trigger ri before insert on Department when (select count(*) from Refuse) > 0 "
      "begin select raise(abort, 'no insert'); end");
  Sql("create trigger ru before update on Department when (select count(*) from Refuse) > 0 "
      "begin select raise(abort, 'no update'); end");
  Sql("create trigger rd before delete on Department when old.Dept = 'C' and (select count(*) from Refuse) > 0 "
      "begin select raise(abort, 'no delete'); end");
  Sql("insert into Refuse values(1)");
  ClearRecentDbErrors();
  Run<CDeptSet>([&](ui::TestDriver& s, CDeptSet& screen) {
    SetText(s, IDC_DEPT_NAME, "New");
    s.Press(IDC_DEPT_APPEND);
    EXPECT_EQ(GridText(screen.Grid()), "1:A|2:B|3:C|");
    ClickRow(s, screen.Grid(), 1);
    SetText(s, IDC_DEPT_NAME, "Changed");
    s.Press(IDC_DEPT_MODIFY);
    EXPECT_EQ(GridText(screen.Grid()), "1:A|2:B|3:C|");
    screen.Grid().SetSelectedRange(2, 1, 3, 1);  // B deletes, C is refused: neither goes
    s.Press(IDC_DEPT_DELETE);
    AnswerQuestion(s, ui::IDOK);
    EXPECT_EQ(GridText(screen.Grid()), "1:A|2:B|3:C|");
  });
  EXPECT_EQ(RecentDbErrors().size(), 3u);
  EXPECT_EQ(TableText("Department", "Dept"), "1:A|2:B|3:C|");
}

TEST_F(ListsTest, DoctorsAppendByNameAndDepartmentWithTheirRoles) {
  Sql("delete from Doctor");
  Sql("delete from Department");
  Sql("insert into Department values(1,'Surgery West'),(2,'Surgery')");
  Run<CDoctorSet>([&](ui::TestDriver& s, CDoctorSet& screen) {
    auto* dept = dynamic_cast<ui::ComboBox*>(s.Find(IDC_DOC_DEPT));
    ASSERT_NE(dept, nullptr);
    EXPECT_EQ(dept->GetCount(), 2);
    SetText(s, IDC_DOC_NAME, "Li");
    Pick(s, IDC_DOC_DEPT, "Surgery");
    s.Press(IDC_DOC_APPLICANT);
    s.Press(IDC_DOC_VERIFIER);
    s.Press(IDC_DOC_APPEND);
    EXPECT_EQ(TakeMessage(s), "");
    s.Press(IDC_DOC_APPEND);
    EXPECT_EQ(TakeMessage(s), "There is the same name in the department!");
    Pick(s, IDC_DOC_DEPT, "Surgery West");  // the same name in another department
    s.Press(IDC_DOC_APPEND);
    EXPECT_EQ(TakeMessage(s), "");
    SetText(s, IDC_DOC_NAME, "li");
    Pick(s, IDC_DOC_DEPT, "Surgery");
    s.Press(IDC_DOC_APPLICANT);  // off again
    s.Press(IDC_DOC_VERIFIER);
    s.Press(IDC_DOC_APPEND);
    EXPECT_EQ(TakeMessage(s), "");
    SetText(s, IDC_DOC_NAME, "  ");
    s.Press(IDC_DOC_APPEND);
    EXPECT_EQ(TakeMessage(s), "Name can not be null!");
    SetText(s, IDC_DOC_NAME, "O'Hara");
    SetText(s, IDC_DOC_DEPT, "   ");  // a department of blanks is stored empty
    s.Press(IDC_DOC_INSPECTOR);
    s.Press(IDC_DOC_APPEND);
    EXPECT_EQ(GridText(screen.Grid()),
              "1:Li,Surgery,Y,N,Y|2:Li,Surgery West,Y,N,Y|3:li,Surgery,N,N,N|4:O\u2018Hara,,N,Y,N|");
  });
  EXPECT_EQ(TableText("Doctor", "Name||','||Dept||','||Sender||','||Scrutator||','||Checker"),
            "1:Li,Surgery,Y,N,Y|2:Li,Surgery West,Y,N,Y|3:li,Surgery,N,N,N|4:O\u2018Hara,,N,Y,N|");
  // What the patient screen offers in each role.
  EXPECT_EQ(Scalar("select group_concat(Name||'/'||Dept, ';') from Doctor where Sender='Y'"), "Li/Surgery;Li/Surgery West");
  EXPECT_EQ(Scalar("select group_concat(Name, ';') from Doctor where Scrutator='Y'"), "O\u2018Hara");
  EXPECT_EQ(Scalar("select count(*) from Doctor where Dept='Surgery' and Sender='Y'"), "1");
}

TEST_F(ListsTest, DoctorsRowShowsItsOwnDepartmentAndModifyAndDeleteKeepTheListTrue) {
  Sql("delete from Doctor");
  Sql("delete from Department");
  Sql("insert into Department values(1,'Surgery West'),(2,'Surgery')");
  Sql("insert into Doctor values(1,'Li','Surgery','Y','N','Y'),(2,'Wu','Surg','N','Y','N'),(3,'Ng','','N','N','N')");
  Run<CDoctorSet>([&](ui::TestDriver& s, CDoctorSet& screen) {
    ClickRow(s, screen.Grid(), 1);
    EXPECT_EQ(s.Text(IDC_DOC_NAME), "Li");
    EXPECT_EQ(s.Text(IDC_DOC_DEPT), "Surgery");  // not the first entry beginning with it
    EXPECT_TRUE(dynamic_cast<CXPCheckButton*>(s.Find(IDC_DOC_APPLICANT))->checked);
    EXPECT_FALSE(dynamic_cast<CXPCheckButton*>(s.Find(IDC_DOC_INSPECTOR))->checked);
    ClickRow(s, screen.Grid(), 2);
    EXPECT_EQ(s.Text(IDC_DOC_DEPT), "Surg");  // no entry equals it: the text itself
    EXPECT_TRUE(dynamic_cast<CXPCheckButton*>(s.Find(IDC_DOC_INSPECTOR))->checked);
    EXPECT_FALSE(dynamic_cast<CXPCheckButton*>(s.Find(IDC_DOC_APPLICANT))->checked);
    SetText(s, IDC_DOC_NAME, "Wu Fang");
    s.Press(IDC_DOC_MODIFY);
    ClickRow(s, screen.Grid(), 3);
    SetText(s, IDC_DOC_NAME, "");
    SetText(s, IDC_DOC_DEPT, "");  // empty boxes keep the row's name and department
    s.Press(IDC_DOC_MODIFY);
    EXPECT_EQ(GridText(screen.Grid()), "1:Li,Surgery,Y,N,Y|2:Wu Fang,Surg,N,Y,N|3:Ng,,N,N,N|");
    ClickRow(s, screen.Grid(), 1);
    s.Press(IDC_DOC_DELETE);
    EXPECT_EQ(s.MessageBoxText(), "Are you sure to delete the selected doctor's information?");
    AnswerQuestion(s, ui::IDOK);
    EXPECT_EQ(GridText(screen.Grid()), "1:Wu Fang,Surg,N,Y,N|2:Ng,,N,N,N|");
    EXPECT_EQ(s.Text(IDC_DOC_NAME), "");
    EXPECT_EQ(s.Text(IDC_DOC_DEPT), "");
    for (int id : {IDC_DOC_APPLICANT, IDC_DOC_INSPECTOR, IDC_DOC_VERIFIER})
      EXPECT_FALSE(dynamic_cast<CXPCheckButton*>(s.Find(id))->checked) << id;
  });
  EXPECT_EQ(TableText("Doctor", "Name||','||Dept||','||Sender||','||Scrutator||','||Checker"),
            "1:Wu Fang,Surg,N,Y,N|2:Ng,,N,N,N|");
}

TEST_F(ListsTest, ScreenshotsInFiveLanguages) {
  Sql("insert into Department values(1,'Cardiology'),(2,'Surgery')");
  Sql("insert into Doctor values(1,'Li','Surgery','Y','N','Y')");
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    Run<CDeptSet>([&](ui::TestDriver&, CDeptSet&) { Shot(std::string("departments_") + kLanguageNames[lang]); });
    Run<CDoctorSet>([&](ui::TestDriver&, CDoctorSet&) { Shot(std::string("doctors_") + kLanguageNames[lang]); });
  }
}

}  // namespace

// Which row a result of the test screen goes into, driven as an operator drives the screen over
// the board simulator: the values on the screen reach only the row of the sample they were
// counted for, every other row is only re-marked from its own stored texts.
#include <map>

#include "controls/message_box_dlg.h"
#include "core/value_format.h"
#include "counted_sample.h"
#include "measurement/patient/person_info.h"
#include "platform/db/connection.h"
#include "core/data_store.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"

using namespace measurement;

namespace {

using RowColumns = std::map<std::string, std::string>;

// The columns in which two rows differ, "column: a | b" each ("" when they agree).
std::string RowDiff(const RowColumns& a, const RowColumns& b) {
  std::string out;
  auto value = [](const RowColumns& r, const std::string& k) {
    auto it = r.find(k);
    return it == r.end() ? std::string("<missing>") : it->second;
  };
  RowColumns keys = a;
  keys.insert(b.begin(), b.end());
  for (const auto& [k, unused] : keys)
    if (value(a, k) != value(b, k)) out += k + ": " + value(a, k) + " | " + value(b, k) + "\n";
  return out;
}

class ScreenRows : public CountedSampleTest {
 protected:
  // Every stored column of a Person row, by name ("<null>" for a null column).
  RowColumns RowOf(const std::string& sampleNo) {
    RowColumns out;
    db::Connection c;
    if (!c.Open(DatabasePath())) return out;
    auto rs = c.OpenRecordset("select * from Person where SampleNo='" + sampleNo + "' and TestDate='" + Today() +
                              "'");
    if (!rs->IsOpen() || rs->IsEOF()) return out;
    for (int i = 0; i < rs->FieldCount(); ++i)
      out[rs->FieldName(i)] = rs->Field(i).IsNull() ? "<null>" : rs->Field(i).AsText();
    return out;
  }
  static bool OpenProfile(ui::TestDriver& s) {
    s.Press(IDC_PROFILE);
    return s.RunUntil([&] { return ui::FindWindow("", "Sample profile") != nullptr; }, 3000);
  }
  static bool ProfileClosed(ui::TestDriver& s) {
    return s.RunUntil([&] { return ui::FindWindow("", "Sample profile") == nullptr; }, 3000);
  }
  // Chooses sample `number` for the next count in Profile, confirming the retest.
  static bool RetestInProfile(ui::TestDriver& s, const std::string& number) {
    if (!OpenProfile(s)) return false;
    s.Find(IDC_PI_SAMPLE_NO)->SetWindowText(number);
    s.Press(ui::IDOK);
    if (!s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000)) return false;
    s.AnswerMessageBox(ui::IDOK);
    return ProfileClosed(s);
  }
};

// Sample 1 is counted again after sample 2; the next count, on sample 2 (overwrite), is refused
// by the board. The screen shows number 2 and still holds sample 1's values: Profile and Exit
// must leave row 2 as it is, every column; OK with a new group whose ranges are General's only
// renames the group of row 2 (its texts re-marked from themselves stay the same).
TEST_F(ScreenRows, RefusedCountLeavesTheShownNumbersRowAlone) {
  for (const char* table : {"NormalLimits", "PathologyLimits"}) {
    Sql(std::string("create table KindOne as select * from ") + table + " where Kind=0");
    Sql("update KindOne set ID=null, Kind=1");
    Sql(std::string("insert into ") + table + " select * from KindOne");
    Sql("drop table KindOne");
  }
  for (const int close : {ui::IDCANCEL, ui::IDOK}) {
    SCOPED_TRACE(close == ui::IDOK ? "OK" : "Exit");
    Sql("delete from Person");
    CSampleTest screen(nullptr);
    RowColumns one, two, oneAfter, twoAfter, twoBeforeProfile;
    std::string question, shownNumber;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              sim.SetProfile(boardsim::Profile::Normal);
                              ASSERT_TRUE(CountOne(s, screen));
                              sim.SetProfile(boardsim::Profile::Leukocytosis);
                              ASSERT_TRUE(CountOne(s, screen));
                              sim.SetProfile(boardsim::Profile::Normal);
                              ASSERT_TRUE(RetestInProfile(s, "1"));
                              ASSERT_TRUE(CountOne(s, screen));
                              one = RowOf("1");
                              two = RowOf("2");
                              sim.FailNextCount(2);
                              sim.PressCountKey();
                              ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                              question = s.MessageBoxText();
                              s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_YESNOCANCEL, ui::IDNO));  // count it again
                              s.Advance(2000);
                              for (int i = 0; i < 10; ++i) {
                                while (s.MessageBox() != nullptr) s.AnswerMessageBox(ui::IDOK);
                                s.Advance(500);
                              }
                              ASSERT_TRUE(s.RunUntil([&] { return screen.cycle().state() == CycleState::Idle; }));
                              shownNumber = s.Text(IDC_SAMPLE_NO);
                              twoBeforeProfile = RowOf("2");
                              ASSERT_TRUE(OpenProfile(s));
                              if (close == ui::IDOK) s.Find(IDC_PI_GROUP)->SendMessage(ui::CB_SETCURSEL, 1);
                              s.Press(close);
                              ASSERT_TRUE(ProfileClosed(s));
                              oneAfter = RowOf("1");
                              twoAfter = RowOf("2");
                              Leave(s, screen);
                            }));
    EXPECT_EQ(question, "Sample 2 existed, if retest, new result will cover previous result,skip?");
    EXPECT_EQ(shownNumber, "2");
    ASSERT_FALSE(two.empty());
    // The two samples were counted from different blood: their rows differ.
    EXPECT_NE(one.at("WBC"), two.at("WBC"));
    EXPECT_EQ(RowDiff(oneAfter, one), "");
    EXPECT_EQ(RowDiff(twoBeforeProfile, two), "");
    if (close == ui::IDOK) two["ReferValue"] = "Adult male";
    EXPECT_EQ(RowDiff(twoAfter, two), "");
  }
}

}  // namespace

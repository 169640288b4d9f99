// Which row a result of the test screen goes into, driven as an operator drives the screen over
// the board simulator: the values on the screen reach only the row of the sample they were
// counted for, every other row is only re-marked from its own stored texts.
#include <map>

#include "controls/message_box_dlg.h"
#include "core/value_format.h"
#include "counted_sample.h"
#include "measurement/patient/line_adjust.h"
#include "platform/ui/keys.h"
#include "measurement/patient/person_info.h"
#include "measurement/screen/sample_globals.h"
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

// Lines of both charts moved, then the group changed in Profile to one whose ranges put every
// differential and PLT value low, then Enter on each chart: the saved texts carry the " L" of
// the new group, and nothing else of the row changes but the two moved lines.
TEST_F(ScreenRows, EnterAfterAGroupChangeSavesTheNewGroupsMarks) {
  Sql("update SysSetting set IsOpenAjustHistogram=1");
  Sql("create table KindOne as select * from NormalLimits where Kind=0");
  Sql("update KindOne set ID=null, Kind=1, LYMAL=1000, LYMAH=2000, MONAL=1000, MONAH=2000, GRAAL=1000, "
      "GRAAH=2000, LYMPL=1000, LYMPH=2000, MONPL=1000, MONPH=2000, GRAPL=1000, GRAPH=2000, PLTL=10000, "
      "PLTH=20000, MPVL=1000, MPVH=2000, PDWL=1000, PDWH=2000, PCTL=1000, PCTH=2000, PLCRL=1000, PLCRH=2000");
  Sql("insert into NormalLimits select * from KindOne");
  const char* const diffColumns[6] = {"LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP"};
  const char* const pltColumns[5] = {"PLT", "MPV", "PDW", "PCT", "PLCR"};
  CSampleTest screen(nullptr);
  RowColumns afterProfile, afterEnter;
  std::string shown[20], marks[20], boxes;
  double wbcLine = 0, pltLine = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            TouchLine(s, screen, 0, 1);
                            s.Press(IDC_RIGHT_ARROW);
                            wbcLine = LinePosition(s, screen, 0, 1);
                            TouchLine(s, screen, 2, 1);
                            s.Press(IDC_LEFT_ARROW);
                            pltLine = LinePosition(s, screen, 2, 1);
                            ASSERT_TRUE(OpenProfile(s));
                            s.Find(IDC_PI_GROUP)->SendMessage(ui::CB_SETCURSEL, 1);
                            s.Press(ui::IDOK);
                            ASSERT_TRUE(ProfileClosed(s));
                            afterProfile = RowOf("1");
                            for (int i = 0; i < 20; ++i) {
                              shown[i] = s.Text(kValueIds[i]);
                              marks[i] = s.Text(kMarkIds[i]);
                            }
                            s.Key(ui::VK_RETURN);  // the PLT line is still selected
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            boxes = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            TouchLine(s, screen, 0, 1);
                            s.Key(ui::VK_RETURN);
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            boxes += " " + s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            afterEnter = RowOf("1");
                            Leave(s, screen);
                          }));
  EXPECT_EQ(boxes, "PLT Data saved! WBC Data saved!");
  EXPECT_EQ(afterProfile.at("ReferValue"), "Adult male");
  RowColumns expected = afterProfile;
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(marks[1 + k], "L") << diffColumns[k];
    expected[diffColumns[k]] = "!" + shown[1 + k] + " L";
  }
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(marks[15 + k], "L") << pltColumns[k];
    expected[pltColumns[k]] = "!" + shown[15 + k] + " L";
  }
  expected["WMARKER2"] = StrPrintf("%g", wbcLine);
  expected["PMARKER2"] = StrPrintf("%g", pltLine);
  EXPECT_EQ(RowDiff(afterEnter, expected), "");
}

// The store refuses to write the group of the counted sample (OK or Save in Profile with a new
// group), then the operator leaves with Exit: the row keeps its group, its marks and its range
// text, and the test screen keeps the group of the row.
TEST_F(ScreenRows, RefusedGroupSaveLeavesGroupMarksAndRangeTogether) {
  // "Adult male" (Kind 1): the counted WBC of about 7 is high there.
  Sql("create table KindOne as select * from NormalLimits where Kind=0");
  Sql("update KindOne set ID=null, Kind=1, WBCH=5.0");
  Sql("insert into NormalLimits select * from KindOne");
  Sql("drop table KindOne");
  for (const int button : {static_cast<int>(ui::IDOK), static_cast<int>(IDC_PI_SAVE)}) {
    SCOPED_TRACE(button == ui::IDOK ? "OK" : "Save");
    Sql("delete from Person");
    Sql("drop trigger if exists RefuseGroup");
    CSampleTest screen(nullptr);
    RowColumns before, after;
    std::string refusal, wbcMark;
    int group = -1;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              ASSERT_TRUE(CountOne(s, screen));
                              before = RowOf("1");
                              Sql("create trigger RefuseGroup before update of ReferValue on Person "
                                  "begin select raise(abort, 'refused'); end");
                              ASSERT_TRUE(OpenProfile(s));
                              s.Find(IDC_PI_GROUP)->SendMessage(ui::CB_SETCURSEL, 1);
                              s.Press(button);
                              // The store's own error, then the screen's.
                              for (int i = 0; i < 3 && s.RunUntil([&] { return s.MessageBox() != nullptr; }, 1000); ++i) {
                                refusal = s.MessageBoxText();
                                s.AnswerMessageBox(ui::IDOK);
                              }
                              s.Press(ui::IDCANCEL);
                              ASSERT_TRUE(ProfileClosed(s));
                              while (s.MessageBox() != nullptr) s.AnswerMessageBox(ui::IDOK);
                              after = RowOf("1");
                              wbcMark = s.Text(kMarkIds[0]);
                              s.RunUntil([&] {
                                group = screen.groupIndex();
                                return true;
                              });
                              Leave(s, screen);
                            }));
    EXPECT_EQ(refusal, "The data could not be saved!");
    ASSERT_EQ(before.at("ReferValue"), "General");
    EXPECT_EQ(RowDiff(after, before), "");
    EXPECT_EQ(group, 0);
    EXPECT_EQ(wbcMark, "");
    EXPECT_EQ(CurrentSample.ReferValue, "General");
  }
}

// Today's highest number is 99999998: the screen counts 99999999. The next key press asks about
// 99999999 again; Yes has no number to go to and counts nothing (the stored result stays, no
// sample 100000000), No counts 99999999 again.
TEST_F(ScreenRows, TheHighestSampleNumberIsAskedAndNeverPassed) {
  Sql("insert into Person (SampleNo, TestDate, TestTime, WBC) values ('99999998','" + Today() + "','08:00:00','5.00')");
  CSampleTest screen(nullptr);
  RowColumns counted, afterYes, afterNo;
  std::string shownFirst, question1, refusal, question2, shownAfterYes;
  bool startedAfterYes = true;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim.SetProfile(boardsim::Profile::Normal);
                            ASSERT_TRUE(CountOne(s, screen));
                            shownFirst = s.Text(IDC_SAMPLE_NO);
                            counted = RowOf("99999999");
                            const size_t before = sim.ReceivedCount();
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            question1 = s.MessageBoxText();
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_YESNOCANCEL, ui::IDYES));
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            refusal = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            s.Advance(1000);
                            startedAfterYes = ReceivedSince(before, "AA 01");
                            shownAfterYes = s.Text(IDC_SAMPLE_NO);
                            afterYes = RowOf("99999999");
                            sim.SetProfile(boardsim::Profile::Leukocytosis);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            question2 = s.MessageBoxText();
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_YESNOCANCEL, ui::IDNO));
                            ASSERT_TRUE(s.RunUntil(
                                [&] { return screen.hasResult() == 2 && screen.cycle().state() == CycleState::Idle && screen.ready(); },
                                15000));
                            afterNo = RowOf("99999999");
                            Leave(s, screen);
                          }));
  EXPECT_EQ(shownFirst, "99999999");
  EXPECT_EQ(question1, "Sample 99999999 existed, if retest, new result will cover previous result,skip?");
  EXPECT_EQ(refusal, "Sample no. cannot exceed 99999999! Choose the number with Profile.");
  EXPECT_FALSE(startedAfterYes);
  EXPECT_EQ(shownAfterYes, "99999999");
  EXPECT_EQ(RowDiff(afterYes, counted), "");
  EXPECT_EQ(question2, question1);
  ASSERT_FALSE(afterNo.empty());
  EXPECT_NE(afterNo.at("WBC"), counted.at("WBC"));  // counted again, from the other blood
  EXPECT_EQ(Scalar("select count(*) from Person where cast(SampleNo as integer) > 99999999"), "0");
  EXPECT_EQ(Scalar("select count(*) from Person"), "2");
}

// In Profile the operator steps back to sample 1, counted before the shown sample 2, and saves
// it under a new group: its row takes the group with the marks and the range text of that
// group, as the shown sample's row does.
TEST_F(ScreenRows, AnotherCountedSampleSavedUnderANewGroupIsReMarked) {
  Sql("create table KindOne as select * from NormalLimits where Kind=0");
  Sql("update KindOne set ID=null, Kind=1, WBCH=5.0");  // Adult male: a WBC of about 7 is high
  Sql("insert into NormalLimits select * from KindOne");
  Sql("drop table KindOne");
  CSampleTest screen(nullptr);
  RowColumns before, after, twoBefore, twoAfter;
  std::string saved;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            before = RowOf("1");
                            twoBefore = RowOf("2");
                            ASSERT_TRUE(OpenProfile(s));
                            s.Find(IDC_PI_SAMPLE_NO)->SetWindowText("1");
                            s.Find(IDC_PI_GROUP)->SendMessage(ui::CB_SETCURSEL, 1);
                            s.Press(IDC_PI_SAVE);
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            saved = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            s.Press(ui::IDCANCEL);
                            ASSERT_TRUE(ProfileClosed(s));
                            after = RowOf("1");
                            twoAfter = RowOf("2");
                            Leave(s, screen);
                          }));
  EXPECT_EQ(saved, "Data saved!");
  ASSERT_FALSE(before.empty());
  ASSERT_EQ(before.at("WBC").find(' '), std::string::npos) << before.at("WBC");  // no mark for General
  ASSERT_EQ(before.at("RefText").rfind("4.00-10.00,", 0), 0u) << before.at("RefText");
  RowColumns expected = before;
  expected["ReferValue"] = "Adult male";
  expected["WBC"] = before.at("WBC") + " H";
  expected["RefText"] = "4.00-5.00," + before.at("RefText").substr(std::string("4.00-10.00,").size());
  EXPECT_EQ(RowDiff(after, expected), "");
  EXPECT_EQ(RowDiff(twoAfter, twoBefore), "");
}

}  // namespace

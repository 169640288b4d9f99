// The test screen's Profile button over the board simulator: the patient screen opens over the
// test screen, what the operator enters there comes back into the header, the row and the
// marks, another (already counted) sample number becomes the next count's without a question; an open patient screen follows the
// counts, and its open question keeps the board's bytes out.
#include "core/value_format.h"
#include "counted_sample.h"
#include "measurement/patient/person_info.h"
#include "measurement/patient/profile_flags.h"
#include "measurement/result_globals.h"
#include "measurement/screen/sample_globals.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"

using namespace measurement;

namespace {

class ProfileButton : public CountedSampleTest {
 protected:
  void SetUp() override {
    CountedSampleTest::SetUp();
    ProfileRegrouped = 0;
    DiscardBoardInput = 0;
    ProfileSaveHold = 0;
  }
  void TearDown() override {
    DiscardBoardInput = 0;
    CountedSampleTest::TearDown();
  }
  std::string Row(const std::string& column, const std::string& sampleNo = "1") {
    return Scalar("select " + column + " from Person where SampleNo='" + sampleNo + "' and TestDate='" + Today() +
                  "'");
  }
  // Presses Profile and waits for the patient screen.
  static bool OpenProfile(ui::TestDriver& s) {
    s.Press(IDC_PROFILE);
    return s.RunUntil([&] { return ui::FindWindow("", "Sample profile") != nullptr; }, 3000);
  }
  static void TypeInto(ui::TestDriver& s, int id, const std::string& text) {
    s.Press(id);
    s.Type(text);
  }
};

TEST_F(ProfileButton, NameAndGroupOfTheCountedSampleComeBackAndAreStored) {
  // The group "Adult male" (Kind 1) has a WBC range that the count of 7 exceeds.
  Sql("create table KindOne as select * from NormalLimits where Kind=0");
  Sql("update KindOne set ID=null, Kind=1, WBCH=5.0");
  Sql("insert into NormalLimits select * from KindOne");
  CSampleTest screen(nullptr);
  std::string shownNumber, name, wbcMarkBefore, wbcMark, storedWbcBefore;
  int group = -1;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            wbcMarkBefore = s.Text(kMarkIds[0]);
                            storedWbcBefore = Row("WBC");
                            ASSERT_TRUE(OpenProfile(s));
                            shownNumber = s.Text(IDC_PI_SAMPLE_NO);
                            TypeInto(s, IDC_PI_NAME, "Taras Shevchenko");
                            s.Find(IDC_PI_GROUP)->SendMessage(ui::CB_SETCURSEL, 1);
                            s.Press(ui::IDOK);
                            ASSERT_TRUE(s.RunUntil([&] { return ui::FindWindow("", "Sample profile") == nullptr; }));
                            name = s.Text(IDC_NAME);
                            wbcMark = s.Text(kMarkIds[0]);
                            s.RunUntil([&] {
                              group = screen.groupIndex();
                              return true;
                            });
                            Shot("profile_back_on_test_screen_en");
                            Leave(s, screen);
                          }));
  EXPECT_EQ(shownNumber, "1");
  EXPECT_EQ(name, "Taras Shevchenko");
  EXPECT_EQ(CurrentSample.Name, "Taras Shevchenko");
  EXPECT_EQ(Row("Name"), "Taras Shevchenko");
  EXPECT_EQ(Row("ReferValue"), "Adult male");
  EXPECT_EQ(group, 1);
  // The shown result is marked for the new group, on the screen and in its row.
  EXPECT_EQ(wbcMarkBefore, "");
  EXPECT_EQ(wbcMark, "H");
  EXPECT_EQ(Row("WBC"), storedWbcBefore + " H");
  EXPECT_NE(Row("RefText").find("5.00"), std::string::npos) << Row("RefText");
}

TEST_F(ProfileButton, AnotherSampleNumberBecomesTheNextCount) {
  CSampleTest screen(nullptr);
  std::string shown, wbcText, retestQuestion, question;
  int ink = -1;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            // Sample 5 was counted before; it is chosen for the next count,
                            // which is to replace its result.
                            Sql("insert into Person (SampleNo, TestDate, TestTime, WBC) values ('5','" + Today() +
                                "','08:00:00','5.00')");
                            ASSERT_TRUE(OpenProfile(s));
                            s.Find(IDC_PI_SAMPLE_NO)->SetWindowText("5");
                            TypeInto(s, IDC_PI_NAME, "Next patient");
                            s.Press(ui::IDOK);
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            retestQuestion = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            ASSERT_TRUE(s.RunUntil([&] { return ui::FindWindow("", "Sample profile") == nullptr; }));
                            shown = s.Text(IDC_SAMPLE_NO);
                            wbcText = s.Text(kValueIds[0]);
                            ink = InkIn(s, kValueIds[0]);
                            ASSERT_TRUE(CountOne(s, screen));
                            if (s.MessageBox()) question = s.MessageBoxText();
                            Leave(s, screen);
                          }));
  EXPECT_EQ(retestQuestion, "Sample existed, if retest, new result will cover previous result!");
  EXPECT_EQ(shown, "5");
  EXPECT_EQ(wbcText, "");  // the result of sample 1 is no longer shown, not even its pixels
  EXPECT_EQ(ink, 0);
  EXPECT_EQ(question, "");
  EXPECT_EQ(Row("Name", "5"), "Next patient");
  EXPECT_NE(Row("WBC", "5"), "");
  EXPECT_NE(Row("WBC", "5"), "5.00");
  EXPECT_EQ(CurrentSample.SampleNo, "5");
  EXPECT_EQ(Scalar("select count(*) from Person"), "2");
}

TEST_F(ProfileButton, OpenPatientScreenFollowsTheCount) {
  CSampleTest screen(nullptr);
  bool editableBefore = false, editableDuring = true, editableAfter = false;
  std::string numberDuring;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(OpenProfile(s));
                            editableBefore = s.Enabled(IDC_PI_SAMPLE_NO);
                            s.Find(IDC_PI_SAMPLE_NO)->SetWindowText("7");
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.ready(); }, 3000));
                            editableDuring = s.Enabled(IDC_PI_SAMPLE_NO);
                            numberDuring = s.Text(IDC_PI_SAMPLE_NO);
                            ASSERT_TRUE(s.RunUntil(
                                [&] { return screen.hasResult() > 0 && screen.ready() && s.Enabled(IDC_PI_SAMPLE_NO); },
                                15000));
                            editableAfter = s.Enabled(IDC_PI_SAMPLE_NO);
                            s.Press(ui::IDCANCEL);
                            ASSERT_TRUE(s.RunUntil([&] { return ui::FindWindow("", "Sample profile") == nullptr; }));
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(editableBefore);
  EXPECT_FALSE(editableDuring);
  EXPECT_EQ(numberDuring, "1");  // the counting sample, whatever was typed
  EXPECT_TRUE(editableAfter);
  EXPECT_NE(Row("WBC"), "");
}

TEST_F(ProfileButton, BoardBytesAreDroppedWhileThePatientScreenAsks) {
  CSampleTest screen(nullptr);
  size_t before = 0;
  bool startedWhileAsking = true, startedAfter = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.RunUntil([&] {
                              DiscardBoardInput = 1;
                              return true;
                            });
                            before = sim.ReceivedCount();
                            sim.PressCountKey();
                            s.RunUntil([] { return false; }, 300);
                            startedWhileAsking = ReceivedSince(before, "AA 01");
                            s.RunUntil([&] {
                              DiscardBoardInput = 0;
                              return true;
                            });
                            ASSERT_TRUE(CountOne(s, screen));
                            startedAfter = ReceivedSince(before, "AA 01");
                            Leave(s, screen);
                          }));
  EXPECT_FALSE(startedWhileAsking);
  EXPECT_TRUE(startedAfter);
}

}  // namespace

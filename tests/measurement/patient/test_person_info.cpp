// The patient-information screen worked as an operator would: the input checks and what a save
// stores, stepping through sample numbers, the retest question, re-flagging on a new group, the
// group list's enabled state, keys, the messages of the test screen and the LIS, and its looks.
#include <gtest/gtest.h>

#include "core/lis_link_state.h"
#include "core/value_format.h"
#include "measurement/patient/lis_profile.h"
#include "measurement/patient/person_info.h"
#include "measurement/patient/profile_edit.h"
#include "measurement/patient/profile_flags.h"
#include "measurement/result_globals.h"
#include "person_info_fixture.h"
#include "platform/sys/clock.h"
#include "platform/ui/keys.h"

using namespace measurement;

namespace {
constexpr const char* kDate = "2026-01-05";

std::string Col(const std::string& col, const std::string& sample) {
  return Scalar("select " + col + " from Person where SampleNo='" + sample + "' and TestDate='2026-01-05'");
}

void Counted(const std::string& sample, const std::string& group, const std::string& wbc = "5.00") {
  std::string v[20];
  for (auto& t : v) t = "5.00";
  v[0] = wbc;
  InsertPersonRow(sample, kDate, v, group);
}
}  // namespace

class PersonInfo : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
    ResultPending = 0;
    ProfileSaveHold = 0;
    LisLinkState.Bidirectional = 0;
    LisLinkState.LinkKind = 0;
    LisLinkState.LisConnected = 0;
    SetLisOrderQuerySender(nullptr);
  }
  // Runs the screen in test mode over caller sample `caller`; `script` works it.
  int Run(const std::string& caller, const std::function<void(ui::TestDriver&)>& script, CPersonInfo** out = nullptr,
          unsigned char mode = 0, unsigned char editable = 1) {
    dlg = std::make_unique<CPersonInfo>(mode, nullptr, 0, editable);
    dlg->CallerSampleNo = caller;
    dlg->ProfileTestDate = kDate;
    int result = -5;
    EXPECT_TRUE(d.RunScript([&] { result = dlg->DoModal(); }, script));
    if (out) *out = dlg.get();
    return result;
  }
  static void Set(ui::TestDriver& s, int id, const std::string& text) { s.Find(id)->SetWindowText(text); }
  static void Select(ui::TestDriver& s, int id, int index) {
    s.Find(id)->SendMessage(ui::CB_SETCURSEL, static_cast<ui::WParam>(index));
  }
  std::unique_ptr<CPersonInfo> dlg;
};

TEST_F(PersonInfo, SaveChecksTheInputAndStoresWhatWasTyped) {
  struct Case {
    const char* sample;
    const char* name;
    const char* years;
    const char* months;
    const char* dept;
    int group;
    const char* message;     // the box shown after Save
    const char* storedAs;    // the sample number of the row written (nullptr: none)
    const char* column;      // one column of that row and its value
    const char* value;
  };
  const Case cases[] = {
      {"1,5", "A", "0", "0", "", 0, "Please input integer for sample no.!", nullptr, nullptr, nullptr},
      {"1.5", "A", "0", "0", "", 0, "Please input integer for sample no.!", nullptr, nullptr, nullptr},
      {"-3", "A", "0", "0", "", 0, "Sample no. should be greater than zero!", nullptr, nullptr, nullptr},
      {"0", "A", "0", "0", "", 0, "Sample no. should be greater than zero!", nullptr, nullptr, nullptr},
      {"30", "A", "151", "0", "", 0, "Please input digits between 1 and 150 for age!", nullptr, nullptr, nullptr},
      {"30", "A", "0", "0", "A department name too long", 0, "The max length of department is 20!", nullptr,
       nullptr, nullptr},
      {"007", "Seven", "0", "0", "", 0, "Data saved!", "7", "Name", "Seven"},
      {"31", "O'Hara", "0", "0", "", 0, "Data saved!", "31", "Name", "O‘Hara"},
      {"32", "A", "", "5", "", 0, "Data saved!", "32", "Age || AgeUnit", "5M"},
      {"33", "A", "", "", "", 0, "Data saved!", "33", "Age || '|' || AgeUnit", "0|"},
      {"34", "A", "0", "0", "", 1, "Data saved!", "34", "ReferValue", "Adult male"},
      {"35", "A", "40", "2", "Ward 'B'", 0, "Data saved!", "35", "Age || AgeUnit || Dept", "40YWard ‘B‘"},
      {"36", "A", "0", "0", "", 0, "Data saved!", "36", "BloodType || TestTime", "Whole blood08:00:00"},
  };
  for (const Case& c : cases) {
    ClearBoxes();
    Exec("delete from Person");
    Run("24", [&](ui::TestDriver& s) {
      Set(s, IDC_PI_SAMPLE_NO, c.sample);
      Set(s, IDC_PI_NAME, c.name);
      Set(s, IDC_PI_YEARS, c.years);
      Set(s, IDC_PI_MONTHS, c.months);
      Set(s, IDC_PI_DEPT, c.dept);
      Select(s, IDC_PI_GROUP, c.group);
      s.Press(IDC_PI_SAVE);
      EXPECT_TRUE(s.Visible(ui::IDOK)) << c.sample;  // Save stays in the screen
      s.Press(ui::IDCANCEL);
    });
    EXPECT_EQ(LastBox(), c.message) << c.sample;
    if (c.storedAs == nullptr) {
      EXPECT_EQ(Scalar("select count(*) from Person"), "0") << c.sample;
      continue;
    }
    EXPECT_EQ(Scalar("select group_concat(SampleNo) from Person"), c.storedAs) << c.sample;
    EXPECT_EQ(Col(c.column, c.storedAs), c.value) << c.sample;
  }
}

TEST_F(PersonInfo, NothingIsSavedWhileAResultIsBeingWritten) {
  ResultPending = 1;
  Run("24", [&](ui::TestDriver& s) {
    s.Press(IDC_PI_SAVE);
    s.Press(ui::IDCANCEL);
  });
  ResultPending = 0;
  EXPECT_EQ(LastBox(), "Writing test data,please wait a moment.");
  EXPECT_EQ(Scalar("select count(*) from Person"), "0");
}

TEST_F(PersonInfo, LastAndNextStepTheNumberWithinItsLimits) {
  const struct {
    const char* start;
    std::vector<int> presses;
    const char* shown;
  } cases[] = {
      {"24", {IDC_PI_NEXT}, "25"},
      {"24", {IDC_PI_LAST, IDC_PI_LAST}, "22"},
      {"1", {IDC_PI_LAST}, "1"},
      {"99999999", {IDC_PI_NEXT}, "99999999"},
      {"99999998", {IDC_PI_NEXT, IDC_PI_NEXT}, "99999999"},
  };
  for (const auto& c : cases) {
    std::string shown;
    Run(c.start, [&](ui::TestDriver& s) {
      for (int id : c.presses) s.Press(id);
      shown = s.Text(IDC_PI_SAMPLE_NO);
      s.Press(ui::IDCANCEL);
    });
    EXPECT_EQ(shown, c.shown) << c.start;
  }
}

TEST_F(PersonInfo, StepsLoadTheStoredPatientData) {
  Exec("insert into Person(SampleNo,TestDate,Name,Sex,Age,AgeUnit,ReferValue,Dept) values('25','2026-01-05','Ann',"
       "'女',7,'M','成女','Ward')");
  std::string name, sex, months, years, group;
  Run("24", [&](ui::TestDriver& s) {
    s.Press(IDC_PI_NEXT);
    name = s.Text(IDC_PI_NAME);
    sex = s.Text(IDC_PI_SEX);
    months = s.Text(IDC_PI_MONTHS);
    years = s.Text(IDC_PI_YEARS);
    group = s.Text(IDC_PI_GROUP);
    s.Press(IDC_PI_LAST);
    EXPECT_EQ(s.Text(IDC_PI_NAME), "");
    EXPECT_EQ(s.Text(IDC_PI_GROUP), "General");
    s.Press(ui::IDCANCEL);
  });
  EXPECT_EQ(name, "Ann");
  EXPECT_EQ(sex, "Female");  // stored in Chinese, shown in English
  EXPECT_EQ(months, "7");
  EXPECT_EQ(years, "0");
  EXPECT_EQ(group, "Adult female");
}

TEST_F(PersonInfo, RetestQuestionGuardsACountedSample) {
  Counted("25", "General");
  uint8_t discardWhileAsked = 0;
  ui::SetMessageBoxHandler([&](ui::Window*, const std::string& text, const std::string&, unsigned) {
    discardWhileAsked = DiscardBoardInput;
    EXPECT_EQ(text, "Sample existed, if retest, new result will cover previous result!");
    static int n = 0;
    return ++n == 1 ? static_cast<int>(ui::IDCANCEL) : static_cast<int>(ui::IDOK);
  });
  CPersonInfo* p = nullptr;
  const int r = Run("24", [&](ui::TestDriver& s) {
    Set(s, IDC_PI_SAMPLE_NO, "25");
    Set(s, IDC_PI_NAME, "Changed");
    s.Press(ui::IDOK);  // Cancel on the question: nothing written, still open
    EXPECT_TRUE(s.Visible(ui::IDOK));
    EXPECT_EQ(Col("Name", "25"), "<null>");
    s.Press(ui::IDOK);  // OK on the question
  }, &p);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(discardWhileAsked, 1);
  EXPECT_EQ(DiscardBoardInput, 0);
  EXPECT_EQ(p->RetestConfirmed, 1);
  EXPECT_EQ(p->CallerSampleNo, "25");
  EXPECT_EQ(Col("Name", "25"), "Changed");
  EXPECT_EQ(Col("WBC", "25"), "5.00");  // the other sample's result is not re-flagged here
}

TEST_F(PersonInfo, OkOnAnotherNewSampleInsertsItAndReturnsOne) {
  CPersonInfo* p = nullptr;
  const int r = Run("24", [&](ui::TestDriver& s) {
    Set(s, IDC_PI_SAMPLE_NO, "40");
    Set(s, IDC_PI_NAME, "New");
    s.Press(ui::IDOK);
  }, &p);
  EXPECT_EQ(r, 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(p->RetestConfirmed, 0);
  EXPECT_EQ(Col("Name", "40"), "New");
}

TEST_F(PersonInfo, NewGroupOfTheCountedSampleReflagsItsResult) {
  InsertUniformLimits("NormalLimits", 1, 1.0f, 4.0f);
  Counted("24", "General");
  CPersonInfo* p = nullptr;
  int r = Run("24", [&](ui::TestDriver& s) {
    Select(s, IDC_PI_GROUP, 1);
    s.Press(ui::IDOK);
  }, &p);
  EXPECT_EQ(r, 2);
  EXPECT_EQ(ProfileRegrouped, 1);
  EXPECT_EQ(p->PatientGroupIndex, 1);
  EXPECT_EQ(Col("WBC", "24"), "5.00 H");
  EXPECT_EQ(Col("ReferValue", "24"), "Adult male");
  EXPECT_EQ(Col("RefText", "24").substr(0, 10), "1.00-4.00,");
  // Exit without a change: 0, and the flag of the previous screen is gone.
  r = Run("24", [&](ui::TestDriver& s) { s.Press(ui::IDCANCEL); });
  EXPECT_EQ(r, 0);
  EXPECT_EQ(ProfileRegrouped, 0);
  // Save with the group back to General re-flags, fills the summary, and Exit then says 2.
  r = Run("24", [&](ui::TestDriver& s) {
    Select(s, IDC_PI_GROUP, 0);
    Set(s, IDC_PI_NAME, "Sam");
    Set(s, IDC_PI_YEARS, "30");
    s.Press(IDC_PI_SAVE);
    s.Press(ui::IDCANCEL);
  }, &p);
  EXPECT_EQ(r, 2);
  EXPECT_EQ(LastBox(), "Data saved!");
  EXPECT_EQ(Col("WBC", "24"), "5.00");
  EXPECT_EQ(p->SummaryValid, 1);
  EXPECT_EQ(p->SummaryName, "Sam");
  EXPECT_EQ(p->SummaryAge, "30 years");
  EXPECT_EQ(p->SummaryGroup, "General");
}

TEST_F(PersonInfo, GroupListFollowsTheSampleNumber) {
  Counted("26", "General");
  Counted("23", "General");
  const struct {
    const char* sample;
    bool enabled;
  } cases[] = {{"23", false}, {"24", true}, {"26", false}, {"27", true}, {"20", false}};
  Run("24", [&](ui::TestDriver& s) {
    for (const auto& c : cases) {
      Set(s, IDC_PI_SAMPLE_NO, c.sample);
      EXPECT_EQ(s.Enabled(IDC_PI_GROUP), c.enabled) << c.sample;
    }
    s.Press(ui::IDCANCEL);
  });
  // Review mode edits only the shown sample.
  Run("24", [&](ui::TestDriver& s) {
    for (int id : {IDC_PI_SAMPLE_NO, IDC_PI_LAST, IDC_PI_NEXT, IDC_PI_SAVE}) EXPECT_FALSE(s.Enabled(id)) << id;
    EXPECT_TRUE(s.Enabled(ui::IDOK));
    s.Press(ui::IDCANCEL);
  }, nullptr, 1);
}

TEST_F(PersonInfo, KeysNeverCloseTheScreen) {
  int calls = 0;
  std::string asked;
  Run("24", [&](ui::TestDriver& s) {
    s.Press(IDC_PI_SAMPLE_NO);
    s.Key(ui::VK_ESCAPE);
    s.Key(ui::VK_RETURN);  // LIS off: nothing
    EXPECT_TRUE(s.Visible(ui::IDOK));
    EXPECT_TRUE(Boxes().empty());
    LisLinkState.Bidirectional = 1;
    LisLinkState.LinkKind = 1;
    s.Key(ui::VK_RETURN);  // bidirectional network link, no LIS yet
    EXPECT_EQ(LastBox(), "The LIS query is not available.");
    SetLisOrderQuerySender([&](const std::string& n) {
      ++calls;
      asked = n;
      return true;
    });
    s.Key(ui::VK_RETURN);  // not connected: nothing
    LisLinkState.LisConnected = 1;
    s.Key(ui::VK_RETURN);
    s.Press(IDC_PI_NAME);
    s.Key(ui::VK_RETURN);  // focus elsewhere: nothing
    EXPECT_TRUE(s.Visible(ui::IDOK));
    s.Press(ui::IDCANCEL);
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(asked, "24");
  EXPECT_EQ(LisLinkState.LisQueryMode, 1);
  SetLisOrderQuerySender(nullptr);
  LisLinkState.LisConnected = 0;
  LisLinkState.Bidirectional = 0;
}

TEST_F(PersonInfo, ProfileFromTheLisFillsTheFieldsOfItsSample) {
  SampleProfileRecord rec;
  rec.sampleNo = "24";
  rec.name = "From LIS";
  rec.age = 9;
  rec.ageUnit = "D";
  rec.bedNo = "12";
  rec.group = "Adult male";
  Run("24", [&](ui::TestDriver& s) {
    SampleProfileRecord other = rec;
    other.sampleNo = "99";
    other.name = "Other";
    EXPECT_TRUE(ShowLisProfile(other));
    s.Settle();
    EXPECT_EQ(s.Text(IDC_PI_NAME), "");
    EXPECT_TRUE(ShowLisProfile(rec));
    s.Settle();
    EXPECT_EQ(s.Text(IDC_PI_NAME), "From LIS");
    EXPECT_EQ(s.Text(IDC_PI_DAYS), "9");
    EXPECT_EQ(s.Text(IDC_PI_BED_NO), "12");
    EXPECT_EQ(s.Text(IDC_PI_GROUP), "Adult male");
    s.Press(ui::IDCANCEL);
  });
  EXPECT_EQ(Scalar("select count(*) from Person"), "0");  // nothing saved without OK or Save
}

TEST_F(PersonInfo, CountMessagesLockTheSampleNumber) {
  CPersonInfo* p = nullptr;
  const int r = Run("24", [&](ui::TestDriver& s) {
    ui::Window* w = s.ActiveWindow();
    const char* number = "30";
    w->SendMessage(WM_PROFILE_COUNT_STARTED, 2, reinterpret_cast<ui::LParam>(number));
    EXPECT_FALSE(s.Enabled(IDC_PI_SAMPLE_NO));
    EXPECT_EQ(s.Text(IDC_PI_SAMPLE_NO), "30");
    // Steps still work; a save of another number during the count holds the test screen.
    s.Press(IDC_PI_NEXT);
    EXPECT_EQ(s.Text(IDC_PI_SAMPLE_NO), "31");
    s.Press(IDC_PI_SAVE);
    EXPECT_EQ(ProfileSaveHold, 1);
    s.Advance(3800);
    EXPECT_EQ(ProfileSaveHold, 0);
    // OK on another number does nothing while the count runs.
    s.Press(ui::IDOK);
    EXPECT_TRUE(s.Visible(ui::IDOK));
    w->SendMessage(WM_PROFILE_IDLE);
    EXPECT_TRUE(s.Enabled(IDC_PI_SAMPLE_NO));
    s.Press(ui::IDOK);
  }, &p);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(p->CallerSampleNo, "31");
  EXPECT_EQ(p->BloodTypeText, "Pre-diluted blood");
  EXPECT_EQ(Col("BloodType", "31"), "Pre-diluted blood");
}

TEST_F(PersonInfo, LooksInFiveLanguages) {
  Exec("insert into Department values(1,'Pediatrics')");
  Exec("insert into Doctor values(1,'Dr Lee','Pediatrics','Y','Y','Y')");
  const char* names[5] = {"zh", "en", "es", "fr", "uk"};
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    std::string title;
    Run("24", [&](ui::TestDriver& s) {
      Set(s, IDC_PI_NAME, "Maria Lopez");
      Set(s, IDC_PI_YEARS, "42");
      title = s.ActiveWindow()->GetWindowText();
      EXPECT_EQ(s.Text(IDC_PI_HEADING), title);
      EXPECT_EQ(s.Text(IDC_PI_APPLICANT), "Dr Lee");  // from the department
      EXPECT_TRUE(s.SaveScreenshot(PngPath(std::string("person_info_") + names[lang])));
      s.Press(ui::IDCANCEL);
    });
    EXPECT_EQ(title, PersonInfoTitle(lang));
  }
}

// On a display other than 640 x 480 (scale 1.25, as the start-up works it out for 800 x 600) the
// screen covers the whole display, as the test screen under it does: no strip of the test screen
// shows round it.
TEST_F(PersonInfo, CoversTheWholeDisplay) {
  AppSettings.LayoutScale = 1.25f;
  ui::Rect window, display;
  Run("24", [&](ui::TestDriver& s) {
    window = s.ActiveWindow()->GetWindowRect();
    const draw::Bitmap shot = s.Screen();
    display = ui::Rect(0, 0, shot.Width(), shot.Height());
    s.Press(ui::IDCANCEL);
  });
  EXPECT_EQ(display, ui::Rect(0, 0, 800, 600));
  EXPECT_EQ(window.Intersect(display), display) << window.left << "," << window.top << "," << window.right << ","
                                               << window.bottom;
}

TEST_F(PersonInfo, AFailedSaveIsReportedAndKeepsTheScreenOpen) {
  Exec("alter table Person rename to PersonGone");
  Run("24", [&](ui::TestDriver& s) {
    Set(s, IDC_PI_NAME, "Kept");
    s.Press(IDC_PI_SAVE);
    EXPECT_EQ(LastBox(), "The data could not be saved!");
    s.Press(ui::IDOK);
    EXPECT_TRUE(s.Visible(ui::IDOK));  // nothing typed is lost
    EXPECT_EQ(s.Text(IDC_PI_NAME), "Kept");
    s.Press(ui::IDCANCEL);
  });
  for (const std::string& b : Boxes()) EXPECT_NE(b, "Data saved!");
}

namespace {
// A stand-in for the test screen: counts the activity reports it gets.
class ActivityCounter : public ui::Window {
 public:
  int reports = 0;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override {
    if (msg == WM_PROFILE_ACTIVITY) ++reports;
    return ui::Window::WindowProc(msg, w, l);
  }
};
}  // namespace

TEST_F(PersonInfo, PointerMovesAreReportedToTheTestScreen) {
  ActivityCounter screen;
  ASSERT_TRUE(screen.Create("Dialog", "test screen", ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(0, 0, 100, 100), nullptr));
  CPersonInfo dlg(0, &screen, 0, 1);
  dlg.CallerSampleNo = "24";
  dlg.ProfileTestDate = kDate;
  d.RunScript([&] { dlg.DoModal(); },
              [&](ui::TestDriver& s) {
                const ui::Point c = s.ActiveWindow()->GetWindowRect().Center();
                s.MoveTo(c);
                s.Settle();
                const int r0 = screen.reports;
                s.MoveTo(ui::Point(c.x + 5, c.y));
                s.Settle();
                EXPECT_EQ(screen.reports, r0 + 1);
                s.MoveTo(ui::Point(c.x + 5, c.y));  // same place: no report
                s.Settle();
                EXPECT_EQ(screen.reports, r0 + 1);
                s.MoveTo(ui::Point(c.x + 9, c.y + 2));
                s.Settle();
                EXPECT_EQ(screen.reports, r0 + 2);
                s.Press(ui::IDCANCEL);
              });
  screen.DestroyWindow();
}

TEST_F(PersonInfo, ProfileButtonCarriesTheChosenNumberIntoTheTestScreen) {
  ProfileScreenState st;
  st.shownSampleNo = st.sampleNoText = "24";
  st.hasResult = true;
  CADOConn conn;
  ProfileApplied a;
  d.RunScript([&] { a = RunProfileEditing(conn, st, nullptr, 0, true, kDate, 1); },
              [&](ui::TestDriver& s) {
                s.Press(IDC_PI_NEXT);
                Set(s, IDC_PI_NAME, "Eleven char");
                Set(s, IDC_PI_MONTHS, "3");
                s.Press(ui::IDOK);
              });
  EXPECT_EQ(st.shownSampleNo, "25");
  EXPECT_EQ(st.nextSampleNo, 25);
  EXPECT_TRUE(st.sampleNumberEntered);
  EXPECT_FALSE(st.hasResult);
  EXPECT_TRUE(a.clearResultDisplay);
  EXPECT_EQ(st.header.name, "Eleven char");
  EXPECT_EQ(st.header.age, "3 months");
  EXPECT_TRUE(st.longName);
  EXPECT_EQ(Col("Name", "25"), "Eleven char");
  bool stars[3] = {true, false, true};
  ResultIndicators(stars, st.indicators);
  EXPECT_EQ(st.indicators[0], "*");
  EXPECT_EQ(st.indicators[7], "");
  EXPECT_EQ(st.indicators[15], "*");
}

TEST_F(PersonInfo, SavesAfterMidnightStayOnTheScreensDate) {
  sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 1, 6, 0, 5, 0, 0, 2});
  Run("24", [&](ui::TestDriver& s) {
    Set(s, IDC_PI_NAME, "First");
    s.Press(IDC_PI_SAVE);
    Set(s, IDC_PI_NAME, "Second");
    s.Press(IDC_PI_SAVE);
    s.Press(ui::IDCANCEL);
  });
  EXPECT_EQ(Scalar("select count(*) from Person"), "1");
  EXPECT_EQ(Col("Name || TestTime", "24"), "Second00:05:00");
}

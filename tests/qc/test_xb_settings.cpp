// The X-B settings: the input check, the LIS record, save with the switch, the parameter choice
// and Delete with every X-B point.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "qc/lj_qc_para_set.h"
#include "qc/lj_qc_set.h"
#include "qc/xb_qc_set.h"
#include "qc/xb_settings_input.h"
#include "qc_screen_fixture.h"

namespace {

using qc::XbInputError;

TEST(XbSettingsInput, FirstFailureInOrder) {
  std::array<int, 20> none{}, wbc{};
  wbc[0] = 1;
  struct Case {
    const char* what;
    std::string sample;
    std::array<int, 20> chosen;
    int field;  // value text to set (display order, target then limit), -1 none
    std::string text;
    XbInputError expected;
  } cases[] = {
      {"good", "50", none, -1, "", XbInputError::None},
      {"empty sample", "", none, -1, "", XbInputError::SampleDigits},
      {"19", "19", none, -1, "", XbInputError::SampleRange},
      {"201", "201", none, -1, "", XbInputError::SampleRange},
      {"200", "200", none, -1, "", XbInputError::None},
      {"25.7 as 25", "25.7", none, -1, "", XbInputError::None},
      {"chosen, empty limit", "20", wbc, 0, "7.5", XbInputError::ChosenDigits},
      {"unchosen target -1", "20", none, 2, "-1", XbInputError::TargetRange},
      {"unchosen limit with comma", "20", none, 3, "1,5", XbInputError::LimitDigits},
      {"target 1000000", "20", none, 4, "1000000", XbInputError::TargetRange},
      {"target 999999", "20", none, 4, "999999", XbInputError::None},
  };
  for (const Case& c : cases) {
    std::array<std::string, 40> values;
    if (c.field >= 0) values[static_cast<size_t>(c.field)] = c.text;
    int n = 0;
    EXPECT_EQ(qc::CheckXbSettingsInput(c.sample, values, c.chosen, &n), c.expected) << c.what;
  }
}

TEST(XbSettingsInput, TextRecord) {
  std::array<float, 40> v{};
  v[0] = 7.5f;
  v[1] = 1.2f;
  std::array<std::string, 20> u;
  for (auto& x : u) x = "%";
  u[0] = "10^9/L";
  u[1] = "10^9/L";
  const std::string r = qc::XbSettingsTextRecord(50, v, u);
  ASSERT_EQ(r.rfind("XBS,50,7.50,1.20,10^9/L,0.00,0.00,10^9/L,", 0), 0u);
  const std::string body = r.substr(0, r.find(",TRANSFER FINISH"));
  const std::string fields = body.substr(0, body.find_last_of(',') + 1);
  EXPECT_EQ(fields.substr(fields.size() - 13), ",0.00,0.00,%,");
  unsigned sum = 0;
  for (unsigned char c : fields) sum += c;
  EXPECT_EQ(body.substr(fields.size()), std::to_string(sum & 0xFFFF));
}

class XbSettings : public QcScreenTest {};

TEST_F(XbSettings, SaveWithTheSwitchThenChoiceThenDelete) {
  Sql("delete from XBQCSet");
  Sql("insert into XBQCRunResult(TestDate,TestTime,WBC) values('2026-04-01','08:00:00',7)");
  qc::CXBQcSet screen(nullptr);
  std::vector<std::string> refused, saved, deleted;
  std::string switchText, chosenAfterSave;
  auto set = [&](ui::TestDriver& s, int id, const std::string& v) {
    s.RunUntil([&] {
      s.TopWindow()->SetDlgItemText(id, v);
      return true;
    });
  };
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            // Every parameter takes part on a store without a row: empty values are refused.
                            s.Press(qc::IDC_XBS_SAVE);
                            refused = DrainBoxes(s);
                            for (int p = 0; p < 20; ++p) {
                              set(s, qc::kTargetEditIds[p], p == 0 ? "7.5" : "1");
                              set(s, qc::kLimitEditIds[p], p == 0 ? "0.0005" : "0.1");
                            }
                            set(s, qc::IDC_XBS_SAMPLES, "50");
                            s.Press(qc::IDC_XBS_SWITCH);
                            switchText = s.Text(qc::IDC_XBS_SWITCH);
                            s.Press(qc::IDC_XBS_SAVE);
                            saved = DrainBoxes(s);
                            chosenAfterSave = Scalar("select Q1 || Q14 || Q20 from XBQCSet");
                            s.Press(qc::IDC_XBS_ITEMS);
                            s.Press(qc::IDC_PARA_CHECK0 + 13);  // RDW-SD out
                            s.Press(ui::IDOK);
                            Shot("xb_settings_en");
                            s.Press(qc::IDC_XBS_DELETE);
                            deleted = DrainBoxes(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(refused, (std::vector<std::string>{"Please input digits for reference and deviation value of QC parameters!"}));
  EXPECT_EQ(switchText, "ON");
  EXPECT_EQ(saved, (std::vector<std::string>{"Setting data saved!"}));
  EXPECT_EQ(chosenAfterSave, "111");  // the first save stores the choice the screen shows
  EXPECT_EQ(screen.choices()[13], 0);
  EXPECT_EQ(deleted, (std::vector<std::string>{"Are your sure to delete X-B QC data?", "Data of QC deleted!"}));
  EXPECT_EQ(Scalar("select count(*) from XBQCSet"), "0");
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult"), "0");
}

TEST_F(XbSettings, StoredValuesAndTheChoiceColumns) {
  Sql("delete from XBQCSet");
  qc::CXBQcSet screen(nullptr);
  auto set = [&](ui::TestDriver& s, int id, const std::string& v) {
    s.RunUntil([&] {
      s.TopWindow()->SetDlgItemText(id, v);
      return true;
    });
  };
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::IDC_XBS_ITEMS);  // a row with all chosen but RDW-SD, 20 a group, off
                            s.Press(qc::IDC_PARA_CHECK0 + 13);
                            s.Press(ui::IDOK);
                            for (int p = 0; p < 20; ++p) {
                              set(s, qc::kTargetEditIds[p], p == 9 ? "40" : "1");  // HCT target 40
                              set(s, qc::kLimitEditIds[p], "0.1");
                            }
                            s.Press(qc::IDC_XBS_SAVE);
                            DrainBoxes(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(Scalar("select count(*) || '|' || SampleNum || '|' || IsOn || '|' || HCTRV || '|' || Q14 || Q13 || Q15 from XBQCSet"),
            "1|20|0|40.0|011");
}

}  // namespace

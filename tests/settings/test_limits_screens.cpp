// The normal ranges and panic limits screens driven offscreen: load, group switch, save (insert,
// then update; every column), a new screen shows the stored group, refused entries, each screen
// writes only its own table, a failed insert, and the next count's marks follow a saved range.
// (Sending a group to the LIS: test_limits_send.)
#include <gtest/gtest.h>

#include "core/ado_conn.h"
#include "core/db_errors.h"
#include "core/param_order.h"
#include "measurement/flagging.h"
#include "platform/ui/keys.h"
#include "settings/limit_tables.h"
#include "settings/normal_limits.h"
#include "settings/pathology_limits.h"
#include "settings_fixture.h"

namespace {

class LimitsTest : public SettingsScreenTest {
 protected:
  template <class Screen>
  void Run(const std::function<void(ui::TestDriver&)>& script) {
    Screen screen;
    const bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      script(s);
      s.Press(ui::IDCANCEL);
    });
    EXPECT_TRUE(ok);
  }
  // Types a valid set of limits: parameter p (screen order) low p+1, high p+1+`spread`.
  static void TypeLimits(ui::TestDriver& s, double spread) {
    for (int p = 0; p < 20; ++p) {
      char low[32], high[32];
      std::snprintf(low, sizeof low, "%g", p + 1.0);
      std::snprintf(high, sizeof high, "%g", p + 1 + spread);
      SetText(s, LimitLowEditId(p), low);
      SetText(s, LimitLowEditId(p) + 1, high);
    }
  }
  std::string Col(const char* table, int kind, const char* column) {
    return Scalar(std::string("select printf('%.2f',") + column + ") from " + table + " where Kind=" + std::to_string(kind));
  }
};

TEST_F(LimitsTest, OpensOnGeneralShowsUnitsAndSavesAGroupIntoEveryColumn) {
  Sql("update ParasUnit set HGB='g/dL', MCHC='g/L', WBC='10^2/uL'");
  Run<CNormalLimits>([&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(LimitLowEditId(0)), "4");       // General's stored WBC low
    EXPECT_EQ(s.Text(LimitLowEditId(0) + 1), "10");
    EXPECT_EQ(s.Text(LimitLowEditId(9)), "37");      // HCT, from HCTL
    EXPECT_EQ(s.Text(LimitLowEditId(12) + 1), "360");  // MCHC high
    EXPECT_EQ(s.Text(LimitLowEditId(18)), "0.11");   // PCT
    EXPECT_EQ(s.Text(IDC_LIM_UNIT_FIRST + 8), "g/dL");
    EXPECT_EQ(s.Text(IDC_LIM_UNIT_FIRST + 12), "g/L");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s.Text(IDC_LIM_UNIT_FIRST + i), "10^2/uL");
    EXPECT_EQ(s.Text(IDC_LIM_UNIT_FIRST + 10), "fL");
    EXPECT_EQ(s.Text(IDC_LIM_UNIT_FIRST + 11), "pg");
    s.Press(IDC_LIM_GROUP_FIRST + 3);  // 14-18 years: no row yet
    for (int p = 0; p < 20; ++p) EXPECT_EQ(s.Text(LimitLowEditId(p)), "0") << p;
    TypeLimits(s, 0.25);
    s.Key(ui::VK_RETURN);  // swallowed
    s.Key(ui::VK_ESCAPE);
    s.Press(IDC_LIM_SAVE);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
    SetText(s, LimitLowEditId(0) + 1, "50");  // second save of the group updates its row
    s.Press(IDC_LIM_SAVE);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Scalar("select count(*) from NormalLimits where Kind=3"), "1");
  // Every column holds its own parameter (screen order p -> column), two decimals.
  const int columnOfScreen[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 14, 11, 10, 9, 13, 12, 15, 16, 17, 18, 19};
  for (int p = 0; p < 20; ++p) {
    const int c = columnOfScreen[p];
    char low[32], high[32];
    std::snprintf(low, sizeof low, "%.2f", p + 1.0);
    std::snprintf(high, sizeof high, "%.2f", p == 0 ? 50.0 : p + 1.25);
    EXPECT_EQ(Col("NormalLimits", 3, settings::kLimitColumns[2 * c]), low) << settings::kLimitColumns[2 * c];
    EXPECT_EQ(Col("NormalLimits", 3, settings::kLimitColumns[2 * c + 1]), high) << settings::kLimitColumns[2 * c + 1];
  }
  EXPECT_EQ(Scalar("select count(*) from PathologyLimits"), "0");  // the other table is left alone
  // A new screen shows the stored group again.
  Run<CNormalLimits>([&](ui::TestDriver& s) {
    s.Press(IDC_LIM_GROUP_FIRST + 3);
    EXPECT_EQ(s.Text(LimitLowEditId(0) + 1), "50");
    EXPECT_EQ(s.Text(LimitLowEditId(9)), "10");  // HCT low typed as 10
    EXPECT_EQ(s.Text(LimitLowEditId(9) + 1), "10.25");
  });
}

TEST_F(LimitsTest, RefusedEntriesLeaveTheTable) {
  struct Case {
    int edit;  // screen-order value index (2p low, 2p+1 high)
    const char* text;
    const char* message;
  } cases[] = {
      {0, "", "Please input digits for upper and lower limit!"},
      {7, "4a", "Please input digits for upper and lower limit!"},
      {12, "999999.9", "Please input a number between 0 and 999999 for upper and lower limit!"},
      {13, "1234567.8", "The max length of upper and lower limit is 8!"},
      {0, "-1", "Please input a number between 0 and 999999 for upper and lower limit!"},
      {1, "4", "The lower limit should be less than upper limit!"},  // WBC high equal to its low
      {39, "1", "The lower limit should be less than upper limit!"},
  };
  const std::string before = Scalar("select WBCH || ',' || PLCRH || ',' || HCTL from NormalLimits where Kind=0");
  for (const Case& c : cases) {
    std::string message;
    Run<CNormalLimits>([&](ui::TestDriver& s) {
      const int id = LimitLowEditId(c.edit / 2) + c.edit % 2;
      SetText(s, LimitLowEditId(9), "40");  // a valid change that must not be stored either
      SetText(s, id, c.text);
      s.Press(IDC_LIM_SAVE);
      message = TakeMessage(s);
    });
    EXPECT_EQ(message, c.message) << c.edit << " '" << c.text << "'";
    EXPECT_EQ(Scalar("select WBCH || ',' || PLCRH || ',' || HCTL from NormalLimits where Kind=0"), before);
  }
}

TEST_F(LimitsTest, PanicScreenWritesOnlyItsTableAndAFailedInsertIsRetriedAsAnInsert) {
  ClearRecentDbErrors();
  Sql("create trigger once before insert on PathologyLimits when (select count(*) from Refuse) > 0 "
      "begin select raise(abort, 'insert refused'); end");
  Sql("create table Refuse(x)");
  Sql("insert into Refuse values(1)");
  std::vector<std::string> messages;
  Run<CPathologyLimits>([&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(LimitLowEditId(0)), "0");  // no panic rows delivered
    TypeLimits(s, 5);
    s.Press(IDC_LIM_SAVE);
    messages.push_back(TakeMessage(s));  // the engine refused: no confirmation
    Sql("delete from Refuse");
    s.Press(IDC_LIM_SAVE);  // still an insert: the failed one did not make a row
    messages.push_back(TakeMessage(s));
  });
  EXPECT_EQ(messages, (std::vector<std::string>{"", "Setting data saved!"}));
  ASSERT_FALSE(RecentDbErrors().empty());
  EXPECT_EQ(Scalar("select count(*) from PathologyLimits where Kind=0"), "1");
  EXPECT_EQ(Col("PathologyLimits", 0, "WBCH"), "6.00");
  EXPECT_EQ(Col("NormalLimits", 0, "WBCH"), "10.00");
}

TEST_F(LimitsTest, ChoosingAnotherGroupDropsUnsavedEdits) {
  Run<CNormalLimits>([&](ui::TestDriver& s) {
    SetText(s, LimitLowEditId(0), "3");
    s.Press(IDC_LIM_GROUP_FIRST + 1);
    s.Press(IDC_LIM_GROUP_FIRST + 0);
    EXPECT_EQ(s.Text(LimitLowEditId(0)), "4");
  });
  EXPECT_EQ(Col("NormalLimits", 0, "WBCL"), "4.00");
}

TEST_F(LimitsTest, ASavedNormalRangeMarksTheNextCount) {
  // The count marks its values against the rows of its group as they are when it is counted.
  auto marksOf = [&](float wbc, float hgb) {
    CADOConn conn;
    const measurement::LimitPairs normal = measurement::LoadNormalLimits(conn, 0);
    const measurement::LimitPairs panic = measurement::LoadPathologyLimits(conn, 0);
    float values[20] = {};
    for (int i = 0; i < 20; ++i) values[i] = (normal.pairs[2 * i] + normal.pairs[2 * i + 1]) / 2;
    values[0] = wbc;
    values[8] = hgb;
    const uint8_t reportable[20] = {};
    std::string marks[20];
    measurement::MarkValues(values, reportable, normal, panic, marks);
    return marks[0] + "/" + marks[8];
  };
  EXPECT_EQ(marksOf(9.0f, 150.0f), "/");
  Run<CNormalLimits>([&](ui::TestDriver& s) {
    SetText(s, LimitLowEditId(0) + 1, "8.5");
    SetText(s, LimitLowEditId(8), "155");
    s.Press(IDC_LIM_SAVE);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(marksOf(9.0f, 150.0f), "H/L");
  Run<CPathologyLimits>([&](ui::TestDriver& s) {
    TypeLimits(s, 1000);
    SetText(s, LimitLowEditId(0), "0");
    SetText(s, LimitLowEditId(0) + 1, "8.8");
    s.Press(IDC_LIM_SAVE);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(marksOf(9.0f, 150.0f), "H+/L");
}


TEST_F(LimitsTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    Run<CNormalLimits>([&](ui::TestDriver&) { Shot(std::string("normal_limits_") + kLanguageNames[lang]); });
    Run<CPathologyLimits>([&](ui::TestDriver&) { Shot(std::string("panic_limits_") + kLanguageNames[lang]); });
  }
}

}  // namespace

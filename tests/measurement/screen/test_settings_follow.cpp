// What the settings change shows in the next count on the test screen over the board
// simulator: a normal range saved by the limits screens' routine marks the next result, and a
// unit chosen on the units screen shows the next result in that unit, against limits rescaled
// once.
#include <cstdlib>

#include "core/ado_conn.h"
#include "counted_sample.h"
#include "settings/limit_tables.h"
#include "settings/unit_rescale.h"

using namespace measurement;

namespace {

class SettingsFollow : public CountedSampleTest {
 protected:
  std::string Row(const std::string& column, const std::string& sampleNo) {
    return Scalar("select " + column + " from Person where SampleNo='" + sampleNo + "' and TestDate='" + Today() + "'");
  }
};

TEST_F(SettingsFollow, ASavedRangeMarksTheNextCountAndAUnitShowsInTheNextResult) {
  std::string markBefore, markAfter, hgbBefore;
  {
    CSampleTest screen(nullptr);
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              ASSERT_TRUE(CountOne(s, screen));
                              markBefore = s.Text(kMarkIds[0]);
                              hgbBefore = s.Text(kValueIds[8]);
                              // General's WBC range now ends below the simulator's WBC.
                              CADOConn conn;
                              float pairs[40];
                              ASSERT_TRUE(settings::LoadLimitsOfGroup(conn, settings::LimitTable::kNormal, 0, pairs));
                              pairs[1] = 5.0f;
                              ASSERT_TRUE(settings::SaveLimitsOfGroup(conn, settings::LimitTable::kNormal, 0, pairs, true));
                              ASSERT_TRUE(CountOne(s, screen));
                              markAfter = s.Text(kMarkIds[0]);
                              Leave(s, screen);
                            }));
  }
  EXPECT_EQ(markBefore, "");
  EXPECT_EQ(markAfter, "H");
  EXPECT_EQ(Row("WBC", "1").find(' '), std::string::npos) << Row("WBC", "1");
  EXPECT_EQ(Row("WBC", "2").substr(Row("WBC", "2").size() - 2), " H") << Row("WBC", "2");

  // HGB in g/dL: the row, the decimals and the stored limits change together (the units
  // screen's OK), and the next test screen shows the next result in g/dL with one decimal.
  {
    CADOConn conn;
    settings::UnitRow chosen;
    ASSERT_TRUE(settings::ReadUnitRow(conn, &chosen));
    const UnitTextSet previous = chosen.units;
    chosen.units[kUnitHGB] = "g/dL";
    chosen.decimals[3] = 1;
    ASSERT_TRUE(settings::SaveUnitsAndRescale(conn, previous, chosen, true));
  }
  EXPECT_EQ(Scalar("select printf('%.2f', HGBL) || '-' || printf('%.2f', HGBH) from NormalLimits where Kind=0"),
            "11.00-16.00");
  std::string hgbAfter, hgbMark;
  {
    CSampleTest screen(nullptr);
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              ASSERT_TRUE(CountOne(s, screen));
                              hgbAfter = s.Text(kValueIds[8]);
                              hgbMark = s.Text(kMarkIds[8]);
                              Leave(s, screen);
                            }));
  }
  ASSERT_FALSE(hgbBefore.empty());
  ASSERT_FALSE(hgbAfter.empty());
  // One decimal now, and a tenth of the g/L value (the simulator counts the same blood).
  EXPECT_EQ(hgbAfter.find('.'), hgbAfter.size() - 2) << hgbAfter;
  EXPECT_NEAR(std::atof(hgbAfter.c_str()), std::atof(hgbBefore.c_str()) / 10.0, 0.11) << hgbBefore << " " << hgbAfter;
  EXPECT_EQ(Row("HGBUnit", "3"), "g/dL");
  // The same blood keeps the same mark against the rescaled range.
  EXPECT_EQ(hgbMark, "");
}

}  // namespace

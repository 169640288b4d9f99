// The hidden settings page: the correction amount and its remainders, the checks before Save,
// the coefficients' range rule, the three switches, the outside test page's first line, and
// the page on the debug screen.
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "measurement/mid_results.h"
#include "platform/sys/profile.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/messages.h"
#include "service/back_door.h"
#include "service/debug_sel.h"
#include "service/engineering_debug.h"
#include "service/hidden_settings.h"
#include "service_fixture.h"

using namespace service;

namespace {

TEST(ReviseAmount, RaisingAndLoweringTheAmountMovesTheRemaindersThatMayMove) {
  const struct {
    float current, lyseLeft, cleanserLeft;
    uint8_t lyseCounting, cleanserCounting;
    float typed;
    const char* sql;
    float lyseAfter, cleanserAfter;
    uint8_t lyseCountingAfter, cleanserCountingAfter;
  } cases[] = {
      // Raised: a remainder that is being counted down keeps its value.
      {5, 4.5f, 2.0f, 1, 0, 8, "update SysSetting set ReviseVol = 8.00,CleanerReviseVol = 8.00", 4.5f, 8, 1, 0},
      {5, 4.5f, 2.0f, 0, 0, 6, "update SysSetting set ReviseVol = 6.00,LyseReviseVol = 6.00,CleanerReviseVol = 6.00",
       6, 6, 0, 0},
      // Lowered: remainders above the new amount are cut to it and stop counting.
      {5, 4.5f, 2.0f, 1, 1, 3, "update SysSetting set ReviseVol = 3.00,LyseReviseVol = 3.00", 3, 2.0f, 0, 1},
      {5, 4.5f, 4.0f, 1, 1, 1.5f, "update SysSetting set ReviseVol = 1.50,LyseReviseVol = 1.50,CleanerReviseVol = 1.50",
       1.5f, 1.5f, 0, 0},
      {5, 1.0f, 0.5f, 1, 1, 2, "update SysSetting set ReviseVol = 2.00", 1.0f, 0.5f, 1, 1},
      // Unchanged: no update.
      {5, 4.5f, 2.0f, 1, 0, 5, "", 4.5f, 2.0f, 1, 0},
  };
  for (const auto& c : cases) {
    analyzer::ReagentVolumes v;
    v.ReviseVol = c.current;
    v.LyseReviseVol = c.lyseLeft;
    v.CleanerReviseVol = c.cleanserLeft;
    v.LyseReserveCounting = c.lyseCounting;
    v.CleanserReserveCounting = c.cleanserCounting;
    EXPECT_EQ(ReviseUpdateSql(c.typed, v), c.sql) << c.typed;
    EXPECT_FLOAT_EQ(v.LyseReviseVol, c.lyseAfter) << c.typed;
    EXPECT_FLOAT_EQ(v.CleanerReviseVol, c.cleanserAfter) << c.typed;
    EXPECT_EQ(v.LyseReserveCounting, c.lyseCountingAfter) << c.typed;
    EXPECT_EQ(v.CleanserReserveCounting, c.cleanserCountingAfter) << c.typed;
  }
}

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ini = folder.file("setting.ini");
    folder.write("setting.ini", "[ReagentCalcCoef]\nDIL=0.90\nLYS=0.95\nCLE=1.05\n");
    analyzer::Reagents().volumes().ReviseVol = 5.0f;
    RawExec("update SysSetting set ReviseVol = 5, IsOpenSoakTips = 0");
  }
  HiddenInputs Inputs(const char* dil, const char* lys, const char* cle, const char* revise) {
    HiddenInputs in;
    in.dil = dil;
    in.lys = lys;
    in.cle = cle;
    in.revise = revise;
    return in;
  }
  std::string Key(const char* k) { return sys::ProfileReadString(ini, "ReagentCalcCoef", k, "missing"); }
  SequenceFolder folder;
  CADOConn conn;
  std::string ini;
};

TEST_F(SaveTest, EveryInputIsCheckedBeforeAnythingIsSaved) {
  const std::string nines(400, '9');  // more than a double holds: infinity
  const struct {
    const char *dil, *lys, *cle, *revise, *message;
  } cases[] = {
      {"abc", "1.0", "1.0", "3", "Please input a number for the reagent coefficients!"},
      {"1.0", "", "1.0", "3", "Please input a number for the reagent coefficients!"},
      {"1.0", "1.0", "1..", "3", "Please input a number for the reagent coefficients!"},
      {"1.0", "1.0", "1.0", "x", "Please input a number for the reagent correction amount!"},
      {"1.0", "1.0", "1.0", "3ml", "Please input a number for the reagent correction amount!"},
      {"1.0", "1.0", "1.0", "-1", "Reagent correction amount can not be less than 0"},
      // Beyond what the field shows and a float keeps to the hundredth, and beyond a double.
      {"1.0", "1.0", "1.0", "10000", "Reagent correction amount must be between 0 and 9999.99"},
      {"1.0", "1.0", "1.0", "9999.995", "Reagent correction amount must be between 0 and 9999.99"},
      {"1.0", "1.0", "1.0", "99999999999999999999", "Reagent correction amount must be between 0 and 9999.99"},
      {"1.0", "1.0", "1.0", nines.c_str(), "Reagent correction amount must be between 0 and 9999.99"},
  };
  for (const auto& c : cases) {
    const HiddenSaveResult r = SaveHiddenSettings(Inputs(c.dil, c.lys, c.cle, c.revise), &conn, ini, 1);
    EXPECT_FALSE(r.saved) << c.revise;
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(Key("DIL"), "0.90");
    EXPECT_EQ(Key("CLE"), "1.05");
    EXPECT_FLOAT_EQ(analyzer::Reagents().volumes().ReviseVol, 5.0f);
    EXPECT_EQ(RawScalar("select ReviseVol from SysSetting"), "5");
  }
  conn.Disconnect();
}

TEST_F(SaveTest, CoefficientsOutsideTheirRangeBecomeOne) {
  const struct {
    const char* typed;
    const char* stored;
    float memory;
  } cases[] = {{"1.20", "1.20", 1.2f}, {"0.80", "0.80", 0.8f}, {"1.21", "1.00", 1.0f}, {"1.22", "1.00", 1.0f},
               {"0.79", "1.00", 1.0f}};
  for (const auto& c : cases) {
    const HiddenSaveResult r = SaveHiddenSettings(Inputs(c.typed, "1.0", "1.0", "5"), &conn, ini, 1);
    ASSERT_TRUE(r.saved) << c.typed;
    EXPECT_EQ(r.message, "Data saved!");
    EXPECT_EQ(Key("DIL"), c.stored) << c.typed;
    EXPECT_FLOAT_EQ(analyzer::Reagents().coefficients().dil, c.memory) << c.typed;
    EXPECT_FLOAT_EQ(r.dil, c.memory);
  }
  EXPECT_EQ(CoefficientText(1.0f), "1");
  EXPECT_EQ(CoefficientText(1.2f), "1.2");
  conn.Disconnect();
}

TEST_F(SaveTest, SaveStoresTheAmountItsRemaindersAndTheSoakSwitch) {
  analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
  v.LyseReviseVol = 4.5f;
  v.CleanerReviseVol = 2.0f;
  v.LyseReserveCounting = 1;
  analyzer::Soak.IsOpenSoakTips = 1;
  ASSERT_TRUE(SaveHiddenSettings(Inputs("1", "1", "1", "8"), &conn, ini, 1).saved);
  EXPECT_EQ(RawScalar("select ReviseVol||','||CleanerReviseVol||','||IsOpenSoakTips from SysSetting"), "8.0,8.0,1");
  EXPECT_FLOAT_EQ(v.ReviseVol, 8.0f);
  analyzer::Soak.IsOpenSoakTips = 0;
  RawExec("update SysSetting set LyseReviseVol = 77");
  ASSERT_TRUE(SaveHiddenSettings(Inputs("1", "1", "1", "8"), &conn, ini, 1).saved);  // the same amount
  EXPECT_EQ(RawScalar("select LyseReviseVol||','||IsOpenSoakTips from SysSetting"), "77.0,0");
  // The ends of the range are taken.
  ASSERT_TRUE(SaveHiddenSettings(Inputs("1", "1", "1", "9999.99"), &conn, ini, 1).saved);
  EXPECT_EQ(RawScalar("select printf('%.2f', ReviseVol) from SysSetting"), "9999.99");
  EXPECT_FLOAT_EQ(v.ReviseVol, 9999.99f);
  ASSERT_TRUE(SaveHiddenSettings(Inputs("1", "1", "1", "0"), &conn, ini, 1).saved);
  EXPECT_EQ(RawScalar("select printf('%.2f', ReviseVol) from SysSetting"), "0.00");
  conn.Disconnect();
}

TEST_F(SaveTest, TheSwitches) {
  measurement::ShowMidResults = 0;
  EXPECT_TRUE(ToggleMidResults());
  EXPECT_EQ(measurement::ShowMidResults, 1);
  EXPECT_FALSE(ToggleMidResults());

  analyzer::Soak.IsOpenSoakTips = 1;
  analyzer::Soak.DeviceTestTimes = 120;
  RawExec("update SysSetting set DeviceTestTimes = 120, IsOpenSoakTips = 1");
  EXPECT_FALSE(ToggleSoakTips(&conn, sys::Clock::Now()));
  EXPECT_EQ(analyzer::Soak.DeviceTestTimes, 0u);
  EXPECT_EQ(RawScalar("select DeviceTestTimes||','||IsOpenSoakTips from SysSetting"), "0,1");  // the switch waits for Save
  EXPECT_TRUE(ToggleSoakTips(&conn, sys::LocalTime{2026, 1, 5, 8, 3, 9, 0, 1}));
  EXPECT_EQ(RawScalar("select SoakDaysStartDate from SysSetting"), "2026-1-5 8:3:9");

  RawExec("update SysSetting set IsOpenAjustHistogram = 0");
  EXPECT_TRUE(ToggleHistogramAdjust(&conn));
  EXPECT_EQ(RawScalar("select IsOpenAjustHistogram from SysSetting"), "1");
  EXPECT_FALSE(ToggleHistogramAdjust(&conn));
  EXPECT_EQ(RawScalar("select IsOpenAjustHistogram from SysSetting"), "0");
  conn.Disconnect();
}

TEST(TestPages, TheOutsidePagesFirstLineFollowsThePageHeader) {
  // A header of 20 mm or less: two lines below the top.
  EXPECT_EQ(OutsideFirstLine(20, 79000, 300), 2);
  EXPECT_EQ(OutsideFirstLine(0, 79000, 300), 2);
  // 50 mm: (50 - 15) x 27900 / 279 = 3500 units, 3500 / 300 = 11 lines, then two more.
  EXPECT_EQ(OutsideFirstLine(50, 27900, 300), 13);
  const TestPageText t = MakeTestPageText(1, sys::LocalTime{2026, 3, 5, 9, 7, 0, 0, 4});
  EXPECT_EQ(t.dateLine, "Print date:03/05/2026 09:07");
  EXPECT_EQ(t.welcome, "Welcome to use the product!");
}

class HiddenPageScreenTest : public ServiceScreenTest {};

TEST_F(HiddenPageScreenTest, SaveOnTab2RefusesTextAndSavesNumbers) {
  folder.write("setting.ini", "[ReagentCalcCoef]\nDIL=1.10\n");
  CDebugSel screen(nullptr);
  std::vector<std::string> boxes;
  std::string dilShown;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.RunUntil([&] {
                              screen.SelectTab(1);
                              dilShown = screen.page2()->GetDlgItemText(CBackDoor::kDilId);
                              screen.page2()->SetDlgItemText(CBackDoor::kReviseId, "abc");
                              return true;
                            });
                            s.Press(CBackDoor::kSaveId);
                            boxes.push_back(TakeBox(s));
                            s.RunUntil([&] {
                              screen.page2()->SetDlgItemText(CBackDoor::kReviseId, "2.5");
                              return true;
                            });
                            s.Press(CBackDoor::kSaveId);
                            boxes.push_back(TakeBox(s));
                            s.RunUntil([&] {
                              screen.page2()->PostMessage(ui::WM_COMMAND, ui::IDCANCEL);
                              return true;
                            });
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_EQ(dilShown, "1.1");
  EXPECT_EQ(boxes, (std::vector<std::string>{"Please input a number for the reagent correction amount!", "Data saved!"}));
  EXPECT_EQ(RawScalar("select ReviseVol from SysSetting"), "2.5");
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(sim.ReceivedCount(), 0u);
}

TEST_F(HiddenPageScreenTest, Tab2CannotCloseTheScreenWhileTheRepeatTestRuns) {
  sim.SetSilent(true);
  CDebugSel screen(nullptr);
  bool endedDuringTest = true;
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.RunUntil([&] {
                              screen.page1()->logic()->OnTestStart("-1");
                              screen.SelectTab(1);
                              screen.page2()->PostMessage(ui::WM_COMMAND, ui::IDCANCEL);
                              return true;
                            });
                            s.Advance(100);
                            endedDuringTest = screen.IsEnded();
                            s.Advance(EngineeringDebug::kCountTimeoutMs);
                            box = TakeBox(s);
                            s.RunUntil([&] {
                              screen.page2()->PostMessage(ui::WM_COMMAND, ui::IDCANCEL);
                              return true;
                            });
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_FALSE(endedDuringTest);
  EXPECT_EQ(box, NoReplyText(1));
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"AA 90"}));
}

}  // namespace

// The start-up and shutdown screens on the offscreen framework, talking to the board simulator
// over a pseudo-terminal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "analyzer/screens/sys_close.h"
#include "analyzer/screens/sys_start.h"
#include "analyzer/sequences/process_values.h"
#include "app/app_settings.h"
#include "fixture.h"
#include "platform/ui/messages.h"
#include "platform/ui/test_driver.h"
#include "tools/boardsim/simulator.h"

using namespace analyzer;

namespace {

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::TestDriver::Start());
    ResetProcessValues();
    std::filesystem::copy_file(std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so", folder.file("libZentil.so"));
    ASSERT_TRUE(sim.Start().ok());
    ::setenv("QUORVEX_COM4", sim.DevicePath().c_str(), 1);
  }
  void TearDown() override {
    sim.Stop();
    ::unsetenv("QUORVEX_COM4");
    ui::TestDriver::Stop();
  }
  SequenceFolder folder;
  boardsim::Simulator sim;
  ui::TestDriver d;
};

TEST_F(ScreenTest, StartupScreenRunsTheBlankTestWithTheSimulatorAndEnds) {
  RawExec("update SysSetting set IsKJKB=1, IsKJQX=0");
  CSysStart screen(nullptr);
  int result = -5;
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { result = screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.RunUntil([&] { return screen.IsEnded() || s.MessageBox() != nullptr; }, 15000);
                            if (s.MessageBox()) {
                              box = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                          }));
  EXPECT_EQ(box, "");
  EXPECT_EQ(result, ui::IDCANCEL);
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Startup'"), "Normal");
  EXPECT_EQ(StartupBlankEvaluated, 1);
  EXPECT_EQ(BoardParametersSent, 1);
  sim.WithModel([](boardsim::BoardModel& m) { EXPECT_EQ(m.alarmMode(), AppSettings.ReagentAlarmType); });
}

TEST_F(ScreenTest, StartupScreenWithASilentBoardStillEnds) {
  sim.SetSilent(true);
  CSysStart screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            for (int i = 0; i < 12 && !screen.IsEnded() && !s.MessageBox(); ++i) s.Advance(12500);
                            if (s.MessageBox()) {
                              box = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            s.RunUntil([&] { return screen.IsEnded(); }, 5000);
                          }));
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(box, "Reagent volume alarm mode setting failure! please restart instrument!");
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Startup'"), "No reply from the analyzer");
  EXPECT_GE(sim.ReceivedCount(), 0u);
}

TEST_F(ScreenTest, ShutdownScreenPowersTheBoardDownAndRecordsIt) {
  CSysClose screen(nullptr);
  int result = -5;
  ASSERT_TRUE(d.RunScript([&] { result = screen.DoModal(); },
                          [&](ui::TestDriver& s) { s.RunUntil([&] { return screen.IsEnded(); }, 10000); }));
  EXPECT_EQ(result, ui::IDOK);
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Shut Down'"), "OK");
  sim.WithModel([](boardsim::BoardModel& m) { EXPECT_TRUE(m.poweredDown()); });
}

}  // namespace

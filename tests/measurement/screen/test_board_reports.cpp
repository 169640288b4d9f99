// What the test screen does with the board's reports outside a count, and with a board port
// that does not open.
#include <cstdlib>

#include "analyzer/frame.h"
#include "analyzer/reagent.h"
#include "controls/message_box_dlg.h"
#include "measurement/screen/sample_test_screen.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"

using namespace measurement;

namespace {


class BoardReports : public TestScreenTest {
 protected:
  bool WaitReady(ui::TestDriver& s, CSampleTest& screen) {
    return s.RunUntil([&] { return screen.ready() && screen.cycle().sampleMode(); }, 5000);
  }
  // Sends the frame from the board and waits until the message line shows `expected`.
  std::string Report(ui::TestDriver& s, const std::vector<uint8_t>& frame, const std::string& expected) {
    sim.SendRaw(frame);
    s.RunUntil([&] { return s.Text(IDC_MESSAGE) == expected; }, 1500);
    return s.Text(IDC_MESSAGE);
  }
};

TEST_F(BoardReports, WarningLineFromTemperatureStepFaultsAndSensors) {
  struct Case {
    const char* name;
    std::vector<uint8_t> frame;
    std::string line;
  } cases[] = {
      {"temperature raw 136: 9.96 degrees", Frame(0xCC, 0x80, {0, 136}), "Temperature low"},
      {"raw 546: 40.0 degrees, no new warning", Frame(0xCC, 0x80, {0x02, 0x22}), "Temperature low"},
      {"raw 547: 40.07 degrees", Frame(0xCC, 0x80, {0x02, 0x23}), "Temperature high"},
      {"needle missing steps", Frame(0xDD, 0x60, {0}), "Needle missing steps"},
      {"liquid syringe excessive steps", Frame(0xDD, 0x62, {1}), "Liquid syringe excessive steps"},
      {"diluent bottle empty", Frame(0xCC, 0x85, {1}), "Diluent not enough"},
      {"diluent back: the reagent warning goes", Frame(0xCC, 0x85, {0}), ""},
      // Reports outside a count are applied without looking at their check byte.
      {"damaged: lyse bottle empty", Damaged(Frame(0xCC, 0x83, {1})), "Lyse not enough"},
      {"damaged: lyse back", Damaged(Frame(0xCC, 0x83, {0})), ""},
      {"damaged: raw 136, 9.96 degrees", Damaged(Frame(0xCC, 0x80, {0, 136})), "Temperature low"},
      {"damaged: needle excessive steps", Damaged(Frame(0xDD, 0x60, {1})), "Needle excessive steps"},
  };
  CSampleTest screen(nullptr);
  std::vector<std::string> lines;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            for (const Case& c : cases) lines.push_back(Report(s, c.frame, c.line));
                            s.Press(IDC_EXIT);
                            s.Advance(1600);
                          }));
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(lines[i], cases[i].line) << cases[i].name;
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(BoardReports, FaultCodeDuringACountAbortsItHalfASecondLater) {
  CSampleTest screen(nullptr);
  std::string box, line;
  size_t before = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            sim.DropNext(boardsim::Target::Ack);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.ready(); }, 3000));
                            before = sim.ReceivedCount();
                            sim.SendRaw(Frame(0xDD, 0x02, {7}));  // a code outside 1..5: no box
                            s.RunUntil([&] { return s.MessageBox() != nullptr; }, 300);
                            if (s.MessageBox()) box = s.MessageBoxText();
                            for (int i = 0; i < 20 && !screen.ready(); ++i) {
                              s.RunUntil([&] { return screen.ready(); }, 100);
                              s.Advance(600);
                            }
                            ASSERT_TRUE(s.RunUntil([&] { return screen.ready(); }, 3000));
                            line = s.Text(IDC_MESSAGE);
                            s.Press(IDC_EXIT);
                            s.Advance(1600);
                          }));
  EXPECT_EQ(box, "");
  EXPECT_EQ(line, "Test time out");
  EXPECT_TRUE(ReceivedSince(before, "AA FF"));
  EXPECT_EQ(Scalar("select count(*) from SysLog where Event like 'TYPE%'"), "0");
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(BoardReports, MechanicalFaultLogsResetsAndLeavesTheScreen) {
  CSampleTest screen(nullptr);
  std::string box;
  size_t before = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            before = sim.ReceivedCount();
                            sim.SendRaw(Frame(0xDD, 0x61));
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            box = s.MessageBoxText();
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
                            // The board's reset answer runs Exit.
                            ASSERT_TRUE(s.RunUntil([&] { return sim.ReceivedCount() > before + 1; }, 3000));
                            s.Advance(1600);
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_EQ(box, "Carriage detection error!");
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_TRUE(ReceivedSince(before, "AA FF"));
  EXPECT_TRUE(ReceivedSince(before, "AA 91"));
  EXPECT_EQ(Scalar("select Result from SysLog where Event='Sample test'"), "Carriage detection error");
}

TEST_F(BoardReports, APortThatDoesNotOpenIsReportedAndTheScreenCanBeLeft) {
  ::setenv("QUORVEX_COM4", (File("no-such-port")).c_str(), 1);
  CSampleTest screen(nullptr);
  std::string box, mode;
  bool portOpen = true;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            box = s.MessageBoxText();
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
                            portOpen = screen.portOpen();
                            s.Press(IDC_MODE);
                            mode = s.Text(IDC_BLOOD_MODE);
                            s.Advance(3100);
                            s.Press(IDC_EXIT);
                            s.Advance(1600);
                          }));
  EXPECT_EQ(box, "Failed to initialize communications COM4 port!");
  EXPECT_FALSE(portOpen);
  EXPECT_EQ(mode, "Peripheral blood");
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(sim.ReceivedCount(), 0u);
}

}  // namespace

#include "measurement/screen/sample_globals.h"
#include "platform/serial/pty.h"
#include "platform/ui/app.h"

namespace {

TEST_F(BoardReports, LisPortOpensWhenResultsAreSentAtOnceAndItsBytesNeverDriveTheCount) {
  serial::PtyPair lis;
  ASSERT_TRUE(lis.Create().ok());
  ::setenv("QUORVEX_COM1", lis.SlavePath().c_str(), 1);
  Sql("update SysSetting set IsTransInstant=1");
  CSampleTest screen(nullptr);
  bool lisOpen = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            lisOpen = LisSerialPort != nullptr && LisSerialPort->IsOpen();
                            // A count key frame on the LIS line is not the analyzer's key.
                            const std::vector<uint8_t> key = Frame(0xCC, 0xFF);
                            lis.Master().Write(key.data(), key.size(), 1000);
                            s.RunUntil([] { return false; }, 300);
                            EXPECT_TRUE(screen.ready());
                            EXPECT_EQ(screen.cycle().state(), CycleState::Idle);
                            s.Press(IDC_EXIT);
                            s.Advance(1600);
                          }));
  ::unsetenv("QUORVEX_COM1");
  EXPECT_TRUE(lisOpen);
  EXPECT_EQ(LisSerialPort, nullptr);  // Exit released it
  EXPECT_TRUE(screen.IsEnded());
}

// The screen ended otherwise than by its Exit button (a quit, as SIGTERM and --seconds end the
// program): the LIS port it opened is closed with the screen, never left to the static
// destructors after main.
TEST_F(BoardReports, LisPortIsClosedWhenTheScreenEndsByAQuit) {
  serial::PtyPair lis;
  ASSERT_TRUE(lis.Create().ok());
  ::setenv("QUORVEX_COM1", lis.SlavePath().c_str(), 1);
  Sql("update SysSetting set IsTransInstant=1");
  bool lisOpen = false;
  {
    CSampleTest screen(nullptr);
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              lisOpen = LisSerialPort != nullptr && LisSerialPort->IsOpen();
                              ui::PostToUiThread([] { ui::PostQuitMessage(0); });
                              s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                            }));
  }
  ::unsetenv("QUORVEX_COM1");
  EXPECT_TRUE(lisOpen);
  std::lock_guard<std::mutex> g(LisSerialPortMutex);
  EXPECT_EQ(LisSerialPort, nullptr);
}

TEST_F(BoardReports, LisPortThatDoesNotOpenIsReportedAndNotKept) {
  ::setenv("QUORVEX_COM1", File("no-lis-port").c_str(), 1);
  Sql("update SysSetting set IsTransInstant=1");
  CSampleTest screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            box = s.MessageBoxText();
                            s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
                            ASSERT_TRUE(WaitReady(s, screen));
                            EXPECT_EQ(LisSerialPort, nullptr);
                            s.Advance(3100);
                            s.Press(IDC_EXIT);
                            s.Advance(1600);
                          }));
  ::unsetenv("QUORVEX_COM1");
  EXPECT_EQ(box, "Failed to initialize transmission COM1 port!");
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

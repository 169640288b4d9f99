// The maintenance menu: the operations and their replies, the gain chain, the reagent booked,
// refusals, damaged frames, the soak with its count-down, and the time-outs that keep the menu
// leavable; first on the menu's logic, then on the screen against the board simulator.
#include <cmath>

#include "analyzer/board_port.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "platform/ui/messages.h"
#include "service/maintenance_menu.h"
#include "service/service_sel.h"
#include "service_fixture.h"

using namespace service;
using analyzer::FrameClassCommand;
using analyzer::FrameClassFault;
using analyzer::FrameClassStatus;

namespace {

class MenuHost : public Recorder, public MaintenanceHost {
 public:
  void SetProgress(const std::string& t) override { progress = t; }
  void SetCountdown(const std::string& t) override { countdown = t; }
  bool AskOkCancel(const std::string& t) override {
    questions.push_back(t);
    return answer;
  }
  void StartSoakTimer() override { timer = true; }
  void StopSoakTimer() override { timer = false; }
  std::string progress, countdown;
  std::vector<std::string> questions;
  bool answer = true;
  bool timer = false;
};

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override { conn.Connect(); }
  void TearDown() override { conn.Disconnect(); }
  void Reply(uint8_t cls, uint8_t command, uint8_t p1 = 0xFF, bool bad = false) {
    Feed(menu, Frame(cls, command, p1, 0, bad));
  }
  SequenceFolder folder;
  CADOConn conn;
  MenuHost host;
  MaintenanceMenu menu{host, &conn};
};

TEST_F(MenuTest, MachineResetSendsItsFrameAndItsAcknowledgementEndsTheWait) {
  AppSettings.LanguageIndex = 1;
  menu.OnMachineReset();
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(Hex(host.sent[0]), "7E AA FF 00 00 00 00 00 00 00 00 00 55 E7");
  EXPECT_FALSE(menu.idle());
  Reply(FrameClassCommand, 0xFF);
  EXPECT_TRUE(menu.idle());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Operation finished!"}));
}

TEST_F(MenuTest, EachOperationSendsItsCommandShowsItsTextAndEndsOnItsOwnAcknowledgement) {
  struct Case {
    void (MaintenanceMenu::*press)();
    uint8_t command;
    const char* progress;
  } cases[] = {
      {&MaintenanceMenu::OnDrainChambers, 0x20, "Draining Chambers,please wait..."},
      {&MaintenanceMenu::OnBackFlush, 0x10, "Back Flush,please wait..."},
      {&MaintenanceMenu::OnRemoveBlockage, 0x52, "Remove clogging,please wait..."},
      {&MaintenanceMenu::OnDrainPipeline, 0x30, "Draining pipeline,please wait..."},
      {&MaintenanceMenu::OnCleanChambers, 0x40, "Cleaning chambers,please wait..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.progress);
    MenuHost h;
    MaintenanceMenu m(h, &conn);
    (m.*c.press)();
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0][1], FrameClassCommand);
    EXPECT_EQ(h.sent[0][2], c.command);
    EXPECT_EQ(h.progress, c.progress);
    // An acknowledgement of another command is not this operation's end.
    Feed(m, Frame(FrameClassCommand, static_cast<uint8_t>(c.command == 0x40 ? 0x20 : 0x40), 0xFF));
    EXPECT_FALSE(m.idle());
    EXPECT_TRUE(h.messages.empty());
    Feed(m, Frame(FrameClassCommand, c.command, 0xFF));
    EXPECT_TRUE(m.idle());
    EXPECT_EQ(h.progress, "");
    EXPECT_EQ(h.LastMessage(), "Operation finished!");
  }
}

TEST_F(MenuTest, ASecondPressWhileBusyIsRefusedAndSendsNothing) {
  menu.OnDrainChambers();
  menu.OnDrainChambers();
  EXPECT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Operation not finished!"}));
  EXPECT_FALSE(menu.CanExit());
}

TEST_F(MenuTest, ADamagedReplyIsReportedNeverAsFinishedAndTheBoardIsTold) {
  menu.OnDrainChambers();
  Reply(FrameClassCommand, 0x20, 0xFF, /*bad=*/true);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Checksum error"}));
  ASSERT_EQ(host.sent.size(), 2u);
  EXPECT_EQ(Hex(host.sent[1]), "7E DD 00 00 00 00 00 00 00 00 00 00 DD E7");
  EXPECT_TRUE(menu.idle());
  EXPECT_TRUE(menu.CanExit());
}

TEST_F(MenuTest, ABoardThatNeverAnswersLeavesTheMenuIdleAfterTheTimeOut) {
  menu.OnBackFlush();
  AdvanceAndPoll(menu, MaintenanceMenu::kOperationTimeoutMs - 1000);
  EXPECT_FALSE(menu.idle());
  AdvanceAndPoll(menu, 1000);
  EXPECT_TRUE(menu.idle());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], NoReplyText(1));
  EXPECT_TRUE(menu.CanExit());
}

TEST_F(MenuTest, ARefusedCommandIsSentAgainAFewTimesThenReported) {
  menu.OnDrainPipeline();
  // Five repeats are allowed; the sixth refusal ends the operation with a message.
  for (int i = 0; i < 5; ++i) {
    Reply(FrameClassFault, 0x30, 0xFF);
    ASSERT_EQ(host.sent.size(), static_cast<size_t>(i + 2));
    EXPECT_EQ(Hex(host.sent.back()), "7E AA 30 00 00 00 00 00 00 00 00 00 9A E7");
    EXPECT_FALSE(menu.idle());
  }
  Reply(FrameClassFault, 0x30, 0xFF);
  EXPECT_EQ(host.sent.size(), 6u);
  EXPECT_TRUE(menu.idle());
  EXPECT_EQ(host.LastMessage(), RefusedText(1));
}

TEST_F(MenuTest, ARefusalOfACommandThatIsNotRepeatedOnlyEndsTheWait) {
  menu.OnRemoveBlockage();
  Reply(FrameClassFault, 0x52, 0xFF);
  EXPECT_EQ(host.sent.size(), 1u);
  EXPECT_TRUE(menu.idle());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(MenuTest, TheHighVoltagePulseSendsTheEightStoredGainsInTurn) {
  RawExec("update EngineeringAdjust set ZYDW1=10,ZYDW2=11,ZYDW3=12,ZYDW4=2454,MKDYDW1=14,MKDYDW2=15,MKDYDW3=16,"
          "MKDYDW4=17");
  menu.Load();
  menu.OnHighVoltagePulse();
  EXPECT_EQ(host.sent.back()[2], 0x53);
  Reply(FrameClassCommand, 0x53);
  const uint8_t expected[8] = {10, 11, 12, 2454 & 0xFF, 14, 15, 16, 17};
  for (int i = 0; i < 8; ++i) {
    ASSERT_EQ(host.sent.size(), static_cast<size_t>(i + 2));
    EXPECT_EQ(host.sent.back()[2], 0x80 + i);
    EXPECT_EQ(host.sent.back()[3], expected[i]);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(menu.idle());
    Reply(FrameClassCommand, static_cast<uint8_t>(0x80 + i));
  }
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Operation finished!"}));
  EXPECT_TRUE(menu.idle());
}

TEST_F(MenuTest, RemoveBlockageAndCleanChambersBookTheirReagent) {
  analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
  v.DiluentVol = 500.0f;
  v.CleanerVol = 200.0f;
  menu.OnRemoveBlockage();
  Reply(FrameClassCommand, 0x52);
  EXPECT_NEAR(v.DiluentVol, 500.0 - 17.74, 1e-3);
  EXPECT_NEAR(v.CleanerVol, 200.0 - 11.52, 1e-3);
  v.DiluentVol = 500.0f;
  v.CleanerVol = 200.0f;
  menu.OnCleanChambers();
  Reply(FrameClassCommand, 0x40);
  EXPECT_NEAR(v.DiluentVol, 500.0 - 17.68, 1e-3);
  EXPECT_NEAR(v.CleanerVol, 200.0 - 11.55, 1e-3);
}

TEST_F(MenuTest, CleanChambersChecksTheCountedVolumesInVolumeModeOnly) {
  analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
  v.DiluentVol = 20.0f;
  v.CleanerVol = 30.0f;
  v.ReagentAlarmType = 0;
  menu.OnCleanChambers();
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Diluent not enough!"}));
  v.CleanerVol = 10.0f;
  menu.OnCleanChambers();
  EXPECT_EQ(host.LastMessage(), "Diluent Cleanser not enough!");
  v.ReagentAlarmType = 1;
  menu.OnCleanChambers();
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0][2], 0x40);
}

TEST_F(MenuTest, TheEngineerButtonsAskForTheEngineerLevel) {
  const struct {
    uint8_t level;
    bool allowed;
  } cases[] = {{0, false}, {1, false}, {2, true}, {3, true}};
  for (const auto& c : cases) {
    MenuHost h;
    MaintenanceMenu m(h, &conn);
    AppSettings.UserLevel = c.level;
    EXPECT_EQ(m.Allowed({MenuCheck::Busy, MenuCheck::Level, MenuCheck::Soaking}), c.allowed) << int(c.level);
    EXPECT_EQ(h.messages.empty(), c.allowed);
    if (!c.allowed) EXPECT_EQ(h.messages[0], "Your identity doesn't have this authority!");
  }
}

TEST_F(MenuTest, SensorReportsWarnWithoutEndingTheOperation) {
  menu.OnDrainChambers();
  Reply(FrameClassStatus, 0x85, 0x01);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Diluent not enough!"}));
  EXPECT_FALSE(menu.idle());
  Reply(FrameClassStatus, 0x85, 0x00);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_FALSE(menu.idle());
}

TEST_F(MenuTest, ACouplerFaultIsShownAndEndsTheOperation) {
  menu.OnDrainChambers();
  Reply(FrameClassFault, 0xA8, 0x03);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"The optical coupler of carriage abnormal"}));
  EXPECT_TRUE(menu.idle());
}

TEST_F(MenuTest, TheSoakDrainsWaitsForTheCleanserBackFlushesCountsDownAndCleans) {
  analyzer::Soak.IsOpenSoakTips = 1;
  analyzer::Soak.DeviceTestTimes = 57;
  analyzer::Soak.SetSoakTimes = 30;
  analyzer::Soak.TestsSinceAutoClean = 9;
  RawExec("update SysSetting set AutoCleanTime = 30, DeviceTestTimes = 57");
  menu.Load();
  menu.OnSoak();
  EXPECT_EQ(host.questions, (std::vector<std::string>{"Execute soaking procedure?"}));
  EXPECT_EQ(host.progress, "Executing soaking procedure...");
  EXPECT_EQ(host.Commands(), (std::vector<std::string>{"AA 20"}));
  EXPECT_FALSE(menu.CanExit());
  Reply(FrameClassCommand, 0x20);
  EXPECT_EQ(host.LastMessage(), "Please dispense 2ml of Concentrated Cleanser in each counting chamber.");
  EXPECT_EQ(host.Commands(), (std::vector<std::string>{"AA 20", "AA 10"}));
  EXPECT_EQ(host.progress, "Executing soaking procedure...");  // the back flush text is not shown
  Reply(FrameClassCommand, 0x10);
  EXPECT_TRUE(host.timer);
  host.messages.clear();
  EXPECT_FALSE(menu.CanExit());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Soaking operation not finished!"}));
  menu.OnSoakTick();
  EXPECT_EQ(host.countdown, "00: 9:59");
  for (int i = 1; i < 600; ++i) menu.OnSoakTick();
  EXPECT_EQ(host.countdown, "00: 0: 0");
  EXPECT_EQ(host.sent.size(), 2u);
  menu.OnSoakTick();  // the 601st tick ends the count-down
  EXPECT_FALSE(host.timer);
  EXPECT_EQ(host.Commands().back(), "AA 40");
  EXPECT_EQ(host.progress, "Cleaning chambers,please wait...");
  Reply(FrameClassCommand, 0x40);
  EXPECT_FALSE(menu.soaking());
  EXPECT_TRUE(menu.idle());
  EXPECT_EQ(host.LastMessage(), "Operation finished!");
  EXPECT_EQ(analyzer::Soak.DeviceTestTimes, 0u);
  EXPECT_EQ(analyzer::Soak.SoakDaysStartDate, "2026-3-5 9:30:0");
  EXPECT_EQ(RawScalar("select DeviceTestTimes from SysSetting"), "0");
  EXPECT_EQ(RawScalar("select SoakDaysStartDate from SysSetting"), "2026-3-5 9:30:0");
  EXPECT_EQ(analyzer::Soak.TestsSinceAutoClean, 0);
}

TEST_F(MenuTest, ASoakWithTheRemindersOffLeavesTheSoakRecordAlone) {
  analyzer::Soak.IsOpenSoakTips = 0;
  analyzer::Soak.DeviceTestTimes = 57;
  RawExec("update SysSetting set DeviceTestTimes = 57, SoakDaysStartDate = '2026-1-1 1:1:1'");
  menu.OnSoak();
  Reply(FrameClassCommand, 0x20);
  Reply(FrameClassCommand, 0x10);
  for (int i = 0; i < 601; ++i) menu.OnSoakTick();
  Reply(FrameClassCommand, 0x40);
  EXPECT_FALSE(menu.soaking());
  EXPECT_EQ(analyzer::Soak.DeviceTestTimes, 57u);
  EXPECT_EQ(RawScalar("select DeviceTestTimes from SysSetting"), "57");
  EXPECT_EQ(RawScalar("select SoakDaysStartDate from SysSetting"), "2026-1-1 1:1:1");
}

TEST_F(MenuTest, ADamagedFrameDuringTheCountDownLeavesTheSoakRunning) {
  menu.OnSoak();
  Reply(FrameClassCommand, 0x20);
  Reply(FrameClassCommand, 0x10);
  menu.OnSoakTick();
  Reply(FrameClassStatus, 0x84, 0x00, /*bad=*/true);
  EXPECT_EQ(host.LastMessage(), "Checksum error");
  EXPECT_TRUE(menu.soaking());
  EXPECT_TRUE(host.timer);
  EXPECT_EQ(host.Commands().back(), "DD 00");
}

TEST_F(MenuTest, ASoakWhoseBoardStopsAnsweringCanBeLeft) {
  menu.OnSoak();
  AdvanceAndPoll(menu, MaintenanceMenu::kOperationTimeoutMs);
  EXPECT_FALSE(menu.soaking());
  EXPECT_TRUE(menu.CanExit());
}

TEST_F(MenuTest, CancelledQuestionsSendNothing) {
  host.answer = false;
  menu.OnSoak();
  menu.OnDrainPipeline();
  EXPECT_TRUE(host.sent.empty());
  EXPECT_FALSE(menu.soaking());
}

// ---- The screen against the board simulator.

class MenuScreenTest : public ServiceScreenTest {};

TEST_F(MenuScreenTest, DrainChambersRunsOnTheBoardAndTheMenuCloses) {
  CServiceSel screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CServiceSel::kDrainChambersId);
                            box = TakeBox(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(box, "Operation finished!");
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"AA 20"}));
}

TEST_F(MenuScreenTest, ASilentBoardKeepsTheMenuOnlyUntilTheTimeOut) {
  sim.SetSilent(true);
  CServiceSel screen(nullptr);
  std::string refused, timedOut;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CServiceSel::kBackFlushId);
                            s.Press(ui::IDCANCEL);
                            refused = TakeBox(s);
                            s.Advance(MaintenanceMenu::kOperationTimeoutMs + 1000);
                            timedOut = TakeBox(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(refused, "Operation not finished!");
  EXPECT_EQ(timedOut, NoReplyText(1));
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(MenuScreenTest, ADamagedAcknowledgementEndsInTheChecksumMessage) {
  sim.CorruptNext(boardsim::Target::Ack);
  CServiceSel screen(nullptr);
  std::vector<std::string> boxes;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CServiceSel::kRemoveBlockageId);
                            boxes.push_back(TakeBox(s));
                            sim.WaitForReceived(2, 3000);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"Checksum error"}));
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"AA 52", "DD 00"}));
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(MenuScreenTest, TheEngineerButtonsAreShownToEngineersOnly) {
  for (uint8_t level : {1, 2}) {
    AppSettings.UserLevel = level;
    CServiceSel screen(nullptr);
    bool debugVisible = false, adjustVisible = false;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              debugVisible = s.Visible(CServiceSel::kDebugId);
                              adjustVisible = s.Visible(CServiceSel::kAdjustId);
                              s.Press(ui::IDCANCEL);
                            }));
    EXPECT_EQ(debugVisible, level == 2);
    EXPECT_EQ(adjustVisible, level == 2);
  }
}

TEST_F(MenuScreenTest, AChildScreenRunsWithoutTheMenusPortAndTheMenuTalksAgainAfterwards) {
  CServiceSel screen(nullptr);
  std::vector<std::string> children;
  bool portFreeDuringChild = false;
  screen.SetChildRunner([&](const std::string& name) {
    children.push_back(name);
    // The board port is free for the child: another owner can open it.
    analyzer::CSerialPort other;
    portFreeDuringChild = analyzer::OpenBoardPort(other, analyzer::ByteSink{}) == 1;
    other.Close();
    return ui::IDCANCEL;
  });
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CServiceSel::kMechanicsId);
                            s.Press(CServiceSel::kDrainChambersId);
                            box = TakeBox(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(children, (std::vector<std::string>{"CMechCheckDlg"}));
  EXPECT_TRUE(portFreeDuringChild);
  EXPECT_EQ(box, "Operation finished!");
}

TEST_F(MenuScreenTest, InSensorModeTheMenuAsksForTheReagentsHalfASecondAfterOpening) {
  AppSettings.ReagentAlarmType = 1;
  analyzer::Reagents().volumes().ReagentAlarmType = 1;
  CServiceSel screen(nullptr);
  size_t before = 99, after = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            before = sim.ReceivedCount();
                            s.Advance(500);
                            sim.WaitForReceived(1, 3000);
                            after = sim.ReceivedCount();
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(before, 0u);
  EXPECT_EQ(after, 1u);
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"AA AA"}));
}

TEST_F(MenuScreenTest, TheSoakRunsOnTheBoardWithItsTenMinuteCountDown) {
  analyzer::Soak.IsOpenSoakTips = 1;
  CServiceSel screen(nullptr);
  std::vector<std::string> boxes;
  std::string firstTick, refusedDuringCountDown;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CServiceSel::kSoakId);
                            boxes.push_back(TakeBox(s));  // the question, answered OK
                            boxes.push_back(TakeBox(s));  // dispense the cleanser
                            s.RunUntil([&] { return screen.menu()->idle(); }, 3000);
                            s.Advance(1000);
                            firstTick = s.Text(CServiceSel::kCountdownId);
                            s.Press(CServiceSel::kDrainChambersId);
                            refusedDuringCountDown = TakeBox(s);
                            s.Advance(600000);
                            boxes.push_back(TakeBox(s));
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"Execute soaking procedure?",
                                             "Please dispense 2ml of Concentrated Cleanser in each counting chamber.",
                                             "Operation finished!"}));
  EXPECT_EQ(firstTick, "00: 9:59");
  EXPECT_EQ(refusedDuringCountDown, "Soaking operation not finished!");
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"AA 20", "AA 10", "AA 40"}));
  EXPECT_EQ(RawScalar("select DeviceTestTimes from SysSetting"), "0");
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

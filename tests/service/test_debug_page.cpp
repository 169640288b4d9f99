// The debug screen's engineering page: the debug commands as bytes, the replies, the pressure
// target and poll, the repeat test and its count, the exit with the needle positions, and the
// time-outs that keep the screen leavable; on the logic, then on the screen against the board
// simulator.
#include "analyzer/command_catalogue.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "platform/ui/messages.h"
#include "service/debug_sel.h"
#include "service/engineering_debug.h"
#include "service_fixture.h"

using namespace service;
using analyzer::FrameClassCommand;
using analyzer::FrameClassDebug;
using analyzer::FrameClassFault;
using analyzer::FrameClassStatus;

namespace {

class PageHost : public Recorder, public DebugPageHost {
 public:
  void SetSwitchCaption(int which, bool on) override { captions[which] = on ? "Close" : "Open"; }
  void EnableSwitches(bool e) override { switchesEnabled = e; }
  void EnableTestStart(bool e) override { startEnabled = e; }
  void EnablePressureSend(bool e) override { pressureEnabled = e; }
  void EnableExit(bool e) override { exitEnabled = e; }
  void ShowPressure(const std::string& t) override { pressure = t; }
  void ShowPollTime(const std::string& t) override { pollTime = t; }
  void StartPoll() override { polling = true; }
  void StopPoll() override { polling = false; }
  void SetTestCount(const std::string& t) override { testCount = t; }
  void ResetExitFields() override { ++exitFieldResets; }
  void ClosePage() override { ++closed; }
  void ClosePrompt() override { ++promptsClosed; }
  std::string captions[3] = {"Open", "Open", "Open"};
  bool switchesEnabled = true, startEnabled = true, pressureEnabled = true, exitEnabled = true, polling = false;
  std::string pressure, pollTime, testCount;
  int exitFieldResets = 0, closed = 0, promptsClosed = 0;
};

NeedleTexts Needles(const char* a = "0", const char* b = "0", const char* c = "0", const char* d = "0",
                    const char* e = "0") {
  NeedleTexts t;
  t.pos[0] = a;
  t.pos[1] = b;
  t.pos[2] = c;
  t.pos[3] = d;
  t.pos[4] = e;
  return t;
}

class PageTest : public ::testing::Test {
 protected:
  void Reply(uint8_t cls, uint8_t command, uint8_t p1 = 0xFF, uint8_t p2 = 0, bool bad = false) {
    Feed(page, Frame(cls, command, p1, p2, bad));
  }
  SequenceFolder folder;
  CADOConn conn;
  PageHost host;
  EngineeringDebug page{host, &conn};
};

TEST_F(PageTest, AStepAndThePressureQueryAsBytes) {
  page.OnStep(0, 1, "12");
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(Hex(host.sent[0]), "7E EF 03 01 0C 00 00 00 00 00 00 00 E1 E7");
  EXPECT_TRUE(page.boardMoved());
  page.OnPollTick();
  EXPECT_EQ(Hex(host.sent[1]), "7E CC 81 00 00 00 00 00 00 00 00 00 4D E7");
  EXPECT_EQ(host.pollTime, "09:30:00");
}

TEST_F(PageTest, StepCountsAreCheckedBeforeAnythingIsSent) {
  const struct {
    const char* text;
    const char* message;  // "" when sent
  } cases[] = {
      {"0", "Please input an integer bewteen 1 and 255 for steps!"},
      {"256", "Please input an integer bewteen 1 and 255 for steps!"},
      {"1.5", "Please input integer for steps!"},
      {".5", "Please input integer for steps!"},
      {"abc", "Please input integer for steps!"},
      {"1", ""},
      {"255", ""},
  };
  for (const auto& c : cases) {
    PageHost h;
    EngineeringDebug p(h, nullptr);
    p.OnStep(1, 0, c.text);
    EXPECT_EQ(h.LastMessage(), c.message) << c.text;
    EXPECT_EQ(h.sent.size(), std::string(c.message).empty() ? 1u : 0u) << c.text;
    EXPECT_EQ(p.boardMoved(), std::string(c.message).empty()) << c.text;
  }
}

TEST_F(PageTest, NeedlePositionsGoAsSignAndMagnitudeAndWaitForTheirAcknowledgement) {
  page.OnNeedleSend(0, Needles("-255", "0", "7", "0", "0"));
  EXPECT_EQ(Hex(host.sent.back()).substr(0, 14), "7E EF 09 00 FF");
  EXPECT_FALSE(page.commandIdle());
  page.OnNeedleSend(1, Needles("-255", "0", "7", "0", "0"));  // refused silently while waiting
  EXPECT_EQ(host.sent.size(), 1u);
  Reply(FrameClassDebug, 0x10, 0x01, 0x00);  // not the command sent
  EXPECT_FALSE(page.commandIdle());
  Reply(FrameClassDebug, 0x09, 0x00, 0xFF);
  EXPECT_TRUE(page.commandIdle());
  page.OnNeedleSend(1, Needles("-255", "0", "7", "0", "0"));
  EXPECT_EQ(Hex(host.sent.back()).substr(0, 14), "7E EF 10 01 00");
  Reply(FrameClassDebug, 0x10, 0x01, 0x00);
  page.OnNeedleSend(4, Needles("0", "0", "0", "0", "256"));
  EXPECT_EQ(host.LastMessage(), "Please input a integer bewteen -255 and 255 for Needle position!");
}

TEST_F(PageTest, ANeedlePositionWithoutAReplyFreesThePageAfterTheTimeOut) {
  page.OnNeedleSend(2, Needles());
  AdvanceAndPoll(page, EngineeringDebug::kReplyTimeoutMs);
  EXPECT_TRUE(page.commandIdle());
  EXPECT_EQ(host.LastMessage(), NoReplyText(1));
}

TEST_F(PageTest, ThePressureTargetIsCheckedSentAndStartsThePoll) {
  const struct {
    const char* target;
    const char* deviation;
    const char* message;  // "" when sent
    uint8_t high, low;
  } cases[] = {
      {"2300", "1700", "", 0x0F, 0xA0},
      {"2300", "-2300", "", 0x00, 0x00},
      {"2300", "1701", "Pressure deviation value is out of range!", 0, 0},
      {"2300", "-2301", "Pressure deviation value is out of range!", 0, 0},
      {"2300", "1.5", "Please input integer for pressure deviation value!", 0, 0},
      {"x", "0", "Please input integer for pressure target value!", 0, 0},
      {"10001", "0", "Pressure target value is out of range!", 0, 0},
      {"4000", "1", "Pressure target value is out of range!", 0, 0},
  };
  for (const auto& c : cases) {
    PageHost h;
    EngineeringDebug p(h, nullptr);
    p.OnPressureSend(c.target, c.deviation, Needles());
    EXPECT_EQ(h.testCount, "0");
    if (std::string(c.message).empty()) {
      ASSERT_EQ(h.sent.size(), 1u) << c.deviation;
      EXPECT_EQ(h.sent[0][2], 0x08);
      EXPECT_EQ(h.sent[0][3], c.high);
      EXPECT_EQ(h.sent[0][4], c.low);
      EXPECT_FALSE(h.pressureEnabled);
      EXPECT_FALSE(h.switchesEnabled);
    } else {
      EXPECT_TRUE(h.sent.empty()) << c.target << " " << c.deviation;
      EXPECT_EQ(h.LastMessage(), c.message);
    }
  }
  page.OnPressureSend("2300", "1700", Needles());
  EXPECT_EQ(Hex(host.sent.back()), "7E EF 08 0F A0 00 00 00 00 00 00 00 48 E7");
  Reply(FrameClassDebug, 0x08, 0x0F, 0xA0);
  EXPECT_TRUE(host.polling);
  EXPECT_TRUE(host.switchesEnabled);
  EXPECT_FALSE(host.pressureEnabled);
  Reply(FrameClassStatus, 0x81, 0x01, 0x2C);
  EXPECT_EQ(host.pressure, "300");
  EXPECT_TRUE(host.pressureEnabled);
}

TEST_F(PageTest, SwitchButtonsFollowTheBoardsReplies) {
  page.OnSwitch(0);
  EXPECT_EQ(host.sent.back()[2], 0x00);
  EXPECT_EQ(host.sent.back()[3], 0x01);
  page.OnSwitch(0);  // pressed again before the reply: the same request
  EXPECT_EQ(host.sent.back()[3], 0x01);
  Reply(FrameClassDebug, 0x00, 0x01, 0xEF);
  EXPECT_EQ(host.LastMessage(), "60V Output opened!");
  EXPECT_EQ(host.captions[0], "Close");
  page.OnSwitch(0);
  EXPECT_EQ(host.sent.back()[3], 0x00);
  Reply(FrameClassFault, 0xEF, 0x00, 0x00);
  EXPECT_EQ(host.LastMessage(), "60V Output close failed!");
  EXPECT_EQ(host.captions[0], "Close");
  EXPECT_EQ(page.switchState(0), 0);
  page.OnSwitch(2);
  Reply(FrameClassFault, 0xEF, 0x02, 0x01);
  EXPECT_EQ(host.LastMessage(), "Motor enable open failed!");
  EXPECT_EQ(page.switchState(2), 1);
  Reply(FrameClassFault, 0xEF, 0x04, 0x00);
  EXPECT_EQ(host.LastMessage(), "Z轴电机运动出错！");
  Reply(FrameClassDebug, 0x01, 0x01, 0x00, /*bad=*/true);
  EXPECT_EQ(host.LastMessage(), "Checksum error");
}

TEST_F(PageTest, ARepeatTestOfOneCountSendsTheThreeFramesAndEnds) {
  page.OnTestStart("1");
  EXPECT_FALSE(DebugExitAllowed);
  EXPECT_FALSE(host.startEnabled);
  EXPECT_FALSE(host.switchesEnabled);
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(Hex(host.sent[0]), "7E AA 90 00 00 00 00 00 00 00 00 00 3A E7");
  Reply(FrameClassCommand, 0x90);
  EXPECT_EQ(Hex(host.sent[1]), "7E AA 01 32 32 00 00 00 00 00 00 00 AB E7");
  Reply(FrameClassCommand, 0x01);
  EXPECT_EQ(host.Commands().back(), "AA 11");
  Reply(FrameClassCommand, 0x11);
  EXPECT_FALSE(page.testRunning());
  EXPECT_EQ(page.testsDone(), 1);
  EXPECT_TRUE(DebugExitAllowed);
  EXPECT_TRUE(page.commandIdle());
  EXPECT_TRUE(host.startEnabled);
  EXPECT_EQ(host.sent.size(), 3u);
}

TEST_F(PageTest, TheRepeatTestCountsItsCountsToTheNumberAsked) {
  // (count typed, stop after this many end-of-count replies or -1, counts expected)
  const struct {
    const char* typed;
    int stopAfter;
    int counts;
  } cases[] = {{"3", -1, 3}, {"2", 1, 2}, {"-1", 4, 5}, {"5", 0, 1}};
  for (const auto& c : cases) {
    PageHost h;
    EngineeringDebug p(h, nullptr);
    p.OnTestStart(c.typed);
    if (c.stopAfter == 0) p.OnTestStop();
    Feed(p, Frame(FrameClassCommand, 0x90, 0xFF));
    int ends = 0;
    while (p.testRunning() && ends < 20) {
      Feed(p, Frame(FrameClassCommand, 0x01, 0xFF));
      Feed(p, Frame(FrameClassCommand, 0x11, 0xFF));
      ++ends;
      if (ends == c.stopAfter) p.OnTestStop();
    }
    int starts = 0, finishes = 0, modes = 0;
    for (const auto& n : h.Commands()) {
      starts += n == "AA 01";
      finishes += n == "AA 11";
      modes += n == "AA 90";
    }
    EXPECT_EQ(modes, 1) << c.typed;
    EXPECT_EQ(starts, c.counts) << c.typed;
    EXPECT_EQ(finishes, c.counts) << c.typed;
    EXPECT_EQ(p.testsDone(), c.counts) << c.typed;
    EXPECT_FALSE(p.testRunning());
  }
}

// Each command of the page closes an open prompt first; the repeat test's frames do not.
TEST_F(PageTest, CommandsButTheRepeatTestsCloseAnOpenPrompt) {
  page.OnStep(0, 1, "12");
  EXPECT_EQ(host.promptsClosed, 1);
  page.OnPollTick();
  EXPECT_EQ(host.promptsClosed, 2);
  PageHost h;
  EngineeringDebug p(h, nullptr);
  p.OnTestStart("1");
  Feed(p, Frame(FrameClassCommand, 0x90, 0xFF));
  Feed(p, Frame(FrameClassCommand, 0x01, 0xFF));
  Feed(p, Frame(FrameClassCommand, 0x11, 0xFF));
  EXPECT_EQ(h.Commands(), (std::vector<std::string>{"AA 90", "AA 01", "AA 11"}));
  EXPECT_EQ(h.promptsClosed, 0);
}

TEST_F(PageTest, ATestCountOfZeroOrNotANumberStartsNothing) {
  page.OnTestStop();
  page.OnTestStart("0");
  EXPECT_TRUE(host.sent.empty());
  EXPECT_TRUE(DebugExitAllowed);
  page.OnTestStart("2.5");
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(host.LastMessage(), "Please input integer for test times!");
  // The count is a signed 32-bit number: beyond it the text used to wrap to -1, an endless test.
  for (const char* typed : {"99999999999999999999", "2147483648", "-2147483649", "-99999999999999999999"}) {
    page.OnTestStart(typed);
    EXPECT_TRUE(host.sent.empty()) << typed;
    EXPECT_FALSE(page.testRunning()) << typed;
    EXPECT_EQ(host.LastMessage(), "Please input an integer between -2147483648 and 2147483647 for test times!") << typed;
  }
  // The ends of the range are counts.
  for (const char* typed : {"2147483647", "-2147483648"}) {
    PageHost h;
    EngineeringDebug p(h, nullptr);
    p.OnTestStart(typed);
    EXPECT_TRUE(p.testRunning()) << typed;
    EXPECT_EQ(p.testCount(), std::strtoll(typed, nullptr, 10)) << typed;
  }
}

TEST_F(PageTest, ARepeatTestEndsWhenTheBoardStopsAnsweringOrRefuses) {
  page.OnTestStart("3");
  Reply(FrameClassCommand, 0x90);
  AdvanceAndPoll(page, EngineeringDebug::kCountTimeoutMs);
  EXPECT_FALSE(page.testRunning());
  EXPECT_TRUE(DebugExitAllowed);
  EXPECT_EQ(host.LastMessage(), NoReplyText(1));

  page.OnTestStart("3");
  Reply(FrameClassCommand, 0x90);
  Reply(FrameClassFault, 0x01, 0x02);
  EXPECT_FALSE(page.testRunning());
  EXPECT_TRUE(page.commandIdle());
  EXPECT_EQ(host.LastMessage(), RefusedText(1));
}

TEST_F(PageTest, NoResetIsSentWhileTheRepeatTestRunsAndExitIsRefused) {
  page.OnStep(0, 0, "3");
  page.OnTestStart("-1");
  const size_t before = host.sent.size();
  page.OnLeaveTab();
  page.OnExit(Needles());
  page.OnMachineReset();
  EXPECT_EQ(host.sent.size(), before);
  EXPECT_EQ(host.closed, 0);
  page.OnTestStop();
  Reply(FrameClassCommand, 0x90);
  Reply(FrameClassCommand, 0x01);
  Reply(FrameClassCommand, 0x11);
  page.OnLeaveTab();
  EXPECT_EQ(host.Commands().back(), "AA FF");
}

TEST_F(PageTest, ExitStoresTheNeedlePositionsAndClosesAtOnceWhenTheBoardWasNotMoved) {
  conn.Connect();
  page.OnExit(Needles("1", "-2", "3", "-4", "255"));
  EXPECT_EQ(host.closed, 1);
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(RawScalar("select Needle1||','||Needle2||','||Needle3||','||Needle4||','||Needle5 from EngineeringDebug"),
            "1,-2,3,-4,255");
  EXPECT_EQ(RawCount("select count(*) from EngineeringDebug"), 1);
}

TEST_F(PageTest, ExitAfterAMoveResetsTheBoardAndClosesOnItsReplyOrAfterTheTimeOut) {
  page.OnStep(3, 1, "5");
  page.OnExit(Needles());
  EXPECT_EQ(host.Commands().back(), "AA FF");
  EXPECT_EQ(host.closed, 0);
  Reply(FrameClassCommand, 0xFF);
  EXPECT_EQ(host.closed, 1);

  PageHost h;
  EngineeringDebug silent(h, nullptr);
  silent.OnStep(0, 0, "1");
  silent.OnExit(Needles());
  AdvanceAndPoll(silent, EngineeringDebug::kReplyTimeoutMs);
  EXPECT_EQ(h.closed, 1);
  EXPECT_EQ(h.LastMessage(), NoReplyText(1));
}

TEST_F(PageTest, AnExitRefusedByTheNeedleCheckLeavesThePageUsable) {
  page.OnExit(Needles("0", "x"));
  EXPECT_EQ(host.LastMessage(), "Please input integer for needle position!");
  EXPECT_TRUE(host.exitEnabled);
  EXPECT_TRUE(page.commandIdle());
  page.OnMachineReset();
  EXPECT_EQ(host.Commands(), (std::vector<std::string>{"AA FF"}));
}

// ---- The debug screen against the board simulator.

class DebugScreenTest : public ServiceScreenTest {};

TEST_F(DebugScreenTest, LeavingTab1ResetsAMovedBoardEveryTime) {
  CDebugSel screen(nullptr);
  std::vector<size_t> counts;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.RunUntil([&] {
                              screen.SelectTab(1);
                              screen.SelectTab(0);
                              return true;
                            });
                            counts.push_back(sim.ReceivedCount());
                            s.RunUntil([&] {
                              screen.page1()->logic()->OnStep(0, 1, "12");
                              return true;
                            });
                            sim.WaitForReceived(1, 3000);
                            for (int i = 0; i < 2; ++i) {
                              s.RunUntil([&] {
                                screen.SelectTab(1);
                                screen.SelectTab(0);
                                return true;
                              });
                              sim.WaitForReceived(2 + i, 3000);
                              s.RunUntil([&] { return screen.page1()->logic()->commandIdle(); }, 3000);
                            }
                            counts.push_back(sim.ReceivedCount());
                            s.RunUntil([&] { return !screen.page1()->logic()->waiting(); }, 3000);
                            s.RunUntil([&] {
                              screen.page1()->logic()->OnExit(Needles());
                              return true;
                            });
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_EQ(counts, (std::vector<size_t>{0u, 3u}));
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"EF 03", "AA FF", "AA FF", "AA FF"}));
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(DebugScreenTest, TheRepeatTestRunsItsCountsOnTheBoard) {
  CDebugSel screen(nullptr);
  int done = 0;
  bool refusedExit = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.RunUntil([&] {
                              screen.page1()->logic()->OnTestStart("2");
                              screen.page1()->logic()->OnExit(Needles());  // refused while it runs
                              return true;
                            });
                            refusedExit = !screen.IsEnded();
                            s.RunUntil([&] { return !screen.page1()->logic()->testRunning(); }, 10000);
                            done = screen.page1()->logic()->testsDone();
                            s.RunUntil([&] {
                              screen.page1()->logic()->OnExit(Needles());
                              return true;
                            });
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_TRUE(refusedExit);
  EXPECT_EQ(done, 2);
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"AA 90", "AA 01", "AA 11", "AA 01", "AA 11"}));
  EXPECT_TRUE(screen.IsEnded());
}

// A prompt left open (the switch's "opened" message) is closed before the next command goes to
// the board, so it never stands over what that command brings.
TEST_F(DebugScreenTest, AnOpenPromptIsClosedBeforeTheNextCommand) {
  CDebugSel screen(nullptr);
  std::string shown;
  bool closed = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CService::kSwitchIds[0]);
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            shown = s.MessageBoxText();
                            s.RunUntil([&] {
                              screen.page1()->logic()->OnStep(0, 1, "12");
                              return true;
                            });
                            closed = s.RunUntil([&] { return s.MessageBox() == nullptr; }, 1000);
                            if (!closed) s.AnswerMessageBox(1);
                            sim.WaitForReceived(2, 3000);
                            s.RunUntil([&] { return !screen.page1()->logic()->waiting(); }, 3000);
                            s.RunUntil([&] {
                              screen.page1()->logic()->OnExit(Needles());
                              return true;
                            });
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_EQ(shown, "60V Output opened!");
  EXPECT_TRUE(closed);
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"EF 00", "EF 03", "AA FF"}));
}

TEST_F(DebugScreenTest, ARefusedEngineeringCommandIsReported) {
  sim.RefuseNextDebug(0x05);
  CDebugSel screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CService::kStepButtonIds[2]);
                            box = TakeBox(s);
                            s.Press(ui::IDCANCEL);
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_EQ(box, "注射器运动出错！");
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"EF 05", "AA FF"}));
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(DebugScreenTest, ASilentBoardStillLetsTheScreenClose) {
  sim.SetSilent(true);
  CDebugSel screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CService::kStepButtonIds[0]);
                            s.Press(ui::IDCANCEL);
                            s.Advance(EngineeringDebug::kReplyTimeoutMs + 1000);
                            box = TakeBox(s);
                            s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                          }));
  EXPECT_EQ(box, NoReplyText(1));
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

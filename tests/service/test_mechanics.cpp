// The mechanics and valve checks: the check commands, "OK" and "Error" from the board's
// answers matched to what was sent, the all-valves lock, damaged answers and the time-out that
// keeps the screen leavable; on the logic, then on the screens against the board simulator.
#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "core/app_settings.h"
#include "platform/ui/messages.h"
#include "service/mech_check.h"
#include "service/mech_check_dlg.h"
#include "service/valves_check_dlg.h"
#include "service_fixture.h"

using namespace service;
using analyzer::FrameClassCommand;
using analyzer::FrameClassFault;

namespace {

class MechHost : public Recorder, public MechanicsHost {
 public:
  void SetResult(int part, const std::string& text) override { results[part] = text; }
  std::string results[4];
};

class MechTest : public ::testing::Test {
 protected:
  void Reply(uint8_t cls, uint8_t command, uint8_t status = 0xFF, bool bad = false) {
    Feed(check, Frame(cls, command, status, 0, bad));
  }
  SequenceFolder folder;
  MechHost host;
  MechCheck check{host};
};

TEST_F(MechTest, EachPartsAnswerShowsInItsOwnField) {
  const struct {
    int part;
    uint8_t cls, status;
    const char* shown;
  } cases[] = {
      {0, FrameClassCommand, 0xFF, "OK"},
      {1, FrameClassFault, 0x01, "Error"},
      {2, FrameClassCommand, 0xFF, "OK"},
      {3, FrameClassFault, 0x02, "Error"},
  };
  for (const auto& c : cases) {
    MechHost h;
    MechCheck m(h);
    m.SendCheck(c.part);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0][2], 0x60 + c.part);
    EXPECT_FALSE(m.idle());
    Feed(m, Frame(c.cls, static_cast<uint8_t>(0x60 + c.part), c.status));
    EXPECT_TRUE(m.idle());
    for (int p = 0; p < 4; ++p) EXPECT_EQ(h.results[p], p == c.part ? c.shown : "") << c.part << " " << p;
  }
}

TEST_F(MechTest, ARefusalWithTheDoneStatusShowsNothingAndFreesTheScreen) {
  check.SendCheck(1);
  Reply(FrameClassFault, 0x61, 0xFF);
  EXPECT_TRUE(check.idle());
  EXPECT_EQ(host.results[1], "");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(MechTest, AnAnswerToACommandNotSentFromHereIsIgnored) {
  check.SendCheck(0);
  Reply(FrameClassCommand, 0x61);
  EXPECT_FALSE(check.idle());
  EXPECT_EQ(host.results[1], "");
  EXPECT_FALSE(check.CanExit());
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Operation not finished!"}));
}

TEST_F(MechTest, ADamagedAnswerIsReportedAndTheScreenWaitsOnlyUntilTheTimeOut) {
  check.SendCheck(1);
  Reply(FrameClassCommand, 0x61, 0xFF, /*bad=*/true);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Front end command check error!"}));
  ASSERT_EQ(host.sent.size(), 2u);
  EXPECT_EQ(Hex(host.sent[1]), "7E DD 00 00 00 00 00 00 00 00 00 00 DD E7");
  EXPECT_FALSE(check.idle());
  AdvanceAndPoll(check, MechCheck::kReplyTimeoutMs);
  EXPECT_TRUE(check.idle());
  EXPECT_EQ(host.LastMessage(), NoReplyText(1));
  EXPECT_TRUE(check.CanExit());
}

TEST_F(MechTest, ValveCommandsAndTheAllValvesLock) {
  check.SendValve(3);
  EXPECT_EQ(Hex(host.sent.back()), "7E AA 72 00 00 00 00 00 00 00 00 00 D8 E7");
  check.SendAllValves();
  check.SendAllValves();
  EXPECT_EQ(host.Commands(), (std::vector<std::string>{"AA 72", "AA 7B"}));
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Operation not finished!"}));
  // Any valve answer clears the lock.
  Reply(FrameClassCommand, 0x72);
  EXPECT_EQ(AllValvesPending, 0);
  EXPECT_EQ(host.LastMessage(), "Operation finished!");
  EXPECT_FALSE(check.idle());  // AA 7B is still unanswered
  Reply(FrameClassCommand, 0x7B);
  EXPECT_TRUE(check.idle());
}

TEST_F(MechTest, ADiluentEmptyReportDuringACheckKeepsItWaiting) {
  analyzer::Reagents().volumes().ReagentAlarmType = 0;
  check.SendCheck(0);
  Reply(analyzer::FrameClassStatus, 0x85, 0x01);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Diluent not enough!"}));
  EXPECT_FALSE(check.idle());
}

class MechScreenTest : public ServiceScreenTest {};

TEST_F(MechScreenTest, TheNeedleIsCheckedOnTheBoardAndTheScreenCloses) {
  CMechCheckDlg screen(nullptr);
  std::string result;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CMechCheckDlg::kNeedleId);
                            s.RunUntil([&] { return screen.check()->idle(); }, 3000);
                            result = s.Text(CMechCheckDlg::kResultIds[0]);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(result, "OK");
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(MechScreenTest, ABoardFaultShowsError) {
  sim.RefuseNext(0x61, 0x01);
  CMechCheckDlg screen(nullptr);
  std::string result;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CMechCheckDlg::kCarriageId);
                            s.RunUntil([&] { return screen.check()->idle(); }, 3000);
                            result = s.Text(CMechCheckDlg::kResultIds[1]);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(result, "Error");
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(MechScreenTest, ASilentBoardKeepsTheScreenOnlyUntilTheTimeOut) {
  sim.SetSilent(true);
  CMechCheckDlg screen(nullptr);
  std::string refused, timedOut;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CMechCheckDlg::kLiquidSyringeId);
                            s.Press(ui::IDCANCEL);
                            refused = TakeBox(s);
                            s.Advance(MechCheck::kReplyTimeoutMs + 1000);
                            timedOut = TakeBox(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(refused, "Operation not finished!");
  EXPECT_EQ(timedOut, NoReplyText(1));
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(MechScreenTest, TheValveCheckSendsOverTheMechanicsChecksPort) {
  CMechCheckDlg screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CMechCheckDlg::kValvesId);
                            s.Press(CValvesCheckDlg::kFirstValveId + 2);
                            box = TakeBox(s);
                            s.Press(ui::IDCANCEL);  // the valve check
                            s.Press(ui::IDCANCEL);  // the mechanics check
                          }));
  EXPECT_EQ(box, "Operation finished!");
  EXPECT_EQ(SimCommands(), (std::vector<std::string>{"AA 72"}));
  EXPECT_TRUE(screen.IsEnded());
}

// The valve check's title bar in the screens' blue with light text, not the system's bright
// title bar: every pixel of the band is the frame blue or lighter letters on it.
TEST_F(MechScreenTest, TheValveChecksTitleBarHasTheScreensLook) {
  CMechCheckDlg screen(nullptr);
  draw::Bitmap shot;
  ui::Rect window, insets;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CMechCheckDlg::kValvesId);
                            s.Advance(300);
                            ui::Window* valves = s.ActiveWindow();
                            ASSERT_NE(valves, &screen);
                            window = valves->GetWindowRect();
                            insets = valves->NonClientInsets();
                            shot = s.Screen();
                            s.Press(ui::IDCANCEL);  // the valve check
                            s.Press(ui::IDCANCEL);  // the mechanics check
                          }));
  ASSERT_GT(insets.top, 10) << "the valve check has a title bar";
  const draw::Color blue = draw::RGB(0, 76, 120);
  int letters = 0;
  for (int y = window.top; y < window.top + insets.top; ++y)
    for (int x = window.left; x < window.right; ++x) {
      const draw::Color c = shot.GetPixel(x, y);
      if (c == blue) continue;
      ++letters;
      ASSERT_GT(draw::GetRValue(c), draw::GetRValue(blue)) << x - window.left << "," << y - window.top;
      ASSERT_GE(draw::GetGValue(c), draw::GetGValue(blue)) << x - window.left << "," << y - window.top;
    }
  EXPECT_GT(letters, 20) << "the caption is written on the band";
}

}  // namespace

// The start-up and shutdown screens on the offscreen framework, talking to the board simulator
// over a pseudo-terminal.
#include <gtest/gtest.h>

#include <cerrno>

#include "tests/support/io_faults.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "analyzer/reagent.h"
#include "analyzer/screens/reagent_sel.h"
#include "analyzer/screens/reagent_vol_dlg.h"
#include "analyzer/screens/screen_common.h"
#include "analyzer/screens/stop_dlg.h"
#include "analyzer/screens/sys_close.h"
#include "analyzer/sequences/soak_reminder.h"
#include "platform/ui/app.h"
#include <thread>
#include "platform/sys/host.h"
#include "platform/sys/host_fakes.h"
#include "analyzer/screens/sys_start.h"
#include "analyzer/sequences/process_values.h"
#include "core/app_settings.h"
#include "fixture.h"
#include "analyzer/serial_port.h"
#include "controls/skin_loader.h"
#include "platform/ui/keys.h"
#include "platform/ui/messages.h"
#include "platform/ui/test_driver.h"
#include "tools/boardsim/simulator.h"
#include "tests/support/screen_pixels.h"
#include "tests/support/store_error_box.h"

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

// The board over the pseudo-terminal answers the start-up clean twice: the clean is booked once,
// the blank test runs its two passes once, and what the store holds after the screen (a power
// cut now) is the consumption of one clean and one blank count.
TEST_F(ScreenTest, StartupScreenTakesASecondCleanAnswerForNothing) {
  RawExec("update SysSetting set IsKJKB=1, IsKJQX=1, ReagentAlarmType=0, DiluentVol=1000, LyseVol=100, CleanerVol=200");
  CSysStart screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            // The reset, five offsets, five checks, fifteen parameters, then AA 05.
                            ASSERT_TRUE(s.RunUntil([&] { return sim.ReceivedCount() >= 27; }, 15000));
                            sim.SendRaw(Frame(FrameClassCommand, 0x05, 0xFF));
                            s.RunUntil([&] { return screen.IsEnded() || s.MessageBox() != nullptr; }, 20000);
                            if (s.MessageBox()) {
                              box = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                          }));
  EXPECT_EQ(box, "");
  std::map<std::string, int> sent;
  for (const CommandFrame& f : sim.Received()) ++sent[CommandName(f)];
  EXPECT_EQ(sent["AA 05"], 1);
  EXPECT_EQ(sent["AA 90"], 1);
  EXPECT_EQ(sent["AA 04"], 1);
  EXPECT_EQ(sent["AA 00"], 1);
  EXPECT_EQ(sent["AA 11"], 1);
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Startup'"), "Normal");
  // 1000 - 35.57 - 17.97, 100 - 0.57, 200 - 1.77 - 1.19.
  EXPECT_EQ(RawScalar("select printf('%.2f/%.2f/%.2f', DiluentVol, LyseVol, CleanerVol) from SysSetting"),
            "946.46/99.43/197.04");
}

// The board played by the test over the pseudo-terminal: the simulator only records, and each
// frame it records is answered with what `answer` returns (nothing, one frame or several).
using AnswerRule = std::function<std::vector<std::vector<uint8_t>>(const CommandFrame&)>;
void PlayBoard(ui::TestDriver& s, boardsim::Simulator& sim, const AnswerRule& answer, const std::function<bool()>& done,
               int64_t quietStepMs) {
  size_t seen = 0;
  for (int round = 0; round < 400 && !done(); ++round) {
    if (s.MessageBox()) s.AnswerMessageBox(ui::IDOK);
    if (!s.RunUntil([&] { return sim.ReceivedCount() > seen || done() || s.MessageBox() != nullptr; }, 300)) {
      s.Advance(quietStepMs);  // the board keeps quiet: let the screen's time run
      continue;
    }
    const std::vector<CommandFrame> got = sim.Received();
    for (; seen < got.size(); ++seen)
      for (const auto& reply : answer(got[seen])) sim.SendRaw(reply);
  }
}
std::vector<uint8_t> Ack(const CommandFrame& f) { return Frame(f[1], f[2], 0xFF); }

// The pseudo-terminal board acknowledges the needle check with the valves' acknowledgement
// (AA 7B FF for AA 60): the start-up neither skips the checks and parameters nor marks them
// sent; the check times out and the Startup row says so.
TEST_F(ScreenTest, StartupScreenIgnoresAnotherChecksAcknowledgement) {
  sim.SetSilent(true);
  CSysStart screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            PlayBoard(
                                s, sim,
                                [](const CommandFrame& f) {
                                  if (f[2] == 0x60) return std::vector<std::vector<uint8_t>>{Frame(0xAA, 0x7B, 0xFF)};
                                  return std::vector<std::vector<uint8_t>>{Ack(f)};
                                },
                                [&] { return screen.IsEnded(); }, 5000);
                          }));
  EXPECT_TRUE(screen.IsEnded());
  std::vector<std::string> sent;
  for (const CommandFrame& f : sim.Received()) sent.push_back(CommandName(f));
  EXPECT_EQ(sent, (std::vector<std::string>{"AA FF", "AA A3", "AA A4", "AA A5", "AA A6", "AA A7", "AA 60", "AA A9"}));
  EXPECT_EQ(BoardParametersSent, 0);
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Startup'"), "No reply from the analyzer");
}

// The pseudo-terminal board confirms a power-down that was never sent (AA A1 FF for AA 91):
// the shutdown screen waits for its own answer and ends after its last step, recorded as no
// reply; a second AA 91 FF after the real one sends the power-down once.
TEST_F(ScreenTest, ShutdownScreenIgnoresAnAnswerToACommandNotSent) {
  struct Case {
    bool powerDownForLeave;  // AA A1 FF in place of AA 91 FF, else AA 91 FF twice
    std::vector<std::string> sent;
    const char* result;
  } cases[] = {
      {true, {"AA 91"}, "No reply from the analyzer"},
      {false, {"AA 91", "AA A1"}, "OK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    RawExec("delete from SysLog");
    sim.SetSilent(true);
    const size_t before = sim.ReceivedCount();
    CSysClose screen(nullptr);
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              PlayBoard(
                                  s, sim,
                                  [&](const CommandFrame& f) {
                                    if (f[2] != 0x91) return std::vector<std::vector<uint8_t>>{Ack(f)};
                                    if (c.powerDownForLeave) return std::vector<std::vector<uint8_t>>{Frame(0xAA, 0xA1, 0xFF)};
                                    return std::vector<std::vector<uint8_t>>{Ack(f), Ack(f)};
                                  },
                                  [&] { return screen.IsEnded(); }, 7000);
                            }));
    EXPECT_TRUE(screen.IsEnded());
    std::vector<std::string> sent;
    const std::vector<CommandFrame> got = sim.Received();
    for (size_t i = before; i < got.size(); ++i) sent.push_back(CommandName(got[i]));
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(RawScalar("select group_concat(Result) from SysLog where Event='Shut Down'"), c.result);
  }
}

// A data store that cannot be written (a full disk) opens no box that would stop the start-up:
// it carries on to its end.
TEST_F(ScreenTest, StartupScreenWithAStoreThatCannotBeWrittenStillEnds) {
  CSysStart screen(nullptr);
  std::string box;
  bool ended = false;
  {
    support::IoFaults faults;
    faults.Add({sys::IoOp::Write, "Vantorium.mdb", 1, support::IoFaults::Error(ENOSPC), -1});
    ASSERT_TRUE(d.RunScript(
        [&] { support::ModalWithStoreErrorBox(screen); },
        [&](ui::TestDriver& s) {
          ended = s.RunUntil([&] { return screen.IsEnded() || s.MessageBox() != nullptr; }, 15000) &&
                  screen.IsEnded();
          // A box (the fault): answered until the screen ends, so the test itself ends.
          while (s.MessageBox()) {
            if (box.empty()) box = s.MessageBoxText();
            s.AnswerMessageBox(ui::IDOK);
            s.RunUntil([&] { return screen.IsEnded() || s.MessageBox() != nullptr; }, 15000);
          }
        }));
  }
  EXPECT_EQ(box, "");
  EXPECT_TRUE(ended);
}

TEST_F(ScreenTest, StartupScreenWithoutABoardPortStillEnds) {
  ::setenv("QUORVEX_COM4", folder.file("no-such-device").c_str(), 1);
  CSysStart screen(nullptr);
  std::vector<std::string> boxes;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            for (int i = 0; i < 40 && !screen.IsEnded(); ++i) {
                              if (s.MessageBox()) {
                                boxes.push_back(s.MessageBoxText());
                                s.AnswerMessageBox(ui::IDOK);
                              } else {
                                s.Advance(6000);
                              }
                            }
                          }));
  EXPECT_TRUE(screen.IsEnded());
  // The first open and each of the eight retries report the port, then the alarm mode fails.
  ASSERT_EQ(boxes.size(), 10u);
  EXPECT_EQ(boxes.front(), "Failed to initialize communications COM4 port!");
  EXPECT_EQ(boxes.back(), "Reagent volume alarm mode setting failure! please restart instrument!");
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Startup'"), "No reply from the analyzer");
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

TEST_F(ScreenTest, StopUseRunsItsThreeStepsAndSwitchesOff) {
  sys::FakePowerControl power;
  sys::SetPowerControl(&power);
  CStop screen(nullptr);
  std::vector<bool> cancelEnabled;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            for (int step = 0; step < 3; ++step) {
                              s.RunUntil([&] { return s.Enabled(ui::IDOK); }, 5000);
                              s.Press(ui::IDOK);
                              cancelEnabled.push_back(s.Enabled(ui::IDCANCEL));
                            }
                            s.RunUntil([&] { return screen.IsEnded(); }, 5000);
                          }));
  sys::SetPowerControl(nullptr);
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(cancelEnabled, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(sim.ReceivedCount(), 3u);
  EXPECT_EQ(RawScalar("select Result from SysLog where Event='Shut Down'"), "OK");
  EXPECT_FALSE(StopUsePort().IsOpen());
}

TEST_F(ScreenTest, StopUseCancelBeforeStartingSendsNothing) {
  CStop screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) { s.Press(ui::IDCANCEL); }));
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(sim.ReceivedCount(), 0u);
}

TEST_F(ScreenTest, PrimingScreenPrimesAndRefusesExitWhileBusy) {
  sim.WithModel([](boardsim::BoardModel& m) { m = boardsim::BoardModel(boardsim::BoardOptions{200, 200, false, 1}); });
  CReagentSel screen(nullptr, 1);
  std::string refused, status;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CReagentSel::kDiluentId);
                            s.Press(ui::IDCANCEL);  // the prime is still running
                            if (s.MessageBox()) {
                              refused = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            s.RunUntil([&] { return screen.operation()->idle(); }, 5000);
                            status = s.Text(CReagentSel::kStatusId);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_TRUE(screen.IsEnded());
  EXPECT_EQ(refused, "Operation not finished!");
  EXPECT_EQ(status, "Operation finished!");
  EXPECT_NEAR(Reagents().volumes().DiluentVol, 10000.0f - 24.74f, 1e-2);
}

TEST_F(ScreenTest, ReplacementModeOpensTheBottleScreenForTheChoice) {
  CReagentSel screen(nullptr, 2);
  std::vector<int> opened;
  screen.SetReplacementRunner([&](int selector) { opened.push_back(selector); });
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CReagentSel::kLyseId);
                            s.Press(CReagentSel::kAllId);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(opened, (std::vector<int>{2, 0}));
  EXPECT_EQ(sim.ReceivedCount(), 0u);
}

TEST_F(ScreenTest, BottleScreenRefusesCommaAndNegativeAndStoresTheDiluent) {
  Reagents().volumes().LyseVol = -3.5f;
  CReagentVolDlg dlg(nullptr);
  dlg.SetReagent(1);
  std::string first, negative, second, typed, leftLyse;
  bool lyseEnabled = true;
  int result = 0;
  ASSERT_TRUE(d.RunScript([&] { result = dlg.DoModal(); },
                          [&](ui::TestDriver& s) {
                            leftLyse = s.Text(CReagentVolDlg::kLyseLeft);
                            lyseEnabled = s.Enabled(CReagentVolDlg::kLyseEdit);
                            s.RunUntil([&] {  // empty the field, then type as the operator
                              dlg.SetDlgItemText(CReagentVolDlg::kDiluentEdit, "");
                              return true;
                            });
                            s.Press(CReagentVolDlg::kDiluentEdit);
                            s.Type("1,5");
                            s.Press(ui::IDOK);
                            if (s.MessageBox()) {
                              first = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            s.RunUntil([&] {
                              dlg.SetDlgItemText(CReagentVolDlg::kDiluentEdit, "");
                              return true;
                            });
                            s.Press(CReagentVolDlg::kDiluentEdit);
                            s.Type("-5");
                            s.Press(ui::IDOK);
                            if (s.MessageBox()) {
                              negative = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                            }
                            s.RunUntil([&] {  // empty the field, then type as the operator
                              dlg.SetDlgItemText(CReagentVolDlg::kDiluentEdit, "");
                              return true;
                            });
                            s.Press(CReagentVolDlg::kDiluentEdit);
                            s.Type("12");
                            typed = s.Text(CReagentVolDlg::kDiluentEdit);
                            s.Press(ui::IDOK);
                            if (s.MessageBox()) {
                              second = s.MessageBoxText();
                              s.AnswerMessageBox(ui::IDOK);
                              s.Press(ui::IDCANCEL);
                            }
                          }));
  EXPECT_EQ(second, "");
  EXPECT_EQ(typed, "12");
  EXPECT_EQ(leftLyse, "0.00");
  EXPECT_FALSE(lyseEnabled);
  EXPECT_EQ(first, "Please input digits for reagent vol.!");
  EXPECT_EQ(negative, "Reagent vol. should be between 0 and 100!");
  EXPECT_EQ(result, ui::IDOK);
  EXPECT_FLOAT_EQ(Reagents().volumes().DiluentVol, 12000.0f);
  EXPECT_FLOAT_EQ(Reagents().volumes().LyseVol, -3.5f);  // shown as 0, not changed
  EXPECT_DOUBLE_EQ(std::stod(RawScalar("select NewDiluentVol from SysSetting")), 12.0);
}

TEST_F(ScreenTest, BottleScreenCancelChangesNothing) {
  Reagents().volumes().CleanerVol = -1.0f;
  CReagentVolDlg dlg(nullptr);
  dlg.SetReagent(0);
  const std::string before = RawScalar("select DiluentVol||LyseVol||CleanerVol||DiluentReplDate from SysSetting");
  ASSERT_TRUE(d.RunScript([&] { dlg.DoModal(); }, [&](ui::TestDriver& s) { s.Press(ui::IDCANCEL); }));
  EXPECT_FLOAT_EQ(Reagents().volumes().CleanerVol, -1.0f);
  EXPECT_EQ(RawScalar("select DiluentVol||LyseVol||CleanerVol||DiluentReplDate from SysSetting"), before);
}

// The small skinned screens draw their own frame (and stop-use its own title band): the window
// has no frame of the framework around them, so the client area fills the whole window and the
// window's top edge shows the skin frame's colour, not a caption bar.
TEST_F(ScreenTest, SkinnedScreensHaveNoFrameworkTitleBar) {
  sim.WithModel([](boardsim::BoardModel& m) { m.SetSilent(true); });
  struct Case {
    const char* name;
    std::function<std::unique_ptr<ui::Dialog>()> make;
  };
  const Case cases[] = {
      {"stop use", [] { return std::make_unique<CStop>(nullptr); }},
      {"priming", [] { return std::make_unique<CReagentSel>(nullptr, 1); }},
      {"bottle replacement", [] { return std::make_unique<CReagentSel>(nullptr, 2); }},
      {"reagent volumes", [] { return std::make_unique<CReagentVolDlg>(nullptr); }},
  };
  const draw::Color frame = draw::RGB(0, 76, 120);
  for (const Case& c : cases) {
    std::unique_ptr<ui::Dialog> screen = c.make();
    support::WindowEdges edges;
    draw::Bitmap shot;
    ASSERT_TRUE(d.RunScript([&] { screen->DoModal(); },
                            [&](ui::TestDriver& s) {
                              edges = support::ReadWindowEdges(s, screen.get());
                              shot = s.Screen();
                              s.Press(ui::IDCANCEL);
                              while (s.MessageBox()) s.AnswerMessageBox(ui::IDOK);
                            }))
        << c.name;
    EXPECT_TRUE(edges.Frameless()) << c.name;
    EXPECT_EQ(edges.top, frame) << c.name;
    EXPECT_EQ(edges.left, frame) << c.name;
    EXPECT_EQ(edges.bottom, frame) << c.name;
    // The frame reads as one on every side: at least three pixels of it at the sides and the
    // bottom, not a hairline.
    const ui::Rect w = edges.window;
    const int midX = (w.left + w.right) / 2, midY = (w.top + w.bottom) / 2;
    for (int depth = 0; depth < 3; ++depth) {
      EXPECT_EQ(shot.GetPixel(w.left + depth, midY), frame) << c.name << ", left, pixel " << depth;
      EXPECT_EQ(shot.GetPixel(w.right - 1 - depth, midY), frame) << c.name << ", right, pixel " << depth;
      EXPECT_EQ(shot.GetPixel(midX, w.bottom - 1 - depth), frame) << c.name << ", bottom, pixel " << depth;
    }
  }
}

// Each screen painted with its skins in English and Chinese (pictures in ./png for a look);
// every skin it names must exist.
TEST_F(ScreenTest, EveryScreenPaintsWithItsSkinsInEnglishAndChinese) {
  RegisterSkinBitmaps("/nonexistent/");  // the skins are drawn by the generator
  ClearSkinLoadFailures();
  const std::filesystem::path dir = std::filesystem::current_path() / "png";
  std::filesystem::create_directories(dir);
  sim.WithModel([](boardsim::BoardModel& m) { m.SetSilent(true); });  // the screens stay at their first step
  sys::FakePowerControl power;
  sys::SetPowerControl(&power);
  struct Case {
    const char* name;
    std::function<std::unique_ptr<ui::Dialog>()> make;
  };
  const Case cases[] = {
      {"sys_start", [] { return std::make_unique<CSysStart>(nullptr); }},
      {"sys_close", [] { return std::make_unique<CSysClose>(nullptr); }},
      {"stop_use", [] { return std::make_unique<CStop>(nullptr); }},
      {"reagent_prime", [] { return std::make_unique<CReagentSel>(nullptr, 1); }},
      {"reagent_volume", [] {
         auto dlg = std::make_unique<CReagentVolDlg>(nullptr);
         dlg->SetReagent(2);
         return dlg;
       }},
  };
  const uint8_t savedLanguage = AppSettings.LanguageIndex;
  const bool savedEdition = AppSettings.ChineseEdition;
  for (const Case& c : cases) {
    for (const int lang : {1, 0}) {
      // The start-up screen takes the language from the store, Chinese only in that edition.
      AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
      AppSettings.ChineseEdition = lang == 0;
      RawExec("update SysSetting set SLanguage=" + std::to_string(lang));
      std::unique_ptr<ui::Dialog> screen = c.make();
      bool saved = false;
      const std::string file = (dir / (std::string(c.name) + (lang == 0 ? "_zh" : "_en") + ".png")).string();
      ASSERT_TRUE(d.RunScript([&] { screen->DoModal(); },
                              [&](ui::TestDriver& s) {
                                saved = s.SaveScreenshot(file);
                                // Leave: screens that end by themselves are ended as their
                                // sequences end them.
                                s.RunUntil([&] {
                                  screen->PostMessage(kEndScreenMessage);
                                  return true;
                                });
                                s.Settle();
                                if (!screen->IsEnded()) s.Press(ui::IDCANCEL);
                                while (s.MessageBox()) s.AnswerMessageBox(ui::IDOK);
                              }))
          << c.name;
      EXPECT_TRUE(saved) << file;
    }
  }
  AppSettings.LanguageIndex = savedLanguage;
  AppSettings.ChineseEdition = savedEdition;
  sys::SetPowerControl(nullptr);
  EXPECT_EQ(SkinLoadFailures(), std::vector<std::string>{});
}

TEST_F(ScreenTest, SoakReminderFromAPrintingThreadIsShownByTheUiThread) {
  Soak.DeviceTestTimes = 500;
  Soak.SetSoakTimes = 200;
  std::string box;
  bool shownOnUi = false;
  ASSERT_TRUE(d.RunScript(
      [&] {
        std::thread printer([] { CheckSoakAfterSample(); });
        printer.join();
        // The box is queued for this thread; serve it until the script has answered it.
        ui::RunMessageLoop();
      },
      [&](ui::TestDriver& s) {
        s.RunUntil([&] { return s.MessageBox() != nullptr; }, 5000);
        box = s.MessageBoxText();
        shownOnUi = s.MessageBox() != nullptr;
        s.AnswerMessageBox(ui::IDOK);
        s.RunUntil([&] {
          ui::PostQuitMessage(0);
          return true;
        });
      }));
  EXPECT_TRUE(shownOnUi);
  EXPECT_EQ(box, SoakReminderText(AppSettings.LanguageIndex));
}

}  // namespace

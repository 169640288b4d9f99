#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/layout.h"
#include "app/screens/main_menu_texts.h"
#include "core/screen_registry.h"
#include "app/screens/vantorium_app.h"
#include "controls/message_box_dlg.h"
#include "lis/lis_link.h"
#include "measurement/count_note.h"
#include "platform/sys/host_fakes.h"
#include "platform/sys/single_instance.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"
#include "tools/boardsim/simulator.h"
#include "tools/printersim/server.h"

namespace {

class StartupTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    Sql("update SysSetting set SLanguage=1");
    ASSERT_TRUE(board.Start().ok());
    ASSERT_TRUE(printer.Start().ok());
    setenv("QUORVEX_COM4", board.DevicePath().c_str(), 1);
    setenv("QUORVEX_COM3", printer.SlavePath().c_str(), 1);
    RegisterScreen("CSysStart", [this] { order.push_back("CSysStart"); return 1; });
    RegisterScreen("CSysClose", [this] { order.push_back("CSysClose"); return 1; });
    sys::SetPowerControl(&power);
    app.lockFolder = Folder().string();
    app.boardCheckWaitMs = 0;
  }
  void TearDown() override {
    RegisterScreen("CSysStart", {});
    RegisterScreen("CSysClose", {});
    sys::SetPowerControl(nullptr);
    unsetenv("QUORVEX_COM4");
    unsetenv("QUORVEX_COM3");
    printer.Stop();
    board.Stop();
    ScreenTest::TearDown();
  }
  // Runs the start-up; `script` answers what comes up and must leave the main menu on top,
  // which is then shut down.
  void RunStartup(const std::function<void(ui::TestDriver&)>& script) {
    bool ok = d.RunScript([&] { app.InitInstance(); app.ExitInstance(); }, [&](ui::TestDriver& s) {
      script(s);
      ASSERT_NE(s.Find(IDC_MENU_SHUTDOWN), nullptr) << "the main menu is not on screen";
      s.Press(IDC_MENU_SHUTDOWN);
      s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
    });
    EXPECT_TRUE(ok);
  }
  bool Has(const std::string& step) const {
    return std::find(app.steps.begin(), app.steps.end(), step) != app.steps.end();
  }

  boardsim::Simulator board;
  printersim::Server printer;
  sys::FakePowerControl power;
  CVantoriumApp app;
  std::vector<std::string> order;
};

TEST_F(StartupTest, StepsRunInOrderAndShutdownPowersOff) {
  RunStartup([&](ui::TestDriver& s) {
    EXPECT_EQ(s.MessageBox(), nullptr);
    EXPECT_EQ(s.Text(IDC_MENU_TEST), "TEST");  // the language of the data store
    Shot("startup_main_menu");
  });
  const std::vector<std::string> expected = {"screen", "single-instance", "help-key", "restore", "core", "raw-files", "lis-link", "start-up-screen",
                                             "printer", "board-port", "board-port-released", "main-menu",
                                             "main-menu-ended"};
  EXPECT_EQ(app.steps, expected);
  EXPECT_EQ(order, (std::vector<std::string>{"CSysStart", "CSysClose"}));
  EXPECT_EQ(AppSettings.ProductName, "QX-4150");
  EXPECT_EQ(power.calls, 1);
  EXPECT_FALSE(lis::LisThreadsRunning());  // the LIS link's threads ended with the program
}

TEST_F(StartupTest, ARawRewriteCutOffLastTimeIsSettledBeforeTheLisLinkStarts) {
  // A delete committed its new pair (one record, "20240102 1" filled with 3) but was cut off
  // before the renames; the old pair has two records.
  const std::string dir = AppSettings.ProgramFolder;
  const auto write = [&](const char* index, const char* data, std::vector<std::pair<std::string, char>> records) {
    std::ofstream tdi(dir + index, std::ios::binary), td(dir + data, std::ios::binary);
    for (const auto& r : records) {
      char key[32] = {};
      std::memcpy(key, r.first.data(), r.first.size());
      tdi.write(key, 32);
      const std::string block(2560, r.second);
      td.write(block.data(), 2560);
    }
  };
  write("TDI.dat", "TD.dat", {{"20240101 1", 1}, {"20240102 1", 3}});
  write("TDITemp.dat", "TDTemp.dat", {{"20240102 1", 3}});
  std::ofstream(dir + "TDCommit.dat").close();
  RunStartup([&](ui::TestDriver&) {});
  // Settled before the LIS link's threads start.
  const auto at = [&](const char* step) { return std::find(app.steps.begin(), app.steps.end(), step); };
  EXPECT_LT(at("raw-files"), at("lis-link"));
  EXPECT_EQ(std::filesystem::file_size(dir + "TDI.dat"), 32u);
  EXPECT_EQ(std::filesystem::file_size(dir + "TD.dat"), 2560u);
  for (const char* f : {"TDITemp.dat", "TDTemp.dat", "TDCommit.dat"}) EXPECT_FALSE(std::filesystem::exists(dir + f)) << f;
}

TEST_F(StartupTest, MissingPortsAreReportedAndTheMenuStillComes) {
  struct Case {
    const char* variable;
    const char* step;
    const char* message;
  } cases[] = {
      {"QUORVEX_COM3", "printer-failed", "Failed to initialize printer COM port!"},
      {"QUORVEX_COM4", "board-port-failed", "Failed to initialize communications COM port!"},
  };
  for (const Case& c : cases) {
    setenv("QUORVEX_COM4", board.DevicePath().c_str(), 1);
    setenv("QUORVEX_COM3", printer.SlavePath().c_str(), 1);
    setenv(c.variable, (Folder() / "no-such-port").c_str(), 1);
    RunStartup([&](ui::TestDriver& s) {
      EXPECT_EQ(s.MessageBoxText(), c.message);
      s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
    });
    EXPECT_TRUE(Has(c.step)) << c.step;
    EXPECT_TRUE(Has("main-menu-ended"));
    AppSettings.PowerOffFlag = 0;
  }
}

TEST_F(StartupTest, AResultLostWithThePreviousRunIsNamedOnceTheStartUpHasRun) {
  // The previous run was cut off after showing sample 12's result, before its row was stored.
  std::ofstream(AppSettings.ProgramFolder + measurement::kCountNoteFile)
      << "Quorvex count in progress\nversion=1\nSampleNo=12\nTestDate=2026-12-09\nTestTime=08:15:30\n";
  Sql("delete from SysLog");
  RunStartup([&](ui::TestDriver&) {});
  const std::string name =
      "Sample 12 (count started 2026-12-09 08:15:30): its result may have been shown but was not kept; count it again";
  EXPECT_EQ(Scalar("select Event || '|' || Result from SysLog"), "Sample test|" + name);
  EXPECT_EQ(measurement::LostCountNotice, name);  // for the test screen's box
  EXPECT_FALSE(std::filesystem::exists(AppSettings.ProgramFolder + measurement::kCountNoteFile));
  measurement::LostCountNotice.clear();
}

TEST_F(StartupTest, AStoreThatCannotBeOpenedIsToldWithTheButtonsOfTheRestOfTheStart) {
  // The language is not read yet when the store fails: the boxes of the start take the
  // international edition's English from the first to the last.
  std::filesystem::rename(Folder() / "Vantorium.mdb", Folder() / "Vantorium.mdb.away");
  std::filesystem::create_directory(Folder() / "Vantorium.mdb");
  std::ofstream(Folder() / "Setting.ini") << "[Setting]\nSOFTWAREVERSION=0\n";
  AppSettings.LanguageIndex = 0;  // as the program starts
  std::vector<std::string> boxes;
  RunStartup([&](ui::TestDriver& s) {
    for (int i = 0; i < 40 && s.RunUntil([&] { return s.MessageBox() != nullptr; }, 500); ++i) {
      boxes.push_back(s.MessageBoxText() + "|" + s.Text(IDC_MESSAGE_BOX_BUTTON1));
      s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
    }
  });
  ASSERT_FALSE(boxes.empty());
  EXPECT_NE(boxes[0].find("unable to open database file"), std::string::npos) << boxes[0];
  for (const std::string& b : boxes) EXPECT_EQ(b.substr(b.rfind('|') + 1), "OK") << b;
  std::filesystem::remove(Folder() / "Vantorium.mdb");
  std::filesystem::rename(Folder() / "Vantorium.mdb.away", Folder() / "Vantorium.mdb");
}

TEST_F(StartupTest, ASecondInstanceEndsSilently) {
  sys::SingleInstance first;
  ASSERT_EQ(first.Acquire("Quorvex.EXE", Folder().string()), sys::SingleInstance::Result::kFirst);
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(app.steps, (std::vector<std::string>{"screen", "second-instance"}));
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(ui::TopLevelWindows().size(), 0u);
  app.ExitInstance();
  EXPECT_EQ(power.calls, 0);
}

std::vector<std::string> g_raised;
bool RecordRaise(const char* title) {
  g_raised.push_back(title);
  return true;
}

TEST_F(StartupTest, HelpHotKeyRaisesTheHelpOfTheLanguage) {
  SetForeignWindowRaiser(RecordRaise);
  g_raised.clear();
  AppSettings.LanguageIndex = 4;
  ui::Message other;
  other.message = ui::WM_HOTKEY;
  other.wParam = 2;
  app.PreTranslateMessage(other);
  EXPECT_TRUE(g_raised.empty());
  ui::Message f1;
  f1.message = ui::WM_HOTKEY;
  f1.wParam = 1;
  app.PreTranslateMessage(f1);
  ASSERT_EQ(g_raised.size(), 1u);
  EXPECT_EQ(g_raised[0], "QX-4150 Автоматичний гематологічний аналізатор");
  SetForeignWindowRaiser(nullptr);
}

}  // namespace

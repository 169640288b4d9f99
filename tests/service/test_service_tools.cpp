// The service tools screen: the updaters started through the helper-program table (or the
// message saying why not), the shutdown before the back-end updater quits the program, the
// front-end updater looked for below the program folder, backup and restore; and the diluent
// instruction screen's ways out.
#include <filesystem>

#include "core/app_settings.h"
#include "core/screen_registry.h"
#include "platform/ui/keys.h"
#include "platform/ui/messages.h"
#include "service/back_door2.h"
#include "service/service_screens.h"
#include "service/service_tools.h"
#include "service/spit_diluent.h"
#include "service_fixture.h"

using namespace service;

namespace {

class ToolsHostStub : public ToolsHost {
 public:
  void Info(const std::string& t) override { events.push_back("info: " + t); }
  bool AskOkCancel(const std::string& t) override {
    events.push_back("ask: " + t);
    return answer;
  }
  void RunShutdown() override { events.push_back("shutdown"); }
  void Quit() override { events.push_back("quit"); }
  std::vector<std::string> events;
  bool answer = true;
};

class ToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetToolLauncher(
        [this](const std::string& file, std::string* error) {
          host.events.push_back("start " + file);
          if (!canStart && error) *error = "no updater configured";
          return canStart;
        },
        [this](const std::string& file, std::string* error) {
          if (!canStart && error) *error = "no updater configured";
          return canStart;
        });
  }
  void TearDown() override {
    UsePlatformToolLauncher();
    SetBackupRunner(nullptr);
  }
  SequenceFolder folder;
  ToolsHostStub host;
  bool canStart = true;
};

const char* kQuestion = "ask: The running program will be closed,are you sure?";

TEST_F(ToolsTest, TheBackEndUpdaterRunsTheShutdownStartsAndQuits) {
  UpdateBackSoftware(host);
  EXPECT_EQ(host.events, (std::vector<std::string>{kQuestion, "shutdown", "start " + folder.folder() + "Travenzo.exe", "quit"}));
}

TEST_F(ToolsTest, AnUpdaterThatCannotStartLeavesTheProgramRunning) {
  canStart = false;
  UpdateBackSoftware(host);
  EXPECT_EQ(host.events,
            (std::vector<std::string>{kQuestion, "info: The program could not be started."}));
}

TEST_F(ToolsTest, CancelInTheQuestionDoesNothing) {
  host.answer = false;
  UpdateBackSoftware(host);
  EXPECT_EQ(host.events, (std::vector<std::string>{kQuestion}));
}

TEST_F(ToolsTest, TheFrontEndUpdaterIsLookedForBelowTheProgramFolder) {
  UpdateFrontSoftware(host);
  EXPECT_EQ(host.events, (std::vector<std::string>{"info: No update file found!"}));
  host.events.clear();
  folder.write("tools/merdo.exe", "x");  // other letter case: not it
  UpdateFrontSoftware(host);
  EXPECT_EQ(host.events, (std::vector<std::string>{"info: No update file found!"}));
  host.events.clear();
  folder.write("update/v2/MERDO.EXE", "x");
  UpdateFrontSoftware(host);
  EXPECT_EQ(host.events, (std::vector<std::string>{"start " + folder.folder() + "update/v2/MERDO.EXE"}));
  host.events.clear();
  canStart = false;
  UpdateFrontSoftware(host);
  EXPECT_EQ(host.events.back(), "info: The program could not be started.");
}

TEST_F(ToolsTest, ExplorerAndBackup) {
  OpenExplorer(host);
  EXPECT_EQ(host.events, (std::vector<std::string>{"start C:\\WINDOWS\\Explorer.exe"}));
  host.events.clear();
  RunBackup(host, 1);
  EXPECT_EQ(host.events, (std::vector<std::string>{"info: This function is not available."}));
  std::vector<int> modes;
  SetBackupRunner([&](int mode) {
    modes.push_back(mode);
    return 1;
  });
  RunBackup(host, 1);
  RunBackup(host, 2);
  EXPECT_EQ(modes, (std::vector<int>{1, 2}));
}

TEST_F(ToolsTest, WithNoHelperConfiguredTheRealTableSaysSo) {
  TearDown();  // the platform's own table
  ::unsetenv("QUORVEX_HELPER_TRAVENZO");
  UpdateBackSoftware(host);
  ASSERT_EQ(host.events.size(), 2u);
  EXPECT_EQ(host.events[1], "info: The program could not be started.");
}

// The explorer that does not start is reported to the operator in the interface language, and
// the reason (a helper's variable or file name, meant for the engineer) is not shown.
TEST_F(ToolsTest, AProgramThatDoesNotStartIsReportedInTheOperatorsLanguage) {
  const uint8_t saved = AppSettings.LanguageIndex;
  struct Case {
    int language;
    const char* text;
  };
  const Case cases[] = {
      {0, "info: 无法启动该程序。"},
      {1, "info: The program could not be started."},
      {2, "info: No se pudo iniciar el programa."},
      {3, "info: Le programme n'a pas pu être démarré."},
      {4, "info: Не вдалося запустити програму."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    SetToolLauncher(
        [](const std::string&, std::string* error) {
          if (error) *error = "QUORVEX_HELPER_EXPLORER is not set";
          return false;
        },
        nullptr);
    host.events.clear();
    OpenExplorer(host);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0], c.text);
    EXPECT_EQ(host.events[0].find("QUORVEX"), std::string::npos);
  }
  AppSettings.LanguageIndex = saved;
}

class ToolsScreenTest : public ServiceScreenTest {};

TEST_F(ToolsScreenTest, TheScreenRunsTheBackEndUpdaterAfterTheShutdownScreen) {
  std::vector<std::string> order;
  SetToolLauncher([&](const std::string& f, std::string*) { order.push_back("start"); return true; },
                  [](const std::string&, std::string*) { return true; });
  RegisterScreen("CSysClose", [&] {
    order.push_back("shutdown");
    return ui::IDOK;
  });
  CBackDoor2 screen(nullptr);
  int result = 0;
  ASSERT_TRUE(d.RunScript([&] { result = screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CBackDoor2::kUpdateBackId);
                            s.AnswerMessageBox(ui::IDOK);
                            s.RunUntil([&] { return screen.IsEnded() || !screen.IsWindow(); }, 3000);
                          }));
  RegisterScreen("CSysClose", nullptr);
  UsePlatformToolLauncher();
  EXPECT_EQ(order, (std::vector<std::string>{"shutdown", "start"}));
  EXPECT_EQ(result, ui::kModalQuit);
}

TEST_F(ToolsScreenTest, TheDiluentInstructionEndsWithOkByItsButtonOrEnterAndCancelByEscape) {
  const struct {
    int how;  // 0 the button, 1 Enter, 2 Escape
    int result;
  } cases[] = {{0, ui::IDOK}, {1, ui::IDOK}, {2, ui::IDCANCEL}};
  for (const auto& c : cases) {
    CSpitDiluent screen(nullptr);
    int result = 0;
    std::string text, button;
    ASSERT_TRUE(d.RunScript([&] { result = screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              text = s.Text(CSpitDiluent::kTextId);
                              button = s.Text(ui::IDOK);
                              if (c.how == 0) s.Press(ui::IDOK);
                              if (c.how == 1) s.Key(ui::VK_RETURN);
                              if (c.how == 2) s.Key(ui::VK_ESCAPE);
                            }));
    EXPECT_EQ(result, c.result) << c.how;
    EXPECT_EQ(text, "Put the tube under the sampling needle, press aspirate key to add diluent");
    EXPECT_EQ(button, "Exit(&X)");
  }
}

}  // namespace

namespace {

TEST(ServiceScreens, TheMenusFindTheServiceScreensByName) {
  service::RegisterServiceScreens();
  for (const char* name : {"CServiceSel", "CSpitDiluent", "CBackDoor2", "CMechCheckDlg", "CEngineeringAdjust", "CDebugSel"})
    EXPECT_TRUE(IsScreenAvailable(name)) << name;
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/db_errors.h"
#include "core/layout.h"
#include "platform/ui/app.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/styles.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"
#include "program_folder.h"

namespace {

std::vector<std::string> g_raised;
bool g_raiseAnswer = true;
bool RecordRaise(const char* title) {
  g_raised.push_back(title);
  return g_raiseAnswer;
}

class AppUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::TestDriver::Start(800, 600));
    saved_ = AppSettings;
    g_raised.clear();
    ClearRecentDbErrors();
  }
  void TearDown() override {
    SetDbErrorSink(nullptr);
    SetDbErrorWake(nullptr);
    ui::SetMessageBoxHandler(nullptr);
    SetForeignWindowRaiser(nullptr);
    AppSettings = saved_;
    ui::TestDriver::Stop();
  }
  AppSettingsValues saved_;
  ui::TestDriver d;
};

TEST_F(AppUiTest, DatabaseErrorsOfAWorkerAreShownOnTheUserInterfaceThread) {
  TempProgramFolder folder;
  std::vector<std::pair<std::string, bool>> boxes;
  ui::SetMessageBoxHandler([&](ui::Window*, const std::string& text, const std::string&, unsigned type) {
    boxes.emplace_back(text, ui::IsUiThread());
    EXPECT_EQ(type, ui::MB_OK);
    return 1;
  });
  InstallDbErrorReporting();
  std::thread worker([] {
    CADOConn conn;  // no data store in the folder: the connect fails
    conn.Execute("select 1");
  });
  worker.join();
  EXPECT_TRUE(boxes.empty());
  d.Settle();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].second);
  EXPECT_FALSE(boxes[0].first.empty());
}

TEST_F(AppUiTest, F1RaisesAnOpenHelpWindowOfTheCurrentLanguage) {
  AppSettings.ProductName = "QX-4150";
  AppSettings.LanguageIndex = 1;
  SetForeignWindowRaiser(&RecordRaise);
  g_raiseAnswer = true;
  ui::Window w;
  ASSERT_TRUE(w.Create("Test", "w", ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(0, 0, 100, 100), nullptr));
  w.SetFocus();
  int token = InstallHelpKey();
  d.Key(ui::VK_F1);
  d.Key(ui::VK_F2);
  RemoveHelpKey(token);
  d.Key(ui::VK_F1);
  ASSERT_EQ(g_raised.size(), 1u);
  EXPECT_EQ(g_raised[0], "QX-4150 Auto Hematology Analyzer");
}

TEST_F(AppUiTest, WithoutAHelpWindowTheHelpFileIsOpened) {
  TempProgramFolder folder;
  folder.write("QuorvexUA.chm", "help");
  AppSettings.LanguageIndex = 4;
  SetForeignWindowRaiser(&RecordRaise);
  g_raiseAnswer = false;
  setenv("QUORVEX_HELPER_HELP", "true", 1);  // a viewer that does nothing
  EXPECT_TRUE(OpenHelp());
  unsetenv("QUORVEX_HELPER_HELP");
  ASSERT_EQ(g_raised.size(), 1u);
  EXPECT_NE(g_raised[0].find("Автоматичний"), std::string::npos);
}

}  // namespace

// The other-settings menu (its user-level gates, log on and log off, the screens it opens) and
// the soak reminder limits screen, driven offscreen.
#include <gtest/gtest.h>

#include "analyzer/sequences/process_values.h"
#include "app/screens/user_logon.h"
#include "core/screen_registry.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/keys.h"
#include "settings/normal_limits.h"
#include "settings/other_sys_set.h"
#include "settings/set_soak_freq.h"
#include "settings_fixture.h"

namespace {

class OtherMenuTest : public SettingsScreenTest {
 protected:
  void RunMenu(const std::function<void(ui::TestDriver&)>& script) {
    COtherSysSet menu;
    const bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
      script(s);
      s.Press(ui::IDCANCEL);
    });
    EXPECT_TRUE(ok);
  }
  void RunSoak(const std::function<void(ui::TestDriver&)>& script, int* result = nullptr) {
    CSetSoakFreq screen;
    int r = 0;
    const bool ok = d.RunScript([&] { r = screen.DoModal(); }, script);
    EXPECT_TRUE(ok);
    if (result) *result = r;
  }
};

TEST_F(OtherMenuTest, WhatEachLevelMayOpen) {
  struct Case {
    int level;
    bool soakOn;
    const char* logCaption;
    bool limits;
    bool soak;
  } cases[] = {
      {0, true, "Log On", false, false},  {1, true, "Log Off", true, false}, {2, true, "Log Off", true, true},
      {2, false, "Log Off", true, false}, {3, true, "Log Off", true, true},  {3, false, "Log Off", true, false},
  };
  for (const Case& c : cases) {
    AppSettings.UserLevel = static_cast<uint8_t>(c.level);
    analyzer::Soak.IsOpenSoakTips = c.soakOn ? 1 : 0;
    RunMenu([&](ui::TestDriver& s) {
      EXPECT_EQ(s.Text(IDC_OS_LOG), c.logCaption) << c.level;
      for (int id : {IDC_OS_NORMAL, IDC_OS_PANIC, IDC_OS_UNITS}) EXPECT_EQ(s.Enabled(id), c.limits) << c.level << id;
      EXPECT_EQ(s.Enabled(IDC_OS_SOAK), c.soak) << c.level << c.soakOn;
      for (int id : {IDC_OS_COMMUNICATION, IDC_OS_DEPT, IDC_OS_DOCTOR}) EXPECT_TRUE(s.Enabled(id)) << id;
      s.Key(ui::VK_RETURN);  // swallowed
      s.Key(ui::VK_ESCAPE);
      EXPECT_NE(s.Find(IDC_OS_LOG), nullptr);
    });
  }
}

TEST_F(OtherMenuTest, LogOffWritesItsRowAndLogOnOpensTheGates) {
  Sql("delete from SysLog");
  AppSettings.UserLevel = 2;
  RunMenu([&](ui::TestDriver& s) {
    s.Press(IDC_OS_LOG);
    EXPECT_EQ(s.Text(IDC_OS_LOG), "Log On");
    EXPECT_FALSE(s.Enabled(IDC_OS_NORMAL));
    EXPECT_FALSE(s.Enabled(IDC_OS_SOAK));
    s.Press(IDC_OS_LOG);  // the log-on screen
    auto* users = dynamic_cast<ui::ComboBox*>(s.Find(IDC_LOGON_USER));
    ASSERT_NE(users, nullptr);
    users->SetCurSel(users->FindStringExact(-1, "Admin"));
    SetText(s, IDC_LOGON_PASSWORD, "6049");
    s.Press(ui::IDOK);
    EXPECT_EQ(s.Text(IDC_OS_LOG), "Log Off");
    EXPECT_TRUE(s.Enabled(IDC_OS_NORMAL));
    EXPECT_FALSE(s.Enabled(IDC_OS_SOAK));  // an administrator
  });
  EXPECT_EQ(AppSettings.UserLevel, 1);
  EXPECT_EQ(Scalar("select Event || '/' || Result from SysLog where Event='Logoff'"), "Logoff/General User");
  EXPECT_EQ(Scalar("select Date || ' ' || Time from SysLog where Event='Logoff'"), "2026-03-14 10:20:30");
}

TEST_F(OtherMenuTest, ButtonsOpenTheirScreensByName) {
  AppSettings.UserLevel = 3;
  int comm = 0;
  RegisterScreen("CCommuSel", [&] { ++comm; return 1; });
  RunMenu([&](ui::TestDriver& s) {
    s.Press(IDC_OS_COMMUNICATION);
    s.Press(IDC_OS_NORMAL);
    EXPECT_NE(s.Find(IDC_LIM_SAVE), nullptr);  // the normal ranges screen is up
    s.Press(ui::IDCANCEL);
    s.Press(IDC_OS_DEPT);
    s.Press(ui::IDCANCEL);
  });
  RegisterScreen("CCommuSel", {});
  EXPECT_EQ(comm, 1);
}

TEST_F(OtherMenuTest, SoakLimitsSavedInForceAtOnceAndShownAgain) {
  Sql("update SysSetting set SetSoakTimes=NULL, SetSoakDays=NULL, DeviceTestTimes=57, "
      "SoakDaysStartDate='2026-3-10 8:0:0'");
  analyzer::Soak.DeviceTestTimes = 57;
  int result = 0;
  RunSoak([&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_SOAK_TIMES), "200");
    EXPECT_EQ(s.Text(IDC_SOAK_DAYS), "7");
    SetText(s, IDC_SOAK_TIMES, "100");
    SetText(s, IDC_SOAK_DAYS, "1");
    s.Key(ui::VK_ESCAPE);  // swallowed
    s.Press(ui::IDOK);
  }, &result);
  EXPECT_EQ(result, ui::IDOK);
  EXPECT_EQ(Scalar("select SetSoakTimes || '/' || SetSoakDays from SysSetting"), "100/1");
  EXPECT_EQ(analyzer::Soak.SetSoakTimes, 100);
  EXPECT_EQ(analyzer::Soak.SetSoakDays, 1);
  // The count and the day period go on.
  EXPECT_EQ(analyzer::Soak.DeviceTestTimes, 57u);
  EXPECT_EQ(Scalar("select DeviceTestTimes || ' ' || SoakDaysStartDate from SysSetting"), "57 2026-3-10 8:0:0");
  RunSoak([&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_SOAK_TIMES), "100");
    EXPECT_EQ(s.Text(IDC_SOAK_DAYS), "1");
    SetText(s, IDC_SOAK_TIMES, "999");
    s.Press(ui::IDCANCEL);
  });
  EXPECT_EQ(Scalar("select SetSoakTimes from SysSetting"), "100");
}

TEST_F(OtherMenuTest, SoakLimitsRefusedPerFieldWithTheFocusOnIt) {
  struct Case {
    const char* times;
    const char* days;
    const char* message;
    int focus;
  } cases[] = {
      {"99", "7", "Soak freq(times) should be between 100 and 800!", IDC_SOAK_TIMES},
      {"801", "7", "Soak freq(times) should be between 100 and 800!", IDC_SOAK_TIMES},
      {"", "7", "Please input integer for soak freq(times)!", IDC_SOAK_TIMES},
      {"7.5", "7", "Please input integer for soak freq(times)!", IDC_SOAK_TIMES},
      {"300", "0", "Soak freq(days) should be between 1 and 7!", IDC_SOAK_DAYS},
      {"300", "8", "Soak freq(days) should be between 1 and 7!", IDC_SOAK_DAYS},
      {"300", ".5", "Please input integer for soak freq(days)!", IDC_SOAK_DAYS},
      {"0", "0", "Soak freq(times) should be between 100 and 800!", IDC_SOAK_TIMES},
  };
  Sql("update SysSetting set SetSoakTimes=400, SetSoakDays=5");
  for (const Case& c : cases) {
    std::string message;
    int focus = 0;
    RunSoak([&](ui::TestDriver& s) {
      SetText(s, IDC_SOAK_TIMES, c.times);
      SetText(s, IDC_SOAK_DAYS, c.days);
      s.Press(ui::IDOK);
      message = TakeMessage(s);
      s.Settle();
      ui::Window* f = ui::Window::GetFocus();
      focus = f ? f->GetDlgCtrlID() : 0;
      s.Press(ui::IDCANCEL);
    });
    EXPECT_EQ(message, c.message) << c.times << "/" << c.days;
    EXPECT_EQ(focus, c.focus) << c.times << "/" << c.days;
    EXPECT_EQ(Scalar("select SetSoakTimes || '/' || SetSoakDays from SysSetting"), "400/5");
  }
}

TEST_F(OtherMenuTest, ScreenshotsInFiveLanguages) {
  AppSettings.UserLevel = 1;
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    RunMenu([&](ui::TestDriver&) { Shot(std::string("other_menu_") + kLanguageNames[lang]); });
    RunSoak([&](ui::TestDriver& s) {
      Shot(std::string("soak_") + kLanguageNames[lang]);
      s.Press(ui::IDCANCEL);
    });
  }
}

}  // namespace

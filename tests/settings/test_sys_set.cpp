// The system settings screen driven offscreen: what Save stores (every column), what a new
// screen shows of it, the refused inputs with their messages, the clock, the language in the
// main menu, and what changes at once.
#include <gtest/gtest.h>

#include <cstdlib>

#include "analyzer/sequences/process_values.h"
#include "app/screens/main_menu_texts.h"
#include "app/screens/vantorium_dlg.h"
#include "controls/xp_check_button.h"
#include "core/db_errors.h"
#include "core/screen_registry.h"
#include "platform/sys/clock.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "settings/other_sys_set.h"
#include "settings/sys_set.h"
#include "controls/message_box_dlg.h"
#include "platform/print/printers.h"
#include "platform/ui/controls/controls.h"
#include "settings_fixture.h"

namespace {

class SysSetTest : public SettingsScreenTest {
 protected:
  // Runs the screen; `script` works it and leaves it open; the screen is then closed by Exit.
  void Run(const std::function<void(ui::TestDriver&)>& script) {
    CSysSet screen;
    const bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      script(s);
      s.Press(ui::IDCANCEL);
    });
    EXPECT_TRUE(ok);
  }
  static bool Checked(ui::TestDriver& s, int id) {
    if (auto* c = dynamic_cast<CXPCheckButton*>(s.Find(id))) return c->checked;
    if (auto* r = dynamic_cast<CXPRadioButton*>(s.Find(id))) return r->checked;
    ADD_FAILURE() << id;
    return false;
  }
  std::string Row(const char* column) { return Scalar(std::string("select ") + column + " from SysSetting"); }
};

TEST_F(SysSetTest, SaveStoresEveryColumnAndANewScreenShowsThem) {
  Sql("update SysSetting set Printer=0,PrintInstant=0,PrintFormat=1,UnitName='',DormancyTime=60,AutoCleanTime=60,"
      "SLanguage=1,IsKJKB=0,IsKJQX=0,IsModelChangePrompt=0,IsTransInstant=0,ReagentAlarmType=0,TestDefaultMode=0,"
      "PrintPgHeader=20");
  analyzer::Soak.TestsSinceAutoClean = 9;
  std::vector<std::string> messages;
  Run([&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_SS_YEAR), "2026");
    EXPECT_EQ(s.Text(IDC_SS_MONTH), "03");
    EXPECT_FALSE(s.Enabled(IDC_SS_HEADER));  // built-in printer
    s.Press(IDC_SS_EXTERNAL);
    EXPECT_TRUE(s.Enabled(IDC_SS_HEADER));
    Pick(s, IDC_SS_FORMAT, 3);
    SetText(s, IDC_SS_HOSPITAL, "St John's");
    SetText(s, IDC_SS_STANDBY, "1440");
    SetText(s, IDC_SS_CLEAN, "20");
    SetText(s, IDC_SS_HEADER, "35");
    for (int id : {IDC_SS_PRINT_INSTANT, IDC_SS_STARTUP_BLANK, IDC_SS_STARTUP_CLEAN, IDC_SS_PREDILUTE_INFORM,
                   IDC_SS_TRANSMIT_INSTANT, IDC_SS_ALARM_HARDWARE, IDC_SS_MODE_PREDILUTED})
      s.Press(id);
    SetText(s, IDC_SS_DAY, "15");
    SetText(s, IDC_SS_HOUR, "07");
    s.Key(ui::VK_RETURN);  // swallowed: the screen stays
    s.Key(ui::VK_ESCAPE);
    s.Press(IDC_SS_SAVE);
    for (std::string m = TakeMessage(s); !m.empty(); m = TakeMessage(s)) messages.push_back(m);
  });
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0],
            "Reagent volume monitoring mode has been changed.New settings will be effective after instrument restarted.");
  EXPECT_EQ(messages[1], "Setting data saved!");
  EXPECT_EQ(Row("Printer"), "1");
  EXPECT_EQ(Row("PrintInstant"), "1");
  EXPECT_EQ(Row("PrintFormat"), "3");
  EXPECT_EQ(Row("UnitName"), "St John\u2018s");
  EXPECT_EQ(Row("DormancyTime"), "1440");
  EXPECT_EQ(Row("AutoCleanTime"), "20");
  EXPECT_EQ(Row("SLanguage"), "1");
  EXPECT_EQ(Row("IsKJKB"), "1");
  EXPECT_EQ(Row("IsKJQX"), "1");
  EXPECT_EQ(Row("IsModelChangePrompt"), "1");
  EXPECT_EQ(Row("IsTransInstant"), "1");
  EXPECT_EQ(Row("ReagentAlarmType"), "1");
  EXPECT_EQ(Row("TestDefaultMode"), "1");
  EXPECT_EQ(Row("PrintPgHeader"), "35");
  EXPECT_EQ(Scalar("select count(*) from SysSetting"), "1");
  EXPECT_EQ(AppSettings.PrintPageHeader, 35);
  EXPECT_EQ(analyzer::Soak.TestsSinceAutoClean, 0);  // another cleaning frequency starts the count again
  EXPECT_EQ(AppSettings.ReagentAlarmType, 0);        // the running program keeps its alarm mode
  ASSERT_EQ(host_->clock.calls.size(), 1u);
  const sys::LocalTime set = host_->clock.calls[0];
  EXPECT_EQ(set.year, 2026);
  EXPECT_EQ(set.month, 3);
  EXPECT_EQ(set.day, 15);
  EXPECT_EQ(set.hour, 7);
  EXPECT_EQ(set.minute, 20);

  // A new screen (the settings read again) shows what was stored; saving it unchanged shows no
  // alarm message and leaves the automatic-cleaning count alone.
  analyzer::Soak.TestsSinceAutoClean = 4;
  messages.clear();
  Run([&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_SS_HOSPITAL), "St John\u2018s");
    EXPECT_EQ(s.Text(IDC_SS_STANDBY), "1440");
    EXPECT_EQ(s.Text(IDC_SS_CLEAN), "20");
    EXPECT_EQ(s.Text(IDC_SS_HEADER), "35");
    EXPECT_EQ(s.Text(IDC_SS_FORMAT), "HALF PAGE WITHOUT HISTOGRAMS");
    for (int id : {IDC_SS_EXTERNAL, IDC_SS_PRINT_INSTANT, IDC_SS_STARTUP_BLANK, IDC_SS_STARTUP_CLEAN,
                   IDC_SS_PREDILUTE_INFORM, IDC_SS_TRANSMIT_INSTANT, IDC_SS_ALARM_HARDWARE, IDC_SS_MODE_PREDILUTED})
      EXPECT_TRUE(Checked(s, id)) << id;
    for (int id : {IDC_SS_INTERNAL, IDC_SS_ALARM_SOFTWARE, IDC_SS_MODE_WHOLE}) EXPECT_FALSE(Checked(s, id)) << id;
    s.Press(IDC_SS_SAVE);
    for (std::string m = TakeMessage(s); !m.empty(); m = TakeMessage(s)) messages.push_back(m);
  });
  EXPECT_EQ(messages, std::vector<std::string>{"Setting data saved!"});
  EXPECT_EQ(analyzer::Soak.TestsSinceAutoClean, 4);
}

TEST_F(SysSetTest, RefusedInputsStoreNothingAndLeaveTheClock) {
  struct Case {
    int id;
    const char* text;
    bool external;
    const char* message;
  } cases[] = {
      {IDC_SS_CLEAN, "0", false, "Clean freq(times) should be between 1 and 60!"},
      {IDC_SS_CLEAN, "61", false, "Clean freq(times) should be between 1 and 60!"},
      {IDC_SS_CLEAN, "", false, "Please input integer for clean freq(times)!"},
      {IDC_SS_CLEAN, "2.5", false, "Please input integer for clean freq(times)!"},
      {IDC_SS_STANDBY, "1441", false, "Standby time(mn) should be between 0 and 1440!"},
      {IDC_SS_STANDBY, "ten", false, "Please input integer for standby time(mn)!"},
      {IDC_SS_HEADER, "19", true, "Page Header should be between 20 and 70mm!"},
      {IDC_SS_HEADER, "71", true, "Page Header should be between 20 and 70mm!"},
      {IDC_SS_HEADER, "", true, "Please input integer for Page Header(mm)!"},
      {IDC_SS_MONTH, "13", false, "The date or time is not valid!"},
      {IDC_SS_DAY, "31", false, "The date or time is not valid!"},  // the month is "04" below
      {IDC_SS_HOUR, "24", false, "The date or time is not valid!"},
      {IDC_SS_MINUTE, "99", false, "The date or time is not valid!"},
      {IDC_SS_SECOND, "x", false, "The date or time is not valid!"},
  };
  Sql("update SysSetting set UnitName='Before',DormancyTime=60,AutoCleanTime=60,PrintPgHeader=20,Printer=0");
  for (const Case& c : cases) {
    std::string message;
    Run([&](ui::TestDriver& s) {
      if (c.external) s.Press(IDC_SS_EXTERNAL);
      SetText(s, IDC_SS_HOSPITAL, "After");
      SetText(s, IDC_SS_MONTH, "04");
      SetText(s, c.id, c.text);
      s.Press(IDC_SS_SAVE);
      message = TakeMessage(s);
      EXPECT_EQ(TakeMessage(s), "");  // only the first failure is reported
    });
    EXPECT_EQ(message, c.message) << c.id << " '" << c.text << "'";
    EXPECT_EQ(Scalar("select UnitName from SysSetting"), "Before") << c.id;
    EXPECT_EQ(Scalar("select Printer from SysSetting"), "0") << c.id;
    EXPECT_EQ(Scalar("select PrintPgHeader from SysSetting"), "20") << c.id;
    EXPECT_TRUE(host_->clock.calls.empty()) << c.id;
  }
}

TEST_F(SysSetTest, WithTheBuiltInPrinterTheHeaderIsNeitherCheckedNorStored) {
  Sql("update SysSetting set Printer=0,PrintPgHeader=20");
  std::vector<std::string> messages;
  Run([&](ui::TestDriver& s) {
    s.Press(IDC_SS_EXTERNAL);
    SetText(s, IDC_SS_HEADER, "15");  // refused with the page printer ...
    s.Press(IDC_SS_SAVE);
    messages.push_back(TakeMessage(s));
    s.Press(IDC_SS_INTERNAL);  // ... and not stored by a save with the built-in printer
    EXPECT_FALSE(s.Enabled(IDC_SS_HEADER));
    s.Press(IDC_SS_SAVE);
    messages.push_back(TakeMessage(s));
  });
  EXPECT_EQ(messages, (std::vector<std::string>{"Page Header should be between 20 and 70mm!", "Setting data saved!"}));
  EXPECT_EQ(Scalar("select PrintPgHeader from SysSetting"), "20");
}

TEST_F(SysSetTest, ADateLeftAloneIsTodaysWhenMidnightPassed) {
  sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 3, 31, 23, 59, 58});
  Run([&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_SS_DAY), "31");
    s.Advance(3000);  // the clock display passes midnight
    EXPECT_EQ(s.Text(IDC_SS_DAY), "01");
    EXPECT_EQ(s.Text(IDC_SS_MONTH), "04");
    EXPECT_EQ(s.Text(IDC_SS_HOUR), "00");
  });
  // Midnight passing between two ticks: the save takes today's date, not the one shown.
  sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 12, 31, 23, 59, 59});
  Run([&](ui::TestDriver& s) {
    sys::Clock::SetManualLocalTime(sys::LocalTime{2027, 1, 1, 0, 0, 0});
    s.Press(IDC_SS_SAVE);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  ASSERT_EQ(host_->clock.calls.size(), 1u);
  EXPECT_EQ(host_->clock.calls[0].year, 2027);
  EXPECT_EQ(host_->clock.calls[0].month, 1);
  EXPECT_EQ(host_->clock.calls[0].day, 1);
}

TEST_F(SysSetTest, TheSpinButtonsStepTheirFieldWithinItsRange) {
  Run([&](ui::TestDriver& s) {
    auto* month = dynamic_cast<ui::UpDown*>(s.Find(IDC_SS_MONTH_SPIN));
    auto* year = dynamic_cast<ui::UpDown*>(s.Find(IDC_SS_YEAR_SPIN));
    ASSERT_NE(month, nullptr);
    ASSERT_NE(year, nullptr);
    month->Step(1);
    s.Settle();
    EXPECT_EQ(std::atoi(s.Text(IDC_SS_MONTH).c_str()), 4);
    SetText(s, IDC_SS_YEAR, "2050");
    year->Step(1);  // the top of the range
    s.Settle();
    EXPECT_EQ(s.Text(IDC_SS_YEAR), "2050");
    s.Press(IDC_SS_SAVE);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  ASSERT_EQ(host_->clock.calls.size(), 1u);
  EXPECT_EQ(host_->clock.calls[0].month, 4);
  EXPECT_EQ(host_->clock.calls[0].year, 2050);
}

TEST_F(SysSetTest, AClockThatCannotBeSetIsReportedAndTheSaveGoesOn) {
  host_->clock.result = sys::HostResult::kFailed;
  std::vector<std::string> messages;
  Run([&](ui::TestDriver& s) {
    SetText(s, IDC_SS_HOSPITAL, "Clinic");
    s.Press(IDC_SS_SAVE);
    for (std::string m = TakeMessage(s); !m.empty(); m = TakeMessage(s)) messages.push_back(m);
  });
  EXPECT_EQ(messages, (std::vector<std::string>{"Failed to set the date and time!", "Setting data saved!"}));
  EXPECT_EQ(Scalar("select UnitName from SysSetting"), "Clinic");
}

TEST_F(SysSetTest, WithoutARowSaveInsertsIt) {
  Sql("delete from SysSetting");
  Run([&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_SS_CLEAN), "0");  // the screen's defaults
    EXPECT_EQ(s.Text(IDC_SS_HEADER), "20");
    SetText(s, IDC_SS_CLEAN, "5");
    s.Press(IDC_SS_SAVE);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Scalar("select count(*) from SysSetting"), "1");
  EXPECT_EQ(Scalar("select AutoCleanTime from SysSetting"), "5");
  EXPECT_EQ(Scalar("select PrintFormat from SysSetting"), "1");
}

TEST_F(SysSetTest, AFailedStoreIsNotReportedAsSaved) {
  ClearRecentDbErrors();
  Sql("create trigger refuse before update on SysSetting begin select raise(abort, 'refused'); end");
  std::vector<std::string> messages;
  Run([&](ui::TestDriver& s) {
    s.Press(IDC_SS_SAVE);
    for (std::string m = TakeMessage(s); !m.empty(); m = TakeMessage(s)) messages.push_back(m);
  });
  EXPECT_TRUE(messages.empty()) << messages.front();
  ASSERT_FALSE(RecentDbErrors().empty());
  EXPECT_NE(RecentDbErrors().back().find("refused"), std::string::npos);
}

TEST_F(SysSetTest, ALanguageChosenShowsInTheMainMenuAtOnceAndIsStoredOnlyBySave) {
  Sql("update SysSetting set SLanguage=1");
  RegisterScreen("CSysClose", [] { return 1; });
  CVantoriumDlg menu;
  const bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_MENU_SETTING), MenuButtonText(IDC_MENU_SETTING, 1));
    s.Press(IDC_MENU_SETTING);
    Pick(s, IDC_SS_LANGUAGE, "French");
    EXPECT_EQ(s.Text(IDC_SS_SAVE), "Enregistrer(&S)");
    s.Press(ui::IDCANCEL);
    EXPECT_EQ(s.Text(IDC_MENU_SETTING), MenuButtonText(IDC_MENU_SETTING, 3));
    s.Press(IDC_MENU_SHUTDOWN);
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
  });
  RegisterScreen("CSysClose", {});
  EXPECT_TRUE(ok);
  EXPECT_EQ(AppSettings.LanguageIndex, 3);
  EXPECT_EQ(Scalar("select SLanguage from SysSetting"), "1");
  // Saved, it is the stored one.
  Run([&](ui::TestDriver& s) {
    Pick(s, IDC_SS_LANGUAGE, "Ukrainian");
    s.Press(IDC_SS_SAVE);
    EXPECT_EQ(TakeMessage(s), "Дані налаштувань збережено!");
  });
  EXPECT_EQ(Scalar("select SLanguage from SysSetting"), "4");
}

TEST_F(SysSetTest, WithoutTheChineseEditionTheListStartsWithEnglish) {
  AppSettings.ChineseEdition = 0;
  Run([&](ui::TestDriver& s) {
    auto* box = dynamic_cast<ui::ComboBox*>(s.Find(IDC_SS_LANGUAGE));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCount(), 4);
    EXPECT_EQ(box->GetLBText(0), "English");
    EXPECT_EQ(box->GetCurSel(), 0);  // English is language 1
  });
}

TEST_F(SysSetTest, OtherAndPrintItemsOpenTheirScreensByName) {
  int printItems = 0;
  RegisterScreen("CPrintItemsSet", [&] { ++printItems; return 1; });
  std::string other;
  Run([&](ui::TestDriver& s) {
    s.Press(IDC_SS_ITEMS_SET);
    s.Press(IDC_SS_OTHER);
    other = s.Text(IDC_OS_DEPT);
    s.Press(ui::IDCANCEL);  // closes the other-settings menu
  });
  RegisterScreen("CPrintItemsSet", {});
  EXPECT_EQ(printItems, 1);
  EXPECT_EQ(other, "Dept.Info");
}

TEST_F(SysSetTest, ThePrinterChosenBecomesTheDefaultAndARefusalIsReported) {
  Sql("update SysSetting set Printer=1");
  std::vector<std::string> messages;
  Run([&](ui::TestDriver& s) {
    auto* names = dynamic_cast<ui::ComboBox*>(s.Find(IDC_SS_PRINTER_NAME));
    ASSERT_NE(names, nullptr);
    ASSERT_EQ(names->GetCount(), 3);  // the two queues and the PDF printer
    EXPECT_EQ(s.Text(IDC_SS_PRINTER_NAME), "Office");  // the default printer is shown
    Pick(s, IDC_SS_PRINTER_NAME, "Lab");
    s.Press(IDC_SS_SAVE);
    messages.push_back(TakeMessage(s));
    spooler_.refuse = true;
    Pick(s, IDC_SS_PRINTER_NAME, "Office");
    SetText(s, IDC_SS_HOSPITAL, "Still saved");
    s.Press(IDC_SS_SAVE);
    for (std::string m = TakeMessage(s); !m.empty(); m = TakeMessage(s)) messages.push_back(m);
  });
  EXPECT_EQ(messages, (std::vector<std::string>{"Setting data saved!", "Failed to set external printer!",
                                                "Setting data saved!"}));
  EXPECT_TRUE(spooler_.queues[1].isDefault);
  EXPECT_EQ(print::DefaultPrinterName(), "Lab");
  EXPECT_EQ(Scalar("select UnitName from SysSetting"), "Still saved");
}

TEST_F(SysSetTest, WithoutDesktopPrinterSettingsTheButtonSaysSo) {
  // A folder of programs that holds neither the desktop's printer settings nor a touch tool.
  const std::string saved = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", program_->folder().c_str(), 1);
  std::vector<std::string> messages;
  Run([&](ui::TestDriver& s) {
    EXPECT_FALSE(s.Enabled(IDC_SS_PRINTER_PROPS));  // built-in printer
    s.Press(IDC_SS_EXTERNAL);
    EXPECT_TRUE(s.Enabled(IDC_SS_PRINTER_PROPS));
    s.Press(IDC_SS_PRINTER_PROPS);
    messages.push_back(TakeMessage(s));
    s.Press(IDC_SS_TOUCH);
    messages.push_back(TakeMessage(s));
  });
  setenv("PATH", saved.c_str(), 1);
  EXPECT_EQ(messages, (std::vector<std::string>{"No printer settings can be opened on this computer.",
                                                "This function is not available."}));
}

TEST_F(SysSetTest, OnAPcSetUpInChineseTheStartupCleanSwitchIsHidden) {
  const char* was = getenv("LC_ALL");
  const std::string saved = was ? was : "";
  setenv("LC_ALL", "zh_CN.UTF-8", 1);
  bool shown = true;
  Run([&](ui::TestDriver& s) { shown = s.Visible(IDC_SS_STARTUP_CLEAN); });
  if (was) setenv("LC_ALL", saved.c_str(), 1);
  else unsetenv("LC_ALL");
  EXPECT_FALSE(shown);
  Run([&](ui::TestDriver& s) { shown = s.Visible(IDC_SS_STARTUP_CLEAN); });
  if (!was || std::string(was).rfind("zh", 0) != 0) EXPECT_TRUE(shown);
}

TEST_F(SysSetTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    Run([&](ui::TestDriver& s) {
      s.Press(IDC_SS_EXTERNAL);
      Shot(std::string("sys_set_") + kLanguageNames[lang]);
    });
  }
}

}  // namespace

#include <gtest/gtest.h>

#include "analyzer/sequences/process_values.h"
#include "core/app_settings.h"
#include "app/screens/main_menu_texts.h"
#include "core/screen_registry.h"
#include "app/screens/vantorium_dlg.h"
#include "controls/message_box_dlg.h"
#include "platform/sys/clock.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"

namespace {

TEST(MainMenuTexts, StatusLinePerLevelAndLanguage) {
  const sys::LocalTime t{2024, 3, 5, 9, 7, 0};
  struct Case {
    int level, language;
    const char* line;
  } cases[] = {
      {1, 1, "Operator: Administrator    F1: Help    2024-3-5 09:07"},
      {0, 1, "Operator: General User    F1: Help    2024-3-5 09:07"},
      {2, 0, "操作者: 工程师    F1: 帮助    2024-3-5 09:07"},
      {3, 2, "Operador: Fabrica    F1: Ayuda    2024-3-5 09:07"},
      {0, 3, "Operateur: Utilisateur standard      F1: Aide    2024-3-5 09:07"},
      {1, 4, "Оператор: Адміністратор    F1: Допомога    2024-3-5 09:07"},
      {4, 1, "    F1: Help    2024-3-5 09:07"},  // no operator text above level 3
  };
  for (const Case& c : cases) EXPECT_EQ(StatusLineText(c.level, c.language, t, false), c.line) << c.level << c.language;
  // The clock refresh writes the French hint with four blanks.
  EXPECT_EQ(StatusLineText(0, 3, t, true), "Operateur: Utilisateur standard    F1: Aide    2024-3-5 09:07");
  EXPECT_EQ(ClockText({2024, 12, 25, 23, 59, 0}), "    2024-12-25 23:59");
}

TEST(MainMenuTexts, ProductLineAndPictures) {
  EXPECT_EQ(ProductLineText("QX-4150", "Auto Hematology Analyzer"), "QX-4150  Auto Hematology Analyzer");
  EXPECT_EQ(ProductLineText("QX-4150", " "), "QX-4150   ");
  EXPECT_EQ(ProductLineText("QX-4150", ""), "");
  struct Case {
    const char* name;
    int chinese;
    float scale;
    int id;
  } cases[] = {{"QX-4150", 1, 1.0f, 415}, {"QX-4150", 1, 1.25f, 527}, {"qx-4150", 0, 1.0f, 503},
               {"QX-4150", 0, 1.25f, 528}, {"kt-190", 0, 1.0f, 516},   {"KT-190", 1, 1.25f, 117},
               {"Norvik 40", 0, 1.25f, 531}, {"VAREN 7", 0, 1.0f, 518}, {"", 0, 1.0f, 509},
               {"Other", 0, 1.25f, 509}};
  for (const Case& c : cases) EXPECT_EQ(InstrumentPictureId(c.name, c.chinese, c.scale), c.id) << c.name;
}

TEST(MainMenuTexts, BackgroundRectangles) {
  MenuBackgroundRects small = MenuBackgroundLayout(640, 480, 1.0f, 0);
  EXPECT_EQ(small.bottomStrip, ui::Rect::FromSize(6, 454, 630, 12));
  EXPECT_EQ(small.picture, ui::Rect::FromSize(6, 402, 630, 53));
  EXPECT_EQ(small.upperStrip, ui::Rect::FromSize(6, 368, 630, 35));
  MenuBackgroundRects large = MenuBackgroundLayout(800, 600, 1.25f, 1);
  EXPECT_EQ(large.bottomStrip, ui::Rect::FromSize(6, 568, 785, 15));
  EXPECT_EQ(large.picture, ui::Rect::FromSize(6, 502, 787, 66));
  EXPECT_EQ(large.upperStrip, ui::Rect::FromSize(6, 459, 785, 43));
}

class MainMenuTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    RegisterScreen("CSysClose", [this] { ++closeRuns; return 1; });
    RegisterScreen("CBackDoor2", [this] { ++backDoorRuns; return 1; });
    RegisterScreen("CSampleTest", [this] { ++testRuns; return 1; });
    RegisterScreen("CAboutDlg", [this] {
      ui::DialogTemplate t;
      t.cx = 100;
      t.cy = 50;
      t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
      ui::Dialog child(t);
      ++childRuns;
      return child.DoModal();
    });
  }
  void TearDown() override {
    for (const char* n : {"CSysClose", "CBackDoor2", "CAboutDlg", "CSysSet", "CSampleTest"}) RegisterScreen(n, {});
    ScreenTest::TearDown();
  }
  // Shuts the menu down through its button and the question.
  void ShutDown(ui::TestDriver& s) {
    s.Press(IDC_MENU_SHUTDOWN);
    ASSERT_EQ(s.MessageBoxText(), "Are you sure to shutdown?");
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
  }
  int closeRuns = 0, backDoorRuns = 0, childRuns = 0, testRuns = 0;
};

TEST_F(MainMenuTest, RunningMinutesKeepCountingUnderAModalChild) {
  CVantoriumDlg menu;
  bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_MENU_TEST), "TEST");
    EXPECT_EQ(s.Text(IDC_MENU_PRODUCT_TOP), "QX-4150  Auto Hematology Analyzer");
    s.Advance(40000);
    EXPECT_EQ(analyzer::SampleCounters.RunningMinutes, 0);
    s.Press(IDC_MENU_ABOUT);  // a modal child on top of the menu
    EXPECT_EQ(childRuns, 1);
    s.Advance(20000);
    EXPECT_EQ(analyzer::SampleCounters.RunningMinutes, 1);
    s.Advance(60000);
    EXPECT_EQ(analyzer::SampleCounters.RunningMinutes, 2);
    s.Key(ui::VK_ESCAPE);  // closes the child, not the menu
    Shot("main_menu_en");
    ShutDown(s);
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(closeRuns, 1);
  EXPECT_EQ(AppSettings.PowerOffFlag, 1);
}

TEST_F(MainMenuTest, FifthDoubleClickOnTheBackgroundOpensTheHiddenMenu) {
  CVantoriumDlg menu;
  bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
    const ui::Point background = menu.ClientToScreen(ui::Point(400, 240));
    const ui::Rect button = s.Find(IDC_MENU_TEST)->GetWindowRect();
    EXPECT_EQ(testRuns, 1);  // the test screen comes first
    s.DoubleClickAt(ui::Point((button.left + button.right) / 2, (button.top + button.bottom) / 2));  // on a button: not counted
    EXPECT_GE(testRuns, 2);
    for (int i = 0; i < 4; ++i) s.DoubleClickAt(background);
    EXPECT_EQ(backDoorRuns, 0);
    s.DoubleClickAt(background);
    EXPECT_EQ(backDoorRuns, 1);
    for (int i = 0; i < 4; ++i) s.DoubleClickAt(background);
    EXPECT_EQ(backDoorRuns, 1);
    s.DoubleClickAt(background);
    EXPECT_EQ(backDoorRuns, 2);
    ShutDown(s);
  });
  EXPECT_TRUE(ok);
}

TEST_F(MainMenuTest, EscapeEnterAndSpaceAreIgnoredAndCancellingShutdownChangesNothing) {
  CVantoriumDlg menu;
  bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
    s.Find(IDC_MENU_ABOUT)->SetFocus();
    for (unsigned vk : {ui::VK_ESCAPE, ui::VK_RETURN, ui::VK_SPACE}) s.Key(vk);
    EXPECT_FALSE(menu.IsEnded());
    EXPECT_EQ(childRuns, 0);
    s.Press(IDC_MENU_SHUTDOWN);
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDCANCEL));
    EXPECT_FALSE(menu.IsEnded());
    EXPECT_EQ(closeRuns, 0);
    EXPECT_EQ(AppSettings.PowerOffFlag, 0);
    ShutDown(s);
  });
  EXPECT_TRUE(ok);
}

TEST_F(MainMenuTest, ScreensNotYetBuiltSayTheFunctionIsNotAvailable) {
  CVantoriumDlg menu;
  bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
    for (int id : {IDC_MENU_QC, IDC_MENU_CALIBRATION, IDC_MENU_RESULTS}) {
      s.Press(id);
      EXPECT_EQ(s.MessageBoxText(), "This function is not available.");
      s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
    }
    EXPECT_EQ(MainMenuState.resultsGuard, 0);
    ShutDown(s);
  });
  EXPECT_TRUE(ok);
}

TEST_F(MainMenuTest, SettingReappliesTextsAndTheStatusLineFollowsTheLevel) {
  CVantoriumDlg menu;
  RegisterScreen("CSysSet", [] {
    AppSettings.LanguageIndex = 3;
    AppSettings.UserLevel = 2;
    return 1;
  });
  bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
    s.Press(IDC_MENU_SETTING);
    EXPECT_EQ(s.Text(IDC_MENU_SETTING), "PARAMETRES");
    EXPECT_EQ(s.Text(IDC_MENU_STATUS).rfind("Operateur: Ingenieur      F1: Aide    ", 0), 0u) << s.Text(IDC_MENU_STATUS);
    s.Advance(20000);
    EXPECT_EQ(s.Text(IDC_MENU_STATUS).rfind("Operateur: Ingenieur    F1: Aide    ", 0), 0u) << s.Text(IDC_MENU_STATUS);
    s.Press(IDC_MENU_SHUTDOWN);
    EXPECT_EQ(s.MessageBoxText(), "Etes vous sur de faire la mise a l'arret?");
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
  });
  EXPECT_TRUE(ok);
}

TEST_F(MainMenuTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    AppSettings.UserLevel = static_cast<uint8_t>(lang % 4);
    CVantoriumDlg menu;
    bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
      EXPECT_EQ(s.Text(IDC_MENU_SYSINFO), MenuButtonText(IDC_MENU_SYSINFO, lang));
      Shot(std::string("main_menu_") + kLanguageNames[lang]);
      s.Press(IDC_MENU_SHUTDOWN);
      s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
    });
    EXPECT_TRUE(ok);
  }
}

}  // namespace

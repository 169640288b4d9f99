// The main menu runs the registered test screen first and again from its TEST button; the
// screen's captions in the five languages; the Service button hands the board to the
// maintenance menu and takes it back.
#include "app/screens/main_menu_texts.h"
#include "core/screen_registry.h"
#include "app/screens/vantorium_dlg.h"
#include "controls/message_box_dlg.h"
#include "measurement/patient/person_info.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_test_screen.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"

using namespace measurement;

namespace {

class MenuAndLanguages : public TestScreenTest {};

TEST_F(MenuAndLanguages, MainMenuRunsTheTestScreenFirstAndFromItsTestButton) {
  RegisterMeasurementScreens();
  int runs = 0;
  CVantoriumDlg menu(nullptr);
  auto leaveTestScreen = [&](ui::TestDriver& s) {
    ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_EXIT) != nullptr && s.Enabled(IDC_EXIT); }, 5000));
    ++runs;
    s.Press(IDC_EXIT);
    s.Advance(1600);
    s.RunUntil([&] { return s.Find(IDC_EXIT) == nullptr; }, 3000);
  };
  ASSERT_TRUE(d.RunScript([&] { menu.DoModal(); },
                          [&](ui::TestDriver& s) {
                            leaveTestScreen(s);
                            ASSERT_NE(s.Find(IDC_MENU_TEST), nullptr);
                            s.Press(IDC_MENU_TEST);
                            leaveTestScreen(s);
                            s.RunUntil([&] { menu.EndDialog(ui::IDCANCEL); return true; });
                          }));
  EXPECT_EQ(runs, 2);
  RegisterScreen("CSampleTest", {});
}

TEST_F(MenuAndLanguages, PatientScreenOpensByNameOnTheCurrentSample) {
  RegisterMeasurementScreens();
  ASSERT_TRUE(IsScreenAvailable("CPersonInfo"));
  SampleNoText = "12";
  int result = -1;
  std::string number;
  ASSERT_TRUE(d.RunScript([&] { result = RunScreen("CPersonInfo"); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_PI_SAMPLE_NO) != nullptr; }, 3000));
                            number = s.Text(IDC_PI_SAMPLE_NO);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(number, "12");
  EXPECT_EQ(result, 0);
  RegisterScreen("CSampleTest", {});
  RegisterScreen("CPersonInfo", {});
}

TEST_F(MenuAndLanguages, CaptionsInFiveLanguages) {
  struct Case {
    int language;
    std::string mode, retest, status, bloodMode;
  } cases[] = {
      {0, "模式(&M)", "重测(&T)", "就绪", "抗凝全血"},
      {1, "Mode(&M)", "ReTest(&T)", "Ready", "Whole blood"},
      {2, "Modo(&M)", "Examinar nuevamente", "Listo", "Sangre completa"},
      {3, "Mode(&M)", "Retester(&T)", "Pret", "Sang total"},
      {4, "Режим(&M)", "Повторний\nаналіз", "Готовий", "Цільна кров"},
  };
  static const char* const kNames[5] = {"zh", "en", "es", "fr", "ua"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    CSampleTest screen(nullptr);
    std::string mode, retest, status, bloodMode;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              s.RunUntil([&] { return screen.ready() && screen.cycle().sampleMode(); }, 5000);
                              mode = s.Text(IDC_MODE);
                              retest = s.Text(IDC_RETEST);
                              status = s.Text(IDC_STATUS);
                              bloodMode = s.Text(IDC_BLOOD_MODE);
                              Shot(std::string("sample_test_empty_") + kNames[c.language]);
                              s.Advance(3100);
                              s.Press(IDC_EXIT);
                              s.Advance(1600);
                            }));
    EXPECT_EQ(mode, c.mode);
    EXPECT_EQ(retest, c.retest);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(bloodMode, c.bloodMode);
  }
}

TEST_F(MenuAndLanguages, ServiceHandsTheBoardOverAndTakesItBack) {
  CSampleTest screen(nullptr);
  bool portDuring = true, serviceOpenDuring = false;
  screen.SetServiceRunner([&] {
    portDuring = screen.portOpen();
    serviceOpenDuring = screen.serviceOpen();
    return ui::IDCANCEL;
  });
  size_t before = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.RunUntil([&] { return screen.ready() && screen.cycle().sampleMode(); }, 5000);
                            s.Advance(3100);
                            before = sim.ReceivedCount();
                            s.Press(IDC_SERVICE);
                            s.RunUntil([&] { return !screen.serviceOpen() && ReceivedSince(before, "AA 90"); }, 3000);
                            s.Press(IDC_EXIT);
                            s.Advance(1600);
                          }));
  EXPECT_FALSE(portDuring);
  EXPECT_TRUE(serviceOpenDuring);
  EXPECT_FALSE(screen.serviceOpen());
  EXPECT_TRUE(ReceivedSince(before, "AA 91"));
  EXPECT_TRUE(ReceivedSince(before, "AA 90"));
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace

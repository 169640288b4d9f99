// Every screen the program registers, every menu and the message box, in the five languages on
// three display sizes: captions fit their buttons and no control lies outside its screen or off
// the display.
#include <algorithm>
#include <set>

#include <cmath>

#include "app/screens/bak_recover.h"
#include "app/screens/main_menu_texts.h"
#include "app/screens/vantorium_dlg.h"
#include "core/screen_registry.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window.h"
#include "label_check.h"
#include "sweep_fixture.h"

namespace {

// The screens the sweep opens by name: the core screens, and the screens of the other
// subsystems as the program registers them.
const char* const kScreens[] = {
    // the application core
    "CSysStart", "CSysClose", "CAboutDlg", "CDormancyDlg", "CUserLogon", "CSysInfoSel", "CSysState", "CStatistic",
    "CSysLog",
    // measurement and results
    "CSampleTest", "CPersonInfo", "CHistoryList", "CPrintItemsSet",
    // service
    "CServiceSel", "CSpitDiluent", "CBackDoor2", "CMechCheckDlg", "CEngineeringAdjust", "CDebugSel",
    // settings
    "CSysSet", "COtherSysSet", "CSetSoakFreq", "CNormalLimits", "CPathologyLimits", "CParasUnit", "CDeptSet",
    "CDoctorSet",
    // LIS
    "CCommuSel", "CCommSet", "CDlgLis", "CSerSend",
    // QC
    "CQCSel", "CXRQCGraph", "CXRQCList", "CXRQCRun", "CXBQCList", "CXBQCGraph", "CXBQcSet", "CXRQCSet", "CLJQCSet",
    // calibration
    "CCaliSel", "CCalibAuto", "CCalibAutoSet", "CCalibManual", "CUserCaliManual",
};

class RegisteredScreen : public ScreenSweep, public ::testing::WithParamInterface<const char*> {};

TEST_P(RegisteredScreen, CaptionsFitAndControlsStayOnTheScreen) { SweepRegistered(GetParam()); }

std::string CaseName(const ::testing::TestParamInfo<const char*>& info) { return info.param; }

INSTANTIATE_TEST_SUITE_P(Sweep, RegisteredScreen, ::testing::ValuesIn(kScreens), CaseName);

TEST_F(ScreenSweep, EveryRegisteredScreenIsSwept) {
  Show(kSweepDisplays[0], 1);
  const std::set<std::string> swept(std::begin(kScreens), std::end(kScreens));
  for (const std::string& name : RegisteredScreens()) EXPECT_TRUE(swept.count(name)) << name << " is not swept";
}

// The menu's status line in grey over the painted background: every operator text of the
// language fits the line; behind the line and the shut-down button no artwork is drawn (each
// row of their rectangles is one colour), and the grey reads against every row.
std::vector<std::string> CheckMenuFooter(ui::TestDriver& s, ui::Window* menu, int language) {
  std::vector<std::string> out;
  ui::Window* status = menu->GetDlgItem(IDC_MENU_STATUS);
  ui::Window* shutdown = menu->GetDlgItem(IDC_MENU_SHUTDOWN);
  if (!status || !shutdown) return {"no status line or shut-down button"};
  s.RunUntil([&] {
    draw::Bitmap scratch = draw::Bitmap::Create(4, 4, draw::kWhite);
    draw::DC dc(scratch);
    dc.SelectFont(*status->GetFont());
    for (int level = 0; level <= 3; ++level)
      for (bool refresh : {false, true}) {
        const std::string line = StatusLineText(level, language, {2026, 12, 25, 23, 59, 0}, refresh);
        draw::Rect r(0, 0, 0, 0);
        dc.DrawText(line, &r, draw::kDtSingleLine | draw::kDtCalcRect | draw::kDtNoPrefix);
        const ui::Rect box = status->GetClientRect();
        if (r.Width() > box.Width() || r.Height() > box.Height())
          out.push_back("status line \"" + line + "\" is " + std::to_string(r.Width()) + "x" +
                        std::to_string(r.Height()) + ", the line " + std::to_string(box.Width()) + "x" +
                        std::to_string(box.Height()));
      }
    status->SetWindowText("");
    shutdown->ShowWindow(ui::SW_HIDE);
    menu->Invalidate(true);  // the transparent line shows the background it was painted on
    return true;
  });
  const draw::Bitmap bare = s.Screen();
  const draw::Color grey = draw::RGB(150, 150, 150);
  for (ui::Window* w : {status, shutdown}) {
    const ui::Rect r = w->GetWindowRect();
    for (int y = r.top; y < r.bottom; ++y) {
      const draw::Color first = bare.GetPixel(r.left, y);
      int x = r.left;
      while (x < r.right && bare.GetPixel(x, y) == first) ++x;
      if (x != r.right)
        out.push_back("artwork behind control " + std::to_string(w->GetDlgCtrlID()) + " at row " +
                      std::to_string(y - r.top) + ", x " + std::to_string(x - r.left));
      if (w == status && Contrast(first, grey) < 3.0)
        out.push_back("the status line's grey is hard to read at row " + std::to_string(y - r.top));
    }
  }
  return out;
}

TEST_F(ScreenSweep, MainMenu) {
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang) {
      Show(display, lang);
      RegisterScreen("CSampleTest", {});  // the menu shows at once instead of the test screen first
      const std::string where = std::string("CVantoriumDlg_") + kSweepLanguages[lang] + "_" + display.name;
      Sweep(
          where,
          [] {
            CVantoriumDlg menu(nullptr);
            menu.DoModal();
          },
          [&](ui::TestDriver& s, ui::Window* menu, const draw::Bitmap&) {
            for (const std::string& p : CheckMenuFooter(s, menu, lang)) Finding(where, p);
          });
    }
}

TEST_F(ScreenSweep, BackupAndRestore) {
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang)
      for (int mode : {0, 1}) {
        Show(display, lang);
        Sweep(std::string("CBakRecover") + (mode ? "_restore_" : "_backup_") + kSweepLanguages[lang] + "_" + display.name,
              [&] {
                CBakRecover dlg(nullptr);
                dlg.mode = mode;
                dlg.DoModal();
              });
      }
}

TEST_F(ScreenSweep, MessageBoxes) {
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang)
      for (unsigned type : {unsigned{ui::MB_OK}, ui::MB_OKCANCEL | ui::MB_ICONQUESTION, ui::MB_YESNO | ui::MB_ICONWARNING,
                            unsigned{ui::MB_YESNOCANCEL}}) {
        Show(display, lang);
        Sweep(std::string("MessageBox_") + std::to_string(type) + "_" + kSweepLanguages[lang] + "_" + display.name,
              [&] { ui::MessageBox(nullptr, "Are you sure to shutdown?", "", type); });
      }
}

}  // namespace

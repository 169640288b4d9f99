#include "app/screens/vantorium_dlg.h"

#include "analyzer/sequences/process_values.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "app/screens/main_menu_texts.h"
#include "controls/screen_common.h"
#include "core/screen_registry.h"
#include "controls/skin_loader.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/profile.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

MainMenuCounters MainMenuState;

namespace {
const char* const kLanguageSections[5] = {"CN", "EN", "ES", "FR", "UA"};
}

ui::DialogTemplate MainMenuTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_MENU_TEST, "TEST", 34, 47, 54, 32, V);
  t.Add("Button", IDC_MENU_RESULTS, "RESULTS", 101, 47, 54, 32, V);
  t.Add("Button", IDC_MENU_SYSINFO, "SYSTEM INFO", 168, 47, 54, 32, V);
  t.Add("Button", IDC_MENU_ABOUT, "ABOUT", 235, 47, 54, 32, V);
  t.Add("Button", IDC_MENU_QC, "QC", 34, 113, 54, 32, V);
  t.Add("Button", IDC_MENU_CALIBRATION, "CALIBRATION", 101, 113, 54, 32, V);
  t.Add("Button", IDC_MENU_SERVICE, "SERVICE", 168, 113, 54, 32, V);
  t.Add("Button", IDC_MENU_SETTING, "SETTING", 235, 113, 54, 32, V);
  t.Add("Button", IDC_MENU_SHUTDOWN, "", 8, 216, 12, 11, V);
  t.Add("Static", IDC_MENU_PRODUCT_TOP, "", 7, 7, 298, 9, V | ui::SS_LEFT);
  t.Add("Static", IDC_MENU_PRODUCT_BOTTOM, "", 40, 189, 240, 9, V | ui::SS_CENTER);
  t.Add("Static", IDC_MENU_STATUS, "", 24, 220, 274, 8, V | ui::SS_LEFTNOWORDWRAP);
  return t;
}

CVantoriumDlg::CVantoriumDlg(ui::Window* parent) : ui::Dialog(IDD_VANTORIUM_DIALOG, parent) {
  if (!ui::Resources::FindDialog(IDD_VANTORIUM_DIALOG)) ui::Resources::AddDialog(IDD_VANTORIUM_DIALOG, MainMenuTemplate());
}

void CVantoriumDlg::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_MENU_SHUTDOWN, shutdown_);
  ui::ExchangeControl(dx, IDC_MENU_TEST, test_);
  ui::ExchangeControl(dx, IDC_MENU_SETTING, setting_);
  ui::ExchangeControl(dx, IDC_MENU_RESULTS, results_);
  ui::ExchangeControl(dx, IDC_MENU_SERVICE, service_);
  ui::ExchangeControl(dx, IDC_MENU_SYSINFO, sysInfo_);
  ui::ExchangeControl(dx, IDC_MENU_CALIBRATION, calibration_);
  ui::ExchangeControl(dx, IDC_MENU_QC, qc_);
  ui::ExchangeControl(dx, IDC_MENU_ABOUT, about_);
}

bool CVantoriumDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyMenuTexts();
  SetTimer(1, 20000);
  for (CXPButton* b : {&test_, &setting_, &results_, &service_, &sysInfo_, &calibration_, &qc_, &about_})
    b->SetBitmaps(418, 419, 0);
  shutdown_.SetBitmaps(477, 478, 0);
  const float s = AppSettings.LayoutScale;
  statusFont_ = draw::Font("Arial", static_cast<int>(15.0 * s), draw::kFontWeightBold);
  titleFont_ = draw::Font("Arial", static_cast<int>(17.0 * s), draw::kFontWeightBold);
  if (ui::Window* w = GetDlgItem(IDC_MENU_STATUS)) w->SetFont(&statusFont_, true);
  if (ui::Window* w = GetDlgItem(IDC_MENU_PRODUCT_TOP)) w->SetFont(&titleFont_, true);
  if (ui::Window* w = GetDlgItem(IDC_MENU_PRODUCT_BOTTOM)) w->SetFont(&titleFont_, true);
  // The test screen comes first; the menu shows when the operator leaves it. Until a test
  // screen is part of the program the menu opens directly.
  if (IsScreenAvailable("CSampleTest")) RunScreen("CSampleTest");
  return true;
}

void CVantoriumDlg::ApplyMenuTexts() {
  const int lang = AppSettings.LanguageIndex;
  std::string produceName;
  for (int id : {IDC_MENU_TEST, IDC_MENU_SETTING, IDC_MENU_RESULTS, IDC_MENU_SERVICE, IDC_MENU_SYSINFO,
                 IDC_MENU_CALIBRATION, IDC_MENU_QC, IDC_MENU_ABOUT})
    SetDlgItemText(id, MenuButtonText(id, lang));
  const std::string info = AppSettings.ProgramFolder + "ProduceInfo/Produceinfo.ver";
  if (sys::FileExists(info) && lang >= 0 && lang <= 4)
    produceName = sys::ProfileReadString(info, kLanguageSections[lang], "ProduceName", " ", 100);
  const std::string line = ProductLineText(AppSettings.ProductName, produceName);
  SetDlgItemText(IDC_MENU_PRODUCT_TOP, line);
  SetDlgItemText(IDC_MENU_PRODUCT_BOTTOM, line);
  SetDlgItemText(IDC_MENU_STATUS, StatusLineText(AppSettings.UserLevel, lang, sys::Clock::Now(), false));
  Invalidate(true);
}

void CVantoriumDlg::RefreshClock() {
  SetDlgItemText(IDC_MENU_STATUS,
                 StatusLineText(AppSettings.UserLevel, AppSettings.LanguageIndex, sys::Clock::Now(), true));
  if (ui::Window* w = GetDlgItem(IDC_MENU_STATUS)) {
    const ui::Rect r = w->GetRectInParent();
    InvalidateRect(&r, true);
  }
}

void CVantoriumDlg::OnTimer(uintptr_t) {
  if (++MainMenuState.timerTicks >= 3) {
    MainMenuState.timerTicks = 0;
    ++analyzer::SampleCounters.RunningMinutes;
  }
  RefreshClock();
}

bool CVantoriumDlg::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN &&
      (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_RETURN || msg.wParam == ui::VK_SPACE))
    return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

ui::LResult CVantoriumDlg::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == ui::WM_HOTKEY) return 0;
  if (msg == ui::WM_HELP) return 1;
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CVantoriumDlg::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  const int language = AppSettings.LanguageIndex;
  switch (id) {
    case IDC_MENU_TEST:
      RunScreen("CSampleTest");
      if (AppSettings.LanguageIndex != language) ApplyMenuTexts();
      return true;
    case IDC_MENU_RESULTS:
      if (MainMenuState.resultsGuard != 0) return true;
      MainMenuState.resultsGuard = 1;
      RunScreen("CHistoryList");
      MainMenuState.resultsGuard -= 1;
      return true;
    case IDC_MENU_SYSINFO: RunScreen("CSysInfoSel"); return true;
    case IDC_MENU_ABOUT: RunScreen("CAboutDlg"); return true;
    case IDC_MENU_QC: RunScreen("CQCSel"); return true;
    case IDC_MENU_CALIBRATION: RunScreen("CCaliSel"); return true;
    case IDC_MENU_SERVICE:
      RunScreen("CServiceSel");
      if (AppSettings.LanguageIndex != language) ApplyMenuTexts();
      return true;
    case IDC_MENU_SETTING:
      RunScreen("CSysSet");
      ApplyMenuTexts();
      return true;
    case IDC_MENU_SHUTDOWN: OnShutdown(); return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

void CVantoriumDlg::OnShutdown() {
  if (ui::MessageBox(nullptr, ShutdownQuestionText(AppSettings.LanguageIndex), "",
                     ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  RunScreen("CSysClose");
  AppSettings.PowerOffFlag = 1;
  OnCancel();
}

void CVantoriumDlg::OnLButtonDblClk(unsigned flags, ui::Point pt) {
  if (MainMenuState.doubleClicks >= 5) {
    RunScreen("CBackDoor2");
    MainMenuState.doubleClicks = 1;
  } else {
    ++MainMenuState.doubleClicks;
  }
  ui::Dialog::OnLButtonDblClk(flags, pt);
}

bool CVantoriumDlg::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect rc = GetClientRect();
  const int W = rc.Width(), H = rc.Height();
  draw::Bitmap off = draw::Bitmap::Create(W, H, draw::RGB(215, 223, 224));
  {
    draw::DC m(off);
    const MenuBackgroundRects r =
        MenuBackgroundLayout(W, H, AppSettings.LayoutScale, AppSettings.LargeScreen);
    auto stretch = [&m](unsigned id, const ui::Rect& to, bool minusOne) {
      draw::Bitmap b = LoadSkinBitmap(id, "Load menu Bitmap Error!");
      if (b.IsNull()) return;
      m.StretchBlt(to.left, to.top, to.Width(), to.Height(), b, 0, 0, b.Width() - (minusOne ? 1 : 0), b.Height());
    };
    stretch(416, r.bottomStrip, true);
    stretch(InstrumentPictureId(AppSettings.ProductName, AppSettings.ChineseEdition, AppSettings.LayoutScale),
            r.picture, false);
    stretch(414, r.upperStrip, false);
    m.SelectPen(draw::Pen::Solid(draw::RGB(0, 76, 120), 12));
    m.SelectBrush(draw::Brush::NullBrush());
    m.Rectangle(rc);
    m.SelectPen(draw::Pen::Solid(draw::RGB(240, 240, 240), 5));
    m.Rectangle(ui::Rect(rc.left + 8, rc.top + 8, rc.right - 8, rc.bottom - 8));
    m.Flush();
  }
  dc.BitBlt(0, 0, W, H, off, 0, 0);
  return true;
}

const draw::Brush* CVantoriumDlg::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  switch (control ? control->GetDlgCtrlID() : 0) {
    case IDC_MENU_PRODUCT_TOP: return TransparentLabel(dc, draw::RGB(140, 143, 148));
    case IDC_MENU_PRODUCT_BOTTOM: return TransparentLabel(dc, draw::RGB(216, 216, 216));
    case IDC_MENU_STATUS: return TransparentLabel(dc, draw::RGB(150, 150, 150));
    default: return ui::Dialog::OnCtlColor(dc, control, ctlType);
  }
}

#include "calibration/cali_sel.h"

#include "calibration/calib_auto.h"
#include "calibration/calib_auto_set.h"
#include "calibration/calib_manual.h"
#include "calibration/calibration_texts.h"
#include "calibration/user_cali_manual.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"

namespace calibration {

namespace {
ui::DialogTemplate CaliSelTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(294, 152);
  t.Add("Button", IDC_CALISEL_OUTER, "", 7, 6, 284, 103, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_CALISEL_INNER, "", 34, 27, 224, 59, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_CALISEL_MANUAL, "Manual Calibration", 60, 36, 79, 36, V | TS);
  t.Add("Button", IDC_CALISEL_AUTO, "Auto Calibration", 152, 36, 79, 36, V | TS);
  t.Add("Button", ui::IDCANCEL, "Exit", 121, 114, 51, 31, V | TS);
  return t;
}
}  // namespace

CCaliSel::CCaliSel(ui::Window* parent) : ui::Dialog(IDD_CALI_SEL, parent) {
  if (!ui::Resources::FindDialog(IDD_CALI_SEL)) ui::Resources::AddDialog(IDD_CALI_SEL, CaliSelTemplate());
}

void CCaliSel::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_CALISEL_MANUAL, manual_);
  ui::ExchangeControl(dx, IDC_CALISEL_AUTO, auto_);
  ui::ExchangeControl(dx, IDC_CALISEL_OUTER, outer_);
  ui::ExchangeControl(dx, IDC_CALISEL_INNER, inner_);
}

bool CCaliSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  manual_.SetWindowText(TextOf(CaliText::ManualCalibration, lang));
  auto_.SetWindowText(TextOf(CaliText::AutoCalibration, lang));
  exit_.SetWindowText(PickText(lang, "退出", "Exit", "Salir", "Quitter", "Вихід"));
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  manual_.SetBitmaps(446, 448, 447);
  auto_.SetBitmaps(446, 448, 447);
  exit_.SetBitmaps(453, 452, 451);
  outer_.SetBands(true, 6);
  if (AppSettings.UserLevel == 0) auto_.EnableWindow(false);
  return true;
}

bool CCaliSel::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED && id == IDC_CALISEL_MANUAL) {
    OnManualCalibration();
    return true;
  }
  if (code == ui::BN_CLICKED && id == IDC_CALISEL_AUTO) {
    OnAutoCalibration();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CCaliSel::OnManualCalibration() {
  RunScreen(AppSettings.UserLevel > 1 ? "CCalibManual" : "CUserCaliManual");
  EndDialog(ui::IDOK);
}

void CCaliSel::OnAutoCalibration() {
  if (AppSettings.UserLevel == 0) return;
  RunScreen("CCalibAuto");
  EndDialog(ui::IDOK);
}

bool CCaliSel::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawBottomBars(dc, this, IDC_CALISEL_OUTER, ui::IDCANCEL, ui::IDCANCEL);
  return true;
}

void RegisterCalibrationScreens() {
  RegisterScreen("CCaliSel", [] {
    CCaliSel s(nullptr);
    return s.DoModal();
  });
  RegisterCalibManualScreen();
  RegisterUserCaliManualScreen();
  RegisterCalibAutoScreen();
  RegisterCalibAutoSetScreen();
}

}  // namespace calibration

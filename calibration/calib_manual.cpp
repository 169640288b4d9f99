#include "calibration/calib_manual.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "platform/sys/file_ops.h"
#include "core/screen_registry.h"
#include "core/sys_log.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace calibration {

CCalibManual::CCalibManual(ui::Window* parent) : CManualScreen(IDD_CALIB_MANUAL, parent, false) {
  if (!ui::Resources::FindDialog(IDD_CALIB_MANUAL)) ui::Resources::AddDialog(IDD_CALIB_MANUAL, ManualScreenTemplate(false));
}

void CCalibManual::DoDataExchange(ui::DataExchange& dx) {
  CManualScreen::DoDataExchange(dx);
  ui::ExchangeControl(dx, IDC_CM_SET_DEFAULT, setDefault_);
  ui::ExchangeControl(dx, IDC_CM_DEFAULT, default_);
}

bool CCalibManual::OnInitDialog() {
  CManualScreen::OnInitDialog();
  const int lang = AppSettings.LanguageIndex;
  setDefault_.SetWindowText(TextOf(CaliText::SetDefault, lang));
  default_.SetWindowText(TextOf(CaliText::LoadDefault, lang));
  setDefault_.SetBitmaps(469, 468, 467);
  default_.SetBitmaps(469, 468, 467);
  if (AppSettings.UserLevel == 2) setDefault_.EnableWindow(false);
  return true;
}

bool CCalibManual::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED && id == IDC_CM_DEFAULT) {
    OnLoadDefaults();
    return true;
  }
  if (code == ui::BN_CLICKED && id == IDC_CM_SET_DEFAULT) {
    OnStoreDefaults();
    return true;
  }
  return CManualScreen::OnCommand(id, code, control);
}

void CCalibManual::OnSave() {
  TakeTexts();
  ManualScreenTexts& s = Shown();
  const ManualSaveOutcome out = SaveEngineerFactors(db_, s.bloodType, s.texts);
  if (out.result == ManualSave::Refused) {
    Box(out.check.message, ui::MB_ICONWARNING);
    return;
  }
  ShowTexts();
  if (out.result != ManualSave::Saved) return;
  const int lang = AppSettings.LanguageIndex;
  Box(CaliText::CalibrationSaved, ui::MB_ICONINFORMATION);
  WriteSysLog(db_, TextOf(CaliText::ManualCalibrationEvent, lang), TextOf(CaliText::OriginalValueUpdated, lang));
}

void CCalibManual::OnLoadDefaults() {
  std::string values[6];
  if (!ReadDefaultFactors(Shown().bloodType, values)) {
    Box(CaliText::DataFileNotFound, ui::MB_ICONERROR);
    return;
  }
  TakeTexts();
  for (int i = 0; i < 6; ++i) Shown().texts.factors[i] = values[i];
  ShowTexts();
}

void CCalibManual::OnStoreDefaults() {
  TakeTexts();
  const InputCheck c = CheckDefaultTexts(Shown().texts.factors, 6);
  if (!c.ok) {
    Box(c.message, ui::MB_ICONWARNING);
    return;
  }
  double v[6];
  for (int i = 0; i < 6; ++i) v[i] = RoundHalfUp2(std::strtod(Shown().texts.factors[i].c_str(), nullptr));
  if (!sys::FileExists(SettingIniPath())) {
    Box(CaliText::DataFileNotFound, ui::MB_ICONERROR);
    return;
  }
  if (!WriteDefaultFactors(Shown().bloodType, v)) {
    Box(CaliText::NotSaved, ui::MB_ICONERROR);
    return;
  }
  Box(CaliText::DataSaved, ui::MB_ICONINFORMATION);
}

void RegisterCalibManualScreen() {
  RegisterScreen("CCalibManual", [] {
    CCalibManual s(nullptr);
    return s.DoModal();
  });
}

}  // namespace calibration

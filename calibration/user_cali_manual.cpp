#include "calibration/user_cali_manual.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "core/screen_registry.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace calibration {

CUserCaliManual::CUserCaliManual(ui::Window* parent) : CManualScreen(IDD_USER_CALI_MANUAL, parent, true) {
  if (!ui::Resources::FindDialog(IDD_USER_CALI_MANUAL))
    ui::Resources::AddDialog(IDD_USER_CALI_MANUAL, ManualScreenTemplate(true));
}

void CUserCaliManual::DoDataExchange(ui::DataExchange& dx) {
  CManualScreen::DoDataExchange(dx);
  for (int i = 0; i < 5; ++i) ui::ExchangeControl(dx, kSpinIds[i], spins_[i]);
}

bool CUserCaliManual::OnInitDialog() {
  CManualScreen::OnInitDialog();
  if (AppSettings.UserLevel == 0) {
    for (int i = 0; i < 5; ++i) {
      values_[i].EnableWindow(false);
      dates_[i].EnableWindow(false);
      spins_[i].ShowWindow(ui::SW_HIDE);
    }
    save_.EnableWindow(false);
  } else {
    for (int i = 0; i < 5; ++i) {
      spins_[i].SetRange(1000, 20000);
      spins_[i].SetBitmaps(420, 421, 422);
    }
  }
  Reloaded();
  return true;
}

void CUserCaliManual::Reloaded() {
  for (int i = 0; i < 5; ++i) {
    base_[i] = std::strtod(Shown().texts.percents[i].c_str(), nullptr);
    if (spins_[i].IsWindow()) spins_[i].SetPos(static_cast<int>(base_[i] * 100));
  }
}

bool CUserCaliManual::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::EN_CHANGE && !filling_) {
    for (int i = 0; i < 5; ++i) {
      if (id != kValueEditIds[i]) continue;
      const std::string text = values_[i].GetWindowText();
      if (!IsCalibrationNumber(text)) {
        Box(CaliText::DigitsForCalibration, ui::MB_ICONWARNING);
        return true;
      }
      const int pos = static_cast<int>(std::strtod(text.c_str(), nullptr) * 100 + 0.5);
      if (pos > 0) spins_[i].SetPos(pos);
      return true;
    }
  }
  return CManualScreen::OnCommand(id, code, control);
}

void CUserCaliManual::OnVScroll(int code, int pos, ui::Window* bar) {
  if (code == ui::SB_ENDSCROLL) return;
  for (int i = 0; i < 5; ++i) {
    if (bar != &spins_[i]) continue;
    if (!IsCalibrationNumber(values_[i].GetWindowText())) {
      Box(CaliText::DigitsForCalibration, ui::MB_ICONWARNING);
      return;
    }
    const int p = spins_[i].GetPos();
    if (p >= 1000 && p <= 20000) {
      filling_ = true;
      values_[i].SetWindowText(StrPrintf("%.2f", p / 100.0));
      filling_ = false;
    } else {
      Box(CaliText::Range10To200, ui::MB_ICONWARNING);
    }
  }
}

void CUserCaliManual::OnSave() {
  TakeTexts();
  ManualScreenTexts& s = Shown();
  const ManualSaveOutcome out = SaveUserPercents(db_, s.bloodType, s.texts, base_);
  if (out.result == ManualSave::Refused) {
    Box(out.check.message, ui::MB_ICONWARNING);
    return;
  }
  filling_ = true;
  ShowTexts();
  filling_ = false;
  if (out.result != ManualSave::Saved) {
    Box(CaliText::NotSaved, ui::MB_ICONERROR);
    return;
  }
  const int lang = AppSettings.LanguageIndex;
  Box(CaliText::CalibrationSaved, ui::MB_ICONINFORMATION);
  WriteSysLog(db_, TextOf(CaliText::ManualCalibrationEvent, lang), TextOf(CaliText::PercentValueUpdated, lang));
}

void RegisterUserCaliManualScreen() {
  RegisterScreen("CUserCaliManual", [] {
    CUserCaliManual s(nullptr);
    return s.DoModal();
  });
}

}  // namespace calibration

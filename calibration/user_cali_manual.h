#pragma once
// CUserCaliManual: calibration by percent for General Users and Administrators. A percent per
// item (100 = the factor as first set); Save scales each factor by new / loaded percent. A
// General User may look and print only.
#include "calibration/manual_screen.h"
#include "controls/xp_tab_spin.h"

namespace calibration {

inline constexpr int IDD_USER_CALI_MANUAL = 363;

class CUserCaliManual : public CManualScreen {
 public:
  explicit CUserCaliManual(ui::Window* parent = nullptr);

  // The percents the next Save divides by.
  const double* BasePercents() const { return base_; }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnVScroll(int code, int pos, ui::Window* bar) override;
  ManualScreenTexts& Shown() override { return UserCalibration; }
  void OnSave() override;
  void Reloaded() override;

 private:
  CTSpinButtonCtrl spins_[5];
  double base_[5] = {100, 100, 100, 100, 100};
  bool filling_ = false;
};

void RegisterUserCaliManualScreen();

}  // namespace calibration

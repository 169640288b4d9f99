#pragma once
// CCalibManual: the engineer's calibration factor screen. The factors WBC, RBC, HGB, MCV, PLT
// and MPV of one blood type are typed and saved with today's date; the engineer's defaults are
// loaded from and (Factory users only) stored into setting.ini.
#include "calibration/manual_screen.h"

namespace calibration {

inline constexpr int IDD_CALIB_MANUAL = 145;

class CCalibManual : public CManualScreen {
 public:
  explicit CCalibManual(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  ManualScreenTexts& Shown() override { return EngineerCalibration; }
  void OnSave() override;

 private:
  void OnLoadDefaults();
  void OnStoreDefaults();
  CXPButton setDefault_, default_;
};

void RegisterCalibManualScreen();

}  // namespace calibration

#pragma once
// CCaliSel: the calibration menu. Manual Calibration opens the engineer's factor screen for
// Engineer and Factory users and the percent screen below them; Auto Calibration (closed to
// General Users) opens automatic calibration. Whatever opens, the menu ends when it returns.
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

namespace calibration {

inline constexpr int IDD_CALI_SEL = 326;
inline constexpr int IDC_CALISEL_MANUAL = 1801;
inline constexpr int IDC_CALISEL_AUTO = 1802;
inline constexpr int IDC_CALISEL_OUTER = 1803;
inline constexpr int IDC_CALISEL_INNER = 1804;

class CCaliSel : public ui::Dialog {
 public:
  explicit CCaliSel(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void OnManualCalibration();
  void OnAutoCalibration();
  CXPButton exit_, manual_, auto_;
  CXPGroupBox outer_, inner_;
};

// Registers the calibration screens with the screen registry.
void RegisterCalibrationScreens();

}  // namespace calibration

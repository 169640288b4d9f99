#pragma once
// CSetSoakFreq: the soak reminder's limits, the samples (100-800) and the days (1-7) after which
// the operator is reminded to soak the analyzer in concentrated cleanser.
#include <string>

#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_SET_SOAK_FREQ = 510;
enum : int { IDC_SOAK_FRAME = 2401, IDC_SOAK_FRAME2, IDC_SOAK_TIMES, IDC_SOAK_DAYS, IDC_SOAK_TIMES_LABEL,
             IDC_SOAK_DAYS_LABEL, IDC_SOAK_KEYBOARD = 1514 };

namespace settings {
// The two checks of the screen, counts first: the message of the first failure ("" when both
// pass) and the field at fault (IDC_SOAK_TIMES or IDC_SOAK_DAYS).
std::string CheckSoakLimits(const std::string& times, const std::string& days, int language, int* sampleLimit,
                            int* dayLimit, int* faultId);
}  // namespace settings

class CSetSoakFreq : public ui::Dialog {
 public:
  explicit CSetSoakFreq(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnOK() override;
  void OnCancel() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  CXPGroupBox frames_[2];
  CXPButton ok_, cancel_;
  CBitmapKeyButton keyboard_;
  CADOConn conn_;
};

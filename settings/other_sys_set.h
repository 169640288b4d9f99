#pragma once
// COtherSysSet: the menu of further settings, opened from the system settings screen. Its
// buttons open the communication, units, soak reminder, normal and panic limits, department and
// doctor screens; what a General User may open is limited, and the log button logs a user on or
// off.
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_OTHER_SYS_SET = 152;
enum : int {
  IDC_OS_FRAME = 2301, IDC_OS_FRAME_TOP, IDC_OS_FRAME_BOTTOM,
  IDC_OS_LOG = 2310, IDC_OS_COMMUNICATION, IDC_OS_UNITS, IDC_OS_SOAK, IDC_OS_NORMAL, IDC_OS_PANIC, IDC_OS_DEPT,
  IDC_OS_DOCTOR,
};

// Which of the menu's gated buttons a user level may use.
struct OtherMenuGates {
  bool limitsAndUnits = false;  // "Normal Limits", "Pathologic Limits", "Units"
  bool soak = false;            // "Soak Frequence"
};
OtherMenuGates OtherMenuGatesFor(int userLevel, bool soakReminderOn);

class COtherSysSet : public ui::Dialog {
 public:
  explicit COtherSysSet(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  void OnDestroy() override;

 private:
  void ApplyLevel();
  void OnLogButton();

  CXPGroupBox frames_[3];
  CXPButton buttons_[8];
  CXPButton exit_;
  CADOConn conn_;
};

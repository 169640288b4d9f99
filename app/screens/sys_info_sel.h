#pragma once
// CSysInfoSel: the small system information menu (status, log, statistics). Each of the three
// screens closes the menu when it ends, so the operator is back at the main menu.
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_SYSINFO_SEL = 160;
inline constexpr int IDC_SYSINFO_STATUS = 1768;
inline constexpr int IDC_SYSINFO_LOG = 1769;
inline constexpr int IDC_SYSINFO_STATISTIC = 1770;
inline constexpr int IDC_SYSINFO_INNER = 1975;
inline constexpr int IDC_SYSINFO_OUTER = 1974;

ui::DialogTemplate SysInfoSelTemplate();

class CSysInfoSel : public ui::Dialog {
 public:
  explicit CSysInfoSel(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  CXPButton exit_, status_, statistic_, log_;
  CXPGroupBox inner_, outer_;
};

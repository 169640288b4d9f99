#pragma once
// CLimitsScreen: the screen both reference range tables are edited on, one patient group at a
// time: ten group buttons, the low and high limit and the unit of each of the 20 parameters,
// Send, Save, Help and Exit. CNormalLimits and CPathologyLimits are this screen on their table.
#include <string>

#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "settings/limit_tables.h"
#include "settings/limits_send.h"

enum : int {
  IDC_LIM_GROUP_FRAME = 1683, IDC_LIM_GROUP_FIRST = 1263,  // 1263..1272, Kind 0..9
  IDC_LIM_SEND = 1531, IDC_LIM_SAVE = 1138, IDC_LIM_HELP = 1044, IDC_LIM_KEYBOARD = 1514,
  IDC_LIM_UNIT_FIRST = 1423,  // 1423..1442, screen order
  IDC_LIM_NAME_FIRST = 2500,  // parameter names, screen order
};

// The low limit's edit of a parameter in screen order (the high one is the next id).
int LimitLowEditId(int displayIndex);

class CLimitsScreen : public ui::Dialog {
 public:
  CLimitsScreen(settings::LimitTable table, int dialogId, ui::Window* parent);

  int CurrentGroup() const { return group_; }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnDestroy() override;

 private:
  void LoadGroup(int kind);
  void ShowLimits();
  void ReadEdits(std::string texts[40]) const;
  void Save();
  void Send();
  void Help();

  settings::LimitTable table_;
  int leftFrameId_, rightFrameId_;
  int group_ = 0;
  float pairs_[40] = {};
  bool rowExists_[10] = {};
  std::string units_[20];
  CXPGroupBox groupFrame_, leftFrame_, rightFrame_;
  CXPRadioButton groupButtons_[10];
  CXPButton send_, save_, help_, exit_;
  CBitmapKeyButton keyboard_;
  CADOConn conn_;
  settings::LimitsLisPort lisPort_;  // the LIS serial port, opened by the first serial send
};

ui::DialogTemplate LimitsScreenTemplate(settings::LimitTable table);

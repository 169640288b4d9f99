#pragma once
// CValvesCheckDlg: switches the eleven valves one at a time, or all of them in one run, over
// the mechanics check's board link; the mechanics check is marked busy before each command
// goes out and reports the answers.
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"
#include "service/mech_check.h"

namespace service {

class CValvesCheckDlg : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 184;
  static constexpr int kFirstValveId = 1375;  // .. 1385 valve 11
  static constexpr int kAllValvesId = 1386;
  static constexpr int kFrame1Id = 2005, kFrame2Id = 2006;

  CValvesCheckDlg(ui::Window* parent, MechCheck& check);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  void OnOK() override {}
  bool OnEraseBkgnd(draw::DC& dc) override;
  void PaintNonClient(draw::DC& dc) override;

 private:
  MechCheck& check_;
  CXPButton valves_[12], exit_;
  CXPGroupBox frame1_, frame2_;
};

}  // namespace service

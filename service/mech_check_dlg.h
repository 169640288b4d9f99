#pragma once
// CMechCheckDlg: the mechanics check. Four buttons check the sample needle, the carriage and
// the two syringes, each result shown as "OK" or "Error"; a fifth opens the valve check, which
// sends over this screen's board port while this screen receives and reports the answers.
#include <memory>

#include "analyzer/screens/board_screen.h"
#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/layout.h"
#include "service/mech_check.h"

namespace service {

class CMechCheckDlg : public analyzer::BoardScreen, public MechanicsHost {
 public:
  static constexpr int kTemplateId = 183;
  static constexpr int kTitleId = 1925, kPartHeadId = 1563, kResultHeadId = 1693;
  static constexpr int kNeedleId = 1368, kCarriageId = 1369, kLiquidSyringeId = 1370, kPressureSyringeId = 1371;
  static constexpr int kValvesId = 1372;
  static constexpr int kResultIds[4] = {1333, 1334, 1335, 1336};
  static constexpr int kFrame1Id = 1930, kFrame2Id = 1917;

  explicit CMechCheckDlg(ui::Window* parent = nullptr);

  void SetResult(int part, const std::string& text) override;
  MechCheck* check() { return check_.get(); }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnOK() override {}
  void OnCancel() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  std::unique_ptr<MechCheck> check_;
  CXPButton needle_, carriage_, liquid_, pressure_, valves_, exit_;
  CXPGroupBox frame1_, frame2_;
  draw::Brush resultBrush_;
  // The title line's own band: its light text would not read on the screen's grey.
  draw::Brush titleBrush_ = draw::Brush::Solid(kDialogFrameColor);
};

}  // namespace service

#pragma once
// CBackDoor: the hidden settings page ("Tab 2" of the debug screen): the mid-result, soak-tips
// and histogram-adjustment switches, the reagent coefficients and the correction amount, the
// last HGB blank reading, and the two printer test pages. It talks to no board.
#include <functional>

#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

namespace service {

class CBackDoor : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 282;
  static constexpr int kHgbBlankId = 1712, kReviseId = 1713, kDilId = 2139, kLysId = 2140, kCleId = 2141;
  static constexpr int kOutsideTestId = 1758, kInsideTestId = 1759, kMidResultsId = 1703, kSoakTipsId = 2084;
  static constexpr int kHistogramId = 2145, kSaveId = 1138;

  explicit CBackDoor(std::function<void()> close);
  ~CBackDoor() override;

  bool Create(ui::Window* parent) { return CreateModeless(parent); }
  void UpdateLabels();

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  void OnOK() override {}
  void OnCancel() override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void OnSave();

  std::function<void()> close_;
  CADOConn conn_;
  bool histogram_ = false;
  CXPButton buttons_[7];
  CXPGroupBox upper_, lower_;
};

}  // namespace service

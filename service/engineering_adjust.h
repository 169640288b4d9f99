#pragma once
// CEngineeringAdjust: the engineer's screen for the analogue settings of the front-end board.
// Update checks every field, stores the values and downloads them to the board; Set Default
// and Read Default export the fields to, and import them from, Setting.ini [AdjustParas].
#include <memory>

#include "analyzer/screens/board_screen.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "controls/xp_tab_spin.h"
#include "core/ado_conn.h"
#include "service/adjust_download.h"

namespace service {

class CEngineeringAdjust : public analyzer::BoardScreen {
 public:
  static constexpr int kTemplateId = 229;
  static constexpr int kPotIds[8] = {1478, 1480, 1482, 1484, 1486, 1488, 1490, 1492};
  static constexpr int kPotSpinIds[8] = {1479, 1481, 1483, 1485, 1487, 1489, 1491, 1493};
  static constexpr int kPotLabelIds[8] = {1806, 1807, 1808, 1809, 1810, 1811, 1812, 1813};
  static constexpr int kParaIds[4] = {1886, 1887, 1888, 1889};
  static constexpr int kStartBaseId = 1167, kStartOffsetId = 1867, kMaxBaseId = 1168, kMaxOffsetId = 1170;
  static constexpr int kCountTimeId = 1494, kWaitTimeId = 1495, kBlockTimeId = 1496, kLeakTimeId = 1497;
  static constexpr int kUpdateId = 1504, kSetDefaultId = 1506, kReadDefaultId = 1507, kKeyboardId = 1514;
  static constexpr int kCaptionId = 1971, kFrame1Id = 1805, kFrame2Id = 1972, kFrame3Id = 1973;

  explicit CEngineeringAdjust(ui::Window* parent = nullptr);
  ~CEngineeringAdjust() override;

  AdjustDownload* download() { return download_.get(); }
  AdjustFields ReadFields() const;
  void ShowFields(const AdjustFields& f);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnOK() override {}
  void OnCancel() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void OnUpdate();
  void OnSetDefault();
  void OnReadDefault();
  std::string IniPath() const;

  CADOConn conn_;
  std::unique_ptr<AdjustDownload> download_;
  CXPButton update_, setDefault_, readDefault_, exit_;
  CBitmapKeyButton keyboard_;  // the keyboard picture at its own size, as on every screen
  CXPGroupBox frame1_, frame2_, frame3_;
  CTSpinButtonCtrl spins_[8];
};

}  // namespace service

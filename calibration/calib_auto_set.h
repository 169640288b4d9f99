#pragma once
// CCalibAutoSet: the calibrator batches. The operator picks a stored batch or types a new
// number, its expiry date, sample type, targets and the items it calibrates; Save stores the
// batch, OK stores it and hands its number back, Delete removes it.
#include <string>

#include "calibration/calibrator_batch.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_group_box.h"
#include "controls/xp_tab_spin.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

namespace calibration {

inline constexpr int IDD_CALIB_AUTO_SET = 331;
inline constexpr int IDC_CAS_LOT = 1600;
inline constexpr int IDC_CAS_YEAR = 1601;
inline constexpr int IDC_CAS_MONTH = 1602;
inline constexpr int IDC_CAS_DAY = 1603;
inline constexpr int IDC_CAS_YEAR_SPIN = 1604;
inline constexpr int IDC_CAS_MONTH_SPIN = 1605;
inline constexpr int IDC_CAS_DAY_SPIN = 1606;
inline constexpr int IDC_CAS_WHOLE = 1610;     // 1610, 1611, 1612: the sample types
inline constexpr int IDC_CAS_TARGET = 1620;    // 1620 .. 1624: WBC .. PLT targets
inline constexpr int IDC_CAS_UNIT = 1630;      // 1630 .. 1634: their units
inline constexpr int IDC_CAS_ITEM = 1640;      // 1640 .. 1644: the item checks
inline constexpr int IDC_CAS_SAVE = 1650;
inline constexpr int IDC_CAS_DELETE = 1651;
inline constexpr int IDC_CAS_HELP = 1652;
inline constexpr int IDC_CAS_LABEL = 1660;     // 1660 ..: captions
inline constexpr int IDC_CAS_KEYBOARD = 1514;

class CCalibAutoSet : public ui::Dialog {
 public:
  explicit CCalibAutoSet(ui::Window* parent = nullptr);

  // After IDOK: the chosen batch number as stored.
  std::string m_strBatchNo;

  // The batch numbers listed, for tests.
  std::vector<std::string> ListedBatches() const;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  void OnOK() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void OnLotSelChange();
  void OnSave();
  void OnDelete();
  // Reads the fields; false (and the message shown) when a check fails.
  bool Check(bool forSave, BatchRecord* out);
  void UpdateParameterChecks(bool toControls);
  void ClearFields();
  std::string LotText() const;

  CXPComboBox lot_;
  CXPEdit year_, month_, day_, targets_[5];
  CTSpinButtonCtrl yearSpin_, monthSpin_, daySpin_;
  CXPRadioButton types_[3];
  CXPCheckButton items_[5];
  CXPButton save_, ok_, delete_, help_, exit_;
  CBitmapKeyButton keyboard_;
  CADOConn db_;
  int sampleType_ = -1;
  int selected_[5] = {0, 0, 0, 0, 0};
};

void RegisterCalibAutoSetScreen();

}  // namespace calibration
